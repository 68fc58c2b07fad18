import QtQuick

// Eleven-step slider: position 0..10, segment i (0..10) filled when the
// position is at least i, so position 0 still shows one filled segment.
Item {
    id: root
    width: 309
    height: 21

    property int currentIndex: 5
    readonly property int segmentCount: 11

    signal sliderClicked(int position)

    // Left/Right (or Down/Up) move one step.
    activeFocusOnTab: true
    Accessible.role: Accessible.Slider
    Accessible.focusable: true
    Accessible.description: String(currentIndex)
    Accessible.onIncreaseAction: _step(1)
    Accessible.onDecreaseAction: _step(-1)
    Keys.onRightPressed: _step(1)
    Keys.onUpPressed: _step(1)
    Keys.onLeftPressed: _step(-1)
    Keys.onDownPressed: _step(-1)
    function _step(d) {
        var p = Math.max(0, Math.min(10, currentIndex + d))
        if (p === currentIndex || !enabled)
            return
        currentIndex = p
        sliderClicked(p)
    }

    readonly property url _srcBase: typeof sourceSlider_11_BASE !== "undefined" ? sourceSlider_11_BASE : ""
    readonly property url _srcOff: typeof sourceSlider_11_FILLER_0 !== "undefined" ? sourceSlider_11_FILLER_0 : ""
    readonly property url _srcOn: typeof sourceSlider_11_FILLER_1 !== "undefined" ? sourceSlider_11_FILLER_1 : ""

    // Segments sit 2 pixels apart and together span the width.
    readonly property real _pitch: (width + 2) / segmentCount

    function positionAt(x, w) {
        var p = Math.max(0, Math.ceil(11 * x / (w - 1)) - 1)
        return Math.min(10, p)
    }

    Image {
        anchors.fill: parent
        source: root._srcBase
    }

    Repeater {
        model: root.segmentCount
        Image {
            x: Math.round(index * root._pitch)
            width: Math.round((index + 1) * root._pitch) - x - 2
            height: root.height
            source: {
                var shown = mouse.pressed ? root.positionAt(mouse.mouseX, root.width) : root.currentIndex
                return shown >= index ? root._srcOn : root._srcOff
            }
        }
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        onReleased: function (ev) {
            root.currentIndex = root.positionAt(ev.x, root.width)
            root.sliderClicked(root.currentIndex)
        }
    }
    FocusMark {}
}
