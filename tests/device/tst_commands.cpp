// Every mouse and keyboard command through the link against the virtual
// device: the frame the device unscrambles, the interrupt reports of each
// block, what the device stored, the pause a Set holds the link for (quiet
// wait or not), what the matching Get reads back, and what that Get leaves in
// its outputs when the device does not answer.

#include "LinkFixture.h"

#include <QTest>

#include <functional>

namespace {

using Model = VirtualDevice::Model;

template <typename... T> QByteArray B(T... v)
{
    const char d[] = {char(v)...};
    return QByteArray(d, sizeof...(v));
}
template <size_t N> QByteArray A(const std::array<uchar, N> &a)
{
    return QByteArray(reinterpret_cast<const char *>(a.data()), int(N));
}

struct Row {
    Model model;
    std::function<void(Hid_Thread &)> set; // called three times in a row; may be empty
    const char *frame;                     // its frame B0..B7
    QByteArray block;                      // data bytes that follow in interrupt reports
    bool quiet;                            // waits for the device's quiet report after sending
    std::function<QByteArray(const VirtualDevice &)> stored;
    QByteArray storedWant;
    std::function<QByteArray(Link &)> get; // outputs (seeded 0xEE unless said) and result
    const char *getFrame;
    QByteArray answered, unanswered;
};

const QByteArray kColors = pattern(24, 0x10), kDpi = hex("0204080c10909090"), kMatrix = pattern(64, 0x21),
                 kMacro = pattern(128, 0x33), kKbMatrix = pattern(512, 0x03), kOnOff = pattern(21, 0x61),
                 kKbMacro = pattern(192, 0x2a), kPicture = pattern(512, 0x99);
const QByteArray kSeed24(24, '\xee'), kSeed8(8, '\xee');

QByteArray block(const QByteArray &seed, const std::function<void(uchar *)> &get)
{
    QByteArray out = seed;
    get(raw(out));
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Row)

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_keyboardTable = writeKeyboardTable(m_dir); }
    void commands_data();
    void commands();

private:
    QTemporaryDir m_dir;
    QString m_keyboardTable;
};

