import QtQuick

// Five cells in a cross: centre, right, left, up, down (indexes 0..4).
Item {
    id: root
    width: 61
    height: 61

    property int currentIndex: 1

    signal wheelClicked(int index)

    readonly property var _cells: [[20, 20, ""], [40, 20, "►"], [0, 20, "◄"], [20, 0, "▲"], [20, 40, "▼"]]
    readonly property url _srcOff: typeof sourceBtnGroup2_FILLER_0 !== "undefined" ? sourceBtnGroup2_FILLER_0 : ""
    readonly property url _srcOn: typeof sourceBtnGroup2_FILLER_1 !== "undefined" ? sourceBtnGroup2_FILLER_1 : ""
    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property color _colorOn: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#ffffff"
    readonly property color _colorOff: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"

    Repeater {
        model: 5
        Item {
            objectName: "cell" + index
            readonly property bool lit: root.currentIndex === index || area.containsMouse
            x: root._cells[index][0]
            y: root._cells[index][1]
            width: 21
            height: 21
            Image {
                anchors.fill: parent
                source: parent.lit ? root._srcOn : root._srcOff
            }
            Text {
                anchors.centerIn: parent
                text: root._cells[index][2]
                font.family: root._font
                font.pixelSize: 11
                color: parent.lit ? root._colorOn : root._colorOff
            }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                onClicked: {
                    root.currentIndex = index
                    root.wheelClicked(index)
                }
            }
        }
    }
}
