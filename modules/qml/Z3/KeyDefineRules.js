.pragma library

// Rules of the key definition page, apart from its controls so they can be
// checked on their own: what a 4-byte key-matrix entry shows, the menus'
// entries, fire-key arithmetic, macro slot allocation and the left-click guard.
// An entry is an array [b0, b1, b2, b3] of numbers.

var FUNC_KEYBOARD = 0;
var FUNC_MOUSE = 1;
var FUNC_MEDIA = 2;
var FUNC_COMBO = 3;
var FUNC_MACRO = 4;
var FUNC_FIRE = 5;
var FUNC_LED = 6;

var MACRO_SLOTS = 12;
var LEFT_CLICK = [0x01, 0x00, 0xF0, 0x00];

// Function menu: English text and UI string number.
var functions = [
    {name: "KEYBOARD", str: 46},
    {name: "MOUSE", str: 47},
    {name: "MEDIA", str: 48},
    {name: "COMBO KEY", str: 49},
    {name: "MACRO", str: 50},
    {name: "FIRE KEY", str: 93},
    {name: "LED CONTROL", str: 111}
];

// Mouse menu. "DPI +" and "DPI -" keep their English text: the string list has
// no entries of their own for them (115 is "OFF").
var mouseMenu = [
    {name: "LEFT", str: 51, entry: [0x01, 0x00, 0xF0, 0x00]},
    {name: "RIGHT", str: 52, entry: [0x01, 0x00, 0xF1, 0x00]},
    {name: "MIDDLE", str: 53, entry: [0x01, 0x00, 0xF2, 0x00]},
    {name: "BACKWARD", str: 54, entry: [0x01, 0x00, 0xF3, 0x00]},
    {name: "FORWARD", str: 55, entry: [0x01, 0x00, 0xF4, 0x00]},
    {name: "TRIPLE CLICK", str: 94, entry: [0x0A, 0xF0, 0x21, 0x03]},
    {name: "DPI +", str: -1, entry: [0x07, 0x00, 0x01, 0x00]},
    {name: "DPI -", str: -1, entry: [0x07, 0x00, 0x02, 0x00]},
    {name: "DPI SWITCH", str: 95, entry: [0x07, 0x00, 0x03, 0x00]},
    {name: "SCROLL UP", str: 109, entry: [0x04, 0x00, 0x01, 0x00]},
    {name: "SCROLL DOWN", str: 110, entry: [0x04, 0x00, 0x02, 0x00]}
];

// Media menu: consumer usages; strings 56 to 73 in order.
var mediaMenu = [
    {name: "NEXT TRACK", usage: 0x00B5},
    {name: "PREVIOUS TRACK", usage: 0x00B6},
    {name: "STOP", usage: 0x00B7},
    {name: "PLAY / PAUSE", usage: 0x00CD},
    {name: "MUTE", usage: 0x00E2},
    {name: "VOLUME UP", usage: 0x00E9},
    {name: "VOLUME DOWN", usage: 0x00EA},
    {name: "MEDIA SELECT", usage: 0x0183},
    {name: "MAIL", usage: 0x018A},
    {name: "CALCULATOR", usage: 0x0192},
    {name: "MY COMPUTER", usage: 0x0194},
    {name: "WWW SEARCH", usage: 0x0221},
    {name: "WWW HOME", usage: 0x0223},
    {name: "WWW BACK", usage: 0x0224},
    {name: "WWW FORWARD", usage: 0x0225},
    {name: "WWW STOP", usage: 0x0226},
    {name: "WWW REFRESH", usage: 0x0227},
    {name: "WWW FAVORITES", usage: 0x022A}
];
var MEDIA_FIRST_STRING = 56;

// Combination modifier menu: entry i > 0 is modifier bit i - 1.
var modifierMenu = ["×", "KEY【 L Ctrl 】", "KEY【 L Shift 】", "KEY【 L Alt 】", "KEY【 L Win 】",
                    "KEY【 R Ctrl 】", "KEY【 R Shift 】", "KEY【 R Alt 】", "KEY【 R Win 】"];

// Fire key mouse menu: codes 0xF0 + index, strings 51 to 55.
var fireMouseMenu = [
    {name: "LEFT", str: 51},
    {name: "RIGHT", str: 52},
    {name: "MIDDLE", str: 53},
    {name: "BACKWARD", str: 54},
    {name: "FORWARD", str: 55}
];

