import QtQuick
import "../common"

// Top bar: settings (0) and close (1).
Item {
    id: menuUp
    width: 1000
    height: 48

    property bool isGlobalSettingSelect: false

    signal btnClicked(int btnIndex)

    Image {
        source: mainIten.sourceListUpContainer
    }

    Image {
        id: settingButton
        objectName: "settingButton"
        x: 914
        y: 4
        source: (menuUp.isGlobalSettingSelect || settingArea.containsMouse) ? mainIten.sourceApplicationSetting_1 : mainIten.sourceApplicationSetting_0
        activeFocusOnTab: true
        Accessible.role: Accessible.Button
        Accessible.name: "SETTINGS"
        Accessible.focusable: true
        Accessible.onPressAction: settingButton.press()
        Keys.onSpacePressed: settingButton.press()
        Keys.onReturnPressed: settingButton.press()
        Keys.onEnterPressed: settingButton.press()
        function press() {
            ui_View.playMedia_Index(2)
            menuUp.btnClicked(0)
        }
        MouseArea {
            id: settingArea
            anchors.fill: parent
            hoverEnabled: true
            onClicked: settingButton.press()
        }
        FocusMark {}
    }

    Button_2state {
        id: closeButton
        objectName: "closeButton"
        Accessible.name: "CLOSE"
        x: 954
        y: 4
        width: 32
        height: 32
        source0: mainIten.sourceApplicationMinimize_0
        source1: mainIten.sourceApplicationMinimize_1
        onClicked: menuUp.btnClicked(1)
    }
}
