import QtQuick

// Looks like a check box, but a click only reports its index: the page
// decides which button of a group is selected.
Item {
    id: root
    width: box.width + 5 + label.implicitWidth
    height: Math.max(box.height, label.implicitHeight)
    opacity: (area.pressed || !enabled) ? 0.2 : 1

    property bool isSelect: false
    property string chkStr: ""
    property int index: 0

    signal clicked(int index)

    activeFocusOnTab: true
    Accessible.role: Accessible.RadioButton
    Accessible.name: chkStr
    Accessible.checkable: true
    Accessible.checked: isSelect
    Accessible.focusable: true
    Accessible.onPressAction: _press()
    Keys.onSpacePressed: _press()
    Keys.onReturnPressed: _press()
    Keys.onEnterPressed: _press()
    function _press() {
        if (!enabled)
            return
        _playClick()
        clicked(index)
    }

    readonly property url _src0: typeof sourceCheckbox_0 !== "undefined" ? sourceCheckbox_0 : ""
    readonly property url _src1: typeof sourceCheckbox_1 !== "undefined" ? sourceCheckbox_1 : ""
    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _color: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"

    function _playClick() {
        if (typeof ui_View !== "undefined" && ui_View)
            ui_View.playMedia_Index(0x04)
    }

    Image {
        id: box
        anchors.verticalCenter: parent.verticalCenter
        width: sourceSize.width > 0 ? sourceSize.width : 15
        height: sourceSize.height > 0 ? sourceSize.height : 15
        source: root.isSelect ? root._src1 : root._src0
    }
    Text {
        id: label
        x: box.width + 5
        anchors.verticalCenter: parent.verticalCenter
        text: root.chkStr
        font.family: root._font
        font.pixelSize: root._size
        color: root._color
    }
    MouseArea {
        id: area
        anchors.fill: parent
        onClicked: {
            root._playClick()
            root.clicked(root.index)
        }
    }
    FocusMark {}
}
