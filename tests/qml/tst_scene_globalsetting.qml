import QtQuick
import QtTest

// The global settings page inside the real scene root: stored configuration
// in and out, text colour, languages, sound and reset. (The palette fields,
// text size, sound and language as the user sees them are checked in the
// real-window scenarios.)
Item {
    id: top
    width: 1000
    height: 600

    FakeView { id: ui_View }

    TestCase {
        name: "GlobalSetting"
        when: windowShown
        property var scene: null
        property var page: null

        function init() {
            ui_View.apConfig = []
            ui_View.skinShow = true
            ui_View.languages = {"ENGLISH": "031000", "CHINESE (Simp)": "025044", "CHINESE (Trad)": "025208"}
            ui_View.strings = {"025044": ["SimHei"].concat(Array.from({length: 115}, function (v, i) { return "zh" + (i + 1) }))}
            var c = Qt.createComponent(Qt.resolvedUrl("../../modules/qml/main.qml"))
            verify(c.status === Component.Ready, c.errorString())
            scene = createTemporaryObject(c, top)
            scene.visible = true
            page = findChild(scene, "pageGlobalsetting")
            ui_View.calls = []
        }
        function alpha(c) { return Math.round(c.a * 255) }
        function called(name) { return ui_View.calls.filter(function (c) { return c[0] === name }) }

        function test_storedConfigurationInAndOut() {
            // Skin 2, sound off, animations off, language row 0 (CHINESE (Simp) in name order), custom
            // background, larger text, palette k = (10k, 20k, 30k), selected 3, brightness 3, link.
            var cfg = [1, 2, 1, 1, 0, true, "file:/tmp/bg.png", 1]
            for (var k = 0; k < 7; ++k)
                cfg.push(10 * k, 20 * k, 30 * k)
            cfg.push(3, 3, "https://z3.example/")
            ui_View.apConfig = cfg.map(String)
            scene.initUI()
            compare([scene.skin_No, scene.animation_speed, scene.globalSetting_size, called("setEnableAudio")],
                    [2, 10, 12, [["setEnableAudio", false]]])
            compare([String(scene.sourceCheckbox_1), String(scene.sourceCustomBackground)],
                    ["file:modules/img/skin2/common/checkbox_1.png", "file:///tmp/bg.png"])
            compare([page.paletteIndex, page.inputR, page.inputG, page.inputB, alpha(page._Color)], [3, 30, 60, 90, 135])
            compare([scene.globalSetting_url, scene.globalSetting_stringList[113], scene.globalSetting_fontFamily],
                    ["https://z3.example/", "zh113", "SimHei"])
            compare(findChild(scene, "main_Z3")._ProductLayoutStringList[0], "025044-key0")
            // The panel is built when first opened and shows what was read.
            compare(findChild(scene, "skinList"), null)
            findChild(scene, "menuUp").isGlobalSettingSelect = true
            compare([findChild(scene, "skinList").currentText, findChild(scene, "soundList").currentText], ["zh40", "zh32"])
            // Out again, as read with what changed: brightness 5, palette entry 6.
            page.setBrightness(5)
            page.selectPalette(6)
            page.apply()
            compare([ui_View.saved, findChild(scene, "menuUp").isGlobalSettingSelect],
                    [cfg.slice(0, 29).concat([6, 5, "https://z3.example/"]), false])
        }

        function test_emptyOrDamagedConfigurationKeepsTheBuiltIns() {
            ui_View.skinShow = false
            scene.initUI()
            compare([called("getGlobalStrings"), called("chkLanguages"), called("getProductLayoutStrings_Z3")], [[], [], []])
            compare([scene.globalSetting_stringList[29], scene.animation_speed, scene.skin_No], ["LANGUAGE", 800, 1])
            page.build()
            verify(!findChild(scene, "skinRow").visible)
            ui_View.apConfig = ["1", "7", "x", "", "99", "maybe"]
            scene.initUI()
            compare([scene.skin_No, called("setEnableAudio")], [1, []])
            page.setLanguage(5) // an index outside the list reads no file
            compare([scene.globalSetting_stringList[1], scene.isCustomBackground, scene.globalSetting_size, alpha(page._Color),
                     called("getGlobalStrings")], ["OPTIONS", false, 11, 255, []])
        }

        function test_textColourBrightnessAndStrip() {
            findChild(scene, "menuUp").isGlobalSettingSelect = true
            tryCompare(findChild(scene, "settingPanelContent"), "x", 0, 5000)
            page.setBrightness(3)
            compare([alpha(page._Color), alpha(scene.globalSetting_color)], [135, 135])
            mouseClick(findChild(scene, "brightnessSlider"), 0, 5) // its left edge is step 0
            compare([page.brightnessStep, alpha(page._Color)], [0, 45])
            page.selectPalette(2)
            mouseClick(findChild(scene, "colorStrip"), 10, 0) // its top is black
            compare([page.inputR, page.inputG, page.inputB, page.paletteRGB.slice(6, 9), page._Color.r], [0, 0, 0, [0, 0, 0], 0])
        }

        function test_backgroundAndReset() {
            page.toggleBackground() // no file chosen: stays off
            ui_View.customPath = "/home/u/pic.png"
            page.toggleBackground()
            compare([scene.isCustomBackground, String(scene.sourceCustomBackground)], [true, "file:///home/u/pic.png"])
            page.toggleBackground()
            compare([scene.isCustomBackground, String(scene.sourceCustomBackground)], [false, ""])
            page.resetApconfig()
            // Reset: sounds off, the file reset and read back, then the chime.
            compare(ui_View.calls.map(function (c) { return c.join(" ") }),
                    ["setEnableAudio false", "clearAllMedia", "resetApconfig", "loadApConfig", "playMedia_Index 0"])
        }
    }
}
