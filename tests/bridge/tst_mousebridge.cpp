// The mouse settings slots of the view end to end: the profile file on disk
// and the frames the (virtual) mouse receives.

#include "bridges_ViewRig.h"

#include <QApplication>
#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// How often a file of a folder is created or replaced by a rename (each
// atomic rewrite does one of them) since the folder was watched.
int replacements(int fd, const QByteArray &name)
{
    static int count = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        for (char *p = buffer; p < buffer + n; p += sizeof(inotify_event) + reinterpret_cast<inotify_event *>(p)->len)
            count += reinterpret_cast<inotify_event *>(p)->len && name == reinterpret_cast<inotify_event *>(p)->name;
    return count;
}

QVariantList counting(int n)
{
    QVariantList list;
    for (int i = 0; i < n; ++i)
        list.append(i);
    return list;
}

} // namespace

class MouseBridgeTest : public QObject {
    Q_OBJECT
private slots:
    void settingsAreStoredAndSent()
    {
        BridgesViewRig rig;
        myQQuickView &view = *rig.view;
        view.ui_01H_SetReportRate(uchar(0x108)); // uchar arguments arrive modulo 256
        view.ui_11H_SetDPISet(3, bridgesList({0x02, 0x04, 0x146}), bridgesList({500, 1000, 1500, 0, 0, 0, 0, 0}));
        view.ui_0BH_SetCurrentDPIStage(5);
        view.ui_0DH_SetRGBLedEffect(3, 160, 12, bridgesList({3, 5, 2}));
        view.ui_10H_SetLED8StageColor(2, bridgesList({1, 2, 3, 4, 5, 6, 7, 0x1F}));
        view.ui_10H_SetLED8StageColor(0, bridgesList({255, 0, 0x180}));
        QVERIFY(rig.waitFrames(6));
        QCOMPARE(rig.dev->reportRate(), uchar(0x08));
        QCOMPARE(rig.stored("sensor/reportRate_Z3").toInt(), 0x08);
        // Eight codes even from a short list, low eight bits each.
        QCOMPARE(rig.dev->dpiCodes(), bridgesBytes({0x02, 0x04, 0x46, 0, 0, 0, 0, 0}));
        QCOMPARE(rig.dev->dpiStagesInUse(), uchar(3));
        QCOMPARE(bridgesInts(rig.stored("sensor/dpi_Z3")), QList<int>({500, 1000, 1500, 0, 0, 0, 0, 0}));
        QCOMPARE(rig.dev->dpiStage(), uchar(5));
        QCOMPARE(rig.stored("sensor/stage_Z3").toInt(), 5);
        QCOMPARE(rig.dev->ledEffect(), (std::array<uchar, 3>{3, 160, 12}));
        QCOMPARE(view.ui_8DH_GetRGBLedEffect(), (QVariantList{3u, 5u, 2u})); // the page's indexes
        // Set 2 packs two colour numbers per byte, low nibble first.
        QCOMPARE(rig.dev->ledColors(2), bridgesBytes({0x21, 0x43, 0x65, 0xF7}));
        QCOMPARE(bridgesInts(rig.stored("color_Z3/type2")), QList<int>({1, 2, 3, 4, 5, 6, 7, 0x1F}));
        QCOMPARE(rig.dev->ledColors(0), bridgesBytes({255, 0, 0x80}) + QByteArray(21, '\0'));
    }

    void keyMatrixSwapsButtonsThreeFourAndFourteenFifteen()
    {
        BridgesViewRig rig;
        rig.view->ui_12H_SetKeyMatrix(counting(64));
        QVERIFY(rig.waitFrames(1));
        const QList<int> order{0, 1, 2, 4, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 14};
        QByteArray expected;
        for (int slot : order)
            expected += bridgesBytes({slot * 4, slot * 4 + 1, slot * 4 + 2, slot * 4 + 3});
        QCOMPARE(rig.dev->keyMatrix(), expected);
        QCOMPARE(rig.view->ui_92H_GetKeyMatrix().at(12).toInt(), 16); // read back in the device's order
        // The profile keeps the page's order.
        QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/3")), QList<int>({12, 13, 14, 15}));
        QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/15")), QList<int>({60, 61, 62, 63}));
        QVERIFY(!rig.isStored("keydefine_Z3/16"));
        // A short list counts the missing entries as zero.
        rig.view->ui_12H_SetKeyMatrix(bridgesList({1, 0, 0xF0, 0, 1, 0, 0xF1}));
        QVERIFY(rig.waitFrames(2));
        QCOMPARE(rig.dev->keyMatrix(), bridgesBytes({1, 0, 0xF0, 0, 1, 0, 0xF1, 0}) + QByteArray(56, '\0'));
        QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/9")), QList<int>({0, 0, 0, 0}));
    }

