// The mouse settings slots of the view end to end: the profile file on disk
// and the frames the (virtual) mouse receives. Also the pointer settings slots,
// whose desktop side is exercised against GSettings' memory back end.

// GLib's headers must come before Qt's ("signals" is a Qt macro).
#include "bridges_GnomeMouse.h"

#include "bridges_ViewRig.h"

#include <QApplication>
#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Counts the times a file of a folder is created or replaced by a rename
// (each atomic rewrite does one of them) while it lives.
class ReplaceCounter {
public:
    ReplaceCounter(const QString &folder, const QString &name) : m_name(name.toUtf8())
    {
        m_fd = inotify_init1(IN_NONBLOCK);
        inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_MOVED_TO | IN_CREATE);
    }
    ~ReplaceCounter() { close(m_fd); }
    int count()
    {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (char *p = buffer; p < buffer + n;) {
                const auto *e = reinterpret_cast<const inotify_event *>(p);
                if (e->len && m_name == e->name)
                    ++m_count;
                p += sizeof(inotify_event) + e->len;
            }
        }
        return m_count;
    }

private:
    int m_fd = -1;
    int m_count = 0;
    QByteArray m_name;
};

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class MouseBridgeTest : public QObject {
    Q_OBJECT
private slots:
    void reportRateIsStoredAndSent();
    void reportRateWithKeyboardCurrentStoresNothing();
    void switchingProfileIsHostSideForTheMouse();
    void dpiSetSendsEightCodesEvenFromShortLists();
    void dpiStageRoundTrip();
    void ledEffectStoresPageIndexesAndSendsCodes();
    void colourSetTwoIsPackedIntoFourBytes();
    void colourSetsKeepLowEightBits();
    void keyMatrixSwapsButtonsThreeFourAndFourteenFifteen();
    void keyMatrixFromShortListCountsMissingAsZero();
    void oneActionReplacesTheProfileFileOnce();
    void deviceQuestionsAnswerFromTheDevice();
    void deviceQuestionsWithoutAnswerOrDevice();
    void readBackSlotsReturnTheDeviceBlocks();
    void foolProofingAsksWithOkAndCancel();
    void pointerPositionsAreKeptWhenTheDesktopHasNoSetting();
    void pointerPositionsReachGnomeSettings();
    void scrollSwapChangesOnlyBitSix();
};

void MouseBridgeTest::reportRateIsStoredAndSent()
{
    BridgesViewRig rig;
    rig.view->ui_01H_SetReportRate(0x08);
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.stored("sensor/reportRate_Z3").toInt(), 0x08);
    QCOMPARE(rig.dev->reportRate(), uchar(0x08));
    QCOMPARE(rig.view->ui_81H_GetReportRate().toInt(), 0x08);
    // uchar arguments arrive modulo 256.
    rig.view->ui_01H_SetReportRate(uchar(0x102));
    QVERIFY(rig.waitFrames(2));
    QCOMPARE(rig.stored("sensor/reportRate_Z3").toInt(), 0x02);
}

void MouseBridgeTest::reportRateWithKeyboardCurrentStoresNothing()
{
    BridgesViewRig rig;
    rig.hid.swichCurDevice(0);
    rig.waitIdle();
    rig.view->ui_01H_SetReportRate(0x04);
    rig.waitIdle();
    QVERIFY(!rig.isStored("sensor/reportRate_Z3"));
    // The command was still built for the keyboard.
    QCOMPARE(rig.hid.commandFrame()[1], uchar(0x01));
    QCOMPARE(rig.hid.commandFrame()[2], uchar(0x04));
    // And the keyboard's profile switch does reach the link, but only for a new index.
    rig.view->ui_02H_SetCurrentProfile(0);
    QCOMPARE(rig.hid.commandFrame()[1], uchar(0x01));
    rig.view->ui_02H_SetCurrentProfile(3);
    rig.waitIdle();
    QCOMPARE(rig.hid.commandFrame()[1], uchar(0x02));
    QCOMPARE(rig.hid.commandFrame()[2], uchar(0x03));
    QCOMPARE(rig.view->currentProfileIndex(), 3);
}

