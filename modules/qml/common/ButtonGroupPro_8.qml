import QtQuick

// Eight stage buttons in two rows of four. Only the first maxStage buttons
// are shown; a button without a positive value shows "×" and cannot be
// chosen. The "▼" of a button opens a menu of values for that button.
Item {
    id: root
    width: 311
    height: 53

    property int currentIndex: 0
    property int maxStage: 8
    property var valueForIndex: [1, 2, 3, 4, 5, 6, 7, 8]
    property var valueForMenuIndex: []
    property int menuCounter: 18
    property int currentMenuIndex: -1
    readonly property bool menuShown: _menuOpen

    signal clicked(int index)
    signal valueChanged(int index, int value)

    property bool _menuOpen: false
    readonly property var _xs: [3, 80, 157, 234]
    readonly property var _ys: [8, 27]
    readonly property int _animUnit: typeof animation_speed !== "undefined" ? animation_speed : 800
    readonly property url _srcBase: typeof sourceBtnGroup_8_BASE !== "undefined" ? sourceBtnGroup_8_BASE : ""
    readonly property url _srcOff: typeof sourceBtnGroup_FILLER_0 !== "undefined" ? sourceBtnGroup_FILLER_0 : ""
    readonly property url _srcOn: typeof sourceBtnGroup_FILLER_1 !== "undefined" ? sourceBtnGroup_FILLER_1 : ""
    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property color _colorOn: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#ffffff"
    readonly property color _colorOff: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"

    function valueAt(i) {
        var v = valueForIndex !== undefined ? Number(valueForIndex[i]) : 0
        return isNaN(v) ? 0 : v
    }
    function menuCount() {
        var n = valueForMenuIndex !== undefined ? valueForMenuIndex.length : 0
        return Math.max(0, Math.min(menuCounter, n, 18))
    }

    // The part of the scene that can show the menu, in this item's
    // coordinates: the scene's root cut by every clipping ancestor.
    function visibleArea() {
        var left = -Infinity, top = -Infinity, right = Infinity, bottom = Infinity
        for (var a = root.parent; a; a = a.parent) {
            if (!a.clip && a.parent)
                continue
            var p = a.mapToItem(root, 0, 0)
            left = Math.max(left, p.x)
            top = Math.max(top, p.y)
            right = Math.min(right, p.x + a.width)
            bottom = Math.min(bottom, p.y + a.height)
        }
        return Qt.rect(left, top, right - left, bottom - top)
    }

    // Opens the value menu of button i centred under the pointer (x in this
    // item's coordinates), moved as little as needed to show all of it; the
    // same "▼" again closes it.
    function toggleMenu(i, pointerX) {
        if (_menuOpen && currentMenuIndex === i) {
            closeMenu()
            return
        }
        currentMenuIndex = i
        var area = visibleArea()
        area = Qt.rect(area.x + 2, area.y + 2, area.width - 4, area.height - 4) // room for the frame
        var x = pointerX - menu.width / 2
        menu.x = Math.max(area.x, Math.min(x, area.x + area.width - menu.width))
        var rowY = _ys[Math.floor(i / 4)]
        var y = rowY + 18 + 5
        if (y + menu.height > area.y + area.height)
            y = Math.max(area.y, rowY - 5 - menu.height)
        menu.y = y
        _menuOpen = true
        fadeOut.stop()
        fadeIn.restart()
    }
    function closeMenu() {
        if (!_menuOpen)
            return
        _menuOpen = false
        fadeIn.stop()
        fadeOut.restart()
    }

    Image {
        anchors.fill: parent
        source: root._srcBase
    }

    Repeater {
        model: 8
        Item {
            id: cell
            objectName: "button" + index
            readonly property int value: root.valueAt(index)
            readonly property bool lit: root.currentIndex === index || area.containsMouse
            visible: index < root.maxStage
            x: root._xs[index % 4]
            y: root._ys[Math.floor(index / 4)]
            width: 74
            height: 18
            activeFocusOnTab: true
            Accessible.role: Accessible.RadioButton
            Accessible.name: label.text
            Accessible.checkable: true
            Accessible.checked: root.currentIndex === index
            Accessible.focusable: true
            Accessible.onPressAction: choose()
            Keys.onSpacePressed: choose()
            Keys.onReturnPressed: choose()
            Keys.onEnterPressed: choose()
            function choose() {
                if (cell.value <= 0)
                    return
                root.currentIndex = index
                root.clicked(index)
            }
            Image {
                anchors.fill: parent
                source: cell.lit ? root._srcOn : root._srcOff
            }
            Text {
                id: label
                anchors.verticalCenter: parent.verticalCenter
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.horizontalCenterOffset: -6
                text: cell.value > 0 ? String(cell.value) : "×"
                font.family: root._font
                font.pixelSize: 11
                color: cell.lit ? root._colorOn : root._colorOff
            }
            MouseArea {
                id: area
                objectName: "select"
                x: 0
                width: parent.width - arrow.width
                height: parent.height
                hoverEnabled: true
                enabled: cell.visible
                onClicked: cell.choose()
            }
            Text {
                id: arrow
                objectName: "arrow"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                horizontalAlignment: Text.AlignHCenter
                text: "▼"
                font.family: root._font
                font.pixelSize: 9
                color: arrowArea.containsMouse ? root._colorOn : root._colorOff
                activeFocusOnTab: cell.visible
                Accessible.role: Accessible.ButtonMenu
                Accessible.name: "▼ " + label.text
                Accessible.focusable: true
                Accessible.onPressAction: root.toggleMenu(index, cell.x + cell.width / 2)
                Keys.onSpacePressed: root.toggleMenu(index, cell.x + cell.width / 2)
                Keys.onReturnPressed: root.toggleMenu(index, cell.x + cell.width / 2)
                Keys.onEnterPressed: root.toggleMenu(index, cell.x + cell.width / 2)
                FocusMark {}
                MouseArea {
                    id: arrowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    enabled: cell.visible
                    onClicked: function (ev) {
                        var p = mapToItem(root, ev.x, ev.y)
                        root.toggleMenu(index, p.x)
                    }
                }
            }
            FocusMark {
                anchors.rightMargin: arrow.width
            }
        }
    }

    Item {
        id: menu
        objectName: "valueMenu"
        z: 10
        width: 3 * 46 + 2 * 2
        height: grid.height
        opacity: 0
        visible: opacity > 0

        // Opaque, so nothing under the menu shows through its cells, and
        // clicks between cells do not reach the controls below.
        Rectangle {
            anchors.fill: parent
            anchors.margins: -2
            color: "#0c1014"
            border.color: root._colorOff
            border.width: 1
            MouseArea {
                anchors.fill: parent
                enabled: root._menuOpen
            }
        }

        Grid {
            id: grid
            columns: 3
            spacing: 2
            Repeater {
                model: root.menuCount()
                ButtonGroupPro_8_Menu {
                    objectName: "menuCell" + index
                    index: model.index
                    value: Number(root.valueForMenuIndex[model.index])
                    enabled: root._menuOpen
                    onClicked: {
                        var target = root.currentMenuIndex
                        if (target < 0 || target > 7)
                            return
                        // Copy into a fresh array so bindings see the change,
                        // whatever list type the page assigned.
                        var values = []
                        var old = root.valueForIndex
                        var n = old !== undefined && old !== null && old.length !== undefined ? old.length : 0
                        for (var k = 0; k < n; ++k)
                            values.push(old[k])
                        values[target] = value
                        root.valueForIndex = values
                        root.valueChanged(target, value)
                        root.closeMenu()
                    }
                }
            }
        }

    }

    NumberAnimation {
        id: fadeIn
        target: menu
        property: "opacity"
        to: 1
        duration: 1.5 * root._animUnit
        easing.type: Easing.OutExpo
    }
    NumberAnimation {
        id: fadeOut
        target: menu
        property: "opacity"
        to: 0
        duration: root._animUnit
        easing.type: Easing.OutExpo
    }
}
