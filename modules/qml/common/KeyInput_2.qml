import QtQuick

// Key box: a click empties it and toggles listening; while listening the
// next key event (handed in by the page through takeKeyEvent) fills it.
Item {
    id: root
    width: 151
    height: 23

    property int tmpKeycodeUSB: -1
    property string tmpKeyString: ""
    property bool isSelect: false

    signal inputComplete(int usbCode)

    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.name: keyText.text
    Accessible.focusable: true
    Accessible.onPressAction: _toggleListening()
    Keys.onSpacePressed: _toggleListening()
    Keys.onReturnPressed: _toggleListening()
    Keys.onEnterPressed: _toggleListening()
    function _toggleListening() {
        setKeycodeUSB(-1)
        isSelect = !isSelect
    }

    readonly property url _srcFrame: typeof sourceBtnFrame !== "undefined" ? sourceBtnFrame : ""
    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _colorOn: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#ffffff"
    readonly property color _colorOff: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"

    function _nameOf(code) {
        if (typeof _KeyCodeString === "undefined" || !_KeyCodeString)
            return undefined
        return _KeyCodeString.keycodeTostr(code)
    }

    // Shows the key with this usage code; -1 or a code without a name
    // empties the box.
    function setKeycodeUSB(code) {
        var name = code === -1 ? undefined : _nameOf(code)
        if (name === undefined) {
            tmpKeycodeUSB = -1
            tmpKeyString = ""
        } else {
            tmpKeycodeUSB = code
            tmpKeyString = name
        }
    }

    // A key event from the page. Only a listening box takes it: it shows the
    // key (or stays empty for a code without a name), stops listening and
    // reports the code as received. Returns whether the event was taken.
    function takeKeyEvent(isDown, usbCode) {
        if (!isSelect)
            return false
        setKeycodeUSB(usbCode)
        isSelect = false
        inputComplete(usbCode)
        return true
    }

    Image {
        anchors.fill: parent
        source: root._srcFrame
    }
    Text {
        id: keyText
        objectName: "keyText"
        anchors.centerIn: parent
        text: root.tmpKeycodeUSB === -1 ? "KEY【 PRESS ANY 】" : "KEY 【 " + root.tmpKeyString + " 】"
        font.family: root._font
        font.pixelSize: root._size
        color: root.isSelect || area.containsMouse ? root._colorOn : root._colorOff
    }
    // Blinks while listening, so the user sees the box waits for a key.
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.width: 1
        border.color: root._colorOn
        visible: root.isSelect
        SequentialAnimation on opacity {
            running: root.isSelect
            loops: Animation.Infinite
            NumberAnimation { from: 1; to: 0.2; duration: 400 }
            NumberAnimation { from: 0.2; to: 1; duration: 400 }
        }
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root._toggleListening()
    }
    FocusMark {}
}
