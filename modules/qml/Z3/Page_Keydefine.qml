import QtQuick
import "../common"
import "KeyDefineRules.js" as Rules

// Key definition page: the function of each mouse button (key, mouse
// function, media key, combination, macro, fire key, LED control). The page
// edits the 16 key-matrix entries in its model and sends them all on apply;
// only binding a macro talks to the mouse before that (the macro upload).
Item {
    id: page
    objectName: "pageKeydefine"
    width: 700
    height: 470

    // Button id of each row of the button drop-down.
    property var mapping_for_keyId: Rules.fallbackMapping.slice()
    readonly property int selectedId: {
        var i = _Model.curKeyMatrix;
        return i >= 0 && i < mapping_for_keyId.length ? mapping_for_keyId[i] : -1;
    }
    readonly property int funcIndex: _FuncMenu.defaultIndex
    property int macroPlayMode: 0
    property int fireType: 0
    // Key codes as received by the keyboard and fire key boxes (a code
    // without a name still counts, while its box shows nothing).
    property int _fireKeyCode: -1

    // Read by tests and the main screen.
    property alias model: _Model
    property alias buttonList: _KeyList
    property alias functionMenu: _FuncMenu
    property alias keyboardKey: _KeyboardKey
    property alias mouseMenu: _MouseMenu
    property alias mediaMenu: _MediaMenu
    property alias modifierMenu: _ModifierMenu
    property alias comboKey1: _ComboKey1
    property alias comboKey2: _ComboKey2
    property alias macroList: _MacroList
    property alias macroTimes: _MacroTimes
    property alias fireMouseMenu: _FireMouseMenu
    property alias fireKey: _FireKey
    property alias fireSpeed: _FireSpeed
    property alias fireTimes: _FireTimes
    property alias scrollSwap: _ScrollSwap

    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _textColor: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#d0d0d0"
    readonly property color _accent: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#00e0ff"

    // UI string n of the current language, or the page's English text when
    // the list has no such entry.
    function str(n, fallback) {
        if (n < 0 || typeof globalSetting_stringList === "undefined" || !globalSetting_stringList)
            return fallback;
        var s = globalSetting_stringList[n];
        return s !== undefined && s !== null && String(s) !== "" ? String(s) : fallback;
    }

    function _skin(name) {
        return typeof mainIten !== "undefined" && mainIten && mainIten[name] !== undefined ? mainIten[name] : "";
    }

    function _protect(ms) {
        if (typeof mainIten !== "undefined" && mainIten)
            mainIten.setProtectUI(ms);
    }

    function _layoutStrings() {
        return typeof main_Z3 !== "undefined" && main_Z3 ? main_Z3._ProductLayoutStringList : undefined;
    }

    // ---- start and labels -------------------------------------------------

    function initUI() {
        var d = Rules.defaultsFrom(ui_View.loadDefaultProfile(0));
        if (d !== null)
            _Model.keyCode_Default = d;
        _rebuildButtonList();
        refreshMacroList();
        _ScrollSwap.isSelect = ui_View.getScrollPinSwap();
        for (var i = 0; i < 16; ++i) {
            var e = Rules.entryFrom(ui_View.getKeydefine(i));
            // A profile without this button keeps the mouse's default rather
            // than sending an empty function on the next apply.
            _Model.setEntry(i, e !== null ? e : Rules.defaultEntry(_Model.keyCode_Default, i));
        }
        showEntry();
    }

    function translateStrings() {
        // Another language may list other buttons: show what is selected now.
        if (_rebuildButtonList())
            showEntry();
        var i;
        for (i = 0; i < Rules.functions.length; ++i)
            _FuncMenu.mdItems.setProperty(i, "textX", str(Rules.functions[i].str, Rules.functions[i].name));
        for (i = 0; i < Rules.mouseMenu.length; ++i)
            _MouseMenu.mdItems.setProperty(i, "textX", str(Rules.mouseMenu[i].str, Rules.mouseMenu[i].name));
        for (i = 0; i < Rules.mediaMenu.length; ++i)
            _MediaMenu.mdItems.setProperty(i, "textX", str(Rules.MEDIA_FIRST_STRING + i, Rules.mediaMenu[i].name));
        for (i = 0; i < Rules.fireMouseMenu.length; ++i)
            _FireMouseMenu.mdItems.setProperty(i, "textX", str(Rules.fireMouseMenu[i].str, Rules.fireMouseMenu[i].name));
    }

    function _rebuildButtonList() {
        var b = Rules.buttonsFromLayout(_layoutStrings());
        var keep = _Model.curKeyMatrix;
        var before = mapping_for_keyId;
        mapping_for_keyId = b.ids;
        _KeyList.mdItems.clear();
        for (var i = 0; i < b.names.length; ++i)
            _KeyList.mdItems.append({textX: b.names[i]});
        selectButtonRow(keep >= 0 && keep < b.names.length ? keep : -1);
        return String(b.ids) !== String(before);
    }

    function selectButtonRow(row) {
        _Model.curKeyMatrix = row;
        _KeyList.setCurIndex(row);
    }

    // ---- key events -------------------------------------------------------

    function detectKeyboard(isDown, usbCode) {
        _KeyboardKey.takeKeyEvent(isDown, usbCode);
        _ComboKey1.takeKeyEvent(isDown, usbCode);
        _ComboKey2.takeKeyEvent(isDown, usbCode);
        _FireKey.takeKeyEvent(isDown, usbCode);
    }

    Connections {
        target: typeof main_Z3 !== "undefined" ? main_Z3 : null
        ignoreUnknownSignals: true
        function onMsg_KB(isDown, usbCode) {
            page.detectKeyboard(isDown, usbCode);
        }
    }
    Connections {
        target: typeof mainIten !== "undefined" ? mainIten : null
        ignoreUnknownSignals: true
        function onEmptyAreaPressed() {
            page.endTextInputs();
        }
    }

    // ---- showing an entry -------------------------------------------------

    function _entries() {
        return _Model.allEntries();
    }

    function _setSelected(bytes) {
        if (selectedId >= 0)
            _Model.setEntry(selectedId, bytes);
    }

    function _emptySecondLevel() {
        _KeyboardKey.setKeycodeUSB(-1);
        _KeyboardKey.isSelect = false;
        _ComboKey1.setKeycodeUSB(-1);
        _ComboKey1.isSelect = false;
        _ComboKey2.setKeycodeUSB(-1);
        _ComboKey2.isSelect = false;
        _FireKey.setKeycodeUSB(-1);
        _FireKey.isSelect = false;
        _fireKeyCode = -1;
        _MouseMenu.setCurIndex(-1);
        _MediaMenu.setCurIndex(-1);
        _ModifierMenu.setCurIndex(-1);
        _MacroList.setCurIndex(-1);
        _FireMouseMenu.setCurIndex(-1);
        macroPlayMode = 0;
        _MacroTimes.text = "1";
        _FireTimes.text = "10";
        // The slider's start, so that what it shows is what a fire key gets.
        _FireSpeed.currentIndex = 7;
    }

    // Shows the selected button's entry in the menus.
    function showEntry() {
        if (selectedId < 0) {
            _FuncMenu.setCurIndex(-1);
            _emptySecondLevel();
            return;
        }
        var e = _Model.entry(selectedId);
        keyCodeToUI(e[0], e[1], e[2], e[3]);
    }

    function keyCodeToUI(b0, b1, b2, b3) {
        var ui = Rules.keyCodeToUI(b0, b1, b2, b3);
        _emptySecondLevel();
        _FuncMenu.setCurIndex(ui.func);
        switch (ui.func) {
        case Rules.FUNC_KEYBOARD:
            _KeyboardKey.setKeycodeUSB(ui.keyboardKey);
            break;
        case Rules.FUNC_MOUSE:
            _MouseMenu.setCurIndex(ui.mouse);
            break;
        case Rules.FUNC_MEDIA:
            _MediaMenu.setCurIndex(ui.media);
            break;
        case Rules.FUNC_COMBO:
            _ModifierMenu.setCurIndex(ui.modifier);
            _ComboKey1.setKeycodeUSB(ui.comboKey1 !== 0 ? ui.comboKey1 : -1);
            _ComboKey2.setKeycodeUSB(ui.comboKey2 !== 0 ? ui.comboKey2 : -1);
            break;
        case Rules.FUNC_MACRO:
            _showMacro(ui.macroSlot, ui.playMode);
            break;
        case Rules.FUNC_FIRE:
            fireType = ui.fireType;
            _FireMouseMenu.setCurIndex(ui.fireMouse);
            _FireKey.setKeycodeUSB(ui.fireKey);
            _fireKeyCode = ui.fireKey;
            _FireSpeed.currentIndex = ui.speed;
            _FireTimes.text = String(ui.fireTimes);
            break;
        default:
            break;
        }
    }

    function _showMacro(slot, playMode) {
        refreshMacroList();
        var found = -1;
        var times = 1;
        for (var i = 0; i < _MacroList.mdItems.count; ++i) {
            var cfg = ui_View.loadMacroIniConfig(_MacroList.mdItems.get(i).textX);
            if (cfg.length >= 2 && parseInt(cfg[0], 10) === slot) {
                found = i;
                times = parseInt(cfg[1], 10);
            }
        }
        _MacroList.setCurIndex(found);
        macroPlayMode = playMode;
        _MacroTimes.text = String(found >= 0 && isFinite(times) ? times : 1);
    }

    // ---- macro list and slots ---------------------------------------------

    function _macroNames() {
        var files = ui_View.getMacroIniNames();
        var out = [];
        for (var i = 0; i < files.length; ++i)
            out.push(String(files[i]).slice(0, -4));
        return out;
    }

    // Refills the macro list and keeps the chosen macro chosen.
    function refreshMacroList() {
        var chosen = _chosenMacro();
        var names = _macroNames();
        _MacroList.mdItems.clear();
        var keep = -1;
        for (var i = 0; i < names.length; ++i) {
            _MacroList.mdItems.append({textX: names[i], textR: ""});
            if (names[i] === chosen)
                keep = i;
        }
        _MacroList.setCurIndex(keep);
    }

    function _chosenMacro() {
        var i = _MacroList.getCurIndex();
        return i >= 0 && i < _MacroList.mdItems.count ? _MacroList.mdItems.get(i).textX : undefined;
    }

    // Gives back the slots of macros that no button uses any more.
    function refreshMacroIndex() {
        var used = Rules.usedSlots(_entries());
        var names = _macroNames();
        for (var i = 0; i < names.length; ++i) {
            var cfg = ui_View.loadMacroIniConfig(names[i]);
            if (cfg.length >= 1 && Rules.slotIsOrphaned(parseInt(cfg[0], 10), used))
                ui_View.setMacroIniConfig(names[i], [-1, 1]);
        }
    }

    // Binds the chosen macro to the selected button with the play mode and
    // times shown, giving it a slot of the mouse and uploading it there.
    function setMacro() {
        if (selectedId < 0)
            return;
        var before = _Model.entry(selectedId);
        _setSelected([0, 0, 0, 0]);
        // With all twelve slots taken the button keeps what it did, rather
        // than silently doing nothing.
        if (!_bindChosenMacro()) {
            _setSelected(before);
            showEntry();
        }
        // A macro this button used before may now be unused; its slot must
        // not stay claimed, or a later macro would share it.
        refreshMacroIndex();
    }

    // False only when the macro finds no free slot.
    function _bindChosenMacro() {
        var name = _chosenMacro();
        if (name === undefined)
            return true;
        var cfg = ui_View.loadMacroIniConfig(name);
        if (!cfg || cfg.length < 2)
            return true;
        var slot = Rules.slotForMacro(parseInt(cfg[0], 10), Rules.usedSlots(_entries()));
        if (slot < 0)
            return false;
        var times = Rules.toRange(_MacroTimes.text, 0, 65535, 1);
        ui_View.setMacroIniConfig(name, [slot, times]);
        ui_View.ui_13H_SetMacroKey(slot + 1, name);
        _setSelected([0x09, macroPlayMode, slot + 1, 0x00]);
        return true;
    }

    // ---- left-click guard ---------------------------------------------------

    function foolProofing() {
        if (!Rules.needsLeftClickConfirm(_entries(), selectedId, mapping_for_keyId))
            return true;
        return ui_View.getMsgAns_FoolProofing();
    }

    // ---- choosing functions -------------------------------------------------

    function chooseFunction(index) {
        if (selectedId < 0)
            return;
        if (!foolProofing()) {
            _FuncMenu.setCurIndex(Rules.FUNC_MOUSE);
            return;
        }
        _FuncMenu.setCurIndex(index);
        _emptySecondLevel();
        if (_Model.entry(selectedId)[0] === 0x09) {
            _setSelected([0, 0, 0, 0]);
            refreshMacroIndex();
        }
        if (index === Rules.FUNC_LED)
            _setSelected([0x0C, 0x00, 0x00, 0x00]);
    }

    function chooseMouse(index, previous) {
        if (selectedId < 0 || index < 0 || index >= Rules.mouseMenu.length)
            return;
        if (index === previous) {
            _MouseMenu.setCurIndex(-1);
            return;
        }
        var entry = Rules.mouseMenu[index].entry;
        // Choosing the left click itself takes nothing away.
        if (!Rules.sameEntry(entry, Rules.LEFT_CLICK) && !foolProofing()) {
            _MouseMenu.setCurIndex(0);
            return;
        }
        _setSelected(entry.slice());
    }

    function chooseMedia(index, previous) {
        if (selectedId < 0 || index < 0 || index >= Rules.mediaMenu.length)
            return;
        if (index === previous) {
            _MediaMenu.setCurIndex(-1);
            return;
        }
        _setSelected(Rules.mediaEntry(index));
    }

    function keyboardKeyEntered(code) {
        if (selectedId >= 0 && funcIndex === Rules.FUNC_KEYBOARD)
            _setSelected([0x00, 0x00, code & 0xFF, 0x00]);
    }

    function comboChanged() {
        if (selectedId < 0 || funcIndex !== Rules.FUNC_COMBO)
            return;
        var k1 = _ComboKey1.tmpKeycodeUSB >= 0 ? _ComboKey1.tmpKeycodeUSB : 0;
        var k2 = _ComboKey2.tmpKeycodeUSB >= 0 ? _ComboKey2.tmpKeycodeUSB : 0;
        _setSelected([0x00, Rules.modifierByte(_ModifierMenu.getCurIndex()), k1, k2]);
    }

    // The fire entry from the controls. Without a key or mouse button chosen
    // there is nothing to fire yet, and the entry stays as it is.
    function fireChanged() {
        if (selectedId < 0 || funcIndex !== Rules.FUNC_FIRE)
            return;
        var code = -1;
        if (fireType === 0) {
            var m = _FireMouseMenu.getCurIndex();
            code = m >= 0 ? 0xF0 + m : -1;
        } else {
            code = _fireKeyCode;
        }
        if (code < 0)
            return;
        _setSelected(Rules.fireEntry(code, _FireSpeed.currentIndex, _FireTimes.text));
    }

    function _commitFireTimes() {
        _FireTimes.text = String(Rules.toRange(_FireTimes.text, 0, 255, 10));
        fireChanged();
    }

    function endTextInputs() {
        if (_FireTimes.input.activeFocus)
            _FireTimes.input.focus = false;
        if (_MacroTimes.input.activeFocus)
            _MacroTimes.input.focus = false;
    }

    // ---- reset and apply ------------------------------------------------------

    function resetButton() {
        endTextInputs();
        if (selectedId < 0)
            return;
        var def = Rules.defaultEntry(_Model.keyCode_Default, selectedId);
        if (!Rules.sameEntry(def, Rules.LEFT_CLICK) && !foolProofing())
            return;
        if (_Model.entry(selectedId)[0] === 0x09) {
            _setSelected([0, 0, 0, 0]);
            refreshMacroIndex();
        }
        _setSelected(def);
        showEntry();
    }

    function pageReset() {
        endTextInputs();
        for (var i = 0; i < 16; ++i)
            _Model.setEntry(i, Rules.defaultEntry(_Model.keyCode_Default, i));
        refreshMacroIndex();
        showEntry();
    }

    function pageApply() {
        endTextInputs();
        ui_View.setScrollPinSwap(_ScrollSwap.isSelect);
        ui_View.ui_12H_SetKeyMatrix(Rules.src64(_entries()));
    }

    // Everything of this page the mouse holds, for a profile switch: the
    // macros the buttons play, then the buttons.
    function sendAll() {
        var used = Rules.usedSlots(_entries());
        var names = _macroNames();
        for (var i = 0; i < names.length; ++i) {
            var cfg = ui_View.loadMacroIniConfig(names[i]);
            var slot = cfg.length >= 1 ? parseInt(cfg[0], 10) : -1;
            if (used.indexOf(slot) >= 0)
                ui_View.ui_13H_SetMacroKey(slot + 1, names[i]);
        }
        pageApply();
    }

    function applyButton() {
        _protect(800);
        pageApply();
    }

    Component.onCompleted: {
        var i;
        for (i = 0; i < Rules.functions.length; ++i)
            _FuncMenu.mdItems.append({textX: Rules.functions[i].name});
        for (i = 0; i < Rules.mouseMenu.length; ++i)
            _MouseMenu.mdItems.append({textX: Rules.mouseMenu[i].name});
        for (i = 0; i < Rules.mediaMenu.length; ++i)
            _MediaMenu.mdItems.append({textX: Rules.mediaMenu[i].name});
        for (i = 0; i < Rules.modifierMenu.length; ++i)
            _ModifierMenu.mdItems.append({textX: Rules.modifierMenu[i]});
        for (i = 0; i < Rules.fireMouseMenu.length; ++i)
            _FireMouseMenu.mdItems.append({textX: Rules.fireMouseMenu[i].name});
        for (i = 0; i < Rules.fallbackButtons.length; ++i)
            _KeyList.mdItems.append({textX: Rules.fallbackButtons[i]});
        selectButtonRow(3);
        translateStrings();
    }

    // ---- layout -------------------------------------------------------------

    Image {
        anchors.fill: parent
        source: page._skin("sourceFnKeydefineBackground")
    }

    Model_KeyDefine_Z3 {
        id: _Model
        objectName: "keyModel"
        x: 70
        y: 90
    }

    Image {
        x: 210
        y: 110
        width: 480
        height: 2
        source: page._skin("sourceDraw_line")
    }

    // Never shown; kept so apply sends the stored scroll direction.
    Checkbox {
        id: _ScrollSwap
        objectName: "scrollSwap"
        x: 210 + 480 - width
        y: 65
        visible: false
        chkStr: page.str(108, "SCROLL SWAP")
    }

    component Caption: Text {
        font.family: page._font
        font.pixelSize: page._size
        color: page._textColor
    }

    component TimesInput: Item {
        id: ti
        property alias text: input.text
        property alias input: input
        property int maxValue: 255
        property int maxChars: 3
        signal accepted
        signal focusLost
        width: 44
        height: 22
        Image {
            anchors.fill: parent
            source: page._skin("sourceDraw_inputValue")
        }
        TextInput {
            id: input
            objectName: "input"
            anchors.fill: parent
            anchors.margins: 3
            horizontalAlignment: TextInput.AlignHCenter
            verticalAlignment: TextInput.AlignVCenter
            maximumLength: ti.maxChars
            validator: IntValidator {
                bottom: 0
                top: ti.maxValue
            }
            selectByMouse: true
            font.family: page._font
            font.pixelSize: page._size
            color: page._accent
            onAccepted: ti.accepted()
            onActiveFocusChanged: {
                if (!activeFocus)
                    ti.focusLost();
            }
        }
    }

    // The button drop-down opens over the function block.
    DropdownList {
        id: _KeyList
        objectName: "buttonList"
        x: 210
        y: 65
        z: raised ? 20 : 2
        property bool raised: false
        onListOpened: raised = true
        onListClosed: raised = false
        onListElementClicked: function (index) {
            page.endTextInputs();
            _Model.curKeyMatrix = index;
            page.showEntry();
        }
    }

    // Everything that edits the selected button; dimmed while none is selected.
    Item {
        id: _Func
        objectName: "functionBlock"
        x: 210
        y: 135
        z: 1
        width: 480
        height: 320
        enabled: page.selectedId >= 0
        opacity: enabled ? 1 : 0.2

        readonly property int secondX: 141 + 60

        // First for Tab: it decides which controls follow.
        DropdownList {
            id: _FuncMenu
            objectName: "functionMenu"
            x: 0
            y: 0
            z: raised ? 11 : 3
            property bool raised: false
            onListOpened: raised = true
            onListClosed: raised = false
            onListElementClicked: function (index) {
                page.chooseFunction(index);
            }
        }

        // -- keyboard
        KeyInput_2 {
            id: _KeyboardKey
            objectName: "keyboardKey"
            x: _Func.secondX
            y: 0
            visible: page.funcIndex === Rules.FUNC_KEYBOARD
            onInputComplete: function (usbCode) {
                page.keyboardKeyEntered(usbCode);
            }
        }

        // -- combination
        KeyInput_2 {
            id: _ComboKey1
            objectName: "comboKey1"
            x: 141 + 13
            y: 41
            visible: page.funcIndex === Rules.FUNC_COMBO
            onInputComplete: page.comboChanged()
        }
        KeyInput_2 {
            id: _ComboKey2
            objectName: "comboKey2"
            x: 141 + 13 + 151 + 13
            y: 41
            visible: page.funcIndex === Rules.FUNC_COMBO
            onInputComplete: page.comboChanged()
        }

        // -- macro: play modes under the macro list
        Column {
            id: _PlayModes
            objectName: "playModes"
            x: 0
            y: 21 + 20
            spacing: 5
            visible: page.funcIndex === Rules.FUNC_MACRO
            Row {
                spacing: 8
                RadioButton {
                    objectName: "playMode0"
                    index: 0
                    isSelect: page.macroPlayMode === 0
                    chkStr: page.str(96, "NORMAL PLAY")
                    anchors.verticalCenter: parent.verticalCenter
                    onClicked: function (i) {
                        page.macroPlayMode = i;
                        page.setMacro();
                    }
                }
                TimesInput {
                    id: _MacroTimes
                    objectName: "macroTimes"
                    maxValue: 65535
                    maxChars: 5
                    text: "1"
                    onAccepted: {
                        text = String(Rules.toRange(text, 0, 65535, 1));
                        if (page.macroPlayMode === 0)
                            page.setMacro();
                    }
                    onFocusLost: text = String(Rules.toRange(text, 0, 65535, 1))
                }
                Caption {
                    anchors.verticalCenter: parent.verticalCenter
                    text: page.str(97, "TIMES")
                }
            }
            RadioButton {
                objectName: "playMode1"
                index: 1
                isSelect: page.macroPlayMode === 1
                chkStr: page.str(98, "ALWAYS REPEAT")
                onClicked: function (i) {
                    page.macroPlayMode = i;
                    page.setMacro();
                }
            }
            RadioButton {
                objectName: "playMode2"
                index: 2
                isSelect: page.macroPlayMode === 2
                chkStr: page.str(99, "REPEAT ON PRESSED")
                onClicked: function (i) {
                    page.macroPlayMode = i;
                    page.setMacro();
                }
            }
        }

        // -- fire key: type, mouse button or key, speed, times
        Column {
            id: _Fire
            objectName: "fireControls"
            x: _Func.secondX
            y: 0
            spacing: 8
            visible: page.funcIndex === Rules.FUNC_FIRE
            Row {
                spacing: 16
                RadioButton {
                    objectName: "fireTypeMouse"
                    index: 0
                    isSelect: page.fireType === 0
                    chkStr: page.str(47, "MOUSE")
                    onClicked: function (i) {
                        page.fireType = i;
                    }
                }
                RadioButton {
                    objectName: "fireTypeKey"
                    index: 1
                    isSelect: page.fireType === 1
                    chkStr: page.str(46, "KEYBOARD")
                    onClicked: function (i) {
                        page.fireType = i;
                    }
                }
            }
            // The key box, or the mouse drop-down (below, over this slot).
            Item {
                id: _FireSlot
                width: 151
                height: 23
                KeyInput_2 {
                    id: _FireKey
                    objectName: "fireKey"
                    visible: page.fireType === 1
                    onInputComplete: function (usbCode) {
                        page._fireKeyCode = usbCode;
                        page.fireChanged();
                    }
                }
            }
            Caption {
                text: page.str(3, "SPEED")
            }
            Slider {
                id: _FireSpeed
                objectName: "fireSpeed"
                Accessible.name: page.str(3, "SPEED")
                currentIndex: 7
                onSliderClicked: page.fireChanged()
            }
            Row {
                spacing: 8
                TimesInput {
                    id: _FireTimes
                    objectName: "fireTimes"
                    text: "10"
                    onAccepted: page._commitFireTimes()
                    onFocusLost: page._commitFireTimes()
                }
                Caption {
                    anchors.verticalCenter: parent.verticalCenter
                    text: page.str(97, "TIMES")
                }
            }
        }

        // Lists after the controls they open over; an open list comes to the front.
        DropdownList {
            id: _FireMouseMenu
            objectName: "fireMouseMenu"
            x: _Fire.x + _FireSlot.x
            y: _Fire.y + _FireSlot.y
            z: raised ? 10 : 2
            property bool raised: false
            visible: page.funcIndex === Rules.FUNC_FIRE && page.fireType === 0
            onListOpened: raised = true
            onListClosed: raised = false
            onListElementClicked: page.fireChanged()
        }
        DropdownList {
            id: _ModifierMenu
            objectName: "modifierMenu"
            x: 0
            y: 41
            z: raised ? 10 : 2
            property bool raised: false
            visible: page.funcIndex === Rules.FUNC_COMBO
            onListOpened: raised = true
            onListClosed: raised = false
            onListElementClicked: page.comboChanged()
        }
        FileListButton {
            id: _MacroList
            objectName: "macroList"
            x: _Func.secondX
            y: 0
            z: raised ? 10 : 2
            property bool raised: false
            listHeight: 200
            visible: page.funcIndex === Rules.FUNC_MACRO
            onRequestToUpdateList: page.refreshMacroList()
            onListOpened: raised = true
            onListClosed: raised = false
            onListElementClicked: page.setMacro()
        }
        DropdownList {
            id: _MouseMenu
            objectName: "mouseMenu"
            x: _Func.secondX
            y: 0
            z: raised ? 10 : 2
            property bool raised: false
            property int previous: -1
            visible: page.funcIndex === Rules.FUNC_MOUSE
            onListOpened: {
                previous = getCurIndex();
                raised = true;
            }
            onListClosed: raised = false
            onListElementClicked: function (index) {
                page.chooseMouse(index, previous);
                previous = getCurIndex();
            }
        }
        DropdownList {
            id: _MediaMenu
            objectName: "mediaMenu"
            // Rows of 17 pixels: all 18 media keys fit above the bottom of the page.
            height: 18
            x: _Func.secondX
            y: 0
            z: raised ? 10 : 2
            property bool raised: false
            property int previous: -1
            visible: page.funcIndex === Rules.FUNC_MEDIA
            onListOpened: {
                previous = getCurIndex();
                raised = true;
            }
            onListClosed: raised = false
            onListElementClicked: function (index) {
                page.chooseMedia(index, previous);
                previous = getCurIndex();
            }
        }

        // -- reset and apply
        Item {
            objectName: "buttonFrame"
            // Last for Tab (reading order), drawn under the lists.
            z: -1
            x: 437 - 210
            y: 270
            width: 230
            height: 40
            Image {
                anchors.fill: parent
                source: page._skin("sourceFram_2btn")
            }
            Row {
                anchors.centerIn: parent
                spacing: 10
                Button_2state {
                    id: _Reset
                    objectName: "reset"
                    Accessible.name: page.str(106, "DEFAULT")
                    width: 30
                    height: 30
                    source0: page._skin("sourceReset_0")
                    source1: page._skin("sourceReset_1")
                    onClicked: page.resetButton()
                }
                Caption {
                    anchors.verticalCenter: parent.verticalCenter
                    text: page.str(106, "DEFAULT")
                    color: _Reset.mouse.containsMouse ? page._accent : page._textColor
                }
                Button_2state {
                    id: _Apply
                    objectName: "apply"
                    Accessible.name: page.str(107, "APPLY")
                    width: 30
                    height: 30
                    source0: page._skin("sourceApply_0")
                    source1: page._skin("sourceApply_1")
                    onClicked: page.applyButton()
                }
                Caption {
                    anchors.verticalCenter: parent.verticalCenter
                    text: page.str(107, "APPLY")
                    color: _Apply.mouse.containsMouse ? page._accent : page._textColor
                }
            }
        }
    }

}
