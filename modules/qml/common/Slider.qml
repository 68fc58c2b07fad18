import QtQuick

// Seven-step slider: position 0..7, segment k (1..7) filled when the position
// is at least k. The release point decides the position.
Item {
    id: root
    width: 141
    height: 21

    property int currentIndex: 7
    readonly property int segmentCount: 7

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
        var p = Math.max(0, Math.min(7, currentIndex + d))
        if (p === currentIndex || !enabled)
            return
        currentIndex = p
        sliderClicked(p)
    }

    readonly property url _srcBase: typeof sourceSlider_BASE !== "undefined" ? sourceSlider_BASE : ""
    readonly property url _srcOff: typeof sourceSlider_FILLER_0 !== "undefined" ? sourceSlider_FILLER_0 : ""
    readonly property url _srcOn: typeof sourceSlider_FILLER_1 !== "undefined" ? sourceSlider_FILLER_1 : ""

    // Segments overlap by one pixel, so seven of them exactly span the width.
    readonly property real _segWidth: (width + segmentCount - 1) / segmentCount

    // Position for a release at x; points dragged outside the bar clamp to its ends.
    function positionAt(x, w) {
        var p = Math.ceil(x / (w - 1) * 7)
        return Math.max(0, Math.min(7, p))
    }

    Image {
        anchors.fill: parent
        source: root._srcBase
    }

    Repeater {
        model: root.segmentCount
        Image {
            readonly property int step: index + 1
            x: index * (root._segWidth - 1)
            width: root._segWidth
            height: root.height
            source: {
                var shown = mouse.pressed ? root.positionAt(mouse.mouseX, root.width) : root.currentIndex
                return shown >= step ? root._srcOn : root._srcOff
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
