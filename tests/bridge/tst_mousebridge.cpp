// The view's settings slots end to end: profile file on disk, frames at the virtual device, macros
// uploaded to their slots when saved and cut between records when too long.

#include "bridges_ViewRig.h"

#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// How often a file of a folder is created or replaced by a rename (each
// atomic rewrite does one of them) since the folder was watched.
int replacements(int fd, const QByteArray &name)
{
    int count = 0;
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
        list.append(i & 0xFF);
    return list;
}

// The macro slots (13H) the device was sent, in order.
QList<int> macroSlotsSent(const VirtualDevice *dev)
{
    QList<int> out;
    for (const VirtualDevice::Received &r : dev->received())
        if (r.frame[0] == 0x13)
            out << r.frame[1];
    return out;
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
        view.ui_11H_SetDPISet(3, QVariantList{0x02, 0x04, 0x146}, QVariantList{500, 1000, 1500, 0, 0, 0, 0, 0});
        view.ui_10H_SetLED8StageColor(0, QVariantList{255, 0, 0x180});
        QVERIFY(rig.waitFrames(3));
        QCOMPARE(rig.dev->ledColors(0), QByteArray::fromHex("ff0080") + QByteArray(21, '\0'));
        QCOMPARE((QList<int>{rig.dev->reportRate(), rig.stored("sensor/reportRate_Z3").toInt()}), (QList<int>{8, 8}));
        // Eight codes even from a short list, low eight bits each.
        QCOMPARE(rig.dev->dpiCodes(), QByteArray::fromHex("0204460000000000"));
        QCOMPARE(rig.dev->dpiStagesInUse(), uchar(3));
    }

    // The swap of buttons 3/4 and 14/15 on the wire: tst_gui_scene_main's profile switch.
    void keyMatrixKeepsThePageOrderAndFillsShortLists()
    {
        BridgesViewRig rig;
        rig.view->ui_12H_SetKeyMatrix(counting(64));
        QVERIFY(rig.waitFrames(1));
        QCOMPARE(bridgesInts(rig.stored("keydefine_Z3/3")), QList<int>({12, 13, 14, 15}));
        rig.view->ui_12H_SetKeyMatrix(QVariantList{1, 0, 0xF0, 0, 1, 0, 0xF1});
        QVERIFY(rig.waitFrames(2));
        QCOMPARE(rig.dev->keyMatrix(), QByteArray::fromHex("0100f0000100f100") + QByteArray(56, '\0'));
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
        // With the keyboard current a mouse setting stores nothing, and the
        // switch goes to the device.
        rig.hid.swichCurDevice(0);
        rig.view->ui_01H_SetReportRate(0x04);
        rig.view->ui_02H_SetCurrentProfile(3);
        QVERIFY(rig.waitIdle());
        QVERIFY(!rig.isStored("sensor/reportRate_Z3", 5) && !rig.isStored("sensor/reportRate_Z3", 4));
        QCOMPARE(rig.view->currentProfileIndex(), 3);
        QCOMPARE(rig.hid.commandFrame()[1], uchar(0x02));
        QCOMPARE(rig.hid.commandFrame()[2], uchar(0x03));
    }

    void oneActionReplacesTheProfileFileOnce()
    {
        BridgesViewRig rig;
        const QString file = rig.work.file(QStringLiteral("modules/setting/p1.bin"));
        const int fd = inotify_init1(IN_NONBLOCK);
        inotify_add_watch(fd, QFile::encodeName(QFileInfo(file).absolutePath()).constData(), IN_MOVED_TO | IN_CREATE);
        // A key-page apply: 17 keys in one pass of the event loop.
        rig.view->ui_12H_SetKeyMatrix(counting(64));
        rig.view->setScrollPinSwap(true);
        // Read without flushing: the writer's own pass must write it.
        const auto written = [&] { return fileBytes(file).contains("scrollswap=true"); };
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

    void keyboardSettingsAreStoredAndSent()
    {
        BridgesViewRig rig(BridgesViewRig::Link::VirtualKeyboard);
        myQQuickView &view = *rig.view;
        const QVariantList matrix = counting(512);
        QVariantList picture = matrix;
        picture[0] = 0x1FE; // low 8 bits go to the device
        view.ui_08H_SetLEDType(2, 5, 3, 7, 1, 0);
        view.ui_0DH_SetKeyMatrix(matrix);
        view.ui_12H_SetUserPicture(3, 0xFF, matrix); // kept, not sent
        view.ui_12H_SetUserPicture(2, 1, picture);
        view.ui_0EH_SetKeyOnOff(QVariantList{1, 2, 3, 0x104});
        QVERIFY(rig.waitFrames(4) && rig.waitIdle());
        const auto led = rig.dev->received().at(0).frame;
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(led.data()), 7), QByteArray::fromHex("08020503070100"));
        QByteArray bytes;
        for (int i = 0; i < 512; ++i)
            bytes += char(i);
        QCOMPARE(rig.dev->keyMatrix(), bytes); // no reordering, last 8 bytes too
        QCOMPARE(bridgesInts(rig.stored("keydefine/125")), QList<int>({244, 245, 246, 247}));
        QVERIFY(!rig.isStored("keydefine/126") && !rig.isStored("keydefine_Z3/0")); // 126 keys, in their own group
        QCOMPARE(rig.dev->userPicture(2), char(0xFE) + bytes.mid(1));
        const auto &frames = rig.dev->received();
        QCOMPARE(std::count_if(frames.cbegin(), frames.cend(), [](const auto &r) { return r.frame[0] == 0x12; }), 1);
        QCOMPARE(bridgesInts(view.ui_92H_GetUserPicture(3)), bridgesInts(matrix));
        QCOMPARE(rig.dev->keyOnOff(), QByteArray::fromHex("01020304") + QByteArray(17, '\0'));
        // The key definitions follow the current device.
        QCOMPARE(bridgesInts(view.getKeydefine(QVariant(5))), QList<int>());
        rig.hid.swichCurDevice(0);
        QVERIFY(rig.waitIdle());
        QCOMPARE(bridgesInts(view.getKeydefine(QVariant(QStringLiteral("5")))), QList<int>({20, 21, 22, 23}));
    }

    void deviceQuestionsWithoutAnswersOrDevice()
    {
        {
            BridgesViewRig rig;
            rig.dev->setDpiStageCount(5);
            VirtualDevice::Faults faults;
            faults.noFeatureAnswer = true;
            rig.dev->setFaults(faults);
            QCOMPARE(rig.view->ui_91H_SyncDPI(), uchar(8));
            QCOMPARE(rig.view->ui_80H_GetFWVersion(), QStringLiteral("unknown"));
            QVERIFY(!rig.view->chkIsLogoLedWork());
        }
        // Without a device the settings are still recorded, also the pointer
        // positions the desktop does not take.
        for (const char *name : {"XDG_CURRENT_DESKTOP", "DISPLAY", "WAYLAND_DISPLAY"})
            qunsetenv(name);
        BridgesViewRig none(BridgesViewRig::Link::None);
        DebugCatcher debug;
        none.view->ui_12H_SetKeyMatrix(QVariantList(64, 1));
        none.view->setCursorSpeed(7);
        QVERIFY(debug.texts().contains(QStringLiteral("setCursorSpeed Failed")));
        QCOMPARE(none.stored("sensor/cursorSpeed_Z3").toUInt(), 7u);
        QCOMPARE(bridgesInts(none.stored("keydefine_Z3/15")), QList<int>({1, 1, 1, 1}));
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
        DebugCatcher debug;
        rig.view->setScrollPinSwap(true);
        QVERIFY(rig.waitFrames(1));
        QCOMPARE(rig.dev->received().size(), 1); // the 83H
        QCOMPARE(rig.dev->functionOption(), unswapped);
        QVERIFY(debug.texts().contains(QStringLiteral("cmd Failed 03")));
        QVERIFY(rig.view->getScrollPinSwap());
    }

    void savingABoundMacroSendsItToItsSlotOnly()
    {
        ScriptedDialogs dialogs;
        BridgesViewRig rig;
        myQQuickView &view = *rig.view;
        const QString name = view.createMacroIni().toString();
        view.setMacroIniConfig(name, {0, 3});
        const QStringList lines{"A    [Down]", "100   [Delay]", "A      [Up]"};
        QVERIFY(view.saveMacroIni(name, lines).toBool());
        // The last slot, with a repeat count past 16 bits: its low 16 bits, 0x1170.
        view.setMacroIniConfig(view.createMacroIni().toString(), {11, 70000});
        QVERIFY(view.saveMacroIni(QStringLiteral("Macro. 002"), {"B    [Down]"}).toBool());
        QVERIFY(rig.waitFrames(2));
        QCOMPARE(macroSlotsSent(rig.dev), (QList<int>{1, 12})); // slot index 0 is macro id 1
        QCOMPARE(rig.dev->received().at(0).frame[2], uchar(0x80)); // a 128-byte block
        QCOMPARE(rig.dev->macro(1), QByteArray::fromHex("00030a0481040000") + QByteArray(120, '\0'));
        QCOMPARE(rig.dev->macro(12).left(6), QByteArray::fromHex("117001050000"));
        QCOMPARE(view.loadMacroIni(name), lines);

        // Bound to slot 2 while the keyboard was the device: the mouse's slot 3
        // belongs to some other macro and is left alone. Nor is a slot past the
        // last one, or a macro that is not there, sent.
        rig.dev->clearReceived();
        QSettings(QStringLiteral("./modules/macro/") + name + ".bin", QSettings::IniFormat)
            .setValue(QStringLiteral("config/did"), 0);
        QVERIFY(view.saveMacroIni(name, {"B    [Down]"}).toBool());
        view.setMacroIniConfig(QStringLiteral("Macro. 002"), {12, 1});
        QVERIFY(view.saveMacroIni(QStringLiteral("Macro. 002"), {"C    [Down]"}).toBool());
        QVERIFY(!view.saveMacroIni(QStringLiteral("Nobody"), {"A    [Down]"}).toBool());
        rig.hid.hid_0BH_SetCurrentDPIStage(2); // commands go out in call order: a marker
        QVERIFY(rig.waitFrames(1));
        QCOMPARE(rig.dev->received().at(0).frame[0], uchar(0x0B));
        QVERIFY(dialogs.log().isEmpty()); // no warning for a short macro
    }

    void tooLongMacroIsCutBetweenRecordsWithAWarning()
    {
        ScriptedDialogs dialogs({QStringLiteral("ok")});
        BridgesViewRig rig;
        myQQuickView &view = *rig.view;
        const QString name = view.createMacroIni().toString();
        // 62 events (126 bytes with the header), then a 4-byte long delay that
        // does not fit with the terminator.
        QStringList lines;
        for (int i = 0; i < 62; ++i)
            lines << (i % 2 ? QStringLiteral("Z      [Up]") : QStringLiteral("Z    [Down]"));
        lines << QStringLiteral("9000   [Delay]");
        QVERIFY(view.saveMacroIni(name, lines).toBool()); // not bound: nothing sent yet
        QVERIFY(dialogs.log().isEmpty());
        view.ui_13H_SetMacroKey(5, name);
        QVERIFY(rig.waitFrames(1));
        QCOMPARE(dialogs.log(), QStringList{"warning\tMACRO\tOut of memory,\\nsome command line has been cut."});
        const QByteArray block = rig.dev->macro(5);
        QCOMPARE(block.size(), 128);
        QCOMPARE(block.left(2), QByteArray::fromHex("0001")); // repeat 1 from the new macro
        QCOMPARE(block.mid(124), QByteArray::fromHex("811d0000"));
    }
};

QTEST_MAIN(MouseBridgeTest)
#include "tst_mousebridge.moc"
