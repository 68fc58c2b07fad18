#include "SoundPlayers.h"

#include <QAudioOutput>
#include <QDeadlineTimer>
#include <QMetaObject>
#include <QMutexLocker>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <QtDebug>

namespace {

qint64 nowMs()
{
    return QDeadlineTimer::current().deadline();
}

} // namespace

struct SoundPlayers::Shared {
    mutable QMutex lock;
    std::array<State, kCount> states;
    std::array<QMediaPlayer *, kCount> players{};
    // When the call now running on the sound thread began (monotonic ms);
    // -1 while the thread is idle.
    std::atomic<qint64> busySince{-1};
    // Requests posted from the owner and not yet handled.
    std::atomic<int> pending{0};
    // Set when the owner goes away: requests still queued are dropped.
    std::atomic<bool> closing{false};
};

// Lives on the sound thread; every method runs there.
class SoundPlayers::Worker : public QObject {
public:
    Worker(std::shared_ptr<Shared> shared, std::function<QUrl()> musicFile)
        : m_shared(std::move(shared)), m_musicFile(std::move(musicFile))
    {
    }

    template <typename F> void run(F &&work)
    {
        if (m_shared->closing)
            return;
        m_shared->busySince = nowMs();
        work();
        m_shared->busySince = -1;
    }

    void create()
    {
        for (int i = 0; i < kCount; ++i) {
            auto *p = new QMediaPlayer(this);
            auto *out = new QAudioOutput(this);
            out->setVolume(1.0f);
            p->setAudioOutput(out);
            m_players[i] = p;
            auto copy = [this, i] { snapshot(i); };
            connect(p, &QMediaPlayer::sourceChanged, this, copy);
            connect(p, &QMediaPlayer::playbackStateChanged, this, copy);
            connect(p, &QMediaPlayer::mediaStatusChanged, this, copy);
            connect(p, &QMediaPlayer::positionChanged, this, copy);
        }
        // The music loops: it restarts when it ends, and it starts when the
        // start-up chime ends. Queued, so the player that ended has left
        // its own signal before anything is asked of it.
        for (int i : {kBackground, kStartUp}) {
            connect(m_players[i], &QMediaPlayer::mediaStatusChanged, this,
                    [this](QMediaPlayer::MediaStatus status) {
                        if (status != QMediaPlayer::EndOfMedia)
                            return;
                        QMetaObject::invokeMethod(
                            this, [this] { run([this] { restart(kBackground, m_musicFile()); }); },
                            Qt::QueuedConnection);
                    });
        }
        QMutexLocker locker(&m_shared->lock);
        m_shared->players = m_players;
    }

    void restart(int index, const QUrl &file)
    {
        QMediaPlayer *p = m_players[index];
        if (p->source() != file) {
            p->setSource(file);
        } else if (p->mediaStatus() != QMediaPlayer::LoadingMedia &&
                   p->mediaStatus() != QMediaPlayer::InvalidMedia) {
            // Stopping rewinds, so a repeated click starts from the top. A
            // sound still loading has not begun yet; seeking its half-built
            // pipeline is exactly what can dead-lock the back end.
            p->stop();
        }
        p->play();
        snapshot(index);
    }

    void clearAll()
    {
        for (int i = 0; i < kCount; ++i) {
            m_players[i]->stop();
            m_players[i]->setSource(QUrl());
            snapshot(i);
        }
    }

    void shutdown()
    {
        {
            QMutexLocker locker(&m_shared->lock);
            m_shared->players = {};
        }
        for (QMediaPlayer *&p : m_players) {
            delete p;
            p = nullptr;
        }
        qDeleteAll(children()); // the outputs
    }

private:
    void snapshot(int i)
    {
        const QMediaPlayer *p = m_players[i];
        State s;
        s.source = p->source();
        s.playback = p->playbackState();
        s.status = p->mediaStatus();
        s.position = p->position();
        QMutexLocker locker(&m_shared->lock);
        m_shared->states[i] = s;
    }

    std::shared_ptr<Shared> m_shared;
    std::function<QUrl()> m_musicFile;
    std::array<QMediaPlayer *, kCount> m_players{};
};

