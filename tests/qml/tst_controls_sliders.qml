import QtQuick
import QtTest
import "../../modules/qml/common"

// Release positions, arrow-key steps and drawn segments of the two sliders.
Item {
    id: top
    width: 400
    height: 200

    // Skin stand-ins: filled segments red, empty ones blue, bases green.
    readonly property string red: "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAAMBAQDJ/pLvAAAAAElFTkSuQmCC"
    readonly property string blue: "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGNgYPgPAAEDAQAIicLsAAAAAElFTkSuQmCC"
    readonly property string green: "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGNg+M8AAAICAQB7CYF4AAAAAElFTkSuQmCC"
    property url sourceSlider_BASE: green
    property url sourceSlider_FILLER_0: blue
    property url sourceSlider_FILLER_1: red
    property url sourceSlider_11_BASE: green
    property url sourceSlider_11_FILLER_0: blue
    property url sourceSlider_11_FILLER_1: red
    property var log: []

    Slider {
        id: slider
        x: 10
        y: 10
        onSliderClicked: function (p) { top.log.push(p) }
    }
    Slider_11 {
        id: slider11
        x: 10
        y: 60
        onSliderClicked: function (p) { top.log.push(p) }
    }

    TestCase {
        name: "Sliders"
        when: windowShown

        function initTestCase() {
            // The skin images load asynchronously from their data URLs.
            tryVerify(function () { return filled(slider)[0] && filled(slider11)[0] }, 5000, "skin drawn")
        }
        function init() {
            slider.currentIndex = 7
            slider11.currentIndex = 5
            top.log = []
        }
        // Which segments are drawn filled (red), read from the rendered pixels.
        function filled(s) {
            var img = grabImage(s)
            var out = []
            for (var i = 0; i < (s === slider ? 7 : 11); ++i) {
                var x = s === slider ? i * 20 + 10 : Math.round(i * 311 / 11) + 12
                out.push(img.red(x, 10) > 200 && img.blue(x, 10) < 50)
            }
            return out
        }
        function expectFilled(s, count) {
            var f = filled(s)
            for (var i = 0; i < f.length; ++i)
                compare(f[i], i < count, "segment " + i)
        }

        // Position p of the 11-step slider shows p + 1 filled segments.
        function test_release_data() {
            return [{tag: "7: left edge", s: 7, x: 0, pos: 0}, {tag: "7: first pixel", s: 7, x: 1, pos: 1},
                    {tag: "7: end of first", s: 7, x: 20, pos: 1}, {tag: "7: start of second", s: 7, x: 21, pos: 2},
                    {tag: "7: middle", s: 7, x: 70, pos: 4}, {tag: "7: before the end", s: 7, x: 139, pos: 7},
                    {tag: "11: left edge", s: 11, x: 0, pos: 0}, {tag: "11: step boundary", s: 11, x: 28, pos: 0},
                    {tag: "11: past it", s: 11, x: 29, pos: 1}, {tag: "11: middle", s: 11, x: 154, pos: 5},
                    {tag: "11: near the end", s: 11, x: 300, pos: 10}, {tag: "11: right edge", s: 11, x: 308, pos: 10}]
        }
        function test_release(data) {
            var s = data.s === 7 ? slider : slider11
            mouseClick(s, data.x, 10)
            compare([s.currentIndex, top.log], [data.pos, [data.pos]])
            expectFilled(s, data.s === 7 ? data.pos : data.pos + 1)
        }

        function test_heldButtonFillsUpToPointer() {
            slider.currentIndex = 1
            mousePress(slider, 50, 10)
            expectFilled(slider, 3)
            mouseMove(slider, 100, 10)
            expectFilled(slider, 5)
            compare([slider.currentIndex, top.log], [1, []], "nothing taken while held")
            mouseRelease(slider, 100, 10)
            compare(slider.currentIndex, 5)
            // Released outside: clamped to the ends.
            mousePress(slider, 30, 10)
            mouseRelease(slider, -40, 10)
            mousePress(slider11, 100, 10)
            mouseRelease(slider11, 380, 10)
            compare(top.log, [5, 0, 10])
        }

        function test_arrowKeysStep() {
            slider.forceActiveFocus()
            keyClick(Qt.Key_Right) // already at the end: nothing
            keyClick(Qt.Key_Left)
            keyClick(Qt.Key_Down)
            compare(slider.currentIndex, 5)
            slider11.forceActiveFocus()
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Right)
            compare(slider11.currentIndex, 7)
            expectFilled(slider11, 8)
            compare(top.log, [6, 5, 6, 7])
        }
    }
}
