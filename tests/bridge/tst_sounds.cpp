// The view's five sound players: which file each plays, restart on a second
// click, the enable switch, the looping music, quiet behaviour on a machine
// without sound output, and a GUI thread that no sound call can hold up.

#include "bridges_ViewRig.h"

#include "SoundPlayers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaPlayer>
#include <QSemaphore>
#include <QTest>
#include <QUrl>

#include <atomic>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

using State = SoundPlayers::State;

QUrl soundUrl(const BridgesViewRig &rig, const char *name)
{
    return QUrl::fromLocalFile(
        QDir(rig.dir.path()).absoluteFilePath(QStringLiteral("modules/media/") + QString::fromLatin1(name)));
}

// A view whose working folder holds the delivered sounds.
struct SoundRig : BridgesViewRig {
    SoundRig() : BridgesViewRig(Link::None)
    {
        const QString from = qEnvironmentVariable("Z3_SOURCE_DIR") + QStringLiteral("/modules/media/");
        QDir(dir.path()).mkpath(QStringLiteral("modules/media"));
        for (const char *name : {"00.mp3", "01.wav", "02.wav", "03.wav", "04.wav"})
            QFile::copy(from + QString::fromLatin1(name),
                        dir.filePath(QStringLiteral("modules/media/") + name));
    }
};

State soundState(const BridgesViewRig &rig, int index)
{
    return rig.view->sounds()->state(index);
}

// True once the sound thread has handled every request posted so far.
bool drained(const BridgesViewRig &rig, int timeoutMs = 10000)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    rig.view->sounds()->post([done] { *done = true; });
    QElapsedTimer t;
    t.start();
    while (!*done && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return *done;
}

bool playing(const State &s)
{
    return s.playback == QMediaPlayer::PlayingState;
}

// Times every thread but the test's own has gone to sleep and woken again.
double otherThreadsWakeups()
{
    double n = 0;
    const QString self = QString::number(::getpid());
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &t : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks.filePath(t + QStringLiteral("/status")));
        if (t == self || !f.open(QIODevice::ReadOnly))
            continue;
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
    void deliveredSoundsExistAndAreSmall();
    void eachIndexPlaysItsOwnFileOnItsOwnPlayer();
    void secondClickRestartsItsOwnSound();
    void disabledAudioPlaysNothing();
    void musicStartsAfterTheChimeAndLoopsAtAlmostNoCost();
    void clearAllMediaStopsEverything();
    void missingFileFailsQuietly();
    void clicksDoNotFloodTheLog();
    void rapidSoundCallsNeverStallTheGuiThread();
    void stuckSoundThreadIsReplaced();
};

void SoundsTest::deliveredSoundsExistAndAreSmall()
{
    const QString dir = qEnvironmentVariable("Z3_SOURCE_DIR") + QStringLiteral("/modules/media/");
    for (const char *name : {"00.mp3", "01.wav", "02.wav", "03.wav", "04.wav"}) {
        QFile f(dir + QString::fromLatin1(name));
        QVERIFY2(f.exists(), name);
        QVERIFY2(f.size() > 1000 && f.size() < 100 * 1024, name);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(12);
        if (QByteArray(name).endsWith(".wav"))
            QVERIFY2(head.startsWith("RIFF") && head.mid(8, 4) == "WAVE", name);
        else
            QVERIFY2(head.startsWith("ID3") ||
                         (uchar(head.at(0)) == 0xFF && (uchar(head.at(1)) & 0xE0) == 0xE0),
                     name);
    }
}

