// Macro upload through the view, checked on the wire of the virtual mouse:
// saving a bound macro sends it again to its slot, with the repeat count in
// the block header; too long a macro is cut between records and the user is
// warned.

#include "bridges_ViewRig.h"
#include "stores_WorkFolder.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kDown = QStringLiteral("    [Down]");
const QString kUp = QStringLiteral("      [Up]");
const QString kDelay = QStringLiteral("   [Delay]");

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
    return QTest::qWaitFor([&] { return !framesWithCode(rig.dev, 0x0B).isEmpty() && rig.hid.isLinkFree(); },
                           5000);
}

} // namespace

class TestMacroUpload : public QObject {
    Q_OBJECT

private slots:
    void savingABoundMacroSendsItToItsSlot();
    void lastMouseSlotAndSlotsBeyondIt();
    void unboundOrOtherDeviceMacrosAreNotSent();
    void tooLongMacroIsCutBetweenRecordsWithAWarning();
    void noDeviceMeansNoCommandAndNoCrash();
};

void TestMacroUpload::savingABoundMacroSendsItToItsSlot()
{
    ScriptedDialogs dialogs;
    BridgesViewRig rig;
    QVERIFY(rig.dev);
    myQQuickView &view = *rig.view;
    const QString name = view.createMacroIni().toString();
    QCOMPARE(name, QStringLiteral("Macro. 001"));
    view.setMacroIniConfig(name, {0, 3});
    QCOMPARE(view.loadMacroIniConfig(name), (QVariantList{0, 3}));
    QVERIFY(rig.waitIdle());
    rig.dev->clearReceived();

    const QStringList lines{QStringLiteral("A") + kDown, QStringLiteral("100") + kDelay,
                            QStringLiteral("A") + kUp};
    QVERIFY(view.saveMacroIni(name, lines).toBool());
    QVERIFY(rig.waitFrames(1));
    const QList<VirtualDevice::Received> sent = framesWithCode(rig.dev, 0x13);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.at(0).frame[1], uchar(1));    // slot index 0 is macro id 1
    QCOMPARE(sent.at(0).frame[2], uchar(0x80)); // a 128-byte block
    QByteArray expected = QByteArray::fromHex("00030a0481040000");
    expected.append(QByteArray(120, '\0'));
    QCOMPARE(rig.dev->macro(1), expected);
    QCOMPARE(view.loadMacroIni(name), lines);
    QVERIFY(dialogs.log().isEmpty()); // no warning for a short macro

    // The encoder slot gives the same bytes without the header rewrite.
    const QList<uchar> encoded = view.macroIncode(lines);
    QCOMPARE(encoded, (QList<uchar>{0x00, 0x01, 0x0A, 0x04, 0x81, 0x04, 0x00, 0x00}));
}

void TestMacroUpload::lastMouseSlotAndSlotsBeyondIt()
{
    ScriptedDialogs dialogs;
    BridgesViewRig rig;
    QVERIFY(rig.dev);
    myQQuickView &view = *rig.view;
    const QString name = view.createMacroIni().toString();
    view.setMacroIniConfig(name, {11, 70000});
    QVERIFY(rig.waitIdle());
    rig.dev->clearReceived();
    QVERIFY(view.saveMacroIni(name, {QStringLiteral("B") + kDown}).toBool());
    QVERIFY(rig.waitFrames(1));
    QList<VirtualDevice::Received> sent = framesWithCode(rig.dev, 0x13);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.at(0).frame[1], uchar(12));
    // 70000 keeps its low 16 bits: 0x1170.
    QCOMPARE(rig.dev->macro(12).left(6), QByteArray::fromHex("117001050000"));

    view.setMacroIniConfig(name, {12, 1});
    QVERIFY(rig.waitIdle());
    rig.dev->clearReceived();
    QVERIFY(view.saveMacroIni(name, {QStringLiteral("C") + kDown}).toBool());
    QVERIFY(sendMarkerAndWait(rig));
    QVERIFY(framesWithCode(rig.dev, 0x13).isEmpty());
    QCOMPARE(view.loadMacroIni(name), QStringList{QStringLiteral("C") + kDown});
}

