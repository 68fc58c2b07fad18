import QtQuick

// The view bridge for the key and macro pages: macros in memory (did 1 is this mouse), a log of writes.
QtObject {
    property var calls: []
    property var macros: ({})
    property var profile: []
    property var defaults: []
    property bool answer: true
    property bool scrollSwap: false

    function log(name, args) { calls = calls.concat([[name].concat(Array.prototype.slice.call(args))]) }
    function addMacro(name, index, lines, did) {
        macros[name] = {lines: lines, index: index, repeat: 1, did: did === undefined ? 1 : did}
    }
    function playMedia_Index(i) {}
    function loadDefaultProfile(page) { return page === 0 ? defaults : [] }
    function getKeydefine(i) { return profile[i] !== undefined ? profile[i] : [] }
    function getScrollPinSwap() { return scrollSwap }
    function setScrollPinSwap(on) { log("setScrollPinSwap", arguments) }
    function ui_12H_SetKeyMatrix(src64) { log("ui_12H_SetKeyMatrix", arguments) }
    function ui_13H_SetMacroKey(id, name) { log("ui_13H_SetMacroKey", arguments) }
    function getMsgAns_FoolProofing() { log("getMsgAns_FoolProofing", arguments); return answer }
    function getMacroIniNames() { return Object.keys(macros).sort().map(function (n) { return n + ".bin" }) }
    function loadMacroIniConfig(name) {
        var m = macros[name]
        return m === undefined ? [] : [m.did === 1 ? m.index : -1, m.repeat]
    }
    function setMacroIniConfig(name, config) {
        log("setMacroIniConfig", arguments)
        if (macros[name] !== undefined)
            macros[name] = {lines: macros[name].lines, index: config[0], repeat: config[1], did: 1}
    }
    function loadMacroIni(name) { return macros[name] !== undefined ? macros[name].lines.slice() : [] }
    function saveMacroIni(name, lines) {
        if (macros[name] !== undefined)
            macros[name].lines = lines.slice()
        return macros[name] !== undefined
    }
}
