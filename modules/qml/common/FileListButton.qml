import QtQuick

// The drop-down box whose list is a FileList: opening asks the page to
// refill the list first; clicking the current element again clears the choice.
Item {
    id: root
    width: 141
    height: 21

    property ListModel mdItems: ListModel {}
    property int listHeight: 200
    readonly property bool isOpened: st.opened
    property alias fileList: list

    signal requestToUpdateList
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
    signal listClosed
    signal listElementClicked(int index)

    readonly property int _animUnit: typeof animation_speed !== "undefined" ? animation_speed : 800
    readonly property url _srcBox: typeof sourceSlider_BASE !== "undefined" ? sourceSlider_BASE : ""
    readonly property url _srcList: typeof sourceFilelist_BASE !== "undefined" ? sourceFilelist_BASE : ""
    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _colorOn: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#ffffff"
    readonly property color _colorOff: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#b4b4b4"
    readonly property string _optionsText: {
        var s = typeof globalSetting_stringList !== "undefined" && globalSetting_stringList
                ? globalSetting_stringList[1] : undefined
        return "【 " + (s !== undefined && s !== null && String(s) !== "" ? s : "OPTIONS") + " 】"
    }

    QtObject {
        id: st
        property bool opened: false
        property int revision: 0
    }
    Connections {
        target: root.mdItems
        function onDataChanged() {
            st.revision++
        }
        function onRowsInserted() {
            st.revision++
        }
        function onRowsRemoved() {
            st.revision++
        }
        function onModelReset() {
            st.revision++
        }
    }

    function setCurIndex(i) {
        list.currentIndex = i
    }
    function getCurIndex() {
        return list.currentIndex
    }
    function textAt(i) {
        if (!mdItems || i < 0 || i >= mdItems.count)
            return _optionsText
        var t = mdItems.get(i).textX
        return t === undefined || t === null ? "" : String(t)
    }
    readonly property string currentText: {
        st.revision
        return textAt(list.currentIndex)
    }

    function open() {
        if (st.opened)
            return
        st.opened = true
        closeAnim.stop()
        root.requestToUpdateList()
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
            width: parent.width
            height: root.listHeight
            y: drop.height - height
            Image {
                anchors.fill: parent
                source: root._srcList
            }
            FileList {
                id: list
                objectName: "fileList"
                anchors.fill: parent
                anchors.margins: 1
                mdItems: root.mdItems
                enabled: st.opened
                onListElementClicked: function (index) {
                    root.close()
                    root.listElementClicked(index)
                }
            }
        }
    }

    NumberAnimation {
        id: openAnim
        target: drop
        property: "height"
        to: root.listHeight
        duration: root._animUnit * 0.5
        easing.type: Easing.OutQuad
    }
    NumberAnimation {
        id: closeAnim
        target: drop
        property: "height"
        to: 0
        duration: root._animUnit * 0.5
        easing.type: Easing.OutQuad
        onFinished: root.listClosed()
    }
    FocusMark {}
}
