// Transfers against a misbehaving device end in failure within a bound, never
// a hang: a block that never arrives, an unplug in the middle of a transfer,
// slow answers; and the virtual device's own reads are bounded too.

#include "LinkFixture.h"

#include <QElapsedTimer>
#include <QScopedPointer>
#include <QTest>
#include <QThread>

#include <atomic>

namespace {
uchar *raw(QByteArray &b)
{
    return reinterpret_cast<uchar *>(b.data());
}
// One block report awaited for its bound, plus generous scheduling slack.
constexpr int kBlockBoundMs = Hid_Thread::kBlockReadTimeoutMs + 1500;
} // namespace

class TransferFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void blockThatNeverArrivesFailsWithinBound();
    void keyboardBlockThatNeverArrivesFailsWithinBound();
    void unplugDuringSetWithBlock();
    void unplugDuringGet();
    void slowAnswersStillArrive();
    void deviceReadsAreBounded();
    void waitingReaderIsWokenFromAnotherThread();
    void quietReportFollowsEachCommand();
};

void TransferFaultsTest::blockThatNeverArrivesFailsWithinBound()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    VirtualDevice::Faults f;
    f.blockNeverArrives = true;
    link.dev->setFaults(f);

    QElapsedTimer clock;
    clock.start();
    uchar stages = 3;
    QByteArray codes = hex("0102030405060708");
    const bool ok = link.hid.hid_91H_GetDPISet(stages, raw(codes));
    const qint64 took = clock.elapsed();
    QVERIFY(!ok);
    QVERIFY2(took < kBlockBoundMs, qPrintable(QString::number(took)));
    QCOMPARE(stages, uchar(3));
    QCOMPARE(codes, hex("0102030405060708"));
    QVERIFY(link.hid.isLinkFree());
    QCOMPARE(link.dev->openHandleCount(), 0);

    clock.restart();
    QByteArray matrix(64, '\x21');
    link.hid.hid_92H_GetKeyMatrix(raw(matrix));
    QVERIFY2(clock.elapsed() < kBlockBoundMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(link.hid.isLinkFree());

    // The link is usable afterwards.
    link.dev->setFaults(VirtualDevice::Faults());
    QVERIFY(link.hid.hid_91H_GetDPISet(stages, raw(codes)));
    QCOMPARE(stages, link.dev->dpiStagesInUse());
    QCOMPARE(codes, link.dev->dpiCodes());
}

