import QtQuick
import QtTest
import "../../modules/qml/common"

// Release positions and drawn segments of the two sliders.
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

    Slider {
        id: slider
        x: 10
        y: 10
    }
    Slider_11 {
        id: slider11
        x: 10
        y: 60
    }
    SignalSpy {
        id: spy7
        target: slider
        signalName: "sliderClicked"
    }
    SignalSpy {
        id: spy11
        target: slider11
        signalName: "sliderClicked"
    }

    // Which segments are drawn filled (red), read from the rendered pixels.
    function filledSegments(tc, item, centres) {
        var img = tc.grabImage(item)
        var out = []
        for (var i = 0; i < centres.length; ++i)
            out.push(img.red(centres[i], 10) > 200 && img.blue(centres[i], 10) < 50)
        return out
    }
    function slider7Centres() {
        var c = []
        for (var k = 1; k <= 7; ++k)
            c.push((k - 1) * 20 + 10)
        return c
    }
    function slider11Centres() {
        var c = []
        for (var i = 0; i <= 10; ++i)
            c.push(Math.round(i * 311 / 11) + 12)
        return c
    }
    // Skin images load asynchronously from their data URLs; wait until the
    // first segment of both sliders is drawn in a skin colour.
    function waitForSkin(tc) {
        tc.tryVerify(function () {
            var a = tc.grabImage(slider), b = tc.grabImage(slider11)
            return a.green(10, 10) < 50 && a.red(10, 10) + a.blue(10, 10) > 200
                    && b.green(12, 10) < 50 && b.red(12, 10) + b.blue(12, 10) > 200
        }, 5000, "skin images drawn")
    }
    function expectFilled(tc, flags, count) {
        for (var i = 0; i < flags.length; ++i)
            tc.compare(flags[i], i < count, "segment " + i)
    }

    TestCase {
        name: "Slider"
        when: windowShown

        function initTestCase() {
            top.waitForSkin(this)
        }
        function init() {
            slider.currentIndex = 7
            spy7.clear()
        }

        function test_geometry() {
            compare(slider.width, 141)
            compare(slider.currentIndex, 7)
            top.expectFilled(this, top.filledSegments(this, slider, top.slider7Centres()), 7)
        }

        function test_release_data() {
            return [{ tag: "left edge", x: 0, pos: 0 }, { tag: "first pixel", x: 1, pos: 1 },
                    { tag: "end of first segment", x: 20, pos: 1 }, { tag: "start of second", x: 21, pos: 2 },
                    { tag: "middle", x: 70, pos: 4 }, { tag: "just before the end", x: 139, pos: 7 },
                    { tag: "right edge", x: 140, pos: 7 }]
        }
        function test_release(data) {
            mouseClick(slider, data.x, 10)
            compare(slider.currentIndex, data.pos)
            compare(spy7.count, 1)
            compare(spy7.signalArguments[0][0], data.pos)
            top.expectFilled(this, top.filledSegments(this, slider, top.slider7Centres()), data.pos)
        }

        function test_heldButtonFillsUpToPointer() {
            slider.currentIndex = 1
            mousePress(slider, 50, 10)
            // While held, what is drawn follows the pointer, not the position.
            top.expectFilled(this, top.filledSegments(this, slider, top.slider7Centres()), 3)
            compare(slider.currentIndex, 1)
            compare(spy7.count, 0)
            mouseMove(slider, 100, 10)
            top.expectFilled(this, top.filledSegments(this, slider, top.slider7Centres()), 5)
            mouseRelease(slider, 100, 10)
            compare(slider.currentIndex, 5)
            compare(spy7.count, 1)
        }

        function test_releaseOutsideClamps() {
            mousePress(slider, 30, 10)
            mouseRelease(slider, 400, 10)
            compare(slider.currentIndex, 7)
            mousePress(slider, 30, 10)
            mouseRelease(slider, -40, 10)
            compare(slider.currentIndex, 0)
            compare(spy7.signalArguments[1][0], 0)
        }
    }

    TestCase {
        name: "Slider_11"
        when: windowShown

        function initTestCase() {
            top.waitForSkin(this)
        }
        function init() {
            slider11.currentIndex = 5
            spy11.clear()
        }

        function test_initial() {
            compare(slider11.width, 309)
            compare(slider11.currentIndex, 5)
            top.expectFilled(this, top.filledSegments(this, slider11, top.slider11Centres()), 6)
        }

        function test_release_data() {
            return [{ tag: "left edge", x: 0, pos: 0 }, { tag: "first step boundary", x: 28, pos: 0 },
                    { tag: "past first step", x: 29, pos: 1 }, { tag: "middle", x: 154, pos: 5 },
                    { tag: "near the end", x: 300, pos: 10 }, { tag: "right edge", x: 308, pos: 10 }]
        }
        function test_release(data) {
            mouseClick(slider11, data.x, 10)
            compare(slider11.currentIndex, data.pos)
            compare(spy11.count, 1)
            compare(spy11.signalArguments[0][0], data.pos)
            // Position p shows p + 1 filled segments: position 0 still shows one.
            top.expectFilled(this, top.filledSegments(this, slider11, top.slider11Centres()), data.pos + 1)
        }

        function test_releaseOutsideClamps() {
            mousePress(slider11, 100, 10)
            mouseRelease(slider11, 380, 10)
            compare(slider11.currentIndex, 10)
        }
    }
}
