import QtQuick

// The mouse screen: the four function pages in one container, the function
// menu on the left and the profile menu on the right.
Item {
    id: main_Z3
    width: 1000
    height: 600

    property var _ProductLayoutStringList: []
    property int lastPressKeyCode: -1
    // Set by the root while the settings panel is open.
    property bool isGlobalSettingSelect: false

    // The pages, for the main screen and for each other.
    readonly property var pageKeydefine: keyLoader.item
    readonly property var pageMacro: macroLoader.item
    readonly property var pageColor: colorLoader.item
    readonly property var pageSensor: sensorLoader.item
    readonly property alias pageContainer: pageContainer

    signal msg_KB(bool isDown, int usbCode)

    // Calls a page function when the page is loaded and has it; one failing
    // page must not keep the others from initialising.
    function _call(page, fn, arg) {
        if (!page || typeof page[fn] !== "function")
            return
        try {
            if (arg === undefined)
                page[fn]()
            else
                page[fn](arg)
        } catch (e) {
            console.warn("page " + fn + " failed: " + e)
        }
    }

    // A page is built when it is first needed: shown, or applied by ALL
    // SAVE, ALL RESET or a profile switch. Until then its images cost no
    // memory and its start costs no time. A page built later starts the way
    // it would have at start-up: labels first, then the current profile.
    property var _deviceApConfig: undefined
    property bool _initDone: false
    property bool _translated: false

    function _loader(index) {
        return [keyLoader, macroLoader, colorLoader, sensorLoader][index]
    }

    function page(index) {
        var loader = _loader(index)
        if (!loader)
            return null
        if (!loader.active) {
            loader.active = true
            if (_translated && index !== 3)
                _call(loader.item, "translateStrings")
            if (_initDone)
                _call(loader.item, "initUI", index === 2 ? _deviceApConfig : undefined)
        }
        return loader.item
    }

    function initUI() {
        _deviceApConfig = ui_View.loadDeviceApConfig()
        _initDone = true
        _call(pageKeydefine, "initUI")
        _call(pageMacro, "initUI")
        _call(pageColor, "initUI", _deviceApConfig)
        _call(pageSensor, "initUI")
    }

    function playOnPowerOn() {
        pfItem.visible = true
        fnItem.visible = true
        pageContainer.visible = true
        pageContainer.curID = fnItem.currentIndex
        powerOnAnim.restart()
    }

    function setSkin() {
        fnItem.setSkin()
    }

    function translateStrings(code) {
        _ProductLayoutStringList = ui_View.getProductLayoutStrings_Z3(code)
        _translated = true
        _call(pageKeydefine, "translateStrings")
        _call(pageMacro, "translateStrings")
        _call(pageColor, "translateStrings")
        fnItem.translateStrings()
        pfItem.translateStrings()
    }

    // The bottom menu's ALL SAVE / ALL RESET.
    function totalApply() {
        _call(page(0), "pageApply")
        _call(page(2), "pageApply")
        _call(page(3), "pageApply")
    }

    function totalReset() {
        _call(page(0), "pageReset")
        _call(page(2), "pageReset")
        _call(page(3), "pageReset")
    }

    // The pages re-read the slot that has just become current, then send all
    // of it: the mouse keeps one set of settings, so without this it would go
    // on running the previous slot's while the screen shows the new one.
    // The screen is locked from the start; when the calls return every
    // command but the last has ended, and the last takes at most 400 ms (a
    // macro: two quiet waits and four reports).
    function reloadProfile(index) {
        mainIten.setProtectUI(30000)
        ui_View.ui_02H_SetCurrentProfile(index)
        // A page built here reads the new slot as it starts.
        if (keyLoader.active)
            _call(pageKeydefine, "initUI")
        if (colorLoader.active)
            _call(pageColor, "refreshUI")
        if (sensorLoader.active)
            _call(pageSensor, "initUI")
        _call(page(0), "sendAll")
        _call(page(2), "sendAll")
        _call(page(3), "sendAll")
        mainIten.setProtectUI(400)
    }

    Connections {
        target: mainIten
        function onMsg_KB(isDown, usbCode) {
            if (isDown)
                main_Z3.lastPressKeyCode = usbCode
            main_Z3.msg_KB(isDown, usbCode)
        }
    }

    Item {
        id: pageContainer
        objectName: "pageContainer"
        x: 166
        y: 62
        width: 700
        height: 470
        clip: true
        visible: false
        enabled: !main_Z3.isGlobalSettingSelect
        opacity: enabled ? 1.0 : 0.2

        property int curID: -1
        // The page the container is heading for; negative when none.
        property int targetID: -1
        readonly property bool isShowing: showAnim.running
        readonly property bool isHiding: hideAnim.running

        function show(index) {
            ui_View.playMedia_Index(2)
            if (hideAnim.running) {
                targetID = index
                hideAnim.complete()
            } else if (showAnim.running) {
                curID = index
                showAnim.complete()
            } else if (index < 0) {
                targetID = -1
                hideAnim.restart()
            } else if (targetID < 0) {
                targetID = index
                curID = index
                showAnim.restart()
            } else {
                targetID = index
                hideAnim.restart()
            }
        }

        function showAnimComplete() {
            showAnim.complete()
        }

        function hideDone() {
            curID = targetID
            if (targetID >= 0)
                showAnim.restart()
        }

        Item {
            id: content
            objectName: "pageContent"
            width: parent.width
            height: parent.height

            Loader {
                id: keyLoader
                active: false
                source: "Page_Keydefine.qml"
                visible: pageContainer.curID === 0
            }
            Loader {
                id: macroLoader
                active: false
                source: "Page_Macro.qml"
                visible: pageContainer.curID === 1
            }
            Loader {
                id: colorLoader
                active: false
                source: "Page_Color.qml"
                visible: pageContainer.curID === 2
            }
            Loader {
                id: sensorLoader
                active: false
                source: "Page_Sensor.qml"
                visible: pageContainer.curID === 3
            }
        }

        NumberAnimation {
            id: showAnim
            target: content
            property: "x"
            from: -2 * pageContainer.width
            to: 0
            duration: 0.5 * mainIten.animation_speed
            easing.type: Easing.OutCubic
        }
        SequentialAnimation {
            id: hideAnim
            NumberAnimation {
                target: content
                property: "x"
                from: 0
                to: -2 * pageContainer.width
                duration: 0.5 * mainIten.animation_speed
                easing.type: Easing.InCubic
            }
            ScriptAction {
                script: pageContainer.hideDone()
            }
        }
    }

    Menu_Func {
        id: fnItem
        objectName: "fnItem"
        x: -150
        y: 96
        visible: false
        enabled: !main_Z3.isGlobalSettingSelect
        opacity: enabled ? 1.0 : 0.2
        onIndexChanged_btn: function (index) {
            main_Z3.page(index)
            pageContainer.show(index)
        }
    }

    Menu_Prof {
        id: pfItem
        objectName: "pfItem"
        x: 1000
        y: 76
        visible: false
        enabled: !main_Z3.isGlobalSettingSelect && pageContainer.curID !== 1
        opacity: enabled ? 1.0 : 0.2
        onIndexChanged_btn: function (index) {
            main_Z3.reloadProfile(index)
        }
    }

    SequentialAnimation {
        id: powerOnAnim
        ParallelAnimation {
            NumberAnimation {
                target: pfItem
                property: "x"
                from: 1000
                to: 1000 - pfItem.width - 10
                duration: mainIten.animation_speed
                easing.type: Easing.OutElastic
            }
            NumberAnimation {
                target: fnItem
                property: "x"
                from: -150
                to: 8
                duration: mainIten.animation_speed
                easing.type: Easing.OutElastic
            }
        }
        ScriptAction {
            script: showAnim.restart()
        }
    }
}