void TransferFaultsTest::keyboardBlockThatNeverArrivesFailsWithinBound()
{
    QTemporaryDir dir;
    Link link(VirtualDevice::Model::Keyboard);
    link.check(writeKeyboardTable(dir));
    QVERIFY(deviceReady.load());
    VirtualDevice::Faults f;
    f.blockNeverArrives = true;
    link.dev->setFaults(f);

    QElapsedTimer clock;
    clock.start();
    QByteArray picture(512, '\x07');
    link.hid.hid_92H_GetUserPicture(1, raw(picture));
    QVERIFY2(clock.elapsed() < kBlockBoundMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(link.hid.isLinkFree());
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void TransferFaultsTest::unplugDuringSetWithBlock()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    link.dev->clearReceived();
    VirtualDevice::Faults f;
    f.unplugMidTransfer = true;
    link.dev->setFaults(f);

    QByteArray matrix = pattern(64, 0x30);
    const QByteArray before = link.dev->keyMatrix();
    link.hid.hid_12H_SetKeyMatrix(raw(matrix));
    QVERIFY(link.waitIdle(2000));

    // The frame went out, the block did not, nothing was applied.
    const auto got = link.dev->received();
    QCOMPARE(got.size(), 1);
    QCOMPARE(bytes(got.at(0).frame).toHex(), QByteArray("12014008000000a4"));
    QVERIFY(got.at(0).payload.isEmpty());
    QCOMPARE(link.dev->keyMatrix(), before);
    QCOMPARE(link.dev->openHandleCount(), 0);
    QVERIFY(link.dev->enumerate(0x04d9, 0xa09f).isEmpty());

    // Later commands fail at once; the next device check finds nothing.
    QElapsedTimer clock;
    clock.start();
    uchar rate = 0x04;
    link.hid.hid_81H_GetReportRate(rate);
    QCOMPARE(rate, uchar(0x04));
    QVERIFY(clock.elapsed() < 500);
    link.check();
    QVERIFY(!deviceReady.load());
    QCOMPARE(link.failedHandshakes, QStringList{QStringLiteral("Z3")});
    QVERIFY(link.hid.deviceList().value(1).commandPath.isEmpty());

    link.dev->replug();
    link.check();
    QVERIFY(deviceReady.load());
}

void TransferFaultsTest::unplugDuringGet()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    VirtualDevice::Faults f;
    f.unplugMidTransfer = true;
    link.dev->setFaults(f);

    QElapsedTimer clock;
    clock.start();
    QByteArray macro(128, '\x3c');
    link.hid.hid_93H_GetMacroKey(4, raw(macro));
    QCOMPARE(macro, QByteArray(128, '\x3c'));
    uchar o1 = 1, o2 = 2, o3 = 3;
    QVERIFY(!link.hid.hid_87H_GetLEDInstructFunction(0, o1, o2, o3));
    QCOMPARE(o1, uchar(1));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(link.hid.isLinkFree());
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void TransferFaultsTest::slowAnswersStillArrive()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    link.hid.hid_0BH_SetCurrentDPIStage(7);
    QVERIFY(link.waitIdle());
    VirtualDevice::Faults f;
    f.answerDelayMs = 150;
    link.dev->setFaults(f);

    QElapsedTimer clock;
    clock.start();
    uchar stage = 0;
    link.hid.hid_8BH_GetCurrentDPIStage(stage);
    QVERIFY(clock.elapsed() >= 140);
    QCOMPARE(stage, uchar(7));
}

void TransferFaultsTest::deviceReadsAreBounded()
{
    VirtualDevice dev;
    dev.setPlainReadBoundMs(200);
    HidHandle *cmd = dev.open(VirtualDevice::kCommandPath, HidChannel::Command);
    QVERIFY(cmd);
    uchar buf[33] = {};

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(dev.read(cmd, buf, sizeof buf), -1);
    QVERIFY(clock.elapsed() >= 190);
    QVERIFY(clock.elapsed() < 2000);
    clock.restart();
    QCOMPARE(dev.readTimeout(cmd, buf, sizeof buf, 50), 0);
    QVERIFY(clock.elapsed() >= 45);

    // After an unplug every call fails at once, however long it may wait.
    VirtualDevice::Faults f;
    f.unplugMidTransfer = true;
    dev.setFaults(f);
    uchar frame[9] = {0x00, 0x81};
    QCOMPARE(dev.sendFeatureReport(cmd, frame, sizeof frame), 9);
    QCOMPARE(dev.readTimeout(cmd, buf, sizeof buf, 5000), -1);
    QCOMPARE(dev.getFeatureReport(cmd, buf, 9), -1);
    QCOMPARE(dev.write(cmd, buf, sizeof buf), -1);
    QVERIFY(!dev.open(VirtualDevice::kCommandPath, HidChannel::Command));
    QCOMPARE(dev.openHandleCount(), 1);
    dev.close(cmd);
    QCOMPARE(dev.openHandleCount(), 0);
    // A closed handle is refused, not used.
    QCOMPARE(dev.read(cmd, buf, sizeof buf), -1);
}

