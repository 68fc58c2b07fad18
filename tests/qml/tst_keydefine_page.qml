import QtQuick
import QtTest
import "../../modules/qml/Z3"
import "../../modules/qml/common"
import "../../modules/qml/Z3/KeyDefineRules.js" as Rules

// The key definition page against a recording view: what each entry shows,
// what each control writes into the selected button's entry, macro slots, the
// left-click guard, resets and apply.
Item {
    width: 1000
    height: 600

    KeydefineView {
        id: ui_View
    }
    KeyCodeString {
        id: _KeyCodeString
    }
    Item {
        id: main_Z3
        property var _ProductLayoutStringList: []
        signal msg_KB(bool isDown, int usbCode)
    }
    Page_Keydefine {
        id: page
    }

    TestCase {
        name: "Page_Keydefine"
        when: windowShown

        // Buttons 0..15 hold the delivered defaults; all 16 are shown.
        function init() {
            ui_View.calls = []
            ui_View.macros = {}
            ui_View.answer = true
            ui_View.scrollSwap = false
            ui_View.defaults = Rules.builtInDefaults.slice()
            ui_View.profile = []
            for (var i = 0; i < 16; ++i)
                ui_View.profile.push(Rules.defaultEntry(Rules.builtInDefaults, i).map(String))
            main_Z3._ProductLayoutStringList = names([])
            page.initUI()
        }
        function names(hidden) {
            var n = []
            for (var k = 0; k < 16; ++k)
                n.push(hidden.indexOf(k) >= 0 ? "" : "B" + k)
            return n
        }
        function select(id) {
            page.selectButtonRow(page.mapping_for_keyId.indexOf(id))
            page.showEntry()
            compare(page.selectedId, id)
        }
        function entry(id) {
            return page.model.entry(id)
        }
        function bindMacro(id, name, times) {
            select(id)
            page.chooseFunction(Rules.FUNC_MACRO)
            if (times !== undefined)
                page.macroTimes.text = String(times)
            page.refreshMacroList()
            for (var i = 0; i < page.macroList.mdItems.count; ++i)
                if (page.macroList.mdItems.get(i).textX === name)
                    page.macroList.setCurIndex(i)
            compare(page.macroList.currentText, name)
            page.setMacro()
        }
        function sent(name) {
            return ui_View.calls.filter(function (c) { return c[0] === name })
        }

        function test_buttonListFromLayout() {
            main_Z3._ProductLayoutStringList = names([2, 3, 4])
            page.translateStrings()
            compare(page.mapping_for_keyId, [0, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15])
            compare(page.buttonList.mdItems.get(2).textX, "B5")
            compare(page.selectedId, 6, "the row kept its place and shows its new button")
            main_Z3._ProductLayoutStringList = []
            page.translateStrings()
            compare(page.mapping_for_keyId, [0, 1, 2, 3, 4, 5, 6, 14, 15])
        }

        // Entry bytes -> what the controls show (func -1: "OPTIONS", nothing offered).
        function test_entryShows_data() {
            return [
                {tag: "key A", e: [0, 0, 0x04, 0], w: {func: 0, key: 0x04}},
                {tag: "combo L Ctrl+L Alt+A", e: [0, 0x05, 0x04, 0], w: {func: 3, mod: 1, k1: 0x04, k2: -1}},
                {tag: "combo without modifier", e: [0, 0, 0x04, 0x05], w: {func: 3, mod: 0, k1: 0x04, k2: 0x05}},
                {tag: "combo R Win", e: [0, 0x80, 0xE0, 0], w: {func: 3, mod: 8, k1: 0xE0}},
                {tag: "mouse forward", e: [0x01, 0, 0xF4, 0], w: {func: 1, mouse: 4}},
                {tag: "mouse code out of range", e: [0x01, 0, 0xF5, 0], w: {func: -1}},
                {tag: "media next track", e: [0x03, 0, 0xB5, 0], w: {func: 2, media: 0}},
                {tag: "media mute", e: [0x03, 0, 0xE2, 0], w: {func: 2, media: 4}},
                {tag: "media www favorites", e: [0x03, 0, 0x2A, 0x02], w: {func: 2, media: 17}},
                {tag: "scroll up", e: [0x04, 0, 0x01, 0], w: {func: 1, mouse: 9}},
                {tag: "scroll down", e: [0x04, 0, 0x02, 0], w: {func: 1, mouse: 10}},
                {tag: "DPI +", e: [0x07, 0, 0x01, 0], w: {func: 1, mouse: 6}},
                {tag: "DPI switch", e: [0x07, 0, 0x03, 0], w: {func: 1, mouse: 8}},
                {tag: "triple click", e: [0x0A, 0xF0, 0x21, 0x03], w: {func: 1, mouse: 5}},
                {tag: "LED control", e: [0x0C, 0, 0, 0], w: {func: 6}},
                {tag: "type 0B", e: [0x0B, 0, 0, 0], w: {func: -1}},
                {tag: "type 05", e: [0x05, 0, 0x03, 0], w: {func: -1}},
                // Fire key: interval byte to the nearest slider step.
                {tag: "fire A 45", e: [0x0A, 0x04, 45, 7], w: {func: 5, fireType: 1, fireKey: 4, speed: 6, times: "7"}},
                {tag: "fire 10", e: [0x0A, 0x04, 10, 7], w: {speed: 7}},
                {tag: "fire 255", e: [0x0A, 0x04, 255, 7], w: {speed: 0}},
                {tag: "fire below 10", e: [0x0A, 0x04, 3, 7], w: {speed: 7}},
                {tag: "fire 28 nearer the next", e: [0x0A, 0x04, 28, 7], w: {speed: 6}},
                {tag: "fire 27 nearer its own", e: [0x0A, 0x04, 27, 7], w: {speed: 7}},
                {tag: "fire 220", e: [0x0A, 0x04, 220, 7], w: {speed: 1}},
                {tag: "fire backward", e: [0x0A, 0xF3, 0x50, 0], w: {func: 5, fireType: 0, fireMouse: 3, speed: 5, times: "0"}}
            ]
        }
        function test_entryShows(data) {
            page.keyCodeToUI(data.e[0], data.e[1], data.e[2], data.e[3])
            var shown = {
                func: page.funcIndex, key: page.keyboardKey.tmpKeycodeUSB, mouse: page.mouseMenu.getCurIndex(),
                media: page.mediaMenu.getCurIndex(), mod: page.modifierMenu.getCurIndex(),
                k1: page.comboKey1.tmpKeycodeUSB, k2: page.comboKey2.tmpKeycodeUSB, fireType: page.fireType,
                fireKey: page.fireKey.tmpKeycodeUSB, fireMouse: page.fireMouseMenu.getCurIndex(),
                speed: page.fireSpeed.currentIndex, times: page.fireTimes.text
            }
            for (var k in data.w)
                compare(shown[k], data.w[k], k)
            if (data.w.func === -1)
                compare(page.functionMenu.currentText, "【 OPTIONS 】")
        }

        function test_unofferedEntrySentBackUnchanged() {
            select(6)
            compare([entry(6), page.funcIndex], [[0x0B, 0, 0, 0], -1])
            select(8)
            page.pageApply()
            compare(sent("ui_12H_SetKeyMatrix"), [["ui_12H_SetKeyMatrix", Rules.builtInDefaults]])
            compare(sent("setScrollPinSwap").length, 1)
        }

        function test_controlsWriteTheEntry() {
            select(13)
            page.chooseFunction(Rules.FUNC_KEYBOARD)
            compare(entry(13), [0, 0, 0, 0], "choosing a function alone changes nothing")
            page.detectKeyboard(true, 0x31)
            compare(entry(13), [0, 0, 0, 0], "a box that is not listening takes no key")
            page.keyboardKey.isSelect = true
            main_Z3.msg_KB(true, 0x31)
            compare(entry(13), [0, 0, 0x31, 0], "a code without a name is still taken")
            compare(page.keyboardKey.tmpKeycodeUSB, -1, "the box stays empty")

            page.chooseFunction(Rules.FUNC_MOUSE)
            page.mouseMenu.setCurIndex(7)
            page.chooseMouse(7, -1)
            compare(entry(13), [0x07, 0, 0x02, 0])
            page.chooseMouse(7, 7)
            compare([page.mouseMenu.getCurIndex(), entry(13)], [-1, [0x07, 0, 0x02, 0]],
                    "the chosen entry again clears the choice and leaves the entry")
            page.chooseFunction(Rules.FUNC_MEDIA)
            page.mediaMenu.setCurIndex(10)
            page.chooseMedia(10, -1)
            compare(entry(13), [0x03, 0, 0x94, 0x01])
            page.chooseFunction(Rules.FUNC_LED)
            compare(entry(13), [0x0C, 0, 0, 0])

            page.chooseFunction(Rules.FUNC_COMBO)
            page.modifierMenu.setCurIndex(2)
            page.comboKey1.isSelect = true
            page.detectKeyboard(true, 0x06)
            compare(entry(13), [0, 0x02, 0x06, 0])
            page.comboKey2.isSelect = true
            page.detectKeyboard(true, 0x31)
            compare(entry(13), [0, 0x02, 0x06, 0], "no name: the second key counts as none")

            page.chooseFunction(Rules.FUNC_FIRE)
            compare([page.fireTimes.text, page.fireSpeed.currentIndex], ["10", 7])
            page.fireType = 0
            page.fireMouseMenu.setCurIndex(0)
            page.fireChanged()
            compare(entry(13), [0x0A, 0xF0, 10, 10], "what the slider shows is sent")
            page.fireMouseMenu.setCurIndex(-1)
            page.model.setEntry(13, [0, 0x02, 0x06, 0])
            page.fireSpeed.currentIndex = 4
            page.fireChanged()
            compare(entry(13), [0, 0x02, 0x06, 0], "nothing to fire yet")
            page.fireType = 1
            page.fireKey.isSelect = true
            page.detectKeyboard(true, 0x1E)
            compare(entry(13), [0x0A, 0x1E, 3 * 35 + 10, 10])
            page.fireTimes.input.forceActiveFocus()
            tryVerify(function () { return page.fireTimes.input.activeFocus })
            page.fireTimes.text = "300"
            page.endTextInputs()
            compare([page.fireTimes.text, entry(13)], ["255", [0x0A, 0x1E, 3 * 35 + 10, 255]], "times end at 255")
        }

        function test_macroSlots() {
            for (var i = 0; i < 13; ++i)
                ui_View.addMacro("M" + (i < 10 ? "0" : "") + i, -1, [])
            bindMacro(12, "M01")
            compare(entry(12), [0x09, 0, 0x01, 0], "lowest free slot is 0, macro id 1")
            bindMacro(13, "M00")
            ui_View.calls = []
            bindMacro(6, "M00", 5)
            compare([entry(6), entry(13)], [[0x09, 0, 0x02, 0], [0x09, 0, 0x02, 0]], "one slot for one macro")
            compare(sent("ui_13H_SetMacroKey"), [["ui_13H_SetMacroKey", 2, "M00"]])
            compare([ui_View.macros["M00"].index, ui_View.macros["M00"].repeat], [1, 5])
            select(13)
            compare([page.funcIndex, page.macroList.currentText, page.macroTimes.text], [Rules.FUNC_MACRO, "M00", "5"])

            // Twelve slots: a thirteenth macro gets none.
            var ids = [0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11]
            for (var k = 0; k < 10; ++k)
                bindMacro(ids[k], "M" + (k + 2 < 10 ? "0" : "") + (k + 2))
            compare(Rules.usedSlots(page.model.allEntries()).length, 12)
            ui_View.calls = []
            bindMacro(15, "M12")
            compare([entry(15), sent("ui_13H_SetMacroKey"), ui_View.macros["M12"].index], [[0, 0, 0, 0], [], -1])

            // Leaving the macro frees its slot; the chosen macro again clears the entry.
            select(12)
            ui_View.calls = []
            page.chooseFunction(Rules.FUNC_KEYBOARD)
            compare(sent("setMacroIniConfig"), [["setMacroIniConfig", "M01", [-1, 1]]])
            bindMacro(12, "M01")
            page.macroList.setCurIndex(-1)
            page.setMacro()
            compare([entry(12), ui_View.macros["M01"].index], [[0, 0, 0, 0], -1])
        }

        function test_leftClickGuard() {
            select(0) // the only shown left click
            ui_View.answer = false
            page.functionMenu.setCurIndex(Rules.FUNC_KEYBOARD)
            page.chooseFunction(Rules.FUNC_KEYBOARD)
            compare([page.funcIndex, entry(0)], [Rules.FUNC_MOUSE, [0x01, 0, 0xF0, 0]], "refused: back to MOUSE")
            page.chooseMouse(1, 0)
            compare([page.mouseMenu.getCurIndex(), entry(0)], [0, [0x01, 0, 0xF0, 0]], "refused: back to LEFT")
            ui_View.answer = true
            page.chooseMouse(1, 0)
            compare([entry(0), sent("getMsgAns_FoolProofing").length], [[0x01, 0, 0xF1, 0], 3])
            // [entries with a left click, selected, shown ids, must confirm]
            var L = [0x01, 0, 0xF0, 0], K = [0, 0, 4, 0]
            var rows = [[[L, K, L], 0, [0, 1, 2], false], [[L, K, L], 0, [0, 1], true], [[L, K, L], 1, [0, 1], false],
                        [[K, L], 1, [0, 1], true], [[L, L], 0, [], true]]
            for (var r = 0; r < rows.length; ++r)
                compare(Rules.needsLeftClickConfirm(rows[r][0], rows[r][1], rows[r][2]), rows[r][3], "row " + r)
        }

        function test_resetAndInit() {
            ui_View.addMacro("Alpha", -1, [])
            bindMacro(5, "Alpha")
            page.resetButton()
            compare([entry(5), ui_View.macros["Alpha"].index], [[0x07, 0, 0x03, 0], -1])
            compare([page.funcIndex, page.mouseMenu.getCurIndex()], [Rules.FUNC_MOUSE, 8])
            ui_View.addMacro("Kbd", 7, [], 0) // another device's slot stays
            // Total reset: the default profile's entries, not the built-in ones.
            var d = Rules.builtInDefaults.slice()
            d[4 * 13] = 0x0C
            ui_View.defaults = d
            page.initUI()
            bindMacro(13, "Alpha")
            page.model.setEntry(1, [0, 0, 0x05, 0])
            page.pageReset()
            compare([ui_View.macros["Alpha"].index, ui_View.macros["Kbd"].index], [-1, 7])
            compare([entry(13), page.funcIndex, entry(1)], [[0x0C, 0, 0, 0], Rules.FUNC_LED, [0x01, 0, 0xF1, 0]])
            ui_View.calls = []
            page.pageApply()
            compare(sent("ui_12H_SetKeyMatrix")[0][1], d)

            // Damaged or missing entries keep the defaults.
            ui_View.profile[9] = ["0", "0", "4", "0"]
            ui_View.profile[10] = []
            ui_View.profile[11] = ["x", "1"]
            ui_View.scrollSwap = true
            page.initUI()
            compare([entry(9), entry(10), entry(11)], [[0, 0, 4, 0], [0x03, 0, 0x23, 0x02], [0x03, 0, 0x94, 0x01]])
            verify(page.scrollSwap.isSelect)
            page.pageApply()
            compare(sent("setScrollPinSwap").pop()[1], true)
        }
    }
}