// Built-in defaults, used until the default profile has been read.
var builtInDefaults = [
    0x01, 0x00, 0xF0, 0x00, 0x01, 0x00, 0xF1, 0x00, 0x01, 0x00, 0xF2, 0x00, 0x01, 0x00, 0xF4, 0x00,
    0x01, 0x00, 0xF3, 0x00, 0x07, 0x00, 0x03, 0x00, 0x0B, 0x00, 0x00, 0x00, 0x07, 0x00, 0x03, 0x00,
    0x05, 0x00, 0x03, 0x00, 0x03, 0x00, 0x8A, 0x01, 0x03, 0x00, 0x23, 0x02, 0x03, 0x00, 0x94, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x01, 0x00, 0x04, 0x00, 0x02, 0x00
];

// Button drop-down before the layout strings are known.
var fallbackButtons = ["KEY １", "KEY ２", "KEY ３", "KEY ４", "KEY ５", "KEY ６", "KEY ７", "KEY ８", "KEY ９"];
var fallbackMapping = [0, 1, 2, 3, 4, 5, 6, 14, 15];

function toByte(v) {
    var n = parseInt(v, 10);
    return isFinite(n) ? (n & 0xFF) : 0;
}

// Integer in [lo, hi] from user text; fallback when it is not a number.
function toRange(v, lo, hi, fallback) {
    var n = parseInt(v, 10);
    if (!isFinite(n))
        return fallback;
    return Math.max(lo, Math.min(hi, n));
}

function sameEntry(a, b) {
    return a.length === 4 && b.length === 4 && a[0] === b[0] && a[1] === b[1] && a[2] === b[2] && a[3] === b[3];
}

// An entry read from the profile: exactly four numbers, else null.
function entryFrom(list) {
    if (!list || list.length !== 4)
        return null;
    var out = [];
    for (var i = 0; i < 4; ++i) {
        var n = parseInt(list[i], 10);
        if (!isFinite(n))
            return null;
        out.push(n & 0xFF);
    }
    return out;
}

// The 64 default numbers from the default profile, or null when it is not complete.
function defaultsFrom(list) {
    if (!list || list.length !== 64)
        return null;
    var out = [];
    for (var i = 0; i < 64; ++i) {
        var n = parseInt(list[i], 10);
        if (!isFinite(n))
            return null;
        out.push(n & 0xFF);
    }
    return out;
}

// Button drop-down rows and the button id of each row, from the 16 layout strings.
function buttonsFromLayout(strings) {
    var names = [];
    var ids = [];
    if (!strings || strings.length === undefined)
        return {names: fallbackButtons.slice(), ids: fallbackMapping.slice()};
    for (var i = 0; i < 16 && i < strings.length; ++i) {
        var s = strings[i];
        if (s !== undefined && s !== null && String(s) !== "") {
            names.push(String(s));
            ids.push(i);
        }
    }
    if (names.length === 0)
        return {names: fallbackButtons.slice(), ids: fallbackMapping.slice()};
    return {names: names, ids: ids};
}

// Lowest set bit of the low byte, 1-based; 0 when none.
function logByte(x) {
    var b = Number(x) & 0xFF;
    for (var i = 0; i < 8; ++i)
        if (b & (1 << i))
            return i + 1;
    return 0;
}

function modifierByte(index) {
    return index > 0 && index <= 8 ? (1 << (index - 1)) : 0;
}

// Fire interval byte to slider position 0..7, nearest step, halves upward.
function fireSpeedPosition(interval) {
    var v = Math.max(Number(interval), 10);
    var pos = 7 - Math.floor((v - 10) / 35 + 0.5);
    return Math.max(0, Math.min(7, pos));
}

// Slider position to fire interval byte; a slider showing no position counts
// as the fastest step it starts at.
function fireInterval(position) {
    var p = position < 0 || position > 7 ? 7 : position;
    return (7 - p) * 35 + 10;
}

function mediaIndexOf(usage) {
    for (var i = 0; i < mediaMenu.length; ++i)
        if (mediaMenu[i].usage === usage)
            return i;
    return -1;
}

function mediaEntry(index) {
    var u = mediaMenu[index].usage;
    return [0x03, 0x00, u & 0xFF, (u >> 8) & 0xFF];
}

function fireEntry(code, position, times) {
    return [0x0A, code & 0xFF, fireInterval(position), toRange(times, 0, 255, 0)];
}