void MouseBridgeTest::switchingProfileIsHostSideForTheMouse()
{
    BridgesViewRig rig;
    rig.view->ui_02H_SetCurrentProfile(0); // already current
    rig.view->ui_02H_SetCurrentProfile(4);
    QCOMPARE(rig.view->currentProfileIndex(), 4);
    // A marker command proves that nothing went out before it.
    rig.view->ui_0BH_SetCurrentDPIStage(6);
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->received().size(), 1);
    QCOMPARE(rig.dev->received().at(0).frame[0], uchar(0x0B));
    QCOMPARE(rig.stored("sensor/stage_Z3", 5).toInt(), 6);
    QVERIFY(!rig.isStored("sensor/stage_Z3", 1));
    // There are ten profiles; another index changes nothing.
    rig.view->ui_02H_SetCurrentProfile(10);
    rig.view->ui_02H_SetCurrentProfile(-1);
    QCOMPARE(rig.view->currentProfileIndex(), 4);
    QCOMPARE(rig.view->ui_8BH_GetCurrentDPIStage().toInt(), 6);
}

void MouseBridgeTest::dpiSetSendsEightCodesEvenFromShortLists()
{
    BridgesViewRig rig;
    rig.view->ui_11H_SetDPISet(3, bridgesList({0x02, 0x04, 0x146}),
                               bridgesList({500, 1000, 1500, 0, 0, 0, 0, 0}));
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->dpiCodes(), bridgesBytes({0x02, 0x04, 0x46, 0, 0, 0, 0, 0}));
    QCOMPARE(rig.dev->dpiStagesInUse(), uchar(3));
    QCOMPARE(rig.dev->received().at(0).frame[2], uchar(8));
    QCOMPARE(bridgesInts(rig.stored("sensor/dpi_Z3")), QList<int>({500, 1000, 1500, 0, 0, 0, 0, 0}));
    const QVariantList back = rig.view->ui_91H_GetDPISet();
    QCOMPARE(back.size(), 8);
    QCOMPARE(back.at(2).toInt(), 1500);
    // An empty list sends eight zero codes instead of reading past its end.
    rig.view->ui_11H_SetDPISet(1, QVariantList(), bridgesList({250, 0, 0, 0, 0, 0, 0, 0}));
    QVERIFY(rig.waitFrames(2));
    QCOMPARE(rig.dev->dpiCodes(), QByteArray(8, '\0'));
}

void MouseBridgeTest::dpiStageRoundTrip()
{
    BridgesViewRig rig;
    QCOMPARE(rig.view->ui_8BH_GetCurrentDPIStage().toInt(), 0);
    rig.view->ui_0BH_SetCurrentDPIStage(5);
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->dpiStage(), uchar(5));
    QCOMPARE(rig.stored("sensor/stage_Z3").toInt(), 5);
    QCOMPARE(rig.view->ui_8BH_GetCurrentDPIStage().toInt(), 5);
    QCOMPARE(rig.dev->received().size(), 1); // the read asked only the profile
}

void MouseBridgeTest::ledEffectStoresPageIndexesAndSendsCodes()
{
    BridgesViewRig rig;
    QVERIFY(rig.view->ui_8DH_GetRGBLedEffect().isEmpty());
    rig.view->ui_0DH_SetRGBLedEffect(3, 160, 12, bridgesList({3, 5, 2}));
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->ledEffect(), (std::array<uchar, 3>{3, 160, 12}));
    const QVariantList back = rig.view->ui_8DH_GetRGBLedEffect();
    QCOMPARE(back, (QVariantList{3u, 5u, 2u}));
    QCOMPARE(back.at(0).typeId(), QMetaType::UInt);
}

