import QtQuick

// Stands in for the window controls in scene tests.
QtObject {
    property int minimized: 0
    property var moves: []
    function onMinimize() {
        minimized++
    }
    function onXChanged(x) {
        var m = moves.slice()
        m.push(["x", x])
        moves = m
    }
    function onYChanged(y) {
        var m = moves.slice()
        m.push(["y", y])
        moves = m
    }
}
