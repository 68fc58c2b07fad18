import QtQuick
import QtTest
import "../../modules/qml/common"

// DropdownList, FileListButton and FileList with real mouse and keys (renaming: the real
// window). No view stands in here: the controls must work without one.
Item {
    id: top
    width: 600
    height: 500

    property int animation_speed: 10
    property var log: []

    ListModel { id: rates; ListElement { textX: "125 Hz" } ListElement { textX: "500 Hz" } ListElement { textX: "1000 Hz" } }
    ListModel { id: files; ListElement { textX: "alpha" } ListElement { textX: "beta" } }
    ListModel { id: actions }

    DropdownList { id: dropdown; x: 10; y: 10; mdItems: rates
        onListOpened: top.log.push("opened"); onListClosed: top.log.push("closed")
        onListElementClicked: function (i) { top.log.push("element " + i) } }
    FileListButton { id: fileButton; x: 200; y: 10; listHeight: 100; mdItems: files
        onRequestToUpdateList: top.log.push("update")
        onListOpened: top.log.push("opened"); onListClosed: top.log.push("closed")
        onListElementClicked: function (i) { top.log.push("element " + i) } }
    FileList { id: fileList; x: 400; y: 10; width: 141; height: 198; mdItems: actions
        onListElementClicked: function (i) { top.log.push("element " + i) }
        onListElementRightBtnClicked: function (i) { top.log.push("right " + i) } }
    Checkbox { id: lonelyCheck; x: 10; y: 450 }

    TestCase {
        name: "Lists"
        when: windowShown

        function init() {
            for (var c of [dropdown, fileButton]) {
                c.close()
                tryCompare(findChild(c, "dropArea"), "visible", false)
                c.setCurIndex(-1)
            }
            actions.clear()
            actions.append([0, 1, 2, 3].map(function (i) { return {textX: "K" + i, textR: ""} }))
            // The list view creates its rows on its next polish.
            tryVerify(function () { return findChild(fileList, "row3") !== null })
            fileList.currentIndex = -1
            top.log = []
        }
        function boxText(control) { return findChild(control, "boxText").text }

        // Picking a row with the pointer: every drop-down of the real window (SceneDriver's chooseRow).
        function test_dropdownOpensPicksAndCloses() {
            mouseClick(dropdown, 50, 10)
            compare(top.log, ["opened"], "opening is announced when it starts")
            mouseClick(dropdown, 50, 10)
            tryCompare(top, "log", ["opened", "closed"])
            // Keys: Up and Down pick, Space opens, Escape closes.
            dropdown.setCurIndex(2)
            dropdown.forceActiveFocus()
            for (var k of [Qt.Key_Up, Qt.Key_Up, Qt.Key_Up])
                keyClick(k)
            compare(dropdown.getCurIndex(), 0)
            keyClick(Qt.Key_Down)
            compare(dropdown.getCurIndex(), 1)
            keyClick(Qt.Key_Space)
            verify(dropdown.isOpened)
            top.log = []
            keyClick(Qt.Key_Escape)
            tryCompare(top, "log", ["closed"])
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
            compare([fileList.currentIndex, top.log], [2, ["element 2", "element 0", "element -1", "right 3", "element 2"]])
            fileList.currentIndex = 3
            actions.remove(3)
            compare(fileList.currentIndex, -1, "no selection past the end")
            fileList.currentIndex = 1
            actions.clear()
            compare(fileList.currentIndex, -1, "none in an empty list")
        }

        function test_clickWithoutViewOrSkin() {
            failOnWarning(/ReferenceError|TypeError/)
            mouseClick(lonelyCheck, 5, lonelyCheck.height / 2)
            verify(lonelyCheck.isSelect)
        }
    }
}