void TestMacroUpload::unboundOrOtherDeviceMacrosAreNotSent()
{
    ScriptedDialogs dialogs;
    BridgesViewRig rig;
    QVERIFY(rig.dev);
    myQQuickView &view = *rig.view;
    const QString name = view.createMacroIni().toString();
    QVERIFY(rig.waitIdle());
    rig.dev->clearReceived();
    QVERIFY(view.saveMacroIni(name, {QStringLiteral("A") + kDown}).toBool());

    // Bound to slot 2 while the keyboard was the device: the mouse's slot 3
    // belongs to some other macro and is left alone.
    {
        QSettings s(QStringLiteral("./modules/macro/") + name + QStringLiteral(".bin"), QSettings::IniFormat);
        s.setValue(QStringLiteral("config/index"), 2);
        s.setValue(QStringLiteral("config/did"), 0);
    }
    QVERIFY(view.saveMacroIni(name, {QStringLiteral("B") + kDown}).toBool());
    QCOMPARE(view.loadMacroIniConfig(name), (QVariantList{-1, 1}));

    // A missing macro is not saved and sends nothing.
    QCOMPARE(view.saveMacroIni(QStringLiteral("Nobody"), {QStringLiteral("A") + kDown}).toBool(), false);
    QCOMPARE(view.saveMacroIni(QStringLiteral("../Nobody"), {QStringLiteral("A") + kDown}).toBool(), false);
    QVERIFY(sendMarkerAndWait(rig));
    QVERIFY(framesWithCode(rig.dev, 0x13).isEmpty());
    QVERIFY(!QFileInfo::exists(QStringLiteral("./modules/Nobody.bin")));
}

void TestMacroUpload::tooLongMacroIsCutBetweenRecordsWithAWarning()
{
    ScriptedDialogs dialogs;
    dialogs.answer({QStringLiteral("ok")});
    BridgesViewRig rig;
    QVERIFY(rig.dev);
    myQQuickView &view = *rig.view;
    const QString name = view.createMacroIni().toString();
    // 62 events (126 bytes with the header), then a 4-byte long delay that
    // does not fit with the terminator.
    QStringList lines;
    for (int i = 0; i < 62; ++i)
        lines << QStringLiteral("Z") + (i % 2 ? kUp : kDown);
    lines << QStringLiteral("9000") + kDelay;
    QVERIFY(view.saveMacroIni(name, lines).toBool()); // not bound: nothing sent yet
    QVERIFY(dialogs.log().isEmpty());
    QVERIFY(rig.waitIdle());
    rig.dev->clearReceived();

    view.ui_13H_SetMacroKey(5, name);
    QVERIFY(rig.waitFrames(1));
    const QStringList log = dialogs.log();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log.at(0), QStringLiteral("warning\tMACRO\tOut of memory,\\nsome command line has been cut."));
    const QByteArray block = rig.dev->macro(5);
    QCOMPARE(block.size(), 128);
    QCOMPARE(block.left(2), QByteArray::fromHex("0001")); // repeat 1 from the new macro
    QCOMPARE(uchar(block.at(124)), uchar(0x81));
    QCOMPARE(uchar(block.at(125)), uchar(0x1D));
    QCOMPARE(block.mid(126), QByteArray(2, '\0'));
}

void TestMacroUpload::noDeviceMeansNoCommandAndNoCrash()
{
    ScriptedDialogs dialogs;
    BridgesViewRig rig(BridgesViewRig::Link::None);
    myQQuickView &view = *rig.view;
    const QString name = view.createMacroIni().toString();
    QVERIFY(!name.isEmpty());
    view.setMacroIniConfig(name, {0, 1});
    QVERIFY(view.saveMacroIni(name, {QStringLiteral("A") + kDown}).toBool());
    view.ui_13H_SetMacroKey(1, name);
    view.ui_11H_SetMacroKey(1, name);
    view.ui_13H_SetMacroKey(1, QStringLiteral("Nobody"));
    // Without a link the mouse is assumed: the binding reads back for it.
    QCOMPARE(view.loadMacroIniConfig(name), (QVariantList{0, 1}));
    QVERIFY(dialogs.log().isEmpty());
}

QTEST_MAIN(TestMacroUpload)
#include "tst_macroupload.moc"
