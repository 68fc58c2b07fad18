// The view's five sound players: which file each plays, restart on a second
// click, the enable switch, the looping music, and quiet behaviour on a
// machine without sound output.

#include "bridges_ViewRig.h"

#include <QApplication>
#include <QFile>
#include <QMediaPlayer>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

namespace {

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

} // namespace

class SoundsTest : public QObject {
    Q_OBJECT
private slots:
    void deliveredSoundsExistAndAreSmall();
    void eachIndexPlaysItsOwnFileOnItsOwnPlayer();
    void secondClickRestartsItsOwnSound();
    void disabledAudioPlaysNothing();
    void musicStartsAfterTheChimeAndLoops();
    void clearAllMediaStopsEverything();
    void missingFileFailsQuietly();
    void clicksDoNotFloodTheLog();
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
    for (int i = 0; i < 5; ++i)
        QVERIFY(rig.view->player(i));
    QVERIFY(rig.view->player(0) != rig.view->player(4));
    for (int i = 4; i >= 0; --i) {
        rig.view->playMedia_Index(uchar(i));
        QCOMPARE(rig.view->player(i)->source(), soundUrl(rig, files[i]));
        QCOMPARE(rig.view->player(i)->playbackState(), QMediaPlayer::PlayingState);
    }
    // Index 5 names no sound and changes nothing.
    rig.view->clearAllMedia();
    rig.view->playMedia_Index(5);
    for (int i = 0; i < 5; ++i)
        QVERIFY(rig.view->player(i)->source().isEmpty());
}

void SoundsTest::secondClickRestartsItsOwnSound()
{
    SoundRig rig;
    QMediaPlayer *chime = rig.view->player(1);
    QMediaPlayer *music = rig.view->player(0);
    rig.view->playMedia_Background();
    rig.view->playMedia_Index(1);
    QTRY_VERIFY_WITH_TIMEOUT(chime->position() >= 300, 5000);
    QSignalSpy restarted(chime, &QMediaPlayer::positionChanged);
    rig.view->playMedia_Index(1);
    QVERIFY(chime->position() < 300);
    QCOMPARE(chime->playbackState(), QMediaPlayer::PlayingState);
    // The music is untouched by a click.
    QCOMPARE(music->playbackState(), QMediaPlayer::PlayingState);
    QCOMPARE(music->source(), soundUrl(rig, "00.mp3"));
}

void SoundsTest::disabledAudioPlaysNothing()
{
    SoundRig rig;
    QVERIFY(rig.view->isAudioEnabled());
    rig.view->setEnableAudio(false);
    for (int i = 0; i < 5; ++i)
        rig.view->playMedia_Index(uchar(i));
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(rig.view->player(i)->playbackState(), QMediaPlayer::StoppedState);
        QVERIFY(rig.view->player(i)->source().isEmpty());
    }
    rig.view->setEnableAudio(true);
    rig.view->playMedia_Index(0);
    QCOMPARE(rig.view->player(0)->playbackState(), QMediaPlayer::PlayingState);
}

void SoundsTest::musicStartsAfterTheChimeAndLoops()
{
    SoundRig rig;
    QMediaPlayer *music = rig.view->player(0);
    QSignalSpy musicStatus(music, &QMediaPlayer::mediaStatusChanged);
    rig.view->playMedia_Index(1);
    QVERIFY(music->source().isEmpty());
    // The chime (1 s) ends, then the music starts by itself.
    QTRY_COMPARE_WITH_TIMEOUT(music->playbackState(), QMediaPlayer::PlayingState, 10000);
    QCOMPARE(music->source(), soundUrl(rig, "00.mp3"));
    // The music (4 s) ends and starts again.
    QTRY_VERIFY_WITH_TIMEOUT(
        musicStatus.contains(QVariantList{QVariant::fromValue(QMediaPlayer::EndOfMedia)}), 15000);
    QTRY_COMPARE_WITH_TIMEOUT(music->playbackState(), QMediaPlayer::PlayingState, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(music->position() > 0, 5000);
}

void SoundsTest::clearAllMediaStopsEverything()
{
    SoundRig rig;
    for (int i = 0; i < 5; ++i)
        rig.view->playMedia_Index(uchar(i));
    rig.view->clearAllMedia();
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(rig.view->player(i)->playbackState(), QMediaPlayer::StoppedState);
        QVERIFY(rig.view->player(i)->source().isEmpty());
    }
    // Only an explicit start brings the music back.
    rig.view->playMedia_Background();
    QCOMPARE(rig.view->player(0)->playbackState(), QMediaPlayer::PlayingState);
}

void SoundsTest::missingFileFailsQuietly()
{
    BridgesViewRig rig(BridgesViewRig::Link::None); // no modules/media at all
    rig.view->playMedia_Index(1);
    QTRY_COMPARE_WITH_TIMEOUT(rig.view->player(1)->mediaStatus(), QMediaPlayer::InvalidMedia, 5000);
    // A chime that never played never ends, so no music either.
    QCOMPARE(rig.view->player(0)->playbackState(), QMediaPlayer::StoppedState);
    QVERIFY(rig.view->player(0)->source().isEmpty());
}

void SoundsTest::clicksDoNotFloodTheLog()
{
    SoundRig rig;
    BridgesDebugCatcher log;
    for (int i = 0; i < 10; ++i)
        rig.view->playMedia_Index(uchar(2 + i % 3));
    QTRY_COMPARE_WITH_TIMEOUT(rig.view->player(4)->mediaStatus(), QMediaPlayer::EndOfMedia, 10000);
    QVERIFY2(log.texts().size() <= 1, qPrintable(log.texts().join(QLatin1Char('\n'))));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    SoundsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sounds.moc"
