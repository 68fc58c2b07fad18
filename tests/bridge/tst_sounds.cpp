// The view's five sound players, heard on a private PulseAudio null sink:
// each index plays its own file audibly, a second click restarts only its own
// sound, the music loops at almost no cost, sounds off load nothing, a broken
// file fails quietly, and no sound call can hold up the GUI thread.

#include "bridges_ViewRig.h"

#include "SoundPlayers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSemaphore>
#include <QTest>

#include <unistd.h>

namespace {

using State = SoundPlayers::State;
const char *const kFiles[] = {"00.mp3", "01.wav", "02.wav", "03.wav", "04.wav"};

// A view whose working folder holds the delivered sounds.
struct SoundRig : BridgesViewRig {
    SoundRig() : BridgesViewRig(Link::None)
    {
        QDir(dir.path()).mkpath(QStringLiteral("modules/media"));
        for (const char *name : kFiles)
            QFile::copy(qEnvironmentVariable("Z3_SOURCE_DIR") + QStringLiteral("/modules/media/") + name,
                        file(name));
    }
    QString file(const char *name) const { return dir.filePath(QStringLiteral("modules/media/") + name); }
    QUrl url(int i) const { return QUrl::fromLocalFile(file(kFiles[i])); }
    State state(int i) const { return view->sounds()->state(i); }
    bool playing(int i) const { return state(i).playback == QMediaPlayer::PlayingState; }
    // True once the sound thread has handled every request posted so far.
    bool drained()
    {
        auto done = std::make_shared<std::atomic<bool>>(false);
        view->sounds()->post([done] { *done = true; });
        return QTest::qWaitFor([&] { return done->load(); }, 10000);
    }
};

// The loudest sample in what the null sink's monitor has carried so far.
int loudest(QProcess &rec, QByteArray &heard)
{
    heard += rec.readAllStandardOutput();
    int peak = 0;
    for (qsizetype i = 0; i + 1 < heard.size(); i += 2)
        peak = qMax(peak, qAbs(int(qint16(uchar(heard[i]) | uchar(heard[i + 1]) << 8))));
    return peak;
}

QByteArray procFile(const char *name) // of this process
{
    QFile f(QStringLiteral("/proc/self/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double otherThreadsWakeups()
{
    double n = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &t : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks.filePath(t + QStringLiteral("/status")));
        if (t != QString::number(::getpid()) && f.open(QIODevice::ReadOnly))
            for (const QByteArray &line : f.readAll().split('\n'))
                if (line.startsWith("voluntary_ctxt_switches:"))
                    n += line.mid(24).trimmed().toDouble();
    }
    return n;
}

} // namespace

class SoundsTest : public QObject {
    Q_OBJECT
private slots:
    void eachIndexPlaysItsOwnFileAudiblyAndRestartsOnlyItself()
    {
        SoundRig rig;
        QProcess rec;
        rec.start(QStringLiteral("parec"), {QStringLiteral("-d"), QStringLiteral("z3null.monitor"),
                                            QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                                            QStringLiteral("--channels=1"), QStringLiteral("--rate=22050"),
                                            QStringLiteral("--latency-msec=50")});
        QVERIFY2(rec.waitForStarted(), "parec (pulseaudio-utils) is needed");
        QVERIFY(rec.waitForReadyRead(5000));
        QByteArray heard;
        for (int i = 4; i >= 0; --i) {
            heard.clear();
            rig.view->playMedia_Index(uchar(i));
            QTRY_VERIFY_WITH_TIMEOUT(rig.playing(i) || rig.state(i).status == QMediaPlayer::EndOfMedia, 5000);
            QCOMPARE(rig.state(i).source, rig.url(i));
            // The 30 ms click is lost on the null sink even with paplay.
            QTRY_VERIFY2_WITH_TIMEOUT(i == 4 || loudest(rec, heard) > 1000, kFiles[i], 5000);
            QVERIFY(rig.view->sounds()->player(i) != rig.view->sounds()->player((i + 1) % 5));
            rig.view->clearAllMedia();
            QVERIFY(rig.drained());
            // Cleared, it goes quiet.
            QTRY_VERIFY_WITH_TIMEOUT((heard.clear(), rec.waitForReadyRead(1000), loudest(rec, heard) < 100), 5000);
        }
        rec.kill();
        rec.waitForFinished();
        // A second click restarts its own sound from the top; the music goes on.
        rig.view->playMedia_Background();
        rig.view->playMedia_Index(1);
        QTRY_VERIFY_WITH_TIMEOUT(rig.state(1).position >= 300, 5000);
        QObject *chime = rig.view->sounds()->player(1);
        rig.view->playMedia_Index(1);
        rig.view->playMedia_Index(5); // names no sound
        QVERIFY(rig.drained());
        QCOMPARE(rig.view->sounds()->player(1), chime);
        QVERIFY2(rig.state(1).position < 300, qPrintable(QString::number(rig.state(1).position)));
        QVERIFY(rig.playing(1) && rig.playing(0) && rig.state(0).position >= 300);
    }

    void soundsOffLoadNothingUntilSwitchedOn()
    {
        SoundRig rig;
        rig.view->setEnableAudio(false);
        for (int i = 0; i < 5; ++i)
            rig.view->playMedia_Index(uchar(i));
        rig.view->clearAllMedia();
        QVERIFY(!rig.view->sounds()->started());
        QVERIFY(!procFile("maps").contains("libgst"));
        for (int i = 0; i < 5; ++i)
            QVERIFY(rig.state(i).source.isEmpty() && !rig.playing(i));
        rig.view->setEnableAudio(true);
        rig.view->playMedia_Index(0);
        QTRY_VERIFY_WITH_TIMEOUT(rig.playing(0), 5000);
    }

