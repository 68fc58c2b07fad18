import QtQuick
import QtTest

// The scene root and the mouse screen: opening and closing, page switching
// with its interruption rules, the settings panel, the profile menu, drag.
Item {
    id: top
    width: 1000
    height: 600

    FakeView {
        id: ui_View
    }
    FakeCtl {
        id: ui_Ctl
    }

    TestCase {
        id: tc
        name: "SceneMain"
        when: windowShown
        property var scene: null

        function init() {
            ui_View.reset()
            ui_View.apConfig = []
            ui_Ctl.minimized = 0
            ui_Ctl.moves = []
            var c = Qt.createComponent(Qt.resolvedUrl("../../modules/qml/main.qml"))
            verify(c.status === Component.Ready, c.errorString())
            scene = createTemporaryObject(c, top)
            verify(scene !== null)
        }

        function child(name) {
            var o = findChild(scene, name)
            verify(o !== null, name + " not found")
            return o
        }

        // Runs the start-up sequence with animations off and waits for its end.
        function startFast() {
            var cfg = ["1", "1", "0", "1", "-1", "false", "", "0"]
            for (var k = 0; k < 21; ++k)
                cfg.push("0")
            cfg.push("0", "7", "http://example.com/")
            ui_View.apConfig = cfg
            scene.initUI()
            compare(scene.animation_speed, 10)
            scene.run()
            tryCompare(child("menuUp"), "y", 0, 3000)
            tryCompare(child("fnItem"), "x", 8, 3000)
            tryCompare(child("pfItem"), "x", 1000 - child("pfItem").width - 10, 3000)
        }

        function test_opening_sequence_puts_menus_in_place() {
            startFast()
            verify(scene.visible)
            compare(ui_View.calls.filter(function (c) {
                return c[0] === "playMedia_Index"
            })[0][1], 1)
            compare(child("menuDown").y, 600 - child("menuDown").height)
            compare(child("logo").y, 4)
            compare(child("logo").opacity, 1)
            compare(child("environment").opacity, 1)
            compare(child("decoration").opacity, 1)
            verify(child("fnItem").visible && child("pfItem").visible && child("pageContainer").visible)
            // No page at start.
            compare(child("pageContainer").curID, -1)
        }

        function test_before_run_the_scene_is_hidden() {
            verify(!scene.visible)
            compare(child("menuUp").y, -600)
            compare(child("menuDown").y, 600)
            compare(child("logo").y, 270)
        }

        function test_function_menu_toggles_the_page() {
            startFast()
            var fn = child("fnItem")
            var pc = child("pageContainer")
            mouseClick(findChild(scene, "fnButton2"))
            compare(fn.currentIndex, 2)
            compare(pc.curID, 2)
            tryCompare(pc, "isShowing", false, 2000)
            // Clicking the shown page's button hides it and leaves no page.
            mouseClick(findChild(scene, "fnButton2"))
            compare(fn.currentIndex, -1)
            tryCompare(pc, "isHiding", false, 2000)
            compare(pc.curID, -1)
            verify(ui_View.count("playMedia_Index") >= 3)
        }

        function test_click_during_hide_shows_newest_choice() {
            scene.initUI()
            scene.run()
            var pc = child("pageContainer")
            pc.visible = true
            pc.show(0)
            pc.showAnimComplete()
            compare(pc.curID, 0)
            pc.show(3) // hides page 0 first
            verify(pc.isHiding)
            compare(pc.curID, 0)
            pc.show(2) // during the hide: finish it, then show the newest
            verify(!pc.isHiding)
            compare(pc.curID, 2)
            verify(pc.isShowing)
            pc.show(1) // during the show: switch and finish at once
            verify(!pc.isShowing)
            compare(pc.curID, 1)
            compare(child("pageContent").x, 0)
        }

        function test_profile_menu_disabled_on_macro_page() {
            startFast()
            var pf = child("pfItem")
            verify(pf.enabled)
            mouseClick(findChild(scene, "fnButton1"))
            compare(child("pageContainer").curID, 1)
            verify(!pf.enabled)
            compare(pf.opacity, 0.2)
            mouseClick(findChild(scene, "fnButton3"))
            tryCompare(child("pageContainer"), "curID", 3, 2000)
            verify(pf.enabled)
        }

        function test_settings_panel_dims_the_rest() {
            startFast()
            var up = child("menuUp")
            var panel = child("settingPanel")
            verify(!panel.visible)
            mouseClick(child("settingButton"))
            verify(up.isGlobalSettingSelect)
            compare(ui_View.last("playMedia_Index")[1], 2)
            tryCompare(child("settingPanelContent"), "x", 0, 2000)
            verify(panel.visible)
            for (var n of ["menuDown", "fnItem", "pfItem", "pageContainer"]) {
                verify(!child(n).enabled, n + " should be disabled")
                compare(child(n).opacity, 0.2)
            }
            verify(up.enabled)
            mouseClick(child("settingButton"))
            tryCompare(panel, "visible", false, 2000)
            verify(child("fnItem").enabled)
            compare(child("menuDown").opacity, 1.0)
        }

        function test_settings_panel_interrupted_slide() {
            // Slow animations: interrupt a slide in each direction.
            var up = child("menuUp")
            var content = child("settingPanelContent")
            var w = content.width
            scene.visible = true
            up.isGlobalSettingSelect = true
            verify(content.x > 0) // just started sliding in
            // Close during the show: the show ends at once, then the close runs.
            up.isGlobalSettingSelect = false
            compare(content.x, 0)
            verify(child("settingPanel").visible)
            tryVerify(function () {
                return content.x > 0
            }, 2000)
            verify(content.x < w)
            // Show during the close: the close ends at once, then the show runs.
            up.isGlobalSettingSelect = true
            compare(content.x, w)
            tryCompare(content, "x", 0, 3000)
            verify(child("settingPanel").visible)
        }

        function test_profile_left_click_switches_and_reloads() {
            startFast()
            var pf = child("pfItem")
            mouseClick(findChild(scene, "profileButton2"))
            compare(pf.currentIndex, 2)
            compare(ui_View.last("ui_02H_SetCurrentProfile"), ["ui_02H_SetCurrentProfile", 2])
            ui_View.reset()
            mouseClick(findChild(scene, "profileButton2"))
            compare(ui_View.count("ui_02H_SetCurrentProfile"), 0)
        }

        function test_profile_context_menu() {
            startFast()
            var pf = child("pfItem")
            var menu = findChild(scene, "profileMenu")
            mouseClick(findChild(scene, "profileButton4"), 10, 10, Qt.RightButton)
            verify(menu.visible)
            compare(pf.menuSlot, 4)
            mouseClick(findChild(scene, "profileMenuEntry1")) // SAVE
            compare(ui_View.last("saveProfile"), ["saveProfile", 4])
            tryCompare(menu, "visible", false, 2000)
            // RESET of another slot than the current one: no reload.
            mouseClick(findChild(scene, "profileButton4"), 10, 10, Qt.RightButton)
            mouseClick(findChild(scene, "profileMenuEntry2"))
            compare(ui_View.last("resetProfile"), ["resetProfile", 4])
            compare(ui_View.count("ui_02H_SetCurrentProfile"), 0)
            tryCompare(menu, "visible", false, 2000)
            // LOAD of the current slot reloads it.
            mouseClick(findChild(scene, "profileButton0"), 10, 10, Qt.RightButton)
            mouseClick(findChild(scene, "profileMenuEntry0"))
            compare(ui_View.last("loadProfile"), ["loadProfile", 0])
            compare(ui_View.last("ui_02H_SetCurrentProfile"), ["ui_02H_SetCurrentProfile", 0])
            tryCompare(menu, "visible", false, 2000)
            // CANCEL only closes.
            ui_View.reset()
            mouseClick(findChild(scene, "profileButton7"), 10, 10, Qt.RightButton)
            mouseClick(findChild(scene, "profileMenuEntry3"))
            tryCompare(menu, "visible", false, 2000)
            compare(ui_View.calls.filter(function (c) {
                return c[0] !== "playMedia_Index"
            }).length, 0)
        }

        function test_drag_reports_deltas_from_the_press_point() {
            scene.visible = true
            mousePress(scene, 500, 300)
            mouseMove(scene, 510, 295)
            mouseRelease(scene, 510, 295)
            compare(ui_Ctl.moves[0], ["x", 10])
            compare(ui_Ctl.moves[1], ["y", -5])
        }

        function test_close_button_ends_after_animation() {
            startFast()
            mouseClick(findChild(scene, "closeButton"))
            tryCompare(ui_Ctl, "minimized", 1, 2000)
            compare(scene.height, 0)
        }

        function test_key_events_reach_the_mouse_screen() {
            var main = child("main_Z3")
            var seen = []
            main.msg_KB.connect(function (d, c) {
                seen.push([d, c])
            })
            scene.detectKeyboard(true, 0x04)
            scene.detectKeyboard(false, 0x05)
            compare(main.lastPressKeyCode, 0x04)
            compare(seen, [[true, 4], [false, 5]])
        }

        function test_bottom_menu_locks_and_signals() {
            startFast()
            var down = child("menuDown")
            var spyApply = createTemporaryQmlObject("import QtTest; SignalSpy { signalName: 'btnTotalApplyClicked' }", tc)
            spyApply.target = down
            var spyReset = createTemporaryQmlObject("import QtTest; SignalSpy { signalName: 'btnTotalResetClicked' }", tc)
            spyReset.target = down
            ui_View.reset()
            mouseClick(child("totalApplyButton"))
            compare(spyApply.count, 1)
            compare(spyReset.count, 0)
            verify(child("busyIndicator").visible)
            compare(ui_View.last("setEnabled"), ["setEnabled", false])
            compare(ui_View.last("playMedia_Index"), ["playMedia_Index", 4])
            tryCompare(child("busyIndicator"), "visible", false, 3000)
            mouseClick(child("totalResetButton"))
            compare(spyReset.count, 1)
        }

        function test_logo_click_plays_link_sound() {
            startFast()
            // No address: nothing is handed to the desktop during the test.
            child("pageGlobalsetting")._Url = ""
            ui_View.reset()
            var logo = child("logo")
            compare(String(logo.source), "file:modules/img/skin1/frame/web_0.png")
            mouseMove(logo, 20, 20)
            compare(String(logo.source), "file:modules/img/skin1/frame/web_1.png")
            mouseClick(logo, 20, 20)
            compare(ui_View.last("playMedia_Index"), ["playMedia_Index", 3])
        }

        function test_skin_change_moves_every_image() {
            compare(String(scene.sourceBackground), "file:modules/img/skin1/background.png")
            child("pageGlobalsetting").chooseSkin(1)
            compare(scene.skin_No, 2)
            compare(String(scene.sourceCheckbox_1), "file:modules/img/skin2/common/checkbox_1.png")
            compare(String(scene.sourceModel_Z3_KeyDefine), "file:modules/img/skin2/model_ms/model_Z3_KeyDefine.png")
        }
    }
}
