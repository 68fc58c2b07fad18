.pragma library

// Arithmetic of the sensor page, kept apart from the controls so it can be
// checked on its own: report-rate codes, the DPI menus per sensor type, the
// DPI value to device code table, and the layout of the default-profile list.

// Report rate: index 0..3 of the button group stands for 125, 250, 500 and
// 1000 Hz; the device code is 1 << (3 - index).
function reportRateCode(index) {
    var i = clamp(toInt(index), 0, 3);
    return 1 << (3 - i);
}

// 4 - (1-based position of the lowest set bit), clamped to 0..3. A code of 0
// (nothing stored yet) reads as 1000 Hz.
function reportRateIndex(code) {
    var c = toInt(code) & 0xff;
    var pos = 0;
    if (c !== 0) {
        pos = 1;
        while ((c & 1) === 0) {
            c >>= 1;
            ++pos;
        }
    }
    return clamp(4 - pos, 0, 3);
}

// DPI stage number 1..8 as stored on the device to the button index 0..7.
function stageIndex(stage) {
    return clamp(toInt(stage) - 1, 0, 7);
}

// The stage (index 0..7) that can be current when stage `index` may have
// been switched off: itself while it is in use (a value above 0 and below
// maxStage), else the nearest lower stage in use, else the nearest higher
// one; -1 when no stage is in use. While no values are known (an empty
// list) the stage is kept as it is.
function stageInUse(values, index, maxStage) {
    var n = clamp(toInt(maxStage), 0, 8);
    var i = clamp(toInt(index), 0, 7);
    if (!values || values.length === 0)
        return i;
    var used = function (k) {
        return k < n && k < values.length && toNonNegative(values[k]) > 0;
    };
    if (used(i))
        return i;
    for (var lower = i - 1; lower >= 0; --lower)
        if (used(lower))
            return lower;
    for (var higher = i + 1; higher < 8; ++higher)
        if (used(higher))
            return higher;
    return -1;
}

// The values each stage's menu offers; 0 is "stage not in use".
var menuValues = [
    [0, 250, 500, 750, 1000, 1250, 1500, 1750, 2000, 2500, 3000, 3500, 4000],
    [0, 500, 1000, 1750, 2000, 2500, 3000, 3500, 4000, 5000, 6000, 7000],
    [0, 250, 500, 750, 1000, 1250, 1500, 1750, 2000, 2500, 2750],
    [0, 600, 800, 1000, 1200, 1600, 2000, 2400, 2800, 3200, 3600, 4000, 4500, 5000, 6000, 7000, 8000, 10000]
];

var defaultValues = [
    [500, 1000, 1500, 2000, 0, 0, 0, 0],
    [1000, 2500, 3500, 7000, 0, 0, 0, 0],
    [500, 1000, 1500, 2500, 0, 0, 0, 0],
    [1000, 2000, 4000, 8000, 0, 0, 0, 0]
];

// Device codes per sensor type; a value missing here is not usable on that
// sensor and goes out as 0x80 (stage not in use).
var codeTable = [
    {250: 0x01, 500: 0x02, 750: 0x03, 1000: 0x04, 1250: 0x05, 1500: 0x06, 1750: 0x07, 2000: 0x08,
     2500: 0x45, 3000: 0x46, 3500: 0x47, 4000: 0x48},
    {500: 0x02, 1000: 0x04, 1750: 0x07, 2000: 0x08, 2500: 0x0A, 3000: 0x0C, 3500: 0x0E, 4000: 0x48,
     5000: 0x4A, 6000: 0x4C, 7000: 0x4E},
    {250: 0x02, 500: 0x04, 750: 0x06, 1000: 0x08, 1250: 0x0A, 1500: 0x46, 1750: 0x47, 2000: 0x48,
     2500: 0x4A, 2750: 0x4B},
    {600: 0x05, 800: 0x07, 1000: 0x09, 1200: 0x0B, 1600: 0x0F, 2000: 0x13, 2400: 0x17, 2800: 0x1B,
     3200: 0x1F, 3600: 0x23, 4000: 0x27, 4500: 0x2C, 5000: 0x31, 6000: 0x5D, 7000: 0x62, 8000: 0x67,
     10000: 0x71}
];

