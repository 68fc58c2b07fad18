import QtQuick
import QtTest
import "../../modules/qml/Z3"
import "../../modules/qml/common"
import "../../modules/qml/Z3/KeyDefineRules.js" as Rules

// The key definition page against a recording view: entries shown and written, slots, guard, resets.
Item {
    width: 1000
    height: 600

    KeydefineView { id: ui_View }
    KeyCodeString { id: _KeyCodeString }
    Item { id: main_Z3; property var _ProductLayoutStringList: []; signal msg_KB(bool isDown, int usbCode) }
    Page_Keydefine { id: page }

    TestCase {
        name: "Page_Keydefine"
        when: windowShown

        // Buttons 0..15 hold the delivered defaults; all 16 are shown.
        function init() {
            ui_View.calls = []
            ui_View.macros = {}
            ui_View.answer = true
            ui_View.defaults = Rules.builtInDefaults.slice()
            ui_View.profile = names([]).map(function (n, i) { return Rules.defaultEntry(Rules.builtInDefaults, i).map(String) })
            main_Z3._ProductLayoutStringList = names([])
            page.initUI()
        }
        function names(hidden) { return Array.from({length: 16}, function (v, k) { return hidden.indexOf(k) >= 0 ? "" : "B" + k }) }
        function select(id) {
            page.selectButtonRow(page.mapping_for_keyId.indexOf(id))
            page.showEntry()
            compare(page.selectedId, id)
        }
        function entry(id) { return page.model.entry(id) }
        function bindMacro(id, name, times) {
            select(id)
            page.chooseFunction(Rules.FUNC_MACRO)
            page.macroTimes.text = String(times || 1)
            page.refreshMacroList()
            page.macroList.setCurIndex(Object.keys(ui_View.macros).sort().indexOf(name))
            compare(page.macroList.currentText, name)
            page.setMacro()
        }
        function sent(name) { return ui_View.calls.filter(function (c) { return c[0] === name }) }

        function test_buttonListFromLayout() {
            main_Z3._ProductLayoutStringList = names([2, 3, 4])
            page.translateStrings()
            compare(page.mapping_for_keyId, [0, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15])
            compare(page.buttonList.mdItems.get(2).textX, "B5")
            compare(page.selectedId, 6, "the row kept its place and shows its new button")
            main_Z3._ProductLayoutStringList = [] // no layout known yet: the nine keys of the fallback
            page.translateStrings()
            compare(page.mapping_for_keyId, [0, 1, 2, 3, 4, 5, 6, 14, 15])
        }

        // [entry bytes, what the controls show]; func -1: "OPTIONS", nothing offered.
        function test_entryShows() {
            var rows = [
                [[0, 0, 0x04, 0], {func: 0, key: 0x04}], [[0, 0x05, 0x04, 0], {func: 3, mod: 1, k1: 0x04, k2: -1}],
                [[0, 0, 0x04, 0x05], {func: 3, mod: 0, k1: 0x04, k2: 0x05}],
                [[0, 0x80, 0xE0, 0], {func: 3, mod: 8, k1: 0xE0}], [[0x01, 0, 0xF4, 0], {func: 1, mouse: 4}],
                [[0x01, 0, 0xF5, 0], {func: -1}], [[0x03, 0, 0xB5, 0], {func: 2, media: 0}],
                [[0x03, 0, 0xE2, 0], {func: 2, media: 4}], [[0x03, 0, 0x2A, 0x02], {func: 2, media: 17}],
                [[0x04, 0, 0x01, 0], {func: 1, mouse: 9}], [[0x04, 0, 0x02, 0], {func: 1, mouse: 10}],
                [[0x07, 0, 0x01, 0], {func: 1, mouse: 6}], [[0x07, 0, 0x03, 0], {func: 1, mouse: 8}],
                [[0x0A, 0xF0, 0x21, 0x03], {func: 1, mouse: 5}], [[0x0C, 0, 0, 0], {func: 6}],
                [[0x0B, 0, 0, 0], {func: -1}], [[0x05, 0, 0x03, 0], {func: -1}], [[0x07, 1, 0x01, 0], {func: -1}],
                [[0x0A, 0x04, 45, 7], {func: 5, fireType: 1, fireKey: 4, speed: 6, times: "7"}],
                [[0x0A, 0xF3, 0x50, 0], {func: 5, fireType: 0, fireMouse: 3, speed: 5, times: "0"}]
            ]
            for (var r of rows) {
                page.keyCodeToUI(r[0][0], r[0][1], r[0][2], r[0][3])
                var shown = {
                    func: page.funcIndex, key: page.keyboardKey.tmpKeycodeUSB, mouse: page.mouseMenu.getCurIndex(),
                    media: page.mediaMenu.getCurIndex(), mod: page.modifierMenu.getCurIndex(),
                    k1: page.comboKey1.tmpKeycodeUSB, k2: page.comboKey2.tmpKeycodeUSB, fireType: page.fireType,
                    fireKey: page.fireKey.tmpKeycodeUSB, fireMouse: page.fireMouseMenu.getCurIndex(),
                    speed: page.fireSpeed.currentIndex, times: page.fireTimes.text
                }
                for (var k in r[1])
                    compare(shown[k], r[1][k], k + " of " + r[0])
                if (r[1].func === -1)
                    compare(page.functionMenu.currentText, "【 OPTIONS 】")
            }
            // Fire interval byte -> the nearest slider step, halves upward: [interval, step].
            for (var f of [[10, 7], [255, 0], [3, 7], [28, 6], [27, 7], [220, 1]]) {
                page.keyCodeToUI(0x0A, 0x04, f[0], 7)
                compare(page.fireSpeed.currentIndex, f[1], "fire interval " + f[0])
            }
        }

        function test_unofferedEntrySentBackUnchanged() {
            select(6)
            compare([entry(6), page.funcIndex], [[0x0B, 0, 0, 0], -1])
            select(8)
            page.pageApply()
            compare(sent("ui_12H_SetKeyMatrix"), [["ui_12H_SetKeyMatrix", Rules.builtInDefaults]])
        }

        function test_controlsWriteTheEntry() {
            select(13)
            page.chooseFunction(Rules.FUNC_KEYBOARD)
            page.detectKeyboard(true, 0x31)
            compare(entry(13), [0, 0, 0, 0], "a function alone and a box not listening change nothing")
            page.keyboardKey.isSelect = true
            main_Z3.msg_KB(true, 0x31)
            compare(entry(13), [0, 0, 0x31, 0], "a code without a name is still taken")
            compare(page.keyboardKey.tmpKeycodeUSB, -1, "the box stays empty")

            page.chooseFunction(Rules.FUNC_MOUSE)
            page.mouseMenu.setCurIndex(7)
            page.chooseMouse(7, -1)
            page.chooseMouse(7, 7)
            compare([page.mouseMenu.getCurIndex(), entry(13)], [-1, [0x07, 0, 0x02, 0]], "the chosen entry again clears the choice only")
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
            page.fireType = 0
            page.fireMouseMenu.setCurIndex(0)
            page.fireChanged()
            compare(entry(13), [0x0A, 0xF0, 10, 10], "a new fire key sends what the slider and times show")
            page.fireType = 1
            page.fireSpeed.currentIndex = 4
            page.fireKey.isSelect = true
            page.detectKeyboard(true, 0x1E)
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

            // Twelve slots: a thirteenth macro gets none, and its button keeps what it did.
            var ids = [0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11]
            for (var k = 0; k < 10; ++k)
                bindMacro(ids[k], "M" + (k + 2 < 10 ? "0" : "") + (k + 2))
            compare(Rules.usedSlots(page.model.allEntries()).length, 12)
            compare(Rules.usedSlots([[9, 0, 1, 0], [9, 0, 1, 0], [9, 0, 13, 0]]), [0], "each slot once; 13 is none")
            ui_View.calls = []
            var kept = entry(15)
            bindMacro(15, "M12")
            compare([entry(15), sent("ui_13H_SetMacroKey"), ui_View.macros["M12"].index], [kept, [], -1])
            verify(kept[0] !== 0x09 && page.funcIndex !== Rules.FUNC_MACRO, "the button's own function is shown")

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

        // Taking the function of the last shown left click asks first (the
        // refusal is checked in the real window): [entries, selected, shown ids, ask].
        function test_leftClickGuard() {
            var L = [0x01, 0, 0xF0, 0], K = [0, 0, 4, 0]
            var rows = [[[L, K, L], 0, [0, 1, 2], false], [[L, K, L], 0, [0, 1], true], [[L, K, L], 1, [0, 1], false],
                        [[K, L], 1, [0, 1], true], [[L, L], 0, [], true]]
            for (var r of rows)
                compare(Rules.needsLeftClickConfirm(r[0], r[1], r[2]), r[3], JSON.stringify(r))
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
            ui_View.defaults = Rules.builtInDefaults.concat([0]) // not a default profile: the last good one stays
            page.initUI()
            page.pageReset()
            compare(entry(13), [0x0C, 0, 0, 0])

            // Damaged or missing entries keep the defaults.
            ui_View.profile.splice(9, 3, ["0", "0", "4", "0"], [], ["x", "1"])
            ui_View.scrollSwap = true
            page.initUI()
            compare([entry(9), entry(10), entry(11)], [[0, 0, 4, 0], [0x03, 0, 0x23, 0x02], [0x03, 0, 0x94, 0x01]])
            verify(page.scrollSwap.isSelect)
            page.pageApply()
            compare(sent("setScrollPinSwap").pop()[1], true)
        }
    }
}
