import QtQuick

// Stands in for the view bridge in scene tests: records what the scene asks
// of it and answers from the properties below. The real bridge is exercised
// by the real-window scenarios.
QtObject {
    property var calls: []
    property var apConfig: []
    property var saved: null
    property var languages: ({})
    property var strings: ({})
    property bool skinShow: true
    property string customPath: ""
    property bool audio: true

    function log(name, args) {
        var c = calls.slice()
        c.push([name].concat(Array.prototype.slice.call(args)))
        calls = c
    }
    function count(name) {
        return calls.filter(function (c) {
            return c[0] === name
        }).length
    }
    function last(name) {
        for (var i = calls.length - 1; i >= 0; --i)
            if (calls[i][0] === name)
                return calls[i]
        return null
    }
    function reset() {
        calls = []
    }

    function setEnabled(on) {
        log("setEnabled", arguments)
    }
    function playMedia_Index(i) {
        log("playMedia_Index", arguments)
    }
    function setEnableAudio(on) {
        audio = on
        log("setEnableAudio", arguments)
    }
    function clearAllMedia() {
        log("clearAllMedia", arguments)
    }
    function loadDeviceApConfig() {
        log("loadDeviceApConfig", arguments)
        return [8]
    }
    function getProductLayoutStrings_Z3(code) {
        log("getProductLayoutStrings_Z3", arguments)
        var out = []
        for (var i = 0; i < 16; ++i)
            out.push(code + "-key" + i)
        return out
    }
    function ui_02H_SetCurrentProfile(i) {
        log("ui_02H_SetCurrentProfile", arguments)
    }
    function loadProfile(i) {
        log("loadProfile", arguments)
    }
    function saveProfile(i) {
        log("saveProfile", arguments)
    }
    function resetProfile(i) {
        log("resetProfile", arguments)
    }
    function loadApConfig() {
        log("loadApConfig", arguments)
        return apConfig
    }
    function saveApConfig(list) {
        saved = list
        log("saveApConfig", arguments)
    }
    function resetApconfig() {
        log("resetApconfig", arguments)
    }
    function getIsSkinShow() {
        log("getIsSkinShow", arguments)
        return skinShow
    }
    function chkLanguages() {
        log("chkLanguages", arguments)
        return languages
    }
    function getGlobalStrings(code) {
        log("getGlobalStrings", arguments)
        return strings[code] !== undefined ? strings[code] : [""]
    }
    function getCustomFilePath() {
        log("getCustomFilePath", arguments)
        return customPath
    }
}
