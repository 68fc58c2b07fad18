import QtQuick
import QtTest
import "../../modules/qml/Z3"

// The lighting page before it talks to the mouse: the effect list, the LED
// power flag and which controls each effect enables. (What the page sends is
// checked against the virtual mouse in the real-window scenarios.)
Item {
    id: top
    width: 1000
    height: 600

    Page_Color {
        id: page
    }

    TestCase {
        name: "Page_Color"
        when: windowShown

        function control(name, where) {
            var c = findChild(where === undefined ? page : where, name);
            verify(c !== null, name);
            return c;
        }

        function test_freshPage() {
            var fresh = createTemporaryObject(Qt.createComponent("../../modules/qml/Z3/Page_Color.qml"), top);
            verify(fresh !== null);
            compare(fresh.effectIndex, 0, "STATIC is the initial effect");
            compare(fresh.brightnessIndex, 7);
            compare(fresh.speedIndex, 4);
            verify(!fresh.ledPower, "the LED power flag starts clear");
            var list = control("effectList", fresh);
            verify(!list.enabled, "the effect list is disabled while the LED power flag is clear");
            compare(list.opacity, 0.2);
            verify(!control("brightness", fresh).enabled);
            verify(!control("speed", fresh).enabled);
            verify(!control("palette", fresh).enabled);
            compare(list.mdItems.count, 11);
            compare(list.mdItems.get(4).textX, "WAVE");
            compare(list.mdItems.get(10).textX, "OFF");
        }

        function test_controlsFollowEffect_data() {
            return [
                {tag: "STATIC", effect: 0, b: true, s: false, p: true},
                {tag: "TWINKLING", effect: 1, b: true, s: false, p: false},
                {tag: "BREATHING", effect: 2, b: false, s: true, p: true},
                {tag: "WAVE", effect: 4, b: true, s: true, p: false},
                {tag: "GLIDING", effect: 5, b: false, s: false, p: false},
                {tag: "SPOTLIGHT", effect: 9, b: true, s: true, p: true},
                {tag: "OFF", effect: 10, b: false, s: false, p: false}
            ];
        }
        function test_controlsFollowEffect(data) {
            page._showEffect({power: true, effect: data.effect, brightness: 3, speed: 0});
            verify(control("effectList").enabled);
            compare(page.effectIndex, data.effect);
            compare(control("brightness").enabled, data.b);
            compare(control("speed").enabled, data.s);
            compare(control("palette").enabled, data.p);
            compare(control("speed").opacity, data.s ? 1 : 0.2);
            page._showEffect({power: false, effect: data.effect, brightness: 3, speed: 0});
            verify(!control("brightness").enabled, "LED power off disables every control");
            verify(!control("effectList").enabled);
        }

        function test_effectPickedFromList() {
            page._showEffect({power: true, effect: 0, brightness: 7, speed: 4});
            var list = control("effectList");
            mouseClick(list);
            var drop = findChild(list, "dropArea");
            tryCompare(drop, "height", list._listHeight, 3000);
            mouseClick(findChild(list, "row4"));
            tryCompare(page, "effectIndex", 4, 3000);
            verify(control("speed").enabled, "WAVE enables the speed slider");
        }

        function test_labelsFollowStringList() {
            var strings = [];
            for (var i = 0; i < 125; ++i)
                strings.push("s" + i);
            top.globalSetting_stringList = strings;
            page.translateStrings();
            compare(control("effectList").mdItems.get(4).textX, "s15");
            compare(control("effectList").mdItems.get(10).textX, "s124");
            top.globalSetting_stringList = [];
            page.translateStrings();
            compare(control("effectList").mdItems.get(4).textX, "WAVE", "missing strings fall back to English");
        }
    }

    property var globalSetting_stringList: []
    property int animation_speed: 10
}
