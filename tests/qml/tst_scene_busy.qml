import QtQuick
import QtTest

// The busy lock of the scene root: what setProtectUI does to the view and
// how a second request during a running lock behaves.
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
        name: "BusyLock"
        when: windowShown
        property var scene: null

        function init() {
            ui_View.reset()
            var c = Qt.createComponent(Qt.resolvedUrl("../../modules/qml/main.qml"))
            verify(c.status === Component.Ready, c.errorString())
            scene = createTemporaryObject(c, top)
            verify(scene !== null)
            scene.visible = true
        }

        function enabledLog() {
            return ui_View.calls.filter(function (c) {
                return c[0] === "setEnabled"
            }).map(function (c) {
                return c[1]
            })
        }

        function busyText() {
            return findChild(scene, "busyIndicator")
        }

        function test_lock_then_release() {
            var busy = busyText()
            verify(busy !== null)
            verify(!busy.visible)
            scene.setProtectUI(100)
            verify(busy.visible)
            compare(enabledLog(), [false])
            tryCompare(busy, "visible", false, 2000)
            compare(enabledLog(), [false, true])
        }

        function test_zero_interval_unlocks_on_next_pass() {
            var busy = busyText()
            scene.setProtectUI(0)
            verify(busy.visible)
            tryCompare(busy, "visible", false, 1000)
            compare(enabledLog(), [false, true])
        }

        function test_same_interval_does_not_extend() {
            var busy = busyText()
            var t0 = Date.now()
            scene.setProtectUI(400)
            wait(250)
            scene.setProtectUI(400)
            tryCompare(busy, "visible", false, 2000)
            var elapsed = Date.now() - t0
            // Released by the first request's timer, not 400 ms after the second.
            verify(elapsed < 600, "lock lasted " + elapsed + " ms")
            compare(enabledLog()[enabledLog().length - 1], true)
        }

        function test_other_interval_restarts_from_zero() {
            var busy = busyText()
            var t0 = Date.now()
            scene.setProtectUI(400)
            wait(250)
            scene.setProtectUI(300)
            tryCompare(busy, "visible", false, 2000)
            var elapsed = Date.now() - t0
            // 250 ms already gone plus a fresh 300 ms.
            verify(elapsed >= 540, "lock lasted only " + elapsed + " ms")
            // Only one release for the two requests.
            compare(enabledLog().filter(function (e) {
                return e === true
            }).length, 1)
        }
    }
}