void CommandsTest::commands_data()
{
    QTest::addColumn<Row>("r");
    const uchar e = 0xEE;
    // ---- mouse (and the shared 01H/81H, 02H/82H)
    QTest::newRow("01H/81H report rate") << Row{
        Model::Mouse, [](Hid_Thread &h) { h.hid_01H_SetReportRate(0x02); }, "01020000000000fc", {}, true,
        [](const VirtualDevice &d) { return B(d.reportRate()); }, B(2),
        [](Link &l) {
            uchar r = 0xEE;
            const bool ok = l.hid.hid_81H_GetReportRate(r);
            return B(r, ok);
        },
        "810000000000007e", B(2, 1), B(e, 0)};
    QTest::newRow("02H/82H profile") << Row{
        Model::Mouse, [](Hid_Thread &h) { h.hid_02H_SetCurrentProfile(3); }, "02030000000000fa", {}, false,
        [](const VirtualDevice &d) { return B(d.currentProfile()); }, B(3),
        [](Link &l) { uchar p = 0xEE; return l.hid.hid_82H_GetCurrentProfile(p), B(p); },
        "820000000000007d", B(3), B(e)};
    QTest::newRow("03H/83H function option") << Row{
        Model::Mouse, [](Hid_Thread &h) { h.hid_03H_SetFunctionOption(2, 4, 0x40, 7); }, "03020440070000af", {},
        true, [](const VirtualDevice &d) { return A(d.functionOption()); }, hex("02044007"),
        [](Link &l) {
            l.dev->setSensorType(3);
            uchar t = 0xEE, o1 = 0xEE, o2 = 0xEE;
            const bool ok = l.hid.hid_83H_GetFunctionOption(t, o1, o2);
            return B(t, o1, o2, ok);
        },
        "830000000000007c", B(3, 0x40, 7, 1), B(0, 0, 0, 0)};
    QTest::newRow("07H/87H LED instruct type 1") << Row{
        Model::Mouse, [](Hid_Thread &h) { h.hid_07H_SetLEDInstructFunction(1, 4, 5, 6); }, "07010405060000e8",
        {}, false, [](const VirtualDevice &d) { return A(d.ledInstruct(1)); }, hex("01040506"),
        [](Link &l) {
            uchar o1 = 0xEE, o2 = 0xEE, o3 = 0xEE;
            const bool ok = l.hid.hid_87H_GetLEDInstructFunction(1, o1, o2, o3);
            return B(o1, o2, o3, ok);
        },
        "8701000000000077", B(4, 5, 6, 1), B(e, e, e, 0)};
    QTest::newRow("87H logo LED works / broken") << Row{
        Model::Mouse, {}, nullptr, {}, false, {}, {},
        [](Link &l) {
            QByteArray out;
            for (bool works : {true, false}) {
                l.dev->setLogoLedWorks(works);
                uchar o1 = 0xEE, o2 = 0xEE, o3 = 0xEE;
                const bool ok = l.hid.hid_87H_GetLEDInstructFunction(0, o1, o2, o3);
                out += B(ok, o1);
            }
            return out;
        },
        "8700000000000078", B(1, 0, 1, 1), B(0, e, 0, e)};
    QTest::newRow("0BH/8BH DPI stage") << Row{
        Model::Mouse, [](Hid_Thread &h) { h.hid_0BH_SetCurrentDPIStage(3); }, "0b030000000000f1", {}, true,
        [](const VirtualDevice &d) { return B(d.dpiStage()); }, B(3),
        [](Link &l) { uchar s = 0xEE; return l.hid.hid_8BH_GetCurrentDPIStage(s), B(s); }, "8b00000000000074",
        B(3), B(0)};
    QTest::newRow("0DH/8DH LED effect") << Row{
        Model::Mouse, [](Hid_Thread &h) { h.hid_0DH_SetRGBLedEffect(5, 0xC8, 0x0A); }, "0d05c80a0000001b", {},
        true, [](const VirtualDevice &d) { return A(d.ledEffect()); }, hex("05c80a"),
        [](Link &l) {
            uchar a = 0xEE, b = 0xEE, c = 0xEE;
            return l.hid.hid_8DH_GetRGBLedEffect(a, b, c), B(a, b, c);
        },
        "8d00000000000072", hex("05c80a"), B(0, 0, 0)};
    QTest::newRow("10H/90H palette") << Row{
        Model::Mouse, [](Hid_Thread &h) { QByteArray c = kColors; h.hid_10H_SetLED8StageColor(0, raw(c)); },
        "10001800000000d7", kColors, true, [](const VirtualDevice &d) { return d.ledColors(0); }, kColors,
        [](Link &l) { return block(kSeed24, [&](uchar *b) { l.hid.hid_90H_GetLED8StageColor(0, b); }); },
        "900000000000006f", kColors, kSeed24};
    QTest::newRow("10H/90H stage colour indexes, 4 bytes") << Row{
        Model::Mouse, [](Hid_Thread &h) { QByteArray c = kColors; h.hid_10H_SetLED8StageColor(2, raw(c)); },
        "10020400000000e9", kColors.left(4), true, [](const VirtualDevice &d) { return d.ledColors(2); },
        kColors.left(4),
        [](Link &l) { return block(kSeed24, [&](uchar *b) { l.hid.hid_90H_GetLED8StageColor(2, b); }); },
        "900200000000006d", kColors.left(4) + kSeed24.mid(4), kSeed24};
    QTest::newRow("11H/91H DPI set") << Row{
        Model::Mouse, [](Hid_Thread &h) { QByteArray d = kDpi; h.hid_11H_SetDPISet(3, raw(d)); },
        "11030800000000e3", kDpi, true,
        [](const VirtualDevice &d) { return B(d.dpiStagesInUse()) + d.dpiCodes(); }, B(3) + kDpi,
        [](Link &l) {
            uchar stages = 0xEE;
            QByteArray codes = kSeed8;
            const bool ok = l.hid.hid_91H_GetDPISet(stages, raw(codes));
            return B(stages, ok) + codes;
        },
        "910000000000006e", B(3, 1) + kDpi, B(e, 0) + kSeed8};
    QTest::newRow("12H/92H key matrix") << Row{
        Model::Mouse, [](Hid_Thread &h) { QByteArray m = kMatrix; h.hid_12H_SetKeyMatrix(raw(m)); },
        "12014008000000a4", kMatrix, true, [](const VirtualDevice &d) { return d.keyMatrix(); }, kMatrix,
        [](Link &l) { return block(QByteArray(64, '\xee'), [&](uchar *b) { l.hid.hid_92H_GetKeyMatrix(b); }); },
        "920100000000006c", kMatrix, QByteArray(64, '\xee')};
    QTest::newRow("13H/93H macro 5") << Row{
        Model::Mouse, [](Hid_Thread &h) { QByteArray m = kMacro; h.hid_13H_SetMacroKey(5, raw(m)); },
        "1305800000000067", kMacro, true, [](const VirtualDevice &d) { return d.macro(5) + d.macro(4); },
        kMacro + QByteArray(128, '\0'),
        [](Link &l) { return block(QByteArray(128, '\xee'), [&](uchar *b) { l.hid.hid_93H_GetMacroKey(5, b); }); },
        "9305000000000067", kMacro, QByteArray(128, '\xee')};
    QTest::newRow("80H firmware version text") << Row{
        Model::Mouse, {}, nullptr, {}, false, {}, {},
        [](Link &l) {
            QByteArray out;
            for (auto v : {std::pair<uchar, uchar>{0x01, 0x0A}, {0x1B, 0x05}, {0xAB, 0xFF}}) {
                l.dev->setFirmwareVersion(v.first, v.second);
                QString version = QStringLiteral("before");
                l.hid.hid_80H_GetFWVersion(version);
                out += version.toLatin1() + ' ';
            }
            return out;
        },
        "800000000000007f", "1.0A 1b.05 ab.FF ", "unknown unknown unknown "};
    // ---- keyboard
    QTest::newRow("kb 03H/83H options") << Row{
        Model::Keyboard, [](Hid_Thread &h) { h.hid_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x44); },
        "0311223344000052", {}, false, [](const VirtualDevice &d) { return A(d.keyboardOption()); },
        hex("11223344"),
        [](Link &l) {
            uchar a = 1, b = 2, c = 3, d = 4;
            return l.hid.hid_83H_GetKeyboardoption(a, b, c, d), B(a, b, c, d);
        },
        "830000000000007c", hex("11223344"), B(1, 2, 3, 4)};
    QTest::newRow("kb 04H/84H sensitivity") << Row{
        Model::Keyboard, [](Hid_Thread &h) { h.hid_04H_SetButtonSensitivity(5, 6, 7, 8); }, "04050607080000e1",
        {}, true, [](const VirtualDevice &d) { return A(d.buttonSensitivity()); }, hex("05060708"),
        [](Link &l) {
            uchar a = 1, b = 2, c = 3, d = 4;
            return l.hid.hid_84H_GetButtonSensitivity(a, b, c, d), B(a, b, c, d);
        },
        "840000000000007b", hex("05060708"), B(1, 2, 3, 4)};
    QTest::newRow("kb 07H indicator") << Row{
        Model::Keyboard, [](Hid_Thread &h) { h.hid_07H_SetControlIndicatorLight(2, 9); }, "07020900000000ed",
        {}, false, [](const VirtualDevice &d) { return A(d.indicatorLight()); }, hex("0209"), {}, nullptr, {},
        {}};
    QTest::newRow("kb 08H/88H LED type") << Row{
        Model::Keyboard, [](Hid_Thread &h) { h.hid_08H_SetLEDType(1, 2, 3, 4, 5, 6); }, "08010203040506e2", {},
        true, [](const VirtualDevice &d) { return A(d.ledType()); }, hex("010203040506"),
        [](Link &l) {
            uchar a = 1, b = 2, c = 3, d = 4, f = 5;
            return l.hid.hid_88H_GetLEDType(a, b, c, d, f), B(a, b, c, d, f);
        },
        "8800000000000077", hex("0203040506"), B(1, 2, 3, 4, 5)};
    QTest::newRow("kb 09H/89H mode") << Row{
        Model::Keyboard, [](Hid_Thread &h) { h.hid_09H_SetKeyboardMode(2); }, "09020000000000f4", {}, true,
        [](const VirtualDevice &d) { return B(d.keyboardMode()); }, B(2),
        [](Link &l) { uchar m = 9; return l.hid.hid_89H_GetKeyboardMode(m), B(m); }, "8900000000000076", B(2),
        B(9)};
    QTest::newRow("kb 0DH/8DH key matrix, 8DH without checksum") << Row{
        Model::Keyboard, [](Hid_Thread &h) { QByteArray m = kKbMatrix; h.hid_0DH_SetKeyMatrix(raw(m)); },
        "0d000008000000ea", kKbMatrix, true, [](const VirtualDevice &d) { return d.keyMatrix(); }, kKbMatrix,
        [](Link &l) { return block(QByteArray(512, 'B'), [&](uchar *b) { l.hid.hid_8DH_GetKeyMatrix(b); }); },
        "8d00000000000000", kKbMatrix, QByteArray(512, 'B')};
    QTest::newRow("kb 0EH/8EH on/off, 21 bytes") << Row{
        Model::Keyboard, [](Hid_Thread &h) { QByteArray m = kOnOff; h.hid_0EH_SetKeyOnOff(raw(m)); },
        "0e000015000000dc", kOnOff, true, [](const VirtualDevice &d) { return d.keyOnOff(); }, kOnOff,
        [](Link &l) { return block(QByteArray(21, 'C'), [&](uchar *b) { l.hid.hid_8EH_GetKeyOnOff(b); }); },
        "8e00000000000071", kOnOff, QByteArray(21, 'C')};
    QTest::newRow("kb 11H/91H macro 5") << Row{
        Model::Keyboard, [](Hid_Thread &h) { QByteArray m = kKbMacro; h.hid_11H_SetMacroKey(5, raw(m)); },
        "11000503000000e6", kKbMacro, true, [](const VirtualDevice &d) { return d.macro(5) + d.macro(1); },
        kKbMacro + QByteArray(192, '\0'),
        [](Link &l) { return block(QByteArray(192, 'D'), [&](uchar *b) { l.hid.hid_91H_GetMacroKey(5, b); }); },
        "9100050000000069", kKbMacro, QByteArray(192, 'D')};
    QTest::newRow("kb 12H/92H picture 2, option 1") << Row{
        Model::Keyboard, [](Hid_Thread &h) { QByteArray p = kPicture; h.hid_12H_SetUserPicture(2, 1, raw(p)); },
        "12000208010000e2", kPicture, true,
        [](const VirtualDevice &d) { return B(d.userPictureOption(2)) + d.userPicture(2) + d.userPicture(1); },
        B(1) + kPicture + QByteArray(512, '\0'),
        [](Link &l) { return block(QByteArray(512, 'E'), [&](uchar *b) { l.hid.hid_92H_GetUserPicture(2, b); }); },
        "920002000000006b", kPicture, QByteArray(512, 'E')};
    QTest::newRow("kb 13H recovery") << Row{
        Model::Keyboard, [](Hid_Thread &h) { h.hid_13H_SetRecoveryData(); }, "13ff0000000000ed", {}, false,
        [](const VirtualDevice &d) { return B(d.recoveryCount()); }, B(3), {}, nullptr, {}, {}};
    QTest::newRow("kb 14H/94H colour 3") << Row{
        Model::Keyboard, [](Hid_Thread &h) { h.hid_14H_SetColor(3, 0x10, 0x20, 0x30); }, "1400031020300088", {},
        false, [](const VirtualDevice &d) { return A(d.color(3)) + A(d.color(2)); }, hex("102030000000"),
        [](Link &l) {
            uchar r = 1, g = 2, b = 3;
            return l.hid.hid_94H_GetColor(3, r, g, b), B(r, g, b);
        },
        "9400030000000068", hex("102030"), B(1, 2, 3)};
}

