import QtQuick
import QtTest
import "../../modules/qml/common"

// Image button, check box and radio button: states, signals and the click
// sound they ask the view for.
Item {
    id: top
    width: 400
    height: 300

    readonly property string red: "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAAMBAQDJ/pLvAAAAAElFTkSuQmCC"
    readonly property string blue: "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGNgYPgPAAEDAQAIicLsAAAAAElFTkSuQmCC"
    property url sourceCheckbox_0: blue
    property url sourceCheckbox_1: red
    property string globalSetting_fontFamily: "DejaVu Sans"

    // Records what the controls ask the view to play.
    QtObject {
        id: ui_View
        property var soundLog: []
        function playMedia_Index(i) {
            soundLog.push(i)
        }
    }

    property var events: []

    Button_2state {
        id: button
        x: 10
        y: 10
        width: 40
        height: 20
        source0: top.blue
        source1: top.red
        onClicked: top.events.push(["clicked", ui_View.soundLog.length])
    }
    Checkbox {
        id: check
        x: 10
        y: 60
        chkStr: "SCROLL SWAP"
        onClicked: function (isSelect) {
            top.events.push(["check", isSelect, ui_View.soundLog.length])
        }
    }
    RadioButton {
        id: radio
        x: 10
        y: 110
        index: 2
        chkStr: "ALWAYS REPEAT"
        onClicked: function (index) {
            top.events.push(["radio", index, ui_View.soundLog.length])
        }
    }

    function imageOf(item) {
        for (var k = 0; k < item.children.length; ++k)
            if (item.children[k].sourceSize !== undefined)
                return item.children[k]
        return null
    }

    TestCase {
        name: "Buttons"
        when: windowShown

        function init() {
            ui_View.soundLog = []
            top.events = []
            button.enabled = true
            check.isSelect = false
            radio.isSelect = false
        }

        function test_button2stateSoundThenClicked() {
            mouseClick(button, 20, 10)
            compare(ui_View.soundLog, [4])
            // The sound was requested before the click was reported.
            compare(top.events, [["clicked", 1]])
        }

        function test_button2stateHoverPressDisable() {
            var img = top.imageOf(button)
            mouseMove(top, 300, 250)
            compare(String(img.source), top.blue)
            mouseMove(button, 20, 10)
            compare(String(img.source), top.red)
            compare(button.opacity, 1)
            mousePress(button, 20, 10)
            compare(button.opacity, 0.2)
            mouseRelease(button, 20, 10)
            compare(button.opacity, 1)
            button.enabled = false
            compare(button.opacity, 0.2)
            compare(String(img.source), top.blue, "no hover image while disabled")
            mouseClick(button, 20, 10)
            compare(top.events.length, 1, "only the click while enabled counts")
            compare(ui_View.soundLog, [4])
            mouseMove(top, 300, 250)
        }

        function test_checkboxToggles() {
            var img = top.imageOf(check)
            compare(String(img.source), top.blue)
            mouseClick(check, 5, check.height / 2)
            verify(check.isSelect)
            compare(String(img.source), top.red)
            mouseClick(check, 5, check.height / 2)
            verify(!check.isSelect)
            compare(top.events, [["check", true, 1], ["check", false, 2]])
            compare(ui_View.soundLog, [4, 4])
        }

        function test_checkboxLabelFollowsBox() {
            tryCompare(top.imageOf(check), "status", Image.Ready, 1000)
            var label = null
            for (var k = 0; k < check.children.length; ++k)
                if (check.children[k].text === "SCROLL SWAP")
                    label = check.children[k]
            verify(label)
            compare(label.x, top.imageOf(check).width + 5)
            // Clicking the label toggles as well.
            mouseClick(label, 3, 3)
            verify(check.isSelect)
        }

        function test_checkboxDimmedWhilePressed() {
            mousePress(check, 5, check.height / 2)
            compare(check.opacity, 0.2)
            mouseRelease(check, 5, check.height / 2)
            compare(check.opacity, 1)
        }

        function test_radioReportsIndexOnly() {
            mouseClick(radio, 5, radio.height / 2)
            verify(!radio.isSelect, "the page decides the selection")
            compare(top.events, [["radio", 2, 1]])
            compare(ui_View.soundLog, [4])
            radio.isSelect = true
            compare(String(top.imageOf(radio).source), top.red)
            mouseClick(radio, 5, radio.height / 2)
            verify(radio.isSelect)
            compare(top.events.length, 2)
        }
    }
}
