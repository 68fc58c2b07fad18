import QtQuick
import QtTest
import "../../modules/qml/Z3"
import "../../modules/qml/common"

// The macro page against a recording view: recording, where added actions
// go, the delay box and the scrapbook.
Item {
    width: 1000
    height: 600

    KeydefineView { id: ui_View }
    KeyCodeString { id: _KeyCodeString }
    Item { id: main_Z3; signal msg_KB(bool isDown, int usbCode) }
    Page_Macro { id: page }

    TestCase {
        name: "Page_Macro"
        when: windowShown

        // "Alpha" is selected and holds three actions; nothing is selected in them.
        function init() {
            ui_View.calls = []
            ui_View.macros = {}
            ui_View.addMacro("Alpha", -1, ["A    [Down]", "A      [Up]", "100   [Delay]"])
            ui_View.addMacro("Beta", -1, [])
            page.isRecordStart = false
            page.scrapbook = ""
            page.initUI()
            page.fileList.currentIndex = 0
            page.refreshActions()
            page.actionList.currentIndex = -1
            compare(page.md_MacroActions.get(2).textR, "   [Delay]")
        }
        function lines() { return page.allLines() }
        function saved() { return ui_View.macros["Alpha"].lines }
        function typeDelay(text) {
            page.delayInput.forceActiveFocus()
            tryVerify(function () { return page.delayInput.activeFocus })
            page.delayInput.text = text
        }

        function test_recording() {
            page.startRecord()
            compare([page.md_MacroActions.count, saved().length, page.fileList.enabled], [0, 3, false],
                    "the list empties, the file waits for Stop, no other file can be picked")
            page.keyInput.isSelect = true
            main_Z3.msg_KB(true, 0x04)
            page.detectKeyboard(true, 0x31) // no name: ignored
            main_Z3.msg_KB(false, 0x04)
            page.detectKeyboard(true, 0xE1)
            page.detectKeyboard(false, 0xE1)
            compare(page.keyInput.tmpKeycodeUSB, 0x04, "a listening key box is filled as well")
            page.stopRecord()
            compare(saved(), ["A    [Down]", "A      [Up]", "L Shift    [Down]", "L Shift      [Up]"])
            verify(page.fileList.enabled)
        }

        function test_addedActionsGoBeforeTheSelectedAndAreSaved() {
            page.actionList.currentIndex = 2
            page.keyInput.setKeycodeUSB(0x04)
            page.addKeyFromBox()
            compare(lines(), ["A    [Down]", "A      [Up]", "A    [Down]", "A      [Up]", "100   [Delay]"])
            page.actionList.currentIndex = -1
            page.mouseList.setCurIndex(3)
            page.addMouseButton()
            compare(saved().slice(5), ["MS-B4    [Down]", "MS-B4      [Up]"], "nothing selected: at the end")
            // The delay box: 10 to 65535 ms.
            page.addDelay()
            typeDelay("3")
            page.addDelay()
            typeDelay("99999")
            page.addDelay()
            compare(saved().slice(7), ["1000   [Delay]", "10   [Delay]", "65535   [Delay]"])
            typeDelay("")
            page.delayInput.focus = false
            compare(page.delayInput.text, "10", "an empty box shows the least delay")
            // A save that fails (the file is gone) leaves no actions shown.
            delete ui_View.macros["Alpha"]
            page.addDelay()
            compare(page.md_MacroActions.count, 0)
        }

        function test_cutPastesOnceCopyMany() {
            var paste = findChild(page, "toolPaste")
            page.actionList.currentIndex = 0
            page.cutAction()
            page.pasteAction()
            compare(lines(), ["A      [Up]", "100   [Delay]", "A    [Down]"])
            verify(!paste.enabled, "after a cut, paste works once")
            page.actionList.currentIndex = 1
            page.copyAction()
            page.actionList.currentIndex = 0
            page.pasteAction()
            page.pasteAction()
            compare(saved(), ["100   [Delay]", "100   [Delay]", "A      [Up]", "100   [Delay]", "A    [Down]"])
            verify(paste.enabled, "after a copy, paste stays")
            page.actionList.currentIndex = 4
            page.deleteAction()
            compare(saved().length, 4)
            verify(!findChild(page, "toolDelete").enabled, "nothing selected after delete")
        }
    }
}
