import QtQuick
import "../common"

// A two-state image button with its label beside it; the label takes the
// click too (same sound, same signal).
Item {
    id: root
    width: button.width + 8 + label.implicitWidth
    height: Math.max(button.height, label.implicitHeight)

    property alias source0: button.source0
    property alias source1: button.source1
    property alias text: label.text
    property int iconSize: 32
    readonly property bool hovered: button.mouse.containsMouse || labelArea.containsMouse

    signal clicked

    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: label.text
    Accessible.focusable: true
    Accessible.onPressAction: button._press()
    Keys.onSpacePressed: button._press()
    Keys.onReturnPressed: button._press()
    Keys.onEnterPressed: button._press()

    Button_2state {
        id: button
        activeFocusOnTab: false
        Accessible.ignored: true
        width: root.iconSize
        height: root.iconSize
        anchors.verticalCenter: parent.verticalCenter
        onClicked: root.clicked()
    }
    Text {
        id: label
        x: button.width + 8
        anchors.verticalCenter: parent.verticalCenter
        font.family: mainIten.globalSetting_fontFamily
        font.pixelSize: mainIten.globalSetting_size + 1
        font.bold: true
        color: root.hovered ? mainIten.globalSetting_color : mainIten.globalSetting_color_enable
        opacity: labelArea.pressed ? 0.2 : 1
        MouseArea {
            id: labelArea
            anchors.fill: parent
            hoverEnabled: true
            onClicked: {
                ui_View.playMedia_Index(0x04)
                root.clicked()
            }
        }
    }
    FocusMark {}
}
