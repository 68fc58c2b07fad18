import QtQuick

// Picture of the mouse on the colour page. The three zone rectangles mark the
// lit areas of the shell (wheel, logo, sides); they stay hidden.
Item {
    id: model
    width: 102
    height: 191

    property alias zoneWheel: _zoneWheel
    property alias zoneLogo: _zoneLogo
    property alias zoneSide: _zoneSide

    Image {
        anchors.fill: parent
        source: typeof sourceModel_Z3_Color !== "undefined" ? sourceModel_Z3_Color : ""
        fillMode: Image.PreserveAspectFit
    }
    Rectangle {
        id: _zoneWheel
        x: 44
        y: 22
        width: 14
        height: 30
        visible: false
        color: "transparent"
    }
    Rectangle {
        id: _zoneLogo
        x: 36
        y: 120
        width: 30
        height: 30
        visible: false
        color: "transparent"
    }
    Rectangle {
        id: _zoneSide
        x: 4
        y: 60
        width: 94
        height: 100
        visible: false
        color: "transparent"
    }
}
