// The keyboard settings slots of the view against the virtual keyboard: what
// the profile keeps, what goes on the wire, and what only the profile answers.

#include "bridges_ViewRig.h"

#include <QApplication>
#include <QTest>

namespace {

QVariantList counting(int n, int seed)
{
    QVariantList list;
    for (int i = 0; i < n; ++i)
        list.append((seed + i * 3) & 0xFF);
    return list;
}

QByteArray bytesOf(const QVariantList &list)
{
    QByteArray out;
    for (const QVariant &v : list)
        out.append(char(uchar(v.toInt())));
    return out;
}

} // namespace

class KeyboardBridgeTest : public QObject {
    Q_OBJECT
private slots:
    void ledTypeStoresLookAndSendsAllSix();
    void userPictureWithStoreOnlyOptionSendsNothing();
    void userPictureIsSentWithIndexAndOption();
    void keyMatrixStoresKeysZeroTo125AndSendsAll512();
    void keyOnOffFromShortListPadsWithZeros();
    void colourIsKeptAndReadFromTheProfileOnly();
    void optionsAndModesComeBackFromTheDevice();
    void keydefineFollowsTheCurrentDevice();
    void readsWithoutDeviceReturnZeros();
};

void KeyboardBridgeTest::ledTypeStoresLookAndSendsAllSix()
{
    BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
    rig.view->ui_08H_SetLEDType(2, 5, 3, 7, 1, 0);
    QVERIFY(rig.waitFrames(1));
    const auto frame = rig.dev->received().at(0).frame;
    QCOMPARE(frame[0], uchar(0x08));
    QCOMPARE(QList<uchar>({frame[1], frame[2], frame[3], frame[4], frame[5], frame[6]}),
             QList<uchar>({2, 5, 3, 7, 1, 0}));
    QCOMPARE(bridgesInts(rig.stored("color/ledType")), QList<int>({5, 3, 7, 1, 0}));
    QCOMPARE(bridgesInts(rig.view->ui_88H_GetLEDType()), QList<int>({5, 3, 7, 1, 0}));
}

void KeyboardBridgeTest::userPictureWithStoreOnlyOptionSendsNothing()
{
    BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
    const QVariantList picture = counting(512, 9);
    rig.view->ui_12H_SetUserPicture(3, 0xFF, picture);
    // A marker command: only it reaches the device.
    rig.view->ui_13H_SetRecoveryData();
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->received().size(), 1);
    QCOMPARE(rig.dev->received().at(0).frame[0], uchar(0x13));
    QCOMPARE(rig.dev->received().at(0).frame[1], uchar(0xFF));
    QCOMPARE(rig.stored("userPicture/3").toList().size(), 512);
    QCOMPARE(bytesOf(rig.view->ui_92H_GetUserPicture(3)), bytesOf(picture));
    QVERIFY(rig.view->ui_92H_GetUserPicture(4).isEmpty());
}

void KeyboardBridgeTest::userPictureIsSentWithIndexAndOption()
{
    BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
    QVariantList picture = counting(512, 1);
    picture[0] = 0x1FE; // low 8 bits go to the device
    rig.view->ui_12H_SetUserPicture(2, 1, picture);
    QVERIFY(rig.waitFrames(1));
    const auto frame = rig.dev->received().at(0).frame;
    QCOMPARE(frame[2], uchar(0x02));
    QCOMPARE(frame[3], uchar(0x08));
    QCOMPARE(frame[4], uchar(0x01));
    QByteArray expected = bytesOf(picture);
    QCOMPARE(rig.dev->userPicture(2), expected);
    QCOMPARE(uchar(expected.at(0)), uchar(0xFE));
}

void KeyboardBridgeTest::keyMatrixStoresKeysZeroTo125AndSendsAll512()
{
    BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
    const QVariantList matrix = counting(512, 4);
    rig.view->ui_0DH_SetKeyMatrix(matrix);
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->keyMatrix(), bytesOf(matrix)); // no reordering, last 8 bytes too
    QCOMPARE(bridgesInts(rig.stored("keydefine/0")), bridgesInts(matrix.mid(0, 4)));
    QCOMPARE(bridgesInts(rig.stored("keydefine/125")), bridgesInts(matrix.mid(500, 4)));
    QVERIFY(!rig.isStored("keydefine/126"));
    QVERIFY(!rig.isStored("keydefine_Z3/0"));
}

void KeyboardBridgeTest::keyOnOffFromShortListPadsWithZeros()
{
    BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
    rig.view->ui_0EH_SetKeyOnOff(bridgesList({1, 2, 3, 0x104}));
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->received().at(0).frame[3], uchar(0x15));
    QCOMPARE(rig.dev->keyOnOff(), bridgesBytes({1, 2, 3, 4}) + QByteArray(17, '\0'));
    QCOMPARE(rig.view->ui_8EH_GetKeyOnOff().size(), 21);
    QCOMPARE(rig.view->ui_8EH_GetKeyOnOff().at(3).toInt(), 4);
    // No profile record for the on/off table.
    QSettings file(rig.dir.filePath(QStringLiteral("modules/setting/p1.bin")), QSettings::IniFormat);
    QVERIFY(file.allKeys().isEmpty());
}

