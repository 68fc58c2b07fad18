import QtQuick

// One cell of the value menu of ButtonGroupPro_8.
Item {
    id: root
    width: 46
    height: 16

    property int value: 0
    property int index: 0

    signal clicked

    activeFocusOnTab: enabled
    Accessible.role: Accessible.MenuItem
    Accessible.name: label.text
    Accessible.focusable: true
    Accessible.onPressAction: clicked()
    Keys.onSpacePressed: clicked()
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    readonly property url _srcOff: typeof sourceBtnGroup2_FILLER_0 !== "undefined" ? sourceBtnGroup2_FILLER_0 : ""
    readonly property url _srcOn: typeof sourceBtnGroup2_FILLER_1 !== "undefined" ? sourceBtnGroup2_FILLER_1 : ""
    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property color _colorOn: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#ffffff"
    readonly property color _colorOff: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"

    Image {
        anchors.fill: parent
        source: area.containsMouse ? root._srcOn : root._srcOff
    }
    Text {
        id: label
        anchors.centerIn: parent
        text: root.value > 0 ? String(root.value) : "×"
        font.family: root._font
        font.pixelSize: 11
        color: area.containsMouse ? root._colorOn : root._colorOff
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.clicked()
    }
    FocusMark {}
}
