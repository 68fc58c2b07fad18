// The link claim and the quiet wait: Sets whole and in call order, even nested; the quiet report
// ends the wait early; a command that cannot claim the link in time is dropped with its text.

#include "LinkFixture.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThreadPool>
#include <QTimer>

namespace {
// Pauses between the frames the device received, from frame `from` on.
QList<qint64> pauses(VirtualDevice *dev, int from = 0)
{
    QList<qint64> out;
    const auto got = dev->received();
    for (int i = from + 1; i < got.size(); ++i)
        out << got.at(i).atMs - got.at(i - 1).atMs;
    return out;
}
QByteArray text(const QList<qint64> &list)
{
    QString out;
    QDebug(&out) << list;
    return out.toLatin1();
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
} // namespace

class LinkClaimTest : public QObject {
    Q_OBJECT
private slots:
    void commandsKeepCallOrderAndShape()
    {
        Link link;
        link.check();
        link.dev->clearReceived();
        // A slow transfer holds the link; the next call waits, and slots run by
        // its wait issue more commands, each nested inside the previous wait.
        link.setFaults([](VirtualDevice::Faults &f) { f.writeDelayMs = 60000; });
        link.hid.hid_0BH_SetCurrentDPIStage(1);
        uchar readBack = 0;
        QByteArray macro = pattern(128, 0x13), colors = pattern(24, 0x31);
        QTimer::singleShot(20, &link.hid, [&] { link.hid.hid_13H_SetMacroKey(2, raw(macro)); });
        QTimer::singleShot(40, &link.hid, [&] { link.hid.hid_8BH_GetCurrentDPIStage(readBack); });
        QTimer::singleShot(60, &link.hid, [&] { link.hid.hid_10H_SetLED8StageColor(1, raw(colors)); });
        QTimer::singleShot(80, &link.hid, [&] { link.hid.hid_0BH_SetCurrentDPIStage(5); });
        QTimer::singleShot(120, &link.hid, [&] { link.dev->setFaults(VirtualDevice::Faults()); });
        link.hid.hid_0BH_SetCurrentDPIStage(2);
        macro.fill('\xEE'); // the caller may reuse its buffer at once
        QVERIFY(link.waitFrames(6, 8000));

        const auto got = link.dev->received();
        QStringList order;
        for (const auto &r : got)
            order << bytes(r.frame).toHex() + ":" + r.payload.toHex();
        const QByteArray m = framedReports(pattern(128, 0x13), 32).toHex(), c = framedReports(colors, 32).toHex();
        QCOMPARE(order, QStringList({"0b010000000000f3:", "0b020000000000f2:", "130280000000006a:" + m,
                                     "8b00000000000074:", "10011800000000d6:" + c, "0b050000000000ef:"}));
        // Each Set went out after the previous one's quiet wait.
        const QList<qint64> p = pauses(link.dev);
        for (int i = 0; i < p.size(); ++i)
            QVERIFY2(got.at(i).frame[0] > 0x80 || p.at(i) >= Hid_Thread::kQuietPeriodMs, text(p).constData());
        QCOMPARE(readBack, uchar(2));
        QCOMPARE(link.dev->dpiStage(), uchar(5));
    }

    void quietReportEndsTheWaitEarly()
    {
        // A one-CPU machine: the global pool has one thread; the watcher must not take it.
        QThreadPool *pool = QThreadPool::globalInstance();
        const int threads = pool->maxThreadCount();
        pool->setMaxThreadCount(1);
        const auto restore = qScopeGuard([&] { pool->setMaxThreadCount(threads); });
        Link link(VirtualDevice::Model::Mouse, std::make_unique<LateQuietDevice>());
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
        QVERIFY(debug.texts().isEmpty());
        // With the quiet report most waits last one period, not two.
        QList<qint64> p = pauses(link.dev);
        const auto shortWait = [](qint64 v) { return v < 2 * Hid_Thread::kQuietPeriodMs - 8; };
        QVERIFY2(p.size() == 6 && *std::min_element(p.begin(), p.end()) >= Hid_Thread::kQuietPeriodMs,
                 text(p).constData());
        QVERIFY2(std::count_if(p.begin(), p.end(), shortWait) >= 3, text(p).constData());
        // Without it, every wait takes both periods.
        link.dev->setSendQuietReport(false);
        for (uchar s = 1; s <= 4; ++s)
            link.hid.hid_0BH_SetCurrentDPIStage(s);
        QVERIFY(link.waitFrames(11));
        p = pauses(link.dev, 8); // the first may still meet a late report
        QVERIFY2(std::count_if(p.begin(), p.end(), shortWait) == 0, text(p).constData());
        // Stopped, the watcher has let go of the event interface.
        link.hid.stopWatch();
        QVERIFY(!link.hid.isWatching());
        QCOMPARE(link.dev->openHandleCount(), 0);
    }

    void commandsThatCannotClaimAreDropped()
    {
        Link link;
        link.check();
        link.dev->clearReceived();
        // A slow device holds the link on a pool thread until the fault is cleared.
        link.setFaults([](VirtualDevice::Faults &f) { f.writeDelayMs = 60000; });
        link.hid.hid_0BH_SetCurrentDPIStage(2);
        DebugCatcher debug;
        QElapsedTimer clock;
        clock.start();
        QByteArray dpi = hex("0204080c10909090");
        link.hid.hid_11H_SetDPISet(3, raw(dpi));
        // 255 attempts, 8 ms apart.
        QVERIFY(clock.elapsed() >= Hid_Thread::kClaimAttempts * Hid_Thread::kClaimPollMs - 20);
        // A Get says only "cmd Failed" and leaves its outputs alone; shared codes
        // carry the same text whichever device's variant is called.
        uchar stages = 7;
        QVERIFY(!link.hid.hid_91H_GetDPISet(stages, raw(dpi)) && stages == 7 && dpi == hex("0204080c10909090"));
        link.hid.hid_13H_SetRecoveryData();
        QCOMPARE(debug.texts().join(','), QStringLiteral("cmd Failed 11,cmd Failed,cmd Failed 13"));
        // The link works again once the slow transfer is over.
        link.dev->setFaults(VirtualDevice::Faults());
        link.hid.hid_11H_SetDPISet(3, raw(dpi));
        QVERIFY(link.waitFrames(2));
        QCOMPARE(bytes(link.dev->received().at(1).frame).toHex(), QByteArray("11030800000000e3"));
    }
};

QTEST_GUILESS_MAIN(LinkClaimTest)
#include "tst_link_claim.moc"
