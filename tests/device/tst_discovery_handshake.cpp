// Discovery of the two interfaces and the secrecy-code handshake against the
// virtual device: present, partly present, listed twice, another code, the
// demo code, codes of the wrong length, access denied, and a path that is no
// device node.

#include "HidapiBackend.h"
#include "LinkFixture.h"

#include <QSet>
#include <QTest>

namespace {
QByteArray codeBytes()
{
    return QByteArray(reinterpret_cast<const char *>(SecrecyCode), 8).toHex();
}
} // namespace

class DiscoveryHandshakeTest : public QObject {
    Q_OBJECT
private slots:
    void bothInterfacesFound();
    void interfacesMissingOrListedTwice_data();
    void interfacesMissingOrListedTwice();
    void anotherSecrecyCodeFails_data();
    void anotherSecrecyCodeFails();
    void demoCode();
    void codesOfWrongLengthKeepOldBytes();
    void accessDeniedAndNonDeviceNodes();
};

void DiscoveryHandshakeTest::bothInterfacesFound()
{
    DebugCatcher debug;
    Link link;
    for (int i = 0; i < 8; ++i)
        link.check();
    const QList<DeviceEntry> list = link.hid.deviceList();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(1).commandPath, QString::fromLatin1(VirtualDevice::kCommandPath));
    QCOMPARE(list.at(1).eventPath, QString::fromLatin1(VirtualDevice::kEventPath));
    QCOMPARE(list.at(1).name, QStringLiteral("Z3"));
    QVERIFY(list.at(0).commandPath.isEmpty() && list.at(0).eventPath.isEmpty());
    QVERIFY(isEncode.load() && deviceReady.load() && !demoMode.load());
    QVERIFY(link.failedHandshakes.isEmpty());
    QCOMPARE(debug.texts().count(QStringLiteral("Device Connect")), 8);
    QCOMPARE(codeBytes(), QByteArray("0035383236303400"));

    // Each handshake is one 00H frame with a fresh, never all-zero challenge in B1..B4.
    QSet<QByteArray> challenges;
    for (const auto &r : link.dev->received()) {
        QCOMPARE(bytes(r.frame).toHex().left(2), QByteArray("00"));
        QCOMPARE(bytes(r.frame).mid(5, 2), QByteArray(2, '\0'));
        QVERIFY(bytes(r.frame).mid(1, 4) != QByteArray(4, '\0'));
        challenges.insert(bytes(r.frame).mid(1, 4));
    }
    QCOMPARE(link.dev->received().size(), 8);
    QVERIFY2(challenges.size() >= 7, qPrintable(QString::number(challenges.size())));
    QCOMPARE(link.dev->openHandleCount(), 0);

    // The shipped table looks for the mouse only: a keyboard is not found.
    Link keyboard(VirtualDevice::Model::Keyboard);
    keyboard.check();
    QVERIFY(!deviceReady.load());
    QVERIFY(keyboard.hid.deviceList().value(1).commandPath.isEmpty());
}

void DiscoveryHandshakeTest::interfacesMissingOrListedTwice_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("ready");
    QTest::newRow("command interface missing") << 0 << false;
    QTest::newRow("event interface missing") << 1 << false;
    QTest::newRow("device absent") << 2 << false;
    QTest::newRow("command interface listed twice, the later opens") << 3 << true;
}

void DiscoveryHandshakeTest::interfacesMissingOrListedTwice()
{
    QFETCH(int, fault);
    QFETCH(bool, ready);
    DebugCatcher debug;
    Link link;
    VirtualDevice::Faults f;
    f.noCommandInterface = fault == 0;
    f.noEventInterface = fault == 1;
    f.absent = fault == 2;
    f.duplicateCommandInterface = fault == 3;
    link.dev->setFaults(f);
    link.check();

    const DeviceEntry e = link.hid.deviceList().value(1);
    QCOMPARE(deviceReady.load(), ready);
    QCOMPARE(e.commandPath.isEmpty(), !ready);
    QCOMPARE(e.eventPath.isEmpty(), !ready);
    QCOMPARE(link.failedHandshakes, ready ? QStringList() : QStringList{QStringLiteral("Z3")});
    QCOMPARE(debug.texts().contains(QStringLiteral("Device Error")), !ready);
    QCOMPARE(link.dev->received().size(), ready ? 1 : 0);

    // Plugged in whole again, the next check finds it.
    link.dev->setFaults(VirtualDevice::Faults());
    link.check();
    QVERIFY(deviceReady.load());
}

void DiscoveryHandshakeTest::anotherSecrecyCodeFails_data()
{
    QTest::addColumn<int>("position");
    for (int k = 0; k < 6; ++k)
        QTest::addRow("character %d", k + 1) << k;
}

