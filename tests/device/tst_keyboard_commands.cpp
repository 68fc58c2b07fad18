// Every keyboard command on the wire through the virtual keyboard (shown to
// the link as the product row): frames, 65-byte interrupt reports, values
// read back from the device's state, and the pre-fills without an answer.

#include "LinkFixture.h"

#include <QTest>

#include <functional>

namespace {

struct SetCase {
    std::function<void(Hid_Thread &)> call;
    QByteArray frame; // B0..B7 before scrambling
    QByteArray block; // data bytes that must follow in 65-byte reports
    std::function<bool(const VirtualDevice &)> stored;
};

struct GetCase {
    std::function<void(Hid_Thread &)> prime;
    std::function<QString(Hid_Thread &)> get; // empty text = outputs as expected
    QByteArray frame;
};

constexpr int kKeyboardReport = 64;

template <size_t N> QByteArray arr(const std::array<uchar, N> &a)
{
    return QByteArray(reinterpret_cast<const char *>(a.data()), int(N));
}

uchar *raw(QByteArray &b)
{
    return reinterpret_cast<uchar *>(b.data());
}

QString four(uchar a, uchar b, uchar c, uchar d)
{
    return QString::fromLatin1(arr(std::array<uchar, 4>{a, b, c, d}).toHex());
}

} // namespace

Q_DECLARE_METATYPE(SetCase)
Q_DECLARE_METATYPE(GetCase)

class KeyboardCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void discoveredAsProductRow();
    void setCommands_data();
    void setCommands();
    void getCommands_data();
    void getCommands();
    void prefillWhenDeviceDoesNotAnswer();

private:
    QTemporaryDir m_dir;
    QString m_table;
};

void KeyboardCommandsTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_table = writeKeyboardTable(m_dir);
    QVERIFY(!m_table.isEmpty());
}

void KeyboardCommandsTest::discoveredAsProductRow()
{
    Link link(VirtualDevice::Model::Keyboard);
    link.check(m_table);
    QVERIFY(deviceReady.load());
    const DeviceEntry e = link.hid.deviceList().value(1);
    QCOMPARE(e.commandPath, QString::fromLatin1(VirtualDevice::kCommandPath));
    QCOMPARE(e.eventPath, QString::fromLatin1(VirtualDevice::kEventPath));
    QCOMPARE(e.reportLength, 64u);

    // The shipped table looks for the mouse ids only: the keyboard is not found.
    Link mouseTable(VirtualDevice::Model::Keyboard);
    mouseTable.check();
    QVERIFY(!deviceReady.load());
    QVERIFY(mouseTable.hid.deviceList().value(1).commandPath.isEmpty());
}

