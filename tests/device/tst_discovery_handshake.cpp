// Discovery of the two interfaces and the secrecy-code handshake against the
// virtual mouse: present, partly present, listed twice, another code, the
// demo code, codes of the wrong length, and access denied.

#include "LinkFixture.h"

#include <QSet>
#include <QTest>

namespace {
QByteArray codeBytes()
{
    return QByteArray(reinterpret_cast<const char *>(SecrecyCode), 8);
}
} // namespace

class DiscoveryHandshakeTest : public QObject {
    Q_OBJECT
private slots:
    void bothInterfacesFound();
    void challengeIsFreshEachTime();
    void oneInterfaceMissing_data();
    void oneInterfaceMissing();
    void commandInterfaceListedTwiceLaterWins();
    void anotherSecrecyCodeFails_data();
    void anotherSecrecyCodeFails();
    void demoCodeWithoutDevice();
    void demoModeRefusesTransfers();
    void codesOfWrongLengthKeepOldBytes();
    void firstCheckWithWrongLengthCodeKeepsZeros();
    void accessDeniedIsReported();
    void recheckAfterRemovalFails();
};

void DiscoveryHandshakeTest::bothInterfacesFound()
{
    DebugCatcher debug;
    Link link;
    link.check();

    const QList<DeviceEntry> list = link.hid.deviceList();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(1).commandPath, QString::fromLatin1(VirtualDevice::kCommandPath));
    QCOMPARE(list.at(1).eventPath, QString::fromLatin1(VirtualDevice::kEventPath));
    QCOMPARE(list.at(1).reportLength, 32u);
    QCOMPARE(list.at(1).name, QStringLiteral("Z3"));
    QVERIFY(list.at(0).commandPath.isEmpty());
    QVERIFY(list.at(0).eventPath.isEmpty());

    QVERIFY(isEncode.load());
    QVERIFY(deviceReady.load());
    QVERIFY(!demoMode.load());
    QVERIFY(link.failedHandshakes.isEmpty());
    QVERIFY(debug.contains(QStringLiteral("Device Connect")));
    QCOMPARE(codeBytes().toHex(), QByteArray("0035383236303400"));

    // The handshake is one 00H frame: challenge in B1..B4, checksum in B7.
    const auto got = link.dev->received();
    QCOMPARE(got.size(), 1);
    const auto &f = got.at(0).frame;
    QCOMPARE(f[0], uchar(0x00));
    QCOMPARE(f[5], uchar(0));
    QCOMPARE(f[6], uchar(0));
    QCOMPARE(f[7], uchar(~uchar(f[1] + f[2] + f[3] + f[4])));
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void DiscoveryHandshakeTest::challengeIsFreshEachTime()
{
    Link link;
    QSet<QByteArray> challenges;
    for (int i = 0; i < 8; ++i)
        link.check();
    QVERIFY(deviceReady.load());
    for (const auto &r : link.dev->received()) {
        QCOMPARE(r.frame[0], uchar(0x00));
        const QByteArray c = bytes(r.frame).mid(1, 4);
        QVERIFY(c != QByteArray(4, '\0'));
        challenges.insert(c);
    }
    // 32 random bits: eight draws colliding into fewer than seven values would
    // mean the challenge is predictable.
    QVERIFY2(challenges.size() >= 7, qPrintable(QString::number(challenges.size())));
}

void DiscoveryHandshakeTest::oneInterfaceMissing_data()
{
    QTest::addColumn<bool>("commandMissing");
    QTest::newRow("command interface missing") << true;
    QTest::newRow("event interface missing") << false;
}

void DiscoveryHandshakeTest::oneInterfaceMissing()
{
    QFETCH(bool, commandMissing);
    DebugCatcher debug;
    Link link;
    VirtualDevice::Faults f;
    f.noCommandInterface = commandMissing;
    f.noEventInterface = !commandMissing;
    link.dev->setFaults(f);
    link.check();

    const DeviceEntry e = link.hid.deviceList().value(1);
    QVERIFY(e.commandPath.isEmpty());
    QVERIFY(e.eventPath.isEmpty());
    QVERIFY(!deviceReady.load());
    QCOMPARE(link.failedHandshakes, QStringList{QStringLiteral("Z3")});
    QVERIFY(debug.contains(QStringLiteral("Device Error")));
    QVERIFY(link.dev->received().isEmpty());
}

void DiscoveryHandshakeTest::commandInterfaceListedTwiceLaterWins()
{
    Link link;
    VirtualDevice::Faults f;
    f.duplicateCommandInterface = true;
    link.dev->setFaults(f);
    // The virtual device lists a stale node first; only the later one opens.
    const auto found = link.dev->enumerate(0x04d9, 0xa09f);
    QCOMPARE(found.size(), 3);
    QVERIFY(found.at(0).path != VirtualDevice::kCommandPath);
    QCOMPARE(found.at(1).path, VirtualDevice::kCommandPath);

    link.check();
    QCOMPARE(link.hid.deviceList().value(1).commandPath, QString::fromLatin1(VirtualDevice::kCommandPath));
    QVERIFY(deviceReady.load());
    QVERIFY(link.failedHandshakes.isEmpty());
}

void DiscoveryHandshakeTest::anotherSecrecyCodeFails_data()
{
    QTest::addColumn<int>("position");
    for (int k = 0; k < 6; ++k)
        QTest::addRow("character %d", k + 1) << k;
}

