import QtQuick
import "../common"
import "ColorMath.js" as ColorMath

// Lighting page: the mouse's lighting effect with brightness and speed, and
// the 8-colour palette some effects use. The profile receives the page's
// indexes, the mouse the device codes (ColorMath.js).
Item {
    id: page
    objectName: "pageColor"
    width: 700
    height: 470

    // Read by tests and the main screen.
    readonly property int effectIndex: _Effect.defaultIndex
    readonly property int brightnessIndex: _Brightness.currentIndex
    readonly property int speedIndex: _Speed.currentIndex
    readonly property bool ledPower: _LedPower.isSelect
    property alias colorGroup: _Palette

    readonly property bool _brightnessOn: ledPower && ColorMath.usesBrightness(effectIndex)
    readonly property bool _speedOn: ledPower && ColorMath.usesSpeed(effectIndex)
    readonly property bool _paletteOn: ledPower && ColorMath.usesPalette(effectIndex)

    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _textColor: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#d0d0d0"
    readonly property color _accent: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#00e0ff"

    // UI string n of the current language, or the English text.
    function str(n, fallback) {
        if (typeof globalSetting_stringList === "undefined" || !globalSetting_stringList)
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

    function initUI(deviceApConfig) {
        var max = deviceApConfig && deviceApConfig.length > 0 ? parseInt(deviceApConfig[0], 10) : 8;
        _Palette.maxStage = isFinite(max) ? Math.max(0, Math.min(8, max)) : 8;
        refreshUI();
    }

    function refreshUI() {
        var colours = ui_View.ui_90H_GetLED8StageColor(0);
        if (colours.length === 24) {
            for (var i = 0; i < 8; ++i)
                _Palette.setColor(i, colours[3 * i], colours[3 * i + 1], colours[3 * i + 2]);
        }
        _showEffect(ColorMath.readStoredEffect(ui_View.ui_8DH_GetRGBLedEffect()));
    }

    function pageApply() {
        _Palette.setTextInputFocus(false);
        var configs = [effectIndex, brightnessIndex, speedIndex];
        var cmd = ColorMath.effectCommand(ledPower, effectIndex, brightnessIndex, speedIndex);
        ui_View.ui_0DH_SetRGBLedEffect(cmd[0], cmd[1], cmd[2], configs);
    }

    // Everything of this page the mouse holds, for a profile switch.
    function sendAll() {
        ui_View.ui_10H_SetLED8StageColor(0, _Palette.rgbList());
        pageApply();
    }

    function pageReset() {
        _Palette.setTextInputFocus(false);
        var d = ColorMath.splitDefaults(ui_View.loadDefaultProfile(2));
        if (d.palette !== null) {
            for (var i = 0; i < 8; ++i)
                _Palette.setColor(i, d.palette[3 * i], d.palette[3 * i + 1], d.palette[3 * i + 2]);
            _Palette.setCurIndex(_Palette.getCurIndex());
            ui_View.ui_10H_SetLED8StageColor(0, _Palette.rgbList());
        }
        // The effect reaches the mouse with the next apply.
        _showEffect(d.effect);
    }

    function translateStrings() {
        for (var i = 0; i < ColorMath.effects.length && i < _Effect.mdItems.count; ++i)
            _Effect.mdItems.setProperty(i, "textX", str(ColorMath.effects[i].entry, ColorMath.effects[i].name));
    }

    // Key events reach every page; this one has no use for them.
    function detectKeyboard(isDown, usbCode) {
    }

    function _showEffect(st) {
        if (st === null)
            return;
        _LedPower.isSelect = st.power;
        _Effect.setCurIndex(st.effect);
        _Brightness.currentIndex = st.brightness;
        _Speed.currentIndex = st.speed;
    }

    Component.onCompleted: {
        _Effect.mdItems.clear();
        for (var i = 0; i < ColorMath.effects.length; ++i)
            _Effect.mdItems.append({textX: ColorMath.effects[i].name});
        _Effect.setCurIndex(0);
        translateStrings();
    }

    Image {
        anchors.fill: parent
        source: page._skin("sourceFnColorBackground")
    }

    Model_Color_Z3 {
        id: _Model
        x: 48
        y: 110
    }

    // Never shown: the LED power flag is only set by refreshUI and pageReset.
    Checkbox {
        id: _LedPower
        visible: false
        chkStr: page.str(87, "LED POWER ON")
    }

    component Caption: Text {
        font.family: page._font
        font.pixelSize: page._size
        font.bold: true
        color: page._textColor
    }

    // First for Tab (reading order); stacked over the controls it opens over.
    DropdownList {
        id: _Effect
        objectName: "effectList"
        x: 200
        y: 52
        width: 200
        enabled: page.ledPower
        opacity: enabled ? 1 : 0.2
        onListOpened: z = 10
        onListClosed: z = 1
        z: 1
    }

    Caption {
        x: 200
        y: 100
        text: page.str(4, "BRIGHTNESS")
        opacity: page._brightnessOn ? 1 : 0.2
    }
    Slider {
        id: _Brightness
        objectName: "brightness"
        Accessible.name: page.str(4, "BRIGHTNESS")
        x: 200
        y: 122
        currentIndex: 7
        enabled: page._brightnessOn
        opacity: enabled ? 1 : 0.2
    }

    Caption {
        x: 400
        y: 100
        text: page.str(3, "SPEED")
        opacity: page._speedOn ? 1 : 0.2
    }
    Slider {
        id: _Speed
        objectName: "speed"
        Accessible.name: page.str(3, "SPEED")
        x: 400
        y: 122
        currentIndex: 4
        enabled: page._speedOn
        opacity: enabled ? 1 : 0.2
    }

    ColorGroup_8 {
        id: _Palette
        objectName: "palette"
        x: 200
        y: 180
        enabled: page._paletteOn
        opacity: enabled ? 1 : 0.2
        onClicked: function (index) {
            ui_View.ui_10H_SetLED8StageColor(0, _Palette.rgbList());
        }
    }

    Row {
        x: page.width - 130
        y: page.height - 70
        spacing: 16
        Button_2state {
            id: _Reset
            objectName: "reset"
            Accessible.name: page.str(106, "DEFAULT")
            width: 48
            height: 48
            source0: page._skin("sourceReset_0")
            source1: page._skin("sourceReset_1")
            onClicked: {
                page._protect(800);
                page.pageReset();
            }
            Text {
                anchors.bottom: parent.top
                anchors.horizontalCenter: parent.horizontalCenter
                visible: _Reset.mouse.containsMouse
                text: page.str(106, "RESET")
                font.family: page._font
                font.pixelSize: page._size
                color: page._accent
            }
        }
        Button_2state {
            id: _Apply
            objectName: "apply"
            Accessible.name: page.str(107, "APPLY")
            width: 48
            height: 48
            source0: page._skin("sourceApply_0")
            source1: page._skin("sourceApply_1")
            onClicked: {
                page._protect(800);
                page.pageApply();
            }
            Text {
                anchors.bottom: parent.top
                anchors.horizontalCenter: parent.horizontalCenter
                visible: _Apply.mouse.containsMouse
                text: page.str(107, "APPLY")
                font.family: page._font
                font.pixelSize: page._size
                color: page._accent
            }
        }
    }
}
