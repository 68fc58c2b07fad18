// The view's five sound players, heard through a private PulseAudio null sink
// (recorded with parec).

#include "bridges_ViewRig.h"

#include "SoundPlayers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSemaphore>

namespace {

const char *const kFiles[] = {"00.mp3", "01.wav", "02.wav", "03.wav", "04.wav"};

// A view whose working folder holds the delivered sounds.
struct SoundRig : BridgesViewRig {
    SoundRig() : BridgesViewRig(Link::None)
    {
        QDir().mkpath(work.file(QStringLiteral("modules/media")));
        for (const char *name : kFiles)
            QFile::copy(qEnvironmentVariable("Z3_SOURCE_DIR") + QStringLiteral("/modules/media/") + name, file(name));
    }
    QString file(const char *name) const { return work.file(QStringLiteral("modules/media/") + name); }
    QUrl url(int i) const { return QUrl::fromLocalFile(file(kFiles[i])); }
    SoundPlayers::State state(int i) const { return view->sounds()->state(i); }
    bool playing(int i) const { return state(i).playback == QMediaPlayer::PlayingState; }
    bool playingOrEnded(int i) const { return playing(i) || state(i).status == QMediaPlayer::EndOfMedia; }
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

// Times every thread but the test's own has been scheduled in.
double otherThreadsWakeups()
{
    double n = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &t : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (t != QString::number(QCoreApplication::applicationPid()))
            n += fileBytes(tasks.filePath(t + QStringLiteral("/schedstat"))).split(' ').value(2).toDouble();
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
        rec.start(QStringLiteral("parec"), QProcess::splitCommand(QStringLiteral(
                                               "-d z3null.monitor --raw --format=s16le --channels=1 --rate=22050 --latency-msec=50")));
        QVERIFY2(rec.waitForReadyRead(5000), "no recording: pulseaudio and pulseaudio-utils are needed");
        QByteArray heard;
        for (int i = 4; i >= 0; --i) {
            heard.clear();
            rig.view->playMedia_Index(uchar(i));
            QTRY_VERIFY_WITH_TIMEOUT(rig.playingOrEnded(i), 5000);
            QCOMPARE(rig.state(i).source, rig.url(i));
            // The 30 ms click is lost on the null sink even with paplay.
            QTRY_VERIFY2_WITH_TIMEOUT(i == 4 || loudest(rec, heard) > 1000, kFiles[i], 5000);
            rig.view->clearAllMedia(); // and it goes quiet
            QTRY_VERIFY_WITH_TIMEOUT((heard.clear(), rec.waitForReadyRead(1000), loudest(rec, heard) < 100), 5000);
        }
        // A second click restarts its own sound from the top; the music goes on.
        rig.view->playMedia_Background();
        rig.view->playMedia_Index(1);
        QTRY_VERIFY_WITH_TIMEOUT(rig.state(1).position >= 300, 5000);
        rig.view->playMedia_Index(1);
        rig.view->playMedia_Index(5); // names no sound
        QVERIFY(rig.drained());
        QVERIFY2(rig.state(1).position < 300, qPrintable(QString::number(rig.state(1).position)));
        QVERIFY(rig.playing(1) && rig.playing(0) && rig.state(0).position >= 300);
    }

    void soundsOffLoadNothingThenTheMusicLoopsAfterTheChimeAtAlmostNoCost()
    {
        SoundRig rig;
        rig.view->setEnableAudio(false);
        for (int i = 0; i < 5; ++i)
            rig.view->playMedia_Index(uchar(i));
        rig.view->clearAllMedia();
        QVERIFY(!rig.view->sounds()->started());
        rig.view->setEnableAudio(true);
        rig.view->playMedia_Index(1);
        QVERIFY(rig.drained());
        QVERIFY(rig.state(0).source.isEmpty());
        // The chime (1 s) ends, then the music starts by itself; the chime's file goes.
        QTRY_VERIFY_WITH_TIMEOUT(rig.playing(0) && rig.state(0).position > 200, 10000);
        QCOMPARE(rig.state(0).source, rig.url(0));
        QTRY_VERIFY_WITH_TIMEOUT(rig.state(1).source.isEmpty(), 5000);
        // No media framework behind it, and its threads wake only now and then.
        QVERIFY(!fileBytes(QStringLiteral("/proc/self/maps")).contains("libgst"));
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

    // A sound thread held as a hung sound server would hold it is left behind
    // after a bound; new players take over and no call waits for it.
    void badFilesFailQuietlyAndAStuckSoundThreadIsReplaced()
    {
        SoundRig rig;
        QFile::remove(rig.file(kFiles[1]));
        QVERIFY(writeFile(rig.file(kFiles[2]), "RIFF----WAVEjunk"));
        DebugCatcher log;
        for (int i = 0; i < 6; ++i)
            rig.view->playMedia_Index(uchar(1 + i % 2));
        QVERIFY(rig.drained());
        QVERIFY(rig.state(1).status == QMediaPlayer::InvalidMedia && rig.state(2).status == QMediaPlayer::InvalidMedia);
        QVERIFY2(log.texts().isEmpty(), qPrintable(log.texts().join(QLatin1Char('\n'))));
        QVERIFY(rig.state(0).source.isEmpty()); // a chime that never played never starts the music

        SoundPlayers *sounds = rig.view->sounds();
        rig.view->playMedia_Background();
        auto release = std::make_shared<QSemaphore>();
        sounds->post([release] { release->tryAcquire(1, 15000); });
        const QDeadlineTimer stuck(SoundPlayers::kStuckMs + 200);
        // Sound switched off meanwhile: the new players must not bring the music back.
        rig.view->playMedia_Index(3);
        rig.view->clearAllMedia();
        QCOMPARE(sounds->restarts(), 0); // busy, but not yet for long
        QTRY_VERIFY_WITH_TIMEOUT(stuck.hasExpired(), 5000);
        QElapsedTimer call;
        call.start();
        rig.view->playMedia_Index(4);
        QVERIFY2(call.elapsed() < 50, qPrintable(QString::number(call.elapsed())));
        QCOMPARE(sounds->restarts(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(rig.playingOrEnded(4), 10000);
        QVERIFY(rig.drained());
        QVERIFY(rig.state(3).source.isEmpty() && rig.state(0).source.isEmpty());
        release->release();
    }
};

int main(int argc, char **argv)
{
    // A private sound server with a null sink; its socket appears once the sink is there.
    QTemporaryDir home;
    const QString socket = home.filePath(QStringLiteral("pulse.sock"));
    for (const char *name : {"HOME", "XDG_RUNTIME_DIR"})
        qputenv(name, home.path().toLocal8Bit());
    qputenv("PULSE_SERVER", "unix:" + socket.toLocal8Bit());
    QProcess server;
    server.start(QStringLiteral("pulseaudio"), QProcess::splitCommand(QStringLiteral(
                                                   "-n --daemonize=no --exit-idle-time=-1 --use-pid-file=no -L "
                                                   "\"module-null-sink sink_name=z3null\" -L"))
                                                   << QStringLiteral("module-native-protocol-unix socket=") + socket);
    const QDeadlineTimer bound(10000);
    while (!QFileInfo::exists(socket) && !bound.hasExpired() && server.state() != QProcess::NotRunning)
        server.waitForReadyRead(50);
    QApplication app(argc, argv);
    SoundsTest test;
    return QTest::qExec(&test, argc, argv); // the server goes with `server`

}

#include "tst_sounds.moc"
