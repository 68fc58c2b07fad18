import QtQuick
import "../common"

// The program's own settings: skin, sound, animations, language, custom
// background, text size / colour / brightness. Every choice is live at once;
// apply stores them in the application configuration.
Item {
    id: page
    width: 420
    height: 500

    // Read by the root as the scene's global text settings.
    property int _Size: 11
    property color _Color: "#FF00FFFF"
    property color _ColorEnable: "#FFAAAAAA"
    property color _ColorDisable: "#80FFFFFF"
    property int _AnimationSpeed: 800
    property int skin_No: 1
    property bool isCustomBackground: false
    property string _FontFamily: "Arial"
    property var _StringList: builtInStrings
    property string _Url: "https://www.z3gaming.example/"
    // The custom background as chosen ("file:" + path), stored as written.
    property string customBackgroundUrl: ""

    // Seven text colours, R G B each.
    property var paletteRGB: [0, 255, 255, 255, 200, 150, 255, 180, 0, 200, 200, 100, 200, 170, 255, 255, 180, 180, 160, 190, 160]
    property int paletteIndex: 0
    property int inputR: 255
    property int inputG: 255
    property int inputB: 255
    property int curR: 255
    property int curG: 255
    property int curB: 255
    property int brightnessStep: 7
    property int sizeIndex: 0
    // The rows chosen in the skin, sound, animation and language lists
    // (-1: none), and whether the skin row is offered.
    property int skinIndex: 0
    property int soundIndex: 0
    property int animIndex: 0
    property int languageIndex: -1
    property bool skinRowShown: true

    readonly property var builtInStrings: ["Arial", "OPTIONS", "LOOP", "SPEED", "BRIGHTNESS", "DIRECTION", "PAINTING", "EFFECTS", "USER DEFINE 1", "USER DEFINE 2", "USER DEFINE 3", "USER DEFINE 4", "USER DEFINE 5", "STATIC", "BREATHING", "WAVE", "INDUCTION DARKEN", "MARQUEE", "RIPPLE", "INDUCTION BRIGHTEN", "NEON", "MARQUEE COLORFUL", "RAINING", "MARQUEE CIRCLE", "SPOTLIGHT", "ROTATION", "SKIN", "SOUND", "ANIMATED", "LANGUAGE", "BACKGROUND", "ON", "OFF", "TEXT", "SIZE", "COLOR", "BRIGHTNESS", "NORMAL", "LARGER", "SKIN 1", "SKIN 2", "SKIN 3", "SKIN 4", "SKIN 5", "MACRO", "ACTION", "KEYBOARD", "MOUSE", "MEDIA", "COMBO KEY", "MACRO", "LEFT", "RIGHT", "MIDDLE", "BACKWARD", "FORWARD", "NEXT TRACK", "PREVIOUS TRACK", "STOP", "PLAY / PAUSE", "MUTE", "VOLUME UP", "VOLUME DOWN", "MEDIA SELECT", "MAIL", "CALCULATOR", "MY COMPUTER", "WWW SEARCH", "WWW HOME", "WWW BACK", "WWW FORWARD", "WWW STOP", "WWW REFRESH", "WWW FAVORITES", "KEY", "MACRO", "COLOR", "RESET", "CANCEL", "GAMING MODE", "DELETE", "CUT", "PASTE", "COPY", "LOAD", "SAVE", "SENSOR", "LED POWER ON", "TWINKLING", "GLIDING", "FINGER MOVING", "VERTICAL FLIPPING", "YO-YO", "FIRE KEY", "TRIPLE CLICK", "DPI SWITCH", "NORMAL PLAY", "TIMES", "ALWAYS REPEAT", "REPEAT ON PRESSED", "POLLING RATE", "CURSOR SPEED", "VERTICAL SCROLL SPEED", "DOUBLE CLICK SPEED", "DPI LEVEL", "DPI INDICATOR LED", "DEFAULT", "APPLY", "SCROLL SWAP", "SCROLL UP", "SCROLL DOWN", "LED CONTROL", "RENAME", "ALL RESET", "ALL SAVE", "OFF"]

    function str(n) {
        var s = _StringList && _StringList.length > n ? _StringList[n] : undefined
        return s !== undefined && s !== "" ? s : builtInStrings[n]
    }

    // ---- arithmetic -------------------------------------------------------

    function brightnessValue(step) {
        return 45 + step * 210 / 7
    }

    // Colour of the strip at position y of a strip `length` pixels long:
    // black, red, yellow, green, cyan, blue, magenta, white, black.
    function stripColor(y, length) {
        var rate = y / (length - 1) / 0.125
        var level = Math.floor(rate)
        var c = Math.round((rate - level) * 255)
        switch (level) {
        case 0:
            return [c, 0, 0]
        case 1:
            return [255, c, 0]
        case 2:
            return [255 - c, 255, 0]
        case 3:
            return [0, 255, c]
        case 4:
            return [0, 255 - c, 255]
        case 5:
            return [c, 0, 255]
        case 6:
            return [255, c, 255]
        case 7:
            return [255 - c, 255 - c, 255 - c]
        default:
            return [0, 0, 0]
        }
    }

    function updateColor() {
        _Color = Qt.rgba(curR / 255, curG / 255, curB / 255, brightnessValue(brightnessStep) / 255)
    }

    // source 1 strip, 2 inputs, 3 paletteRGB, other: inputs and paletteRGB only.
    function setRGB(source, r, g, b) {
        curR = r
        curG = g
        curB = b
        if (source !== 2) {
            inputR = r
            inputG = g
            inputB = b
        }
        if (source !== 3 && paletteIndex < 7) {
            var p = paletteRGB.slice()
            p[paletteIndex * 3] = r
            p[paletteIndex * 3 + 1] = g
            p[paletteIndex * 3 + 2] = b
            paletteRGB = p
        }
        if (source === 1 || source === 2 || source === 3)
            updateColor()
    }

    function selectPalette(k) {
        paletteIndex = k
        setRGB(3, paletteRGB[k * 3], paletteRGB[k * 3 + 1], paletteRGB[k * 3 + 2])
    }

    function setBrightness(step) {
        brightnessStep = Math.max(0, Math.min(7, step))
        updateColor()
    }

    function setSize(index) {
        sizeIndex = index === 1 ? 1 : 0
        _Size = sizeIndex === 1 ? 12 : 11
    }

    // Drops the R, G, B inputs' focus, taking what was typed.
    function dropInputFocus() {
        if (view.item)
            view.item.dropInputFocus()
    }

    // ---- choices ----------------------------------------------------------

    function chooseSkin(row) {
        skin_No = row + 1
        mainIten.setSkin()
    }

    function chooseSound(row) {
        if (row === 0) {
            ui_View.setEnableAudio(true)
            ui_View.playMedia_Index(0)
        } else if (row === 1) {
            ui_View.setEnableAudio(false)
            ui_View.clearAllMedia()
        }
    }

    function chooseAnimation(row) {
        if (row === 0)
            _AnimationSpeed = 800
        else if (row === 1)
            _AnimationSpeed = 10
    }

    function setCustomBackground(urlText) {
        customBackgroundUrl = urlText
        mainIten.sourceCustomBackground = urlText
    }

    function toggleBackground() {
        if (!isCustomBackground) {
            var path = ui_View.getCustomFilePath()
            if (path && path !== "") {
                setCustomBackground("file:" + path)
                isCustomBackground = true
            } else {
                setCustomBackground("")
                isCustomBackground = false
            }
        } else {
            setCustomBackground("")
            isCustomBackground = false
        }
    }

    function initLanguage() {
        languageModel.clear()
        var map = ui_View.chkLanguages()
        // Map order is the display names' order.
        var names = Object.keys(map).sort()
        for (var i = 0; i < names.length; ++i)
            languageModel.append({
                                     "textX": names[i],
                                     "code": String(map[names[i]])
                                 })
    }

    function languageCount() {
        return languageModel.count
    }

    function setLanguage(uiIndex) {
        if (uiIndex < 0 || uiIndex >= languageModel.count)
            return
        var code = languageModel.get(uiIndex).code
        var list = ui_View.getGlobalStrings(code)
        _StringList = list
        mainIten.translateStrings(code)
        _FontFamily = list.length > 0 && list[0] !== "" ? list[0] : "Arial"
    }

    function translateStrings() {
        skinModel.setProperty(0, "textX", str(39))
        skinModel.setProperty(1, "textX", str(40))
        soundModel.setProperty(0, "textX", str(31))
        soundModel.setProperty(1, "textX", str(32))
        animModel.setProperty(0, "textX", str(31))
        animModel.setProperty(1, "textX", str(32))
    }

    // ---- configuration ----------------------------------------------------

    function entryInt(cfg, i, def, lo, hi) {
        if (i >= cfg.length)
            return def
        var n = parseInt(cfg[i], 10)
        if (isNaN(n) || n < lo || n > hi)
            return def
        return n
    }

    function entryBool(cfg, i) {
        if (i >= cfg.length)
            return false
        var v = cfg[i]
        return v === true || v === "true" || v === 1 || v === "1"
    }

    function initUI() {
        var cfg = ui_View.loadApConfig()
        if (cfg && cfg.length > 0) {
            skin_No = entryInt(cfg, 1, 1, 1, 2)
            skinIndex = skin_No - 1
            mainIten.setSkin()

            var sound = entryInt(cfg, 2, -1, -1000000, 1000000)
            if (sound === 0)
                ui_View.setEnableAudio(true)
            else if (sound === 1)
                ui_View.setEnableAudio(false)
            soundIndex = sound

            var anim = entryInt(cfg, 3, -1, -1000000, 1000000)
            chooseAnimation(anim)
            animIndex = anim

            initLanguage()
            var lang = entryInt(cfg, 4, -1, -1, 1000000)
            languageIndex = lang
            setLanguage(lang)

            isCustomBackground = entryBool(cfg, 5)
            setCustomBackground(cfg.length > 6 ? String(cfg[6]) : "")

            setSize(entryInt(cfg, 7, 0, 0, 1))

            var p = []
            for (var k = 0; k < 21; ++k)
                p.push(entryInt(cfg, 8 + k, paletteRGB[k], 0, 255))
            paletteRGB = p
            paletteIndex = entryInt(cfg, 29, 0, 0, 6)
            brightnessStep = entryInt(cfg, 30, 7, 0, 7)
            selectPalette(paletteIndex)

            if (cfg.length > 31)
                _Url = String(cfg[31])
        }
        skinRowShown = ui_View.getIsSkinShow()
    }

    function configList() {
        var list = [1, skin_No, soundIndex, animIndex, languageIndex, isCustomBackground, customBackgroundUrl, sizeIndex]
        for (var k = 0; k < 21; ++k)
            list.push(paletteRGB[k])
        list.push(paletteIndex)
        list.push(brightnessStep)
        list.push(_Url)
        return list
    }

    function apply() {
        dropInputFocus()
        ui_View.saveApConfig(configList())
        menuUp.isGlobalSettingSelect = false
    }

    function resetApconfig() {
        dropInputFocus()
        chooseSound(1)
        ui_View.resetApconfig()
        initUI()
        ui_View.playMedia_Index(0)
    }

    Connections {
        target: mainIten
        function onEmptyAreaPressed() {
            page.dropInputFocus()
        }
    }


    ListModel {
        id: skinModel
        ListElement {
            textX: "SKIN 1"
        }
        ListElement {
            textX: "SKIN 2"
        }
    }
    ListModel {
        id: soundModel
        ListElement {
            textX: "ON"
        }
        ListElement {
            textX: "OFF"
        }
    }
    ListModel {
        id: animModel
        ListElement {
            textX: "ON"
        }
        ListElement {
            textX: "OFF"
        }
    }
    ListModel {
        id: languageModel
    }

    component RowLabel: Text {
        x: 28
        width: 110
        height: 23
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        font.family: page._FontFamily
        font.pixelSize: page._Size
        font.bold: true
        color: page._ColorEnable
    }

    // The panel itself is built when first shown: until then its images and
    // items cost nothing, while the values above keep driving the scene.
    function build() {
        view.active = true
    }

    Loader {
        id: view
        active: false
        anchors.fill: parent
        sourceComponent: Component {
            Item {
                id: panel

                // The R, G, B inputs take effect when they lose focus; an input left
                // without an edit changes nothing.
                function takeInputs() {
                    var old = [page.inputR, page.inputG, page.inputB]
                    var edited = false
                    var v = [inR, inG, inB].map(function (input, i) {
                        var n = parseInt(input.text, 10)
                        n = isNaN(n) ? old[i] : Math.max(0, Math.min(255, n))
                        edited = edited || n !== old[i]
                        return n
                    })
                    // The fields keep following the values (an emptied field shows its
                    // value again).
                    inR.text = Qt.binding(function () { return String(page.inputR) })
                    inG.text = Qt.binding(function () { return String(page.inputG) })
                    inB.text = Qt.binding(function () { return String(page.inputB) })
                    if (!edited)
                        return
                    page.inputR = v[0]
                    page.inputG = v[1]
                    page.inputB = v[2]
                    page.setRGB(2, v[0], v[1], v[2])
                }

                function dropInputFocus() {
                    if (inR.activeFocus || inG.activeFocus || inB.activeFocus) {
                        inR.focus = false
                        inG.focus = false
                        inB.focus = false
                        takeInputs()
                    }
                }

                // Values set while the panel exists (a reset, a language) show at once.
                Connections {
                    target: page
                    function onSkinIndexChanged() { skinList.setCurIndex(page.skinIndex) }
                    function onSoundIndexChanged() { soundList.setCurIndex(page.soundIndex) }
                    function onAnimIndexChanged() { animList.setCurIndex(page.animIndex) }
                    function onLanguageIndexChanged() { languageList.setCurIndex(page.languageIndex) }
                    function onBrightnessStepChanged() { brightnessSlider.currentIndex = page.brightnessStep }
                }

                // Presses on the page's empty parts drop the inputs' focus too and must
                // not reach the window drag area below.
                MouseArea {
                    anchors.fill: parent
                    onPressed: page.dropInputFocus()
                }

                Image {
                    source: mainIten.sourceGlobalsettingBackground
                }

                Text {
                    x: 28
                    y: 10
                    text: page.str(1)
                    font.family: page._FontFamily
                    font.pixelSize: page._Size + 3
                    font.bold: true
                    color: page._Color
                }

                Item {
                    id: skinRow
                    objectName: "skinRow"
                    visible: page.skinRowShown
                    y: 48
                    width: parent.width
                    height: 23
                    z: skinList.raised ? 10 : 1
                    RowLabel {
                        text: page.str(26)
                    }
                    DropdownList {
                        id: skinList
                        // Above the rows below while open and while closing.
                        property bool raised: false
                        onListOpened: raised = true
                        onListClosed: raised = false
                        objectName: "skinList"
                        x: 160
                        width: 141
                        height: 23
                        mdItems: skinModel
                        defaultIndex: page.skinIndex
                        onListElementClicked: function (index) {
                            page.skinIndex = index
                            page.chooseSkin(index)
                        }
                    }
                }

                Item {
                    y: 82
                    width: parent.width
                    height: 23
                    z: soundList.raised ? 10 : 1
                    RowLabel {
                        text: page.str(27)
                    }
                    DropdownList {
                        id: soundList
                        // Above the rows below while open and while closing.
                        property bool raised: false
                        onListOpened: raised = true
                        onListClosed: raised = false
                        objectName: "soundList"
                        x: 160
                        width: 141
                        height: 23
                        mdItems: soundModel
                        defaultIndex: page.soundIndex
                        onListElementClicked: function (index) {
                            page.soundIndex = index
                            page.chooseSound(index)
                        }
                    }
                }

                Item {
                    y: 116
                    width: parent.width
                    height: 23
                    z: animList.raised ? 10 : 1
                    RowLabel {
                        text: page.str(28)
                    }
                    DropdownList {
                        id: animList
                        // Above the rows below while open and while closing.
                        property bool raised: false
                        onListOpened: raised = true
                        onListClosed: raised = false
                        objectName: "animList"
                        x: 160
                        width: 141
                        height: 23
                        mdItems: animModel
                        defaultIndex: page.animIndex
                        onListElementClicked: function (index) {
                            page.animIndex = index
                            page.chooseAnimation(index)
                        }
                    }
                }

                Item {
                    y: 150
                    width: parent.width
                    height: 23
                    z: languageList.raised ? 10 : 1
                    RowLabel {
                        text: page.str(29)
                    }
                    DropdownList {
                        id: languageList
                        // Above the rows below while open and while closing.
                        property bool raised: false
                        onListOpened: raised = true
                        onListClosed: raised = false
                        objectName: "languageList"
                        x: 160
                        width: 141
                        height: 23
                        mdItems: languageModel
                        defaultIndex: page.languageIndex
                        onListElementClicked: function (index) {
                            page.languageIndex = index
                            page.setLanguage(index)
                        }
                    }
                }

                Item {
                    y: 184
                    width: parent.width
                    height: 23
                    RowLabel {
                        text: page.str(30)
                    }
                    Text {
                        id: backgroundToggle
                        objectName: "backgroundToggle"
                        x: 160
                        width: 141
                        height: 23
                        verticalAlignment: Text.AlignVCenter
                        text: "【 " + (page.isCustomBackground ? page.str(31) : page.str(32)) + " 】"
                        font.family: page._FontFamily
                        font.pixelSize: page._Size
                        font.bold: true
                        color: page.isCustomBackground || bgArea.containsMouse ? page._Color : page._ColorEnable
                        activeFocusOnTab: true
                        Accessible.role: Accessible.CheckBox
                        Accessible.name: text
                        Accessible.checkable: true
                        Accessible.checked: page.isCustomBackground
                        Accessible.focusable: true
                        Accessible.onPressAction: press()
                        Keys.onSpacePressed: press()
                        Keys.onReturnPressed: press()
                        Keys.onEnterPressed: press()
                        function press() {
                            ui_View.playMedia_Index(0x04)
                            page.toggleBackground()
                        }
                        FocusMark {}
                        MouseArea {
                            id: bgArea
                            anchors.fill: parent
                            hoverEnabled: true
                            onClicked: backgroundToggle.press()
                        }
                    }
                }

                // Text appearance.
                Item {
                    id: textBox
                    x: 16
                    y: 222
                    width: 388
                    height: 206
                    z: 0

                    Rectangle {
                        anchors.fill: parent
                        color: "transparent"
                        border.color: Qt.rgba(page._ColorEnable.r, page._ColorEnable.g, page._ColorEnable.b, 0.35)
                        border.width: 1
                    }
                    Text {
                        x: 12
                        y: 6
                        text: page.str(33)
                        font.family: page._FontFamily
                        font.pixelSize: page._Size + 1
                        font.bold: true
                        color: page._Color
                    }

                    RowLabel {
                        x: 12
                        y: 32
                        text: page.str(34)
                    }
                    Checkbox {
                        id: sizeNormal
                        objectName: "sizeNormal"
                        x: 144
                        y: 36
                        chkStr: page.str(37)
                        isSelect: page.sizeIndex === 0
                        autoToggle: false
                        onClicked: page.setSize(0)
                    }
                    Checkbox {
                        id: sizeLarger
                        objectName: "sizeLarger"
                        x: 234
                        y: 36
                        chkStr: page.str(38)
                        isSelect: page.sizeIndex === 1
                        autoToggle: false
                        onClicked: page.setSize(1)
                    }

                    RowLabel {
                        x: 12
                        y: 66
                        text: page.str(35)
                    }
                    Row {
                        x: 144
                        y: 68
                        spacing: 6
                        Repeater {
                            model: 7
                            Item {
                                objectName: "paletteEntry" + index
                                width: 22
                                height: 22
                                Rectangle {
                                    x: 3
                                    y: 3
                                    width: 16
                                    height: 16
                                    color: Qt.rgba(page.paletteRGB[index * 3] / 255, page.paletteRGB[index * 3 + 1] / 255, page.paletteRGB[index * 3 + 2] / 255, 1)
                                }
                                Image {
                                    visible: page.paletteIndex === index
                                    source: mainIten.sourceDraw_paletteIndex
                                }
                                MouseArea {
                                    anchors.fill: parent
                                    onClicked: {
                                        page.dropInputFocus()
                                        page.selectPalette(index)
                                    }
                                }
                            }
                        }
                    }

                    Row {
                        x: 144
                        y: 102
                        spacing: 8
                        Repeater {
                            model: ["R", "G", "B"]
                            Row {
                                spacing: 3
                                Text {
                                    height: 22
                                    verticalAlignment: Text.AlignVCenter
                                    text: modelData
                                    font.family: page._FontFamily
                                    font.pixelSize: page._Size
                                    font.bold: true
                                    color: page._ColorEnable
                                }
                                Item {
                                    width: 44
                                    height: 22
                                    Image {
                                        anchors.fill: parent
                                        source: mainIten.sourceDraw_inputValue
                                    }
                                }
                            }
                        }
                    }
                    // The inputs sit over the boxes of the row above.
                    TextInput {
                        id: inR
                        objectName: "inputR"
                        x: 144 + 12
                        y: 102
                        width: 40
                        height: 22
                        verticalAlignment: TextInput.AlignVCenter
                        horizontalAlignment: TextInput.AlignHCenter
                        maximumLength: 3
                        validator: RegularExpressionValidator {
                            regularExpression: /^(|[0-9]|[1-9][0-9]|1[0-9][0-9]|2[0-4][0-9]|25[0-5])$/
                        }
                        text: String(page.inputR)
                        color: "#FFFFFF"
                        font.pixelSize: page._Size
                        onEditingFinished: page.takeInputs()
                        onActiveFocusChanged: if (!activeFocus)
                                                  page.takeInputs()
                    }
                    TextInput {
                        id: inG
                        objectName: "inputG"
                        x: 144 + 12 + 55 + 8
                        y: 102
                        width: 40
                        height: 22
                        verticalAlignment: TextInput.AlignVCenter
                        horizontalAlignment: TextInput.AlignHCenter
                        maximumLength: 3
                        validator: RegularExpressionValidator {
                            regularExpression: /^(|[0-9]|[1-9][0-9]|1[0-9][0-9]|2[0-4][0-9]|25[0-5])$/
                        }
                        text: String(page.inputG)
                        color: "#FFFFFF"
                        font.pixelSize: page._Size
                        onEditingFinished: page.takeInputs()
                        onActiveFocusChanged: if (!activeFocus)
                                                  page.takeInputs()
                    }
                    TextInput {
                        id: inB
                        objectName: "inputB"
                        x: 144 + 12 + 2 * (55 + 8)
                        y: 102
                        width: 40
                        height: 22
                        verticalAlignment: TextInput.AlignVCenter
                        horizontalAlignment: TextInput.AlignHCenter
                        maximumLength: 3
                        validator: RegularExpressionValidator {
                            regularExpression: /^(|[0-9]|[1-9][0-9]|1[0-9][0-9]|2[0-4][0-9]|25[0-5])$/
                        }
                        text: String(page.inputB)
                        color: "#FFFFFF"
                        font.pixelSize: page._Size
                        onEditingFinished: page.takeInputs()
                        onActiveFocusChanged: if (!activeFocus)
                                                  page.takeInputs()
                    }

                    RowLabel {
                        x: 12
                        y: 142
                        text: page.str(36)
                    }
                    Slider {
                        id: brightnessSlider
                        objectName: "brightnessSlider"
                        Accessible.name: page.str(36)
                        x: 144
                        y: 142
                        width: 141
                        height: 23
                        currentIndex: page.brightnessStep
                        onSliderClicked: function (position) {
                            page.dropInputFocus()
                            page.setBrightness(position)
                        }
                    }

                    // Preview of the resulting text colour.
                    Text {
                        x: 12
                        y: 176
                        text: "Z3 · " + page.str(33)
                        font.family: page._FontFamily
                        font.pixelSize: page._Size + 2
                        font.bold: true
                        color: page._Color
                    }

                    // Colour strip.
                    Item {
                        id: strip
                        objectName: "colorStrip"
                        x: 350
                        y: 8
                        width: 24
                        height: 190
                        Rectangle {
                            x: 3
                            y: 3
                            width: parent.width - 6
                            height: parent.height - 6
                            gradient: Gradient {
                                GradientStop {
                                    position: 0.0
                                    color: "#000000"
                                }
                                GradientStop {
                                    position: 0.125
                                    color: "#FF0000"
                                }
                                GradientStop {
                                    position: 0.25
                                    color: "#FFFF00"
                                }
                                GradientStop {
                                    position: 0.375
                                    color: "#00FF00"
                                }
                                GradientStop {
                                    position: 0.5
                                    color: "#00FFFF"
                                }
                                GradientStop {
                                    position: 0.625
                                    color: "#0000FF"
                                }
                                GradientStop {
                                    position: 0.75
                                    color: "#FF00FF"
                                }
                                GradientStop {
                                    position: 0.875
                                    color: "#FFFFFF"
                                }
                                GradientStop {
                                    position: 1.0
                                    color: "#000000"
                                }
                            }
                        }
                        Image {
                            anchors.fill: parent
                            source: mainIten.sourceDraw_palette
                        }
                        MouseArea {
                            anchors.fill: parent
                            onPressed: function (mouse) {
                                page.dropInputFocus()
                                var y = Math.max(0, Math.min(strip.height - 1, mouse.y))
                                var c = page.stripColor(y, strip.height)
                                page.setRGB(1, c[0], c[1], c[2])
                            }
                        }
                    }
                }

                Row {
                    y: 442
                    anchors.horizontalCenter: parent.horizontalCenter
                    spacing: 40

                    Button_Labeled {
                        id: resetButton
                        objectName: "settingResetButton"
                        source0: mainIten.sourceReset_0
                        source1: mainIten.sourceReset_1
                        text: page.str(106)
                        onClicked: page.resetApconfig()
                    }
                    Button_Labeled {
                        id: applyButton
                        objectName: "settingApplyButton"
                        source0: mainIten.sourceApply_0
                        source1: mainIten.sourceApply_1
                        text: page.str(107)
                        onClicked: page.apply()
                    }
                }
            }
        }
    }
}
