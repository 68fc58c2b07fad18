// Macro upload through the view, checked on the wire of the virtual mouse:
// saving a bound macro sends it again to its slot, with the repeat count in
// the block header; too long a macro is cut between records and the user is
// warned.

#include "bridges_ViewRig.h"
#include "stores_WorkFolder.h"

#include <QTest>

namespace {

QList<VirtualDevice::Received> framesWithCode(const VirtualDevice *dev, uchar code)
{
    QList<VirtualDevice::Received> out;
    for (const VirtualDevice::Received &r : dev->received())
        if (r.frame[0] == code)
            out << r;
    return out;
}

// Commands go out one at a time in call order, so once a marker command has
// reached the device, anything the calls before it sent has arrived too.
bool sendMarkerAndWait(BridgesViewRig &rig)
{
    rig.hid.hid_0BH_SetCurrentDPIStage(2);
    return QTest::qWaitFor([&] { return !framesWithCode(rig.dev, 0x0B).isEmpty() && rig.hid.isLinkFree(); }, 5000);
}

} // namespace

class TestMacroUpload : public QObject {
    Q_OBJECT

private slots:
    void savingABoundMacroSendsItToItsSlot()
    {
        ScriptedDialogs dialogs;
        BridgesViewRig rig;
        myQQuickView &view = *rig.view;
        const QString name = view.createMacroIni().toString();
        view.setMacroIniConfig(name, {0, 3});
        QVERIFY(rig.waitIdle());
        rig.dev->clearReceived();
        const QStringList lines{"A    [Down]", "100   [Delay]", "A      [Up]"};
        QVERIFY(view.saveMacroIni(name, lines).toBool());
        QVERIFY(rig.waitFrames(1));
        QList<VirtualDevice::Received> sent = framesWithCode(rig.dev, 0x13);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).frame[1], uchar(1));    // slot index 0 is macro id 1
        QCOMPARE(sent.at(0).frame[2], uchar(0x80)); // a 128-byte block
        QCOMPARE(rig.dev->macro(1), QByteArray::fromHex("00030a0481040000") + QByteArray(120, '\0'));
        QCOMPARE(view.loadMacroIni(name), lines);

        // The last slot, with a repeat count past 16 bits: its low 16 bits, 0x1170.
        view.setMacroIniConfig(name, {11, 70000});
        QVERIFY(rig.waitIdle());
        rig.dev->clearReceived();
        QVERIFY(view.saveMacroIni(name, {QStringLiteral("B    [Down]")}).toBool());
        QVERIFY(rig.waitFrames(1));
        sent = framesWithCode(rig.dev, 0x13);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).frame[1], uchar(12));
        QCOMPARE(rig.dev->macro(12).left(6), QByteArray::fromHex("117001050000"));
        QVERIFY(dialogs.log().isEmpty()); // no warning for a short macro
    }

    void unboundOrOtherDeviceMacrosAreNotSent()
    {
        ScriptedDialogs dialogs;
        BridgesViewRig rig;
        myQQuickView &view = *rig.view;
        const QString name = view.createMacroIni().toString();
        QVERIFY(rig.waitIdle());
        rig.dev->clearReceived();
        QVERIFY(view.saveMacroIni(name, {QStringLiteral("A    [Down]")}).toBool());
        // Bound to slot 2 while the keyboard was the device: the mouse's slot 3
        // belongs to some other macro and is left alone.
        {
            QSettings s(QStringLiteral("./modules/macro/") + name + QStringLiteral(".bin"), QSettings::IniFormat);
            s.setValue(QStringLiteral("config/index"), 2);
            s.setValue(QStringLiteral("config/did"), 0);
        }
        QVERIFY(view.saveMacroIni(name, {QStringLiteral("B    [Down]")}).toBool());
        view.setMacroIniConfig(name, {12, 1}); // past the last slot
        QVERIFY(view.saveMacroIni(name, {QStringLiteral("C    [Down]")}).toBool());
        QCOMPARE(view.saveMacroIni(QStringLiteral("Nobody"), {QStringLiteral("A    [Down]")}).toBool(), false);
        QCOMPARE(view.saveMacroIni(QStringLiteral("../Nobody"), {QStringLiteral("A    [Down]")}).toBool(), false);
        QVERIFY(sendMarkerAndWait(rig));
        QVERIFY(framesWithCode(rig.dev, 0x13).isEmpty());
        QCOMPARE(view.loadMacroIni(name), QStringList{QStringLiteral("C    [Down]")});
        QVERIFY(!QFileInfo::exists(QStringLiteral("./modules/Nobody.bin")));
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
        QVERIFY(rig.waitIdle());
        rig.dev->clearReceived();
        view.ui_13H_SetMacroKey(5, name);
        QVERIFY(rig.waitFrames(1));
        QCOMPARE(dialogs.log(), QStringList{QStringLiteral("warning\tMACRO\tOut of memory,\\nsome command line has been cut.")});
        const QByteArray block = rig.dev->macro(5);
        QCOMPARE(block.size(), 128);
        QCOMPARE(block.left(2), QByteArray::fromHex("0001")); // repeat 1 from the new macro
        QCOMPARE(block.mid(124), QByteArray::fromHex("811d0000"));
    }
};

QTEST_MAIN(TestMacroUpload)
#include "tst_macroupload.moc"
