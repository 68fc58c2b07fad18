// The link claim and the quiet wait: Set commands reach the device whole and
// in call order, also when issued from slots run while an earlier command
// waits; the device's quiet report (seen by the watcher, which leaves even a
// one-thread pool to the Sets) ends the wait after one period; a command that
// cannot claim the link in time is dropped with its text, and commands
// against an absent device return at once.

#include "LinkFixture.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>
#include <QThreadPool>
#include <QThread>
#include <QTimer>

namespace {
// Pauses between the frames the device received from index `from` on.
QList<qint64> pauses(const QList<VirtualDevice::Received> &got, int from = 0)
{
    QList<qint64> out;
    for (int i = from + 1; i < got.size(); ++i)
        out << got.at(i).atMs - got.at(i - 1).atMs;
    return out;
}
QString text(const QList<qint64> &list)
{
    QStringList out;
    for (qint64 v : list)
        out << QString::number(v);
    return out.join(QLatin1Char(' '));
}
} // namespace

class LinkClaimTest : public QObject {
    Q_OBJECT
private slots:
    void setsIssuedDuringTheWaitKeepCallOrder();
    void burstOfDifferentShapesNeverMixes();
    void quietReportEndsTheWaitEarly();
    void commandsThatCannotClaimAreDropped();
    void commandsAgainstAbsentDeviceReturnAtOnce();
};

void LinkClaimTest::setsIssuedDuringTheWaitKeepCallOrder()
{
    Link link;
    link.check();
    link.dev->clearReceived();
    // A slow transfer holds the link; the next call waits, and slots run by
    // its wait issue more commands, each nested inside the previous wait.
    link.setFaults([](VirtualDevice::Faults &f) { f.writeDelayMs = 60000; });
    link.hid.hid_0BH_SetCurrentDPIStage(1);
    uchar readBack = 0;
    QTimer::singleShot(20, &link.hid, [&] { link.hid.hid_0BH_SetCurrentDPIStage(3); });
    QTimer::singleShot(40, &link.hid, [&] { link.hid.hid_8BH_GetCurrentDPIStage(readBack); });
    QTimer::singleShot(60, &link.hid, [&] { link.hid.hid_0BH_SetCurrentDPIStage(4); });
    QTimer::singleShot(80, &link.hid, [&] { link.hid.hid_0BH_SetCurrentDPIStage(5); });
    QTimer::singleShot(120, &link.hid, [&] { link.dev->setFaults(VirtualDevice::Faults()); });
    link.hid.hid_0BH_SetCurrentDPIStage(2);
    QVERIFY(link.waitFrames(6, 8000));

    const auto got = link.dev->received();
    QStringList order;
    for (const auto &r : got)
        order << bytes(r.frame).left(2).toHex();
    QCOMPARE(order.join(' '), QStringLiteral("0b01 0b02 0b03 8b00 0b04 0b05"));
    // Each Set went out after the previous one's quiet wait.
    const QList<qint64> p = pauses(got);
    for (int i = 0; i < p.size(); ++i)
        if (got.at(i).frame[0] < 0x80)
            QVERIFY2(p.at(i) >= Hid_Thread::kQuietPeriodMs, qPrintable(text(p)));
    QCOMPARE(readBack, uchar(3));
    QCOMPARE(link.dev->dpiStage(), uchar(5));
}

void LinkClaimTest::burstOfDifferentShapesNeverMixes()
{
    Link link;
    link.check();
    link.dev->clearReceived();
    QByteArray colors = pattern(24, 0x31), matrix = pattern(64, 0x52), macro = pattern(128, 0x13);
    QByteArray dpi = hex("0103050709b0b0b0");
    link.hid.hid_13H_SetMacroKey(2, raw(macro));
    link.hid.hid_01H_SetReportRate(0x04);
    link.hid.hid_12H_SetKeyMatrix(raw(matrix));
    matrix.fill('\xEE'); // the caller may reuse its buffer at once
    link.hid.hid_10H_SetLED8StageColor(1, raw(colors));
    link.hid.hid_11H_SetDPISet(4, raw(dpi));
    QVERIFY(link.waitFrames(5, 8000));

    const auto got = link.dev->received();
    QCOMPARE(got.size(), 5);
    const QList<QByteArray> frames{"130280000000006a", "01040000000000fa", "12014008000000a4", "10011800000000d6",
                                   "11040800000000e2"};
    const QList<QByteArray> blocks{macro, {}, pattern(64, 0x52), colors, dpi};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(bytes(got.at(i).frame).toHex(), frames.at(i));
        QCOMPARE(got.at(i).payload.toHex(), framedReports(blocks.at(i), 32).toHex());
    }
    QCOMPARE(link.dev->keyMatrix(), pattern(64, 0x52));
    QCOMPARE(link.dev->macro(2), macro);
}

// A mouse that sends its quiet report a little after taking the frame, as
// firmware does (the virtual one sends it at once, before the link waits).
struct LateQuietDevice : VirtualDevice {
    int readTimeout(HidHandle *handle, uchar *data, size_t length, int milliseconds) override
    {
        const int n = VirtualDevice::readTimeout(handle, data, length, milliseconds);
        if (length == 4 && n == 4)
            QThread::msleep(20);
        return n;
    }
};

