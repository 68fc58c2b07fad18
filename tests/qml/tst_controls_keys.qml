import QtQuick
import QtTest
import "../../modules/qml/common"

// The page key-code table and the two key boxes that use it.
Item {
    id: top
    width: 400
    height: 200

    property var log: []

    KeyCodeString {
        id: _KeyCodeString
    }
    KeyInput_2 {
        id: keyBox
        x: 10
        y: 10
        onInputComplete: function (code) { top.log.push(code) }
    }
    KeyInput {
        id: smallBox
        x: 10
        y: 60
        onClearKey: top.log.push("clear")
    }

    TestCase {
        name: "Keys"
        when: windowShown

        function init() {
            keyBox.isSelect = false
            keyBox.setKeycodeUSB(-1)
            top.log = []
        }
        function shown(box) {
            return findChild(box, "keyText").text
        }

        function test_table() {
            var named = 0
            for (var code = 0; code < 256; ++code) {
                var name = _KeyCodeString.keycodeTostr(code)
                if (name !== undefined) {
                    ++named
                    compare(_KeyCodeString.strTokeycode(name), code, "round trip of " + name)
                }
            }
            compare(named, 127)
            // [name, usage code]
            var known = [["A", 0x04], ["Z", 0x1D], ["1", 0x1E], ["0", 0x27], ["Enter", 0x28], ["Space", 0x2C],
                         ["\\ |", 0x32], ["' \"", 0x34], ["F1", 0x3A], ["F12", 0x45], ["►", 0x4F], ["▲", 0x52],
                         ["KP 7 ", 0x5F], ["Eur 2", 0x64], ["F24", 0x73], ["Intl'2", 0x88], ["Int'l 2", 0x89],
                         ["Lang 2", 0x91], ["L Ctrl", 0xE0], ["L Shift", 0xE1], ["R Win", 0xE7]]
            for (var k = 0; k < known.length; ++k)
                compare(_KeyCodeString.keycodeTostr(known[k][1]), known[k][0])
            for (var u of [0x00, 0x03, 0x31, 0x74, 0x84, 0x86, 0x8C, 0x8F, 0x92, 0xDF, 0xE8, 0xF0, 0xFF])
                compare(_KeyCodeString.keycodeTostr(u), undefined, "code " + u + " has no name")
            for (var n of ["KP 7", "a", "toString", "constructor", undefined])
                compare(_KeyCodeString.strTokeycode(n), undefined, "'" + n + "' is no key")
            for (var m = 0; m < 5; ++m)
                compare(_KeyCodeString.strTomousecode(_KeyCodeString.mousecodeTostr(0xF0 + m)), 0xF0 + m)
            compare([_KeyCodeString.mousecodeTostr(0xF3), _KeyCodeString.mousecodeTostr(0xF5), _KeyCodeString.strTomousecode("A")],
                    ["MS-B4", undefined, undefined])
            // Lowest set bit of the low byte, 1-based.
            var bits = [[0, 0], [0x01, 1], [0x80, 8], [0x05, 1], [0x0C, 3], [0x100, 0], [0x140, 7], [0xFF, 1]]
            for (var b = 0; b < bits.length; ++b)
                compare(_KeyCodeString.logByte(bits[b][0]), bits[b][1], "logByte " + bits[b][0])
        }

        function test_keyBoxListensAfterAClick() {
            keyBox.setKeycodeUSB(0x05)
            verify(!keyBox.takeKeyEvent(true, 0x06), "an idle box ignores keys")
            compare(shown(keyBox), "KEY 【 B 】")
            mouseClick(keyBox, 70, 11)
            compare([keyBox.isSelect, keyBox.tmpKeycodeUSB], [true, -1], "a click empties the box")
            verify(keyBox.takeKeyEvent(false, 0x2C), "a release fills it as well")
            verify(!keyBox.takeKeyEvent(true, 0x04), "only the first key counts")
            compare([keyBox.isSelect, shown(keyBox)], [false, "KEY 【 Space 】"])
            // A code without a name leaves the box empty but still reaches the page.
            mouseClick(keyBox, 70, 11)
            verify(keyBox.takeKeyEvent(true, 0x31))
            compare([keyBox.tmpKeycodeUSB, shown(keyBox)], [-1, "KEY【 PRESS ANY 】"])
            // A second click stops listening.
            mouseClick(keyBox, 70, 11)
            mouseClick(keyBox, 70, 11)
            verify(!keyBox.takeKeyEvent(true, 0x04))
            compare(top.log, [0x2C, 0x31])
        }

        function test_smallBoxShowsNameAndClears() {
            mouseMove(top, 300, 150)
            smallBox.setKeycodeUSB(0x52)
            compare(shown(smallBox), "▲")
            mouseMove(smallBox, 30, 11)
            compare(shown(smallBox), "╳")
            mouseClick(smallBox, 30, 11)
            mouseMove(top, 300, 150)
            compare([smallBox.keycodeUSB, shown(smallBox)], [-1, "【 KEYS 】"])
            smallBox.setKeycodeUSB(0x31)
            compare([smallBox.keycodeUSB, shown(smallBox)], [-1, "【 KEYS 】"])
            compare(top.log, ["clear"])
        }
    }
}
