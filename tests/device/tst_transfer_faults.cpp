// Transfers against a misbehaving device end in failure within a bound, with
// the interface closed and the caller's data untouched: a block that never
// arrives, an unplug in the middle of a transfer, slow answers. And the
// virtual device itself keeps to the peer's rules: bounded reads, nothing
// taken after an unplug or on a closed handle, the quiet report only once a
// command is processed.

#include "LinkFixture.h"

#include <QElapsedTimer>
#include <QScopedPointer>
#include <QTest>
#include <QThread>

#include <atomic>

namespace {
// One block report awaited for its bound, plus generous scheduling slack.
constexpr int kBlockBoundMs = Hid_Thread::kBlockReadTimeoutMs + 1500;
} // namespace

class TransferFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void blockThatNeverArrivesFailsWithinBound();
    void unplugDuringTransfers();
    void slowAnswersStillArrive();
    void deviceRefusesAfterUnplugAndOnClosedHandles();
    void waitingReaderIsWokenFromAnotherThread();
    void quietReportFollowsEachProcessedCommand();
};

void TransferFaultsTest::blockThatNeverArrivesFailsWithinBound()
{
    QTemporaryDir dir;
    for (bool mouse : {true, false}) {
        Link link(mouse ? VirtualDevice::Model::Mouse : VirtualDevice::Model::Keyboard);
        link.check(mouse ? QStringLiteral(":/DevInfo.ini") : writeKeyboardTable(dir));
        QVERIFY(deviceReady.load());
        link.setFaults([](VirtualDevice::Faults &f) { f.blockNeverArrives = true; });
        QElapsedTimer clock;
        clock.start();
        uchar stages = 3;
        QByteArray data = hex("0102030405060708").repeated(64);
        const bool ok = mouse ? link.hid.hid_91H_GetDPISet(stages, raw(data))
                              : (link.hid.hid_92H_GetUserPicture(1, raw(data)), false);
        QVERIFY2(clock.elapsed() < kBlockBoundMs, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!ok);
        QCOMPARE(stages, uchar(3));
        QCOMPARE(data, hex("0102030405060708").repeated(64));
        QVERIFY(link.hid.isLinkFree());
        QCOMPARE(link.dev->openHandleCount(), 0);
        // The link is usable afterwards.
        link.dev->setFaults(VirtualDevice::Faults());
        uchar rate = 0;
        QVERIFY(link.hid.hid_81H_GetReportRate(rate));
        QCOMPARE(rate, uchar(1));
    }
}

void TransferFaultsTest::unplugDuringTransfers()
{
    Link link;
    link.check();
    // A Get: fails at once, outputs untouched.
    link.setFaults([](VirtualDevice::Faults &f) { f.unplugMidTransfer = true; });
    QElapsedTimer clock;
    clock.start();
    QByteArray macro(128, '\x3c');
    link.hid.hid_93H_GetMacroKey(4, raw(macro));
    QCOMPARE(macro, QByteArray(128, '\x3c'));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(link.dev->openHandleCount(), 0);

    // A Set with a block: the frame went out, the block did not, nothing applied.
    link.dev->replug();
    link.check();
    QVERIFY(deviceReady.load());
    link.setFaults([](VirtualDevice::Faults &f) { f.unplugMidTransfer = true; });
    link.dev->clearReceived();
    QByteArray matrix = pattern(64, 0x30);
    link.hid.hid_12H_SetKeyMatrix(raw(matrix));
    QVERIFY(link.waitIdle(2000));
    const auto got = link.dev->received();
    QCOMPARE(got.size(), 1);
    QCOMPARE(bytes(got.at(0).frame).toHex(), QByteArray("12014008000000a4"));
    QVERIFY(got.at(0).payload.isEmpty());
    QCOMPARE(link.dev->keyMatrix(), QByteArray(64, '\0'));
    QCOMPARE(link.dev->openHandleCount(), 0);

    // Later commands fail at once; the next device check finds nothing, the one after a replug the device.
    clock.restart();
    uchar o1 = 1, o2 = 2, o3 = 3;
    QVERIFY(!link.hid.hid_87H_GetLEDInstructFunction(0, o1, o2, o3));
    QCOMPARE(o1, uchar(1));
    QVERIFY(clock.elapsed() < 500);
    link.check();
    QVERIFY(!deviceReady.load());
    QCOMPARE(link.failedHandshakes, QStringList{QStringLiteral("Z3")});
    link.dev->replug();
    link.check();
    QVERIFY(deviceReady.load());
}

void TransferFaultsTest::slowAnswersStillArrive()
{
    Link link;
    link.check();
    link.hid.hid_0BH_SetCurrentDPIStage(7);
    QVERIFY(link.waitIdle());
    link.setFaults([](VirtualDevice::Faults &f) { f.answerDelayMs = 150; });
    QElapsedTimer clock;
    clock.start();
    uchar stage = 0;
    link.hid.hid_8BH_GetCurrentDPIStage(stage);
    QVERIFY(clock.elapsed() >= 140);
    QCOMPARE(stage, uchar(7));
}

