import QtQuick
import "./basic"
import "./common"
import "./Z3"

// Root of the scene. The host window sizes itself to this item; it stays
// invisible until run() starts the opening sequence.
Item {
    id: mainIten
    width: 1000
    height: 600
    visible: false
    clip: true

    signal emptyAreaPressed
    signal msg_KB(bool isDown, int usbCode)

    // Global text and behaviour settings, owned by the settings page.
    property int globalSetting_size: _Page_Globalsetting._Size
    property color globalSetting_color: _Page_Globalsetting._Color
    property color globalSetting_color_enable: _Page_Globalsetting._ColorEnable
    property color globalSetting_color_disable: _Page_Globalsetting._ColorDisable
    property int animation_speed: _Page_Globalsetting._AnimationSpeed
    property var globalSetting_stringList: _Page_Globalsetting._StringList
    property string globalSetting_fontFamily: _Page_Globalsetting._FontFamily
    property string globalSetting_url: _Page_Globalsetting._Url
    property int skin_No: _Page_Globalsetting.skin_No
    property bool isCustomBackground: _Page_Globalsetting.isCustomBackground
    property url sourceCustomBackground: ""

    // Skin images, read from the working folder so a skin change shows at once.
    readonly property string skinFolder: "file:modules/img/skin" + skin_No + "/"
    property url sourceBackground: skinFolder + "background.png"
    property url sourceAdd_0: skinFolder + "common/add_0.png"
    property url sourceAdd_1: skinFolder + "common/add_1.png"
    property url sourceApply_0: skinFolder + "common/apply_0.png"
    property url sourceApply_1: skinFolder + "common/apply_1.png"
    property url sourceBtnFileListFrame: skinFolder + "common/btnFileListFrame.png"
    property url sourceBtnFrame: skinFolder + "common/btnFrame.png"
    property url sourceBtnGroup2_FILLER_0: skinFolder + "common/btnGroup2_FILLER_0.png"
    property url sourceBtnGroup2_FILLER_1: skinFolder + "common/btnGroup2_FILLER_1.png"
    property url sourceBtnGroup_4_BASE: skinFolder + "common/btnGroup_4_BASE.png"
    property url sourceBtnGroup_8_BASE: skinFolder + "common/btnGroup_8_BASE.png"
    property url sourceBtnGroup_FILLER_0: skinFolder + "common/btnGroup_FILLER_0.png"
    property url sourceBtnGroup_FILLER_1: skinFolder + "common/btnGroup_FILLER_1.png"
    property url sourceCheckbox_0: skinFolder + "common/checkbox_0.png"
    property url sourceCheckbox_1: skinFolder + "common/checkbox_1.png"
    property url sourceDelete_0: skinFolder + "common/delete_0.png"
    property url sourceDelete_1: skinFolder + "common/delete_1.png"
    property url sourceDraw_inputValue: skinFolder + "common/draw_inputValue.png"
    property url sourceDraw_line: skinFolder + "common/draw_line.png"
    property url sourceDraw_palette: skinFolder + "common/draw_palette.png"
    property url sourceDraw_paletteIndex: skinFolder + "common/draw_paletteIndex.png"
    property url sourceFilelist_BASE: skinFolder + "common/filelist_BASE.png"
    property url sourceFram_2btn: skinFolder + "common/fram_2btn.png"
    property url sourceRecord_0: skinFolder + "common/record_0.png"
    property url sourceRecord_1: skinFolder + "common/record_1.png"
    property url sourceReset_0: skinFolder + "common/reset_0.png"
    property url sourceReset_1: skinFolder + "common/reset_1.png"
    property url sourceSlider_11_BASE: skinFolder + "common/slider_11_BASE.png"
    property url sourceSlider_11_FILLER_0: skinFolder + "common/slider_11_FILLER_0.png"
    property url sourceSlider_11_FILLER_1: skinFolder + "common/slider_11_FILLER_1.png"
    property url sourceSlider_BASE: skinFolder + "common/slider_BASE.png"
    property url sourceSlider_FILLER_0: skinFolder + "common/slider_FILLER_0.png"
    property url sourceSlider_FILLER_1: skinFolder + "common/slider_FILLER_1.png"
    property url sourceSolid_copy_0: skinFolder + "common/solid-copy_0.png"
    property url sourceSolid_copy_1: skinFolder + "common/solid-copy_1.png"
    property url sourceSolid_cut_0: skinFolder + "common/solid-cut_0.png"
    property url sourceSolid_cut_1: skinFolder + "common/solid-cut_1.png"
    property url sourceSolid_delete_0: skinFolder + "common/solid-delete_0.png"
    property url sourceSolid_delete_1: skinFolder + "common/solid-delete_1.png"
    property url sourceSolid_paste_0: skinFolder + "common/solid-paste_0.png"
    property url sourceSolid_paste_1: skinFolder + "common/solid-paste_1.png"
    property url sourceStop_0: skinFolder + "common/stop_0.png"
    property url sourceStop_1: skinFolder + "common/stop_1.png"
    property url sourceDecoration1: skinFolder + "frame/decoration1.png"
    property url sourceDecoration2: skinFolder + "frame/decoration2.png"
    property url sourceFrameBackground: skinFolder + "frame/frameBackground.png"
    property url sourceWeb_0: skinFolder + "frame/web_0.png"
    property url sourceWeb_1: skinFolder + "frame/web_1.png"
    property url sourceFnColorBackground: skinFolder + "list_center/fnColorBackground.png"
    property url sourceFnCommonBackground: skinFolder + "list_center/fnCommonBackground.png"
    property url sourceFnKeydefineBackground: skinFolder + "list_center/fnKeydefineBackground.png"
    property url sourceFnMacroBackground: skinFolder + "list_center/fnMacroBackground.png"
    property url sourceGlobalsettingBackground: skinFolder + "list_center/globalsettingBackground.png"
    property url sourceListDnContainer: skinFolder + "list_dn/listDnContainer.png"
    property url sourceFnColor_0: skinFolder + "list_fn/fnColor_0.png"
    property url sourceFnColor_1: skinFolder + "list_fn/fnColor_1.png"
    property url sourceFnKeydefine_0: skinFolder + "list_fn/fnKeydefine_0.png"
    property url sourceFnKeydefine_1: skinFolder + "list_fn/fnKeydefine_1.png"
    property url sourceFnMacro_0: skinFolder + "list_fn/fnMacro_0.png"
    property url sourceFnMacro_1: skinFolder + "list_fn/fnMacro_1.png"
    property url sourceFnSensor_0: skinFolder + "list_fn/fnSensor_0.png"
    property url sourceFnSensor_1: skinFolder + "list_fn/fnSensor_1.png"
    property url sourceListFnBtn_0: skinFolder + "list_fn/listFnBtn_0.png"
    property url sourceListFnBtn_1: skinFolder + "list_fn/listFnBtn_1.png"
    property url sourceListPfContainer: skinFolder + "list_pf/listPfContainer.png"
    property url sourceProfileFW_0: skinFolder + "list_pf/profileFW_0.png"
    property url sourceProfileFW_1: skinFolder + "list_pf/profileFW_1.png"
    property url sourceApplicationMinimize_0: skinFolder + "list_up/applicationMinimize_0.png"
    property url sourceApplicationMinimize_1: skinFolder + "list_up/applicationMinimize_1.png"
    property url sourceApplicationSetting_0: skinFolder + "list_up/applicationSetting_0.png"
    property url sourceApplicationSetting_1: skinFolder + "list_up/applicationSetting_1.png"
    property url sourceListUpContainer: skinFolder + "list_up/listUpContainer.png"
    property url sourceModel_Z3_Color: skinFolder + "model_ms/model_Z3_Color.png"
    property url sourceModel_Z3_KeyDefine: skinFolder + "model_ms/model_Z3_KeyDefine.png"
    // Short names the controls also know these images by.
    property url sourceSlider: sourceSlider_BASE
    property url sourceCHK0: sourceCheckbox_0
    property url sourceCHK1: sourceCheckbox_1
    property url sourceFilelist: sourceFilelist_BASE

    readonly property alias isGlobalSettingSelect: menuUp.isGlobalSettingSelect
    readonly property var _KeyCodeString: keyCodeLoader.item

    // Locks the whole view for `interval` ms. A new request with another
    // interval starts the lock again from zero; the same interval does not
    // extend a running lock.
    function setProtectUI(interval) {
        busyIndicator.visible = true
        ui_View.setEnabled(false)
        if (protectTimer.running) {
            if (protectTimer.interval !== interval) {
                protectTimer.interval = interval
                protectTimer.restart()
            }
            return
        }
        protectTimer.interval = interval
        protectTimer.start()
    }

    // The settings page first: it loads the strings the mouse screen needs.
    function initUI() {
        _Page_Globalsetting.initUI()
        main_Z3.initUI()
    }

    function run() {
        openingAnim.restart()
    }

    function setSkin() {
        menuDown.setSkin()
        main_Z3.setSkin()
    }

    function translateStrings(code) {
        _Page_Globalsetting.translateStrings()
        main_Z3.translateStrings(code)
    }

    function detectKeyboard(isDown, usbCode) {
        msg_KB(isDown, usbCode)
    }

    function detectMouse(isDown, code, x, y) {}

    function close() {
        closingAnim.restart()
    }

    // A show or close request during a running slide first finishes it.
    function showSettingPanel() {
        _Page_Globalsetting.build()
        if (panelShowAnim.running) {
            panelShowAnim.complete()
            return
        }
        if (panelHideAnim.running)
            panelHideAnim.complete()
        panelShowAnim.restart()
    }

    function hideSettingPanel() {
        if (panelHideAnim.running) {
            panelHideAnim.complete()
            return
        }
        if (panelShowAnim.running)
            panelShowAnim.complete()
        panelHideAnim.restart()
    }

    MouseArea {
        id: dragArea
        anchors.fill: parent
        property real pressX: 0
        property real pressY: 0
        onPressed: function (mouse) {
            mainIten.emptyAreaPressed()
            pressX = mouse.x
            pressY = mouse.y
        }
        onPositionChanged: function (mouse) {
            if (!pressed)
                return
            ui_Ctl.onXChanged(mouse.x - pressX)
            ui_Ctl.onYChanged(mouse.y - pressY)
        }
    }

    BusyIndicator {
        id: busyIndicator
        objectName: "busyIndicator"
        z: 99
        anchors.centerIn: parent
        fontFamily: mainIten.globalSetting_fontFamily
        fontSize: mainIten.globalSetting_size
        textColor: mainIten.globalSetting_color
    }

    Timer {
        id: protectTimer
        interval: 1000
        repeat: false
        onTriggered: {
            ui_View.setEnabled(true)
            busyIndicator.visible = false
        }
    }

    Environment {
        id: environment
        objectName: "environment"
        opacity: 0
    }

    Main_Z3 {
        id: main_Z3
        objectName: "main_Z3"
        isGlobalSettingSelect: menuUp.isGlobalSettingSelect
    }

    Environment_Decoration {
        id: decoration
        objectName: "decoration"
        opacity: 0
    }

    Menu_Down {
        id: menuDown
        objectName: "menuDown"
        y: 600
        enabled: !menuUp.isGlobalSettingSelect
        opacity: enabled ? 1.0 : 0.2
        onBtnTotalResetClicked: main_Z3.totalReset()
        onBtnTotalApplyClicked: main_Z3.totalApply()
    }

    Menu_Up {
        id: menuUp
        objectName: "menuUp"
        y: -600
        onBtnClicked: function (btnIndex) {
            if (btnIndex === 0)
                isGlobalSettingSelect = !isGlobalSettingSelect
            else if (btnIndex === 1)
                mainIten.close()
        }
        onIsGlobalSettingSelectChanged: {
            if (isGlobalSettingSelect)
                mainIten.showSettingPanel()
            else
                mainIten.hideSettingPanel()
        }
    }

    Image {
        id: logo
        objectName: "logo"
        x: 18
        y: 270
        opacity: 0
        source: logoArea.containsMouse ? mainIten.sourceWeb_1 : mainIten.sourceWeb_0
        MouseArea {
            id: logoArea
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: {
                ui_View.playMedia_Index(3)
                Qt.openUrlExternally(mainIten.globalSetting_url)
            }
        }
    }

    // The settings panel slides in from the right edge.
    Item {
        id: settingPanel
        objectName: "settingPanel"
        x: 1000 - width - 8
        y: 50
        width: 420
        height: 500
        clip: true
        visible: panelContent.x < width

        Item {
            id: panelContent
            objectName: "settingPanelContent"
            x: settingPanel.width
            width: settingPanel.width
            height: settingPanel.height

            Page_Globalsetting {
                id: _Page_Globalsetting
                objectName: "pageGlobalsetting"
            }
        }
    }

    NumberAnimation {
        id: panelShowAnim
        target: panelContent
        property: "x"
        from: settingPanel.width
        to: 0
        duration: 0.8 * mainIten.animation_speed
        easing.type: Easing.OutCubic
    }
    NumberAnimation {
        id: panelHideAnim
        target: panelContent
        property: "x"
        from: 0
        to: settingPanel.width
        duration: 0.8 * mainIten.animation_speed
        easing.type: Easing.OutCubic
    }

    // The page key-code table, one instance for the whole scene.
    Loader {
        id: keyCodeLoader
        source: "common/KeyCodeString.qml"
    }

    SequentialAnimation {
        id: openingAnim
        ScriptAction {
            script: {
                ui_View.playMedia_Index(1)
                mainIten.visible = true
            }
        }
        NumberAnimation {
            target: logo
            property: "opacity"
            from: 0
            to: 1
            duration: mainIten.animation_speed
            easing.type: Easing.InCirc
        }
        NumberAnimation {
            target: logo
            property: "y"
            from: 270
            to: 4
            duration: 1.5 * mainIten.animation_speed
            easing.type: Easing.OutExpo
        }
        ParallelAnimation {
            NumberAnimation {
                target: environment
                property: "opacity"
                from: 0
                to: 1
                duration: mainIten.animation_speed
                easing.type: Easing.OutCirc
            }
            NumberAnimation {
                target: decoration
                property: "opacity"
                from: 0
                to: 1
                duration: mainIten.animation_speed
                easing.type: Easing.OutCirc
            }
        }
        ScriptAction {
            script: {
                menusInAnim.restart()
                main_Z3.playOnPowerOn()
            }
        }
    }

    ParallelAnimation {
        id: menusInAnim
        NumberAnimation {
            target: menuUp
            property: "y"
            from: -600
            to: 0
            duration: mainIten.animation_speed
            easing.type: Easing.OutElastic
        }
        NumberAnimation {
            target: menuDown
            property: "y"
            from: 600
            to: 600 - menuDown.height
            duration: mainIten.animation_speed
            easing.type: Easing.OutElastic
        }
    }

    SequentialAnimation {
        id: closingAnim
        NumberAnimation {
            target: mainIten
            property: "height"
            from: 600
            to: 0
            duration: mainIten.animation_speed
            easing.type: Easing.InOutCubic
        }
        ScriptAction {
            script: ui_Ctl.onMinimize()
        }
    }
}