void KeyboardBridgeTest::colourIsKeptAndReadFromTheProfileOnly()
{
    BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
    rig.view->ui_14H_SetColor(3, 10, 200, 30);
    QVERIFY(rig.waitFrames(1));
    const auto frame = rig.dev->received().at(0).frame;
    QCOMPARE(QList<uchar>({frame[2], frame[3], frame[4], frame[5]}), QList<uchar>({3, 10, 200, 30}));
    QCOMPARE(bridgesInts(rig.stored("color/3")), QList<int>({10, 200, 30}));
    QCOMPARE(bridgesInts(rig.view->ui_94H_GetColor(3)), QList<int>({10, 200, 30}));
    QVERIFY(rig.view->ui_94H_GetColor(9).isEmpty());
    QVERIFY(rig.view->ui_88H_GetLEDType().isEmpty());
    QCOMPARE(rig.dev->received().size(), 1); // the reads asked the profile only
}

void KeyboardBridgeTest::optionsAndModesComeBackFromTheDevice()
{
    BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
    rig.view->ui_03H_SetKeyboardoption(1, 2, 3, 4);
    rig.view->ui_04H_SetButtonSensitivity(9, 8, 7, 6);
    rig.view->ui_09H_SetKeyboardMode(5);
    rig.view->ui_07H_SetControlIndicatorLight(2, 3);
    QVERIFY(rig.waitFrames(4));
    QCOMPARE(bridgesInts(rig.view->ui_83H_GetKeyboardoption()), QList<int>({1, 2, 3, 4}));
    QCOMPARE(bridgesInts(rig.view->ui_84H_GetButtonSensitivity()), QList<int>({9, 8, 7, 6}));
    QCOMPARE(rig.view->ui_89H_GetKeyboardMode().toInt(), 5);
    const auto indicator = rig.dev->received().at(3).frame;
    QCOMPARE(QList<uchar>({indicator[0], indicator[1], indicator[2]}), QList<uchar>({0x07, 2, 3}));

    const QVariantList matrix = counting(512, 77);
    rig.view->ui_0DH_SetKeyMatrix(matrix);
    QVERIFY(rig.waitFrames(8));
    QCOMPARE(bytesOf(rig.view->ui_8DH_GetKeyMatrix()), bytesOf(matrix));

    QByteArray macro(192, '\0');
    for (int i = 0; i < 192; ++i)
        macro[i] = char(uchar(i ^ 0x5A));
    rig.hid.hid_11H_SetMacroKey(4, reinterpret_cast<uchar *>(macro.data()));
    QVERIFY(rig.waitIdle());
    const QVariantList back = rig.view->ui_91H_GetMacroKey(4);
    QCOMPARE(back.size(), 192);
    QCOMPARE(bytesOf(back), macro);
}

void KeyboardBridgeTest::keydefineFollowsTheCurrentDevice()
{
    BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
    rig.view->ui_0DH_SetKeyMatrix(counting(512, 0));
    rig.view->ui_12H_SetKeyMatrix(counting(64, 100));
    QVERIFY(rig.waitIdle());
    // Device 1 is current: the mouse keys.
    QCOMPARE(bridgesInts(rig.view->getKeydefine(QVariant(5))), bridgesInts(counting(64, 100).mid(20, 4)));
    rig.hid.swichCurDevice(0);
    rig.waitIdle();
    QCOMPARE(bridgesInts(rig.view->getKeydefine(QVariant(5))), bridgesInts(counting(512, 0).mid(20, 4)));
    QCOMPARE(bridgesInts(rig.view->getKeydefine(QVariant(QStringLiteral("125")))),
             bridgesInts(counting(512, 0).mid(500, 4)));
}

void KeyboardBridgeTest::readsWithoutDeviceReturnZeros()
{
    BridgesViewRig rig(BridgesViewRig::Link::None);
    QCOMPARE(rig.view->ui_83H_GetKeyboardoption(), QVariantList(4, 0));
    QCOMPARE(rig.view->ui_84H_GetButtonSensitivity(), QVariantList(4, 0));
    QCOMPARE(rig.view->ui_89H_GetKeyboardMode().toInt(), 0);
    QCOMPARE(rig.view->ui_8DH_GetKeyMatrix(), QVariantList(512, 0));
    QCOMPARE(rig.view->ui_8EH_GetKeyOnOff(), QVariantList(21, 0));
    QCOMPARE(rig.view->ui_91H_GetMacroKey(1), QVariantList(192, 0));
    // Settings that the profile keeps are still kept.
    rig.view->ui_08H_SetLEDType(0, 1, 2, 3, 4, 5);
    rig.view->ui_0DH_SetKeyMatrix(QVariantList());
    QCOMPARE(bridgesInts(rig.stored("color/ledType")), QList<int>({1, 2, 3, 4, 5}));
    QCOMPARE(bridgesInts(rig.stored("keydefine/7")), QList<int>({0, 0, 0, 0}));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    KeyboardBridgeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keyboardbridge.moc"
