// The link claim: Set commands reach the device whole and in call order,
// also when issued from slots run while an earlier command waits and while
// the device watcher runs beside a one-thread pool; a command that cannot
// claim the link in time is dropped with its text, and commands against an
// absent device return at once.

#include "LinkFixture.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

namespace {
uchar *raw(QByteArray &b)
{
    return reinterpret_cast<uchar *>(b.data());
}
} // namespace

class LinkClaimTest : public QObject {
    Q_OBJECT
private slots:
    void setsIssuedDuringTheWaitKeepCallOrder();
    void burstOfDifferentShapesNeverMixes();
    void commandsThatCannotClaimAreDropped();
    void watcherLeavesASingleThreadPoolToSets();
    void commandsAgainstAbsentDeviceReturnAtOnce();
};

void LinkClaimTest::setsIssuedDuringTheWaitKeepCallOrder()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    link.dev->clearReceived();

    // A slow transfer holds the link; the next call waits, and slots run by
    // its wait issue more commands, each nested inside the previous wait.
    VirtualDevice::Faults slow;
    slow.writeDelayMs = 60000;
    link.dev->setFaults(slow);
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
    // Each Set went out whole, after the previous one's quiet wait.
    for (int i = 1; i < got.size(); ++i)
        if (got.at(i - 1).frame[0] < 0x80)
            QVERIFY2(got.at(i).atMs - got.at(i - 1).atMs >= Hid_Thread::kQuietPeriodMs,
                     qPrintable(QString::number(got.at(i).atMs - got.at(i - 1).atMs)));
    QCOMPARE(readBack, uchar(3));
    QCOMPARE(link.dev->dpiStage(), uchar(5));
}

void LinkClaimTest::burstOfDifferentShapesNeverMixes()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    link.dev->clearReceived();

    QByteArray colors = pattern(24, 0x31), matrix = pattern(64, 0x52), macro = pattern(128, 0x13);
    QByteArray dpi = hex("0103050709b0b0b0");
    link.hid.hid_13H_SetMacroKey(2, raw(macro));
    link.hid.hid_01H_SetReportRate(0x04);
    link.hid.hid_12H_SetKeyMatrix(raw(matrix));
    // The caller may reuse its buffer at once: the command copied it.
    matrix.fill('\xEE');
    link.hid.hid_10H_SetLED8StageColor(1, raw(colors));
    link.hid.hid_11H_SetDPISet(4, raw(dpi));
    QVERIFY(link.waitFrames(5, 8000));

    const auto got = link.dev->received();
    QCOMPARE(got.size(), 5);
    const QList<QByteArray> frames{hex("130280000000006a"), hex("01040000000000fa"), hex("12014008000000a4"),
                                   hex("10011800000000d6"), hex("11040800000000e2")};
    const QList<QByteArray> payloads{framedReports(macro, 32), QByteArray(),
                                     framedReports(pattern(64, 0x52), 32), framedReports(colors, 32),
                                     framedReports(dpi, 32)};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(bytes(got.at(i).frame).toHex(), frames.at(i).toHex());
        QCOMPARE(got.at(i).payload.toHex(), payloads.at(i).toHex());
    }
    QCOMPARE(link.dev->keyMatrix(), pattern(64, 0x52));
    QCOMPARE(link.dev->macro(2), macro);
}

