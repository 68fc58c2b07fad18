// Every mouse command on the wire through the virtual mouse: the frame the
// device unscrambles (checksum included), the interrupt reports of each
// block, the values read back from the device's state, and what Get
// commands return when the device does not answer.

#include "LinkFixture.h"

#include <QTest>

#include <functional>

namespace {

struct SetCase {
    std::function<void(Hid_Thread &)> call;
    QByteArray frame; // B0..B7 before scrambling
    QByteArray block; // data bytes that must follow in 33-byte reports
    std::function<bool(const VirtualDevice &)> stored;
};

struct GetCase {
    std::function<void(Link &)> prime;        // Set commands and device facts first
    std::function<QString(Hid_Thread &)> get; // empty text = outputs as expected
    QByteArray frame;                         // the request frame
};

constexpr int kMouseReport = 32;

QByteArray arr(const uchar *p, int n)
{
    return QByteArray(reinterpret_cast<const char *>(p), n);
}

template <size_t N> QByteArray arr(const std::array<uchar, N> &a)
{
    return arr(a.data(), int(N));
}

} // namespace

Q_DECLARE_METATYPE(SetCase)
Q_DECLARE_METATYPE(GetCase)

class MouseCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void setCommands_data();
    void setCommands();
    void getCommands_data();
    void getCommands();
    void firmwareVersionText();
    void prefillWhenDeviceDoesNotAnswer();
    void blockReadsKeepCallerBufferOnFailure();
};

void MouseCommandsTest::setCommands_data()
{
    QTest::addColumn<SetCase>("c");
    QByteArray colors = pattern(24, 0x10);
    QByteArray dpi = hex("0204080c10909090");
    QByteArray matrix = pattern(64, 0x21);
    QByteArray macro = pattern(128, 0x33);

    QTest::newRow("01H report rate") << SetCase{
        [](Hid_Thread &h) { h.hid_01H_SetReportRate(0x02); },
        hex("01020000000000fc"),
        {},
        [](const VirtualDevice &d) { return d.reportRate() == 0x02; }};
    QTest::newRow("02H profile") << SetCase{[](Hid_Thread &h) { h.hid_02H_SetCurrentProfile(3); },
                                            hex("02030000000000fa"),
                                            {},
                                            [](const VirtualDevice &d) { return d.currentProfile() == 3; }};
    QTest::newRow("03H function option")
        << SetCase{[](Hid_Thread &h) { h.hid_03H_SetFunctionOption(2, 4, 0x40, 7); },
                   hex("03020440070000af"),
                   {},
                   [](const VirtualDevice &d) { return arr(d.functionOption()) == hex("02044007"); }};
    QTest::newRow("07H LED instruct")
        << SetCase{[](Hid_Thread &h) { h.hid_07H_SetLEDInstructFunction(0, 1, 2, 3); },
                   hex("07000102030000f2"),
                   {},
                   [](const VirtualDevice &d) { return arr(d.ledInstruct(0)) == hex("00010203"); }};
    QTest::newRow("0BH DPI stage") << SetCase{[](Hid_Thread &h) { h.hid_0BH_SetCurrentDPIStage(3); },
                                              hex("0b030000000000f1"),
                                              {},
                                              [](const VirtualDevice &d) { return d.dpiStage() == 3; }};
    QTest::newRow("0DH LED effect") << SetCase{
        [](Hid_Thread &h) { h.hid_0DH_SetRGBLedEffect(5, 0xC8, 0x0A); },
        hex("0d05c80a0000001b"),
        {},
        [](const VirtualDevice &d) { return arr(d.ledEffect()) == hex("05c80a"); }};
    QTest::newRow("10H palette, 24 bytes")
        << SetCase{[colors](Hid_Thread &h) mutable {
                       h.hid_10H_SetLED8StageColor(0, reinterpret_cast<uchar *>(colors.data()));
                   },
                   hex("10001800000000d7"), colors,
                   [colors](const VirtualDevice &d) { return d.ledColors(0) == colors; }};
    QTest::newRow("10H stage colours RGB")
        << SetCase{[colors](Hid_Thread &h) mutable {
                       h.hid_10H_SetLED8StageColor(1, reinterpret_cast<uchar *>(colors.data()));
                   },
                   hex("10011800000000d6"), colors,
                   [colors](const VirtualDevice &d) { return d.ledColors(1) == colors; }};
    QTest::newRow("10H stage colour indexes, 4 bytes")
        << SetCase{[colors](Hid_Thread &h) mutable {
                       h.hid_10H_SetLED8StageColor(2, reinterpret_cast<uchar *>(colors.data()));
                   },
                   hex("10020400000000e9"), colors.left(4),
                   [colors](const VirtualDevice &d) { return d.ledColors(2) == colors.left(4); }};
    QTest::newRow("11H DPI set") << SetCase{
        [dpi](Hid_Thread &h) mutable { h.hid_11H_SetDPISet(3, reinterpret_cast<uchar *>(dpi.data())); },
        hex("11030800000000e3"), dpi,
        [dpi](const VirtualDevice &d) { return d.dpiCodes() == dpi && d.dpiStagesInUse() == 3; }};
    QTest::newRow("11H one stage still sends 8 codes") << SetCase{
        [dpi](Hid_Thread &h) mutable { h.hid_11H_SetDPISet(1, reinterpret_cast<uchar *>(dpi.data())); },
        hex("11010800000000e5"), dpi,
        [dpi](const VirtualDevice &d) { return d.dpiCodes() == dpi && d.dpiStagesInUse() == 1; }};
    QTest::newRow("12H key matrix") << SetCase{
        [matrix](Hid_Thread &h) mutable { h.hid_12H_SetKeyMatrix(reinterpret_cast<uchar *>(matrix.data())); },
        hex("12014008000000a4"), matrix,
        [matrix](const VirtualDevice &d) { return d.keyMatrix() == matrix; }};
    QTest::newRow("13H macro 5") << SetCase{
        [macro](Hid_Thread &h) mutable { h.hid_13H_SetMacroKey(5, reinterpret_cast<uchar *>(macro.data())); },
        hex("1305800000000067"), macro,
        [macro](const VirtualDevice &d) { return d.macro(5) == macro && d.macro(4) != macro; }};
}