void MouseBridgeTest::colourSetTwoIsPackedIntoFourBytes()
{
    BridgesViewRig rig;
    rig.view->ui_10H_SetLED8StageColor(2, bridgesList({1, 2, 3, 4, 5, 6, 7, 0}));
    QVERIFY(rig.waitFrames(1));
    const auto frame = rig.dev->received().at(0).frame;
    QCOMPARE(frame[1], uchar(2));
    QCOMPARE(frame[2], uchar(4));
    QCOMPARE(rig.dev->ledColors(2), bridgesBytes({0x21, 0x43, 0x65, 0x07}));
    QCOMPARE(bridgesInts(rig.stored("color_Z3/type2")), QList<int>({1, 2, 3, 4, 5, 6, 7, 0}));
    QCOMPARE(rig.view->ui_90H_GetLED8StageColor(2), (QVariantList{1u, 2u, 3u, 4u, 5u, 6u, 7u, 0u}));
    // The even entry keeps its low nibble only; the odd one is shifted unmasked.
    rig.view->ui_10H_SetLED8StageColor(2, bridgesList({0x1F, 0x13, 0, 0, 0, 0, 0, 0}));
    QVERIFY(rig.waitFrames(2));
    QCOMPARE(rig.dev->ledColors(2).at(0), char(uchar(0x3F)));
}

void MouseBridgeTest::colourSetsKeepLowEightBits()
{
    BridgesViewRig rig;
    QVariantList rgb;
    QByteArray expected;
    for (int i = 0; i < 24; ++i) {
        rgb.append(i * 40); // some above 255
        expected.append(char(uchar(i * 40)));
    }
    rig.view->ui_10H_SetLED8StageColor(1, rgb);
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->received().at(0).frame[2], uchar(24));
    QCOMPARE(rig.dev->ledColors(1), expected);
    QCOMPARE(rig.stored("color_Z3/type1").toList().size(), 24);
    QVERIFY(rig.view->ui_90H_GetLED8StageColor(0).isEmpty());
    // Three colours only: the rest of the block is zero.
    rig.view->ui_10H_SetLED8StageColor(0, bridgesList({255, 0, 128}));
    QVERIFY(rig.waitFrames(2));
    QCOMPARE(rig.dev->ledColors(0), bridgesBytes({255, 0, 128}) + QByteArray(21, '\0'));
}

void MouseBridgeTest::keyMatrixSwapsButtonsThreeFourAndFourteenFifteen()
{
    BridgesViewRig rig;
    QVariantList src;
    for (int k = 0; k < 16; ++k)
        for (int j = 0; j < 4; ++j)
            src.append(k * 16 + j);
    rig.view->ui_12H_SetKeyMatrix(src);
    QVERIFY(rig.waitFrames(1));
    const QByteArray sent = rig.dev->keyMatrix();
    QCOMPARE(sent.size(), 64);
    const QList<int> order{0, 1, 2, 4, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14};
    for (int slot = 0; slot < 16; ++slot) {
        for (int j = 0; j < 4; ++j)
            QCOMPARE(uchar(sent.at(slot * 4 + j)), uchar(order.at(slot) * 16 + j));
    }
    const auto frame = rig.dev->received().at(0).frame;
    QCOMPARE(frame[1], uchar(0x01));
    QCOMPARE(frame[2], uchar(0x40));
    QCOMPARE(frame[3], uchar(0x08));
    // The profile keeps the page's order.
    QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/3")), QList<int>({48, 49, 50, 51}));
    QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/15")), QList<int>({240, 241, 242, 243}));
    QCOMPARE(bridgesInts(rig.view->getKeydefine(QVariant(5))), QList<int>({80, 81, 82, 83}));
    QVERIFY(!rig.isStored("keydefine_Z3/16"));
    QVERIFY(rig.view->getKeydefine(QVariant(16)).isEmpty());
}

void MouseBridgeTest::oneActionReplacesTheProfileFileOnce()
{
    BridgesViewRig rig;
    const QString file = rig.dir.filePath(QStringLiteral("modules/setting/p1.bin"));
    ReplaceCounter replaced(QFileInfo(file).absolutePath(), QStringLiteral("p1.bin"));
    // A key-page apply: 17 keys in one pass of the event loop.
    QVariantList src;
    for (int j = 0; j < 64; ++j)
        src.append(j);
    rig.view->ui_12H_SetKeyMatrix(src);
    rig.view->setScrollPinSwap(true);
    const auto complete = [&] {
        const QByteArray text = fileBytes(file);
        return text.contains("scrollswap=true") && text.contains("0=0, 1, 2, 3") &&
               text.contains("15=60, 61, 62, 63");
    };
    QVERIFY(QTest::qWaitFor(complete, 5000));
    QCOMPARE(replaced.count(), 1);

    // A value written just before the end is in the file after it.
    rig.view->ui_0BH_SetCurrentDPIStage(6);
    QVERIFY(rig.waitIdle());
    rig.view.reset();
    QVERIFY(fileBytes(file).contains("stage_Z3=6"));
}

