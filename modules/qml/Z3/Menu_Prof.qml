import QtQuick
import "../common"

// Profile slots P01..P10. Left click switches the current slot; right click
// opens LOAD / SAVE / RESET / CANCEL for the slot under the pointer.
Item {
    id: pfMenu
    width: 116
    height: 380

    property int currentIndex: 0
    // Slot the context menu acts on; -1 while it is closed.
    property int menuSlot: -1
    readonly property var menuLabelIds: [84, 85, 77, 78]
    readonly property var menuFallback: ["LOAD", "SAVE", "RESET", "CANCEL"]
    property var menuLabels: menuFallback

    signal indexChanged_btn(int index)

    function slotName(i) {
        return "P" + (i + 1 < 10 ? "0" : "") + (i + 1)
    }

    function selectSlot(i) {
        if (i === currentIndex)
            return
        currentIndex = i
        indexChanged_btn(i)
    }

    function openMenu(slot, px, py) {
        menuSlot = slot
        // Left of the slot buttons, so the slot's own label stays in view.
        ctxMenu.x = 10 - ctxMenu.width - 6
        ctxMenu.y = Math.min(height - ctxMenu.height, Math.max(0, py - 10))
        menuFadeOut.stop()
        ctxMenu.visible = true
        menuFadeIn.restart()
    }

    function closeMenu() {
        menuFadeIn.stop()
        menuFadeOut.restart()
    }

    // Entry 0 LOAD, 1 SAVE, 2 RESET, 3 CANCEL.
    function menuAction(entry) {
        var slot = menuSlot
        closeMenu()
        if (slot < 0)
            return
        if (entry === 0)
            ui_View.loadProfile(slot)
        else if (entry === 1)
            ui_View.saveProfile(slot)
        else if (entry === 2)
            ui_View.resetProfile(slot)
        if ((entry === 0 || entry === 2) && slot === currentIndex)
            indexChanged_btn(slot)
    }

    function translateStrings() {
        var list = mainIten.globalSetting_stringList
        var out = []
        for (var i = 0; i < menuLabelIds.length; ++i) {
            var s = list && list.length > menuLabelIds[i] ? list[menuLabelIds[i]] : ""
            out.push(s !== undefined && s !== "" ? s : menuFallback[i])
        }
        menuLabels = out
    }

    onEnabledChanged: if (!enabled && ctxMenu.visible)
                          closeMenu()

    Image {
        source: mainIten.sourceListPfContainer
    }

    Repeater {
        model: 10
        Item {
            id: slotButton
            objectName: "profileButton" + index
            x: 10
            y: 10 + index * 36
            width: 96
            height: 30
            readonly property bool hot: pfMenu.currentIndex === index || area.containsMouse
            activeFocusOnTab: true
            Accessible.role: Accessible.RadioButton
            Accessible.name: pfMenu.slotName(index)
            Accessible.focusable: true
            Accessible.onPressAction: pfMenu.selectSlot(index)
            Keys.onSpacePressed: pfMenu.selectSlot(index)
            Keys.onReturnPressed: pfMenu.selectSlot(index)
            Keys.onEnterPressed: pfMenu.selectSlot(index)
            Accessible.checkable: true
            Accessible.checked: pfMenu.currentIndex === index
            // The menu key opens the profile's menu, as a right click does.
            Keys.onMenuPressed: pfMenu.openMenu(index, x + width / 2, y + height)

            Image {
                source: slotButton.hot ? mainIten.sourceProfileFW_1 : mainIten.sourceProfileFW_0
            }
            Text {
                anchors.centerIn: parent
                text: pfMenu.slotName(index)
                font.family: "Arial"
                font.bold: true
                font.pixelSize: 14
                color: pfMenu.currentIndex === index ? "#FFFFFF" : mainIten.globalSetting_color_enable
            }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onClicked: function (mouse) {
                    if (mouse.button === Qt.RightButton) {
                        var p = mapToItem(pfMenu, mouse.x, mouse.y)
                        pfMenu.openMenu(index, p.x, p.y)
                    } else {
                        pfMenu.selectSlot(index)
                    }
                }
            }
            FocusMark {}
        }
    }

    Rectangle {
        id: ctxMenu
        objectName: "profileMenu"
        z: 10
        width: 96
        height: 4 * 26 + 8
        visible: false
        opacity: 0
        color: "#E0101418"
        border.color: mainIten.globalSetting_color
        border.width: 1

        Column {
            x: 4
            y: 4
            Repeater {
                model: 4
                Rectangle {
                    objectName: "profileMenuEntry" + index
                    width: 88
                    height: 26
                    color: entryArea.containsMouse ? Qt.rgba(1, 1, 1, 0.12) : "transparent"
                    activeFocusOnTab: true
                    Accessible.role: Accessible.MenuItem
                    Accessible.name: pfMenu.menuLabels[index]
                    Accessible.focusable: true
                    Accessible.onPressAction: pfMenu.menuAction(index)
                    Keys.onSpacePressed: pfMenu.menuAction(index)
                    Keys.onReturnPressed: pfMenu.menuAction(index)
                    Keys.onEnterPressed: pfMenu.menuAction(index)
                    Text {
                        anchors.centerIn: parent
                        text: pfMenu.menuLabels[index]
                        font.family: mainIten.globalSetting_fontFamily
                        font.pixelSize: mainIten.globalSetting_size + 1
                        font.bold: true
                        color: entryArea.containsMouse ? mainIten.globalSetting_color : mainIten.globalSetting_color_enable
                    }
                    MouseArea {
                        id: entryArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: pfMenu.menuAction(index)
                    }
                    FocusMark {}
                }
            }
        }
    }

    NumberAnimation {
        id: menuFadeIn
        target: ctxMenu
        property: "opacity"
        to: 1.0
        duration: 1.5 * mainIten.animation_speed
        easing.type: Easing.OutExpo
    }
    SequentialAnimation {
        id: menuFadeOut
        NumberAnimation {
            target: ctxMenu
            property: "opacity"
            to: 0.0
            duration: mainIten.animation_speed
            easing.type: Easing.OutExpo
        }
        ScriptAction {
            script: {
                ctxMenu.visible = false
                pfMenu.menuSlot = -1
            }
        }
    }

    Component.onCompleted: translateStrings()
}