void MouseCommandsTest::setCommands()
{
    QFETCH(SetCase, c);
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    link.dev->clearReceived();

    c.call(link.hid);
    QVERIFY(link.waitFrames(1));
    const auto got = link.dev->received();
    QCOMPARE(got.size(), 1);
    QCOMPARE(bytes(got.at(0).frame).toHex(' '), c.frame.toHex(' '));

    const int reports = c.block.isEmpty() ? 0 : (c.block.size() + kMouseReport - 1) / kMouseReport;
    QCOMPARE(got.at(0).reportSizes.size(), reports);
    for (int size : got.at(0).reportSizes)
        QCOMPARE(size, kMouseReport + 1);
    QCOMPARE(got.at(0).payload.toHex(' '), framedReports(c.block, kMouseReport).toHex(' '));
    QVERIFY(c.stored(*link.dev));
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void MouseCommandsTest::getCommands_data()
{
    QTest::addColumn<GetCase>("c");
    QTest::newRow("81H report rate") << GetCase{[](Link &l) { l.hid.hid_01H_SetReportRate(0x08); },
                                                [](Hid_Thread &h) {
                                                    uchar rate = 0x01;
                                                    h.hid_81H_GetReportRate(rate);
                                                    return rate == 0x08 ? QString()
                                                                        : QStringLiteral("rate %1").arg(rate);
                                                },
                                                hex("810000000000007e")};
    QTest::newRow("82H profile") << GetCase{[](Link &l) { l.hid.hid_02H_SetCurrentProfile(4); },
                                            [](Hid_Thread &h) {
                                                uchar profile = 0;
                                                h.hid_82H_GetCurrentProfile(profile);
                                                return profile == 4
                                                           ? QString()
                                                           : QStringLiteral("profile %1").arg(profile);
                                            },
                                            hex("820000000000007d")};
    QTest::newRow("83H function option")
        << GetCase{[](Link &l) {
                       l.dev->setSensorType(3);
                       l.hid.hid_03H_SetFunctionOption(0, 2, 0x45, 0x09);
                   },
                   [](Hid_Thread &h) {
                       uchar type = 9, o1 = 0, o2 = 0;
                       h.hid_83H_GetFunctionOption(type, o1, o2);
                       return type == 3 && o1 == 0x45 && o2 == 0x09
                                  ? QString()
                                  : QStringLiteral("%1 %2 %3").arg(type).arg(o1).arg(o2);
                   },
                   hex("830000000000007c")};
    QTest::newRow("87H type 0, logo LED works")
        << GetCase{[](Link &l) {
                       l.dev->setLogoLedWorks(true);
                       l.hid.hid_07H_SetLEDInstructFunction(0, 9, 7, 6);
                   },
                   [](Hid_Thread &h) {
                       uchar o1 = 0x55, o2 = 0, o3 = 0;
                       const bool ok = h.hid_87H_GetLEDInstructFunction(0, o1, o2, o3);
                       return ok && o1 == 0 && o2 == 7 && o3 == 6
                                  ? QString()
                                  : QStringLiteral("%1 %2 %3 %4").arg(ok).arg(o1).arg(o2).arg(o3);
                   },
                   hex("8700000000000078")};
    QTest::newRow("87H type 0, logo LED broken")
        << GetCase{[](Link &l) { l.dev->setLogoLedWorks(false); },
                   [](Hid_Thread &h) {
                       uchar o1 = 0, o2 = 0, o3 = 0;
                       const bool ok = h.hid_87H_GetLEDInstructFunction(0, o1, o2, o3);
                       return ok && o1 == 1 ? QString() : QStringLiteral("%1 %2").arg(ok).arg(o1);
                   },
                   hex("8700000000000078")};
    QTest::newRow("87H type 1") << GetCase{
        [](Link &l) { l.hid.hid_07H_SetLEDInstructFunction(1, 4, 5, 6); },
        [](Hid_Thread &h) {
            uchar o1 = 0, o2 = 0, o3 = 0;
            const bool ok = h.hid_87H_GetLEDInstructFunction(1, o1, o2, o3);
            return ok && o1 == 4 && o2 == 5 && o3 == 6
                       ? QString()
                       : QStringLiteral("%1 %2 %3 %4").arg(ok).arg(o1).arg(o2).arg(o3);
        },
        hex("8701000000000077")};
    QTest::newRow("8BH DPI stage") << GetCase{[](Link &l) { l.hid.hid_0BH_SetCurrentDPIStage(6); },
                                              [](Hid_Thread &h) {
                                                  uchar stage = 0;
                                                  h.hid_8BH_GetCurrentDPIStage(stage);
                                                  return stage == 6 ? QString()
                                                                    : QStringLiteral("stage %1").arg(stage);
                                              },
                                              hex("8b00000000000074")};
    QTest::newRow("8DH LED effect") << GetCase{
        [](Link &l) { l.hid.hid_0DH_SetRGBLedEffect(3, 0x80, 0x11); },
        [](Hid_Thread &h) {
            uchar e = 0, o1 = 0, o2 = 0;
            h.hid_8DH_GetRGBLedEffect(e, o1, o2);
            return e == 3 && o1 == 0x80 && o2 == 0x11 ? QString()
                                                      : QStringLiteral("%1 %2 %3").arg(e).arg(o1).arg(o2);
        },
        hex("8d00000000000072")};
    QTest::newRow("90H palette, 24 bytes")
        << GetCase{[](Link &l) {
                       QByteArray c = pattern(24, 0x40);
                       l.hid.hid_10H_SetLED8StageColor(0, reinterpret_cast<uchar *>(c.data()));
                   },
                   [](Hid_Thread &h) {
                       QByteArray out(24, '\x77');
                       h.hid_90H_GetLED8StageColor(0, reinterpret_cast<uchar *>(out.data()));
                       return out == pattern(24, 0x40) ? QString() : QString::fromLatin1(out.toHex());
                   },
                   hex("900000000000006f")};
    QTest::newRow("90H indexes, 4 bytes only")
        << GetCase{[](Link &l) {
                       QByteArray c = hex("10325476");
                       c.append(QByteArray(20, '\0'));
                       l.hid.hid_10H_SetLED8StageColor(2, reinterpret_cast<uchar *>(c.data()));
                   },
                   [](Hid_Thread &h) {
                       QByteArray out(24, '\x77');
                       h.hid_90H_GetLED8StageColor(2, reinterpret_cast<uchar *>(out.data()));
                       const QByteArray want = hex("10325476") + QByteArray(20, '\x77');
                       return out == want ? QString() : QString::fromLatin1(out.toHex());
                   },
                   hex("900200000000006d")};
    QTest::newRow("91H DPI set") << GetCase{
        [](Link &l) {
            QByteArray d = hex("0103050709b0b0b0");
            l.hid.hid_11H_SetDPISet(5, reinterpret_cast<uchar *>(d.data()));
        },
        [](Hid_Thread &h) {
            uchar stages = 0;
            QByteArray out(8, '\0');
            const bool ok = h.hid_91H_GetDPISet(stages, reinterpret_cast<uchar *>(out.data()));
            return ok && stages == 5 && out == hex("0103050709b0b0b0")
                       ? QString()
                       : QStringLiteral("%1 %2 %3").arg(ok).arg(stages).arg(QString::fromLatin1(out.toHex()));
        },
        hex("910000000000006e")};
    QTest::newRow("92H key matrix") << GetCase{
        [](Link &l) {
            QByteArray m = pattern(64, 0x05);
            l.hid.hid_12H_SetKeyMatrix(reinterpret_cast<uchar *>(m.data()));
        },
        [](Hid_Thread &h) {
            QByteArray out(64, '\0');
            h.hid_92H_GetKeyMatrix(reinterpret_cast<uchar *>(out.data()));
            return out == pattern(64, 0x05) ? QString() : QString::fromLatin1(out.toHex());
        },
        hex("920100000000006c")};
    QTest::newRow("93H macro by id") << GetCase{
        [](Link &l) {
            QByteArray m7 = pattern(128, 0x70), m8 = pattern(128, 0x80);
            l.hid.hid_13H_SetMacroKey(7, reinterpret_cast<uchar *>(m7.data()));
            l.hid.hid_13H_SetMacroKey(8, reinterpret_cast<uchar *>(m8.data()));
        },
        [](Hid_Thread &h) {
            QByteArray out(128, '\0');
            h.hid_93H_GetMacroKey(7, reinterpret_cast<uchar *>(out.data()));
            return out == pattern(128, 0x70) ? QString() : QString::fromLatin1(out.toHex());
        },
        hex("9307000000000065")};
}

void MouseCommandsTest::getCommands()
{
    QFETCH(GetCase, c);
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    c.prime(link);
    QVERIFY(link.waitIdle());
    link.dev->clearReceived();

    const QString problem = c.get(link.hid);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const auto got = link.dev->received();
    QCOMPARE(got.size(), 1);
    QCOMPARE(bytes(got.at(0).frame).toHex(' '), c.frame.toHex(' '));
    QVERIFY(got.at(0).payload.isEmpty());
    QVERIFY(link.hid.isLinkFree());
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void MouseCommandsTest::firmwareVersionText()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    struct Row {
        uchar major, minor;
        const char *text;
    };
    for (const Row &r : {Row{0x01, 0x0A, "1.0A"}, Row{0x1B, 0x05, "1b.05"}, Row{0x00, 0xFF, "0.FF"},
                         Row{0xAB, 0x00, "ab.00"}}) {
        link.dev->setFirmwareVersion(r.major, r.minor);
        link.dev->clearReceived();
        QString version = QStringLiteral("before");
        link.hid.hid_80H_GetFWVersion(version);
        QCOMPARE(version, QString::fromLatin1(r.text));
        QCOMPARE(bytes(link.dev->received().value(0).frame).toHex(), QByteArray("800000000000007f"));
    }
}

void MouseCommandsTest::prefillWhenDeviceDoesNotAnswer()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    // State the device would report if it answered, to tell it apart from the pre-fill.
    link.hid.hid_01H_SetReportRate(0x08);
    link.hid.hid_0BH_SetCurrentDPIStage(5);
    link.hid.hid_0DH_SetRGBLedEffect(4, 4, 4);
    link.hid.hid_03H_SetFunctionOption(1, 1, 0x41, 1);
    QVERIFY(link.waitFrames(4));
    VirtualDevice::Faults f;
    f.noFeatureAnswer = true;
    link.dev->setFaults(f);

    // Echo rows give the caller's value back.
    uchar rate = 0x02;
    link.hid.hid_81H_GetReportRate(rate);
    QCOMPARE(rate, uchar(0x02));
    uchar profile = 7;
    link.hid.hid_82H_GetCurrentProfile(profile);
    QCOMPARE(profile, uchar(7));

    // Zero rows give zeros.
    uchar stage = 3;
    link.hid.hid_8BH_GetCurrentDPIStage(stage);
    QCOMPARE(stage, uchar(0));
    uchar type = 2, o1 = 0x40, o2 = 9;
    link.hid.hid_83H_GetFunctionOption(type, o1, o2);
    QCOMPARE(arr(std::array<uchar, 3>{type, o1, o2}), hex("000000"));
    uchar e = 6, b = 7, s = 8;
    link.hid.hid_8DH_GetRGBLedEffect(e, b, s);
    QCOMPARE(arr(std::array<uchar, 3>{e, b, s}), hex("000000"));

    QString version = QStringLiteral("1.0A");
    link.hid.hid_80H_GetFWVersion(version);
    QCOMPARE(version, QStringLiteral("unknown"));

    // Failure-reporting rows say so and leave the outputs alone.
    uchar l1 = 0x11, l2 = 0x22, l3 = 0x33;
    QVERIFY(!link.hid.hid_87H_GetLEDInstructFunction(0, l1, l2, l3));
    QCOMPARE(arr(std::array<uchar, 3>{l1, l2, l3}), hex("112233"));
    uchar stages = 6;
    QByteArray codes = hex("0102030405060708");
    QVERIFY(!link.hid.hid_91H_GetDPISet(stages, reinterpret_cast<uchar *>(codes.data())));
    QCOMPARE(stages, uchar(6));
    QCOMPARE(codes, hex("0102030405060708"));

    QVERIFY(link.hid.isLinkFree());
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void MouseCommandsTest::blockReadsKeepCallerBufferOnFailure()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    QByteArray m = pattern(64, 0x90);
    link.hid.hid_12H_SetKeyMatrix(reinterpret_cast<uchar *>(m.data()));
    QVERIFY(link.waitFrames(2));
    VirtualDevice::Faults f;
    f.noFeatureAnswer = true;
    link.dev->setFaults(f);

    QByteArray matrix(64, '\x5c');
    link.hid.hid_92H_GetKeyMatrix(reinterpret_cast<uchar *>(matrix.data()));
    QCOMPARE(matrix, QByteArray(64, '\x5c'));
    QByteArray macro = pattern(128, 0x01);
    link.hid.hid_93H_GetMacroKey(1, reinterpret_cast<uchar *>(macro.data()));
    QCOMPARE(macro, pattern(128, 0x01));
    QByteArray colors = pattern(24, 0x02);
    link.hid.hid_90H_GetLED8StageColor(0, reinterpret_cast<uchar *>(colors.data()));
    QCOMPARE(colors, pattern(24, 0x02));
}

QTEST_GUILESS_MAIN(MouseCommandsTest)
#include "tst_mouse_commands.moc"
