import QtQuick

// Image button: the second image while hovered, dimmed while pressed or
// disabled; plays the button sound before reporting the click.
Item {
    id: root
    width: img.sourceSize.width
    height: img.sourceSize.height
    opacity: (area.pressed || !enabled) ? 0.2 : 1

    property url source0: ""
    property url source1: ""
    property alias mouse: area

    signal clicked

    // Keyboard and screen readers press it like a click.
    activeFocusOnTab: true
    Accessible.role: Accessible.Button
    Accessible.focusable: true
    Accessible.onPressAction: _press()
    Keys.onSpacePressed: _press()
    Keys.onReturnPressed: _press()
    Keys.onEnterPressed: _press()
    function _press() {
        if (!enabled)
            return
        _playClick()
        clicked()
    }

    function _playClick() {
        if (typeof ui_View !== "undefined" && ui_View)
            ui_View.playMedia_Index(0x04)
    }

    Image {
        id: img
        anchors.fill: parent
        source: (area.containsMouse && root.enabled) ? root.source1 : root.source0
    }
    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: {
            root._playClick()
            root.clicked()
        }
    }
    FocusMark {}
}
