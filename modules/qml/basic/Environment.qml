import QtQuick

// Background layer: the user's picture or the skin background, with the
// frame above it.
Item {
    id: environment
    width: 1000
    height: 600

    Image {
        objectName: "backgroundImage"
        anchors.fill: parent
        fillMode: mainIten.isCustomBackground ? Image.PreserveAspectCrop : Image.Stretch
        source: mainIten.isCustomBackground ? mainIten.sourceCustomBackground : mainIten.sourceBackground
    }
    Image {
        anchors.fill: parent
        source: mainIten.sourceFrameBackground
    }
}
