// Every command through the link against the virtual device: the frame (checksum included), the
// block reports, what the device stored, the pause, the Get's read-back, outputs when unanswered.

#include "LinkFixture.h"

#include <functional>
#include <tuple>

namespace {

using Model = VirtualDevice::Model;
using GetFn = std::function<QByteArray(Link &)>;

// clang-format off
template <typename... T> QByteArray B(T... v) { const char d[] = {char(v)...}; return QByteArray(d, sizeof...(v)); }
template <size_t N> QByteArray A(const std::array<uchar, N> &a) { return QByteArray((const char *)a.data(), int(N)); }
QByteArray ee(int n) { return QByteArray(n, '\xee'); }
// Gets with only value outputs, and block reads (optionally with a selector).
template <typename... U> GetFn values(void (Hid_Thread::*get)(U &...))
{
    return [get](Link &l) {
        std::array<uchar, sizeof...(U)> v;
        v.fill(0xEE);
        std::apply([&](auto &...x) { (l.hid.*get)(x...); }, v);
        return A(v);
    };
}
GetFn blockOf(int n, void (Hid_Thread::*get)(uchar *))
{
    return [=](Link &l) { QByteArray b = ee(n); return (l.hid.*get)(raw(b)), b; };
}
GetFn blockOf(int n, void (Hid_Thread::*get)(uchar, uchar *), uchar id)
{
    return [=](Link &l) { QByteArray b = ee(n); return (l.hid.*get)(id, raw(b)), b; };
}
// clang-format on

struct Row {
    Model model;
    std::function<void(Hid_Thread &)> set; // called three times in a row
    const char *frame;
    QByteArray block;
    bool quiet; // waits for the device's quiet report after sending
    std::function<QByteArray(const VirtualDevice &)> stored;
    QByteArray storedWant;
    GetFn get; // may be empty
    const char *getFrame;
    QByteArray answered, unanswered;
};

const QByteArray kColors = pattern(24, 0x10), kDpi = hex("0204080c10909090"), kMatrix = pattern(64, 0x21),
                 kMacro = pattern(128, 0x33), kKbMatrix = pattern(512, 3), kOnOff = pattern(21, 0x61),
                 kKbMacro = pattern(192, 0x2a);

} // namespace

Q_DECLARE_METATYPE(Row)

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void commands_data();
    void commands();
};

