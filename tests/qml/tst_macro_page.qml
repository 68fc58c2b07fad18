import QtQuick
import QtTest
import "../../modules/qml/Z3"
import "../../modules/qml/common"

// The macro page against a recording view: recording, where added actions
// go, the delay box, the scrapbook and the file menu.
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
        signal msg_KB(bool isDown, int usbCode)
    }
    Page_Macro {
        id: page
    }

    TestCase {
        name: "Page_Macro"
        when: windowShown

        // "Alpha" is selected and holds three actions.
        function init() {
            ui_View.calls = []
            ui_View.macros = {}
            ui_View.addMacro("Alpha", -1, ["A    [Down]", "A      [Up]", "100   [Delay]"])
            ui_View.addMacro("Beta", -1, [])
            page.isRecordStart = false
            page.scrapbook = ""
            page.keyInput.setKeycodeUSB(-1)
            page.keyInput.isSelect = false
            page.initUI()
            page.fileList.currentIndex = 0
            page.refreshActions()
            compare(page.md_MacroActions.get(2).textR, "   [Delay]")
        }
        function lines() {
            return page.allLines()
        }
        function focusDelay(text) {
            page.delayInput.forceActiveFocus()
            tryVerify(function () { return page.delayInput.activeFocus })
            page.delayInput.text = text
        }

        function test_recording() {
            page.startRecord()
            compare(page.md_MacroActions.count, 0, "the list empties at once")
            compare(ui_View.macros["Alpha"].lines.length, 3, "the file keeps its lines until Stop")
            verify(!page.fileList.enabled && !findChild(page, "addMacro").enabled && !findChild(page, "deleteMacro").enabled)
            page.keyInput.isSelect = true
            main_Z3.msg_KB(true, 0x04)
            page.detectKeyboard(true, 0x31) // no name: ignored
            main_Z3.msg_KB(false, 0x04)
            page.detectKeyboard(true, 0xE1)
            page.detectKeyboard(false, 0xE1)
            compare(page.keyInput.tmpKeycodeUSB, 0x04, "a listening key box is filled as well")
            var want = ["A    [Down]", "A      [Up]", "L Shift    [Down]", "L Shift      [Up]"]
            compare(lines(), want)
            page.stopRecord()
            compare(ui_View.macros["Alpha"].lines, want)
            verify(page.fileList.enabled && !page.isRecordStart)
        }

        function test_addedActionsGoBeforeTheSelected() {
            page.actionList.currentIndex = 2
            page.keyInput.setKeycodeUSB(0x04)
            page.addKeyFromBox()
            compare(lines(), ["A    [Down]", "A      [Up]", "A    [Down]", "A      [Up]", "100   [Delay]"])
            compare(ui_View.macros["Alpha"].lines, lines(), "every add is saved")
            page.actionList.currentIndex = -1
            page.mouseList.setCurIndex(3)
            page.addMouseButton()
            compare(lines().slice(5), ["MS-B4    [Down]", "MS-B4      [Up]"], "nothing selected: at the end")
            // A save that fails (the file is gone) leaves no actions shown.
            delete ui_View.macros["Alpha"]
            page.addDelay()
            compare(page.md_MacroActions.count, 0)
        }

        function test_delayBox() {
            page.actionList.currentIndex = -1
            compare(page.delayInput.text, "1000")
            page.addDelay()
            focusDelay("3")
            page.addDelay()
            compare(page.delayInput.text, "10")
            focusDelay("99999")
            page.addDelay()
            compare(lines().slice(3), ["1000   [Delay]", "10   [Delay]", "65535   [Delay]"])
            focusDelay("250")
            keyClick(Qt.Key_Return)
            compare(page.delayValue, 250)
            focusDelay("")
            page.delayInput.focus = false
            compare(page.delayInput.text, "10")
        }

        function test_cutPastesOnceCopyMany() {
            var paste = findChild(page, "toolPaste")
            page.actionList.currentIndex = 0
            page.cutAction()
            compare(lines(), ["A      [Up]", "100   [Delay]"])
            page.pasteAction()
            compare(lines(), ["A      [Up]", "100   [Delay]", "A    [Down]"])
            verify(!paste.enabled, "after a cut, paste works once")
            page.actionList.currentIndex = 1
            page.copyAction()
            page.actionList.currentIndex = 0
            page.pasteAction()
            page.pasteAction()
            compare(lines(), ["100   [Delay]", "100   [Delay]", "A      [Up]", "100   [Delay]", "A    [Down]"])
            verify(paste.enabled, "after a copy, paste stays")
            compare(ui_View.macros["Alpha"].lines, lines())
            page.actionList.currentIndex = 4
            page.deleteAction()
            compare(lines().length, 4)
            verify(!findChild(page, "toolDelete").enabled, "nothing selected after delete")
        }

        function test_fileMenu() {
            page.fileList.contentY = 0
            page.openMenu(1)
            compare([page.contextMenu.visible, page.contextMenu.x, page.contextMenu.y], [true, 74, 60])
            page.menuChosen(1)
            page.openMenu(0)
            page.menuChosen(0)
            compare(ui_View.calls, [["saveMacroIniToFile", "Beta"], ["loadMacroIniFromFile", "Alpha"]])
            page.openMenu(0)
            page.menuChosen(2)
            compare(page.fileList.editingIndex, 0)
            tryCompare(page.contextMenu, "visible", false)
        }
    }
}
