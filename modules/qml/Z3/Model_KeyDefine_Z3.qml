import QtQuick
import "KeyDefineRules.js" as Rules

// The 16 key-matrix entries of the mouse's buttons, the selected row of the
// button drop-down and the defaults a reset goes back to; draws the product
// picture.
Item {
    id: model
    width: 82
    height: 171

    // One element per button id, roles keyCode0..keyCode3.
    property ListModel entries: ListModel {}
    // Index in the button drop-down, -1 when none.
    property int curKeyMatrix: -1
    // 16 entries of 4 numbers; the default profile replaces them at start.
    property var keyCode_Default: Rules.builtInDefaults.slice()

    function getKey(id) {
        return id >= 0 && id < entries.count ? entries.get(id) : null;
    }

    function entry(id) {
        var e = getKey(id);
        return e ? [e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3] : [0, 0, 0, 0];
    }

    function setEntry(id, bytes) {
        if (id < 0 || id >= entries.count)
            return;
        entries.set(id, {
            keyCode0: bytes[0] & 0xFF,
            keyCode1: bytes[1] & 0xFF,
            keyCode2: bytes[2] & 0xFF,
            keyCode3: bytes[3] & 0xFF
        });
    }

    function allEntries() {
        var out = [];
        for (var i = 0; i < entries.count; ++i)
            out.push(entry(i));
        return out;
    }

    Component.onCompleted: {
        for (var i = 0; i < 16; ++i)
            entries.append({keyCode0: 0, keyCode1: 0, keyCode2: 0, keyCode3: 0});
    }

    // The picture is 102 x 191, drawn 10 pixels left of and 20 above the model.
    Image {
        x: -10
        y: -20
        width: 102
        height: 191
        source: typeof sourceModel_Z3_KeyDefine !== "undefined" ? sourceModel_Z3_KeyDefine : ""
        fillMode: Image.PreserveAspectFit
    }
}
