import QtQuick
import QtTest

// The global settings page inside the real scene root: stored configuration
// in and out, text colour, languages, sound and reset.
Item {
    id: top
    width: 1000
    height: 600

    FakeView {
        id: ui_View
    }

    TestCase {
        name: "GlobalSetting"
        when: windowShown
        property var scene: null
        property var page: null

        function init() {
            ui_View.calls = []
            ui_View.apConfig = []
            ui_View.saved = null
            ui_View.skinShow = true
            ui_View.languages = {"ENGLISH": "031000", "CHINESE (Simp)": "025044", "CHINESE (Trad)": "025208"}
            ui_View.strings = {"025044": ["SimHei"].concat(Array.from({length: 115}, function (v, i) { return "zh" + (i + 1) }))}
            var c = Qt.createComponent(Qt.resolvedUrl("../../modules/qml/main.qml"))
            verify(c.status === Component.Ready, c.errorString())
            scene = createTemporaryObject(c, top)
            scene.visible = true
            page = findChild(scene, "pageGlobalsetting")
        }
        // Skin 2, sound off, animations off, language row 0 (CHINESE (Simp) in
        // name order), custom background, larger text, palette k = (10k, 20k,
        // 30k), selected 3, brightness 3, link.
        function storedConfig() {
            var cfg = ["1", "2", "1", "1", "0", "true", "file:/tmp/bg.png", "1"]
            for (var k = 0; k < 7; ++k)
                cfg.push(String(10 * k), String(20 * k), String(30 * k))
            return cfg.concat(["3", "3", "https://z3.example/"])
        }
        // Slides the settings panel in so its controls take real clicks.
        function openPanel() {
            findChild(scene, "menuUp").isGlobalSettingSelect = true
            tryCompare(findChild(scene, "settingPanelContent"), "x", 0, 5000)
        }
        function alpha(c) {
            return Math.round(c.a * 255)
        }
        function called(name) {
            return ui_View.calls.filter(function (c) { return c[0] === name })
        }

        function test_storedConfigurationInAndOut() {
            ui_View.apConfig = storedConfig()
            scene.initUI()
            compare([scene.skin_No, scene.animation_speed, scene.globalSetting_size, scene.isCustomBackground], [2, 10, 12, true])
            compare(String(scene.sourceCheckbox_1), "file:modules/img/skin2/common/checkbox_1.png")
            compare(called("setEnableAudio"), [["setEnableAudio", false]])
            compare(String(scene.sourceCustomBackground), "file:///tmp/bg.png")
            compare([page.paletteIndex, page.inputR, page.inputG, page.inputB], [3, 30, 60, 90])
            compare([alpha(page._Color), Math.round(page._Color.g * 255)], [135, 60])
            compare(scene.globalSetting_url, "https://z3.example/")
            compare(called("getGlobalStrings"), [["getGlobalStrings", "025044"]])
            compare([scene.globalSetting_stringList[113], scene.globalSetting_fontFamily], ["zh113", "SimHei"])
            compare(findChild(scene, "main_Z3")._ProductLayoutStringList[0], "025044-key0")
            compare(findChild(scene, "fnItem").labels[0], "zh74")
            compare(findChild(scene, "pfItem").menuLabels, ["zh84", "zh85", "zh77", "zh78"])
            compare([findChild(scene, "skinList").currentText, findChild(scene, "soundList").currentText], ["zh40", "zh32"])
            // Out again: the 32-entry list with what changed.
            findChild(scene, "menuUp").isGlobalSettingSelect = true
            page.setBrightness(5)
            page.selectPalette(6)
            page.apply()
            var want = [1, 2, 1, 1, 0, true, "file:/tmp/bg.png", 1]
            for (var k = 0; k < 7; ++k)
                want.push(10 * k, 20 * k, 30 * k)
            compare(ui_View.saved, want.concat([6, 5, "https://z3.example/"]))
            verify(!findChild(scene, "menuUp").isGlobalSettingSelect)
        }

        function test_emptyOrDamagedConfigurationKeepsTheBuiltIns() {
            ui_View.skinShow = false
            scene.initUI()
            compare([called("getGlobalStrings"), called("chkLanguages"), called("getProductLayoutStrings_Z3")], [[], [], []])
            compare([scene.globalSetting_stringList[29], scene.animation_speed, scene.skin_No], ["LANGUAGE", 800, 1])
            openPanel()
            verify(findChild(scene, "languageList").visible && !findChild(scene, "skinRow").visible)
            ui_View.apConfig = ["1", "7", "x", "", "99", "maybe"]
            scene.initUI()
            compare([scene.skin_No, called("setEnableAudio"), called("getGlobalStrings")], [1, [], []])
            compare([scene.globalSetting_stringList[1], scene.isCustomBackground, scene.globalSetting_size], ["OPTIONS", false, 11])
            compare(alpha(page._Color), 255)
            page.setLanguage(5)
            compare(called("getGlobalStrings"), [], "an index outside the list reads no file")
        }

        function test_textColour() {
            openPanel()
            // Brightness step -> alpha, through the slider too (its left edge is step 0).
            for (var s of [[3, 135], [7, 255]]) {
                page.setBrightness(s[0])
                compare([alpha(page._Color), alpha(scene.globalSetting_color)], [s[1], s[1]])
            }
            mouseClick(findChild(scene, "brightnessSlider"), 0, 5)
            compare([page.brightnessStep, alpha(page._Color)], [0, 45])
            // The strip, halfway between red and yellow, and a press at its top (black).
            compare(page.stripColor(189 * 0.1875, 190), [255, 128, 0])
            page.selectPalette(2)
            mousePress(findChild(scene, "colorStrip"), 10, 0)
            mouseRelease(findChild(scene, "colorStrip"), 10, 0)
            compare([page.inputR, page.inputG, page.inputB, page.paletteRGB.slice(6, 9)], [0, 0, 0, [0, 0, 0]])
            compare([page._Color.r, page._Color.g, page._Color.b], [0, 0, 0])
            // A field takes its value when it loses focus; 300 cannot be typed.
            page.selectPalette(0)
            var inG = findChild(scene, "inputG")
            inG.forceActiveFocus()
            inG.selectAll()
            keyClick(Qt.Key_9)
            keyClick(Qt.Key_9)
            compare(page.inputG, 255, "nothing taken while typing")
            scene.emptyAreaPressed()
            compare([page.inputG, page.paletteRGB.slice(0, 3)], [99, [0, 99, 255]])
            inG.forceActiveFocus()
            inG.selectAll()
            for (var key of [Qt.Key_3, Qt.Key_0, Qt.Key_0])
                keyClick(key)
            verify(inG.text !== "300", "accepted " + inG.text)
        }

        function test_soundBackgroundAndReset() {
            ui_View.calls = []
            page.chooseSound(1)
            page.chooseSound(0)
            compare(ui_View.calls, [["setEnableAudio", false], ["clearAllMedia"], ["setEnableAudio", true],
                                    ["playMedia_Index", 0]])
            openPanel()
            page.toggleBackground() // no file chosen: stays off
            verify(!scene.isCustomBackground)
            ui_View.customPath = "/home/u/pic.png"
            mouseClick(findChild(scene, "backgroundToggle"))
            compare([scene.isCustomBackground, String(scene.sourceCustomBackground)], [true, "file:///home/u/pic.png"])
            mouseClick(findChild(scene, "backgroundToggle"))
            compare([scene.isCustomBackground, String(scene.sourceCustomBackground)], [false, ""])
            // Reset: sounds off, the file reset, then read back, then the chime.
            ui_View.calls = []
            page.resetApconfig()
            var names = ui_View.calls.map(function (c) { return c[0] })
            compare(names.slice(0, 4), ["setEnableAudio", "clearAllMedia", "resetApconfig", "loadApConfig"])
            compare(ui_View.calls.pop(), ["playMedia_Index", 0])
        }
    }
}
