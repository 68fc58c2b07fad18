import QtQuick
import QtTest
import "../../modules/qml/Z3/ColorMath.js" as ColorMath

// Lighting arithmetic for every effect and step, the colour strip and lists, the controls each
// effect enables (what the page sends: the real-window tests).
TestCase {
    name: "ColorMath"

    // Speed codes by effect code for steps 0..7 (0 = the fastest slider end).
    readonly property var speedCodes: ({
        3: [10, 9, 7, 6, 5, 4, 2, 1], 4: [10, 9, 7, 6, 5, 4, 2, 1], 5: [10, 9, 7, 6, 5, 4, 2, 1],
        8: [20, 19, 17, 16, 14, 13, 11, 10], 9: [15, 14, 12, 11, 9, 8, 6, 5], 10: [30, 29, 27, 26, 24, 23, 21, 20]
    })
    readonly property var brightnessCodes: [0, 45, 80, 115, 150, 185, 220, 255]
    // Which effects use brightness, speed and the palette, by list index.
    readonly property var hasBrightness: [1, 1, 0, 0, 1, 0, 1, 1, 1, 1, 0]
    readonly property var hasSpeed: [0, 0, 1, 1, 1, 0, 0, 1, 1, 1, 0]
    readonly property var hasPalette: [1, 0, 1, 0, 0, 0, 0, 0, 1, 1, 0]

    function test_everyEffectEveryStep() {
        for (var e = 0; e < 11; ++e) {
            var code = e === 10 ? 0 : e + 1
            compare([ColorMath.usesBrightness(e), ColorMath.usesSpeed(e), ColorMath.usesPalette(e)],
                    [!!hasBrightness[e], !!hasSpeed[e], !!hasPalette[e]], "controls of effect " + e)
            for (var step = 0; step < 8; ++step) {
                var want1 = hasBrightness[e] ? brightnessCodes[step] : 0
                var want2 = hasSpeed[e] ? speedCodes[code][step] : 0
                compare(ColorMath.option1(e, step), want1, "option1 effect " + e + " step " + step)
                compare(ColorMath.option2(e, step), want2, "option2 effect " + e + " step " + step)
                compare(ColorMath.effectCommand(true, e, step, step), e === 10 ? [0, 0, 0] : [code, want1, want2])
            }
        }
        compare(ColorMath.effectCommand(false, 4, 3, 0), [0, 0, 0], "LED power off sends everything 0")
        compare(ColorMath.effectCommand(true, 11, 3, 0), [0, 0, 0], "no such effect")
        verify(!ColorMath.usesBrightness(-1) && !ColorMath.usesSpeed(11) && !ColorMath.usesPalette(1.5))
    }

    function test_storedAndDefaultEffect() {
        // (0, 0, 0) reads as LED power off; out-of-range values are kept in range; a
        // fresh profile (no list) leaves the page as it is.
        compare([["4", "3", "0"], [0, 0, 0], [0, 7, 4], [99, 12, -3]].map(ColorMath.readStoredEffect),
                [{power: true, effect: 4, brightness: 3, speed: 0}, {power: false, effect: 0, brightness: 0, speed: 0},
                 {power: true, effect: 0, brightness: 7, speed: 4}, {power: true, effect: 10, brightness: 7, speed: 0}])
        compare([ColorMath.readStoredEffect([]), ColorMath.readStoredEffect([1, 2])], [null, null])

        var c = Array.from({length: 24}, function (v, i) { return String(i) })
        var d = ColorMath.splitDefaults(c.concat(["0", "7", "4"]))
        compare([d.palette.length, d.palette[23]], [24, 23])
        compare([d.effect.power, d.effect.effect, d.effect.brightness, d.effect.speed], [false, 0, 7, 4],
                "a default effect of index 0 leaves the LED power flag clear")
        verify(ColorMath.splitDefaults(c.concat(["4", "3", "0"])).effect.power)
        compare(ColorMath.splitDefaults([]), {palette: null, effect: null})
        d = ColorMath.splitDefaults(["9", "2", "5"])
        compare([d.palette, d.effect.effect], [null, 9])
    }

    function test_stripFieldsAndLists() {
        // [position 0..1, colour]
        var rows = [[0, [0, 0, 0]], [0.0625, [128, 0, 0]], [0.125, [255, 0, 0]], [0.25, [255, 255, 0]],
                    [0.375, [0, 255, 0]], [0.5, [0, 255, 255]], [0.625, [0, 0, 255]], [0.75, [255, 0, 255]],
                    [0.875, [255, 255, 255]], [0.9375, [127, 127, 127]], [1, [0, 0, 0]]]
        for (var r of rows)
            compare(ColorMath.stripColor(r[0]), r[1], "at " + r[0])
        // [pixel, strip length, position]; outside clamps, no division by zero.
        var pos = [[0, 312, 0], [311, 312, 1], [400, 312, 1], [-5, 312, 0], [3, 1, 0]]
        for (var p of pos)
            compare(ColorMath.stripPosition(p[0], p[1]), p[2])
        // What a colour field takes.
        compare(["0", "255", " 17 ", "300", "", "-1", "1e2"].map(ColorMath.parseChannel), [0, 255, 17, null, null, null, null])
        // Rows as the colour editor's ListModel gives them: the 10H lists.
        var rows = {count: 7, get: function (i) {
            return {clrR: 3 * i + 1, clrG: 3 * i + 2, clrB: 3 * i + 3, color8_Id: i + 1}
        }}
        compare(ColorMath.rgbList(rows), Array.from({length: 24}, function (v, i) { return i < 21 ? i + 1 : 0 }))
        compare(ColorMath.colourIndexList(rows), [1, 2, 3, 4, 5, 6, 7, 0], "a missing row counts as 0")
        compare([ColorMath.color8Rgb(0), ColorMath.color8Rgb(6), ColorMath.color8Rgb(7), ColorMath.color8Rgb(9)],
                [[255, 0, 0], [255, 255, 255], [255, 127, 0], [255, 127, 0]])
    }

    function test_pageEnablesTheEffectsControls() {
        var page = createTemporaryObject(Qt.createComponent("../../modules/qml/Z3/Page_Color.qml"), this)
        var names = ["effectList", "brightness", "speed", "palette"]
        var enabled = function () { return names.map(function (n) { return findChild(page, n).enabled }) }
        for (var e = 0; e < 11; ++e) {
            page._showEffect({power: true, effect: e, brightness: 3, speed: 0})
            compare([page.effectIndex].concat(enabled()), [e, true, !!hasBrightness[e], !!hasSpeed[e], !!hasPalette[e]])
            compare(findChild(page, "speed").opacity, hasSpeed[e] ? 1 : 0.2)
            page._showEffect({power: false, effect: e, brightness: 3, speed: 0})
            compare(enabled(), [false, false, false, false], "LED power off disables every control")
        }
    }
}
