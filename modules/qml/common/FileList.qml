import QtQuick

// Vertical list of 20-pixel rows (textX at the left, textR at the right).
// A left click selects a row, or clears the selection when the row was
// already selected; a row's name can be edited in place.
Item {
    id: root
    width: 151
    height: 200

    property ListModel mdItems: ListModel {}
    property int currentIndex: -1
    readonly property int editingIndex: st.editing
    readonly property int rowHeight: 20
    property alias contentY: view.contentY

    signal listElementClicked(int index)
    signal listElementRightBtnClicked(int index)
    signal editFileName_completed(string oldName, string newName)

    // Up/Down select the neighbour row, as a click on it would.
    activeFocusOnTab: true
    Accessible.role: Accessible.List
    Accessible.focusable: true
    Accessible.description: currentIndex >= 0 && mdItems && currentIndex < mdItems.count
                            ? String(mdItems.get(currentIndex).textX) : ""
    Keys.onUpPressed: _select(currentIndex - 1)
    Keys.onDownPressed: _select(currentIndex + 1)
    function _select(i) {
        if (!mdItems || i < 0 || i >= mdItems.count || st.editing >= 0)
            return
        currentIndex = i
        showRow(i)
        listElementClicked(i)
    }

    readonly property url _srcLine: typeof sourceDraw_line !== "undefined" ? sourceDraw_line : ""
    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _colorOn: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#ffffff"
    readonly property color _colorOff: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"

    QtObject {
        id: st
        property int editing: -1
    }

    function setCurIndex(i) {
        currentIndex = i
    }
    // Scrolls the list so that row index shows.
    function showRow(index) {
        if (mdItems && index >= 0 && index < mdItems.count)
            view.positionViewAtIndex(index, ListView.Contain)
    }
    function getCurIndex() {
        return currentIndex
    }

    // Starts editing the name of row index with all its text selected.
    function editFileName(index) {
        if (!mdItems || index < 0 || index >= mdItems.count)
            return
        view.positionViewAtIndex(index, ListView.Contain)
        st.editing = index
    }

    // A selection must point at an existing row.
    function _checkSelection() {
        if (!mdItems || currentIndex >= mdItems.count)
            currentIndex = -1
        if (st.editing >= 0 && (!mdItems || st.editing >= mdItems.count))
            st.editing = -1
    }
    Connections {
        target: root.mdItems
        function onRowsRemoved() {
            root._checkSelection()
        }
        function onModelReset() {
            root._checkSelection()
        }
    }
    onMdItemsChanged: _checkSelection()

    ListView {
        id: view
        anchors.fill: parent
        clip: true
        model: root.mdItems
        boundsBehavior: Flickable.StopAtBounds
        currentIndex: -1
        highlightFollowsCurrentItem: false

        delegate: Item {
            id: row
            objectName: "row" + index
            readonly property bool lit: index === root.currentIndex || area.containsMouse
            readonly property bool editing: index === st.editing
            width: view.width
            height: root.rowHeight

            // Runs once the input has become enabled and editable.
            function startEditing() {
                if (!editing)
                    return
                Qt.callLater(function () {
                    if (!row.editing)
                        return
                    nameInput.forceActiveFocus()
                    nameInput.selectAll()
                })
            }
            onEditingChanged: startEditing()
            Component.onCompleted: startEditing()

            Image {
                anchors.bottom: parent.bottom
                width: parent.width
                height: 1
                source: root._srcLine
                visible: index < view.count - 1
            }
            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                acceptedButtons: Qt.LeftButton | Qt.RightButton
                onClicked: function (ev) {
                    if (ev.button === Qt.RightButton) {
                        root.listElementRightBtnClicked(index)
                        return
                    }
                    root.currentIndex = (root.currentIndex === index) ? -1 : index
                    root.listElementClicked(root.currentIndex)
                }
            }
            TextInput {
                id: nameInput
                objectName: "nameInput"
                x: 4
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - 8 - rightText.implicitWidth
                clip: true
                readOnly: !row.editing
                // Only the row being edited takes the mouse; otherwise clicks
                // go to the row.
                enabled: row.editing
                selectByMouse: true
                text: model.textX !== undefined ? model.textX : ""
                font.family: root._font
                font.pixelSize: root._size
                color: row.lit || row.editing ? root._colorOn : root._colorOff
                selectionColor: root._colorOn
                selectedTextColor: "#000000"
                onAccepted: {
                    if (!row.editing)
                        return
                    var i = index
                    var oldName = root.mdItems.get(i).textX
                    var newName = text
                    st.editing = -1
                    // A blank name would leave a row without a usable name:
                    // keep the old one and report nothing.
                    var blank = newName.trim() === ""
                    if (!blank)
                        root.mdItems.setProperty(i, "textX", newName)
                    text = Qt.binding(function () {
                        return model.textX !== undefined ? model.textX : ""
                    })
                    focus = false
                    if (!blank)
                        root.editFileName_completed(oldName, newName)
                }
                onActiveFocusChanged: {
                    if (activeFocus || !row.editing)
                        return
                    // Leaving without Enter keeps the stored name.
                    st.editing = -1
                    text = Qt.binding(function () {
                        return model.textX !== undefined ? model.textX : ""
                    })
                }
            }
            Text {
                id: rightText
                anchors.right: parent.right
                anchors.rightMargin: 4
                anchors.verticalCenter: parent.verticalCenter
                text: model.textR !== undefined ? model.textR : ""
                font.family: root._font
                font.pixelSize: root._size
                color: row.lit ? root._colorOn : root._colorOff
            }
        }
    }

    // Thin scroll bar, shown only when the rows do not fit; drag it to scroll.
    Rectangle {
        id: bar
        objectName: "scrollBar"
        readonly property real range: Math.max(0, view.contentHeight - view.height)
        visible: range > 0
        x: root.width - width
        width: 5
        height: visible ? Math.max(10, root.height * root.height / view.contentHeight) : 0
        y: range > 0 ? view.contentY / range * (root.height - height) : 0
        radius: 2
        color: root._colorOn
        opacity: 0.5
        MouseArea {
            anchors.fill: parent
            property real pressY: 0
            property real pressContentY: 0
            onPressed: function (ev) {
                pressY = mapToItem(root, ev.x, ev.y).y
                pressContentY = view.contentY
            }
            onPositionChanged: function (ev) {
                var track = root.height - bar.height
                if (track <= 0)
                    return
                var dy = mapToItem(root, ev.x, ev.y).y - pressY
                view.contentY = Math.max(0, Math.min(bar.range, pressContentY + dy * bar.range / track))
            }
        }
    }
    FocusMark {}
}