// One row per command pair: the table reads better than one argument per line.
// clang-format off
void CommandsTest::commands_data()
{
    QTest::addColumn<Row>("r");
    const uchar e = 0xEE;
    const Model M = Model::Mouse, K = Model::Keyboard;
    QTest::newRow("01H/81H report rate") << Row{
        M, [](Hid_Thread &h) { h.hid_01H_SetReportRate(2); }, "01020000000000fc", {}, true,
        [](const VirtualDevice &d) { return B(d.reportRate()); }, B(2),
        [](Link &l) { uchar r = 0xEE; const bool ok = l.hid.hid_81H_GetReportRate(r); return B(r, ok); },
        "810000000000007e", B(2, 1), B(e, 0)};
    QTest::newRow("02H/82H profile") << Row{
        M, [](Hid_Thread &h) { h.hid_02H_SetCurrentProfile(3); }, "02030000000000fa", {}, false,
        [](const VirtualDevice &d) { return B(d.currentProfile()); }, B(3),
        values(&Hid_Thread::hid_82H_GetCurrentProfile), "820000000000007d", B(3), B(e)};
    QTest::newRow("03H/83H function option") << Row{
        M, [](Hid_Thread &h) { h.hid_03H_SetFunctionOption(2, 4, 0x40, 7); }, "03020440070000af", {}, true,
        [](const VirtualDevice &d) { return A(d.functionOption()); }, hex("02044007"),
        [](Link &l) {
            l.dev->setSensorType(3);
            uchar t = 0xEE, o1 = 0xEE, o2 = 0xEE;
            const bool ok = l.hid.hid_83H_GetFunctionOption(t, o1, o2);
            return B(t, o1, o2, ok);
        },
        "830000000000007c", B(3, 0x40, 7, 1), B(0, 0, 0, 0)};
    QTest::newRow("07H/87H LED instruct") << Row{
        M, [](Hid_Thread &h) { h.hid_07H_SetLEDInstructFunction(1, 4, 5, 6); }, "07010405060000e8", {}, false,
        [](const VirtualDevice &d) { return A(d.ledInstruct(1)); }, hex("01040506"),
        [](Link &l) {
            uchar o1 = 0xEE, o2 = 0xEE, o3 = 0xEE;
            const bool ok = l.hid.hid_87H_GetLEDInstructFunction(1, o1, o2, o3);
            return B(o1, o2, o3, ok);
        },
        "8701000000000077", B(4, 5, 6, 1), B(e, e, e, 0)};
    QTest::newRow("0BH/8BH DPI stage") << Row{
        M, [](Hid_Thread &h) { h.hid_0BH_SetCurrentDPIStage(3); }, "0b030000000000f1", {}, true,
        [](const VirtualDevice &d) { return B(d.dpiStage()); }, B(3),
        values(&Hid_Thread::hid_8BH_GetCurrentDPIStage), "8b00000000000074", B(3), B(0)};
    QTest::newRow("0DH/8DH LED effect") << Row{
        M, [](Hid_Thread &h) { h.hid_0DH_SetRGBLedEffect(5, 0xC8, 0x0A); }, "0d05c80a0000001b", {}, true,
        [](const VirtualDevice &d) { return A(d.ledEffect()); }, hex("05c80a"),
        values(&Hid_Thread::hid_8DH_GetRGBLedEffect), "8d00000000000072", hex("05c80a"), B(0, 0, 0)};
    QTest::newRow("10H/90H stage colour indexes, 4 bytes") << Row{
        M, [](Hid_Thread &h) { QByteArray c = kColors; h.hid_10H_SetLED8StageColor(2, raw(c)); },
        "10020400000000e9", kColors.left(4), true, [](const VirtualDevice &d) { return d.ledColors(2); },
        kColors.left(4), blockOf(24, &Hid_Thread::hid_90H_GetLED8StageColor, 2), "900200000000006d",
        kColors.left(4) + ee(20), ee(24)};
    QTest::newRow("11H/91H DPI set") << Row{
        M, [](Hid_Thread &h) { QByteArray d = kDpi; h.hid_11H_SetDPISet(3, raw(d)); }, "11030800000000e3", kDpi,
        true, [](const VirtualDevice &d) { return B(d.dpiStagesInUse()) + d.dpiCodes(); }, B(3) + kDpi,
        [](Link &l) {
            uchar stages = 0xEE;
            QByteArray codes = ee(8);
            const bool ok = l.hid.hid_91H_GetDPISet(stages, raw(codes));
            return B(stages, ok) + codes;
        },
        "910000000000006e", B(3, 1) + kDpi, B(e, 0) + ee(8)};
    QTest::newRow("12H/92H key matrix") << Row{
        M, [](Hid_Thread &h) { QByteArray m = kMatrix; h.hid_12H_SetKeyMatrix(raw(m)); }, "12014008000000a4",
        kMatrix, true, [](const VirtualDevice &d) { return d.keyMatrix(); }, kMatrix,
        blockOf(64, &Hid_Thread::hid_92H_GetKeyMatrix), "920100000000006c", kMatrix, ee(64)};
    QTest::newRow("13H/93H macro 5") << Row{
        M, [](Hid_Thread &h) { QByteArray m = kMacro; h.hid_13H_SetMacroKey(5, raw(m)); }, "1305800000000067",
        kMacro, true, [](const VirtualDevice &d) { return d.macro(5) + d.macro(4); }, kMacro + QByteArray(128, 0),
        blockOf(128, &Hid_Thread::hid_93H_GetMacroKey, 5), "9305000000000067", kMacro, ee(128)};
    QTest::newRow("80H firmware version text") << Row{
        M, {}, nullptr, {}, false, {}, {},
        [](Link &l) {
            QByteArray out;
            for (auto v : {std::pair<uchar, uchar>{0x01, 0x0A}, {0x1B, 0x05}}) {
                l.dev->setFirmwareVersion(v.first, v.second);
                QString version;
                l.hid.hid_80H_GetFWVersion(version);
                out += version.toLatin1() + ' ';
            }
            return out;
        },
        "800000000000007f", "1.0A 1b.05 ", "unknown unknown "};
    QTest::newRow("kb 03H/83H options") << Row{
        K, [](Hid_Thread &h) { h.hid_03H_SetKeyboardoption(0x11, 0x22, 0x33, 0x44); }, "0311223344000052", {},
        false, [](const VirtualDevice &d) { return A(d.keyboardOption()); }, hex("11223344"),
        values(&Hid_Thread::hid_83H_GetKeyboardoption), "830000000000007c", hex("11223344"), ee(4)};
    QTest::newRow("kb 04H/84H sensitivity") << Row{
        K, [](Hid_Thread &h) { h.hid_04H_SetButtonSensitivity(5, 6, 7, 8); }, "04050607080000e1", {}, true,
        [](const VirtualDevice &d) { return A(d.buttonSensitivity()); }, hex("05060708"),
        values(&Hid_Thread::hid_84H_GetButtonSensitivity), "840000000000007b", hex("05060708"), ee(4)};
    QTest::newRow("kb 07H indicator") << Row{
        K, [](Hid_Thread &h) { h.hid_07H_SetControlIndicatorLight(2, 9); }, "07020900000000ed", {}, false,
        [](const VirtualDevice &d) { return A(d.indicatorLight()); }, hex("0209"), {}, nullptr, {}, {}};
    QTest::newRow("kb 08H/88H LED type") << Row{
        K, [](Hid_Thread &h) { h.hid_08H_SetLEDType(1, 2, 3, 4, 5, 6); }, "08010203040506e2", {}, true,
        [](const VirtualDevice &d) { return A(d.ledType()); }, hex("010203040506"),
        values(&Hid_Thread::hid_88H_GetLEDType), "8800000000000077", hex("0203040506"), ee(5)};
    QTest::newRow("kb 0DH/8DH key matrix, 8DH without checksum") << Row{
        K, [](Hid_Thread &h) { QByteArray m = kKbMatrix; h.hid_0DH_SetKeyMatrix(raw(m)); }, "0d000008000000ea",
        kKbMatrix, true, [](const VirtualDevice &d) { return d.keyMatrix(); }, kKbMatrix,
        blockOf(512, &Hid_Thread::hid_8DH_GetKeyMatrix), "8d00000000000000", kKbMatrix, ee(512)};
    QTest::newRow("kb 0EH/8EH on/off, 21 bytes") << Row{
        K, [](Hid_Thread &h) { QByteArray m = kOnOff; h.hid_0EH_SetKeyOnOff(raw(m)); }, "0e000015000000dc", kOnOff,
        true, [](const VirtualDevice &d) { return d.keyOnOff(); }, kOnOff,
        blockOf(21, &Hid_Thread::hid_8EH_GetKeyOnOff), "8e00000000000071", kOnOff, ee(21)};
    QTest::newRow("kb 11H/91H macro 5") << Row{
        K, [](Hid_Thread &h) { QByteArray m = kKbMacro; h.hid_11H_SetMacroKey(5, raw(m)); }, "11000503000000e6",
        kKbMacro, true, [](const VirtualDevice &d) { return d.macro(5) + d.macro(1); },
        kKbMacro + QByteArray(192, 0), blockOf(192, &Hid_Thread::hid_91H_GetMacroKey, 5), "9100050000000069",
        kKbMacro, ee(192)};
    QTest::newRow("kb 13H recovery") << Row{
        K, [](Hid_Thread &h) { h.hid_13H_SetRecoveryData(); }, "13ff0000000000ed", {}, false,
        [](const VirtualDevice &d) { return B(d.recoveryCount()); }, B(3), {}, nullptr, {}, {}};
    QTest::newRow("kb 14H/94H colour 3") << Row{
        K, [](Hid_Thread &h) { h.hid_14H_SetColor(3, 0x10, 0x20, 0x30); }, "1400031020300088", {}, false,
        [](const VirtualDevice &d) { return A(d.color(3)) + A(d.color(2)); }, hex("102030000000"),
        [](Link &l) { uchar r = 0xEE, g = 0xEE, b = 0xEE; return l.hid.hid_94H_GetColor(3, r, g, b), B(r, g, b); },
        "9400030000000068", hex("102030"), ee(3)};
}
// clang-format on

