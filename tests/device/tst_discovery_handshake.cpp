// The frame cipher against hand-worked vectors; discovery and the secrecy-code handshake, whole,
// in part, with other, demo and wrong-length codes, access denied, paths that are no device node.

#include "FrameCipher.h"
#include "HidapiBackend.h"
#include "LinkFixture.h"

#include <QSet>

static QByteArray codeBytes()
{
    return QByteArray((const char *)SecrecyCode, 8).toHex();
}

class DiscoveryHandshakeTest : public QObject {
    Q_OBJECT
private slots:
    // Key "VeLmoRik" nibble-swapped: 65 56 c4 d6 f6 25 96 b6; code "582604": 35 38 32 36 30 34.
    // 12 34 56 78 9a bc de f0: swap bc 9a f0 de 34 12 78 56, xor b1..b6 bc af c8 ec 02 22 4c 56,
    // rotate left 3 e5 7e 47 60 11 12 62 b5 (b0's high bits wrap into b7), + key 4a d4 0b 36 07 37 f8 6b.
    void scramblingMatchesHandWorkedVectors()
    {
        const char *rows[][3] = {{"0000000000000000", "", "6556c4d6f62596b6"},
                                 {"00000000000000ff", "582604", "6604fd67a7a636b6"},
                                 {"0011223344000055", "582604", "68e12d672fa5cfc6"},
                                 {"123456789abcdef0", "582604", "4ad40b360737f86b"}};
        for (const auto &row : rows) {
            std::array<uchar, 8> code{};
            std::copy(row[1], row[1] + strlen(row[1]), code.begin() + 1);
            QByteArray f = QByteArray::fromHex(row[0]);
            FrameCipher::scramble(reinterpret_cast<uchar *>(f.data()), code.data());
            QCOMPARE(f.toHex(), QByteArray(row[2]));
            FrameCipher::unscramble(reinterpret_cast<uchar *>(f.data()), code.data());
            QCOMPARE(f.toHex(), QByteArray(row[0]));
        }
    }

    void bothInterfacesFound()
    {
        DebugCatcher debug;
        Link link;
        for (int i = 0; i < 8; ++i)
            link.check();
        const DeviceEntry e = link.hid.deviceList().value(1);
        QCOMPARE(e.commandPath + e.eventPath + e.name, QStringLiteral("virtual-z3/commandvirtual-z3/eventZ3"));
        QVERIFY(isEncode.load() && deviceReady.load() && !demoMode.load() && link.failedHandshakes.isEmpty());
        QCOMPARE(debug.texts(), QStringList(8, QStringLiteral("Device Connect")));
        QCOMPARE(codeBytes(), QByteArray("0035383236303400"));
        // Each handshake is one 00H frame with a fresh, never all-zero challenge in B1..B4.
        QSet<QByteArray> challenges;
        for (const auto &r : link.dev->received()) {
            QCOMPARE(bytes(r.frame).toHex().remove(2, 8).left(6), QByteArray("000000"));
            QVERIFY(bytes(r.frame).mid(1, 4) != QByteArray(4, '\0'));
            challenges.insert(bytes(r.frame).mid(1, 4));
        }
        QVERIFY2(link.dev->received().size() == 8 && challenges.size() >= 7,
                 qPrintable(QString::number(challenges.size())));
        QCOMPARE(link.dev->openHandleCount(), 0);
    }

