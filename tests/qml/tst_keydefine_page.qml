import QtQuick
import QtTest
import "../../modules/qml/Z3"
import "../../modules/qml/common"
import "../../modules/qml/Z3/KeyDefineRules.js" as Rules

// The key definition page against a recording view: what each entry shows,
// what each control writes into the selected button's entry, macro slots, the
// left-click guard, resets and apply.
Item {
    id: top
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

        // Profile: buttons 0..15 with the delivered defaults; layout: all 16 shown.
        function init() {
            ui_View.reset()
            ui_View.macros = {}
            ui_View.answer = true
            ui_View.defaults = Rules.builtInDefaults.slice()
            var p = []
            for (var i = 0; i < 16; ++i)
                p.push(Rules.defaultEntry(Rules.builtInDefaults, i).map(String))
            ui_View.profile = p
            var names = []
            for (var k = 0; k < 16; ++k)
                names.push("BTN" + k)
            main_Z3._ProductLayoutStringList = names
            page.initUI()
        }

        function select(id) {
            var row = page.mapping_for_keyId.indexOf(id)
            verify(row >= 0, "button " + id + " is shown")
            page.selectButtonRow(row)
            page.showEntry()
            compare(page.selectedId, id)
        }

        function entry(id) {
            return page.model.entry(id)
        }

        function show(bytes) {
            page.keyCodeToUI(bytes[0], bytes[1], bytes[2], bytes[3])
        }

        function bindMacro(id, name, times) {
            select(id)
            page.chooseFunction(Rules.FUNC_MACRO)
            if (times !== undefined)
                page.macroTimes.text = String(times)
            page.refreshMacroList()
            var row = -1
            for (var i = 0; i < page.macroList.mdItems.count; ++i)
                if (page.macroList.mdItems.get(i).textX === name)
                    row = i
            verify(row >= 0, name + " is listed")
            page.macroList.setCurIndex(row)
            page.setMacro()
        }

        function test_buttonListFromLayout() {
            compare(page.buttonList.mdItems.count, 16)
            var names = []
            for (var i = 0; i < 16; ++i)
                names.push(i === 2 || i === 3 || i === 4 ? "" : "B" + i)
            main_Z3._ProductLayoutStringList = names
            page.translateStrings()
            compare(page.buttonList.mdItems.count, 13)
            compare(page.mapping_for_keyId, [0, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15])
            compare(page.buttonList.mdItems.get(2).textX, "B5")
            compare(page.selectedId, 6, "the row kept its place and shows its new button")
            compare(page.funcIndex, -1, "button 6 (0B 00 00 00) shows no function")
            page.selectButtonRow(2)
            compare(page.selectedId, 5)
            main_Z3._ProductLayoutStringList = []
            page.translateStrings()
            compare(page.mapping_for_keyId, [0, 1, 2, 3, 4, 5, 6, 14, 15])
            compare(page.buttonList.mdItems.get(8).textX, "KEY ９")
        }

        function test_entryShows_data() {
            return [
                {tag: "key A", e: [0x00, 0x00, 0x04, 0x00], func: 0, key: 0x04},
                {tag: "combo L Ctrl+L Alt+A", e: [0x00, 0x05, 0x04, 0x00], func: 3, mod: 1, k1: 0x04, k2: -1},
                {tag: "combo without modifier", e: [0x00, 0x00, 0x04, 0x05], func: 3, mod: 0, k1: 0x04, k2: 0x05},
                {tag: "combo R Win", e: [0x00, 0x80, 0xE0, 0x00], func: 3, mod: 8, k1: 0xE0, k2: -1},
                {tag: "mouse forward", e: [0x01, 0x00, 0xF4, 0x00], func: 1, mouse: 4},
                {tag: "mouse code out of range", e: [0x01, 0x00, 0xF5, 0x00], func: -1},
                {tag: "media mute", e: [0x03, 0x00, 0xE2, 0x00], func: 2, media: 4},
                {tag: "media www favorites", e: [0x03, 0x00, 0x2A, 0x02], func: 2, media: 17},
                {tag: "scroll up", e: [0x04, 0x00, 0x01, 0x00], func: 1, mouse: 9},
                {tag: "scroll down", e: [0x04, 0x00, 0x02, 0x00], func: 1, mouse: 10},
                {tag: "DPI +", e: [0x07, 0x00, 0x01, 0x00], func: 1, mouse: 6},
                {tag: "DPI switch", e: [0x07, 0x00, 0x03, 0x00], func: 1, mouse: 8},
                {tag: "triple click", e: [0x0A, 0xF0, 0x21, 0x03], func: 1, mouse: 5},
                {tag: "LED control", e: [0x0C, 0x00, 0x00, 0x00], func: 6},
                {tag: "type 0B", e: [0x0B, 0x00, 0x00, 0x00], func: -1},
                {tag: "type 05", e: [0x05, 0x00, 0x03, 0x00], func: -1}
            ]
        }
        function test_entryShows(data) {
            show(data.e)
            compare(page.funcIndex, data.func)
            if (data.key !== undefined)
                compare(page.keyboardKey.tmpKeycodeUSB, data.key)
            if (data.mouse !== undefined)
                compare(page.mouseMenu.getCurIndex(), data.mouse)
            if (data.media !== undefined)
                compare(page.mediaMenu.getCurIndex(), data.media)
            if (data.mod !== undefined) {
                compare(page.modifierMenu.getCurIndex(), data.mod)
                compare(page.comboKey1.tmpKeycodeUSB, data.k1)
                compare(page.comboKey2.tmpKeycodeUSB, data.k2)
            }
            if (data.func === -1)
                compare(page.functionMenu.currentText, "【 OPTIONS 】")
        }

        function test_comboShowsLowestModifier() {
            show([0x00, 0x05, 0x04, 0x00])
            compare(page.functionMenu.currentText, "COMBO KEY")
            compare(page.modifierMenu.currentText, "KEY【 L Ctrl 】")
            compare(findChild(page.comboKey1, "keyText").text, "KEY 【 A 】")
        }

        function test_fireKeySpeed_data() {
            return [
                {tag: "45", interval: 45, speed: 6},
                {tag: "10", interval: 10, speed: 7},
                {tag: "255", interval: 255, speed: 0},
                {tag: "below 10", interval: 3, speed: 7},
                {tag: "nearer the next step", interval: 28, speed: 6},
                {tag: "nearer its own step", interval: 27, speed: 7},
                {tag: "220", interval: 220, speed: 1}
            ]
        }
        function test_fireKeySpeed(data) {
            show([0x0A, 0x04, data.interval, 7])
            compare(page.funcIndex, Rules.FUNC_FIRE)
            compare(page.fireSpeed.currentIndex, data.speed)
            compare(page.fireType, 1)
            compare(page.fireKey.tmpKeycodeUSB, 0x04)
            compare(page.fireTimes.text, "7")
        }

        function test_fireMouseShows() {
            show([0x0A, 0xF3, 0x50, 0x00])
            compare(page.fireType, 0)
            compare(page.fireMouseMenu.getCurIndex(), 3)
            compare(page.fireSpeed.currentIndex, 5)
            compare(page.fireTimes.text, "0")
        }

        function test_unofferedEntrySentBackUnchanged() {
            select(6)
            compare(entry(6), [0x0B, 0, 0, 0])
            compare(page.funcIndex, -1)
            select(8)
            compare(page.funcIndex, -1)
            page.pageApply()
            var sent = ui_View.named("ui_12H_SetKeyMatrix")
            compare(sent.length, 1)
            compare(sent[0][1], Rules.builtInDefaults)
            compare(ui_View.named("setScrollPinSwap").length, 1)
        }

        function test_keyboardBoxTakesUnnamedCode() {
            select(13)
            page.chooseFunction(Rules.FUNC_KEYBOARD)
            compare(entry(13), [0, 0, 0, 0], "choosing a function alone changes nothing")
            page.detectKeyboard(true, 0x31)
            compare(entry(13), [0, 0, 0, 0], "a box that is not listening takes no key")
            page.keyboardKey.isSelect = true
            page.detectKeyboard(true, 0x31)
            compare(entry(13), [0x00, 0x00, 0x31, 0x00])
            compare(page.keyboardKey.tmpKeycodeUSB, -1, "the box stays empty")
            page.keyboardKey.isSelect = true
            main_Z3.msg_KB(true, 0x2C)
            compare(entry(13), [0x00, 0x00, 0x2C, 0x00], "key events of the main screen reach the box")
        }

        function test_mouseAndMediaMenus() {
            select(12)
            page.chooseFunction(Rules.FUNC_MOUSE)
            page.mouseMenu.setCurIndex(7)
            page.chooseMouse(7, -1)
            compare(entry(12), [0x07, 0x00, 0x02, 0x00])
            page.chooseMouse(7, 7)
            compare(page.mouseMenu.getCurIndex(), -1, "the chosen entry again clears the choice")
            compare(entry(12), [0x07, 0x00, 0x02, 0x00], "and leaves the entry")
            page.chooseFunction(Rules.FUNC_MEDIA)
            page.mediaMenu.setCurIndex(4)
            page.chooseMedia(4, -1)
            compare(entry(12), [0x03, 0x00, 0xE2, 0x00])
            page.mediaMenu.setCurIndex(10)
            page.chooseMedia(10, 4)
            compare(entry(12), [0x03, 0x00, 0x94, 0x01])
            page.chooseMedia(10, 10)
            compare(page.mediaMenu.getCurIndex(), -1)
            compare(entry(12), [0x03, 0x00, 0x94, 0x01])
            page.chooseFunction(Rules.FUNC_LED)
            compare(entry(12), [0x0C, 0, 0, 0])
        }

        function test_comboAndFireControls() {
            select(12)
            page.chooseFunction(Rules.FUNC_COMBO)
            page.modifierMenu.setCurIndex(2)
            page.comboKey1.isSelect = true
            page.detectKeyboard(true, 0x06)
            compare(entry(12), [0x00, 0x02, 0x06, 0x00])
            page.comboKey2.isSelect = true
            page.detectKeyboard(true, 0x31) // no name: the second key counts as none
            compare(entry(12), [0x00, 0x02, 0x06, 0x00])

            page.chooseFunction(Rules.FUNC_FIRE)
            compare(page.fireTimes.text, "10")
            compare(page.fireSpeed.currentIndex, 7, "an emptied slider shows its start")
            page.fireType = 0
            page.fireMouseMenu.setCurIndex(0)
            page.fireChanged()
            compare(entry(12), [0x0A, 0xF0, 10, 10], "what the slider shows is sent")
            page.fireMouseMenu.setCurIndex(-1)
            page.model.setEntry(12, [0x00, 0x02, 0x06, 0x00])
            page.fireSpeed.currentIndex = 4
            page.fireChanged()
            compare(entry(12), [0x00, 0x02, 0x06, 0x00], "nothing to fire yet")
            page.fireMouseMenu.setCurIndex(1)
            page.fireChanged()
            compare(entry(12), [0x0A, 0xF1, 3 * 35 + 10, 10])
            page.fireType = 1
            page.fireKey.isSelect = true
            page.detectKeyboard(true, 0x1E)
            compare(entry(12), [0x0A, 0x1E, 3 * 35 + 10, 10])
            page.fireTimes.input.forceActiveFocus()
            tryVerify(function () {
                return page.fireTimes.input.activeFocus
            })
            page.fireTimes.text = "300"
            page.endTextInputs()
            compare(page.fireTimes.text, "255", "times above 255 end as 255")
            compare(entry(12), [0x0A, 0x1E, 3 * 35 + 10, 255])
        }

        function test_sameMacroOnSecondButtonReusesSlot() {
            ui_View.addMacro("Alpha", -1, 1, ["A    [Down]"])
            ui_View.addMacro("Beta", -1, 1, [])
            bindMacro(12, "Beta")
            compare(entry(12), [0x09, 0x00, 0x01, 0x00], "lowest free slot is 0, macro id 1")
            bindMacro(13, "Alpha")
            compare(entry(13), [0x09, 0x00, 0x02, 0x00])
            ui_View.reset()
            bindMacro(6, "Alpha", 5)
            compare(entry(6), [0x09, 0x00, 0x02, 0x00], "both buttons carry the same macro id")
            compare(entry(13), [0x09, 0x00, 0x02, 0x00])
            compare(ui_View.named("ui_13H_SetMacroKey"), [["ui_13H_SetMacroKey", 2, "Alpha"]])
            compare(ui_View.macros["Alpha"].index, 1)
            compare(ui_View.macros["Alpha"].repeat, 5, "the new repeat count is written")

            // The entry of button 13 shows the macro with its play mode and times.
            select(13)
            compare(page.funcIndex, Rules.FUNC_MACRO)
            compare(page.macroList.currentText, "Alpha")
            compare(page.macroTimes.text, "5")
        }

        function test_thirteenthMacroGetsNoSlot() {
            var ids = [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11]
            for (var i = 0; i < 13; ++i)
                ui_View.addMacro("M" + (i < 10 ? "0" : "") + i, -1, 1, [])
            for (var k = 0; k < ids.length; ++k)
                bindMacro(ids[k], "M" + (k < 10 ? "0" : "") + k)
            compare(Rules.usedSlots(page.model.allEntries()).length, 12)
            ui_View.reset()
            bindMacro(12, "M12")
            compare(entry(12), [0, 0, 0, 0])
            compare(ui_View.named("ui_13H_SetMacroKey").length, 0)
            compare(ui_View.macros["M12"].index, -1)
        }

        function test_freeingSlotWritesUnbound() {
            ui_View.addMacro("Alpha", -1, 1, [])
            bindMacro(12, "Alpha", 3)
            compare(ui_View.macros["Alpha"].index, 0)
            ui_View.reset()
            page.chooseFunction(Rules.FUNC_KEYBOARD)
            compare(entry(12), [0, 0, 0, 0])
            compare(ui_View.named("setMacroIniConfig"), [["setMacroIniConfig", "Alpha", [-1, 1]]])

            // Clicking the chosen macro again clears the choice, the entry and the slot.
            bindMacro(12, "Alpha")
            compare(ui_View.macros["Alpha"].index, 0)
            page.macroList.setCurIndex(-1)
            page.setMacro()
            compare(entry(12), [0, 0, 0, 0])
            compare(ui_View.macros["Alpha"].index, -1)
        }

        function test_otherDevicesMacroKeepsItsSlot() {
            ui_View.addMacro("Kbd", 7, 4, [])
            ui_View.macros["Kbd"].did = 0
            ui_View.reset()
            page.pageReset()
            compare(ui_View.named("setMacroIniConfig").length, 0)
            compare(ui_View.macros["Kbd"].index, 7)
        }

        function test_leftClickGuard() {
            // Button 0 is the only shown left click.
            select(0)
            ui_View.answer = false
            page.functionMenu.setCurIndex(Rules.FUNC_KEYBOARD)
            page.chooseFunction(Rules.FUNC_KEYBOARD)
            compare(ui_View.named("getMsgAns_FoolProofing").length, 1)
            compare(page.funcIndex, Rules.FUNC_MOUSE, "refused: back to MOUSE")
            compare(entry(0), [0x01, 0x00, 0xF0, 0x00])
            page.chooseMouse(1, 0)
            compare(page.mouseMenu.getCurIndex(), 0, "refused: back to LEFT")
            compare(entry(0), [0x01, 0x00, 0xF0, 0x00])

            ui_View.answer = true
            page.chooseMouse(1, 0)
            compare(entry(0), [0x01, 0x00, 0xF1, 0x00])
            compare(ui_View.named("getMsgAns_FoolProofing").length, 3)

            // With a second left button nobody is asked.
            ui_View.reset()
            select(4)
            page.chooseMouse(0, 3)
            compare(entry(4), [0x01, 0x00, 0xF0, 0x00])
            select(4)
            page.chooseMouse(2, 0)
            compare(ui_View.named("getMsgAns_FoolProofing").length, 1, "the last left click again")
            page.model.setEntry(0, [0x01, 0x00, 0xF0, 0x00])
            page.model.setEntry(4, [0x01, 0x00, 0xF0, 0x00])
            ui_View.reset()
            page.chooseMouse(2, 0)
            compare(ui_View.named("getMsgAns_FoolProofing").length, 0)
            compare(entry(4), [0x01, 0x00, 0xF2, 0x00])
        }

        function test_leftClickOnHiddenButtonDoesNotCount() {
            // Button 12 has a left click but is not shown.
            page.model.setEntry(12, [0x01, 0x00, 0xF0, 0x00])
            var names = []
            for (var i = 0; i < 16; ++i)
                names.push(i === 12 ? "" : "B" + i)
            main_Z3._ProductLayoutStringList = names
            page.translateStrings()
            select(0)
            verify(Rules.needsLeftClickConfirm(page.model.allEntries(), 0, page.mapping_for_keyId))
            verify(!Rules.needsLeftClickConfirm(page.model.allEntries(), 0, [0, 12]))
            verify(!Rules.needsLeftClickConfirm(page.model.allEntries(), 1, page.mapping_for_keyId))
        }

        function test_resetOneAndAll() {
            ui_View.addMacro("Alpha", -1, 1, [])
            bindMacro(5, "Alpha")
            compare(ui_View.macros["Alpha"].index, 0)
            page.resetButton()
            compare(entry(5), [0x07, 0x00, 0x03, 0x00])
            compare(ui_View.macros["Alpha"].index, -1)
            compare(page.funcIndex, Rules.FUNC_MOUSE)
            compare(page.mouseMenu.getCurIndex(), 8)

            // The default profile's entries, not the built-in ones.
            var d = Rules.builtInDefaults.slice()
            d[4 * 13] = 0x0C
            ui_View.defaults = d
            page.initUI()
            bindMacro(13, "Alpha")
            compare(ui_View.macros["Alpha"].index, 0)
            page.model.setEntry(1, [0x00, 0x00, 0x05, 0x00])
            page.pageReset()
            compare(ui_View.macros["Alpha"].index, -1, "total reset frees the slot")
            compare(entry(13), [0x0C, 0, 0, 0])
            compare(page.funcIndex, Rules.FUNC_LED, "the selected button shows its default")
            compare(entry(1), [0x01, 0x00, 0xF1, 0x00])
            ui_View.reset()
            page.pageApply()
            compare(ui_View.named("ui_12H_SetKeyMatrix")[0][1], d)
        }

        function test_initReadsProfileAndKeepsDefaultsForMissing() {
            var p = ui_View.profile.slice()
            p[9] = ["0", "0", "4", "0"]
            p[10] = []
            p[11] = ["x", "1"]
            ui_View.profile = p
            ui_View.scrollSwap = true
            page.initUI()
            compare(entry(9), [0, 0, 4, 0])
            compare(entry(10), [0x03, 0x00, 0x23, 0x02])
            compare(entry(11), [0x03, 0x00, 0x94, 0x01])
            verify(page.scrollSwap.isSelect)
            page.pageApply()
            compare(ui_View.named("setScrollPinSwap")[0][1], true)
            ui_View.scrollSwap = false
        }

        function test_dpiRowsKeepEnglishText() {
            compare(page.mouseMenu.mdItems.get(6).textX, "DPI +")
            compare(page.mouseMenu.mdItems.get(7).textX, "DPI -")
            compare(page.str(116, "fallback"), "fallback")
        }
    }
}
