// Sounds: five independent players, one per sound, so a click restarts only
// its own sound and the kinds overlap with each other and with the music.
// Player 0 loops the background music from memory; the end of the start-up
// chime (player 1) starts it. The players run on their own thread, started
// with the first sound (SoundPlayers): decoding a file or opening a stream
// on the sound server can take a while, and a click must never freeze the
// window.

#include "myQQuickView.h"

#include "SoundPlayers.h"

#include <QDir>
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

} // namespace

void myQQuickView::createSoundPlayers()
{
    // Nothing loads here: the players start with the first sound.
    m_sounds = new SoundPlayers([] { return soundUrl(kBackground); }, this);
}

void myQQuickView::playMedia_Index(uchar index)
{
    if (!m_soundEnabled || index >= kPlayerCount)
        return;
    if (index == kBackground) {
        playMedia_Background();
        return;
    }
    // The file is named now, against the working folder of this moment.
    m_sounds->play(index, soundUrl(index));
}

void myQQuickView::playMedia_Background()
{
    m_sounds->play(kBackground, soundUrl(kBackground));
}

void myQQuickView::clearAllMedia()
{
    m_sounds->clearAll();
}