    void interfacesMissingOrListedTwice_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("command interface missing") << 0;
        QTest::newRow("event interface missing") << 1;
        QTest::newRow("device absent") << 2;
        QTest::newRow("command interface listed twice, the later opens") << 3;
    }

    void interfacesMissingOrListedTwice()
    {
        QFETCH(int, fault);
        const bool ready = fault == 3;
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
        QCOMPARE(e.commandPath.isEmpty() || e.eventPath.isEmpty(), !ready);
        QCOMPARE(link.failedHandshakes, ready ? QStringList() : QStringList{QStringLiteral("Z3")});
        QCOMPARE(debug.texts(),
                 QStringList{ready ? QStringLiteral("Device Connect") : QStringLiteral("Device Error")});
        QCOMPARE(link.dev->received().size(), ready ? 1 : 0);
        // Plugged in whole again, the next check finds it.
        link.dev->setFaults(VirtualDevice::Faults());
        link.check();
        QVERIFY(deviceReady.load());
    }

    void anotherSecrecyCodeFails_data()
    {
        QTest::addColumn<int>("position");
        for (int k = 0; k < 6; ++k)
            QTest::addRow("character %d", k + 1) << k;
    }

    void anotherSecrecyCodeFails()
    {
        // The link holds "582604"; the device a code that differs in one
        // character, tried with every other printable character there.
        QFETCH(int, position);
        Link link;
        link.check();
        QByteArray matrix = pattern(64, 0x11);
        link.hid.hid_12H_SetKeyMatrix(raw(matrix));
        QVERIFY(link.waitFrames(2));
        QString code;
        for (char c = 0x20; c < 0x7F; ++c) {
            code = QStringLiteral("582604");
            if (code.at(position) == QLatin1Char(c))
                continue;
            code[position] = QLatin1Char(c);
            link.dev->setSecrecyCode(code);
            link.check();
            QVERIFY2(!deviceReady.load() && !demoMode.load(), qPrintable(code));
        }
        QCOMPARE(link.failedHandshakes, QStringList(0x7F - 0x20 - 1, QStringLiteral("Z3")));
        // Nor does the device take a Set it cannot read, block or none.
        link.hid.hid_12H_SetKeyMatrix(raw(matrix.fill('\x77')));
        link.hid.hid_0BH_SetCurrentDPIStage(7);
        QVERIFY(link.waitIdle());
        QCOMPARE(link.dev->keyMatrix().toHex(), pattern(64, 0x11).toHex());
        QCOMPARE(link.dev->dpiStage(), uchar(1));
        // Told the device's code, the link passes.
        link.config.code = code;
        link.check();
        QVERIFY(deviceReady.load());
    }

    void demoCodeAndCodesOfWrongLength()
    {
        // The demo code is no six-character code: the handshake fails and the link
        // turns to demo mode for the rest of the process; nothing reaches the device.
        Link link;
        link.config.code = QStringLiteral("v-harbor");
        link.check();
        QVERIFY(demoMode.load() && deviceReady.load() && !isEncode.load() && link.failedHandshakes.isEmpty());
        link.dev->clearReceived();
        link.hid.hid_01H_SetReportRate(0x08);
        uchar rate = 0x02;
        link.hid.hid_81H_GetReportRate(rate);
        QVERIFY(link.waitIdle(1000) && rate == 0x02 && link.dev->received().isEmpty());
        link.config.code = QStringLiteral("582604");
        link.check();
        QVERIFY(demoMode.load());
        // Codes of another length keep the code bytes: the old code, or zeros at the first check.
        Link other;
        for (const char *code : {"582604", "12345", "1234567"}) {
            other.config.code = QString::fromLatin1(code);
            other.check();
            QVERIFY2(codeBytes() == "0035383236303400" && deviceReady.load(), code);
        }
        Link fresh;
        fresh.config.code = QString();
        fresh.check();
        QVERIFY(codeBytes() == QByteArray(16, '0') && !deviceReady.load());
    }

    void accessDeniedAndNonDeviceNodes()
    {
        Link link;
        link.setFaults([](VirtualDevice::Faults &f) { f.denyOpen = true; });
        link.check();
        QVERIFY(link.hid.accessDenied() && !deviceReady.load() && link.failedHandshakes == QStringList{"Z3"});
        link.dev->setFaults(VirtualDevice::Faults());
        link.check();
        QVERIFY(!link.hid.accessDenied() && deviceReady.load());
        // hidapi must never get a path that is no device node (it crashes on a
        // regular file); a missing node fails cleanly, without "access denied".
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("hidraw0"));
        QVERIFY(writeFile(file, QByteArray(64, '\1')));
        HidapiBackend hidapi;
        for (const QString &path : {file, dir.filePath(QStringLiteral("gone")), dir.path()}) {
            QVERIFY2(!hidapi.open(QFile::encodeName(path), HidChannel::Command), qPrintable(path));
            QVERIFY(!hidapi.lastOpenDenied());
        }
    }
};

QTEST_GUILESS_MAIN(DiscoveryHandshakeTest)
#include "tst_discovery_handshake.moc"
