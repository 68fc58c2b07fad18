import QtQuick
import QtTest
import "../../modules/qml/Z3"
import "../../modules/qml/Z3/ColorMath.js" as ColorMath

// The 8-entry colour editor, driven with real mouse and key events, and which
// controls each effect enables on the lighting page. (What the pages send is
// checked against the virtual mouse in the real-window scenarios.)
Item {
    id: top
    width: 1000
    height: 600

    property var globalSetting_stringList: []
    property int animation_speed: 10
    property var changed: []

    ColorGroup_8 {
        id: group
        x: 10
        y: 10
        onClicked: function (i) { top.changed.push(i) }
    }
    Page_Color {
        id: page
        y: 100
    }

    TestCase {
        name: "ColorControls"
        when: windowShown

        function init() {
            group.maxStage = 8
            group.isCompat8Color = false
            for (var i = 0; i < 8; ++i)
                group.setColor(i, 10 * i, 20 + i, 30 + i)
            group.setCurIndex(0)
            top.changed = []
            top.forceActiveFocus()
        }
        function entry(i) {
            return findChild(group, "entry" + i)
        }
        function fields() {
            return [group._fieldR.text, group._fieldG.text, group._fieldB.text]
        }
        function type(field, keys) {
            field.forceActiveFocus()
            field.selectAll()
            for (var k of keys)
                keyClick(k)
        }

        function test_entriesAndStrip() {
            mouseClick(entry(3))
            compare([group.getCurIndex(), fields(), top.changed], [3, ["30", "23", "33"], []],
                    "selecting an entry is no colour change")
            mouseClick(group.strip, (group.strip.width - 1) / 2, group.strip.height / 2) // the middle is cyan
            compare([fields(), group.rgbList().slice(9, 12), group.rgbList().slice(0, 3)],
                    [["0", "255", "255"], [0, 255, 255], [0, 20, 30]])
            mouseClick(group.strip, 0, group.strip.height / 2) // the left end is black
            compare([group.rgbList().slice(9, 12), top.changed], [[0, 0, 0], [3, 3]])
            // Entries beyond maxStage are blank and take no clicks.
            group.maxStage = 4
            mouseClick(entry(5))
            compare([group.getCurIndex(), entry(4).color, entry(5).color], [3, Qt.rgba(0, 0, 0, 0), Qt.rgba(0, 0, 0, 0)])
        }

        function test_fields() {
            mouseClick(entry(1))
            type(group._fieldG, [Qt.Key_1, Qt.Key_2, Qt.Key_8, Qt.Key_Return])
            compare([group.rgbList().slice(3, 6), top.changed.pop()], [[10, 128, 31], 1])
            group.setTextInputFocus(false)
            top.changed = []
            mouseClick(entry(0))
            type(group._fieldR, [Qt.Key_3, Qt.Key_0, Qt.Key_0])
            compare(group._fieldR.text, "30", "the third digit of 300 is refused")
            group.setTextInputFocus(false)
            compare([group.rgbList().slice(0, 3), top.changed], [[30, 20, 30], [0]], "losing focus commits once")
            mouseClick(entry(4))
            type(group._fieldB, [Qt.Key_Delete])
            group.setTextInputFocus(false)
            compare([group.rgbList().slice(12, 15), fields()], [[40, 24, 34], ["40", "24", "34"]], "empty keeps the channel")
        }

        function test_eightColourMode() {
            group.isCompat8Color = true
            verify(!group.strip.visible && !group._fieldR.visible)
            group.setColor8_Id(2, 7)
            compare(entry(2).color, Qt.rgba(1, 127 / 255, 0, 1), "drawn in the fixed colour of its index")
            group.setColor8_Id(2, 1)
            compare([entry(2).color, group.colourIndexList()[2]], [Qt.rgba(0, 1, 0, 1), 1])
        }

        function test_effectEnablesItsControls() {
            for (var e = 0; e < 11; ++e) {
                page._showEffect({power: true, effect: e, brightness: 3, speed: 0})
                var on = [ColorMath.usesBrightness(e), ColorMath.usesSpeed(e), ColorMath.usesPalette(e)]
                compare([page.effectIndex, findChild(page, "effectList").enabled], [e, true])
                compare(["brightness", "speed", "palette"].map(function (n) { return findChild(page, n).enabled }), on)
                compare(findChild(page, "speed").opacity, on[1] ? 1 : 0.2)
                page._showEffect({power: false, effect: e, brightness: 3, speed: 0})
                compare(["effectList", "brightness", "speed", "palette"].map(function (n) {
                    return findChild(page, n).enabled
                }), [false, false, false, false], "LED power off disables every control")
            }
        }
    }
}
