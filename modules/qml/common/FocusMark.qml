import QtQuick

// Keyboard focus outline around its parent, shown only while the parent has
// active focus, so the look with the mouse alone stays as it was. White with
// a dark inner line, so it shows on the skin's accent and on light colours.
Rectangle {
    anchors.fill: parent
    anchors.margins: -1
    z: 100
    visible: parent ? parent.activeFocus : false
    color: "transparent"
    border.width: 2
    border.color: "#ffffff"
    Rectangle {
        anchors.fill: parent
        anchors.margins: 2
        color: "transparent"
        border.width: 1
        border.color: "#000000"
    }
}
