// Transfers against a misbehaving device fail within a bound, interface closed, data untouched;
// the virtual device keeps the peer's rules; the wire log shows frames scrambled, blocks plain.

#include "FrameCipher.h"
#include "LinkFixture.h"
#include "WireLogBackend.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScopedPointer>
#include <QThread>

class TransferFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void blockThatNeverArrivesFailsWithinBound()
    {
        Link link;
        link.check();
        link.setFaults([](VirtualDevice::Faults &f) { f.blockNeverArrives = true; });
        QElapsedTimer clock;
        clock.start();
        uchar stages = 3;
        QByteArray codes = hex("0102030405060708");
        QVERIFY(!link.hid.hid_91H_GetDPISet(stages, raw(codes)));
        // One report awaited for its bound, plus scheduling slack.
        QVERIFY2(clock.elapsed() < Hid_Thread::kBlockReadTimeoutMs + 1500,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(stages == 3 && codes == hex("0102030405060708") && link.hid.isLinkFree());
        QCOMPARE(link.dev->openHandleCount(), 0);
        // The link is usable afterwards.
        link.dev->setFaults(VirtualDevice::Faults());
        QVERIFY(link.hid.hid_91H_GetDPISet(stages, raw(codes)) && stages == 4);
    }

    void unplugDuringTransfers()
    {
        Link link;
        link.check();
        link.setFaults([](VirtualDevice::Faults &f) { f.unplugMidTransfer = true; });
        link.dev->clearReceived();
        QByteArray matrix = pattern(64, 0x30);
        link.hid.hid_12H_SetKeyMatrix(raw(matrix));
        QVERIFY(link.waitIdle(2000));
        const auto got = link.dev->received();
        QCOMPARE(got.size(), 1);
        QCOMPARE(bytes(got.at(0).frame).toHex() + got.at(0).payload, QByteArray("12014008000000a4"));
        QCOMPARE(link.dev->keyMatrix(), QByteArray(64, '\0'));
        QCOMPARE(link.dev->openHandleCount(), 0);
        // Later commands fail at once; the next check finds nothing, the one after a replug the device.
        QElapsedTimer clock;
        clock.start();
        uchar o1 = 1, o2 = 2, o3 = 3;
        QVERIFY(!link.hid.hid_87H_GetLEDInstructFunction(0, o1, o2, o3) && o1 == 1 && clock.elapsed() < 500);
        link.check();
        QVERIFY(!deviceReady.load());
        QCOMPARE(link.failedHandshakes, QStringList{QStringLiteral("Z3")});
        link.dev->replug();
        link.check();
        QVERIFY(deviceReady.load());
    }

    void deviceRefusesAfterUnplugAndOnClosedHandles()
    {
        VirtualDevice dev;
        dev.setEncoding(false);
        HidHandle *cmd = dev.open(VirtualDevice::kCommandPath, HidChannel::Command);
        uchar buf[33] = {};
        // After an unplug every call fails at once, however long it may wait.
        VirtualDevice::Faults unplug;
        unplug.unplugMidTransfer = true;
        dev.setFaults(unplug);
        const uchar stage[9] = {0x00, 0x0B, 0x05, 0, 0, 0, 0, 0, 0xEF};
        QCOMPARE(dev.sendFeatureReport(cmd, stage, 9), 9);
        QCOMPARE(dev.sendFeatureReport(cmd, stage, 9), -1);
        QCOMPARE(dev.write(cmd, buf, sizeof buf), -1);
        QVERIFY(dev.received().size() == 1 && dev.dpiStage() == 1);
        // A closed handle is refused, not used.
        dev.replug();
        dev.close(cmd);
        QCOMPARE(dev.openHandleCount(), 0);
        QCOMPARE(dev.read(cmd, buf, sizeof buf), -1);
        QCOMPARE(dev.sendFeatureReport(cmd, stage, 9), -1);
        QCOMPARE(dev.write(cmd, buf, sizeof buf), -1);
        QCOMPARE(dev.dpiStage(), uchar(1));
    }

    void quietReportFollowsEachProcessedCommand()
    {
        VirtualDevice dev;
        dev.setEncoding(false);
        HidHandle *cmd = dev.open(VirtualDevice::kCommandPath, HidChannel::Command);
        HidHandle *evt = dev.open(VirtualDevice::kEventPath, HidChannel::Event);
        // A Set without a block: the quiet report wakes a reader already waiting for it.
        std::atomic<bool> waiting{false};
        std::atomic<int> quiet{99};
        QScopedPointer<QThread> reader(QThread::create([&] {
            uchar report[4];
            waiting = true;
            quiet = dev.readTimeout(evt, report, 4, 3000);
        }));
        reader->start();
        QVERIFY(QTest::qWaitFor([&] { return waiting.load(); }, 5000));
        QElapsedTimer clock;
        clock.start();
        const uchar rate[9] = {0x00, 0x01, 0x02, 0, 0, 0, 0, 0, 0xFC};
        QCOMPARE(dev.sendFeatureReport(cmd, rate, 9), 9);
        QVERIFY(reader->wait(5000) && quiet == 4);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }

    void wireLogShowsTheBytesAsTheyTravel()
    {
        QTemporaryDir dir;
        Link link;
        auto inner = std::make_unique<VirtualDevice>();
        link.dev = inner.get();
        link.hid.setBackend(std::make_unique<WireLogBackend>(std::move(inner), dir.filePath("wire.log")));
        link.check();
        QByteArray colors = pattern(24, 0x81), back(24, '\0');
        link.hid.hid_10H_SetLED8StageColor(0, raw(colors));
        QVERIFY(link.waitIdle());
        link.hid.hid_90H_GetLED8StageColor(0, raw(back));
        QCOMPARE(back.toHex(), colors.toHex()); // the link works through the log
        QFile file(dir.filePath("wire.log"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QRegularExpression shape("^\\d+\\.\\d{3} cmd (open virtual-z3/command|close|"
                                       "(feature-out|feature-in|out|in)( [0-9a-f]{2})+)$");
        QStringList lines; // handshake out, in; Set out, block out; Get out, in, block in
        for (const QString &line : QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
            QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
            if (!line.contains(QRegularExpression(" (open|close)")))
                lines << line.section(' ', 2);
        }
        QCOMPARE(lines.size(), 7);
        QByteArray frame = QByteArray::fromHex(lines.at(2).section(' ', 2).toLatin1());
        uchar code[8] = {0, '5', '8', '2', '6', '0', '4', 0};
        FrameCipher::unscramble(raw(frame), code);
        QCOMPARE(lines.at(2).left(15) + frame.toHex(' '), "feature-out 00 10 00 18 00 00 00 00 d7");
        QCOMPARE(lines.at(3), "out " + framedReports(colors, 32).toHex(' '));
        QCOMPARE(lines.at(6), "in " + (colors + QByteArray(8, '\0')).toHex(' '));
    }
};

QTEST_GUILESS_MAIN(TransferFaultsTest)
#include "tst_transfer_faults.moc"
