import QtQuick

// Small key box: shows the key name, "╳" while hovered; a click empties it.
Item {
    id: root
    width: 65
    height: 23

    property int keycodeUSB: -1
    property string keyname: ""

    signal clearKey

    readonly property color _color: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"

    function setKeycodeUSB(code) {
        var name = undefined
        if (code !== -1 && typeof _KeyCodeString !== "undefined" && _KeyCodeString)
            name = _KeyCodeString.keycodeTostr(code)
        if (name === undefined) {
            keycodeUSB = -1
            keyname = ""
        } else {
            keycodeUSB = code
            keyname = name
        }
    }

    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.width: 1
        border.color: root._color
    }
    Text {
        objectName: "keyText"
        anchors.centerIn: parent
        text: area.containsMouse ? "╳" : (root.keycodeUSB === -1 ? "【 KEYS 】" : root.keyname)
        font.family: "Arial"
        font.pixelSize: 10
        color: root._color
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: {
            root.keycodeUSB = -1
            root.keyname = ""
            root.clearKey()
        }
    }
}
