import QtQuick
import QtTest
import "../../modules/qml/Z3/ColorMath.js" as ColorMath

// Lighting arithmetic: the device codes for every effect, brightness step and
// speed step, the colour strip, and the lists the colour commands take.
TestCase {
    name: "ColorMath"

    // Speed codes by effect code for steps 0..7 (0 = the fastest slider end).
    readonly property var speedCodes: ({
        3: [10, 9, 7, 6, 5, 4, 2, 1],
        4: [10, 9, 7, 6, 5, 4, 2, 1],
        5: [10, 9, 7, 6, 5, 4, 2, 1],
        8: [20, 19, 17, 16, 14, 13, 11, 10],
        9: [15, 14, 12, 11, 9, 8, 6, 5],
        10: [30, 29, 27, 26, 24, 23, 21, 20]
    })
    readonly property var brightnessCodes: [0, 45, 80, 115, 150, 185, 220, 255]
    // Which effects use brightness and speed, by list index.
    readonly property var hasBrightness: [true, true, false, false, true, false, true, true, true, true, false]
    readonly property var hasSpeed: [false, false, true, true, true, false, false, true, true, true, false]

    function test_everyEffectEveryStep() {
        for (var e = 0; e < 11; ++e) {
            var code = e === 10 ? 0 : e + 1;
            for (var step = 0; step < 8; ++step) {
                var want1 = hasBrightness[e] ? brightnessCodes[step] : 0;
                var want2 = hasSpeed[e] ? speedCodes[code][step] : 0;
                compare(ColorMath.option1(e, step), want1, "option1 effect " + e + " step " + step);
                compare(ColorMath.option2(e, step), want2, "option2 effect " + e + " step " + step);
                var cmd = ColorMath.effectCommand(true, e, step, step);
                compare(cmd, e === 10 ? [0, 0, 0] : [code, want1, want2], "command effect " + e + " step " + step);
            }
        }
    }

    function test_waveBrightness3Speed0() {
        compare(ColorMath.effectCommand(true, 4, 3, 0), [0x05, 115, 10]);
    }

    function test_offAndPowerOff() {
        compare(ColorMath.effectCommand(true, 10, 7, 4), [0, 0, 0], "OFF sends everything 0");
        compare(ColorMath.effectCommand(false, 4, 3, 0), [0, 0, 0], "LED power off sends everything 0");
        compare(ColorMath.effectCommand(true, 11, 3, 0), [0, 0, 0], "no such effect");
    }

    function test_controlsPerEffect() {
        var palette = [true, false, true, false, false, false, false, false, true, true, false];
        for (var e = 0; e < 11; ++e) {
            compare(ColorMath.usesBrightness(e), hasBrightness[e], "brightness " + e);
            compare(ColorMath.usesSpeed(e), hasSpeed[e], "speed " + e);
            compare(ColorMath.usesPalette(e), palette[e], "palette " + e);
        }
        verify(!ColorMath.usesBrightness(-1));
        verify(!ColorMath.usesSpeed(11));
    }

    function test_storedEffect() {
        var r = ColorMath.readStoredEffect(["4", "3", "0"]);
        verify(r.power);
        compare([r.effect, r.brightness, r.speed], [4, 3, 0]);
        verify(!ColorMath.readStoredEffect([0, 0, 0]).power, "(0, 0, 0) reads as LED power off");
        verify(ColorMath.readStoredEffect([0, 7, 4]).power);
        compare(ColorMath.readStoredEffect([]), null, "a fresh profile leaves the page as it is");
        compare(ColorMath.readStoredEffect([1, 2]), null);
        r = ColorMath.readStoredEffect([99, 12, -3]);
        compare([r.effect, r.brightness, r.speed], [10, 7, 0], "out-of-range values are kept in range");
    }

    function test_defaultList() {
        var c = [];
        for (var i = 0; i < 24; ++i)
            c.push(String(i));
        var d = ColorMath.splitDefaults(c.concat(["0", "7", "4"]));
        compare(d.palette.length, 24);
        compare(d.palette[23], 23);
        compare([d.effect.effect, d.effect.brightness, d.effect.speed], [0, 7, 4]);
        verify(!d.effect.power, "a default effect of index 0 leaves the LED power flag clear");
        d = ColorMath.splitDefaults(c.concat(["4", "3", "0"]));
        verify(d.effect.power);
        d = ColorMath.splitDefaults([]);
        compare(d.palette, null);
        compare(d.effect, null);
        d = ColorMath.splitDefaults(["9", "2", "5"]);
        compare(d.palette, null);
        compare(d.effect.effect, 9);
    }

    function test_stripColor_data() {
        return [
            {tag: "start is black", p: 0, rgb: [0, 0, 0]},
            {tag: "red", p: 0.125, rgb: [255, 0, 0]},
            {tag: "half way to red", p: 0.0625, rgb: [128, 0, 0]},
            {tag: "yellow", p: 0.25, rgb: [255, 255, 0]},
            {tag: "green", p: 0.375, rgb: [0, 255, 0]},
            {tag: "middle is cyan", p: 0.5, rgb: [0, 255, 255]},
            {tag: "blue", p: 0.625, rgb: [0, 0, 255]},
            {tag: "magenta", p: 0.75, rgb: [255, 0, 255]},
            {tag: "white", p: 0.875, rgb: [255, 255, 255]},
            {tag: "towards black", p: 0.9375, rgb: [127, 127, 127]},
            {tag: "end is black", p: 1, rgb: [0, 0, 0]}
        ];
    }
    function test_stripColor(data) {
        compare(ColorMath.stripColor(data.p), data.rgb);
    }

    function test_stripPosition() {
        compare(ColorMath.stripPosition(0, 312), 0);
        compare(ColorMath.stripPosition(311, 312), 1);
        compare(ColorMath.stripPosition(400, 312), 1, "outside the strip clamps");
        compare(ColorMath.stripPosition(-5, 312), 0);
        compare(ColorMath.stripPosition(3, 1), 0, "no division by zero");
    }

    function test_parseChannel() {
        compare(ColorMath.parseChannel("0"), 0);
        compare(ColorMath.parseChannel("255"), 255);
        compare(ColorMath.parseChannel(" 17 "), 17);
        compare(ColorMath.parseChannel("300"), null);
        compare(ColorMath.parseChannel(""), null);
        compare(ColorMath.parseChannel("-1"), null);
        compare(ColorMath.parseChannel("1e2"), null);
    }

    ListModel {
        id: rows
        ListElement { clrR: 1; clrG: 2; clrB: 3; color8_Id: 1 }
        ListElement { clrR: 4; clrG: 5; clrB: 6; color8_Id: 2 }
        ListElement { clrR: 7; clrG: 8; clrB: 9; color8_Id: 3 }
        ListElement { clrR: 10; clrG: 11; clrB: 12; color8_Id: 4 }
        ListElement { clrR: 13; clrG: 14; clrB: 15; color8_Id: 5 }
        ListElement { clrR: 16; clrG: 17; clrB: 18; color8_Id: 6 }
        ListElement { clrR: 19; clrG: 20; clrB: 21; color8_Id: 7 }
        ListElement { clrR: 22; clrG: 23; clrB: 24; color8_Id: 0 }
    }

    function test_colourListsFromRows() {
        var rgb = ColorMath.rgbList(rows);
        compare(rgb.length, 24);
        for (var i = 0; i < 24; ++i)
            compare(rgb[i], i + 1);
        // The colour-index list for set 2: one index per stage, stage order.
        compare(ColorMath.colourIndexList(rows), [1, 2, 3, 4, 5, 6, 7, 0]);
    }

    function test_fixedColours() {
        compare(ColorMath.color8Rgb(0), [255, 0, 0]);
        compare(ColorMath.color8Rgb(7), [255, 127, 0]);
        compare(ColorMath.color8Rgb(6), [255, 255, 255]);
        compare(ColorMath.color8Rgb(9), [255, 127, 0], "out of range clamps");
    }
}
