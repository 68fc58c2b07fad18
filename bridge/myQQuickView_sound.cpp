// Sounds: five independent players, one per sound, so a click restarts only
// its own sound and the kinds overlap with each other and with the music.
// Player 0 loops the background music; the end of the start-up chime
// (player 1) starts it.

#include "myQQuickView.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QDir>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace {

constexpr int kPlayerCount = 5;
constexpr int kBackground = 0;
constexpr int kStartUp = 1;

QUrl soundUrl(int index)
{
    static const char *const kFiles[kPlayerCount] = {"./modules/media/00.mp3", "./modules/media/01.wav",
                                                     "./modules/media/02.wav", "./modules/media/03.wav",
                                                     "./modules/media/04.wav"};
    // Relative to the working folder the program runs in.
    return QUrl::fromLocalFile(
        QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromLatin1(kFiles[index]))));
}

QLoggingCategory::CategoryFilter previousFilter = nullptr;

void playerWarningsOff(QLoggingCategory *category)
{
    if (previousFilter)
        previousFilter(category);
    if (qstrcmp(category->categoryName(), "qt.multimedia.player") == 0)
        category->setEnabled(QtWarningMsg, false);
}

// On a machine without sound output every play attempt would log that the
// sound server cannot be reached.
void quietPlayerWarnings()
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        previousFilter = QLoggingCategory::installFilter(&playerWarningsOff);
    }
}

} // namespace

void myQQuickView::createSoundPlayers()
{
    // Without any sound output the players still run (the media back end
    // falls back to a silent sink) and report their ends, so the music loop
    // works the same; only the back end's complaint about every attempt is
    // silenced.
    if (QMediaDevices::audioOutputs().isEmpty())
        quietPlayerWarnings();
    for (int i = 0; i < kPlayerCount; ++i) {
        m_players[i] = new QMediaPlayer(this);
        m_audioOutputs[i] = new QAudioOutput(this);
        m_audioOutputs[i]->setVolume(1.0f);
        m_players[i]->setAudioOutput(m_audioOutputs[i]);
    }
    // The music loops: it restarts when it ends, and it starts when the
    // start-up chime ends.
    for (int i : {kBackground, kStartUp}) {
        connect(m_players[i], &QMediaPlayer::mediaStatusChanged, this,
                [this](QMediaPlayer::MediaStatus status) {
                    if (status == QMediaPlayer::EndOfMedia)
                        playMedia_Background();
                });
    }
}

QMediaPlayer *myQQuickView::player(int index) const
{
    return index >= 0 && index < kPlayerCount ? m_players[index] : nullptr;
}

void myQQuickView::playMedia_Index(uchar index)
{
    if (!m_soundEnabled || index >= kPlayerCount)
        return;
    if (index == kBackground) {
        playMedia_Background();
        return;
    }
    QMediaPlayer *p = m_players[index];
    if (!p)
        return;
    // Stopping first makes a repeated click start its sound from the top;
    // the same file is not loaded again.
    p->stop();
    p->setSource(soundUrl(index));
    p->play();
}

void myQQuickView::playMedia_Background()
{
    QMediaPlayer *p = m_players[kBackground];
    if (!p)
        return;
    p->stop();
    p->setSource(soundUrl(kBackground));
    p->play();
}

void myQQuickView::clearAllMedia()
{
    for (QMediaPlayer *p : m_players) {
        if (p) {
            p->stop();
            p->setSource(QUrl());
        }
    }
}
