import QtQuick
import QtTest
import "../../modules/qml/Z3/SensorMath.js" as SensorMath

// Sensor page arithmetic: report-rate codes, the DPI code table for every
// sensor type, and reading the default-profile list.
TestCase {
    name: "SensorMath"

    // The table as the device firmware expects it, one row per DPI value:
    // [dpi, type 0, type 1, type 2, type 3]; -1 = not offered on that sensor.
    readonly property var table: [
        [250, 0x01, -1, 0x02, -1],
        [500, 0x02, 0x02, 0x04, -1],
        [600, -1, -1, -1, 0x05],
        [750, 0x03, -1, 0x06, -1],
        [800, -1, -1, -1, 0x07],
        [1000, 0x04, 0x04, 0x08, 0x09],
        [1200, -1, -1, -1, 0x0B],
        [1250, 0x05, -1, 0x0A, -1],
        [1500, 0x06, -1, 0x46, -1],
        [1600, -1, -1, -1, 0x0F],
        [1750, 0x07, 0x07, 0x47, -1],
        [2000, 0x08, 0x08, 0x48, 0x13],
        [2400, -1, -1, -1, 0x17],
        [2500, 0x45, 0x0A, 0x4A, -1],
        [2750, -1, -1, 0x4B, -1],
        [2800, -1, -1, -1, 0x1B],
        [3000, 0x46, 0x0C, -1, -1],
        [3200, -1, -1, -1, 0x1F],
        [3500, 0x47, 0x0E, -1, -1],
        [3600, -1, -1, -1, 0x23],
        [4000, 0x48, 0x48, -1, 0x27],
        [4500, -1, -1, -1, 0x2C],
        [5000, -1, 0x4A, -1, 0x31],
        [6000, -1, 0x4C, -1, 0x5D],
        [7000, -1, 0x4E, -1, 0x62],
        [8000, -1, -1, -1, 0x67],
        [10000, -1, -1, -1, 0x71]
    ]

    function test_reportRateIndexFromCode_data() {
        return [
            {tag: "0x01 is 1000 Hz", code: 0x01, index: 3},
            {tag: "0x02 is 500 Hz", code: 0x02, index: 2},
            {tag: "0x04 is 250 Hz", code: 0x04, index: 1},
            {tag: "0x08 is 125 Hz", code: 0x08, index: 0},
            {tag: "nothing stored is 1000 Hz", code: 0, index: 3},
            {tag: "stored as text", code: "4", index: 1},
            {tag: "higher bits clamp to 125 Hz", code: 0x10, index: 0},
            {tag: "lowest set bit decides", code: 0x06, index: 2},
            {tag: "garbage reads as nothing", code: "x", index: 3}
        ];
    }
    function test_reportRateIndexFromCode(data) {
        compare(SensorMath.reportRateIndex(data.code), data.index);
    }

    function test_reportRateCodeRoundTrip() {
        var codes = [];
        for (var i = 0; i < 4; ++i) {
            codes.push(SensorMath.reportRateCode(i));
            compare(SensorMath.reportRateIndex(SensorMath.reportRateCode(i)), i);
        }
        compare(codes, [8, 4, 2, 1]);
    }

    function test_stageIndexClamps() {
        compare(SensorMath.stageIndex(1), 0);
        compare(SensorMath.stageIndex(8), 7);
        compare(SensorMath.stageIndex(0), 0, "a fresh profile (0) selects the first stage");
        compare(SensorMath.stageIndex(12), 7);
        compare(SensorMath.stageIndex("3"), 2);
    }

    function test_everyTableValueOnEveryType() {
        for (var r = 0; r < table.length; ++r) {
            for (var t = 0; t < 4; ++t) {
                var want = table[r][t + 1] < 0 ? 0x80 : table[r][t + 1];
                compare(SensorMath.dpiCode(t, table[r][0]), want, "dpi " + table[r][0] + " type " + t);
                compare(SensorMath.dpiCode(t, String(table[r][0])), want, "stored text " + table[r][0]);
            }
        }
    }

    function test_unlistedValuesAreUnused_data() {
        return [
            {tag: "250 on type 3", type: 3, dpi: 250},
            {tag: "600 on type 0", type: 0, dpi: 600},
            {tag: "zero", type: 0, dpi: 0},
            {tag: "negative", type: 1, dpi: -500},
            {tag: "between steps", type: 2, dpi: 1100},
            {tag: "fraction", type: 0, dpi: 500.5},
            {tag: "text", type: 3, dpi: "abc"},
            {tag: "missing", type: 3, dpi: undefined},
            {tag: "unknown sensor", type: 4, dpi: 1000},
            {tag: "negative sensor", type: -1, dpi: 1000}
        ];
    }
    function test_unlistedValuesAreUnused(data) {
        compare(SensorMath.dpiCode(data.type, data.dpi), 0x80);
    }

    function test_dpiValueToDpiSet() {
        compare(SensorMath.dpiValueToDpiSet(3, [600, 10000, 250, 1000, 0, 0, 0, 0]),
                [0x05, 0x71, 0x80, 0x09, 0x80, 0x80, 0x80, 0x80]);
        compare(SensorMath.dpiValueToDpiSet(0, ["500", "1000", "1500", "2000"]),
                [0x02, 0x04, 0x06, 0x08, 0x80, 0x80, 0x80, 0x80], "a short list fills with unused stages");
        compare(SensorMath.dpiValueToDpiSet(1, []), [0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80]);
        var sparse = [];
        sparse[2] = 1000;
        compare(SensorMath.dpiValueToDpiSet(2, sparse), [0x80, 0x80, 0x08, 0x80, 0x80, 0x80, 0x80, 0x80]);
        compare(SensorMath.dpiValueToDpiSet(7, [1000, 2000]), [0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80]);
    }

    function test_menusOfferOnlyTableValues() {
        var counters = [13, 12, 11, 18];
        for (var t = 0; t < 4; ++t) {
            var menu = SensorMath.menuFor(t);
            compare(SensorMath.menuCounter(t), counters[t]);
            compare(menu.length, counters[t]);
            compare(menu[0], 0, "the first entry is 'not in use'");
            for (var i = 1; i < menu.length; ++i)
                verify(SensorMath.dpiCode(t, menu[i]) !== 0x80, "menu value " + menu[i] + " has a code on type " + t);
            var defaults = SensorMath.defaultsFor(t);
            compare(defaults.length, 8);
            for (var d = 0; d < 4; ++d)
                verify(menu.indexOf(defaults[d]) > 0, "default " + defaults[d] + " is offered on type " + t);
        }
        compare(SensorMath.menuCounter(5), 0);
        compare(SensorMath.defaultsFor(5), [0, 0, 0, 0, 0, 0, 0, 0]);
        var m = SensorMath.menuFor(0);
        m[1] = 9999;
        compare(SensorMath.menuFor(0)[1], 250, "callers get their own copy");
    }

    function test_storedValuesAndMenuPicks() {
        compare(SensorMath.normaliseStoredValues([]), [], "an empty stored list stays empty");
        compare(SensorMath.normaliseStoredValues(["500", "x", "-3", "1000"]), [500, 0, 0, 1000]);
        var picked = [];
        picked[3] = 2000;
        compare(SensorMath.completeValues(picked), [0, 0, 0, 2000, 0, 0, 0, 0]);
        compare(SensorMath.completeValues(["800", 1600]), [800, 1600, 0, 0, 0, 0, 0, 0]);
    }

    function test_defaultListComplete() {
        var c = [4, 6, 3, 7, "500", "1000", "1500", "2000", "0", "0", "0", "0", 3];
        for (var i = 0; i < 24; ++i)
            c.push(String(i * 10));
        for (var k = 0; k < 8; ++k)
            c.push(String(7 - k));
        compare(c.length, 45);
        var d = SensorMath.splitDefaults(c);
        verify(d.complete);
        compare(d.rate, 4);
        compare(d.sliders, [6, 3, 7]);
        compare(d.dpi, [500, 1000, 1500, 2000, 0, 0, 0, 0]);
        compare(d.stage, 3);
        compare(d.rgb[0], 0);
        compare(d.rgb[23], 230);
        compare(d.colourIndexes, [7, 6, 5, 4, 3, 2, 1, 0]);
    }

    function test_defaultListWithoutLists() {
        // A missing default profile yields only the integers.
        var d = SensorMath.splitDefaults([2, 5, 2, 5, 2]);
        verify(d.valid);
        verify(!d.complete);
        compare(d.rate, 2);
        compare(d.sliders, [5, 2, 5]);
        compare(d.dpi, []);
        compare(d.rgb, []);
        verify(!SensorMath.splitDefaults([]).valid);
    }
}