void LinkClaimTest::quietReportEndsTheWaitEarly()
{
    // A one-CPU machine: the global pool has one thread; the watcher must not take it.
    QThreadPool *pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    pool->setMaxThreadCount(1);
    const auto restore = qScopeGuard([&] { pool->setMaxThreadCount(threads); });
    Link link;
    auto device = std::make_unique<LateQuietDevice>();
    link.dev = device.get();
    link.hid.setBackend(std::move(device));
    link.check();
    link.hid.startWatch(1);
    QVERIFY(link.hid.isWatching());
    link.dev->clearReceived();

    DebugCatcher debug;
    for (uchar stage = 1; stage <= 6; ++stage)
        link.hid.hid_0BH_SetCurrentDPIStage(stage);
    uchar stage = 0;
    link.hid.hid_8BH_GetCurrentDPIStage(stage);
    QCOMPARE(stage, uchar(6));
    QVERIFY(!debug.texts().join(QLatin1Char(' ')).contains(QLatin1String("cmd Failed")));
    // With the quiet report most waits last one period, not two.
    QList<qint64> p = pauses(link.dev->received());
    QCOMPARE(p.size(), 6);
    const auto shortWait = [](qint64 v) { return v < 2 * Hid_Thread::kQuietPeriodMs - 8; };
    QVERIFY2(*std::min_element(p.begin(), p.end()) >= Hid_Thread::kQuietPeriodMs, qPrintable(text(p)));
    QVERIFY2(std::count_if(p.begin(), p.end(), shortWait) >= 3, qPrintable(text(p)));

    // Without it, every wait takes both periods.
    link.dev->setSendQuietReport(false);
    const int before = int(link.dev->received().size());
    for (uchar s = 1; s <= 4; ++s)
        link.hid.hid_0BH_SetCurrentDPIStage(s);
    QVERIFY(link.waitFrames(before + 4));
    p = pauses(link.dev->received(), before + 1); // the first may still meet a late report
    QVERIFY2(*std::min_element(p.begin(), p.end()) >= 2 * Hid_Thread::kQuietPeriodMs, qPrintable(text(p)));

    // Stopped, the watcher has let go of the event interface.
    link.hid.stopWatch();
    QVERIFY(!link.hid.isWatching());
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void LinkClaimTest::commandsThatCannotClaimAreDropped()
{
    Link link;
    link.check();
    link.dev->clearReceived();
    // A slow device holds the link on a pool thread until the fault is cleared.
    link.setFaults([](VirtualDevice::Faults &f) { f.writeDelayMs = 60000; });
    link.hid.hid_0BH_SetCurrentDPIStage(2);
    QVERIFY(!link.hid.isLinkFree());

    DebugCatcher debug;
    QElapsedTimer clock;
    clock.start();
    QByteArray dpi = hex("0204080c10909090");
    link.hid.hid_11H_SetDPISet(3, raw(dpi));
    const qint64 waited = clock.elapsed();
    // 255 attempts, 8 ms apart.
    QVERIFY2(waited >= Hid_Thread::kClaimAttempts * Hid_Thread::kClaimPollMs - 20, qPrintable(QString::number(waited)));

    // A Get says only "cmd Failed" and leaves its outputs alone; shared codes
    // carry the same text whichever device's variant is called.
    uchar stages = 7;
    QVERIFY(!link.hid.hid_91H_GetDPISet(stages, raw(dpi)));
    QCOMPARE(stages, uchar(7));
    QCOMPARE(dpi, hex("0204080c10909090"));
    QByteArray macro = pattern(128, 1);
    link.hid.hid_13H_SetMacroKey(1, raw(macro));
    link.hid.hid_13H_SetRecoveryData();
    QCOMPARE(debug.texts().join(QLatin1Char(',')),
             QStringLiteral("cmd Failed 11,cmd Failed,cmd Failed 13,cmd Failed 13"));

    link.dev->setFaults(VirtualDevice::Faults());
    QVERIFY(link.waitIdle());
    QCOMPARE(link.dev->received().size(), 1);
    // The link works again once the slow transfer is over.
    link.hid.hid_11H_SetDPISet(3, raw(dpi));
    QVERIFY(link.waitFrames(2));
    QCOMPARE(bytes(link.dev->received().at(1).frame).toHex(), QByteArray("11030800000000e3"));
}

void LinkClaimTest::commandsAgainstAbsentDeviceReturnAtOnce()
{
    Link link;
    link.setFaults([](VirtualDevice::Faults &f) { f.absent = true; });
    link.check();
    QVERIFY(!deviceReady.load());

    DebugCatcher debug;
    QElapsedTimer clock;
    clock.start();
    uchar rate = 0x08;
    link.hid.hid_81H_GetReportRate(rate);
    QByteArray matrix(64, '\x11');
    link.hid.hid_92H_GetKeyMatrix(raw(matrix));
    uchar stages = 2;
    QByteArray codes(8, '\x22');
    QVERIFY(!link.hid.hid_91H_GetDPISet(stages, raw(codes)));
    QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(rate, uchar(0x08));
    QCOMPARE(matrix, QByteArray(64, '\x11'));
    QCOMPARE(stages, uchar(2));
    // A Set is lost without a message and frees the link at once.
    link.hid.hid_01H_SetReportRate(0x01);
    QVERIFY(link.waitIdle(500));
    QVERIFY(link.dev->received().isEmpty());
    QVERIFY(debug.texts().isEmpty());
    QCOMPARE(link.dev->openHandleCount(), 0);
}

QTEST_GUILESS_MAIN(LinkClaimTest)
#include "tst_link_claim.moc"
