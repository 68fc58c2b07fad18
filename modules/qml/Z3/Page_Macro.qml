import QtQuick
import "../common"
import "MacroRules.js" as Rules

// Macro page: the macro files on the left, the action lines of the selected
// macro on the right. Actions come from recording keys, the key box, the
// mouse drop-down and the delay box; every change is saved at once (which
// also re-sends a macro bound to a slot of the mouse).
Item {
    id: page
    objectName: "pageMacro"
    width: 700
    height: 470

    property bool isRecordStart: false
    property string scrapbook: ""
    property bool isUnlimitedCopy: false
    property int delayValue: Rules.DELAY_START
    // Row of the file list the context menu was opened for.
    property int menuIndex: -1

    property alias md_MacroFile: _MacroFileModel
    property alias md_MacroActions: _ActionModel
    property alias fileList: _FileList
    property alias actionList: _ActionList
    property alias keyInput: _KeyInput
    property alias mouseList: _MouseList
    property alias delayInput: _DelayInput
    property alias contextMenu: _Menu

    readonly property bool hasMacro: curMacroName !== undefined
    readonly property var curMacroName: {
        var i = _FileList.currentIndex;
        return i >= 0 && i < _MacroFileModel.count ? _MacroFileModel.get(i).textX : undefined;
    }
    readonly property int selectedAction: {
        var i = _ActionList.currentIndex;
        return i >= 0 && i < _ActionModel.count ? i : -1;
    }

    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _textColor: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#d0d0d0"
    readonly property color _accent: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#00e0ff"
    readonly property int _animUnit: typeof animation_speed !== "undefined" ? animation_speed : 800

    function str(n, fallback) {
        if (typeof globalSetting_stringList === "undefined" || !globalSetting_stringList)
            return fallback;
        var s = globalSetting_stringList[n];
        return s !== undefined && s !== null && String(s) !== "" ? String(s) : fallback;
    }

    function _skin(name) {
        return typeof mainIten !== "undefined" && mainIten && mainIten[name] !== undefined ? mainIten[name] : "";
    }

    function _keyName(code) {
        return typeof _KeyCodeString !== "undefined" && _KeyCodeString ? _KeyCodeString.keycodeTostr(code) : undefined;
    }

    function _mouseName(code) {
        return typeof _KeyCodeString !== "undefined" && _KeyCodeString ? _KeyCodeString.mousecodeTostr(code) : undefined;
    }

    // ---- start and labels -----------------------------------------------------

    function initUI() {
        refreshFileList("");
        refreshActions();
    }

    // Context menu labels.
    function translateStrings() {
        _Menu.labels = [str(84, "LOAD"), str(85, "SAVE"), str(112, "RENAME"), str(78, "CANCEL")];
    }

    // Refills the file list from the folder and selects `select` (a name)
    // when it is there.
    function refreshFileList(select) {
        var files = ui_View.getMacroIniNames();
        _MacroFileModel.clear();
        var keep = -1;
        for (var i = 0; i < files.length; ++i) {
            var name = String(files[i]).slice(0, -4);
            _MacroFileModel.append({textX: name, textR: ""});
            if (name === select)
                keep = i;
        }
        _FileList.currentIndex = keep;
    }

    // ---- actions ------------------------------------------------------------------

    function refreshActions() {
        _ActionModel.clear();
        _ActionList.currentIndex = -1;
        if (!hasMacro)
            return;
        var lines = ui_View.loadMacroIni(curMacroName);
        for (var i = 0; i < lines.length; ++i)
            _ActionModel.append(Rules.splitLine(lines[i]));
    }

    function allLines() {
        var out = [];
        for (var i = 0; i < _ActionModel.count; ++i) {
            var a = _ActionModel.get(i);
            out.push(Rules.joinLine(a.textX, a.textR));
        }
        return out;
    }

    function save() {
        if (!hasMacro)
            return;
        if (!ui_View.saveMacroIni(curMacroName, allLines())) {
            // The file is gone; nothing is left to edit.
            _ActionModel.clear();
            _ActionList.currentIndex = -1;
        }
    }

    // Inserts actions before the selected one (or at the end) and saves.
    function insertActions(actions) {
        if (!hasMacro || actions.length === 0)
            return;
        var at = Rules.insertPosition(selectedAction, _ActionModel.count);
        var sel = selectedAction;
        for (var i = 0; i < actions.length; ++i)
            _ActionModel.insert(at + i, actions[i]);
        // The selection stays on the action it was on.
        if (sel >= 0)
            _ActionList.currentIndex = sel + actions.length;
        save();
    }

    function addKey(name) {
        if (name === undefined || name === null || String(name) === "")
            return;
        insertActions([{textX: String(name), textR: Rules.TAG_DOWN}, {textX: String(name), textR: Rules.TAG_UP}]);
    }

    function addKeyFromBox() {
        if (_KeyInput.tmpKeycodeUSB >= 0)
            addKey(_keyName(_KeyInput.tmpKeycodeUSB));
    }

    function addMouseButton() {
        var i = _MouseList.getCurIndex();
        if (i >= 0 && i < Rules.mouseEntries.length)
            addKey(_mouseName(0xF0 + i));
    }

    function commitDelay() {
        delayValue = Rules.delayValue(_DelayInput.text);
        _DelayInput.text = String(delayValue);
    }

    function addDelay() {
        if (_DelayInput.activeFocus)
            commitDelay();
        insertActions([{textX: String(delayValue), textR: Rules.TAG_DELAY}]);
    }

    function deleteAction() {
        var i = selectedAction;
        if (i < 0)
            return;
        _ActionModel.remove(i);
        _ActionList.currentIndex = -1;
        save();
    }

    function cutAction() {
        var i = selectedAction;
        if (i < 0)
            return;
        isUnlimitedCopy = false;
        var a = _ActionModel.get(i);
        scrapbook = Rules.joinLine(a.textX, a.textR);
        _ActionModel.remove(i);
        _ActionList.currentIndex = -1;
        save();
    }

    function copyAction() {
        var i = selectedAction;
        if (i < 0)
            return;
        isUnlimitedCopy = true;
        var a = _ActionModel.get(i);
        scrapbook = Rules.joinLine(a.textX, a.textR);
    }

    function pasteAction() {
        if (scrapbook === "" || !hasMacro)
            return;
        var line = scrapbook;
        scrapbook = Rules.scrapbookAfterPaste(scrapbook, isUnlimitedCopy);
        insertActions([Rules.splitLine(line)]);
    }

    // ---- recording ----------------------------------------------------------------

    function startRecord() {
        if (!hasMacro || isRecordStart)
            return;
        _ActionModel.clear();
        _ActionList.currentIndex = -1;
        if (curMacroName !== "")
            isRecordStart = true;
    }

    function stopRecord() {
        if (!isRecordStart)
            return;
        isRecordStart = false;
        save();
    }

    function detectKeyboard(isDown, usbCode) {
        _KeyInput.takeKeyEvent(isDown, usbCode);
        if (!isRecordStart)
            return;
        var a = Rules.recordedLine(_keyName(usbCode), isDown);
        if (a !== null)
            _ActionModel.append(a);
    }

    Connections {
        target: typeof main_Z3 !== "undefined" ? main_Z3 : null
        ignoreUnknownSignals: true
        function onMsg_KB(isDown, usbCode) {
            page.detectKeyboard(isDown, usbCode);
        }
    }

    // ---- macro files ----------------------------------------------------------------

    function addMacro() {
        var name = ui_View.createMacroIni();
        if (name === undefined || name === null || String(name) === "")
            return;
        _MacroFileModel.append({textX: String(name), textR: ""});
        _FileList.currentIndex = _MacroFileModel.count - 1;
        _FileList.showRow(_FileList.currentIndex);
        refreshActions();
    }

    function deleteMacro() {
        if (!hasMacro || isRecordStart)
            return;
        var i = _FileList.currentIndex;
        if (ui_View.deleteMacroIni(curMacroName)) {
            _FileList.currentIndex = -1;
            _MacroFileModel.remove(i);
            refreshActions();
        }
    }

    // The list shows what is on disk afterwards: a refused name (one with a
    // folder in it, or one that exists) goes back to the old one.
    function renameMacro(oldName, newName) {
        var wasCurrent = curMacroName === newName && _FileList.currentIndex >= 0;
        if (oldName !== newName)
            ui_View.renameMacroIniFile(oldName, newName);
        var files = ui_View.getMacroIniNames();
        var present = false;
        for (var i = 0; i < files.length; ++i)
            if (String(files[i]).slice(0, -4) === newName)
                present = true;
        var shown = present && oldName !== newName ? newName : oldName;
        var selected = wasCurrent ? shown : curMacroName;
        refreshFileList(selected === undefined ? "" : selected);
    }

    function openMenu(index) {
        if (index < 0 || index >= _MacroFileModel.count || isRecordStart)
            return;
        menuIndex = index;
        var p = Rules.contextMenuPos(index, _FileList.contentY);
        _Menu.x = p.x;
        _Menu.y = p.y;
        _menuHide.stop();
        _Menu.visible = true;
        _menuShow.restart();
    }

    function closeMenu() {
        if (!_Menu.visible)
            return;
        _menuShow.stop();
        _menuHide.restart();
    }

    function menuChosen(entry) {
        var i = menuIndex;
        closeMenu();
        if (i < 0 || i >= _MacroFileModel.count)
            return;
        var name = _MacroFileModel.get(i).textX;
        if (entry === 0) {
            ui_View.loadMacroIniFromFile(name);
            if (i === _FileList.currentIndex)
                refreshActions();
        } else if (entry === 1) {
            ui_View.saveMacroIniToFile(name);
        } else if (entry === 2) {
            _FileList.editFileName(i);
        }
    }

    Component.onCompleted: {
        for (var i = 0; i < Rules.mouseEntries.length; ++i)
            _MouseList.mdItems.append({textX: Rules.mouseEntries[i]});
        _MouseList.setCurIndex(0);
        translateStrings();
    }

    // ---- layout ---------------------------------------------------------------------

    ListModel {
        id: _MacroFileModel
    }
    ListModel {
        id: _ActionModel
    }

    Image {
        anchors.fill: parent
        source: page._skin("sourceFnMacroBackground")
    }

    component Header: Item {
        property alias text: title.text
        width: 141
        height: 21
        Image {
            anchors.fill: parent
            source: page._skin("sourceBtnFileListFrame")
        }
        Text {
            id: title
            x: 6
            anchors.verticalCenter: parent.verticalCenter
            font.family: page._font
            font.pixelSize: page._size
            font.bold: true
            color: page._textColor
        }
    }

    component SmallButton: Button_2state {
        width: 21
        height: 21
    }

    // -- macro files
    Header {
        x: 119
        y: 55
        text: page.str(44, "MACRO")
        Row {
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            SmallButton {
                objectName: "addMacro"
                Accessible.name: "+ " + page.str(44, "MACRO")
                source0: page._skin("sourceAdd_0")
                source1: page._skin("sourceAdd_1")
                enabled: !page.isRecordStart
                onClicked: page.addMacro()
            }
            SmallButton {
                objectName: "deleteMacro"
                Accessible.name: "− " + page.str(44, "MACRO")
                source0: page._skin("sourceDelete_0")
                source1: page._skin("sourceDelete_1")
                enabled: page.hasMacro && !page.isRecordStart
                onClicked: page.deleteMacro()
            }
        }
    }
    Image {
        x: 119
        y: 76
        width: 141
        height: 198
        source: page._skin("sourceFilelist_BASE")
    }
    FileList {
        id: _FileList
        objectName: "macroFiles"
        Accessible.name: page.str(44, "MACRO")
        x: 119
        y: 76
        width: 141
        height: 198
        mdItems: _MacroFileModel
        enabled: !page.isRecordStart
        onListElementClicked: function (index) {
            page.closeMenu();
            page.refreshActions();
        }
        onListElementRightBtnClicked: function (index) {
            page.openMenu(index);
        }
        onEditFileName_completed: function (oldName, newName) {
            page.renameMacro(oldName, newName);
        }
    }

    // -- actions
    Header {
        x: 468
        y: 55
        text: page.str(45, "ACTION")
        Row {
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            SmallButton {
                objectName: "record"
                Accessible.name: "RECORD"
                source0: page._skin("sourceRecord_0")
                source1: page._skin("sourceRecord_1")
                enabled: page.hasMacro && !page.isRecordStart
                onClicked: page.startRecord()
            }
            SmallButton {
                objectName: "stop"
                Accessible.name: "STOP"
                source0: page._skin("sourceStop_0")
                source1: page._skin("sourceStop_1")
                enabled: page.isRecordStart
                onClicked: page.stopRecord()
            }
        }
    }
    Image {
        x: 468
        y: 76
        width: 141
        height: 198
        source: page._skin("sourceFilelist_BASE")
    }
    FileList {
        id: _ActionList
        objectName: "macroActions"
        Accessible.name: page.str(45, "ACTION")
        x: 468
        y: 76
        width: 141
        height: 198
        mdItems: _ActionModel
    }

    // -- tools: delete, cut, paste, copy
    Column {
        x: 446
        y: 77
        spacing: 1
        Repeater {
            model: [
                {name: "toolDelete", img: "Solid_delete", str: 80, text: "DELETE"},
                {name: "toolCut", img: "Solid_cut", str: 81, text: "CUT"},
                {name: "toolPaste", img: "Solid_paste", str: 82, text: "PASTE"},
                {name: "toolCopy", img: "Solid_copy", str: 83, text: "COPY"}
            ]
            delegate: SmallButton {
                id: tool
                required property var modelData
                required property int index
                objectName: modelData.name
                Accessible.name: page.str(modelData.str, modelData.text)
                source0: page._skin("source" + modelData.img + "_0")
                source1: page._skin("source" + modelData.img + "_1")
                enabled: index === 2 ? page.scrapbook !== "" && page.hasMacro : page.selectedAction >= 0
                onClicked: {
                    if (index === 0)
                        page.deleteAction();
                    else if (index === 1)
                        page.cutAction();
                    else if (index === 2)
                        page.pasteAction();
                    else
                        page.copyAction();
                }
                Text {
                    anchors.right: parent.left
                    anchors.rightMargin: 4
                    anchors.verticalCenter: parent.verticalCenter
                    visible: tool.mouse.containsMouse
                    text: page.str(tool.modelData.str, tool.modelData.text)
                    font.family: page._font
                    font.pixelSize: page._size
                    color: page._accent
                }
            }
        }
    }

    // -- editor: mouse button, key, delay
    Column {
        x: 290
        y: 205
        spacing: 6
        z: _MouseList.raised ? 10 : 1
        Row {
            spacing: 5
            z: 2
            DropdownList {
                id: _MouseList
                objectName: "mouseList"
                property bool raised: false
                onListOpened: raised = true
                onListClosed: raised = false
            }
            SmallButton {
                objectName: "addMouse"
                Accessible.name: "+ MOUSE"
                source0: page._skin("sourceAdd_0")
                source1: page._skin("sourceAdd_1")
                enabled: page.hasMacro && _MouseList.getCurIndex() >= 0
                onClicked: page.addMouseButton()
            }
        }
        Row {
            spacing: 5
            KeyInput_2 {
                id: _KeyInput
                objectName: "keyInput"
                width: 141
            }
            SmallButton {
                objectName: "addKey"
                Accessible.name: "+ KEY"
                source0: page._skin("sourceAdd_0")
                source1: page._skin("sourceAdd_1")
                enabled: page.hasMacro && _KeyInput.tmpKeycodeUSB >= 0
                onClicked: page.addKeyFromBox()
            }
        }
        Row {
            spacing: 5
            Item {
                width: 141
                height: 23
                Image {
                    anchors.fill: parent
                    source: page._skin("sourceBtnFrame")
                }
                Row {
                    anchors.centerIn: parent
                    Text {
                        text: "DELAY【 "
                        font.family: page._font
                        font.pixelSize: page._size
                        color: page._textColor
                    }
                    TextInput {
                        id: _DelayInput
                        objectName: "delayInput"
                        width: Math.max(contentWidth, 10)
                        text: String(Rules.DELAY_START)
                        maximumLength: 5
                        validator: IntValidator {
                            bottom: 0
                            top: Rules.DELAY_MAX
                        }
                        selectByMouse: true
                        font.family: page._font
                        font.pixelSize: page._size
                        color: page._accent
                        onAccepted: page.commitDelay()
                        // Leaving the box keeps what it shows and what is added the same.
                        onActiveFocusChanged: {
                            if (!activeFocus)
                                page.commitDelay();
                        }
                    }
                    Text {
                        text: " 】ms"
                        font.family: page._font
                        font.pixelSize: page._size
                        color: page._textColor
                    }
                }
            }
            SmallButton {
                objectName: "addDelay"
                Accessible.name: "+ DELAY"
                source0: page._skin("sourceAdd_0")
                source1: page._skin("sourceAdd_1")
                enabled: page.hasMacro
                onClicked: page.addDelay()
            }
        }
    }

    // -- context menu of the file list
    Column {
        id: _Menu
        objectName: "macroMenu"
        property var labels: ["LOAD", "SAVE", "RENAME", "CANCEL"]
        z: 30
        visible: false
        opacity: 0
        Repeater {
            model: 4
            delegate: Rectangle {
                id: entry
                required property int index
                objectName: "menuEntry" + index
                width: 45
                height: 20
                color: "#202020"
                border.width: 1
                border.color: area.containsMouse ? page._accent : "#404040"
                Text {
                    anchors.centerIn: parent
                    text: _Menu.labels[entry.index]
                    font.family: page._font
                    font.pixelSize: Math.max(8, page._size - 2)
                    color: area.containsMouse ? page._accent : page._textColor
                }
                MouseArea {
                    id: area
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: page.menuChosen(entry.index)
                }
            }
        }
    }
    NumberAnimation {
        id: _menuShow
        target: _Menu
        property: "opacity"
        to: 1
        duration: 1.5 * page._animUnit
        easing.type: Easing.OutExpo
    }
    SequentialAnimation {
        id: _menuHide
        NumberAnimation {
            target: _Menu
            property: "opacity"
            to: 0
            duration: page._animUnit
            easing.type: Easing.OutExpo
        }
        ScriptAction {
            script: _Menu.visible = false
        }
    }
}