void DiscoveryHandshakeTest::anotherSecrecyCodeFails()
{
    // The link holds "582604"; the device a code that differs in one
    // character, tried with every other printable character there.
    QFETCH(int, position);
    DebugCatcher debug;
    Link link;
    link.check();
    QByteArray matrix = pattern(64, 0x11);
    link.hid.hid_12H_SetKeyMatrix(raw(matrix));
    QVERIFY(link.waitFrames(2));
    debug.clear();
    int tried = 0;
    QString code;
    for (char c = 0x20; c < 0x7F; ++c) {
        code = QStringLiteral("582604");
        if (code.at(position) == QLatin1Char(c))
            continue;
        code[position] = QLatin1Char(c);
        link.dev->setSecrecyCode(code);
        link.check();
        QVERIFY2(!deviceReady.load() && !demoMode.load(), qPrintable(code));
        QCOMPARE(link.failedHandshakes.size(), ++tried);
    }
    QCOMPARE(link.failedHandshakes.value(0), QStringLiteral("Z3"));
    QVERIFY(!debug.texts().contains(QStringLiteral("Device Connect")));

    // Nor does the device take a Set it cannot read, block or none.
    QByteArray other = pattern(64, 0x77);
    link.hid.hid_12H_SetKeyMatrix(raw(other));
    link.hid.hid_0BH_SetCurrentDPIStage(7);
    QVERIFY(link.waitIdle());
    QCOMPARE(link.dev->keyMatrix().toHex(), pattern(64, 0x11).toHex());
    QCOMPARE(link.dev->dpiStage(), uchar(1));

    // Told the device's code, the link passes.
    link.config.code = code;
    link.check();
    QVERIFY(deviceReady.load());
}

void DiscoveryHandshakeTest::demoCode()
{
    // No device: demo mode, ready, unscrambled.
    Link absent;
    absent.setFaults([](VirtualDevice::Faults &f) { f.absent = true; });
    absent.config.code = QStringLiteral("v-harbor");
    absent.check();
    QVERIFY(demoMode.load() && deviceReady.load() && !isEncode.load());
    QVERIFY(absent.failedHandshakes.isEmpty());

    // A device is there, but the demo code is no six-character code: demo
    // mode too, and nothing reaches the device.
    Link link;
    link.config.code = QStringLiteral("v-harbor");
    link.check();
    QVERIFY(demoMode.load() && deviceReady.load());
    link.dev->clearReceived();
    link.hid.hid_01H_SetReportRate(0x08);
    QVERIFY(link.waitIdle(1000));
    uchar rate = 0x02;
    link.hid.hid_81H_GetReportRate(rate);
    QCOMPARE(rate, uchar(0x02));
    QVERIFY(link.dev->received().isEmpty());
    QCOMPARE(link.dev->reportRate(), uchar(0x01));
    // It stays on for the rest of the process, even with the right code.
    link.config.code = QStringLiteral("582604");
    link.check();
    QVERIFY(demoMode.load());
}

void DiscoveryHandshakeTest::codesOfWrongLengthKeepOldBytes()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    for (const QString &code : {QStringLiteral("12345"), QStringLiteral("1234567"), QString()}) {
        link.config.code = code;
        link.check();
        QCOMPARE(codeBytes(), QByteArray("0035383236303400"));
        QVERIFY2(deviceReady.load(), qPrintable(code)); // still the device's code
    }
    // At the first check the code bytes stay zero: only a device with zero code bytes matches.
    Link fresh;
    fresh.config.code = QStringLiteral("1234567");
    fresh.check();
    QCOMPARE(codeBytes(), QByteArray(16, '0'));
    QVERIFY(!deviceReady.load());
    Link zero(VirtualDevice::Model::Mouse, QString());
    zero.config.code = QStringLiteral("12345");
    zero.check();
    QVERIFY(deviceReady.load());
}

void DiscoveryHandshakeTest::accessDeniedAndNonDeviceNodes()
{
    Link link;
    link.check();
    QVERIFY(!link.hid.accessDenied());
    link.setFaults([](VirtualDevice::Faults &f) { f.denyOpen = true; });
    link.check();
    QVERIFY(link.hid.accessDenied());
    QVERIFY(!deviceReady.load());
    QCOMPARE(link.failedHandshakes, QStringList{QStringLiteral("Z3")});
    link.dev->setFaults(VirtualDevice::Faults());
    link.check();
    QVERIFY(!link.hid.accessDenied());
    QVERIFY(deviceReady.load());

    // hidapi must never get a path that is no device node (it crashes on a
    // regular file); a missing node fails cleanly, without "access denied".
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("hidraw0")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(64, '\x01'));
    file.close();
    HidapiBackend hidapi;
    for (const QString &path : {file.fileName(), dir.filePath(QStringLiteral("gone")), dir.path()}) {
        QVERIFY2(!hidapi.open(QFile::encodeName(path), HidChannel::Command), qPrintable(path));
        QVERIFY(!hidapi.lastOpenDenied());
    }
}

QTEST_GUILESS_MAIN(DiscoveryHandshakeTest)
#include "tst_discovery_handshake.moc"