void DiscoveryHandshakeTest::anotherSecrecyCodeFails()
{
    // The link holds "582604"; the device holds a code that differs in one
    // character, tried with every other printable character there.
    QFETCH(int, position);
    DebugCatcher debug;
    Link link;
    int tried = 0;
    QString code;
    for (char c = 0x20; c < 0x7F; ++c) {
        code = QStringLiteral("582604");
        if (code.at(position) == QLatin1Char(c))
            continue;
        code[position] = QLatin1Char(c);
        link.dev->setSecrecyCode(code);
        link.check();
        QVERIFY2(!deviceReady.load(), qPrintable(code));
        QVERIFY(!demoMode.load());
        QCOMPARE(link.failedHandshakes.size(), ++tried);
    }
    QCOMPARE(link.failedHandshakes.value(0), QStringLiteral("Z3"));
    QVERIFY(debug.contains(QStringLiteral("Device Error")));
    QVERIFY(!debug.contains(QStringLiteral("Device Connect")));

    // Nor does it take a Set it cannot read.
    link.hid.hid_0BH_SetCurrentDPIStage(7);
    QVERIFY(link.waitIdle());
    QCOMPARE(link.dev->dpiStage(), uchar(1));

    // Told the device's code, the link passes.
    link.config.code = code;
    link.check();
    QVERIFY(deviceReady.load());
}

void DiscoveryHandshakeTest::demoCodeWithoutDevice()
{
    Link link;
    VirtualDevice::Faults f;
    f.absent = true;
    link.dev->setFaults(f);
    link.config.code = QStringLiteral("v-harbor");
    link.check();

    QVERIFY(demoMode.load());
    QVERIFY(deviceReady.load());
    QVERIFY(!isEncode.load());
    QVERIFY(link.failedHandshakes.isEmpty());
}

void DiscoveryHandshakeTest::demoModeRefusesTransfers()
{
    // The device is there, but the demo code is not a six-character code, so
    // the handshake fails and the link turns to demo mode.
    Link link;
    link.config.code = QStringLiteral("v-harbor");
    link.check();
    QVERIFY(demoMode.load());
    QVERIFY(deviceReady.load());
    link.dev->clearReceived();

    link.hid.hid_01H_SetReportRate(0x08);
    QVERIFY(link.waitIdle(1000));
    uchar rate = 0x02;
    link.hid.hid_81H_GetReportRate(rate);
    QCOMPARE(rate, uchar(0x02));
    QVERIFY(link.dev->received().isEmpty());
    QCOMPARE(link.dev->reportRate(), uchar(0x01));

    // Demo mode stays on for the rest of the process, even with the right code.
    link.config.code = QStringLiteral("582604");
    link.check();
    QVERIFY(demoMode.load());
}

void DiscoveryHandshakeTest::codesOfWrongLengthKeepOldBytes()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    const QByteArray before = codeBytes();

    for (const QString &code : {QStringLiteral("12345"), QStringLiteral("1234567"), QString()}) {
        link.config.code = code;
        link.check();
        QCOMPARE(codeBytes().toHex(), before.toHex());
        // Still the device's code, so the handshake still passes.
        QVERIFY2(deviceReady.load(), qPrintable(code));
    }
    QVERIFY(link.failedHandshakes.isEmpty());
}

void DiscoveryHandshakeTest::firstCheckWithWrongLengthCodeKeepsZeros()
{
    {
        Link link;
        link.config.code = QStringLiteral("1234567");
        link.check();
        QCOMPARE(codeBytes(), QByteArray(8, '\0'));
        QVERIFY(!deviceReady.load());
    }
    {
        // A device whose code bytes are all zero matches the untouched array.
        Link link(VirtualDevice::Model::Mouse, QString());
        link.config.code = QStringLiteral("12345");
        link.check();
        QCOMPARE(codeBytes(), QByteArray(8, '\0'));
        QVERIFY(deviceReady.load());
    }
}

void DiscoveryHandshakeTest::accessDeniedIsReported()
{
    Link link;
    link.check();
    QVERIFY(!link.hid.accessDenied());

    VirtualDevice::Faults f;
    f.denyOpen = true;
    link.dev->setFaults(f);
    link.check();
    QVERIFY(link.hid.accessDenied());
    QVERIFY(!deviceReady.load());
    QCOMPARE(link.failedHandshakes, QStringList{QStringLiteral("Z3")});

    link.dev->setFaults(VirtualDevice::Faults());
    link.check();
    QVERIFY(!link.hid.accessDenied());
    QVERIFY(deviceReady.load());
}

void DiscoveryHandshakeTest::recheckAfterRemovalFails()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    VirtualDevice::Faults f;
    f.absent = true;
    link.dev->setFaults(f);
    link.check();
    QVERIFY(!deviceReady.load());
    QVERIFY(link.hid.deviceList().value(1).commandPath.isEmpty());
    QCOMPARE(link.failedHandshakes.size(), 1);

    // Plugged back in: the next check finds it again.
    link.dev->setFaults(VirtualDevice::Faults());
    link.check();
    QVERIFY(deviceReady.load());
}

QTEST_GUILESS_MAIN(DiscoveryHandshakeTest)
#include "tst_discovery_handshake.moc"
