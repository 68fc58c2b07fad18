import QtQuick
import "../common"
import "SensorMath.js" as SensorMath
import "ColorMath.js" as ColorMath

// Sensor page: report rate, the three desktop pointer settings, the DPI
// stages with their values and the current stage, and the DPI indicator
// colour of each stage. Report rate, pointer settings and the stage reach the
// mouse with apply; DPI values and indicator colours are sent as they change.
Item {
    id: page
    objectName: "pageSensor"
    width: 700
    height: 470

    property int sensorType: 0
    property bool isLogoLedWork: false
    property int dpiMAXStage: 8

    // Read by tests and the main screen.
    property alias reportRate: _Rate
    property alias cursorSpeed: _Cursor
    property alias scrollLines: _Lines
    property alias doubleClick: _DoubleClick
    property alias dpiLevel: _DpiLevel
    property alias indicatorColors: _Colors

    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _textColor: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#d0d0d0"
    readonly property color _accent: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#00e0ff"

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

    function _slider(v) {
        return SensorMath.clamp(SensorMath.toInt(v), 0, 10);
    }

    // The 8 device codes of the DPI values shown.
    function dpiValueToDpiSet() {
        return SensorMath.dpiValueToDpiSet(sensorType, _DpiLevel.valueForIndex);
    }

    function initUI() {
        sensorType = SensorMath.toInt(ui_View.getSensorType());
        isLogoLedWork = ui_View.chkIsLogoLedWork();
        dpiMAXStage = SensorMath.clamp(SensorMath.toInt(ui_View.ui_91H_SyncDPI()), 0, 8);

        var rate = ui_View.ui_81H_GetReportRate();
        var cursor = ui_View.getCursorSpeed();
        var lines = ui_View.getVerticalScrollLines();
        var dblClick = ui_View.getDoubleClickSpeed();
        var stage = ui_View.ui_8BH_GetCurrentDPIStage();
        var values = ui_View.ui_91H_GetDPISet();

        _Rate.currentIndex = SensorMath.reportRateIndex(rate);
        _Cursor.currentIndex = _slider(cursor);
        _Lines.currentIndex = _slider(lines);
        _DoubleClick.currentIndex = _slider(dblClick);
        // The stored list replaces the defaults, also when it is empty.
        _DpiLevel.valueForIndex = SensorMath.normaliseStoredValues(values);
        _DpiLevel.currentIndex = SensorMath.stageIndex(stage);
        _keepStageInUse();

        var rgb = ui_View.ui_90H_GetLED8StageColor(1);
        if (rgb.length === 24) {
            for (var i = 0; i < 8; ++i)
                _Colors.setColor(i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        }
        var ids = ui_View.ui_90H_GetLED8StageColor(2);
        if (ids.length === 8) {
            for (var k = 0; k < 8; ++k)
                _Colors.setColor8_Id(k, SensorMath.toInt(ids[k]));
        }
        _Colors.setCurIndex(_DpiLevel.currentIndex);
    }

    function pageApply() {
        _Colors.setTextInputFocus(false);
        ui_View.ui_01H_SetReportRate(SensorMath.reportRateCode(_Rate.currentIndex));
        ui_View.setCursorSpeed(_Cursor.currentIndex);
        ui_View.setVerticalScrollLines(_Lines.currentIndex);
        ui_View.setDoubleClickSpeed(_DoubleClick.currentIndex);
        // Never a switched-off stage; with every stage off there is none to name.
        var stage = SensorMath.stageInUse(_DpiLevel.valueForIndex, _DpiLevel.currentIndex, dpiMAXStage);
        if (stage >= 0)
            ui_View.ui_0BH_SetCurrentDPIStage(stage + 1);
    }

    // Everything of this page the mouse holds, for a profile switch: the DPI
    // values before the stage that names one of them.
    function sendAll() {
        _sendDpiSet();
        _sendIndicatorColours();
        pageApply();
    }

    // A switched-off stage cannot stay current: the nearest stage in use
    // (lower first) takes its place.
    function _keepStageInUse() {
        var i = SensorMath.stageInUse(_DpiLevel.valueForIndex, _DpiLevel.currentIndex, dpiMAXStage);
        if (i >= 0)
            _DpiLevel.currentIndex = i;
    }

    function pageReset() {
        _Colors.setTextInputFocus(false);
        var d = SensorMath.splitDefaults(ui_View.loadDefaultProfile(3));
        if (!d.valid)
            return;
        _Rate.currentIndex = SensorMath.reportRateIndex(d.rate);
        _Cursor.currentIndex = d.sliders[0];
        _Lines.currentIndex = d.sliders[1];
        _DoubleClick.currentIndex = d.sliders[2];
        // Without its lists the default profile cannot say which values,
        // stage and colours to use; the page keeps its own rather than
        // sending a guess.
        if (!d.complete)
            return;
        _DpiLevel.valueForIndex = d.dpi;
        _DpiLevel.currentIndex = SensorMath.stageIndex(d.stage);
        _keepStageInUse();
        _sendDpiSet();
        for (var i = 0; i < 8; ++i) {
            _Colors.setColor(i, d.rgb[3 * i], d.rgb[3 * i + 1], d.rgb[3 * i + 2]);
            _Colors.setColor8_Id(i, d.colourIndexes[i]);
        }
        _Colors.setCurIndex(_Colors.getCurIndex());
        _sendIndicatorColours();
    }

    // Labels are bound to the string list; nothing to re-read here.
    function translateStrings() {
    }

    function detectKeyboard(isDown, usbCode) {
    }

    function _sendDpiSet() {
        ui_View.ui_11H_SetDPISet(dpiMAXStage, dpiValueToDpiSet(), _DpiLevel.valueForIndex);
    }

    function _sendIndicatorColours() {
        if (isLogoLedWork)
            ui_View.ui_10H_SetLED8StageColor(2, _Colors.colourIndexList());
        else
            ui_View.ui_10H_SetLED8StageColor(1, _Colors.rgbList());
    }

    // A click on one of the fixed colours in 8-colour mode.
    function pickFixedColour(id) {
        _Colors.setColor8_Id(_Colors.getCurIndex(), id);
        _sendIndicatorColours();
    }

    Component.onCompleted: _DpiLevel.valueForIndex = SensorMath.defaultsFor(sensorType)

    Image {
        anchors.fill: parent
        source: page._skin("sourceFnCommonBackground")
    }

    component Caption: Text {
        font.family: page._font
        font.pixelSize: page._size
        font.bold: true
        color: page._textColor
    }

    // Left column: report rate and pointer settings.
    Caption {
        x: 30
        y: 14
        objectName: "rateCaption"
        text: page.str(100, "POLLING RATE")
    }
    ButtonGroup_4 {
        id: _Rate
        objectName: "reportRate"
        x: 30
        y: 52
        currentIndex: 2
        valueForIndex: ["125 Hz", "250 Hz", "500 Hz", "1000 Hz"]
    }

    Caption {
        x: 30
        y: 110
        text: page.str(101, "CURSOR SPEED")
    }
    Slider_11 {
        id: _Cursor
        objectName: "cursorSpeed"
        Accessible.name: page.str(101, "CURSOR SPEED")
        x: 30
        y: 132
        currentIndex: 5
    }

    Caption {
        x: 30
        y: 180
        text: page.str(102, "VERTICAL SCROLL SPEED")
    }
    Slider_11 {
        id: _Lines
        objectName: "scrollLines"
        Accessible.name: page.str(102, "VERTICAL SCROLL SPEED")
        x: 30
        y: 202
        currentIndex: 2
    }

    Caption {
        x: 30
        y: 250
        text: page.str(103, "DOUBLE CLICK SPEED")
    }
    Slider_11 {
        id: _DoubleClick
        objectName: "doubleClick"
        Accessible.name: page.str(103, "DOUBLE CLICK SPEED")
        x: 30
        y: 272
        currentIndex: 5
    }

    // Right column: DPI stages and their indicator colours.
    Caption {
        x: 370
        y: 14
        objectName: "dpiCaption"
        text: page.str(104, "DPI LEVEL")
    }

    Caption {
        x: 370
        y: 130
        text: page.str(105, "DPI INDICATOR LED")
    }
    ColorGroup_8 {
        id: _Colors
        objectName: "indicatorColors"
        x: 370
        y: 152
        maxStage: page.dpiMAXStage
        isCompat8Color: page.isLogoLedWork
        onClicked: function (index) {
            page._sendIndicatorColours();
        }
    }
    Row {
        id: _Fixed
        x: 370
        y: 196
        spacing: 8
        visible: page.isLogoLedWork
        Repeater {
            model: 8
            delegate: Rectangle {
                required property int index
                readonly property var rgb: ColorMath.color8Rgb(index)
                objectName: "fixedColour" + index
                width: 32
                height: 18
                color: Qt.rgba(rgb[0] / 255, rgb[1] / 255, rgb[2] / 255, 1)
                border.width: 1
                border.color: "#505050"
                MouseArea {
                    anchors.fill: parent
                    onClicked: page.pickFixedColour(parent.index)
                }
            }
        }
    }

    // Above the colour group: its value menus open downwards over it.
    ButtonGroupPro_8 {
        id: _DpiLevel
        objectName: "dpiLevel"
        x: 370
        y: 52
        z: 5
        currentIndex: 1
        maxStage: page.dpiMAXStage
        menuCounter: SensorMath.menuCounter(page.sensorType)
        valueForMenuIndex: SensorMath.menuFor(page.sensorType)
        onValueChanged: function (index, value) {
            // Picking on a fresh profile must not leave holes in the stored list.
            _DpiLevel.valueForIndex = SensorMath.completeValues(_DpiLevel.valueForIndex);
            page._keepStageInUse();
            page._sendDpiSet();
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
                page._protect(1600);
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