void CommandsTest::commands()
{
    QFETCH(Row, r);
    Link link(r.model);
    QTemporaryDir dir;
    const bool mouse = r.model == Model::Mouse;
    link.check(mouse ? QStringLiteral(":/DevInfo.ini") : writeKeyboardTable(dir));
    QVERIFY(deviceReady.load());
    const int reportLength = mouse ? 32 : 64;
    link.dev->clearReceived();

    if (r.set) {
        for (int i = 0; i < 3; ++i)
            r.set(link.hid);
        QVERIFY(link.waitFrames(3));
        const auto got = link.dev->received();
        QCOMPARE(got.size(), 3);
        QList<qint64> pauses;
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bytes(got.at(i).frame).toHex(), QByteArray(r.frame));
            QCOMPARE(got.at(i).payload.toHex(), framedReports(r.block, reportLength).toHex());
            QCOMPARE(got.at(i).reportSizes, QList<int>(got.at(i).reportSizes.size(), reportLength + 1));
            if (i > 0)
                pauses << got.at(i).atMs - got.at(i - 1).atMs;
        }
        // After a quiet wait the next command follows one period later at the
        // soonest; without one, after the short report pause.
        const qint64 shortest = std::min(pauses[0], pauses[1]);
        QVERIFY2((shortest >= Hid_Thread::kQuietPeriodMs) == r.quiet, qPrintable(QString::number(shortest)));
        QCOMPARE(r.stored(*link.dev).toHex(), r.storedWant.toHex());
        link.dev->clearReceived();
    }
    if (r.get) {
        QCOMPARE(r.get(link).toHex(), r.answered.toHex());
        QVERIFY(!link.dev->received().isEmpty());
        for (const auto &g : link.dev->received()) {
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