    void profileSwitchIsHostSideForTheMouse()
    {
        BridgesViewRig rig;
        rig.view->ui_02H_SetCurrentProfile(4);
        rig.view->ui_02H_SetCurrentProfile(10); // there are ten profiles
        rig.view->ui_02H_SetCurrentProfile(-1);
        rig.view->ui_0BH_SetCurrentDPIStage(6); // a marker: nothing went out before it
        QVERIFY(rig.waitFrames(1));
        QCOMPARE(rig.dev->received().size(), 1);
        QCOMPARE(rig.view->currentProfileIndex(), 4);
        QCOMPARE(rig.stored("sensor/stage_Z3", 5).toInt(), 6);
        QVERIFY(!rig.isStored("sensor/stage_Z3", 1));
        // With the keyboard current a mouse setting stores nothing and the
        // switch goes to the device.
        rig.hid.swichCurDevice(0);
        QVERIFY(rig.waitIdle());
        rig.view->ui_01H_SetReportRate(0x04);
        QVERIFY(rig.waitIdle());
        QVERIFY(!rig.isStored("sensor/reportRate_Z3", 5));
        rig.view->ui_02H_SetCurrentProfile(3);
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.view->currentProfileIndex(), 3);
        QCOMPARE(rig.hid.commandFrame()[1], uchar(0x02));
        QCOMPARE(rig.hid.commandFrame()[2], uchar(0x03));
    }

    void oneActionReplacesTheProfileFileOnce()
    {
        BridgesViewRig rig;
        const QString file = rig.dir.filePath(QStringLiteral("modules/setting/p1.bin"));
        const int fd = inotify_init1(IN_NONBLOCK);
        inotify_add_watch(fd, QFile::encodeName(QFileInfo(file).absolutePath()).constData(), IN_MOVED_TO | IN_CREATE);
        // A key-page apply: 17 keys in one pass of the event loop.
        rig.view->ui_12H_SetKeyMatrix(counting(64));
        rig.view->setScrollPinSwap(true);
        const auto written = [&] { // read without flushing: the writer's own pass must write it
            QFile f(file);
            return f.open(QIODevice::ReadOnly) && f.readAll().contains("scrollswap=true");
        };
        QVERIFY(QTest::qWaitFor(written, 5000));
        QCOMPARE(replacements(fd, "p1.bin"), 1);
        close(fd);
        QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/15")), QList<int>({60, 61, 62, 63}));
        // A value written just before the end is in the file after it.
        rig.view->ui_0BH_SetCurrentDPIStage(6);
        QVERIFY(rig.waitIdle());
        rig.view.reset();
        QCOMPARE(rig.stored("sensor/stage_Z3").toInt(), 6);
    }

    void deviceQuestionsWithAndWithoutAnswers()
    {
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
            VirtualDevice::Faults faults;
            faults.noFeatureAnswer = true;
            rig.dev->setFaults(faults);
            QVERIFY(!rig.view->chkIsLogoLedWork());
            QCOMPARE(rig.view->ui_91H_SyncDPI(), uchar(8));
            QCOMPARE(rig.view->ui_80H_GetFWVersion(), QStringLiteral("unknown"));
        }
        for (const char *name : {"XDG_CURRENT_DESKTOP", "DISPLAY", "WAYLAND_DISPLAY"})
            qunsetenv(name);
        BridgesViewRig rig(BridgesViewRig::Link::None);
        QCOMPARE(rig.view->ui_92H_GetKeyMatrix(), QVariantList(64, 0));
        // Settings are still recorded, also the pointer positions the desktop does not take.
        BridgesDebugCatcher debug;
        rig.view->ui_12H_SetKeyMatrix(QVariantList(64, 1));
        rig.view->setCursorSpeed(7);
        QVERIFY(debug.contains(QStringLiteral("setCursorSpeed Failed")));
        QCOMPARE(rig.view->getCursorSpeed(), 7u);
        QCOMPARE(rig.stored("sensor/cursorSpeed_Z3").toUInt(), 7u);
        QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/15")), QList<int>({1, 1, 1, 1}));
    }

    void scrollSwapChangesOnlyBitSix()
    {
        BridgesViewRig rig;
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
        QCOMPARE(rig.stored("keydefine_Z3/scrollswap").toBool(), true);
        rig.view->setScrollPinSwap(false);
        QVERIFY(rig.waitFrames(6));
        const std::array<uchar, 4> unswapped{type, rate, uchar(option1 & ~0x40), option2};
        QCOMPARE(rig.dev->functionOption(), unswapped);

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
};

int main(int argc, char **argv)
{
    qputenv("GSETTINGS_BACKEND", "memory"); // never the user's real desktop settings
    QApplication app(argc, argv);
    MouseBridgeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mousebridge.moc"