void LinkClaimTest::commandsThatCannotClaimAreDropped()
{
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    link.dev->clearReceived();

    // A slow device holds the link on a pool thread until the fault is cleared.
    VirtualDevice::Faults slow;
    slow.writeDelayMs = 60000;
    link.dev->setFaults(slow);
    link.hid.hid_0BH_SetCurrentDPIStage(2);
    QVERIFY(!link.hid.isLinkFree());

    DebugCatcher debug;
    QElapsedTimer clock;
    clock.start();
    QByteArray dpi = hex("0204080c10909090");
    link.hid.hid_11H_SetDPISet(3, raw(dpi));
    const qint64 waited = clock.elapsed();
    QVERIFY(debug.contains(QStringLiteral("cmd Failed 11")));
    // 255 attempts, 8 ms apart.
    QVERIFY2(waited >= Hid_Thread::kClaimAttempts * Hid_Thread::kClaimPollMs - 20,
             qPrintable(QString::number(waited)));

    // A Get says only "cmd Failed" and leaves its outputs alone.
    debug.clear();
    uchar rate = 0x33;
    link.hid.hid_81H_GetReportRate(rate);
    QCOMPARE(rate, uchar(0x33));
    uchar stages = 7;
    QByteArray codes = hex("0102030405060708");
    QVERIFY(!link.hid.hid_91H_GetDPISet(stages, raw(codes)));
    QCOMPARE(stages, uchar(7));
    QCOMPARE(codes, hex("0102030405060708"));
    QCOMPARE(debug.texts(), QStringList({QStringLiteral("cmd Failed"), QStringLiteral("cmd Failed")}));

    // Shared codes carry the same text whichever device's variant is called.
    debug.clear();
    QByteArray macro = pattern(128, 1);
    link.hid.hid_13H_SetMacroKey(1, raw(macro));
    link.hid.hid_13H_SetRecoveryData();
    QCOMPARE(debug.texts(), QStringList({QStringLiteral("cmd Failed 13"), QStringLiteral("cmd Failed 13")}));

    link.dev->setFaults(VirtualDevice::Faults());
    QVERIFY(link.waitIdle());
    const auto got = link.dev->received();
    QCOMPARE(got.size(), 1);
    QCOMPARE(bytes(got.at(0).frame).toHex(), QByteArray("0b020000000000f2"));

    // The link works again once the slow transfer is over.
    link.hid.hid_11H_SetDPISet(3, raw(dpi));
    QVERIFY(link.waitFrames(2));
    QCOMPARE(bytes(link.dev->received().at(1).frame).toHex(), QByteArray("11030800000000e3"));
}

void LinkClaimTest::watcherLeavesASingleThreadPoolToSets()
{
    // A one-CPU machine: the global pool has one thread.
    QThreadPool *pool = QThreadPool::globalInstance();
    const int threads = pool->maxThreadCount();
    pool->setMaxThreadCount(1);
    const auto restore = qScopeGuard([&] { pool->setMaxThreadCount(threads); });
    Link link;
    link.check();
    QVERIFY(deviceReady.load());
    link.hid.startWatch(1);
    QVERIFY(link.hid.isWatching());

    DebugCatcher debug;
    link.hid.hid_0BH_SetCurrentDPIStage(4);
    uchar stage = 0;
    link.hid.hid_8BH_GetCurrentDPIStage(stage);
    QCOMPARE(stage, uchar(4));
    QVERIFY(!debug.texts().join(QLatin1Char(' ')).contains(QLatin1String("cmd Failed")));

    // Stopped, it has let go of the event interface.
    link.hid.stopWatch();
    QVERIFY(!link.hid.isWatching());
    QCOMPARE(link.dev->openHandleCount(), 0);
}

void LinkClaimTest::commandsAgainstAbsentDeviceReturnAtOnce()
{
    Link link;
    VirtualDevice::Faults absent;
    absent.absent = true;
    link.dev->setFaults(absent);
    link.check();
    QVERIFY(!deviceReady.load());

    QElapsedTimer clock;
    clock.start();
    uchar rate = 0x08;
    link.hid.hid_81H_GetReportRate(rate);
    QByteArray matrix(64, '\x11');
    link.hid.hid_92H_GetKeyMatrix(raw(matrix));
    uchar stages = 2;
    QByteArray codes(8, '\x22');
    const bool ok = link.hid.hid_91H_GetDPISet(stages, raw(codes));
    QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!ok);
    QCOMPARE(rate, uchar(0x08));
    QCOMPARE(matrix, QByteArray(64, '\x11'));
    QCOMPARE(stages, uchar(2));
    QVERIFY(link.hid.isLinkFree());

    // A Set is lost without a message and frees the link at once.
    DebugCatcher debug;
    link.hid.hid_01H_SetReportRate(0x01);
    QVERIFY(link.waitIdle(500));
    QVERIFY(link.dev->received().isEmpty());
    QVERIFY(!debug.texts().join(QLatin1Char(' ')).contains(QLatin1String("cmd Failed")));
    QCOMPARE(link.dev->openHandleCount(), 0);
}

QTEST_GUILESS_MAIN(LinkClaimTest)
#include "tst_link_claim.moc"
