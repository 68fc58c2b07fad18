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
        anchors.horizontalCenter: parent.horizontalCenter
        y: 16
        spacing: 40

        Button_Labeled {
            id: resetButton
            objectName: "totalResetButton"
            source0: mainIten.sourceReset_0
            source1: mainIten.sourceReset_1
            text: menuDown.label(113, "ALL RESET")
            onClicked: {
                mainIten.setProtectUI(800)
                menuDown.btnTotalResetClicked()
            }
        }

        Button_Labeled {
            id: applyButton
            objectName: "totalApplyButton"
            source0: mainIten.sourceApply_0
            source1: mainIten.sourceApply_1
            text: menuDown.label(114, "ALL SAVE")
            onClicked: {
                mainIten.setProtectUI(2000)
                menuDown.btnTotalApplyClicked()
            }
        }
    }
}
