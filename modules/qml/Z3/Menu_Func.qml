import QtQuick
import "../common"

// The four function buttons: key definition, macro, colour, sensor.
// A click on the current button deselects it (no page).
Item {
    id: fnMenu
    width: 150
    height: 4 * 66 + 3 * 10

    property int currentIndex: -1
    // UI string numbers of the four labels.
    readonly property var labelIds: [74, 75, 76, 86]
    readonly property var fallbackLabels: ["KEY", "MACRO", "COLOR", "SENSOR"]
    readonly property var iconNames: ["fnKeydefine", "fnMacro", "fnColor", "fnSensor"]
    property var labels: fallbackLabels
    property int skinRevision: 0

    signal indexChanged_btn(int index)

    function clickButton(index) {
        currentIndex = (index === currentIndex) ? -1 : index
        indexChanged_btn(currentIndex)
    }

    function translateStrings() {
        var list = mainIten.globalSetting_stringList
        var out = []
        for (var i = 0; i < labelIds.length; ++i) {
            var s = list && list.length > labelIds[i] ? list[labelIds[i]] : ""
            out.push(s !== undefined && s !== "" ? s : fallbackLabels[i])
        }
        labels = out
    }

    function setSkin() {
        skinRevision++
    }

    function skinUrl(name) {
        return "file:modules/img/skin" + mainIten.skin_No + "/list_fn/" + name + ".png"
    }

    Repeater {
        model: 4
        Item {
            id: fnButton
            objectName: "fnButton" + index
            y: index * 76
            width: 150
            height: 66
            readonly property bool hot: fnMenu.currentIndex === index || area.containsMouse
            activeFocusOnTab: true
            Accessible.role: Accessible.PageTab
            Accessible.name: fnMenu.labels[index]
            Accessible.focusable: true
            Accessible.onPressAction: fnMenu.clickButton(index)
            Keys.onSpacePressed: fnMenu.clickButton(index)
            Keys.onReturnPressed: fnMenu.clickButton(index)
            Keys.onEnterPressed: fnMenu.clickButton(index)
            Accessible.checkable: true
            Accessible.checked: fnMenu.currentIndex === index

            Image {
                source: fnMenu.skinUrl(fnButton.hot ? "listFnBtn_1" : "listFnBtn_0")
            }
            Image {
                x: 12
                y: 13
                source: fnMenu.skinUrl(fnMenu.iconNames[index] + (fnButton.hot ? "_1" : "_0"))
            }
            Text {
                x: 58
                anchors.verticalCenter: parent.verticalCenter
                width: 88
                text: fnMenu.labels[index]
                elide: Text.ElideRight
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size + 2
                font.bold: true
                color: fnButton.hot ? mainIten.globalSetting_color : mainIten.globalSetting_color_enable
            }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                onClicked: fnMenu.clickButton(index)
            }
            FocusMark {}
        }
    }

    Component.onCompleted: translateStrings()
}
