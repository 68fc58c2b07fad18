import QtQuick
import QtTest

// The scene root and the mouse screen: page switching with its interruption
// rules, the settings panel, the profile menu and the busy lock.
Item {
    id: top
    width: 1000
    height: 600

    FakeView { id: ui_View }

    TestCase {
        name: "SceneMain"
        when: windowShown
        property var scene: null

        // The scene, started with animations off (stored setting) and run to its end: the
        // opening ends with the page container's slide, which starts after the menus are in.
        function init() {
            ui_View.apConfig = ["1", "1", "0", "1", "-1", "false", "", "0"].concat(Array(21).fill("0"), ["0", "7", ""])
            var c = Qt.createComponent(Qt.resolvedUrl("../../modules/qml/main.qml"))
            verify(c.status === Component.Ready, c.errorString())
            scene = createTemporaryObject(c, top)
            scene.initUI()
            var slides = createTemporaryQmlObject("import QtTest; SignalSpy { signalName: 'isShowingChanged' }", this)
            slides.target = child("pageContainer")
            scene.run()
            tryCompare(slides, "count", 2, 10000)
            ui_View.calls = []
        }
        function child(name) { return findChild(scene, name) }
        function called(name) { return ui_View.calls.filter(function (c) { return c[0] === name }) }
        function enabledLog() { return called("setEnabled").map(function (c) { return c[1] }) }

        function test_functionMenuTogglesPagesAndTheProfileMenu() {
            var pc = child("pageContainer"), pf = child("pfItem")
            mouseClick(child("fnButton1"))
            compare([child("fnItem").currentIndex, pc.curID, pf.enabled], [1, 1, false], "no profiles on the macro page")
            mouseClick(child("fnButton3"))
            tryVerify(function () { return pc.curID === 3 && pf.enabled && !pc.isShowing }, 10000)
            // The shown page's button again hides it and leaves no page.
            mouseClick(child("fnButton3"))
            tryVerify(function () { return child("fnItem").currentIndex === -1 && pc.curID === -1 && !pc.isHiding }, 10000)
        }

        function test_clickDuringASlideShowsTheNewestChoice() {
            var pc = child("pageContainer")
            scene.animation_speed = 800
            pc.show(0)
            pc.showAnimComplete()
            pc.show(3) // hides page 0 first
            compare([pc.isHiding, pc.curID], [true, 0])
            pc.show(2) // during the hide: finish it, then show the newest
            compare([pc.isHiding, pc.curID, pc.isShowing], [false, 2, true])
            pc.show(1) // during the show: switch and finish at once
            compare([pc.isShowing, pc.curID, child("pageContent").x], [false, 1, 0])
        }

        function test_settingsPanelDimsTheRest() {
            child("settingButton").forceActiveFocus() // the keyboard's way: the icon's size comes from the skin
            keyClick(Qt.Key_Space)
            compare(called("playMedia_Index"), [["playMedia_Index", 2]])
            tryCompare(child("settingPanelContent"), "x", 0, 10000)
            compare(["menuUp", "menuDown", "fnItem", "pfItem", "pageContainer"].map(function (n) {
                return child(n).enabled + " " + child(n).opacity }), ["true 1", "false 0.2", "false 0.2", "false 0.2", "false 0.2"])
            keyClick(Qt.Key_Space)
            tryCompare(child("settingPanel"), "visible", false, 10000)
            compare([child("fnItem").enabled, child("menuDown").opacity], [true, 1])
        }

        function test_profileClicksAndMenu() {
            mouseClick(child("profileButton2"))
            mouseClick(child("profileButton2")) // the current slot again: nothing
            compare(called("ui_02H_SetCurrentProfile"), [["ui_02H_SetCurrentProfile", 2]])
            // [slot, entry (0 LOAD, 1 SAVE, 2 RESET, 3 CANCEL), calls]: LOAD and
            // RESET of the current slot reload it.
            var rows = [[4, 1, [["saveProfile", 4]]], [4, 2, [["resetProfile", 4]]], [4, 0, [["loadProfile", 4]]],
                        [2, 2, [["resetProfile", 2], ["ui_02H_SetCurrentProfile", 2]]],
                        [2, 0, [["loadProfile", 2], ["ui_02H_SetCurrentProfile", 2]]], [7, 3, []]]
            for (var r of rows) {
                mouseClick(child("profileButton" + r[0]), 10, 10, Qt.RightButton)
                ui_View.calls = []
                mouseClick(child("profileMenuEntry" + r[1]))
                compare(ui_View.calls.filter(function (c) { return /Profile/.test(c[0]) }), r[2], JSON.stringify(r))
                tryCompare(child("profileMenu"), "visible", false, 10000)
            }
        }

        // A second request with the same interval does not extend the lock; another
        // interval starts it again from zero. The bounds leave room for a loaded machine.
        function test_busyLock() {
            mouseClick(child("totalApplyButton"))
            compare([child("busyIndicator").visible, enabledLog()[0]], [true, false], "ALL SAVE locks the view")
            scene.setProtectUI(0) // another interval: from zero, released on the next pass
            tryCompare(child("busyIndicator"), "visible", false, 10000)
            scene.setProtectUI(1000)
            wait(500)
            var t = Date.now()
            scene.setProtectUI(1000)
            tryCompare(child("busyIndicator"), "visible", false, 10000)
            verify(Date.now() - t < 1000, "released " + (Date.now() - t) + " ms after the second request")
            t = Date.now()
            scene.setProtectUI(800)
            wait(200)
            scene.setProtectUI(1200)
            tryCompare(child("busyIndicator"), "visible", false, 10000)
            verify(Date.now() - t >= 1390, "released after only " + (Date.now() - t) + " ms")
            compare(enabledLog().filter(function (e) { return e }).length, 3, "one release per lock")
        }
    }
}