void CommandsTest::commands()
{
    QFETCH(Row, r);
    Link link(r.model);
    const bool mouse = r.model == Model::Mouse;
    link.check(mouse ? QStringLiteral(":/DevInfo.ini") : m_keyboardTable);
    QVERIFY(deviceReady.load());
    const int reportLength = mouse ? 32 : 64;
    QCOMPARE(link.hid.deviceList().value(1).reportLength, uint(reportLength));

    if (r.set) {
        link.dev->clearReceived();
        for (int i = 0; i < 3; ++i)
            r.set(link.hid);
        QVERIFY(link.waitFrames(3));
        const auto got = link.dev->received();
        QCOMPARE(got.size(), 3);
        qint64 shortestPause = 1 << 30;
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bytes(got.at(i).frame).toHex(), QByteArray(r.frame));
            QCOMPARE(got.at(i).payload.toHex(), framedReports(r.block, reportLength).toHex());
            for (int size : got.at(i).reportSizes)
                QCOMPARE(size, reportLength + 1);
            if (i > 0) {
                const qint64 pause = got.at(i).atMs - got.at(i - 1).atMs;
                shortestPause = std::min(shortestPause, pause);
                // The next command may follow only after the quiet wait.
                if (r.quiet)
                    QVERIFY2(pause >= Hid_Thread::kQuietPeriodMs, qPrintable(QString::number(pause)));
            }
        }
        // Without a quiet wait the link is free again after the report pause.
        if (!r.quiet)
            QVERIFY2(shortestPause < Hid_Thread::kQuietPeriodMs, qPrintable(QString::number(shortestPause)));
        QCOMPARE(r.stored(*link.dev).toHex(), r.storedWant.toHex());
    }
    if (r.get) {
        link.dev->clearReceived();
        QCOMPARE(r.get(link).toHex(), r.answered.toHex());
        const auto got = link.dev->received();
        QVERIFY(!got.isEmpty());
        for (const auto &g : got) {
            QCOMPARE(bytes(g.frame).toHex(), QByteArray(r.getFrame));
            QVERIFY(g.payload.isEmpty());
        }
        link.setFaults([](VirtualDevice::Faults &f) { f.noFeatureAnswer = true; });
        QCOMPARE(r.get(link).toHex(), r.unanswered.toHex());
    }
    QVERIFY(link.hid.isLinkFree());
    QCOMPARE(link.dev->openHandleCount(), 0);
}

QTEST_GUILESS_MAIN(CommandsTest)
#include "tst_commands.moc"
