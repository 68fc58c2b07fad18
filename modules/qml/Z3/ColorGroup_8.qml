import QtQuick
import "ColorMath.js" as ColorMath

// Eight colour entries with a colour strip and R/G/B fields. Used for the
// lighting palette and for the DPI indicator colours. In 8-colour mode the
// entries show one of the fixed colours (by color8_Id) and the strip and the
// fields are hidden. clicked(index) means: the user changed the colour of the
// current entry, so the owner sends the colours.
Item {
    id: group

    width: 320
    height: 118

    property int currentIndex: 0
    property int maxStage: 8
    property bool isCompat8Color: false
    property var color8_RGB: [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 255, 0, 255, 255, 255, 255, 0,
        255, 255, 255, 255, 127, 0]
    property alias modColors: _Model
    // Geometry of the strip, for callers that pick by position.
    property alias strip: _Strip

    signal clicked(int index)
    signal setTextInputFocus(bool isFocus)

    readonly property string _font: typeof globalSetting_fontFamily !== "undefined" ? globalSetting_fontFamily : "Arial"
    readonly property int _size: typeof globalSetting_size !== "undefined" ? globalSetting_size : 12
    readonly property color _textColor: typeof globalSetting_color_enable !== "undefined" ? globalSetting_color_enable : "#d0d0d0"
    readonly property color _accent: typeof globalSetting_color !== "undefined" ? globalSetting_color : "#00e0ff"

    ListModel {
        id: _Model
        ListElement { clrR: 255; clrG: 0; clrB: 0; color8_Id: 0 }
        ListElement { clrR: 0; clrG: 0; clrB: 255; color8_Id: 1 }
        ListElement { clrR: 0; clrG: 255; clrB: 0; color8_Id: 2 }
        ListElement { clrR: 255; clrG: 0; clrB: 255; color8_Id: 3 }
        ListElement { clrR: 255; clrG: 255; clrB: 0; color8_Id: 4 }
        ListElement { clrR: 0; clrG: 255; clrB: 255; color8_Id: 5 }
        ListElement { clrR: 255; clrG: 255; clrB: 255; color8_Id: 6 }
        ListElement { clrR: 0; clrG: 0; clrB: 0; color8_Id: 7 }
    }

    function setCurIndex(index) {
        if (index < 0 || index >= _Model.count)
            return;
        currentIndex = index;
        _showEntry();
    }

    function getCurIndex() {
        return currentIndex;
    }

    function setColor8_Id(index, id) {
        if (index < 0 || index >= _Model.count)
            return;
        _Model.setProperty(index, "color8_Id", Math.max(0, Math.min(7, id | 0)));
    }

    // Sets an entry's RGB without signalling (loading from a profile).
    function setColor(index, r, g, b) {
        if (index < 0 || index >= _Model.count)
            return;
        _Model.setProperty(index, "clrR", _channel(r));
        _Model.setProperty(index, "clrG", _channel(g));
        _Model.setProperty(index, "clrB", _channel(b));
        if (index === currentIndex)
            _showEntry();
    }

    // 24 values R, G, B of the 8 entries, and the 8 colour indexes.
    function rgbList() {
        return ColorMath.rgbList(_Model);
    }

    function colourIndexList() {
        return ColorMath.colourIndexList(_Model);
    }

    // Colour drawn for an entry: the fixed colour in 8-colour mode.
    function entryColor(index) {
        var row = _Model.get(index);
        if (!row)
            return "transparent";
        if (isCompat8Color) {
            var id = Math.max(0, Math.min(7, row.color8_Id | 0));
            return Qt.rgba(color8_RGB[3 * id] / 255, color8_RGB[3 * id + 1] / 255,
                           color8_RGB[3 * id + 2] / 255, 1);
        }
        return Qt.rgba(row.clrR / 255, row.clrG / 255, row.clrB / 255, 1);
    }

    // A click at x along the strip.
    function pickStrip(x) {
        var rgb = ColorMath.stripColor(ColorMath.stripPosition(x, _Strip.width));
        _fieldR.text = rgb[0];
        _fieldG.text = rgb[1];
        _fieldB.text = rgb[2];
        if (currentIndex >= 0 && currentIndex < 8)
            setColor(currentIndex, rgb[0], rgb[1], rgb[2]);
        clicked(currentIndex);
    }

    // Takes the three fields into the current entry. A field left empty keeps
    // the entry's value for that channel.
    function commitFields() {
        if (currentIndex < 0 || currentIndex >= _Model.count)
            return;
        var row = _Model.get(currentIndex);
        var r = ColorMath.parseChannel(_fieldR.text);
        var g = ColorMath.parseChannel(_fieldG.text);
        var b = ColorMath.parseChannel(_fieldB.text);
        setColor(currentIndex, r === null ? row.clrR : r, g === null ? row.clrG : g, b === null ? row.clrB : b);
        clicked(currentIndex);
    }

    function _channel(v) {
        var n = parseInt(v, 10);
        return isFinite(n) ? Math.max(0, Math.min(255, n)) : 0;
    }

    function _showEntry() {
        var row = _Model.get(currentIndex);
        if (!row)
            return;
        _fieldR.text = row.clrR;
        _fieldG.text = row.clrG;
        _fieldB.text = row.clrB;
    }

    property bool _committing: false
    function _fieldLeft() {
        if (_committing)
            return;
        _committing = true;
        commitFields();
        _committing = false;
    }

    onSetTextInputFocus: function (isFocus) {
        if (isFocus) {
            if (!isCompat8Color)
                _fieldR.forceActiveFocus();
            return;
        }
        // Losing focus commits the pending entry (through _fieldLeft).
        var fields = [_fieldR, _fieldG, _fieldB];
        for (var i = 0; i < fields.length; ++i) {
            if (fields[i].activeFocus)
                fields[i].focus = false;
        }
    }

    Connections {
        target: typeof mainIten !== "undefined" ? mainIten : null
        ignoreUnknownSignals: true
        function onEmptyAreaPressed() {
            group.setTextInputFocus(false);
        }
    }

    // The 8 entries.
    Row {
        id: _Entries
        x: 0
        y: 0
        spacing: 8
        Repeater {
            model: _Model
            delegate: Item {
                id: _Entry
                required property int index
                required property int clrR
                required property int clrG
                required property int clrB
                required property int color8_Id
                readonly property bool usable: index < group.maxStage
                readonly property int fixedId: Math.max(0, Math.min(7, color8_Id))
                width: 32
                height: 24
                Rectangle {
                    objectName: "entry" + _Entry.index
                    anchors.fill: parent
                    color: !_Entry.usable ? "transparent"
                         : group.isCompat8Color
                           ? Qt.rgba(group.color8_RGB[3 * _Entry.fixedId] / 255,
                                     group.color8_RGB[3 * _Entry.fixedId + 1] / 255,
                                     group.color8_RGB[3 * _Entry.fixedId + 2] / 255, 1)
                           : Qt.rgba(_Entry.clrR / 255, _Entry.clrG / 255, _Entry.clrB / 255, 1)
                    border.width: _Entry.usable ? (group.currentIndex === _Entry.index ? 2 : 1) : 0
                    border.color: group.currentIndex === _Entry.index ? group._accent : "#505050"
                }
                Text {
                    anchors.top: parent.bottom
                    anchors.topMargin: 1
                    anchors.horizontalCenter: parent.horizontalCenter
                    visible: _Entry.usable
                    text: _Entry.index + 1
                    font.family: group._font
                    font.pixelSize: 10
                    color: group.currentIndex === _Entry.index ? group._accent : group._textColor
                }
                MouseArea {
                    anchors.fill: parent
                    enabled: _Entry.usable
                    onClicked: group.setCurIndex(_Entry.index)
                }
            }
        }
    }

    // Colour strip.
    Rectangle {
        id: _Strip
        x: 0
        y: 44
        width: 313
        height: 18
        visible: !group.isCompat8Color
        border.width: 1
        border.color: "#505050"
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0.0; color: "#000000" }
            GradientStop { position: 0.125; color: "#ff0000" }
            GradientStop { position: 0.25; color: "#ffff00" }
            GradientStop { position: 0.375; color: "#00ff00" }
            GradientStop { position: 0.5; color: "#00ffff" }
            GradientStop { position: 0.625; color: "#0000ff" }
            GradientStop { position: 0.75; color: "#ff00ff" }
            GradientStop { position: 0.875; color: "#ffffff" }
            GradientStop { position: 1.0; color: "#000000" }
        }
        MouseArea {
            anchors.fill: parent
            onClicked: function (mouse) {
                group.pickStrip(mouse.x);
            }
        }
    }

    // R, G, B fields.
    component ChannelLabel: Text {
        width: 14
        height: 22
        verticalAlignment: Text.AlignVCenter
        font.family: group._font
        font.pixelSize: group._size
        color: group._textColor
    }
    component ChannelInput: TextInput {
        width: 44
        height: 22
        leftPadding: 4
        verticalAlignment: TextInput.AlignVCenter
        maximumLength: 3
        // 0..255 only: a keystroke that would go above 255 is refused.
        validator: RegularExpressionValidator { regularExpression: /^([01]?[0-9]?[0-9]|2[0-4][0-9]|25[0-5])?$/ }
        font.family: group._font
        font.pixelSize: group._size
        color: group._textColor
        selectByMouse: true
        clip: true
        onAccepted: group._fieldLeft()
        onActiveFocusChanged: {
            if (!activeFocus)
                group._fieldLeft();
        }
        Rectangle {
            anchors.fill: parent
            z: -1
            color: "#101418"
            border.width: 1
            border.color: parent.activeFocus ? group._accent : "#505050"
        }
    }
    property alias _fieldR: _inputR
    property alias _fieldG: _inputG
    property alias _fieldB: _inputB
    Row {
        id: _Fields
        x: 0
        y: 74
        spacing: 6
        visible: !group.isCompat8Color
        ChannelLabel { text: "R " }
        ChannelInput { id: _inputR; objectName: "fieldR"; text: "255" }
        Item { width: 10; height: 1 }
        ChannelLabel { text: "G " }
        ChannelInput { id: _inputG; objectName: "fieldG"; text: "0" }
        Item { width: 10; height: 1 }
        ChannelLabel { text: "B " }
        ChannelInput { id: _inputB; objectName: "fieldB"; text: "0" }
    }
}
