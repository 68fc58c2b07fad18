import QtQuick

// Decoration layer drawn above the mouse screen.
Item {
    width: 1000
    height: 600

    Image {
        source: mainIten.sourceDecoration1
    }
    Image {
        source: mainIten.sourceDecoration2
    }
}