void KeyboardCommandsTest::setCommands_data()
{
    QTest::addColumn<SetCase>("c");
    QByteArray matrix = pattern(512, 0x03);
    QByteArray onOff = pattern(21, 0x61);
    QByteArray macro = pattern(192, 0x2a);
    QByteArray picture = pattern(512, 0x99);

    QTest::newRow("01H report rate") << SetCase{
        [](Hid_Thread &h) { h.hid_01H_SetReportRate(0x02); },
        hex("01020000000000fc"),
        {},
        [](const VirtualDevice &d) { return d.reportRate() == 0x02; }};
    QTest::newRow("02H profile") << SetCase{[](Hid_Thread &h) { h.hid_02H_SetCurrentProfile(3); },
                                            hex("02030000000000fa"),
                                            {},
                                            [](const VirtualDevice &d) { return d.currentProfile() == 3; }};
    QTest::newRow("03H options") << SetCase{
        [](Hid_Thread &h) { h.hid_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x44); },
        hex("0311223344000052"),
        {},
        [](const VirtualDevice &d) { return arr(d.keyboardOption()) == hex("11223344"); }};
    QTest::newRow("04H sensitivity") << SetCase{
        [](Hid_Thread &h) { h.hid_04H_SetButtonSensitivity(5, 6, 7, 8); },
        hex("04050607080000e1"),
        {},
        [](const VirtualDevice &d) { return arr(d.buttonSensitivity()) == hex("05060708"); }};
    QTest::newRow("07H indicator") << SetCase{
        [](Hid_Thread &h) { h.hid_07H_SetControlIndicatorLight(2, 9); },
        hex("07020900000000ed"),
        {},
        [](const VirtualDevice &d) { return arr(d.indicatorLight()) == hex("0209"); }};
    QTest::newRow("08H LED type") << SetCase{
        [](Hid_Thread &h) { h.hid_08H_SetLEDType(1, 2, 3, 4, 5, 6); },
        hex("08010203040506e2"),
        {},
        [](const VirtualDevice &d) { return arr(d.ledType()) == hex("010203040506"); }};
    QTest::newRow("09H mode") << SetCase{[](Hid_Thread &h) { h.hid_09H_SetKeyboardMode(2); },
                                         hex("09020000000000f4"),
                                         {},
                                         [](const VirtualDevice &d) { return d.keyboardMode() == 2; }};
    QTest::newRow("0DH key matrix, eight reports") << SetCase{
        [matrix](Hid_Thread &h) mutable { h.hid_0DH_SetKeyMatrix(raw(matrix)); }, hex("0d000008000000ea"),
        matrix, [matrix](const VirtualDevice &d) { return d.keyMatrix() == matrix; }};
    QTest::newRow("0EH on/off, one report") << SetCase{
        [onOff](Hid_Thread &h) mutable { h.hid_0EH_SetKeyOnOff(raw(onOff)); }, hex("0e000015000000dc"), onOff,
        [onOff](const VirtualDevice &d) { return d.keyOnOff() == onOff; }};
    QTest::newRow("11H macro 5, three reports") << SetCase{
        [macro](Hid_Thread &h) mutable { h.hid_11H_SetMacroKey(5, raw(macro)); }, hex("11000503000000e6"),
        macro, [macro](const VirtualDevice &d) { return d.macro(5) == macro && d.macro(1) != macro; }};
    QTest::newRow("12H picture 2, option 1") << SetCase{
        [picture](Hid_Thread &h) mutable { h.hid_12H_SetUserPicture(2, 1, raw(picture)); },
        hex("12000208010000e2"), picture,
        [picture](const VirtualDevice &d) {
            return d.userPicture(2) == picture && d.userPictureOption(2) == 1 && d.userPicture(1) != picture;
        }};
    QTest::newRow("13H recovery") << SetCase{[](Hid_Thread &h) { h.hid_13H_SetRecoveryData(); },
                                             hex("13ff0000000000ed"),
                                             {},
                                             [](const VirtualDevice &d) { return d.recoveryCount() == 1; }};
    QTest::newRow("14H colour 3") << SetCase{[](Hid_Thread &h) { h.hid_14H_SetColor(3, 0x10, 0x20, 0x30); },
                                             hex("1400031020300088"),
                                             {},
                                             [](const VirtualDevice &d) {
                                                 return arr(d.color(3)) == hex("102030") &&
                                                        arr(d.color(2)) == hex("000000");
                                             }};
}