void SoundsTest::eachIndexPlaysItsOwnFileOnItsOwnPlayer()
{
    SoundRig rig;
    const char *files[] = {"00.mp3", "01.wav", "02.wav", "03.wav", "04.wav"};
    for (int i = 1; i < 5; ++i)
        QVERIFY(rig.view->player(i));
    QVERIFY(rig.view->player(1) != rig.view->player(4));
    for (int i = 4; i >= 0; --i) {
        rig.view->playMedia_Index(uchar(i));
        QTRY_COMPARE_WITH_TIMEOUT(soundState(rig, i).source, soundUrl(rig, files[i]), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(playing(soundState(rig, i)), 5000);
    }
    // Index 5 names no sound and changes nothing.
    rig.view->clearAllMedia();
    rig.view->playMedia_Index(5);
    QVERIFY(drained(rig));
    for (int i = 0; i < 5; ++i)
        QVERIFY(soundState(rig, i).source.isEmpty());
}

void SoundsTest::secondClickRestartsItsOwnSound()
{
    SoundRig rig;
    rig.view->playMedia_Background();
    rig.view->playMedia_Index(1);
    QTRY_VERIFY_WITH_TIMEOUT(soundState(rig, 1).position >= 300, 5000);
    QMediaPlayer *chime = rig.view->player(1);
    rig.view->playMedia_Index(1);
    QVERIFY(drained(rig));
    // Restarted on the same player with the same file, from the top.
    QCOMPARE(rig.view->player(1), chime);
    const State again = soundState(rig, 1);
    QVERIFY2(again.position < 300, qPrintable(QString::number(again.position)));
    QVERIFY(playing(again));
    QCOMPARE(again.source, soundUrl(rig, "01.wav"));
    // The music is untouched by a click.
    QVERIFY(playing(soundState(rig, 0)));
    QCOMPARE(soundState(rig, 0).source, soundUrl(rig, "00.mp3"));
}

void SoundsTest::disabledAudioPlaysNothing()
{
    SoundRig rig;
    QVERIFY(rig.view->isAudioEnabled());
    rig.view->setEnableAudio(false);
    for (int i = 0; i < 5; ++i)
        rig.view->playMedia_Index(uchar(i));
    rig.view->clearAllMedia();
    // Not even the media back end is loaded while sounds are off.
    QVERIFY(!rig.view->sounds()->started());
    QVERIFY(drained(rig));
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(soundState(rig, i).playback, QMediaPlayer::StoppedState);
        QVERIFY(soundState(rig, i).source.isEmpty());
    }
    rig.view->setEnableAudio(true);
    rig.view->playMedia_Index(0);
    QTRY_VERIFY_WITH_TIMEOUT(playing(soundState(rig, 0)), 5000);
}

void SoundsTest::musicStartsAfterTheChimeAndLoopsAtAlmostNoCost()
{
    SoundRig rig;
    rig.view->playMedia_Index(1);
    QVERIFY(drained(rig));
    QVERIFY(soundState(rig, 0).source.isEmpty());
    // The chime (1 s) ends, then the music starts by itself.
    QTRY_VERIFY_WITH_TIMEOUT(playing(soundState(rig, 0)) && soundState(rig, 0).position > 200, 10000);
    QCOMPARE(soundState(rig, 0).source, soundUrl(rig, "00.mp3"));
    // The chime plays once: its file, and the back end's threads for it, go.
    QTRY_VERIFY_WITH_TIMEOUT(soundState(rig, 1).source.isEmpty(), 5000);
    // Playing the music on wakes the sound and media threads only now and then.
    const double before = otherThreadsWakeups();
    QElapsedTimer t;
    t.start();
    QTest::qWait(2000);
    const double perSecond = (otherThreadsWakeups() - before) * 1000.0 / double(t.elapsed());
    QVERIFY2(perSecond < 20, qPrintable(QString::number(perSecond)));
    // The music (4 s) ends and starts again from the top.
    QVERIFY(soundState(rig, 0).position > 1500);
    QTRY_VERIFY_WITH_TIMEOUT(playing(soundState(rig, 0)) && soundState(rig, 0).position < 1000 &&
                                 soundState(rig, 0).status != QMediaPlayer::EndOfMedia,
                             10000);
    QCOMPARE(soundState(rig, 0).source, soundUrl(rig, "00.mp3"));
}

void SoundsTest::clearAllMediaStopsEverything()
{
    SoundRig rig;
    for (int i = 0; i < 5; ++i)
        rig.view->playMedia_Index(uchar(i));
    rig.view->clearAllMedia();
    QVERIFY(drained(rig));
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(soundState(rig, i).playback, QMediaPlayer::StoppedState);
        QVERIFY(soundState(rig, i).source.isEmpty());
    }
    // Only an explicit start brings the music back.
    rig.view->playMedia_Background();
    QTRY_VERIFY_WITH_TIMEOUT(playing(soundState(rig, 0)), 5000);
    QCOMPARE(soundState(rig, 0).source, soundUrl(rig, "00.mp3"));
}

void SoundsTest::missingFileFailsQuietly()
{
    BridgesViewRig rig(BridgesViewRig::Link::None); // no modules/media at all
    rig.view->playMedia_Index(1);
    QTRY_COMPARE_WITH_TIMEOUT(soundState(rig, 1).status, QMediaPlayer::InvalidMedia, 5000);
    // A second click on a missing file is just as quiet.
    rig.view->playMedia_Index(1);
    QVERIFY(drained(rig));
    QCOMPARE(soundState(rig, 1).status, QMediaPlayer::InvalidMedia);
    // A chime that never played never ends, so no music either.
    QCOMPARE(soundState(rig, 0).playback, QMediaPlayer::StoppedState);
    QVERIFY(soundState(rig, 0).source.isEmpty());
}

void SoundsTest::clicksDoNotFloodTheLog()
{
    SoundRig rig;
    BridgesDebugCatcher log;
    for (int i = 0; i < 10; ++i)
        rig.view->playMedia_Index(uchar(2 + i % 3));
    QTRY_COMPARE_WITH_TIMEOUT(soundState(rig, 4).status, QMediaPlayer::EndOfMedia, 10000);
    QVERIFY2(log.texts().size() <= 1, qPrintable(log.texts().join(QLatin1Char('\n'))));
}

