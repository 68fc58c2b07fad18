import QtQuick

// Stands in for the view bridge in scene tests: logs the calls the scene
// makes and answers from the properties below.
QtObject {
    property var calls: []
    property var apConfig: []
    property var saved: null
    property var languages: ({})
    property var strings: ({})
    property bool skinShow: true
    property string customPath: ""

    function log(name, args) {
        calls = calls.concat([[name].concat(Array.prototype.slice.call(args))])
    }
    function setEnabled(on) { log("setEnabled", arguments) }
    function playMedia_Index(i) { log("playMedia_Index", arguments) }
    function setEnableAudio(on) { log("setEnableAudio", arguments) }
    function clearAllMedia() { log("clearAllMedia", arguments) }
    function ui_02H_SetCurrentProfile(i) { log("ui_02H_SetCurrentProfile", arguments) }
    function loadProfile(i) { log("loadProfile", arguments) }
    function saveProfile(i) { log("saveProfile", arguments) }
    function resetProfile(i) { log("resetProfile", arguments) }
    function resetApconfig() { log("resetApconfig", arguments) }
    function saveApConfig(list) { saved = list }
    function loadDeviceApConfig() { return [8] }
    function getIsSkinShow() { return skinShow }
    function getCustomFilePath() { return customPath }
    function chkLanguages() { log("chkLanguages", arguments); return languages }
    function loadApConfig() { log("loadApConfig", arguments); return apConfig }
    function getGlobalStrings(code) {
        log("getGlobalStrings", arguments)
        return strings[code] !== undefined ? strings[code] : [""]
    }
    function getProductLayoutStrings_Z3(code) {
        log("getProductLayoutStrings_Z3", arguments)
        return Array.from({length: 16}, function (v, i) { return code + "-key" + i })
    }
}
