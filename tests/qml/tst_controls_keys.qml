import QtQuick
import QtTest
import "../../modules/qml/common"

// The page key-code table and the two key boxes that use it.
Item {
    id: top
    width: 400
    height: 200

    KeyCodeString {
        id: _KeyCodeString
    }
    KeyInput_2 {
        id: keyBox
        x: 10
        y: 10
    }
    KeyInput {
        id: smallBox
        x: 10
        y: 60
    }
    SignalSpy {
        id: spyComplete
        target: keyBox
        signalName: "inputComplete"
    }
    SignalSpy {
        id: spyClear
        target: smallBox
        signalName: "clearKey"
    }

    TestCase {
        name: "KeyCodeString"

        function test_tableHas127InversePairs() {
            var t = _KeyCodeString
            compare(Object.keys(t.str2keycode).length, 127)
            compare(Object.keys(t.keycode2str).length, 127)
            var named = 0
            for (var code = 0; code < 256; ++code) {
                var name = t.keycodeTostr(code)
                if (name === undefined)
                    continue
                ++named
                compare(t.strTokeycode(name), code, "round trip of " + name)
            }
            compare(named, 127)
        }

        function test_names_data() {
            return [{ tag: "A", name: "A", code: 0x04 }, { tag: "Z", name: "Z", code: 0x1D },
                    { tag: "1", name: "1", code: 0x1E }, { tag: "0", name: "0", code: 0x27 },
                    { tag: "Enter", name: "Enter", code: 0x28 }, { tag: "Space", name: "Space", code: 0x2C },
                    { tag: "] }", name: "] }", code: 0x30 }, { tag: "backslash", name: "\\ |", code: 0x32 },
                    { tag: "quote", name: "' \"", code: 0x34 }, { tag: "Caps", name: "Caps", code: 0x39 },
                    { tag: "F1", name: "F1", code: 0x3A }, { tag: "F12", name: "F12", code: 0x45 },
                    { tag: "PgD", name: "PgD", code: 0x4E }, { tag: "right", name: "►", code: 0x4F },
                    { tag: "left", name: "◄", code: 0x50 }, { tag: "down", name: "▼", code: 0x51 },
                    { tag: "up", name: "▲", code: 0x52 }, { tag: "KP Enter", name: "KP Enter", code: 0x58 },
                    { tag: "KP 6", name: "KP 6", code: 0x5E }, { tag: "KP 7 ", name: "KP 7 ", code: 0x5F },
                    { tag: "KP .", name: "KP .", code: 0x63 }, { tag: "Eur 2", name: "Eur 2", code: 0x64 },
                    { tag: "KP =", name: "KP =", code: 0x67 }, { tag: "F13", name: "F13", code: 0x68 },
                    { tag: "F24", name: "F24", code: 0x73 }, { tag: "Keypad", name: "Keypad", code: 0x85 },
                    { tag: "Int'l 1", name: "Int'l 1", code: 0x87 }, { tag: "Intl'2", name: "Intl'2", code: 0x88 },
                    { tag: "Int'l 2", name: "Int'l 2", code: 0x89 }, { tag: "Int'l 5", name: "Int'l 5", code: 0x8B },
                    { tag: "Lang 1", name: "Lang 1", code: 0x90 }, { tag: "Lang 2", name: "Lang 2", code: 0x91 },
                    { tag: "L Ctrl", name: "L Ctrl", code: 0xE0 }, { tag: "R Win", name: "R Win", code: 0xE7 }]
        }
        function test_names(data) {
            compare(_KeyCodeString.strTokeycode(data.name), data.code)
            compare(_KeyCodeString.keycodeTostr(data.code), data.name)
            compare(_KeyCodeString.str2keycode[data.name], data.code)
            compare(_KeyCodeString.keycode2str[data.code], data.name)
        }

        function test_codesWithoutName() {
            var t = _KeyCodeString
            var unnamed = [0x00, 0x03, 0x31, 0x74, 0x84, 0x86, 0x8C, 0x8F, 0x92, 0xDF, 0xE8, 0xF0, 0xFF]
            for (var i = 0; i < unnamed.length; ++i)
                compare(t.keycodeTostr(unnamed[i]), undefined, "code " + unnamed[i])
            compare(t.strTokeycode("KP 7"), undefined, "the table's name has a trailing space")
            compare(t.strTokeycode("a"), undefined)
            compare(t.strTokeycode("toString"), undefined)
            compare(t.strTokeycode("constructor"), undefined)
            compare(t.strTokeycode(undefined), undefined)
        }

        function test_mouseNames() {
            var t = _KeyCodeString
            var names = ["MS-L", "MS-R", "MS-M", "MS-B4", "MS-B5"]
            for (var i = 0; i < 5; ++i) {
                compare(t.strTomousecode(names[i]), 0xF0 + i)
                compare(t.mousecodeTostr(0xF0 + i), names[i])
                compare(t.str2mousecode[names[i]], 0xF0 + i)
            }
            compare(Object.keys(t.mousecode2str).length, 5)
            compare(t.mousecodeTostr(0xF5), undefined)
            compare(t.mousecodeTostr(0x04), undefined)
            compare(t.strTomousecode("A"), undefined)
        }

        function test_logByte_data() {
            return [{ tag: "none", x: 0, r: 0 }, { tag: "bit 0", x: 0x01, r: 1 }, { tag: "bit 7", x: 0x80, r: 8 },
                    { tag: "L Ctrl + L Alt", x: 0x05, r: 1 }, { tag: "bits 2,3", x: 0x0C, r: 3 },
                    { tag: "above the low byte only", x: 0x100, r: 0 }, { tag: "bit 6 and bit 8", x: 0x140, r: 7 },
                    { tag: "all", x: 0xFF, r: 1 }]
        }
        function test_logByte(data) {
            compare(_KeyCodeString.logByte(data.x), data.r)
        }
    }

    TestCase {
        name: "KeyInput_2"
        when: windowShown

        function init() {
            keyBox.isSelect = false
            keyBox.setKeycodeUSB(-1)
            spyComplete.clear()
        }
        function shown() {
            return findChild(keyBox, "keyText").text
        }

        function test_setKeycodeUSB() {
            compare(shown(), "KEY【 PRESS ANY 】")
            keyBox.setKeycodeUSB(0x04)
            compare(keyBox.tmpKeycodeUSB, 0x04)
            compare(keyBox.tmpKeyString, "A")
            compare(shown(), "KEY 【 A 】")
            keyBox.setKeycodeUSB(0x31)
            compare(keyBox.tmpKeycodeUSB, -1, "a code without a name empties the box")
            compare(keyBox.tmpKeyString, "")
            compare(shown(), "KEY【 PRESS ANY 】")
            keyBox.setKeycodeUSB(0xE1)
            compare(shown(), "KEY 【 L Shift 】")
            keyBox.setKeycodeUSB(-1)
            compare(keyBox.tmpKeycodeUSB, -1)
            compare(spyComplete.count, 0, "setting a code is not an input")
        }

        function test_idleBoxIgnoresKeys() {
            keyBox.setKeycodeUSB(0x05)
            verify(!keyBox.takeKeyEvent(true, 0x06))
            compare(keyBox.tmpKeycodeUSB, 0x05)
            compare(spyComplete.count, 0)
        }

        function test_clickListensNextKeyFills() {
            keyBox.setKeycodeUSB(0x05)
            mouseClick(keyBox, 70, 11)
            verify(keyBox.isSelect)
            compare(keyBox.tmpKeycodeUSB, -1, "a click empties the box")
            verify(keyBox.takeKeyEvent(true, 0x2C))
            verify(!keyBox.isSelect)
            compare(shown(), "KEY 【 Space 】")
            compare(spyComplete.count, 1)
            compare(spyComplete.signalArguments[0][0], 0x2C)
            // Only the first key counts.
            verify(!keyBox.takeKeyEvent(false, 0x2C))
            compare(spyComplete.count, 1)
        }

        function test_releaseAlsoFills() {
            mouseClick(keyBox, 70, 11)
            verify(keyBox.takeKeyEvent(false, 0x3A))
            compare(keyBox.tmpKeyString, "F1")
        }

        function test_secondClickStopsListening() {
            mouseClick(keyBox, 70, 11)
            mouseClick(keyBox, 70, 11)
            verify(!keyBox.isSelect)
            verify(!keyBox.takeKeyEvent(true, 0x04))
            compare(keyBox.tmpKeycodeUSB, -1)
        }

        function test_unnamedCodeLeavesBoxEmpty() {
            mouseClick(keyBox, 70, 11)
            verify(keyBox.takeKeyEvent(true, 0x31))
            verify(!keyBox.isSelect)
            compare(keyBox.tmpKeycodeUSB, -1)
            compare(shown(), "KEY【 PRESS ANY 】")
            // The page still receives the code as pressed.
            compare(spyComplete.signalArguments[0][0], 0x31)
        }
    }

    TestCase {
        name: "KeyInput"
        when: windowShown

        function shown() {
            return findChild(smallBox, "keyText").text
        }

        function test_textsAndClear() {
            compare(smallBox.width, 65)
            compare(smallBox.height, 23)
            mouseMove(top, 300, 150)
            compare(shown(), "【 KEYS 】")
            smallBox.setKeycodeUSB(0x29)
            compare(smallBox.keyname, "Esc")
            compare(shown(), "Esc")
            mouseMove(smallBox, 30, 11)
            compare(shown(), "╳")
            mouseClick(smallBox, 30, 11)
            compare(smallBox.keycodeUSB, -1)
            compare(spyClear.count, 1)
            mouseMove(top, 300, 150)
            compare(shown(), "【 KEYS 】")
            smallBox.setKeycodeUSB(0x52)
            compare(shown(), "▲")
            smallBox.setKeycodeUSB(0x31)
            compare(smallBox.keycodeUSB, -1)
            compare(shown(), "【 KEYS 】")
        }
    }
}
