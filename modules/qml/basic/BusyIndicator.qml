import QtQuick

// "LOADING ......" that blinks while the scene is locked.
Item {
    id: busy
    width: busyText.width
    height: busyText.height
    visible: false

    property string fontFamily: "Arial"
    property int fontSize: 11
    property color textColor: "#FF00FFFF"

    Text {
        id: busyText
        text: qsTr("LOADING ......")
        font.family: busy.fontFamily
        font.pixelSize: busy.fontSize
        font.bold: true
        color: busy.textColor

        SequentialAnimation on opacity {
            running: busy.visible
            loops: Animation.Infinite
            NumberAnimation { from: 1.0; to: 0.2; duration: 400 }
            NumberAnimation { from: 0.2; to: 1.0; duration: 400 }
        }
    }
}
