import QtQuick

// One-line box with a list that slides down under it. Shows the textX of the
// current element of mdItems, or the "options" placeholder when none is chosen.
Item {
    id: root
    width: 141
    height: 21

    property ListModel mdItems: ListModel {}
    property alias defaultIndex: st.curIndex
    readonly property bool isOpened: st.opened

    signal listOpened

    activeFocusOnTab: true
    Accessible.role: Accessible.ComboBox
    Accessible.name: currentText
    Accessible.focusable: true
    Accessible.onPressAction: st.opened ? close() : open()
    Keys.onSpacePressed: st.opened ? close() : open()
    Keys.onReturnPressed: st.opened ? close() : open()
    Keys.onEnterPressed: st.opened ? close() : open()
    Keys.onEscapePressed: close()
    Keys.onUpPressed: _choose(st.curIndex - 1)
    Keys.onDownPressed: _choose(st.curIndex + 1)
    function _choose(i) {
        if (!mdItems || i < 0 || i >= mdItems.count || !enabled)
            return
        st.curIndex = i
        close()
        listElementClicked(i)
    }
    signal listClosed
    signal listElementClicked(int index)

    readonly property int _animUnit: typeof animation_speed !== "undefined" ? animation_speed : 800
    readonly property url _srcBox: typeof sourceSlider_BASE !== "undefined" ? sourceSlider_BASE : ""
    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _colorOn: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#ffffff"
    readonly property color _colorOff: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"
    readonly property string _optionsText: {
        var s = typeof globalSetting_stringList !== "undefined" && globalSetting_stringList
                ? globalSetting_stringList[1] : undefined
        return "【 " + (s !== undefined && s !== null && String(s) !== "" ? s : "OPTIONS") + " 】"
    }
    // Rows overlap by one pixel.
    readonly property real _rowPitch: height - 1
    readonly property real _listHeight: mdItems ? mdItems.count * _rowPitch + 1 : 0

    QtObject {
        id: st
        property int curIndex: -1
        property bool opened: false
        property int revision: 0
    }

    Connections {
        target: root.mdItems
        function onDataChanged() {
            st.revision++
        }
        function onRowsInserted() {
            root._countChanged()
        }
        function onRowsRemoved() {
            root._countChanged()
        }
        function onRowsMoved() {
            st.revision++
        }
        function onModelReset() {
            root._countChanged()
        }
    }

    // Keeps an open list sized to its model.
    function _countChanged() {
        st.revision++
        if (st.opened && !openAnim.running)
            drop.height = _listHeight
    }

    function setCurIndex(i) {
        st.curIndex = i
    }
    function getCurIndex() {
        return st.curIndex
    }
    function textAt(i) {
        if (!mdItems || i < 0 || i >= mdItems.count)
            return _optionsText
        var t = mdItems.get(i).textX
        return t === undefined || t === null ? "" : String(t)
    }
    readonly property string currentText: {
        st.revision
        return textAt(st.curIndex)
    }

    function open() {
        if (st.opened)
            return
        st.opened = true
        closeAnim.stop()
        root.listOpened()
        openAnim.restart()
    }
    function close() {
        if (!st.opened)
            return
        st.opened = false
        openAnim.stop()
        closeAnim.restart()
    }

    Image {
        anchors.fill: parent
        source: root._srcBox
    }
    Text {
        objectName: "boxText"
        anchors.left: parent.left
        anchors.leftMargin: 6
        anchors.right: arrow.left
        anchors.verticalCenter: parent.verticalCenter
        elide: Text.ElideRight
        text: root.currentText
        font.family: root._font
        font.pixelSize: root._size
        color: boxArea.containsMouse || st.opened ? root._colorOn : root._colorOff
    }
    Text {
        id: arrow
        anchors.right: parent.right
        anchors.rightMargin: 5
        anchors.verticalCenter: parent.verticalCenter
        text: "▼"
        font.family: root._font
        font.pixelSize: 9
        color: root._colorOff
    }
    MouseArea {
        id: boxArea
        anchors.fill: parent
        hoverEnabled: true
        onClicked: st.opened ? root.close() : root.open()
    }

    Item {
        id: drop
        objectName: "dropArea"
        y: root.height - 1
        width: root.width
        height: 0
        clip: true
        visible: height > 0

        Item {
            id: rows
            width: parent.width
            height: root._listHeight
            y: drop.height - height
            Repeater {
                model: root.mdItems
                Item {
                    objectName: "row" + index
                    readonly property bool lit: rowArea.containsMouse || index === st.curIndex
                    y: index * root._rowPitch
                    width: rows.width
                    height: root.height
                    Image {
                        anchors.fill: parent
                        source: root._srcBox
                    }
                    Text {
                        anchors.left: parent.left
                        anchors.leftMargin: 6
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        elide: Text.ElideRight
                        text: model.textX !== undefined ? model.textX : ""
                        font.family: root._font
                        font.pixelSize: root._size
                        color: parent.lit ? root._colorOn : root._colorOff
                    }
                    MouseArea {
                        id: rowArea
                        anchors.fill: parent
                        hoverEnabled: true
                        enabled: st.opened
                        onClicked: {
                            st.curIndex = index
                            root.close()
                            root.listElementClicked(index)
                        }
                    }
                }
            }
        }
    }

    NumberAnimation {
        id: openAnim
        target: drop
        property: "height"
        to: root._listHeight
        duration: root._animUnit * (0.1 + 0.05 * (root.mdItems ? root.mdItems.count : 0))
        easing.type: Easing.OutQuad
    }
    NumberAnimation {
        id: closeAnim
        target: drop
        property: "height"
        to: 0
        duration: root._animUnit * (0.1 + 0.05 * (root.mdItems ? root.mdItems.count : 0))
        easing.type: Easing.OutQuad
        onFinished: root.listClosed()
    }
    FocusMark {}
}