// What the page shows for an entry. func is the function menu index (-1 for
// none); the other fields are the second-level controls (-1 = none, key codes
// -1 = empty box). Macro entries carry macroSlot (0..11) for the page to find
// the macro with that slot.
function keyCodeToUI(b0, b1, b2, b3) {
    var ui = {
        func: -1, keyboardKey: -1, mouse: -1, media: -1, modifier: 0, comboKey1: -1, comboKey2: -1,
        macroSlot: -1, playMode: 0, fireType: 0, fireMouse: -1, fireKey: -1, speed: -1, fireTimes: 10
    };
    switch (b0) {
    case 0x00:
        if (b1 === 0 && b2 !== 0 && b3 === 0) {
            ui.func = FUNC_KEYBOARD;
            ui.keyboardKey = b2;
        } else {
            ui.func = FUNC_COMBO;
            ui.modifier = logByte(b1);
            ui.comboKey1 = b2;
            ui.comboKey2 = b3;
        }
        break;
    case 0x01:
        if (b1 === 0 && b2 >= 0xF0 && b2 <= 0xF4 && b3 === 0) {
            ui.func = FUNC_MOUSE;
            ui.mouse = b2 - 0xF0;
        }
        break;
    case 0x03:
        if (b1 === 0 && b2 !== 0) {
            ui.func = FUNC_MEDIA;
            ui.media = mediaIndexOf(b3 * 256 + b2);
        }
        break;
    case 0x04:
        if (b1 === 0 && b3 === 0 && (b2 === 1 || b2 === 2)) {
            ui.func = FUNC_MOUSE;
            ui.mouse = b2 === 1 ? 9 : 10;
        }
        break;
    case 0x07:
        if (b1 === 0 && b3 === 0 && b2 >= 1 && b2 <= 3) {
            ui.func = FUNC_MOUSE;
            ui.mouse = b2 + 5;
        }
        break;
    case 0x09:
        ui.func = FUNC_MACRO;
        ui.playMode = b1 <= 2 ? b1 : 0;
        ui.macroSlot = b2 - 1;
        break;
    case 0x0A:
        if (b1 === 0xF0 && b2 === 0x21 && b3 === 0x03) {
            ui.func = FUNC_MOUSE;
            ui.mouse = 5;
            break;
        }
        ui.func = FUNC_FIRE;
        if (b1 >= 0xF0 && b1 <= 0xF4) {
            ui.fireType = 0;
            ui.fireMouse = b1 - 0xF0;
        } else {
            ui.fireType = 1;
            ui.fireKey = b1;
        }
        ui.speed = fireSpeedPosition(b2);
        ui.fireTimes = b3;
        break;
    case 0x0C:
        if (b1 === 0 && b2 === 0 && b3 === 0)
            ui.func = FUNC_LED;
        break;
    default:
        break;
    }
    return ui;
}

// Slots (0..11) used by macro entries among the 16 entries.
function usedSlots(entries) {
    var used = [];
    for (var i = 0; i < entries.length; ++i) {
        var e = entries[i];
        if (e[0] === 0x09 && e[3] === 0x00 && e[2] >= 1 && e[2] <= MACRO_SLOTS && used.indexOf(e[2] - 1) < 0)
            used.push(e[2] - 1);
    }
    return used;
}

function lowestFreeSlot(used) {
    for (var i = 0; i < MACRO_SLOTS; ++i)
        if (used.indexOf(i) < 0)
            return i;
    return -1;
}

// The slot a macro gets when it is bound: its own when it has one for this
// mouse, else the lowest free one; -1 when all 12 are taken.
function slotForMacro(configIndex, used) {
    if (configIndex >= 0 && configIndex < MACRO_SLOTS)
        return configIndex;
    return lowestFreeSlot(used);
}

// Whether a macro's slot should be given back: it holds a slot of this mouse
// that no entry uses. Macros without a slot here (unbound, or bound for the
// other device) are left as they are.
function slotIsOrphaned(configIndex, used) {
    return configIndex >= 0 && used.indexOf(configIndex) < 0;
}

// True when taking the function of `selectedId` would leave no shown button
// with the left click, so the user must confirm.
function needsLeftClickConfirm(entries, selectedId, shownIds) {
    if (selectedId < 0 || selectedId >= entries.length || !sameEntry(entries[selectedId], LEFT_CLICK))
        return false;
    var count = 0;
    for (var i = 0; i < shownIds.length; ++i) {
        var id = shownIds[i];
        if (id >= 0 && id < entries.length && sameEntry(entries[id], LEFT_CLICK))
            ++count;
    }
    return count <= 1;
}

// The 16 entries in button order, four numbers each.
function src64(entries) {
    var out = [];
    for (var i = 0; i < 16; ++i) {
        var e = i < entries.length ? entries[i] : [0, 0, 0, 0];
        for (var k = 0; k < 4; ++k)
            out.push(e[k] & 0xFF);
    }
    return out;
}

function defaultEntry(defaults, id) {
    return [defaults[4 * id], defaults[4 * id + 1], defaults[4 * id + 2], defaults[4 * id + 3]];
}
