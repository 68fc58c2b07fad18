import QtQuick
import "./basic"

// Root of the scene. The host window sizes itself to this item; it stays
// invisible until run() starts the opening sequence.
Item {
    id: mainIten
    width: 1000
    height: 600
    visible: false
    clip: true

    signal emptyAreaPressed
    signal msg_KB(bool isDown, int usbCode)

    property int globalSetting_size: 11
    property color globalSetting_color: "#FF00FFFF"
    property color globalSetting_color_enable: "#FFAAAAAA"
    property color globalSetting_color_disable: "#80FFFFFF"
    property int animation_speed: 800
    property var globalSetting_stringList: []
    property string globalSetting_fontFamily: "Arial"
    property string globalSetting_url: ""
    property int skin_No: 1

    // Locks the whole view for `interval` ms. A new request with another
    // interval starts the lock again from zero; the same interval does not
    // extend a running lock.
    function setProtectUI(interval) {
        busyIndicator.visible = true
        ui_View.setEnabled(false)
        if (protectTimer.running) {
            if (protectTimer.interval !== interval) {
                protectTimer.interval = interval
                protectTimer.restart()
            }
            return
        }
        protectTimer.interval = interval
        protectTimer.start()
    }

    function initUI() {}

    function run() {
        openingAnim.restart()
    }

    function setSkin() {}

    function translateStrings(code) {}

    function detectKeyboard(isDown, usbCode) {
        msg_KB(isDown, usbCode)
    }

    function detectMouse(isDown, code, x, y) {}

    function close() {
        closingAnim.restart()
    }

    MouseArea {
        id: dragArea
        anchors.fill: parent
        property real pressX: 0
        property real pressY: 0
        onPressed: function (mouse) {
            mainIten.emptyAreaPressed()
            pressX = mouse.x
            pressY = mouse.y
        }
        onPositionChanged: function (mouse) {
            if (!pressed)
                return
            ui_Ctl.onXChanged(mouse.x - pressX)
            ui_Ctl.onYChanged(mouse.y - pressY)
        }
    }

    BusyIndicator {
        id: busyIndicator
        objectName: "busyIndicator"
        z: 99
        anchors.centerIn: parent
        fontFamily: mainIten.globalSetting_fontFamily
        fontSize: mainIten.globalSetting_size
        textColor: mainIten.globalSetting_color
    }

    Timer {
        id: protectTimer
        interval: 1000
        repeat: false
        onTriggered: {
            ui_View.setEnabled(true)
            busyIndicator.visible = false
        }
    }

    SequentialAnimation {
        id: openingAnim
        ScriptAction {
            script: {
                ui_View.playMedia_Index(1)
                mainIten.visible = true
            }
        }
    }

    SequentialAnimation {
        id: closingAnim
        NumberAnimation {
            target: mainIten
            property: "height"
            from: 600
            to: 0
            duration: mainIten.animation_speed
            easing.type: Easing.InOutCubic
        }
        ScriptAction {
            script: ui_Ctl.onMinimize()
        }
    }

    // Temporary close path until the top menu lands.
    Rectangle {
        width: 24
        height: 24
        anchors.right: parent.right
        color: "#202830"
        Text {
            anchors.centerIn: parent
            text: "×"
            color: "white"
        }
        MouseArea {
            objectName: "closeButton"
            anchors.fill: parent
            onClicked: mainIten.close()
        }
    }
}