void MouseBridgeTest::keyMatrixFromShortListCountsMissingAsZero()
{
    BridgesViewRig rig;
    rig.view->ui_12H_SetKeyMatrix(bridgesList({1, 0, 0xF0, 0, 1, 0, 0xF1}));
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->keyMatrix(), bridgesBytes({1, 0, 0xF0, 0, 1, 0, 0xF1, 0}) + QByteArray(56, '\0'));
    QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/1")), QList<int>({1, 0, 0xF1, 0}));
    QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/9")), QList<int>({0, 0, 0, 0}));
}

void MouseBridgeTest::deviceQuestionsAnswerFromTheDevice()
{
    BridgesViewRig rig;
    rig.dev->setSensorType(3);
    rig.dev->setDpiStageCount(5);
    rig.dev->setFirmwareVersion(0x1B, 0x05);
    rig.dev->setLogoLedWorks(true);
    QCOMPARE(rig.view->getSensorType().toInt(), 3);
    QCOMPARE(rig.view->ui_91H_SyncDPI(), uchar(5));
    QCOMPARE(rig.view->ui_80H_GetFWVersion(), QStringLiteral("1b.05"));
    QVERIFY(rig.view->chkIsLogoLedWork());
    rig.dev->setLogoLedWorks(false);
    QVERIFY(!rig.view->chkIsLogoLedWork());
}

void MouseBridgeTest::deviceQuestionsWithoutAnswerOrDevice()
{
    {
        BridgesViewRig rig;
        VirtualDevice::Faults faults;
        faults.noFeatureAnswer = true;
        rig.dev->setLogoLedWorks(true);
        rig.dev->setDpiStageCount(4);
        rig.dev->setFaults(faults);
        QVERIFY(!rig.view->chkIsLogoLedWork());
        QCOMPARE(rig.view->ui_91H_SyncDPI(), uchar(8));
        QCOMPARE(rig.view->ui_80H_GetFWVersion(), QStringLiteral("unknown"));
        QCOMPARE(rig.view->getSensorType().toInt(), 0);
    }
    {
        BridgesViewRig rig(BridgesViewRig::Link::None);
        QVERIFY(!rig.view->chkIsLogoLedWork());
        QCOMPARE(rig.view->ui_91H_SyncDPI(), uchar(8));
        QCOMPARE(rig.view->ui_80H_GetFWVersion(), QString());
        QCOMPARE(rig.view->ui_82H_GetCurrentProfile().toInt(), 0);
        QCOMPARE(rig.view->ui_92H_GetKeyMatrix(), QVariantList(64, 0));
        // Settings are still recorded.
        rig.view->ui_0BH_SetCurrentDPIStage(2);
        rig.view->ui_12H_SetKeyMatrix(QVariantList(64, 1));
        QCOMPARE(rig.stored("sensor/stage_Z3").toInt(), 2);
        QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/15")), QList<int>({1, 1, 1, 1}));
    }
}

void MouseBridgeTest::readBackSlotsReturnTheDeviceBlocks()
{
    BridgesViewRig rig;
    QVariantList src;
    for (int i = 0; i < 64; ++i)
        src.append(i);
    rig.view->ui_12H_SetKeyMatrix(src);
    QVERIFY(rig.waitFrames(1));
    const QVariantList matrix = rig.view->ui_92H_GetKeyMatrix();
    QCOMPARE(matrix.size(), 64);
    // In the device's order: entry 3 holds button 4.
    QCOMPARE(matrix.at(12).toInt(), 16);
    QCOMPARE(matrix.at(16).toInt(), 12);

    QByteArray macro(128, '\0');
    for (int i = 0; i < 128; ++i)
        macro[i] = char(uchar(255 - i));
    rig.hid.hid_13H_SetMacroKey(7, reinterpret_cast<uchar *>(macro.data()));
    QVERIFY(rig.waitFrames(3));
    const QVariantList back = rig.view->ui_93H_GetMacroKey(7);
    QCOMPARE(back.size(), 128);
    QCOMPARE(back.at(0).toInt(), 255);
    QCOMPARE(back.at(127).toInt(), 128);
}

