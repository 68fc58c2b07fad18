.pragma library

// Arithmetic of the lighting and colour controls: which controls each effect
// uses, the brightness and speed codes the device expects, the colour strip,
// and the flat lists the colour commands take.

// Effect list, in list order. entry: index into the UI string list.
var effects = [
    {name: "STATIC", entry: 13, code: 0x01, brightness: true, speed: false, palette: true},
    {name: "TWINKLING", entry: 88, code: 0x02, brightness: true, speed: false, palette: false},
    {name: "BREATHING", entry: 14, code: 0x03, brightness: false, speed: true, palette: true},
    {name: "NEON", entry: 20, code: 0x04, brightness: false, speed: true, palette: false},
    {name: "WAVE", entry: 15, code: 0x05, brightness: true, speed: true, palette: false},
    {name: "GLIDING", entry: 89, code: 0x06, brightness: false, speed: false, palette: false},
    {name: "FINGER MOVING", entry: 90, code: 0x07, brightness: true, speed: false, palette: false},
    {name: "VERTICAL FLIPPING", entry: 91, code: 0x08, brightness: true, speed: true, palette: false},
    {name: "YO-YO", entry: 92, code: 0x09, brightness: true, speed: true, palette: true},
    {name: "SPOTLIGHT", entry: 24, code: 0x0A, brightness: true, speed: true, palette: true},
    {name: "OFF", entry: 124, code: 0x00, brightness: false, speed: false, palette: false}
];

var EFFECT_OFF = 10;

function effectAt(index) {
    var i = Number(index);
    return (i >= 0 && i < effects.length && Math.floor(i) === i) ? effects[i] : null;
}

function usesBrightness(index) {
    var e = effectAt(index);
    return e !== null && e.brightness;
}

function usesSpeed(index) {
    var e = effectAt(index);
    return e !== null && e.speed;
}

function usesPalette(index) {
    var e = effectAt(index);
    return e !== null && e.palette;
}

// Integer nearest to x, halves going up.
function near(x) {
    return Math.floor(x + 0.5);
}

// Brightness code: 0 when the effect has no brightness or the step is 0,
// else 45, 80, ..., 255 for steps 1..7.
function option1(effectIndex, brightness) {
    var b = Number(brightness);
    if (!usesBrightness(effectIndex) || !(b > 0))
        return 0;
    return 10 + 35 * Math.min(7, Math.floor(b));
}

// Speed code: per effect a range where step 0 (fastest on the slider) gives
// the largest code.
function option2(effectIndex, speed) {
    if (!usesSpeed(effectIndex))
        return 0;
    var s = Math.max(0, Math.min(7, Math.floor(Number(speed)) || 0));
    switch (effects[effectIndex].code) {
    case 0x03:
    case 0x04:
    case 0x05:
        return 1 + near((7 - s) * 9 / 7);
    case 0x08:
        return 10 + near((7 - s) * 10 / 7);
    case 0x09:
        return 5 + near((7 - s) * 10 / 7);
    case 0x0A:
        return 20 + near((7 - s) * 10 / 7);
    default:
        return 0;
    }
}

// What 0DH receives for the page state: [effect code, option1, option2].
// With the LED power off, or for "OFF", everything is 0.
function effectCommand(powerOn, effectIndex, brightness, speed) {
    if (!powerOn || Number(effectIndex) === EFFECT_OFF || effectAt(effectIndex) === null)
        return [0, 0, 0];
    return [Number(effectIndex) + 1, option1(effectIndex, brightness), option2(effectIndex, speed)];
}

// Stored (effect, brightness, speed) as the page reads it back. Only a list
// of exactly three counts; anything else leaves the page as it is (null).
function readStoredEffect(list) {
    if (!list || list.length !== 3)
        return null;
    var e = toInt(list[0]), b = toInt(list[1]), s = toInt(list[2]);
    return {
        power: (e | b | s) !== 0,
        effect: clamp(e, 0, effects.length - 1),
        brightness: clamp(b, 0, 7),
        speed: clamp(s, 0, 7)
    };
}

// The fixed colours of 8-colour mode, colour index 0..7.
var color8 = [[255, 0, 0], [0, 255, 0], [0, 0, 255], [255, 0, 255], [0, 255, 255], [255, 255, 0],
              [255, 255, 255], [255, 127, 0]];

function color8Rgb(id) {
    var i = clamp(toInt(id), 0, 7);
    return color8[i].slice();
}

// Click position along the strip (0..length-1) to 0..1.
function stripPosition(pos, length) {
    if (length <= 1)
        return 0;
    return clamp(pos, 0, length - 1) / (length - 1);
}

// Colour at strip position p (0..1): 8 segments black-red-yellow-green-cyan-
// blue-magenta-white-black.
function stripColor(p) {
    var k = Math.floor(p / 0.125);
    var f = p / 0.125 - k;
    var v = near(f * 255);
    switch (k) {
    case 0: return [v, 0, 0];
    case 1: return [255, v, 0];
    case 2: return [255 - v, 255, 0];
    case 3: return [0, 255, v];
    case 4: return [0, 255 - v, 255];
    case 5: return [v, 0, 255];
    case 6: return [255, v, 255];
    case 7: return [255 - v, 255 - v, 255 - v];
    default: return [0, 0, 0];
    }
}

// Text typed in an R/G/B field: a whole number 0..255, else null (keep the
// entry's value).
function parseChannel(text) {
    var t = String(text).trim();
    if (!/^[0-9]{1,3}$/.test(t))
        return null;
    var n = parseInt(t, 10);
    return n <= 255 ? n : null;
}

// ListModel rows {clrR, clrG, clrB, color8_Id} to the lists colour sets take.
function rgbList(model) {
    var out = [];
    for (var i = 0; i < 8; ++i) {
        var row = i < model.count ? model.get(i) : null;
        out.push(row ? row.clrR : 0, row ? row.clrG : 0, row ? row.clrB : 0);
    }
    return out;
}

function colourIndexList(model) {
    var out = [];
    for (var i = 0; i < 8; ++i) {
        var row = i < model.count ? model.get(i) : null;
        out.push(row ? row.color8_Id : 0);
    }
    return out;
}

// Splits the colour page's default list: 24 palette values, then effect,
// brightness, speed. A default profile missing one of the two lists yields
// only the other; the missing part is null.
function splitDefaults(configs) {
    var n = configs ? configs.length : 0;
    var d = {palette: null, effect: null};
    if (n >= 24) {
        d.palette = [];
        for (var i = 0; i < 24; ++i)
            d.palette.push(clamp(toInt(configs[i]), 0, 255));
    }
    var at = n === 27 ? 24 : (n === 3 ? 0 : -1);
    if (at >= 0) {
        d.effect = readStoredEffect([configs[at], configs[at + 1], configs[at + 2]]);
        // A reset switches the LED on only for a default effect other than the first.
        d.effect.power = toInt(configs[at]) !== 0;
    }
    return d;
}

function toInt(v) {
    var n = parseInt(v, 10);
    return isFinite(n) ? n : 0;
}

function clamp(v, lo, hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