SoundPlayers::SoundPlayers(std::function<QUrl()> musicFile, QObject *parent)
    : QObject(parent), m_musicFile(std::move(musicFile))
{
    m_watch = new QTimer(this);
    m_watch->setInterval(500);
    connect(m_watch, &QTimer::timeout, this, &SoundPlayers::watch);
    start(true);
}

SoundPlayers::~SoundPlayers()
{
    QThread *thread = m_thread;
    Worker *worker = m_worker;
    m_shared->closing = true;
    QMetaObject::invokeMethod(
        worker,
        [worker] {
            worker->shutdown();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    if (thread->wait(kShutdownMs)) {
        delete worker;
        delete thread;
        return;
    }
    // Stuck inside the media back end: the thread and its players are left
    // to the end of the process rather than holding up the exit.
    qWarning("Sound output did not stop in time; leaving it behind.");
}

void SoundPlayers::start(bool waitForPlayers)
{
    m_shared = std::make_shared<Shared>();
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("sound"));
    m_worker = new Worker(m_shared, m_musicFile);
    m_worker->moveToThread(m_thread);
    m_thread->start();
    // Creating the players loads nothing, so this is quick; waiting for it
    // only means player() answers right after construction.
    auto ready = std::make_shared<QSemaphore>();
    Worker *worker = m_worker;
    QMetaObject::invokeMethod(
        worker,
        [worker, ready] {
            worker->run([worker] { worker->create(); });
            ready->release();
        },
        Qt::QueuedConnection);
    if (waitForPlayers)
        ready->tryAcquire(1, kStuckMs);
}

void SoundPlayers::watch()
{
    replaceIfStuck();
    if (m_shared->pending == 0 && m_shared->busySince < 0)
        m_watch->stop();
}

void SoundPlayers::replaceIfStuck()
{
    const qint64 since = m_shared->busySince.load();
    if (since < 0 || nowMs() - since < kStuckMs)
        return;
    qWarning("Sound output stopped answering; starting it again.");
    // The stuck thread is left alone; should it ever come free it shuts its
    // players down and is deleted.
    QThread *thread = m_thread;
    Worker *worker = m_worker;
    QObject::connect(thread, &QThread::finished, thread, [thread, worker] {
        delete worker;
        thread->deleteLater();
    });
    m_shared->closing = true;
    QMetaObject::invokeMethod(
        worker,
        [worker] {
            worker->shutdown();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    ++m_restarts;
    start(false);
    // Requests still queued on the stuck thread are lost; what counts is
    // whether the music should be on.
    if (m_musicOn)
        play(kBackground, m_musicFile());
}

void SoundPlayers::send(std::function<void(Worker *)> work)
{
    replaceIfStuck();
    Worker *worker = m_worker;
    std::shared_ptr<Shared> shared = m_shared;
    ++shared->pending;
    QMetaObject::invokeMethod(
        worker,
        [worker, shared, work = std::move(work)] {
            worker->run([&] { work(worker); });
            --shared->pending;
        },
        Qt::QueuedConnection);
    if (!m_watch->isActive())
        m_watch->start();
}

void SoundPlayers::post(std::function<void()> work)
{
    send([work = std::move(work)](Worker *) { work(); });
}

void SoundPlayers::play(int index, const QUrl &file)
{
    if (index < 0 || index >= kCount)
        return;
    // The chime's end starts the music.
    if (index == kBackground || index == kStartUp)
        m_musicOn = true;
    send([index, file](Worker *worker) { worker->restart(index, file); });
}

void SoundPlayers::clearAll()
{
    m_musicOn = false;
    send([](Worker *worker) { worker->clearAll(); });
}

SoundPlayers::State SoundPlayers::state(int index) const
{
    if (index < 0 || index >= kCount)
        return {};
    QMutexLocker locker(&m_shared->lock);
    return m_shared->states[index];
}

QMediaPlayer *SoundPlayers::player(int index) const
{
    if (index < 0 || index >= kCount)
        return nullptr;
    QMutexLocker locker(&m_shared->lock);
    return m_shared->players[index];
}
