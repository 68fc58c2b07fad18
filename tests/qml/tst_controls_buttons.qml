import QtQuick
import QtTest
import "../../modules/qml/common"

// Check box, radio button, the 4- and 8-button groups with the value menu,
// driven by real mouse clicks and keys.
Item {
    id: top
    width: 600
    height: 400

    property int animation_speed: 10
    property var events: []

    // Records the click sounds, in order with the controls' signals.
    QtObject {
        id: ui_View
        function playMedia_Index(i) { top.events.push("sound " + i) }
    }

    Checkbox { id: check; x: 60; y: 10; chkStr: "SCROLL SWAP"; onClicked: function (on) { top.events.push("check " + on) } }
    RadioButton { id: radio; x: 200; y: 10; index: 2; chkStr: "ALWAYS REPEAT"
                  onClicked: function (i) { top.events.push("radio " + i) } }
    ButtonGroup_4 { id: group4; x: 10; y: 40; onClicked: function (i) { top.events.push("group4 " + i) } }
    ButtonGroupPro_8 { id: group8; x: 10; y: 80; onClicked: function (i) { top.events.push("group8 " + i) }
                       onValueChanged: function (i, v) { top.events.push("value " + i + " " + v) } }

    TestCase {
        name: "Buttons"
        when: windowShown

        readonly property var columnsX: [3, 80, 157, 234]

        function init() {
            group8.closeMenu()
            tryCompare(menu(), "visible", false)
            check.isSelect = false
            check.autoToggle = true
            group4.currentIndex = 0
            group8.maxStage = 8
            group8.currentIndex = 0
            group8.valueForIndex = [400, 800, 1600, 3200, 4800, 6400, 8000, 12000]
            group8.valueForMenuIndex = [100, 200, 300, 400, 500, 600, 700, 800, 900, 1000]
            group8.menuCounter = 18
            top.events = []
        }
        function menu() { return findChild(group8, "valueMenu") }
        function center8(i, arrow) { return {x: columnsX[i % 4] + (arrow ? 67 : 25), y: (i < 4 ? 8 : 27) + 9} }
        function click8(i, arrow) { mouseClick(group8, center8(i, arrow).x, center8(i, arrow).y) }
        // A cell of the open value menu once faded in and laid out (3 columns, 48 x 18 apart).
        function menuCell(i) {
            tryCompare(menu(), "opacity", 1, 5000)
            var cell = findChild(menu(), "menuCell" + i)
            verify(cell !== null, "menu cell " + i)
            tryVerify(function () { return cell.x === (i % 3) * 48 && cell.y === Math.floor(i / 3) * 18 },
                      5000, "menu cell " + i + " laid out")
            return cell
        }

        function test_checkboxAndRadio() {
            mouseClick(check, 5, check.height / 2)
            mouseClick(check, check.width - 3, check.height / 2) // the label toggles as well
            check.autoToggle = false // the click only asks: the page decides
            mouseClick(check, 5, check.height / 2)
            mouseClick(radio, 5, radio.height / 2) // the page decides here as well
            compare([check.isSelect, radio.isSelect], [false, false])
            compare(top.events, ["sound 4", "check true", "sound 4", "check false", "sound 4", "check true",
                                 "sound 4", "radio 2"])
        }

        function test_groupsTakeClicksOnTheirButtonsOnly() {
            for (var i = 3; i >= 0; --i)
                mouseClick(group4, columnsX[i] + 30, 13)
            mouseClick(group4, 78, 13) // the gap between two buttons
            compare(group4.currentIndex, 0)
            compare(top.events, ["group4 3", "group4 2", "group4 1", "group4 0"])
            // Another arrow moves the open menu, the same arrow closes it (stage menus: the real window).
            click8(0, true)
            click8(5, true)
            compare([group8.menuShown, group8.currentMenuIndex, menu().y], [true, 5, 27 + 18 + 5])
            click8(5, true)
            verify(!group8.menuShown)
        }

        // Tab reaching every control: the real window's walk (tst_gui_scene_main).
        function test_keyboardActs() {
            var arrow = findChild(findChild(group8, "button1"), "arrow")
            check.forceActiveFocus()
            keyClick(Qt.Key_Space)
            verify(check.isSelect)
            findChild(group4, "button2").forceActiveFocus()
            keyClick(Qt.Key_Return)
            compare(group4.currentIndex, 2)
            arrow.forceActiveFocus()
            keyClick(Qt.Key_Space)
            verify(group8.menuShown)
            var cell = menuCell(0)
            for (var n = 0; n < 20 && top.Window.activeFocusItem !== cell; ++n)
                keyClick(Qt.Key_Tab)
            compare(top.Window.activeFocusItem, cell, "the open menu's cells are reached by Tab")
            keyClick(Qt.Key_Space)
            compare(group8.valueForIndex[1], 100)
            compare(top.events, ["sound 4", "check true", "group4 2", "value 1 100"])
        }
    }
}
