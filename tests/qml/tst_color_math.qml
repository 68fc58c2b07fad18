import QtQuick
import QtTest
import "../../modules/qml/Z3/ColorMath.js" as ColorMath

// Lighting arithmetic: the device codes for every effect, brightness step and
// speed step, the colour strip, and the lists the colour commands take.
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
        var r = ColorMath.readStoredEffect(["4", "3", "0"])
        compare([r.power, r.effect, r.brightness, r.speed], [true, 4, 3, 0])
        verify(!ColorMath.readStoredEffect([0, 0, 0]).power, "(0, 0, 0) reads as LED power off")
        verify(ColorMath.readStoredEffect([0, 7, 4]).power)
        compare(ColorMath.readStoredEffect([]), null, "a fresh profile leaves the page as it is")
        compare(ColorMath.readStoredEffect([1, 2]), null)
        r = ColorMath.readStoredEffect([99, 12, -3])
        compare([r.effect, r.brightness, r.speed], [10, 7, 0], "out-of-range values are kept in range")

        var c = []
        for (var i = 0; i < 24; ++i)
            c.push(String(i))
        var d = ColorMath.splitDefaults(c.concat(["0", "7", "4"]))
        compare([d.palette.length, d.palette[23]], [24, 23])
        compare([d.effect.power, d.effect.effect, d.effect.brightness, d.effect.speed], [false, 0, 7, 4],
                "a default effect of index 0 leaves the LED power flag clear")
        verify(ColorMath.splitDefaults(c.concat(["4", "3", "0"])).effect.power)
        compare(ColorMath.splitDefaults([]), {palette: null, effect: null})
        d = ColorMath.splitDefaults(["9", "2", "5"])
        compare([d.palette, d.effect.effect], [null, 9])
    }

    function test_strip() {
        // [position 0..1, colour]
        var rows = [[0, [0, 0, 0]], [0.0625, [128, 0, 0]], [0.125, [255, 0, 0]], [0.25, [255, 255, 0]],
                    [0.375, [0, 255, 0]], [0.5, [0, 255, 255]], [0.625, [0, 0, 255]], [0.75, [255, 0, 255]],
                    [0.875, [255, 255, 255]], [0.9375, [127, 127, 127]], [1, [0, 0, 0]]]
        for (var i = 0; i < rows.length; ++i)
            compare(ColorMath.stripColor(rows[i][0]), rows[i][1], "at " + rows[i][0])
        // [pixel, strip length, position]; outside clamps, no division by zero.
        var pos = [[0, 312, 0], [311, 312, 1], [400, 312, 1], [-5, 312, 0], [3, 1, 0]]
        for (var p = 0; p < pos.length; ++p)
            compare(ColorMath.stripPosition(pos[p][0], pos[p][1]), pos[p][2])
    }

    function test_fieldsAndLists() {
        var texts = [["0", 0], ["255", 255], [" 17 ", 17], ["300", null], ["", null], ["-1", null], ["1e2", null]]
        for (var t = 0; t < texts.length; ++t)
            compare(ColorMath.parseChannel(texts[t][0]), texts[t][1], "'" + texts[t][0] + "'")
        // Rows as the colour group's ListModel gives them.
        var rows = {count: 8, get: function (i) {
            return {clrR: 3 * i + 1, clrG: 3 * i + 2, clrB: 3 * i + 3, color8_Id: (i + 1) % 8}
        }}
        var rgb = ColorMath.rgbList(rows)
        for (var i = 0; i < 24; ++i)
            compare(rgb[i], i + 1)
        compare(ColorMath.colourIndexList(rows), [1, 2, 3, 4, 5, 6, 7, 0])
        compare([ColorMath.color8Rgb(0), ColorMath.color8Rgb(6), ColorMath.color8Rgb(7), ColorMath.color8Rgb(9)],
                [[255, 0, 0], [255, 255, 255], [255, 127, 0], [255, 127, 0]])
    }
}