void TransferFaultsTest::deviceRefusesAfterUnplugAndOnClosedHandles()
{
    VirtualDevice dev;
    dev.setEncoding(false);
    dev.setPlainReadBoundMs(200);
    HidHandle *cmd = dev.open(VirtualDevice::kCommandPath, HidChannel::Command);
    QVERIFY(cmd);
    uchar buf[33] = {};
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(dev.read(cmd, buf, sizeof buf), -1);
    QVERIFY(clock.elapsed() >= 190 && clock.elapsed() < 2000);
    clock.restart();
    QCOMPARE(dev.readTimeout(cmd, buf, sizeof buf, 50), 0);
    QVERIFY(clock.elapsed() >= 45);

    // After an unplug every call fails at once, however long it may wait.
    VirtualDevice::Faults f;
    f.unplugMidTransfer = true;
    dev.setFaults(f);
    const uchar stage[9] = {0x00, 0x0B, 0x05, 0, 0, 0, 0, 0, 0xEF};
    QCOMPARE(dev.sendFeatureReport(cmd, stage, 9), 9);
    QCOMPARE(dev.sendFeatureReport(cmd, stage, 9), -1);
    QCOMPARE(dev.readTimeout(cmd, buf, sizeof buf, 5000), -1);
    QCOMPARE(dev.getFeatureReport(cmd, buf, 9), -1);
    QCOMPARE(dev.write(cmd, buf, sizeof buf), -1);
    QVERIFY(!dev.open(VirtualDevice::kCommandPath, HidChannel::Command));
    QCOMPARE(dev.received().size(), 1);
    QCOMPARE(dev.dpiStage(), uchar(1));

    // A closed handle is refused, not used.
    dev.replug();
    QCOMPARE(dev.openHandleCount(), 1);
    dev.close(cmd);
    QCOMPARE(dev.openHandleCount(), 0);
    QCOMPARE(dev.read(cmd, buf, sizeof buf), -1);
    QCOMPARE(dev.sendFeatureReport(cmd, stage, 9), -1);
    QCOMPARE(dev.write(cmd, buf, sizeof buf), -1);
    QCOMPARE(dev.dpiStage(), uchar(1));
}

void TransferFaultsTest::waitingReaderIsWokenFromAnotherThread()
{
    VirtualDevice dev;
    dev.setEncoding(false);
    dev.setPlainReadBoundMs(20000);
    HidHandle *cmd = dev.open(VirtualDevice::kCommandPath, HidChannel::Command);
    QVERIFY(cmd);

    // A block queued by a Get on this thread reaches a reader on another.
    std::atomic<int> block{99};
    uchar first[32] = {};
    QScopedPointer<QThread> blockReader(QThread::create([&] { block = dev.read(cmd, first, 33); }));
    blockReader->start();
    const uchar getMatrix[9] = {0x00, 0x92, 0x01, 0, 0, 0, 0, 0, 0x6C};
    QCOMPARE(dev.sendFeatureReport(cmd, getMatrix, 9), 9);
    QVERIFY(blockReader->wait(5000));
    QCOMPARE(block.load(), 32);

    // An unplug ends a reader's wait at once with a failure.
    uchar drain[33];
    QCOMPARE(dev.read(cmd, drain, sizeof drain), 32);
    blockReader.reset(QThread::create([&] { block = dev.read(cmd, drain, sizeof drain); }));
    blockReader->start();
    QElapsedTimer clock;
    clock.start();
    VirtualDevice::Faults f;
    f.unplugMidTransfer = true;
    dev.setFaults(f);
    const uchar rate[9] = {0x00, 0x81, 0, 0, 0, 0, 0, 0, 0x7E};
    QCOMPARE(dev.sendFeatureReport(cmd, rate, 9), 9);
    QVERIFY(blockReader->wait(5000));
    QCOMPARE(block.load(), -1);
    QVERIFY(clock.elapsed() < 5000);
}

void TransferFaultsTest::quietReportFollowsEachProcessedCommand()
{
    VirtualDevice dev;
    dev.setEncoding(false);
    HidHandle *cmd = dev.open(VirtualDevice::kCommandPath, HidChannel::Command);
    HidHandle *evt = dev.open(VirtualDevice::kEventPath, HidChannel::Event);
    QVERIFY(cmd && evt);
    // A Set without a block: the quiet report wakes a reader already waiting for it.
    std::atomic<bool> waiting{false};
    std::atomic<int> quiet{99};
    QElapsedTimer clock;
    QScopedPointer<QThread> reader(QThread::create([&] {
        uchar report[4];
        waiting = true;
        quiet = dev.readTimeout(evt, report, 4, 3000);
    }));
    reader->start();
    QVERIFY(QTest::qWaitFor([&] { return waiting.load(); }, 5000));
    clock.start();
    const uchar rate[9] = {0x00, 0x01, 0x02, 0, 0, 0, 0, 0, 0xFC};
    QCOMPARE(dev.sendFeatureReport(cmd, rate, 9), 9);
    QVERIFY(reader->wait(5000));
    QCOMPARE(quiet.load(), 4);
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    // A Set with a block: quiet only once the block is complete.
    const uchar dpi[9] = {0x00, 0x11, 0x02, 0x08, 0, 0, 0, 0, 0xE4};
    QCOMPARE(dev.sendFeatureReport(cmd, dpi, 9), 9);
    QCOMPARE(dev.quietReportsPending(), 0);
    const uchar out[33] = {0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    QCOMPARE(dev.write(cmd, out, sizeof out), 33);
    QCOMPARE(dev.quietReportsPending(), 1);
    QCOMPARE(dev.dpiCodes().toHex(), QByteArray("0102030405060708"));
    // A frame with a wrong checksum is dropped: no answer, no quiet report, and
    // a report after it is no block.
    const uchar bad[9] = {0x00, 0x11, 0x03, 0x08, 0, 0, 0, 0, 0x00};
    QCOMPARE(dev.sendFeatureReport(cmd, bad, 9), 9);
    QCOMPARE(dev.write(cmd, out, sizeof out), 33);
    uchar answer[9];
    QCOMPARE(dev.getFeatureReport(cmd, answer, 9), -1);
    QCOMPARE(dev.quietReportsPending(), 1);
    QCOMPARE(dev.dpiStagesInUse(), uchar(2));
    dev.close(cmd);
}

QTEST_GUILESS_MAIN(TransferFaultsTest)
#include "tst_transfer_faults.moc"
