import QtQuick

// Placeholder root; the shell work replaces it.
Item {
    id: mainIten
    width: 1000
    height: 600
    visible: false
}
