import QtQuick
import QtTest
import "../../modules/qml/common"

// The page key-code table and the key box that listens for a key.
Item {
    id: top
    width: 400
    height: 200

    property var log: []

    KeyCodeString { id: _KeyCodeString }
    KeyInput_2 { id: keyBox; x: 10; y: 10; onInputComplete: function (code) { top.log.push(code) } }

    TestCase {
        name: "Keys"
        when: windowShown

        function shown(box) { return findChild(box, "keyText").text }

        function test_table() {
            var codes = Array.from({length: 256}, function (v, i) { return i })
            var named = codes.filter(function (c) { return _KeyCodeString.keycodeTostr(c) !== undefined })
            compare(named.map(_KeyCodeString.keycodeTostr).map(_KeyCodeString.strTokeycode), named, "names lead back to their codes")
            compare(named.length, 127)
            // The two near-identical names of the table, and the ends.
            compare([0x04, 0x5F, 0x88, 0x89, 0xE0, 0xE7].map(_KeyCodeString.keycodeTostr), ["A", "KP 7 ", "Intl'2", "Int'l 2", "L Ctrl", "R Win"])
            compare(["KP 7", "a", "toString", "constructor", undefined].map(_KeyCodeString.strTokeycode), Array(5).fill(undefined))
            compare([0xF0, 0xF3, 0xF4, 0xF5].map(_KeyCodeString.mousecodeTostr).map(_KeyCodeString.strTomousecode), [0xF0, 0xF3, 0xF4, undefined])
            // Lowest set bit of the low byte, 1-based.
            compare([0, 0x01, 0x80, 0x05, 0x0C, 0x100, 0x140, 0xFF].map(_KeyCodeString.logByte), [0, 1, 8, 1, 3, 0, 7, 1])
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
    }
}
