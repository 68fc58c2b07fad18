import QtQuick
import QtTest
import "../../modules/qml/Z3"

// The 8-entry colour editor, driven with real mouse and key events: entry
// selection, strip picks, the R/G/B fields, unusable entries and 8-colour mode.
Item {
    id: top
    width: 400
    height: 200

    ColorGroup_8 {
        id: group
        x: 10
        y: 10
    }

    SignalSpy {
        id: clickedSpy
        target: group
        signalName: "clicked"
    }

    TestCase {
        name: "ColorGroup_8"
        when: windowShown

        function init() {
            group.maxStage = 8;
            group.isCompat8Color = false;
            for (var i = 0; i < 8; ++i)
                group.setColor(i, 10 * i, 20 + i, 30 + i);
            group.setCurIndex(0);
            clickedSpy.clear();
            top.forceActiveFocus();
        }

        function entry(i) {
            return findChild(group, "entry" + i);
        }

        function fieldTexts() {
            return [group._fieldR.text, group._fieldG.text, group._fieldB.text];
        }

        function test_initialEntries() {
            var fresh = createTemporaryObject(Qt.createComponent("../../modules/qml/Z3/ColorGroup_8.qml"), top);
            verify(fresh !== null);
            compare(fresh.rgbList(), [255, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 255, 255, 255, 0, 0, 255, 255,
                                      255, 255, 255, 0, 0, 0]);
            compare(fresh.colourIndexList(), [0, 1, 2, 3, 4, 5, 6, 7]);
            compare(fresh.maxStage, 8);
            compare(fresh.isCompat8Color, false);
        }

        function test_clickSelectsWithoutSignal() {
            mouseClick(entry(3));
            compare(group.getCurIndex(), 3);
            compare(fieldTexts(), ["30", "23", "33"]);
            compare(clickedSpy.count, 0, "selecting an entry is not a colour change");
        }

        function test_stripPickChangesCurrentEntry() {
            mouseClick(entry(2));
            var strip = group.strip;
            // The middle of the strip is cyan.
            mouseClick(strip, (strip.width - 1) / 2, strip.height / 2);
            compare(clickedSpy.count, 1);
            compare(clickedSpy.signalArguments[0][0], 2);
            compare(fieldTexts(), ["0", "255", "255"]);
            compare(group.rgbList().slice(6, 9), [0, 255, 255]);
            compare(group.rgbList().slice(0, 3), [0, 20, 30], "other entries keep their colour");
            // The left end is black.
            mouseClick(strip, 0, strip.height / 2);
            compare(group.rgbList().slice(6, 9), [0, 0, 0]);
            compare(clickedSpy.count, 2);
        }

        function test_fieldsCommitOnEnter() {
            mouseClick(entry(1));
            group._fieldG.forceActiveFocus();
            group._fieldG.selectAll();
            keyClick(Qt.Key_1);
            keyClick(Qt.Key_2);
            keyClick(Qt.Key_8);
            keyClick(Qt.Key_Return);
            compare(group.rgbList().slice(3, 6), [10, 128, 31]);
            verify(clickedSpy.count >= 1);
            compare(clickedSpy.signalArguments[clickedSpy.count - 1][0], 1);
        }

        function test_fieldRejectsAbove255() {
            mouseClick(entry(0));
            group._fieldR.forceActiveFocus();
            group._fieldR.selectAll();
            keyClick(Qt.Key_3);
            keyClick(Qt.Key_0);
            keyClick(Qt.Key_0);
            compare(group._fieldR.text, "30", "the third digit of 300 is refused");
            group.setTextInputFocus(false);
            verify(!group._fieldR.activeFocus);
            compare(group.rgbList().slice(0, 3), [30, 20, 30]);
            compare(clickedSpy.count, 1, "dropping the focus commits the pending entry once");
        }

        function test_emptyFieldKeepsChannel() {
            mouseClick(entry(4));
            group._fieldB.forceActiveFocus();
            group._fieldB.selectAll();
            keyClick(Qt.Key_Delete);
            compare(group._fieldB.text, "");
            group.setTextInputFocus(false);
            compare(group.rgbList().slice(12, 15), [40, 24, 34]);
            compare(fieldTexts(), ["40", "24", "34"]);
        }

        function test_maxStageHidesAndBlocksEntries() {
            group.maxStage = 4;
            mouseClick(entry(5));
            compare(group.getCurIndex(), 0, "an entry beyond maxStage takes no clicks");
            compare(entry(5).color, Qt.rgba(0, 0, 0, 0));
            compare(entry(4).color, Qt.rgba(0, 0, 0, 0));
            verify(entry(3).color !== Qt.rgba(0, 0, 0, 0));
            mouseClick(entry(3));
            compare(group.getCurIndex(), 3);
        }

        function test_eightColourMode() {
            group.isCompat8Color = true;
            verify(!group.strip.visible);
            verify(!group._fieldR.visible);
            group.setColor8_Id(2, 7);
            compare(entry(2).color, Qt.rgba(1, 127 / 255, 0, 1), "entry drawn in the fixed colour of its index");
            group.setColor8_Id(2, 1);
            compare(entry(2).color, Qt.rgba(0, 1, 0, 1));
            compare(group.colourIndexList()[2], 1);
        }
    }
}
