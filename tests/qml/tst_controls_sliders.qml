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
    property url sourceSlider_BASE: green; property url sourceSlider_FILLER_0: blue; property url sourceSlider_FILLER_1: red
    property url sourceSlider_11_BASE: green; property url sourceSlider_11_FILLER_0: blue; property url sourceSlider_11_FILLER_1: red
    property var log: []

    Slider { id: slider; x: 10; y: 10; onSliderClicked: function (p) { top.log.push(p) } }
    Slider_11 { id: slider11; x: 10; y: 60; onSliderClicked: function (p) { top.log.push(p) } }

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
            var img = grabImage(s), xs = s === slider ? [10, 30, 50, 70, 90, 110, 130] : [12, 40, 69, 97, 125, 153, 182, 210, 238, 266, 295]
            return xs.map(function (x) { return img.red(x, 10) > 200 && img.blue(x, 10) < 50 })
        }
        function expectFilled(s, count) { compare(filled(s), filled(s).map(function (f, i) { return i < count })) }

        // [slider, release x, position]; position p of the 11-step slider shows p + 1 filled segments.
        function test_releaseSetsPositionAndDrawing() {
            var rows = [[slider, 0, 0], [slider, 1, 1], [slider, 20, 1], [slider, 21, 2], [slider, 70, 4], [slider, 139, 7],
                        [slider11, 0, 0], [slider11, 28, 0], [slider11, 29, 1], [slider11, 154, 5], [slider11, 308, 10]]
            for (var r of rows) {
                top.log = []
                mouseClick(r[0], r[1], 10)
                compare([r[0].currentIndex, top.log], [r[2], [r[2]]], "release at " + r[1])
                expectFilled(r[0], r[0] === slider ? r[2] : r[2] + 1)
            }
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
