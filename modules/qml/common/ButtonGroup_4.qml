import QtQuick

// Four side-by-side choices; the current and the hovered one are filled.
Item {
    id: root
    width: 311
    height: 27

    property int currentIndex: 0
    property var valueForIndex: [0, 1, 2, 3]

    signal clicked(int index)

    readonly property var _xs: [3, 80, 157, 234]
    readonly property url _srcBase: typeof sourceBtnGroup_4_BASE !== "undefined" ? sourceBtnGroup_4_BASE : ""
    readonly property url _srcOff: typeof sourceBtnGroup_FILLER_0 !== "undefined" ? sourceBtnGroup_FILLER_0 : ""
    readonly property url _srcOn: typeof sourceBtnGroup_FILLER_1 !== "undefined" ? sourceBtnGroup_FILLER_1 : ""
    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property color _colorOn: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#ffffff"
    readonly property color _colorOff: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"

    Image {
        anchors.fill: parent
        source: root._srcBase
    }

    Repeater {
        model: 4
        Item {
            id: cell
            objectName: "button" + index
            readonly property bool lit: root.currentIndex === index || area.containsMouse
            x: root._xs[index]
            y: 3
            width: 74
            height: 21
            activeFocusOnTab: true
            Accessible.role: Accessible.RadioButton
            Accessible.name: label.text
            Accessible.checkable: true
            Accessible.checked: root.currentIndex === index
            Accessible.focusable: true
            Accessible.onPressAction: choose()
            Keys.onSpacePressed: choose()
            Keys.onReturnPressed: choose()
            Keys.onEnterPressed: choose()
            function choose() {
                root.currentIndex = index
                root.clicked(index)
            }
            Image {
                anchors.fill: parent
                source: cell.lit ? root._srcOn : root._srcOff
            }
            Text {
                id: label
                anchors.centerIn: parent
                text: root.valueForIndex !== undefined && root.valueForIndex[index] !== undefined
                      ? String(root.valueForIndex[index]) : ""
                font.family: root._font
                font.pixelSize: 11
                color: cell.lit ? root._colorOn : root._colorOff
            }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                onClicked: cell.choose()
            }
            FocusMark {}
        }
    }
}
