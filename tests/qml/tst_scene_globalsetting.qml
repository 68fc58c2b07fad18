import QtQuick
import QtTest

// The global settings page inside the real scene root: stored configuration
// in and out, text colour arithmetic, languages, sound and reset.
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
        name: "GlobalSetting"
        when: windowShown
        property var scene: null
        property var page: null

        function init() {
            ui_View.reset()
            ui_View.apConfig = []
            ui_View.saved = null
            ui_View.languages = {
                "ENGLISH": "031000",
                "CHINESE (Simp)": "025044",
                "CHINESE (Trad)": "025208"
            }
            var zh = ["SimHei"]
            for (var i = 1; i <= 115; ++i)
                zh.push("zh" + i)
            ui_View.strings = {
                "025044": zh
            }
            ui_View.skinShow = true
            var c = Qt.createComponent(Qt.resolvedUrl("../../modules/qml/main.qml"))
            verify(c.status === Component.Ready, c.errorString())
            scene = createTemporaryObject(c, top)
            scene.visible = true
            page = findChild(scene, "pageGlobalsetting")
            verify(page !== null)
        }

        function storedConfig() {
            // skin 2, sound off, animations off, language row 0 (CHINESE (Simp)),
            // custom background, larger text, palette k = (10k, 20k, 30k),
            // selected 3, brightness 3, link.
            var cfg = ["1", "2", "1", "1", "0", "true", "file:/tmp/bg.png", "1"]
            for (var k = 0; k < 7; ++k)
                cfg.push(String(10 * k), String(20 * k), String(30 * k))
            cfg.push("3", "3", "https://z3.example/")
            return cfg
        }

        // Slides the settings panel in so its controls take real clicks.
        function openPanel() {
            findChild(scene, "menuUp").isGlobalSettingSelect = true
            tryCompare(findChild(scene, "settingPanelContent"), "x", 0, 3000)
        }

        function alpha(c) {
            return Math.round(c.a * 255)
        }

        function test_builtin_english_strings() {
            var list = page._StringList
            compare(list.length, 116)
            compare(list[0], "Arial")
            compare(list[1], "OPTIONS")
            compare(list[74], "KEY")
            compare(list[86], "SENSOR")
            compare(list[113], "ALL RESET")
            compare(list[114], "ALL SAVE")
            compare(list[115], "OFF")
            compare(scene.globalSetting_stringList.length, 116)
        }

        function test_brightness_sets_alpha() {
            var expected = {
                "0": 45,
                "3": 135,
                "7": 255
            }
            for (var s in expected) {
                page.setBrightness(parseInt(s))
                compare(alpha(page._Color), expected[s], "step " + s)
                compare(alpha(scene.globalSetting_color), expected[s])
            }
            // Through the slider itself: a release at its left edge is step 0.
            openPanel()
            var slider = findChild(scene, "brightnessSlider")
            mouseClick(slider, 0, 5)
            compare(page.brightnessStep, 0)
            compare(alpha(page._Color), 45)
        }

        function test_colour_strip_picks() {
            openPanel()
            var len = 190
            compare(page.stripColor(0, len), [0, 0, 0])
            compare(page.stripColor((len - 1) / 2, len), [0, 255, 255])
            compare(page.stripColor((len - 1) * 0.125, len), [255, 0, 0])
            compare(page.stripColor((len - 1) * 0.875, len), [255, 255, 255])
            compare(page.stripColor(len - 1, len), [0, 0, 0])
            // Halfway between red and yellow.
            compare(page.stripColor((len - 1) * 0.1875, len), [255, 128, 0])
            // A press at the top of the real strip: inputs, entry and colour black.
            var strip = findChild(scene, "colorStrip")
            page.selectPalette(2)
            mousePress(strip, 10, 0)
            mouseRelease(strip, 10, 0)
            compare([page.inputR, page.inputG, page.inputB], [0, 0, 0])
            compare(page.paletteRGB.slice(6, 9), [0, 0, 0])
            compare([page._Color.r, page._Color.g, page._Color.b], [0, 0, 0])
        }

        function test_setRGB_sources() {
            page.selectPalette(1)
            var before = page.paletteRGB.slice(3, 6)
            page.setRGB(3, 1, 2, 3) // palette: inputs and colour, entry untouched
            compare([page.inputR, page.inputG, page.inputB], [1, 2, 3])
            compare(page.paletteRGB.slice(3, 6), before)
            page.setRGB(2, 4, 5, 6) // inputs: entry and colour, inputs untouched
            compare([page.inputR, page.inputG, page.inputB], [1, 2, 3])
            compare(page.paletteRGB.slice(3, 6), [4, 5, 6])
            var color = page._Color
            page.setRGB(0, 7, 8, 9) // other: inputs and entry, colour untouched
            compare(page.paletteRGB.slice(3, 6), [7, 8, 9])
            compare([page.inputR, page.inputG, page.inputB], [7, 8, 9])
            verify(Qt.colorEqual(page._Color, color))
        }

        function test_rgb_inputs_take_value_on_focus_loss() {
            openPanel()
            page.selectPalette(0)
            var inG = findChild(scene, "inputG")
            inG.forceActiveFocus()
            inG.selectAll()
            keyClick(Qt.Key_9)
            keyClick(Qt.Key_9)
            // Nothing taken while typing.
            compare(page.inputG, 255)
            scene.emptyAreaPressed()
            compare(page.inputG, 99)
            compare(page.paletteRGB.slice(0, 3), [0, 99, 255])
            // Numbers above 255 cannot be typed.
            inG.forceActiveFocus()
            inG.selectAll()
            keyClick(Qt.Key_3)
            keyClick(Qt.Key_0)
            keyClick(Qt.Key_0)
            verify(inG.text !== "300", "accepted " + inG.text)
        }

        function test_apply_writes_the_32_entry_list() {
            ui_View.apConfig = storedConfig()
            scene.initUI()
            findChild(scene, "menuUp").isGlobalSettingSelect = true
            page.setBrightness(5)
            page.selectPalette(6)
            page.apply()
            var l = ui_View.saved
            verify(l !== null)
            compare(l.length, 32)
            compare(l[0], 1)
            compare(l[1], 2)
            compare(l[2], 1)
            compare(l[3], 1)
            compare(l[4], 0)
            compare(l[5], true)
            compare(l[6], "file:/tmp/bg.png")
            compare(l[7], 1)
            for (var k = 0; k < 7; ++k)
                compare(l.slice(8 + 3 * k, 11 + 3 * k), [10 * k, 20 * k, 30 * k], "colour " + k)
            compare(l[29], 6)
            compare(l[30], 5)
            compare(l[31], "https://z3.example/")
            verify(!findChild(scene, "menuUp").isGlobalSettingSelect)
        }

        function test_initUI_restores_everything() {
            ui_View.apConfig = storedConfig()
            scene.initUI()
            compare(scene.skin_No, 2)
            compare(ui_View.last("setEnableAudio"), ["setEnableAudio", false])
            compare(scene.animation_speed, 10)
            compare(scene.globalSetting_size, 12)
            verify(scene.isCustomBackground)
            compare(page.customBackgroundUrl, "file:/tmp/bg.png")
            compare(String(scene.sourceCustomBackground), "file:///tmp/bg.png")
            compare(page.paletteIndex, 3)
            compare([page.inputR, page.inputG, page.inputB], [30, 60, 90])
            compare(alpha(page._Color), 135)
            compare(Math.round(page._Color.g * 255), 60)
            compare(scene.globalSetting_url, "https://z3.example/")
            // Language row 0 in display-name order is CHINESE (Simp).
            compare(ui_View.last("getGlobalStrings"), ["getGlobalStrings", "025044"])
            compare(scene.globalSetting_stringList[113], "zh113")
            compare(scene.globalSetting_fontFamily, "SimHei")
            compare(findChild(scene, "main_Z3")._ProductLayoutStringList[0], "025044-key0")
            openPanel()
            verify(findChild(scene, "skinRow").visible)
        }

        function test_empty_configuration_keeps_builtin_english() {
            ui_View.skinShow = false
            scene.initUI()
            compare(ui_View.count("getGlobalStrings"), 0)
            compare(ui_View.count("chkLanguages"), 0)
            compare(ui_View.count("getProductLayoutStrings_Z3"), 0)
            compare(scene.globalSetting_stringList[29], "LANGUAGE")
            compare(scene.animation_speed, 800)
            compare(scene.skin_No, 1)
            openPanel()
            verify(findChild(scene, "languageList").visible)
            verify(!findChild(scene, "skinRow").visible)
        }

        function test_damaged_configuration_falls_back() {
            ui_View.apConfig = ["1", "7", "x", "", "99", "maybe"]
            scene.initUI()
            compare(scene.skin_No, 1)
            compare(ui_View.count("setEnableAudio"), 0)
            compare(ui_View.count("getGlobalStrings"), 0)
            compare(scene.globalSetting_stringList[1], "OPTIONS")
            verify(!scene.isCustomBackground)
            compare(scene.globalSetting_size, 11)
            compare(alpha(page._Color), 255)
        }

        function test_sound_choices() {
            page.chooseSound(1)
            compare(ui_View.last("setEnableAudio"), ["setEnableAudio", false])
            verify(ui_View.count("clearAllMedia") === 1)
            page.chooseSound(0)
            compare(ui_View.last("setEnableAudio"), ["setEnableAudio", true])
            compare(ui_View.last("playMedia_Index"), ["playMedia_Index", 0])
        }

        function test_reset_order() {
            ui_View.apConfig = storedConfig()
            page.resetApconfig()
            var names = ui_View.calls.map(function (c) {
                return c[0]
            })
            var iClear = names.indexOf("clearAllMedia")
            var iReset = names.indexOf("resetApconfig")
            var iLoad = names.indexOf("loadApConfig")
            verify(iClear >= 0 && iClear < iReset && iReset < iLoad)
            compare(ui_View.calls[ui_View.calls.length - 1], ["playMedia_Index", 0])
        }

        function test_custom_background_toggle() {
            openPanel()
            ui_View.customPath = ""
            page.toggleBackground()
            verify(!scene.isCustomBackground)
            ui_View.customPath = "/home/u/pic.png"
            mouseClick(findChild(scene, "backgroundToggle"))
            verify(scene.isCustomBackground)
            compare(page.customBackgroundUrl, "file:/home/u/pic.png")
            compare(String(scene.sourceCustomBackground), "file:///home/u/pic.png")
            mouseClick(findChild(scene, "backgroundToggle"))
            verify(!scene.isCustomBackground)
            compare(String(scene.sourceCustomBackground), "")
        }

        function test_language_choice_relabels_the_menus() {
            page.initLanguage()
            compare(page.languageCount(), 3)
            page.setLanguage(0)
            compare(findChild(scene, "fnItem").labels[0], "zh74")
            compare(findChild(scene, "pfItem").menuLabels, ["zh84", "zh85", "zh77", "zh78"])
            // The page's own rows follow: skin 1 is string 39, sound on string 31.
            compare(findChild(scene, "skinList").currentText, "zh39")
            compare(findChild(scene, "soundList").currentText, "zh31")
            compare(scene.globalSetting_fontFamily, "SimHei")
            // An index outside the list reads no file.
            ui_View.reset()
            page.setLanguage(5)
            compare(ui_View.count("getGlobalStrings"), 0)
        }
    }
}
