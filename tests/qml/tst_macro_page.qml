import QtQuick
import QtTest
import "../../modules/qml/Z3"
import "../../modules/qml/common"
import "../../modules/qml/Z3/MacroRules.js" as Rules

// The macro page against a recording view: recording, where added actions
// go, the delay box, the scrapbook, the macro files and renaming.
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
        signal msg_KB(bool isDown, int usbCode)
    }

    Page_Macro {
        id: page
    }

    TestCase {
        name: "Page_Macro"
        when: windowShown

        function init() {
            ui_View.reset()
            ui_View.macros = {}
            ui_View.created = 0
            ui_View.addMacro("Alpha", -1, 1, ["A    [Down]", "A      [Up]", "100   [Delay]"])
            ui_View.addMacro("beta", -1, 1, [])
            page.isRecordStart = false
            page.scrapbook = ""
            page.keyInput.setKeycodeUSB(-1)
            page.keyInput.isSelect = false
            page.initUI()
        }

        function pick(name) {
            for (var i = 0; i < page.md_MacroFile.count; ++i) {
                if (page.md_MacroFile.get(i).textX === name) {
                    page.fileList.currentIndex = i
                    page.refreshActions()
                    return
                }
            }
            fail(name + " is not listed")
        }

        function lines() {
            return page.allLines()
        }

        function saved(name) {
            return ui_View.macros[name].lines
        }

        function test_tags() {
            compare(Rules.tag("Down"), "    [Down]")
            compare(Rules.tag("Up"), "      [Up]")
            compare(Rules.tag("Delay"), "   [Delay]")
            compare(Rules.splitLine("L Ctrl      [Up]"), {textX: "L Ctrl", textR: "      [Up]"})
        }

        function test_listsAndSelection() {
            compare(page.md_MacroFile.count, 2)
            compare(page.md_MacroFile.get(0).textX, "Alpha")
            verify(!page.hasMacro)
            pick("Alpha")
            compare(page.md_MacroActions.count, 3)
            compare(page.md_MacroActions.get(2).textX, "100")
            compare(page.md_MacroActions.get(2).textR, "   [Delay]")
            // Clicking the selected file again deselects it and empties the actions.
            waitForRendering(page.fileList)
            mouseClick(page.fileList, 30, 10)
            compare(page.fileList.currentIndex, -1)
            compare(page.md_MacroActions.count, 0)
            mouseClick(page.fileList, 30, 10)
            compare(page.fileList.currentIndex, 0)
            compare(page.md_MacroActions.count, 3)
        }

        function test_recording() {
            pick("Alpha")
            page.startRecord()
            verify(page.isRecordStart)
            compare(page.md_MacroActions.count, 0, "the list empties at once")
            compare(saved("Alpha").length, 3, "the file keeps its lines until Stop")
            verify(!page.fileList.enabled)
            verify(!findChild(page, "addMacro").enabled)
            verify(!findChild(page, "deleteMacro").enabled)
            main_Z3.msg_KB(true, 0x04)
            page.detectKeyboard(true, 0x31) // no name: ignored
            main_Z3.msg_KB(false, 0x04)
            page.detectKeyboard(true, 0xE1)
            page.detectKeyboard(false, 0xE1)
            compare(lines(), ["A    [Down]", "A      [Up]", "L Shift    [Down]", "L Shift      [Up]"])
            page.stopRecord()
            verify(!page.isRecordStart)
            compare(saved("Alpha"), ["A    [Down]", "A      [Up]", "L Shift    [Down]", "L Shift      [Up]"])
            verify(page.fileList.enabled)
        }

        function test_recordingAlsoFillsListeningKeyBox() {
            pick("beta")
            page.startRecord()
            page.keyInput.isSelect = true
            page.detectKeyboard(true, 0x05)
            compare(page.keyInput.tmpKeycodeUSB, 0x05)
            compare(lines(), ["B    [Down]"])
            page.stopRecord()
        }

        function test_insertBeforeSelected() {
            pick("Alpha")
            page.actionList.currentIndex = 2
            page.keyInput.setKeycodeUSB(0x04)
            page.addKeyFromBox()
            compare(lines(), ["A    [Down]", "A      [Up]", "A    [Down]", "A      [Up]", "100   [Delay]"])
            compare(page.md_MacroActions.get(4).textX, "100", "the old third action is now the fifth")
            compare(saved("Alpha"), lines(), "every add is saved")
            page.actionList.currentIndex = -1
            page.mouseList.setCurIndex(3)
            page.addMouseButton()
            compare(lines().slice(5), ["MS-B4    [Down]", "MS-B4      [Up]"], "nothing selected: at the end")
        }

        function test_delayBox() {
            pick("beta")
            compare(page.delayInput.text, "1000")
            page.addDelay()
            compare(lines(), ["1000   [Delay]"])
            page.delayInput.forceActiveFocus()
            tryVerify(function () {
                return page.delayInput.activeFocus
            })
            page.delayInput.text = "3"
            page.addDelay()
            compare(page.delayInput.text, "10")
            compare(lines(), ["1000   [Delay]", "10   [Delay]"])
            page.delayInput.forceActiveFocus()
            tryVerify(function () {
                return page.delayInput.activeFocus
            })
            page.delayInput.text = "250"
            keyClick(Qt.Key_Return)
            compare(page.delayValue, 250)
            page.delayInput.forceActiveFocus()
            tryVerify(function () {
                return page.delayInput.activeFocus
            })
            page.delayInput.text = ""
            page.delayInput.focus = false
            compare(page.delayInput.text, "10")
            compare(Rules.delayValue("99999"), 65535)
        }

        function test_cutPastesOnceCopyMany() {
            pick("Alpha")
            page.actionList.currentIndex = 0
            page.cutAction()
            compare(page.scrapbook, "A    [Down]")
            compare(lines(), ["A      [Up]", "100   [Delay]"])
            var paste = findChild(page, "toolPaste")
            verify(paste.enabled)
            page.pasteAction()
            compare(lines(), ["A      [Up]", "100   [Delay]", "A    [Down]"])
            compare(page.scrapbook, "")
            verify(!paste.enabled, "after a cut, paste works once")

            page.actionList.currentIndex = 1
            page.copyAction()
            compare(lines(), ["A      [Up]", "100   [Delay]", "A    [Down]"], "copy leaves the list")
            page.actionList.currentIndex = 0
            page.pasteAction()
            page.pasteAction()
            compare(lines(), ["100   [Delay]", "100   [Delay]", "A      [Up]", "100   [Delay]", "A    [Down]"])
            verify(paste.enabled, "after a copy, paste stays")
            compare(saved("Alpha"), lines())

            page.actionList.currentIndex = 4
            page.deleteAction()
            compare(lines().length, 4)
            verify(!findChild(page, "toolDelete").enabled, "nothing selected after delete")
        }

        function test_failedSaveClearsActions() {
            pick("Alpha")
            var m = Object.assign({}, ui_View.macros)
            delete m["Alpha"]
            ui_View.macros = m
            page.addDelay()
            compare(page.md_MacroActions.count, 0)
        }

        function test_addAndDeleteMacro() {
            page.addMacro()
            compare(page.md_MacroFile.count, 3)
            compare(page.curMacroName, "Macro. 001")
            compare(page.md_MacroActions.count, 0)
            page.deleteMacro()
            compare(page.md_MacroFile.count, 2)
            verify(!page.hasMacro)
            verify(ui_View.macros["Macro. 001"] === undefined)
        }

        function typeName(row, text) {
            page.fileList.editFileName(row)
            tryVerify(function () {
                var r = findChild(page.fileList, "row" + row)
                var input = r ? findChild(r, "nameInput") : null
                return input !== null && input.activeFocus
            }, 2000, "editing starts")
            for (var i = 0; i < text.length; ++i)
                keyClick(text[i])
            keyClick(Qt.Key_Return)
        }

        function test_renameRefusedNameShowsOldName() {
            pick("beta")
            typeName(1, "a/b")
            compare(ui_View.named("renameMacroIniFile"), [["renameMacroIniFile", "beta", "a/b"]])
            compare(page.md_MacroFile.get(1).textX, "beta", "the list shows the file as it is")
            compare(page.curMacroName, "beta")
            typeName(1, "Gamma")
            compare(page.md_MacroFile.get(1).textX, "Gamma")
            compare(page.curMacroName, "Gamma")
            verify(ui_View.macros["Gamma"] !== undefined)
            verify(ui_View.macros["beta"] === undefined)
        }

        function test_contextMenu() {
            page.fileList.contentY = 0
            page.openMenu(1)
            verify(page.contextMenu.visible)
            compare(page.contextMenu.x, 74)
            compare(page.contextMenu.y, 60)
            page.menuChosen(1)
            compare(ui_View.named("saveMacroIniToFile"), [["saveMacroIniToFile", "beta"]])
            page.openMenu(0)
            page.menuChosen(0)
            compare(ui_View.named("loadMacroIniFromFile"), [["loadMacroIniFromFile", "Alpha"]])
            page.openMenu(0)
            page.menuChosen(2)
            compare(page.fileList.editingIndex, 0)
            tryCompare(page.contextMenu, "visible", false)
        }
    }
}
