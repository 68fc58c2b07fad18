import QtQuick
import "../common"

// Bottom bar: ALL RESET and ALL SAVE for the key definition, colour and
// sensor pages.
Item {
    id: menuDown
    width: 1000
    height: 56

    signal btnTotalResetClicked
    signal btnTotalApplyClicked

    property int skinRevision: 0

    function setSkin() {
        skinRevision++
    }

    function label(n, fallback) {
        var list = mainIten.globalSetting_stringList
        var s = list && list.length > n ? list[n] : ""
        return s !== undefined && s !== "" ? s : fallback
    }

    Image {
        source: mainIten.sourceListDnContainer
    }

    Row {
        x: 380
        y: 18
        spacing: 20

        Button_2state {
            id: resetButton
            objectName: "totalResetButton"
            width: 110
            height: 28
            source0: mainIten.sourceReset_0
            source1: mainIten.sourceReset_1
            onClicked: {
                mainIten.setProtectUI(800)
                menuDown.btnTotalResetClicked()
            }
            Text {
                x: 30
                width: 76
                height: parent.height
                verticalAlignment: Text.AlignVCenter
                horizontalAlignment: Text.AlignHCenter
                text: menuDown.label(113, "ALL RESET")
                elide: Text.ElideRight
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                font.bold: true
                color: resetButton.mouse.containsMouse ? mainIten.globalSetting_color : mainIten.globalSetting_color_enable
            }
        }

        Button_2state {
            id: applyButton
            objectName: "totalApplyButton"
            width: 110
            height: 28
            source0: mainIten.sourceApply_0
            source1: mainIten.sourceApply_1
            onClicked: {
                mainIten.setProtectUI(2000)
                menuDown.btnTotalApplyClicked()
            }
            Text {
                x: 30
                width: 76
                height: parent.height
                verticalAlignment: Text.AlignVCenter
                horizontalAlignment: Text.AlignHCenter
                text: menuDown.label(114, "ALL SAVE")
                elide: Text.ElideRight
                font.family: mainIten.globalSetting_fontFamily
                font.pixelSize: mainIten.globalSetting_size
                font.bold: true
                color: applyButton.mouse.containsMouse ? mainIten.globalSetting_color : mainIten.globalSetting_color_enable
            }
        }
    }
}