void TransferFaultsTest::waitingReaderIsWokenFromAnotherThread()
{
    VirtualDevice dev;
    dev.setEncoding(false);
    dev.setPlainReadBoundMs(20000);
    HidHandle *cmd = dev.open(VirtualDevice::kCommandPath, HidChannel::Command);
    QVERIFY(cmd);

    // Store a key matrix so the block read back is not all zeros.
    const uchar setMatrix[9] = {0x00, 0x12, 0x01, 0x40, 0x08, 0, 0, 0, 0xA4};
    QCOMPARE(dev.sendFeatureReport(cmd, setMatrix, 9), 9);
    const QByteArray matrix = pattern(64, 0x4d);
    const QByteArray reports = framedReports(matrix, 32);
    for (int at = 0; at < reports.size(); at += 33)
        QCOMPARE(dev.write(cmd, reinterpret_cast<const uchar *>(reports.constData()) + at, 33), 33);
    QCOMPARE(dev.keyMatrix(), matrix);

    // A block queued by a Get on this thread reaches a reader on another.
    std::atomic<int> result{99};
    QByteArray first(32, '\0');
    QScopedPointer<QThread> reader(
        QThread::create([&] { result = dev.read(cmd, reinterpret_cast<uchar *>(first.data()), 33); }));
    reader->start();
    const uchar getMatrix[9] = {0x00, 0x92, 0x01, 0, 0, 0, 0, 0, 0x6C};
    QCOMPARE(dev.sendFeatureReport(cmd, getMatrix, 9), 9);
    QVERIFY(reader->wait(5000));
    QCOMPARE(result.load(), 32);
    QCOMPARE(first, matrix.left(32));

    // An unplug ends a reader's wait at once with a failure.
    uchar drain[33];
    QCOMPARE(dev.read(cmd, drain, sizeof drain), 32);
    result = 99;
    QElapsedTimer clock;
    clock.start();
    reader.reset(QThread::create([&] { result = dev.read(cmd, drain, sizeof drain); }));
    reader->start();
    VirtualDevice::Faults f;
    f.unplugMidTransfer = true;
    dev.setFaults(f);
    const uchar rate[9] = {0x00, 0x81, 0, 0, 0, 0, 0, 0, 0x7E};
    QCOMPARE(dev.sendFeatureReport(cmd, rate, 9), 9);
    QVERIFY(reader->wait(5000));
    QCOMPARE(result.load(), -1);
    QVERIFY(clock.elapsed() < 5000);
    dev.close(cmd);
}

void TransferFaultsTest::quietReportFollowsEachCommand()
{
    VirtualDevice dev;
    dev.setEncoding(false);
    HidHandle *cmd = dev.open(VirtualDevice::kCommandPath, HidChannel::Command);
    HidHandle *evt = dev.open(VirtualDevice::kEventPath, HidChannel::Event);
    QVERIFY(cmd && evt);
    uchar report[4] = {};
    QCOMPARE(dev.readTimeout(evt, report, 4, 20), 0);

    // A Set without a block: quiet at once.
    const uchar rate[9] = {0x00, 0x01, 0x02, 0, 0, 0, 0, 0, 0xFC};
    QCOMPARE(dev.sendFeatureReport(cmd, rate, 9), 9);
    QCOMPARE(dev.readTimeout(evt, report, 4, 100), 4);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(report), 4).toHex(), QByteArray("04040000"));

    // A Set with a block: quiet only once the block is complete.
    const uchar dpi[9] = {0x00, 0x11, 0x02, 0x08, 0, 0, 0, 0, 0xE4};
    QCOMPARE(dev.sendFeatureReport(cmd, dpi, 9), 9);
    QCOMPARE(dev.quietReportsPending(), 0);
    uchar out[33] = {0x00, 1, 2, 3, 4, 5, 6, 7, 8};
    QCOMPARE(dev.write(cmd, out, sizeof out), 33);
    QCOMPARE(dev.quietReportsPending(), 1);
    QCOMPARE(dev.dpiCodes().toHex(), QByteArray("0102030405060708"));
    QCOMPARE(dev.dpiStagesInUse(), uchar(2));

    dev.close(cmd);
    dev.close(evt);
}

QTEST_GUILESS_MAIN(TransferFaultsTest)
#include "tst_transfer_faults.moc"
