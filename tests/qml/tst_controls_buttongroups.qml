import QtQuick
import QtTest
import "../../modules/qml/common"

// ButtonGroup_4, ButtonGroupPro_8 with its value menu, and SteeringWheel,
// driven by real mouse clicks.
Item {
    id: top
    width: 600
    height: 400

    property int animation_speed: 10

    ButtonGroup_4 {
        id: group4
        x: 10
        y: 10
    }
    ButtonGroupPro_8 {
        id: group8
        x: 10
        y: 60
    }
    SteeringWheel {
        id: wheel
        x: 400
        y: 10
    }
    SignalSpy {
        id: spy4
        target: group4
        signalName: "clicked"
    }
    SignalSpy {
        id: spy8
        target: group8
        signalName: "clicked"
    }
    SignalSpy {
        id: spyValue
        target: group8
        signalName: "valueChanged"
    }
    SignalSpy {
        id: spyWheel
        target: wheel
        signalName: "wheelClicked"
    }

    readonly property var columnsX: [3, 80, 157, 234]

    function labelOf(tc, group, i) {
        var cell = tc.findChild(group, "button" + i)
        tc.verify(cell, "button " + i)
        for (var k = 0; k < cell.children.length; ++k)
            if (cell.children[k].text !== undefined && cell.children[k].objectName !== "arrow")
                return cell.children[k].text
        return undefined
    }

    TestCase {
        name: "ButtonGroup_4"
        when: windowShown

        function init() {
            group4.currentIndex = 0
            group4.valueForIndex = [0, 1, 2, 3]
            spy4.clear()
        }

        function test_labels() {
            for (var i = 0; i < 4; ++i)
                compare(top.labelOf(this, group4, i), String(i))
            group4.valueForIndex = [125, 250, 500, 1000]
            compare(top.labelOf(this, group4, 3), "1000")
        }

        function test_clickSelects() {
            for (var i = 3; i >= 0; --i) {
                mouseClick(group4, top.columnsX[i] + 30, 13)
                compare(group4.currentIndex, i)
            }
            compare(spy4.count, 4)
            compare(spy4.signalArguments[0][0], 3)
            compare(spy4.signalArguments[3][0], 0)
        }

        function test_gapBetweenButtonsTakesNoClick() {
            mouseClick(group4, 78, 13)
            compare(spy4.count, 0)
            compare(group4.currentIndex, 0)
        }
    }

    TestCase {
        name: "ButtonGroupPro_8"
        when: windowShown

        function init() {
            group8.closeMenu()
            tryCompare(findChild(group8, "valueMenu"), "visible", false, 1000)
            group8.maxStage = 8
            group8.currentIndex = 0
            group8.valueForIndex = [400, 800, 1600, 3200, 4800, 6400, 8000, 12000]
            group8.valueForMenuIndex = [100, 200, 300, 400, 500, 600, 700, 800, 900, 1000]
            group8.menuCounter = 18
            spy8.clear()
            spyValue.clear()
        }

        function menu() {
            return findChild(group8, "valueMenu")
        }
        function cellCenter(i) {
            return { x: top.columnsX[i % 4] + 25, y: (i < 4 ? 8 : 27) + 9 }
        }
        function arrowCenter(i) {
            return { x: top.columnsX[i % 4] + 74 - 7, y: (i < 4 ? 8 : 27) + 9 }
        }

        function test_labelsAndNonPositiveValues() {
            group8.valueForIndex = [400, 0, -5, 3200, 4800, 6400, 8000, 12000]
            compare(top.labelOf(this, group8, 0), "400")
            compare(top.labelOf(this, group8, 1), "×")
            compare(top.labelOf(this, group8, 2), "×")
            var c = cellCenter(1)
            mouseClick(group8, c.x, c.y)
            compare(group8.currentIndex, 0, "a button without a value cannot be chosen")
            compare(spy8.count, 0)
            c = cellCenter(7)
            mouseClick(group8, c.x, c.y)
            compare(group8.currentIndex, 7)
            compare(spy8.signalArguments[0][0], 7)
        }

        function test_maxStageFourShowsAndTakesOnlyFirstRow() {
            group8.maxStage = 4
            for (var i = 0; i < 8; ++i)
                compare(findChild(group8, "button" + i).visible, i < 4, "button " + i)
            for (i = 4; i < 8; ++i) {
                var c = cellCenter(i)
                mouseClick(group8, c.x, c.y)
                var a = arrowCenter(i)
                mouseClick(group8, a.x, a.y)
            }
            compare(spy8.count, 0)
            compare(group8.currentIndex, 0)
            verify(!group8.menuShown, "hidden buttons open no menu")
            for (i = 3; i >= 1; --i) {
                c = cellCenter(i)
                mouseClick(group8, c.x, c.y)
                compare(group8.currentIndex, i)
            }
            compare(spy8.count, 3)
        }

        function test_menuPicksValue() {
            group8.menuCounter = 7
            var a = arrowCenter(2)
            mouseClick(group8, a.x, a.y)
            verify(group8.menuShown)
            compare(group8.currentMenuIndex, 2)
            var m = menu()
            tryCompare(m, "opacity", 1, 1000)
            // Centred under the pointer, 5 pixels below the button.
            compare(m.x, a.x - m.width / 2)
            compare(m.y, 8 + 18 + 5)
            compare(m.width, 3 * 46 + 2 * 2)
            for (var i = 0; i < 10; ++i)
                compare(findChild(m, "menuCell" + i) !== null, i < 7, "cell " + i)
            var cell = findChild(m, "menuCell4")
            compare(cell.value, 500)
            mouseClick(cell, 23, 8)
            compare(group8.valueForIndex[2], 500)
            compare(group8.valueForIndex[1], 800, "other buttons keep their values")
            compare(spyValue.count, 1)
            compare(spyValue.signalArguments[0][0], 2)
            compare(spyValue.signalArguments[0][1], 500)
            verify(!group8.menuShown)
            tryCompare(m, "visible", false, 1000)
            compare(top.labelOf(this, group8, 2), "500")
            compare(spy8.count, 0, "picking a value does not select the button")
        }

        function test_sameArrowClosesOtherArrowMoves() {
            var a = arrowCenter(0)
            mouseClick(group8, a.x, a.y)
            verify(group8.menuShown)
            var b = arrowCenter(5)
            mouseClick(group8, b.x, b.y)
            verify(group8.menuShown)
            compare(group8.currentMenuIndex, 5)
            compare(menu().y, 27 + 18 + 5)
            mouseClick(group8, b.x, b.y)
            verify(!group8.menuShown)
            tryCompare(menu(), "visible", false, 1000)
            compare(spyValue.count, 0)
        }

        function test_menuHoldsAtMostEighteen() {
            var many = []
            for (var i = 1; i <= 25; ++i)
                many.push(i * 100)
            group8.valueForMenuIndex = many
            group8.menuCounter = 30
            var a = arrowCenter(0)
            mouseClick(group8, a.x, a.y)
            verify(findChild(menu(), "menuCell17") !== null)
            compare(findChild(menu(), "menuCell18"), null)
            var cell = findChild(menu(), "menuCell17")
            // Third column of the sixth row (the grid lays out on the next polish).
            tryCompare(cell, "x", 2 * 48, 1000)
            compare(cell.y, 5 * 18)
        }
    }

    TestCase {
        name: "SteeringWheel"
        when: windowShown

        function test_crossOfCells() {
            compare(wheel.currentIndex, 1)
            // centre, right, left, up, down; 21-pixel cells overlapping by one.
            var centres = [[30, 30], [50, 30], [10, 30], [30, 10], [30, 50]]
            var order = [3, 0, 4, 2, 1]
            for (var k = 0; k < order.length; ++k) {
                var i = order[k]
                mouseClick(wheel, centres[i][0], centres[i][1])
                compare(wheel.currentIndex, i)
                compare(spyWheel.signalArguments[k][0], i)
            }
            mouseClick(wheel, 5, 5)
            compare(spyWheel.count, 5, "the corners are not cells")
        }
    }
}