void KeyboardCommandsTest::setCommands()
{
    QFETCH(SetCase, c);
    Link link(VirtualDevice::Model::Keyboard);
    link.check(m_table);
    QVERIFY(deviceReady.load());
    link.dev->clearReceived();

    c.call(link.hid);
    QVERIFY(link.waitFrames(1));
    const auto got = link.dev->received();
    QCOMPARE(got.size(), 1);
    QCOMPARE(bytes(got.at(0).frame).toHex(' '), c.frame.toHex(' '));
    const int reports = c.block.isEmpty() ? 0 : (c.block.size() + kKeyboardReport - 1) / kKeyboardReport;
    QCOMPARE(got.at(0).reportSizes.size(), reports);
    for (int size : got.at(0).reportSizes)
        QCOMPARE(size, kKeyboardReport + 1);
    QCOMPARE(got.at(0).payload.toHex(' '), framedReports(c.block, kKeyboardReport).toHex(' '));
    QVERIFY(c.stored(*link.dev));
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void KeyboardCommandsTest::getCommands_data()
{
    QTest::addColumn<GetCase>("c");
    QTest::newRow("81H report rate") << GetCase{[](Hid_Thread &h) { h.hid_01H_SetReportRate(0x04); },
                                                [](Hid_Thread &h) {
                                                    uchar rate = 1;
                                                    h.hid_81H_GetReportRate(rate);
                                                    return rate == 4 ? QString() : QString::number(rate);
                                                },
                                                hex("810000000000007e")};
    QTest::newRow("83H options") << GetCase{[](Hid_Thread &h) { h.hid_03H_SetKeyboardoption(9, 8, 7, 6); },
                                            [](Hid_Thread &h) {
                                                uchar a = 0, b = 0, c = 0, d = 0;
                                                h.hid_83H_GetKeyboardoption(a, b, c, d);
                                                const QString got = four(a, b, c, d);
                                                return got == QLatin1String("09080706") ? QString() : got;
                                            },
                                            hex("830000000000007c")};
    QTest::newRow("84H sensitivity") << GetCase{
        [](Hid_Thread &h) { h.hid_04H_SetButtonSensitivity(1, 2, 3, 4); },
        [](Hid_Thread &h) {
            uchar a = 0, b = 0, c = 0, d = 0;
            h.hid_84H_GetButtonSensitivity(a, b, c, d);
            const QString got = four(a, b, c, d);
            return got == QLatin1String("01020304") ? QString() : got;
        },
        hex("840000000000007b")};
    QTest::newRow("88H LED type") << GetCase{[](Hid_Thread &h) { h.hid_08H_SetLEDType(9, 1, 2, 3, 4, 5); },
                                             [](Hid_Thread &h) {
                                                 uchar e = 0, s = 0, l = 0, c = 0, d = 0;
                                                 h.hid_88H_GetLEDType(e, s, l, c, d);
                                                 const QString got = four(e, s, l, c) + QString::number(d);
                                                 return got == QLatin1String("010203045") ? QString() : got;
                                             },
                                             hex("8800000000000077")};
    QTest::newRow("89H mode") << GetCase{[](Hid_Thread &h) { h.hid_09H_SetKeyboardMode(3); },
                                         [](Hid_Thread &h) {
                                             uchar mode = 0;
                                             h.hid_89H_GetKeyboardMode(mode);
                                             return mode == 3 ? QString() : QString::number(mode);
                                         },
                                         hex("8900000000000076")};
    QTest::newRow("8DH key matrix, B7 zero")
        << GetCase{[](Hid_Thread &h) {
                       QByteArray m = pattern(512, 0x44);
                       h.hid_0DH_SetKeyMatrix(raw(m));
                   },
                   [](Hid_Thread &h) {
                       QByteArray out(512, '\0');
                       h.hid_8DH_GetKeyMatrix(raw(out));
                       return out == pattern(512, 0x44) ? QString() : QStringLiteral("block");
                   },
                   hex("8d00000000000000")};
    QTest::newRow("8EH on/off") << GetCase{[](Hid_Thread &h) {
                                               QByteArray m = pattern(21, 0x07);
                                               h.hid_0EH_SetKeyOnOff(raw(m));
                                           },
                                           [](Hid_Thread &h) {
                                               QByteArray out(21, '\0');
                                               h.hid_8EH_GetKeyOnOff(raw(out));
                                               return out == pattern(21, 0x07)
                                                          ? QString()
                                                          : QString::fromLatin1(out.toHex());
                                           },
                                           hex("8e00000000000071")};
    QTest::newRow("91H macro by id") << GetCase{
        [](Hid_Thread &h) {
            QByteArray m5 = pattern(192, 0x50), m6 = pattern(192, 0x60);
            h.hid_11H_SetMacroKey(5, raw(m5));
            h.hid_11H_SetMacroKey(6, raw(m6));
        },
        [](Hid_Thread &h) {
            QByteArray out(192, '\0');
            h.hid_91H_GetMacroKey(5, raw(out));
            return out == pattern(192, 0x50) ? QString() : QStringLiteral("block");
        },
        hex("9100050000000069")};
    QTest::newRow("92H picture by index")
        << GetCase{[](Hid_Thread &h) {
                       QByteArray p = pattern(512, 0x12);
                       h.hid_12H_SetUserPicture(2, 0, raw(p));
                   },
                   [](Hid_Thread &h) {
                       QByteArray out(512, '\x01');
                       h.hid_92H_GetUserPicture(2, raw(out));
                       return out == pattern(512, 0x12) ? QString() : QStringLiteral("block");
                   },
                   hex("920002000000006b")};
    QTest::newRow("94H colour by index")
        << GetCase{[](Hid_Thread &h) {
                       h.hid_14H_SetColor(3, 0xA0, 0xB0, 0xC0);
                       h.hid_14H_SetColor(4, 1, 2, 3);
                   },
                   [](Hid_Thread &h) {
                       uchar r = 0, g = 0, b = 0;
                       h.hid_94H_GetColor(3, r, g, b);
                       const QString got = four(3, r, g, b);
                       return got == QLatin1String("03a0b0c0") ? QString() : got;
                   },
                   hex("9400030000000068")};
}

void KeyboardCommandsTest::getCommands()
{
    QFETCH(GetCase, c);
    Link link(VirtualDevice::Model::Keyboard);
    link.check(m_table);
    QVERIFY(deviceReady.load());
    c.prime(link.hid);
    QVERIFY(link.waitIdle());
    link.dev->clearReceived();

    const QString problem = c.get(link.hid);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const auto got = link.dev->received();
    QCOMPARE(got.size(), 1);
    QCOMPARE(bytes(got.at(0).frame).toHex(' '), c.frame.toHex(' '));
    QVERIFY(link.hid.isLinkFree());
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void KeyboardCommandsTest::prefillWhenDeviceDoesNotAnswer()
{
    Link link(VirtualDevice::Model::Keyboard);
    link.check(m_table);
    QVERIFY(deviceReady.load());
    link.hid.hid_03H_SetKeyboardoption(0xEE, 0xEE, 0xEE, 0xEE);
    link.hid.hid_14H_SetColor(3, 0xEE, 0xEE, 0xEE);
    QVERIFY(link.waitFrames(2));
    VirtualDevice::Faults f;
    f.noFeatureAnswer = true;
    link.dev->setFaults(f);

    uchar a = 1, b = 2, c = 3, d = 4;
    link.hid.hid_83H_GetKeyboardoption(a, b, c, d);
    QCOMPARE(four(a, b, c, d), QStringLiteral("01020304"));
    a = 5, b = 6, c = 7, d = 8;
    link.hid.hid_84H_GetButtonSensitivity(a, b, c, d);
    QCOMPARE(four(a, b, c, d), QStringLiteral("05060708"));
    uchar e = 1, s = 2, l = 3, col = 4, dir = 5;
    link.hid.hid_88H_GetLEDType(e, s, l, col, dir);
    QCOMPARE(four(e, s, l, col) + QString::number(dir), QStringLiteral("010203045"));
    uchar mode = 9;
    link.hid.hid_89H_GetKeyboardMode(mode);
    QCOMPARE(mode, uchar(9));
    uchar r = 0x11, g = 0x22, bl = 0x33;
    link.hid.hid_94H_GetColor(3, r, g, bl);
    QCOMPARE(four(3, r, g, bl), QStringLiteral("03112233"));

    QByteArray matrix(512, '\x42');
    link.hid.hid_8DH_GetKeyMatrix(raw(matrix));
    QCOMPARE(matrix, QByteArray(512, '\x42'));
    QByteArray onOff(21, '\x43');
    link.hid.hid_8EH_GetKeyOnOff(raw(onOff));
    QCOMPARE(onOff, QByteArray(21, '\x43'));
    QByteArray macro(192, '\x44');
    link.hid.hid_91H_GetMacroKey(1, raw(macro));
    QCOMPARE(macro, QByteArray(192, '\x44'));
    QByteArray picture(512, '\x45');
    link.hid.hid_92H_GetUserPicture(0, raw(picture));
    QCOMPARE(picture, QByteArray(512, '\x45'));
    QCOMPARE(link.dev->openHandleCount(), 0);
}

QTEST_GUILESS_MAIN(KeyboardCommandsTest)
#include "tst_keyboard_commands.moc"
