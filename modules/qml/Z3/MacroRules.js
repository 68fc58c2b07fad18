.pragma library

// Rules of the macro page, apart from its controls: action-line tags, where an
// added action goes, the delay box's value and the scrapbook after a paste.

var TAG_DOWN = "    [Down]";
var TAG_UP = "      [Up]";
var TAG_DELAY = "   [Delay]";
var TAG_LENGTH = 10;

var DELAY_MIN = 10;
var DELAY_MAX = 65535;
var DELAY_START = 1000;

// Mouse drop-down: entry i stands for button code 0xF0 + i.
var mouseEntries = ["MOUSE【 LEFT 】", "MOUSE【 RIGHT 】", "MOUSE【 MIDDLE 】", "MOUSE【 BACKWARD 】", "MOUSE【 FORWARD 】"];

// The bracketed command right-aligned in ten characters.
function tag(command) {
    var s = "          [" + command + "]";
    return s.substring(s.length - TAG_LENGTH);
}

// An action line split into its value (textX) and its tag (textR).
function splitLine(line) {
    var s = line === undefined || line === null ? "" : String(line);
    if (s.length <= TAG_LENGTH)
        return {textX: "", textR: s};
    return {textX: s.substring(0, s.length - TAG_LENGTH), textR: s.substring(s.length - TAG_LENGTH)};
}

function joinLine(textX, textR) {
    return String(textX) + String(textR);
}

// Where an added action goes: before the selected action, else at the end.
function insertPosition(selected, count) {
    return selected >= 0 && selected < count ? selected : count;
}

// The delay box's value for the typed text: at least 10 ms, at most 65535.
function delayValue(text) {
    var n = parseInt(text, 10);
    if (!isFinite(n))
        n = 0;
    return Math.max(DELAY_MIN, Math.min(DELAY_MAX, n));
}

// The scrapbook after a paste: a cut line is pasted once, a copied one any
// number of times.
function scrapbookAfterPaste(scrapbook, isUnlimitedCopy) {
    return isUnlimitedCopy ? scrapbook : "";
}

// Lines a recorded key event adds: none for a code without a name.
function recordedLine(name, isDown) {
    if (name === undefined || name === null || String(name) === "")
        return null;
    return {textX: String(name), textR: isDown ? TAG_DOWN : TAG_UP};
}

// Context menu position for a right click on row `index` of the file list.
function contextMenuPos(index, contentY) {
    return {x: 119 - 45, y: 20 * index - contentY + 40};
}