void MouseBridgeTest::foolProofingAsksWithOkAndCancel()
{
    BridgesViewRig rig;
    const QString script = rig.dir.filePath(QStringLiteral("answers.txt"));
    QFile f(script);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("ok\ncancel\nok\n");
    f.close();
    qputenv("Z3_SCRIPTED_DIALOGS", script.toLocal8Bit());
    // Before any language is loaded the box has no texts.
    const bool first = rig.view->getMsgAns_FoolProofing();
    // With the delivered English strings: title "msg/4", text "msg/5".
    QDir(rig.dir.path()).mkpath(QStringLiteral("modules/i18n"));
    QVERIFY(
        QFile::copy(qEnvironmentVariable("Z3_SOURCE_DIR") + QStringLiteral("/modules/i18n/lang_031000.ini"),
                    rig.dir.filePath(QStringLiteral("modules/i18n/lang_031000.ini"))));
    rig.view->getGlobalStrings(QStringLiteral("031000"));
    QCOMPARE(rig.view->messageStrings().size(), 6);
    const bool second = rig.view->getMsgAns_FoolProofing();
    const bool third = rig.view->getMsgAns_FoolProofing();
    qunsetenv("Z3_SCRIPTED_DIALOGS");
    QVERIFY(first);
    QVERIFY(!second);
    QVERIFY(third);
    QFile log(script + QStringLiteral(".log"));
    QVERIFY(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0).section(QLatin1Char('\t'), 1), QStringLiteral("\t"));
    QCOMPARE(lines.at(1).section(QLatin1Char('\t'), 1, 1), rig.view->messageStrings().at(4));
    QCOMPARE(lines.at(1).section(QLatin1Char('\t'), 2), rig.view->messageStrings().at(5));
    QVERIFY(!rig.view->messageStrings().at(4).isEmpty());
}

void MouseBridgeTest::pointerPositionsAreKeptWhenTheDesktopHasNoSetting()
{
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    BridgesViewRig rig;
    QCOMPARE(rig.view->getCursorSpeed(), 0u);
    QCOMPARE(rig.view->getVerticalScrollLines(), 0u);
    QCOMPARE(rig.view->getDoubleClickSpeed(), 0u);
    BridgesDebugCatcher debug;
    rig.view->setCursorSpeed(7);
    rig.view->setVerticalScrollLines(3);
    rig.view->setDoubleClickSpeed(9);
    QVERIFY(!rig.view->getAcceleration());
    rig.view->setAcceleration(true);
    QVERIFY(debug.contains(QStringLiteral("setCursorSpeed Failed")));
    QVERIFY(debug.contains(QStringLiteral("setVerticalScrollLines Failed")));
    QVERIFY(debug.contains(QStringLiteral("setDoubleClickSpeed Failed")));
    QVERIFY(debug.contains(QStringLiteral("getAcceleration Failed")));
    QVERIFY(debug.contains(QStringLiteral("setAcceleration Failed")));
    QCOMPARE(rig.view->getCursorSpeed(), 7u);
    QCOMPARE(rig.view->getVerticalScrollLines(), 3u);
    QCOMPARE(rig.view->getDoubleClickSpeed(), 9u);
    QCOMPARE(rig.stored("sensor/cursorSpeed_Z3").toUInt(), 7u);
    QCOMPARE(rig.stored("sensor/verticalScrollLines_Z3").toUInt(), 3u);
    QCOMPARE(rig.stored("sensor/doubleClickSpeed_Z3").toUInt(), 9u);
}

