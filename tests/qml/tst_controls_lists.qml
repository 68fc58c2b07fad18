import QtQuick
import QtTest
import "../../modules/qml/common"

// DropdownList, FileListButton and FileList: placeholder text, opening and
// closing, picking, keys, selection rules, in-place renaming and scrolling,
// with real mouse and keys. No view stands in here: the controls must work
// without one.
Item {
    id: top
    width: 600
    height: 500

    property int animation_speed: 10
    property var globalSetting_stringList: []
    property var log: []

    ListModel {
        id: rates
        ListElement { textX: "125 Hz" }
        ListElement { textX: "500 Hz" }
        ListElement { textX: "1000 Hz" }
    }
    ListModel {
        id: files
        ListElement { textX: "alpha"; textR: "" }
        ListElement { textX: "beta"; textR: "" }
    }
    ListModel {
        id: actions
    }

    DropdownList {
        id: dropdown
        x: 10
        y: 10
        mdItems: rates
        onListOpened: top.log.push("opened")
        onListClosed: top.log.push("closed")
        onListElementClicked: function (i) { top.log.push("element " + i) }
    }
    FileListButton {
        id: fileButton
        x: 200
        y: 10
        listHeight: 100
        mdItems: files
        onRequestToUpdateList: top.log.push("update")
        onListOpened: top.log.push("opened")
        onListClosed: top.log.push("closed")
        onListElementClicked: function (i) { top.log.push("element " + i) }
    }
    FileList {
        id: fileList
        x: 400
        y: 10
        width: 141
        height: 198
        mdItems: actions
        onListElementClicked: function (i) { top.log.push("element " + i) }
        onListElementRightBtnClicked: function (i) { top.log.push("right " + i) }
        onEditFileName_completed: function (o, n) { top.log.push(o + " -> " + n) }
    }
    Checkbox {
        id: lonelyCheck
        x: 10
        y: 450
    }

    TestCase {
        name: "Lists"
        when: windowShown

        function init() {
            top.animation_speed = 10
            top.globalSetting_stringList = []
            for (var c of [dropdown, fileButton]) {
                c.close()
                tryCompare(findChild(c, "dropArea"), "visible", false)
                c.setCurIndex(-1)
            }
            actions.clear()
            for (var i = 0; i < 4; ++i)
                actions.append({textX: "K" + i, textR: "    [Down]"})
            // The list view creates its rows on its next polish.
            tryVerify(function () { return findChild(fileList, "row3") !== null })
            fileList.currentIndex = -1
            top.log = []
        }
        function boxText(control) {
            return findChild(control, "boxText").text
        }
        function editName(row) {
            fileList.editFileName(row)
            var input = findChild(findChild(fileList, "row" + row), "nameInput")
            tryVerify(function () { return input.activeFocus && input.selectedText === "K" + row }, 5000,
                      "editing starts with the whole name selected")
            return input
        }

        function test_placeholderOutsideTheModel() {
            compare(boxText(dropdown), "【 OPTIONS 】")
            dropdown.setCurIndex(3)
            compare([boxText(dropdown), dropdown.getCurIndex()], ["【 OPTIONS 】", 3])
            top.globalSetting_stringList = ["ENTER", "OPCIONES"]
            compare(boxText(dropdown), "【 OPCIONES 】")
            dropdown.setCurIndex(2)
            rates.setProperty(2, "textX", "2000 Hz")
            compare(boxText(dropdown), "2000 Hz", "follows the model's text")
            rates.setProperty(2, "textX", "1000 Hz")
            fileButton.setCurIndex(7)
            compare(boxText(fileButton), "【 OPCIONES 】")
        }

        function test_dropdownOpensPicksAndCloses() {
            // Slow enough (3 rows: 0.25 x 1200 ms) that the end of the
            // closing cannot be mistaken for its start.
            top.animation_speed = 1200
            var area = findChild(dropdown, "dropArea")
            mouseClick(dropdown, 50, 10)
            compare(top.log, ["opened"], "opening is announced when it starts")
            tryCompare(area, "height", 3 * 20 + 1, 5000) // rows of 21 pixels overlapping by one
            mouseClick(dropdown, 50, 10)
            compare(top.log, ["opened"], "closing is announced when it ends")
            verify(area.visible, "still sliding up")
            tryCompare(top, "log", ["opened", "closed"], 5000)
            top.animation_speed = 10
            mouseClick(dropdown, 50, 10)
            tryCompare(area, "height", 61)
            compare(findChild(dropdown, "row2").y, 40, "the rows sit under the box")
            mouseClick(findChild(dropdown, "row2"), 30, 10)
            compare(boxText(dropdown), "1000 Hz")
            tryCompare(top, "log", ["opened", "closed", "opened", "element 2", "closed"])
            // Keys: Up and Down pick, Space opens, Escape closes.
            dropdown.forceActiveFocus()
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Up)
            keyClick(Qt.Key_Up)
            compare(dropdown.getCurIndex(), 0)
            keyClick(Qt.Key_Down)
            compare(dropdown.getCurIndex(), 1)
            keyClick(Qt.Key_Space)
            verify(dropdown.isOpened)
            keyClick(Qt.Key_Escape)
            verify(!dropdown.isOpened)
        }

        function test_fileButtonAsksForUpdateAndClickOnCurrentClears() {
            var list = findChild(fileButton, "fileList")
            for (var round = 0; round < 2; ++round) {
                mouseClick(fileButton, 50, 10)
                tryCompare(findChild(fileButton, "dropArea"), "height", 100)
                mouseClick(list, 30, 30) // second row
                tryCompare(findChild(fileButton, "dropArea"), "visible", false)
            }
            compare([fileButton.getCurIndex(), boxText(fileButton)], [-1, "【 OPTIONS 】"])
            compare(top.log, ["update", "opened", "element 1", "closed", "update", "opened", "element -1", "closed"])
        }

        function test_fileListSelection() {
            for (var row of [2, 0, 0])
                mouseClick(fileList, 30, row * 20 + 10)
            compare(fileList.currentIndex, -1, "a click on the selected row deselects it")
            fileList.currentIndex = 1
            mouseClick(fileList, 30, 3 * 20 + 10, Qt.RightButton)
            compare(fileList.currentIndex, 1, "a right click does not select")
            fileList.forceActiveFocus()
            keyClick(Qt.Key_Down)
            compare(fileList.currentIndex, 2)
            compare(top.log, ["element 2", "element 0", "element -1", "right 3", "element 2"])
            fileList.currentIndex = 3
            actions.remove(3)
            compare(fileList.currentIndex, -1, "no selection past the end")
            fileList.currentIndex = 1
            actions.clear()
            compare(fileList.currentIndex, -1)
        }

        function test_renameOnEnterOnly() {
            var input = editName(1)
            keyClick(Qt.Key_N)
            keyClick(Qt.Key_E)
            keyClick(Qt.Key_W)
            compare(actions.get(1).textX, "K1", "the model changes only on Enter")
            keyClick(Qt.Key_Return)
            compare([actions.get(1).textX, fileList.editingIndex, input.activeFocus], ["new", -1, false])
            // A blank name is refused.
            input = editName(0)
            keyClick(Qt.Key_Space)
            keyClick(Qt.Key_Enter)
            compare([actions.get(0).textX, input.text, fileList.editingIndex], ["K0", "K0", -1])
            // Leaving the field restores the name; a click then selects the row.
            input = editName(2)
            keyClick(Qt.Key_X)
            fileList.forceActiveFocus()
            compare([input.text, actions.get(2).textX], ["K2", "K2"])
            mouseClick(fileList, 30, 2 * 20 + 10)
            compare(top.log, ["K1 -> new", "element 2"])
        }

        function test_scrollBarOnlyWhenRowsOverflow() {
            var bar = findChild(fileList, "scrollBar")
            verify(!bar.visible, "four rows fit in 198 pixels")
            for (var i = 4; i < 20; ++i)
                actions.append({textX: "K" + i, textR: "      [Up]"})
            tryVerify(function () { return bar.visible })
            // Drag the bar by 50 pixels: the list moves by the same share of its range.
            var track = fileList.height - bar.height
            mousePress(fileList, 138, 5)
            mouseMove(fileList, 138, 30, -1, Qt.LeftButton)
            mouseMove(fileList, 138, 55, -1, Qt.LeftButton)
            mouseRelease(fileList, 138, 55)
            compare([Math.round(fileList.contentY), Math.round(bar.y)], [Math.round(50 * bar.range / track), 50])
            mousePress(fileList, 138, bar.y + 5)
            mouseMove(fileList, 138, bar.y + 400, -1, Qt.LeftButton)
            mouseRelease(fileList, 138, bar.y + 400)
            compare(fileList.contentY, 20 * 20 - 198, "stops at the end")
        }

        function test_clickWithoutViewOrSkin() {
            failOnWarning(/ReferenceError|TypeError/)
            mouseClick(lonelyCheck, 5, lonelyCheck.height / 2)
            verify(lonelyCheck.isSelect)
        }
    }
}
