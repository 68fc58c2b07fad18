import QtQuick
import QtTest
import "../../modules/qml/Z3"

// The sensor page before it talks to the mouse: initial controls, the menus
// per sensor type, the stage limit in both groups and 8-colour mode. (What
// the page sends is checked against the virtual mouse in the real-window
// scenarios.)
Item {
    id: top
    width: 1000
    height: 600

    Page_Sensor {
        id: page
    }

    TestCase {
        name: "Page_Sensor"
        when: windowShown

        function init() {
            page.sensorType = 0;
            page.dpiMAXStage = 8;
            page.isLogoLedWork = false;
        }

        function test_initialControls() {
            var fresh = createTemporaryObject(Qt.createComponent("../../modules/qml/Z3/Page_Sensor.qml"), top);
            verify(fresh !== null);
            compare(fresh.reportRate.currentIndex, 2);
            compare(fresh.reportRate.valueForIndex, ["125 Hz", "250 Hz", "500 Hz", "1000 Hz"]);
            compare([fresh.cursorSpeed.currentIndex, fresh.scrollLines.currentIndex, fresh.doubleClick.currentIndex],
                    [5, 2, 5]);
            compare(fresh.dpiLevel.currentIndex, 1);
            compare(fresh.dpiLevel.valueForIndex, [500, 1000, 1500, 2000, 0, 0, 0, 0]);
            compare(fresh.dpiValueToDpiSet(), [0x02, 0x04, 0x06, 0x08, 0x80, 0x80, 0x80, 0x80]);
        }

        function test_menuPerSensorType() {
            page.sensorType = 3;
            compare(page.dpiLevel.menuCounter, 18);
            compare(page.dpiLevel.valueForMenuIndex[17], 10000);
            page.dpiLevel.valueForIndex = [600, 10000, 250, 0];
            compare(page.dpiValueToDpiSet(), [0x05, 0x71, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80]);
            page.sensorType = 9;
            compare(page.dpiLevel.menuCounter, 0);
            compare(page.dpiValueToDpiSet(), [0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80]);
        }

        function test_stageLimitInBothGroups() {
            page.dpiLevel.valueForIndex = [500, 1000, 1500, 2000, 250, 750, 1250, 1750];
            page.dpiMAXStage = 4;
            compare(page.dpiLevel.maxStage, 4);
            compare(page.indicatorColors.maxStage, 4);
            for (var i = 0; i < 8; ++i) {
                compare(findChild(page.dpiLevel, "button" + i).visible, i < 4, "DPI stage " + (i + 1));
                var entry = findChild(page.indicatorColors, "entry" + i);
                compare(entry.color.a, i < 4 ? 1 : 0, "colour entry " + (i + 1));
            }
        }

        function test_eightColourMode() {
            var row = findChild(page, "fixedColour7");
            verify(!row.visible);
            page.isLogoLedWork = true;
            verify(page.indicatorColors.isCompat8Color);
            verify(row.visible);
            verify(!page.indicatorColors.strip.visible);
            compare(row.color, Qt.rgba(1, 127 / 255, 0, 1));
        }
    }
}
