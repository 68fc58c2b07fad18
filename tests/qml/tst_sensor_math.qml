import QtQuick
import QtTest
import "../../modules/qml/Z3/SensorMath.js" as SensorMath

// Sensor page arithmetic: report-rate codes, the DPI code table for every
// sensor type, the default-profile list (stage hand-over: the real window).
TestCase {
    name: "SensorMath"

    // The firmware's table: [dpi, type 0, type 1, type 2, type 3]; -1 = not offered.
    readonly property var table: [
        [250, 0x01, -1, 0x02, -1], [500, 0x02, 0x02, 0x04, -1], [600, -1, -1, -1, 0x05],
        [750, 0x03, -1, 0x06, -1], [800, -1, -1, -1, 0x07], [1000, 0x04, 0x04, 0x08, 0x09],
        [1200, -1, -1, -1, 0x0B], [1250, 0x05, -1, 0x0A, -1], [1500, 0x06, -1, 0x46, -1],
        [1600, -1, -1, -1, 0x0F], [1750, 0x07, 0x07, 0x47, -1], [2000, 0x08, 0x08, 0x48, 0x13],
        [2400, -1, -1, -1, 0x17], [2500, 0x45, 0x0A, 0x4A, -1], [2750, -1, -1, 0x4B, -1],
        [2800, -1, -1, -1, 0x1B], [3000, 0x46, 0x0C, -1, -1], [3200, -1, -1, -1, 0x1F],
        [3500, 0x47, 0x0E, -1, -1], [3600, -1, -1, -1, 0x23], [4000, 0x48, 0x48, -1, 0x27],
        [4500, -1, -1, -1, 0x2C], [5000, -1, 0x4A, -1, 0x31], [6000, -1, 0x4C, -1, 0x5D],
        [7000, -1, 0x4E, -1, 0x62], [8000, -1, -1, -1, 0x67], [10000, -1, -1, -1, 0x71]
    ]

    function test_reportRateAndStage() {
        // [stored code, rate index]: lowest set bit decides, 0 and garbage read as 1000 Hz.
        compare([0x01, 0x02, 0x04, 0x08, 0, "4", 0x10, 0x06, "x"].map(SensorMath.reportRateIndex), [3, 2, 1, 0, 3, 1, 0, 2, 3])
        compare([0, 1, 2, 3].map(SensorMath.reportRateCode), [8, 4, 2, 1])
        compare([1, 8, 0, 12, "3"].map(SensorMath.stageIndex), [0, 7, 0, 7, 2])
    }

    function test_everyTableValueOnEveryType() {
        for (var r = 0; r < table.length; ++r) {
            for (var t = 0; t < 4; ++t) {
                var want = table[r][t + 1] < 0 ? 0x80 : table[r][t + 1]
                compare(SensorMath.dpiCode(t, table[r][0]), want, "dpi " + table[r][0] + " type " + t)
                compare(SensorMath.dpiCode(t, String(table[r][0])), want, "stored text " + table[r][0])
            }
        }
        // [type, value] that have no code: 0x80, stage not in use.
        var unused = [[3, 250], [0, 600], [0, 0], [1, -500], [2, 1100], [0, 500.5], [3, "abc"], [3, undefined],
                      [4, 1000], [-1, 1000]]
        for (var u = 0; u < unused.length; ++u)
            compare(SensorMath.dpiCode(unused[u][0], unused[u][1]), 0x80, "unused " + unused[u])
        // The 8 stage codes of 11H.
        var U = 0x80
        compare(SensorMath.dpiValueToDpiSet(3, [600, 10000, 250, 1000, 0, 0, 0, 0]), [0x05, 0x71, U, 0x09, U, U, U, U])
        compare(SensorMath.dpiValueToDpiSet(0, ["500", "1000", "1500", "2000"]), [2, 4, 6, 8, U, U, U, U])
        compare(SensorMath.dpiValueToDpiSet(2, [, , 1000]), [U, U, 0x08, U, U, U, U, U], "a sparse list")
        compare(SensorMath.dpiValueToDpiSet(7, [1000, 2000]), [U, U, U, U, U, U, U, U])
    }

    function test_defaultList() {
        var c = [4, 6, 3, 7, "500", "1000", "1500", "2000", "0", "0", "0", "0", 3]
        for (var i = 0; i < 24; ++i)
            c.push(String(i * 10))
        for (var k = 0; k < 8; ++k)
            c.push(String(7 - k))
        var d = SensorMath.splitDefaults(c)
        verify(d.complete)
        compare([d.rate, d.sliders, d.dpi, d.stage], [4, [6, 3, 7], [500, 1000, 1500, 2000, 0, 0, 0, 0], 3])
        compare([d.rgb.length, d.rgb[0], d.rgb[23]], [24, 0, 230])
        compare(d.colourIndexes, [7, 6, 5, 4, 3, 2, 1, 0])
        // A default profile missing its lists yields only the integers.
        d = SensorMath.splitDefaults([2, 5, 2, 5, 2])
        verify(d.valid && !d.complete)
        compare([d.rate, d.sliders, d.dpi, d.rgb], [2, [5, 2, 5], [], []])
        compare(SensorMath.splitDefaults([]).valid, false)
    }
}
