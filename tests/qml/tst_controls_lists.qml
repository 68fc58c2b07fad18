import QtQuick
import QtTest
import "../../modules/qml/common"

// DropdownList, FileListButton and FileList: placeholder text, opening and
// closing, selection rules and in-place renaming, with real mouse and keys.
Item {
    id: top
    width: 600
    height: 500

    property int animation_speed: 10
    property var globalSetting_stringList: []

    ListModel {
        id: dpiModel
        ListElement { textX: "125 Hz" }
        ListElement { textX: "500 Hz" }
        ListElement { textX: "1000 Hz" }
    }
    ListModel {
        id: macroModel
        ListElement { textX: "alpha"; textR: "" }
        ListElement { textX: "beta"; textR: "" }
    }
    ListModel {
        id: actionModel
    }

    DropdownList {
        id: dropdown
        x: 10
        y: 10
        z: isOpened ? 5 : 0
        mdItems: dpiModel
    }
    FileListButton {
        id: fileButton
        x: 200
        y: 10
        listHeight: 100
        mdItems: macroModel
    }
    FileList {
        id: fileList
        x: 400
        y: 10
        width: 141
        height: 198
        mdItems: actionModel
    }
    Checkbox {
        id: lonelyCheck
        x: 10
        y: 450
        chkStr: "no view here"
    }

    property var log: []
    Connections {
        target: dropdown
        function onListOpened() {
            top.log.push("opened")
        }
        function onListClosed() {
            top.log.push("closed")
        }
        function onListElementClicked(index) {
            top.log.push("element " + index)
        }
    }
    Connections {
        target: fileButton
        function onRequestToUpdateList() {
            top.log.push("update")
        }
        function onListOpened() {
            top.log.push("opened")
        }
        function onListClosed() {
            top.log.push("closed")
        }
        function onListElementClicked(index) {
            top.log.push("element " + index)
        }
    }
    SignalSpy {
        id: spyClick
        target: fileList
        signalName: "listElementClicked"
    }
    SignalSpy {
        id: spyRight
        target: fileList
        signalName: "listElementRightBtnClicked"
    }
    SignalSpy {
        id: spyRename
        target: fileList
        signalName: "editFileName_completed"
    }

    function boxText(tc, control) {
        return tc.findChild(control, "boxText").text
    }

    TestCase {
        name: "DropdownList"
        when: windowShown

        function init() {
            top.animation_speed = 10
            top.globalSetting_stringList = []
            dropdown.close()
            tryCompare(findChild(dropdown, "dropArea"), "visible", false, 1000)
            dropdown.setCurIndex(-1)
            top.log = []
        }

        function test_placeholderOutsideModel() {
            compare(dropdown.defaultIndex, -1)
            compare(top.boxText(this, dropdown), "【 OPTIONS 】")
            dropdown.setCurIndex(1)
            compare(top.boxText(this, dropdown), "500 Hz")
            dropdown.setCurIndex(3)
            compare(top.boxText(this, dropdown), "【 OPTIONS 】")
            compare(dropdown.getCurIndex(), 3)
            top.globalSetting_stringList = ["ENTER", "OPCIONES"]
            compare(top.boxText(this, dropdown), "【 OPCIONES 】")
            dropdown.setCurIndex(2)
            compare(top.boxText(this, dropdown), "1000 Hz")
            dpiModel.setProperty(2, "textX", "2000 Hz")
            compare(top.boxText(this, dropdown), "2000 Hz", "follows the model's text")
            dpiModel.setProperty(2, "textX", "1000 Hz")
        }

        function test_clickOpensSecondClickCloses() {
            // Slow enough (3 rows: 0.25 x 1200 ms) that the end of the
            // closing cannot be mistaken for its start.
            top.animation_speed = 1200
            var area = findChild(dropdown, "dropArea")
            mouseClick(dropdown, 50, 10)
            verify(dropdown.isOpened)
            compare(top.log, ["opened"], "opening is announced when it starts")
            // Three rows of 21 pixels overlapping by one.
            tryCompare(area, "height", 3 * 20 + 1, 3000)
            mouseClick(dropdown, 50, 10)
            verify(!dropdown.isOpened)
            compare(top.log, ["opened"], "closing is announced when it ends")
            verify(area.visible, "still sliding up")
            tryCompare(top, "log", ["opened", "closed"], 3000)
            verify(!area.visible)
            top.animation_speed = 10
        }

        function test_rowClickSelects() {
            mouseClick(dropdown, 50, 10)
            var row = findChild(dropdown, "row2")
            tryCompare(findChild(dropdown, "dropArea"), "height", 61, 1000)
            mouseClick(row, 30, 10)
            compare(dropdown.getCurIndex(), 2)
            compare(top.boxText(this, dropdown), "1000 Hz")
            verify(!dropdown.isOpened)
            tryCompare(top, "log", ["opened", "element 2", "closed"], 1000)
            // The rows sit under the box, 20 pixels apart.
            compare(row.y, 40)
        }
    }

    TestCase {
        name: "FileListButton"
        when: windowShown

        function init() {
            top.globalSetting_stringList = []
            fileButton.close()
            tryCompare(findChild(fileButton, "dropArea"), "visible", false, 1000)
            fileButton.setCurIndex(-1)
            top.log = []
        }

        function test_placeholderOutsideModel() {
            compare(top.boxText(this, fileButton), "【 OPTIONS 】")
            fileButton.setCurIndex(0)
            compare(top.boxText(this, fileButton), "alpha")
            fileButton.setCurIndex(7)
            compare(top.boxText(this, fileButton), "【 OPTIONS 】")
        }

        function test_openAsksForUpdateFirst() {
            mouseClick(fileButton, 50, 10)
            compare(top.log, ["update", "opened"])
            tryCompare(findChild(fileButton, "dropArea"), "height", 100, 1000)
            mouseClick(fileButton, 50, 10)
            tryCompare(top, "log", ["update", "opened", "closed"], 1000)
        }

        function test_clickCurrentClearsChoice() {
            mouseClick(fileButton, 50, 10)
            tryCompare(findChild(fileButton, "dropArea"), "height", 100, 1000)
            var list = findChild(fileButton, "fileList")
            mouseClick(list, 30, 30) // second row
            compare(fileButton.getCurIndex(), 1)
            compare(top.boxText(this, fileButton), "beta")
            tryCompare(findChild(fileButton, "dropArea"), "visible", false, 1000)
            mouseClick(fileButton, 50, 10)
            tryCompare(findChild(fileButton, "dropArea"), "height", 100, 1000)
            mouseClick(list, 30, 30)
            compare(fileButton.getCurIndex(), -1)
            compare(top.boxText(this, fileButton), "【 OPTIONS 】")
            tryCompare(top, "log", ["update", "opened", "element 1", "closed",
                                    "update", "opened", "element -1", "closed"], 1000)
        }
    }

    TestCase {
        name: "FileList"
        when: windowShown

        function init() {
            actionModel.clear()
            for (var i = 0; i < 4; ++i)
                actionModel.append({ textX: "K" + i, textR: "    [Down]" })
            // The list view creates its rows on its next polish.
            tryVerify(function () { return findChild(fileList, "row3") !== null }, 1000)
            fileList.currentIndex = -1
            spyClick.clear()
            spyRight.clear()
            spyRename.clear()
        }

        function test_selectAndDeselect() {
            mouseClick(fileList, 30, 2 * 20 + 10)
            compare(fileList.currentIndex, 2)
            mouseClick(fileList, 30, 0 * 20 + 10)
            compare(fileList.currentIndex, 0)
            mouseClick(fileList, 30, 0 * 20 + 10)
            compare(fileList.currentIndex, -1)
            compare(spyClick.count, 3)
            compare([spyClick.signalArguments[0][0], spyClick.signalArguments[1][0], spyClick.signalArguments[2][0]],
                    [2, 0, -1])
        }

        function test_rightClickReportsRow() {
            fileList.currentIndex = 1
            mouseClick(fileList, 30, 3 * 20 + 10, Qt.RightButton)
            compare(spyRight.count, 1)
            compare(spyRight.signalArguments[0][0], 3)
            compare(fileList.currentIndex, 1, "a right click does not select")
            compare(spyClick.count, 0)
        }

        function test_emptyListClearsSelection() {
            fileList.currentIndex = 3
            actionModel.remove(3)
            compare(fileList.currentIndex, -1, "no selection past the end")
            fileList.currentIndex = 1
            actionModel.clear()
            compare(fileList.currentIndex, -1)
        }

        function test_renameWithEnter() {
            fileList.editFileName(1)
            var input = findChild(findChild(fileList, "row1"), "nameInput")
            tryVerify(function () { return input.activeFocus && input.selectedText === "K1" }, 1000,
                      "editing starts with the whole name selected")
            keyClick(Qt.Key_N)
            keyClick(Qt.Key_E)
            keyClick(Qt.Key_W)
            compare(actionModel.get(1).textX, "K1", "the model changes only on Enter")
            keyClick(Qt.Key_Return)
            compare(spyRename.count, 1)
            compare(spyRename.signalArguments[0][0], "K1")
            compare(spyRename.signalArguments[0][1], "new")
            compare(actionModel.get(1).textX, "new")
            compare(fileList.editingIndex, -1)
            verify(!input.activeFocus)
        }

        function test_blankNameIsRefused() {
            fileList.editFileName(0)
            var input = findChild(findChild(fileList, "row0"), "nameInput")
            tryVerify(function () { return input.activeFocus && input.selectedText === "K0" }, 1000)
            keyClick(Qt.Key_Space)
            keyClick(Qt.Key_Enter)
            compare(spyRename.count, 0)
            compare(actionModel.get(0).textX, "K0")
            compare(input.text, "K0")
            compare(fileList.editingIndex, -1)
        }

        function test_focusLossRestoresName() {
            fileList.editFileName(2)
            var input = findChild(findChild(fileList, "row2"), "nameInput")
            tryVerify(function () { return input.activeFocus && input.selectedText === "K2" }, 1000)
            keyClick(Qt.Key_X)
            compare(input.text, "x")
            fileList.forceActiveFocus()
            verify(!input.activeFocus)
            compare(input.text, "K2")
            compare(actionModel.get(2).textX, "K2")
            compare(spyRename.count, 0)
            // A click on a row no longer edits it but selects it.
            mouseClick(fileList, 30, 2 * 20 + 10)
            compare(fileList.currentIndex, 2)
        }

        function test_scrollBarOnlyWhenRowsOverflow() {
            var bar = findChild(fileList, "scrollBar")
            verify(!bar.visible, "four rows fit in 198 pixels")
            for (var i = 4; i < 20; ++i)
                actionModel.append({ textX: "K" + i, textR: "      [Up]" })
            tryVerify(function () { return bar.visible }, 1000)
            compare(bar.width, 5)
            compare(bar.opacity, 0.5)
            compare(fileList.contentY, 0)
            // Drag the bar by 50 pixels (in list coordinates): the list moves
            // by the same share of its scroll range.
            var track = fileList.height - bar.height
            mousePress(fileList, 138, 5)
            mouseMove(fileList, 138, 30, -1, Qt.LeftButton)
            mouseMove(fileList, 138, 55, -1, Qt.LeftButton)
            mouseRelease(fileList, 138, 55)
            compare(Math.round(fileList.contentY), Math.round(50 * bar.range / track))
            compare(Math.round(bar.y), 50)
            mousePress(fileList, 138, bar.y + 5)
            mouseMove(fileList, 138, bar.y + 400, -1, Qt.LeftButton)
            mouseRelease(fileList, 138, bar.y + 400)
            compare(fileList.contentY, 20 * 20 - 198, "stops at the end")
        }
    }

    TestCase {
        name: "WithoutTheView"
        when: windowShown

        function test_clickWithoutViewOrSkin() {
            failOnWarning(/ReferenceError|TypeError/)
            mouseClick(lonelyCheck, 5, lonelyCheck.height / 2)
            verify(lonelyCheck.isSelect)
        }
    }
}
