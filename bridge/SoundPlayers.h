#pragma once
// The view's five sound players, kept on a thread of their own.
//
// Each player decodes its file once to PCM (libsndfile, already loaded with
// the sound server's client library) and plays it through an audio sink; no
// media framework is loaded at all. Decoding a file and opening a stream on
// the sound server can still take a while, or hang with the server, so every
// player call runs here on the sound thread; the GUI thread only posts
// requests and reads a copy of the players' state. A sound thread that stays
// stuck in one call is abandoned and replaced by a fresh one with new
// players, so sounds come back.
//
// The thread and the players come into being only when a sound is first
// asked for: with sounds off nothing of it loads.

#include <QMediaPlayer>
#include <QMutex>
#include <QObject>
#include <QUrl>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

class QThread;
class QTimer;

class SoundPlayers : public QObject {
public:
    static constexpr int kCount = 5;
    static constexpr int kBackground = 0;
    static constexpr int kStartUp = 1;
    // A call that has not finished after this long counts as stuck.
    static constexpr int kStuckMs = 2000;
    // How long shutting down waits for the sound thread.
    static constexpr int kShutdownMs = 1500;

    // What the GUI thread may know about one player; a copy taken on the
    // sound thread whenever the player changes.
    struct State {
        QUrl source;
        QMediaPlayer::PlaybackState playback = QMediaPlayer::StoppedState;
        QMediaPlayer::MediaStatus status = QMediaPlayer::NoMedia;
        qint64 position = 0;
    };

    // `musicFile` names the background music when a player's end restarts
    // it; it is called on the sound thread.
    explicit SoundPlayers(std::function<QUrl()> musicFile, QObject *parent = nullptr);
    ~SoundPlayers() override;

    // Requests, posted in order; they return at once.
    // (Re)starts player `index` with `file`: a player already holding the
    // file starts it again from the top.
    void play(int index, const QUrl &file);
    // Stops every player and drops its file.
    void clearAll();

    // Any thread.
    State state(int index) const;
    // The player object of sound `index`, for tests (it starts the players);
    // it lives on the sound thread, so only compare it.
    QObject *player(int index);
    // Whether the sound thread and its players have been started.
    bool started() const { return m_thread != nullptr; }
    // Number of times a stuck sound thread was replaced (the music, if it
    // was on, starts again on the new players).
    int restarts() const { return m_restarts; }

    // Runs `work` on the sound thread after the requests posted before it
    // (tests use it to hold the thread busy).
    void post(std::function<void()> work);

    struct Shared;
    class Worker;

private:
    void start(bool waitForPlayers);
    void startOnce(bool waitForPlayers);
    void replaceIfStuck();
    void watch();
    void send(std::function<void(Worker *)> work);

    std::function<QUrl()> m_musicFile;
    std::shared_ptr<Shared> m_shared;
    QThread *m_thread = nullptr;
    Worker *m_worker = nullptr;
    int m_restarts = 0;
    // Whether the music should be playing, as far as the requests tell.
    bool m_musicOn = false;
    // Runs while requests are outstanding, so a thread that got stuck is
    // replaced even if no further request comes.
    QTimer *m_watch = nullptr;
};