// Many quick sound calls of every kind, with the event loop running between
// them. Loading a file or dropping it can block inside the media back end
// (for a second, or for good); the window must not wait for it.
void SoundsTest::rapidSoundCallsNeverStallTheGuiThread()
{
    SoundRig rig;
    // A call that never returns would otherwise end only by the test
    // runner's time-out; say what happened instead.
    std::atomic<qint64> callStart{-1};
    std::atomic<bool> finished{false};
    QElapsedTimer clock;
    clock.start();
    std::thread watchdog([&] {
        while (!finished) {
            const qint64 since = callStart;
            if (since >= 0 && clock.elapsed() - since > 5000) {
                std::fprintf(stderr, "FAIL: a sound call has held the GUI thread for 5 s\n");
                std::_Exit(1);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    qint64 worst = 0;
    QString worstCall;
    for (int i = 0; i < 400; ++i) {
        const int kind = i % 7;
        callStart = clock.elapsed();
        QElapsedTimer t;
        t.start();
        if (kind < 5)
            rig.view->playMedia_Index(uchar(kind)); // 0 is the music
        else if (kind == 5)
            rig.view->clearAllMedia();
        else
            rig.view->playMedia_Background();
        const qint64 took = t.elapsed();
        callStart = -1;
        if (took > worst) {
            worst = took;
            worstCall = QStringLiteral("call %1 (kind %2)").arg(i).arg(kind);
        }
        // A few milliseconds of event loop between calls, so loads are
        // under way when the next call comes.
        QElapsedTimer gap;
        gap.start();
        while (gap.elapsed() < 4)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 4);
    }
    finished = true;
    watchdog.join();
    QVERIFY2(worst < 50, qPrintable(QStringLiteral("%1 ms in %2").arg(worst).arg(worstCall)));
    // The sound thread catches up (or, stuck inside the back end, is
    // replaced) and the players still work.
    QElapsedTimer recovery;
    recovery.start();
    bool works = false;
    while (!works && recovery.elapsed() < 20000) {
        rig.view->clearAllMedia();
        rig.view->playMedia_Index(4);
        works = drained(rig, 3000) && QTest::qWaitFor(
                                          [&] {
                                              const State s = soundState(rig, 4);
                                              return playing(s) || s.status == QMediaPlayer::EndOfMedia;
                                          },
                                          3000);
    }
    QVERIFY(works);
    if (rig.view->sounds()->restarts() > 0)
        qInfo("the sound thread was replaced %d time(s)", rig.view->sounds()->restarts());
}

// A sound thread stuck inside the back end is left behind after a bound and
// new players take over, so sounds come back and the GUI thread never waits.
void SoundsTest::stuckSoundThreadIsReplaced()
{
    SoundRig rig;
    SoundPlayers *sounds = rig.view->sounds();
    QMediaPlayer *oldClick = sounds->player(4);
    rig.view->playMedia_Background();
    QTRY_VERIFY_WITH_TIMEOUT(playing(soundState(rig, 0)), 5000);
    auto release = std::make_shared<QSemaphore>();
    // Holds the sound thread as a dead-locked back end would (bounded, so a
    // failing test cannot hang).
    sounds->post([release] { release->tryAcquire(1, 15000); });
    QElapsedTimer blocked;
    blocked.start();
    // Busy, but not yet for long: the thread is kept. Sound is switched
    // off meanwhile, so the new players must not bring the music back.
    rig.view->playMedia_Index(2);
    rig.view->clearAllMedia();
    QCOMPARE(sounds->restarts(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(blocked.elapsed() > SoundPlayers::kStuckMs + 200, 5000);

    QElapsedTimer call;
    call.start();
    rig.view->playMedia_Index(4);
    QVERIFY2(call.elapsed() < 50, qPrintable(QString::number(call.elapsed())));
    QCOMPARE(sounds->restarts(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(sounds->player(4), 5000);
    QVERIFY(sounds->player(4) != oldClick);
    QTRY_VERIFY_WITH_TIMEOUT(
        playing(soundState(rig, 4)) || soundState(rig, 4).status == QMediaPlayer::EndOfMedia, 10000);
    QCOMPARE(soundState(rig, 4).source, soundUrl(rig, "04.wav"));
    // The requests made while the old thread was stuck went with it.
    QVERIFY(drained(rig));
    QVERIFY(soundState(rig, 2).source.isEmpty());
    QVERIFY(soundState(rig, 0).source.isEmpty());
    QCOMPARE(soundState(rig, 0).playback, QMediaPlayer::StoppedState);
    release->release();
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    SoundsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sounds.moc"
