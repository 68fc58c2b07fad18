import QtQuick

// Small key box: shows the key name, "╳" while hovered; a click empties it.
Item {
    id: root
    width: 65
    height: 23

    property int keycodeUSB: -1
    property string keyname: ""

    signal clearKey

    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: "╳ " + (keycodeUSB === -1 ? "KEYS" : keyname)
    Accessible.focusable: true
    Accessible.onPressAction: _clear()
    Keys.onSpacePressed: _clear()
    Keys.onReturnPressed: _clear()
    Keys.onEnterPressed: _clear()
    function _clear() {
        keycodeUSB = -1
        keyname = ""
        clearKey()
    }

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
        onClicked: root._clear()
    }
    FocusMark {}
}