void MouseBridgeTest::pointerPositionsReachGnomeSettings()
{
#ifndef Z3_TEST_GIO
    QSKIP("built without GIO");
#else
    GSettings *mouse = bridgesGnomeMouseSettings();
    if (!mouse)
        QSKIP("the GNOME peripherals schema (gsettings-desktop-schemas) is not installed");
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    BridgesViewRig rig;
    BridgesDebugCatcher debug;
    rig.view->setCursorSpeed(10);
    QCOMPARE(g_settings_get_double(mouse, "speed"), 1.0);
    rig.view->setCursorSpeed(5);
    QCOMPARE(g_settings_get_double(mouse, "speed"), 0.0);
    rig.view->setDoubleClickSpeed(5);
    QCOMPARE(g_settings_get_int(mouse, "double-click"), 550);
    rig.view->setAcceleration(false);
    gchar *profile = g_settings_get_string(mouse, "accel-profile");
    QCOMPARE(QByteArray(profile), QByteArray("flat"));
    g_free(profile);
    QVERIFY(!rig.view->getAcceleration());
    rig.view->setAcceleration(true);
    QVERIFY(rig.view->getAcceleration());
    // GNOME keeps no wheel scroll lines: the position is kept, the setter says so.
    rig.view->setVerticalScrollLines(4);
    QCOMPARE(rig.view->getVerticalScrollLines(), 4u);
    QCOMPARE(debug.texts(), QStringList{QStringLiteral("setVerticalScrollLines Failed")});
    qunsetenv("XDG_CURRENT_DESKTOP");
    g_object_unref(mouse);
#endif
}

void MouseBridgeTest::scrollSwapChangesOnlyBitSix()
{
    BridgesViewRig rig;
    QVERIFY(!rig.view->getScrollPinSwap());
    rig.hid.hid_01H_SetReportRate(0x04);
    rig.hid.hid_03H_SetFunctionOption(1, 0x02, 0x85, 0x33);
    QVERIFY(rig.waitFrames(2));
    uchar type = 0, option1 = 0, option2 = 0, rate = 0;
    rig.hid.hid_83H_GetFunctionOption(type, option1, option2);
    rig.hid.hid_81H_GetReportRate(rate);
    rig.dev->clearReceived();

    rig.view->setScrollPinSwap(true);
    QVERIFY(rig.waitFrames(3));
    QList<uchar> codes;
    for (const auto &r : rig.dev->received())
        codes.append(r.frame[0]);
    QCOMPARE(codes, (QList<uchar>{0x83, 0x81, 0x03}));
    QCOMPARE(rig.dev->functionOption(), (std::array<uchar, 4>{type, rate, uchar(option1 | 0x40), option2}));
    QVERIFY(rig.view->getScrollPinSwap());
    QCOMPARE(rig.stored("keydefine_Z3/scrollswap").toBool(), true);

    rig.view->setScrollPinSwap(false);
    QVERIFY(rig.waitFrames(6));
    const std::array<uchar, 4> unswapped{type, rate, uchar(option1 & ~0x40), option2};
    QCOMPARE(rig.dev->functionOption(), unswapped);
    QVERIFY(!rig.view->getScrollPinSwap());

    // Unanswered reads: 03H is not sent (it would zero type, rate and option
    // 2) and the failure is reported; the profile still keeps the choice.
    VirtualDevice::Faults mute;
    mute.noFeatureAnswer = true;
    rig.dev->setFaults(mute);
    rig.dev->clearReceived();
    BridgesDebugCatcher debug;
    rig.view->setScrollPinSwap(true);
    QVERIFY(rig.waitFrames(1));
    QCOMPARE(rig.dev->received().size(), 1);
    QCOMPARE(rig.dev->received().at(0).frame[0], uchar(0x83));
    QCOMPARE(rig.dev->functionOption(), unswapped);
    QVERIFY(debug.contains(QStringLiteral("cmd Failed 03")));
    QVERIFY(rig.view->getScrollPinSwap());
}

int main(int argc, char **argv)
{
    // Desktop settings go to GSettings' in-memory back end, never to the
    // user's real settings.
    qputenv("GSETTINGS_BACKEND", "memory");
    QApplication app(argc, argv);
    MouseBridgeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mousebridge.moc"