    void musicStartsAfterTheChimeAndLoopsAtAlmostNoCost()
    {
        SoundRig rig;
        rig.view->playMedia_Index(1);
        QVERIFY(rig.drained());
        QVERIFY(rig.state(0).source.isEmpty());
        // The chime (1 s) ends, then the music starts by itself; the chime's file goes.
        QTRY_VERIFY_WITH_TIMEOUT(rig.playing(0) && rig.state(0).position > 200, 10000);
        QCOMPARE(rig.state(0).source, rig.url(0));
        QTRY_VERIFY_WITH_TIMEOUT(rig.state(1).source.isEmpty(), 5000);
        // No media framework behind it, and its threads wake only now and then.
        QVERIFY(!procFile("maps").contains("libgst"));
        const double before = otherThreadsWakeups();
        QElapsedTimer t;
        t.start();
        QTest::qWait(2000);
        const double perSecond = (otherThreadsWakeups() - before) * 1000.0 / double(t.elapsed());
        QVERIFY2(perSecond < 20, qPrintable(QString::number(perSecond)));
        // The music (4 s) ends and starts again from the top.
        QVERIFY(rig.state(0).position > 1500);
        QTRY_VERIFY_WITH_TIMEOUT(rig.playing(0) && rig.state(0).position < 1000, 10000);
        QCOMPARE(rig.state(0).source, rig.url(0));
    }

    void brokenOrMissingFileFailsQuietly()
    {
        SoundRig rig;
        QFile::remove(rig.file(kFiles[1]));
        QFile bad(rig.file(kFiles[2]));
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate) && bad.write("RIFF----WAVEjunk") > 0);
        bad.close();
        BridgesDebugCatcher log;
        for (int i = 0; i < 6; ++i)
            rig.view->playMedia_Index(uchar(1 + i % 2));
        QVERIFY(rig.drained());
        for (int i : {1, 2})
            QCOMPARE(rig.state(i).status, QMediaPlayer::InvalidMedia);
        QVERIFY2(log.texts().size() <= 1, qPrintable(log.texts().join(QLatin1Char('\n'))));
        // A chime that never played never ends, so no music either.
        QVERIFY(rig.state(0).source.isEmpty() && !rig.playing(0));
    }

    // Many quick calls of every kind; then a sound thread held as a hung
    // sound server would hold it is left behind and new players take over.
    void soundCallsNeverHoldTheGuiThreadAndAStuckThreadIsReplaced()
    {
        SoundRig rig;
        SoundPlayers *sounds = rig.view->sounds();
        qint64 worst = 0;
        for (int i = 0; i < 300; ++i) {
            QElapsedTimer t;
            t.start();
            if (i % 6 == 5)
                rig.view->clearAllMedia();
            else
                rig.view->playMedia_Index(uchar(i % 6));
            worst = qMax(worst, t.elapsed());
            QCoreApplication::processEvents(QEventLoop::AllEvents, 4);
        }
        QVERIFY2(worst < 50, qPrintable(QString::number(worst)));
        QVERIFY(rig.drained());
        QObject *oldClick = sounds->player(4);
        rig.view->playMedia_Background();
        auto release = std::make_shared<QSemaphore>();
        sounds->post([release] { release->tryAcquire(1, 15000); });
        QElapsedTimer blocked;
        blocked.start();
        // Sound switched off meanwhile: the new players must not bring the music back.
        rig.view->playMedia_Index(2);
        rig.view->clearAllMedia();
        QCOMPARE(sounds->restarts(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(blocked.elapsed() > SoundPlayers::kStuckMs + 200, 5000);
        QElapsedTimer call;
        call.start();
        rig.view->playMedia_Index(4);
        QVERIFY2(call.elapsed() < 50, qPrintable(QString::number(call.elapsed())));
        QCOMPARE(sounds->restarts(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(rig.playing(4) || rig.state(4).status == QMediaPlayer::EndOfMedia, 10000);
        QVERIFY(sounds->player(4) != oldClick);
        QVERIFY(rig.drained());
        QVERIFY(rig.state(2).source.isEmpty() && rig.state(0).source.isEmpty());
        release->release();
    }
};

int main(int argc, char **argv)
{
    // A private sound server whose only output is a null sink parec can record.
    QTemporaryDir home;
    const QString socket = home.filePath(QStringLiteral("pulse.sock"));
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    qputenv("PULSE_SERVER", "unix:" + socket.toLocal8Bit());
    QProcess server;
    server.start(QStringLiteral("pulseaudio"),
                 {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                  QStringLiteral("--use-pid-file=no"), QStringLiteral("-L"),
                  QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket,
                  QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=z3null")});
    QProcess probe;
    auto sinkReady = [&] {
        probe.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")});
        return probe.waitForFinished(2000) && probe.readAllStandardOutput().contains("z3null");
    };
    QElapsedTimer t;
    t.start();
    while (!sinkReady() && t.elapsed() < 10000 && server.state() != QProcess::NotRunning)
        server.waitForReadyRead(100);
    if (!sinkReady()) {
        qCritical("the private PulseAudio server (pulseaudio, pulseaudio-utils) did not start");
        return 1;
    }
    QApplication app(argc, argv);
    SoundsTest test;
    const int failed = QTest::qExec(&test, argc, argv);
    server.kill();
    server.waitForFinished();
    return failed;
}

#include "tst_sounds.moc"
