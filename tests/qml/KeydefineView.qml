import QtQuick

// Stands in for the view bridge on the key definition and macro pages: keeps
// macro files in memory (name -> lines, index, repeat, did) with the library's
// rules, a profile of 16 entries, and records every call. The device side is
// checked by the real-window scenarios.
QtObject {
    property var calls: []
    property var macros: ({})
    property var profile: []
    property var defaults: []
    property bool answer: true
    property bool scrollSwap: false
    property int did: 1
    property int created: 0

    function log(name, args) {
        var c = calls.slice()
        c.push([name].concat(Array.prototype.slice.call(args)))
        calls = c
    }
    function named(name) {
        return calls.filter(function (c) {
            return c[0] === name
        })
    }
    function reset() {
        calls = []
    }
    function addMacro(name, index, repeat, lines) {
        var m = Object.assign({}, macros)
        m[name] = {lines: lines || [], index: index, repeat: repeat, did: index >= 0 ? did : -1}
        macros = m
    }

    function playMedia_Index(i) {
    }
    function setEnabled(on) {
        log("setEnabled", arguments)
    }
    function loadDefaultProfile(page) {
        log("loadDefaultProfile", arguments)
        return page === 0 ? defaults : []
    }
    function getKeydefine(i) {
        return profile[i] !== undefined ? profile[i] : []
    }
    function getScrollPinSwap() {
        return scrollSwap
    }
    function setScrollPinSwap(on) {
        log("setScrollPinSwap", arguments)
    }
    function ui_12H_SetKeyMatrix(src64) {
        log("ui_12H_SetKeyMatrix", arguments)
    }
    function ui_13H_SetMacroKey(id, name) {
        log("ui_13H_SetMacroKey", arguments)
    }
    function getMsgAns_FoolProofing() {
        log("getMsgAns_FoolProofing", arguments)
        return answer
    }
    function getMacroIniNames() {
        return Object.keys(macros).sort(function (a, b) {
            return a.toLowerCase() < b.toLowerCase() ? -1 : a.toLowerCase() > b.toLowerCase() ? 1 : 0
        }).map(function (n) {
            return n + ".bin"
        })
    }
    function loadMacroIniConfig(name) {
        var m = macros[name]
        if (m === undefined)
            return []
        return [m.did === did ? m.index : -1, m.repeat]
    }
    function setMacroIniConfig(name, config) {
        log("setMacroIniConfig", arguments)
        if (macros[name] === undefined)
            return
        var m = Object.assign({}, macros)
        m[name] = Object.assign({}, m[name], {index: config[0], repeat: config[1], did: did})
        macros = m
    }
    function createMacroIni() {
        log("createMacroIni", arguments)
        var n = "Macro. " + ("00" + (++created)).slice(-3)
        addMacro(n, -1, 1, [])
        return n
    }
    function loadMacroIni(name) {
        return macros[name] !== undefined ? macros[name].lines.slice() : []
    }
    function saveMacroIni(name, lines) {
        log("saveMacroIni", arguments)
        if (macros[name] === undefined)
            return false
        var m = Object.assign({}, macros)
        m[name] = Object.assign({}, m[name], {lines: lines.slice()})
        macros = m
        return true
    }
    function deleteMacroIni(name) {
        log("deleteMacroIni", arguments)
        if (macros[name] === undefined)
            return false
        var m = Object.assign({}, macros)
        delete m[name]
        macros = m
        return true
    }
    function renameMacroIniFile(oldName, newName) {
        log("renameMacroIniFile", arguments)
        if (macros[oldName] === undefined || macros[newName] !== undefined || /[\/\\:]/.test(newName))
            return
        var m = Object.assign({}, macros)
        m[newName] = m[oldName]
        delete m[oldName]
        macros = m
    }
    function loadMacroIniFromFile(name) {
        log("loadMacroIniFromFile", arguments)
    }
    function saveMacroIniToFile(name) {
        log("saveMacroIniToFile", arguments)
    }
}