var STAGE_UNUSED = 0x80;

function isKnownType(sensorType) {
    var t = Number(sensorType);
    return t === 0 || t === 1 || t === 2 || t === 3;
}

function menuCounter(sensorType) {
    return isKnownType(sensorType) ? menuValues[Number(sensorType)].length : 0;
}

// A fresh copy each time: the controls write into what they are given.
function menuFor(sensorType) {
    return isKnownType(sensorType) ? menuValues[Number(sensorType)].slice() : [];
}

function defaultsFor(sensorType) {
    return isKnownType(sensorType) ? defaultValues[Number(sensorType)].slice()
                                   : [0, 0, 0, 0, 0, 0, 0, 0];
}

// One DPI value (number or stored text) to its device code.
function dpiCode(sensorType, value) {
    if (!isKnownType(sensorType))
        return STAGE_UNUSED;
    var v = Number(value);
    if (!isFinite(v) || v <= 0 || Math.floor(v) !== v)
        return STAGE_UNUSED;
    var code = codeTable[Number(sensorType)][v];
    return code === undefined ? STAGE_UNUSED : code;
}

// The 8 stage codes for 11H; stages without a value (short or sparse lists)
// are not in use.
function dpiValueToDpiSet(sensorType, values) {
    var out = [];
    for (var i = 0; i < 8; ++i)
        out.push(dpiCode(sensorType, values && i < values.length ? values[i] : 0));
    return out;
}

// Stored DPI values come back as texts; the page keeps numbers. The length is
// kept (an empty stored list stays empty), unreadable items become 0.
function normaliseStoredValues(values) {
    var out = [];
    if (!values)
        return out;
    for (var i = 0; i < values.length && i < 8; ++i)
        out.push(toNonNegative(values[i]));
    return out;
}

// The list that goes to the profile and the device after a menu pick: always
// 8 numbers, so a stage picked on a fresh profile does not leave holes.
function completeValues(values) {
    var out = [];
    for (var i = 0; i < 8; ++i)
        out.push(values && i < values.length ? toNonNegative(values[i]) : 0);
    return out;
}

// Splits the default-profile list of the sensor page. Complete lists have 45
// items; a default profile missing its lists gives only the integers, so the
// DPI values, the stage (whose position then shifts) and the colours are
// reported absent rather than read from the wrong places.
function splitDefaults(configs) {
    var n = configs ? configs.length : 0;
    var d = {valid: n >= 4, complete: n >= 45, rate: 0, sliders: [5, 2, 5], dpi: [], stage: 2,
             rgb: [], colourIndexes: []};
    if (!d.valid)
        return d;
    d.rate = toInt(configs[0]);
    d.sliders = [clamp(toInt(configs[1]), 0, 10), clamp(toInt(configs[2]), 0, 10),
                 clamp(toInt(configs[3]), 0, 10)];
    if (!d.complete)
        return d;
    for (var i = 0; i < 8; ++i)
        d.dpi.push(toNonNegative(configs[4 + i]));
    d.stage = toInt(configs[12]);
    for (var j = 0; j < 24; ++j)
        d.rgb.push(clamp(toInt(configs[13 + j]), 0, 255));
    for (var k = 0; k < 8; ++k)
        d.colourIndexes.push(clamp(toInt(configs[37 + k]), 0, 7));
    return d;
}

function toInt(v) {
    var n = parseInt(v, 10);
    return isFinite(n) ? n : 0;
}

function toNonNegative(v) {
    var n = Number(v);
    return isFinite(n) && n > 0 ? Math.floor(n) : 0;
}

function clamp(v, lo, hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
