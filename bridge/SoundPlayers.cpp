#include "SoundPlayers.h"

#include <QAudioDecoder>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QMediaDevices>
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

QLoggingCategory::CategoryFilter previousFilter = nullptr;

void playerWarningsOff(QLoggingCategory *category)
{
    if (previousFilter)
        previousFilter(category);
    if (qstrcmp(category->categoryName(), "qt.multimedia.player") == 0)
        category->setEnabled(QtWarningMsg, false);
}

// Without any sound output the players still run (the media back end falls
// back to a silent sink) and report their ends, so the music loop works the
// same; only the back end's complaint about every attempt is silenced.
void quietPlayerWarningsWithoutOutput()
{
    static std::atomic<bool> checked{false};
    if (checked.exchange(true) || !QMediaDevices::audioOutputs().isEmpty())
        return;
    previousFilter = QLoggingCategory::installFilter(&playerWarningsOff);
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
    // When the music's current pass began (monotonic ms); -1 while it does
    // not advance. Its position is read from this, so nothing has to wake
    // up to report it.
    std::atomic<qint64> musicSince{-1};
};

namespace {

// The background music. Decoding it for ever would wake the sound thread and
// the back end's threads dozens of times a second, so it is decoded once to
// PCM and looped from memory into an audio sink with a large buffer, filled
// four times a second. Without a sound output nothing is played, but the
// passes are still timed, so the loop behaves the same.
class MusicLoop : public QObject {
public:
    using State = SoundPlayers::State;
    static constexpr int kBufferMs = 1000;
    static constexpr int kFeedMs = 250;

    MusicLoop(std::function<void()> changed, std::function<void(qint64)> since, std::function<QUrl()> again,
              QObject *parent)
        : QObject(parent), m_changed(std::move(changed)), m_since(std::move(since)), m_again(std::move(again))
    {
        m_end.setSingleShot(true);
        connect(&m_end, &QTimer::timeout, this, &MusicLoop::passEnded);
        m_feed.setInterval(kFeedMs);
        connect(&m_feed, &QTimer::timeout, this, &MusicLoop::feed);
    }
    ~MusicLoop() override { stopOutput(); }

    State state() const
    {
        State s;
        s.source = m_source;
        s.playback = m_playback;
        s.status = m_status;
        return s;
    }

    // Starts `file` from the top, decoding it first unless it is the one
    // already in memory.
    void play(const QUrl &file)
    {
        if (file != m_source) {
            stopOutput();
            m_source = file;
            if (file != m_decodedFrom || m_pcm.isEmpty()) {
                load(file);
                return;
            }
            m_status = QMediaPlayer::LoadedMedia;
        }
        if (m_status == QMediaPlayer::LoadingMedia) {
            m_playback = QMediaPlayer::PlayingState; // starts once decoded
            m_changed();
            return;
        }
        if (m_status == QMediaPlayer::InvalidMedia) {
            m_changed();
            return;
        }
        stopOutput(); // what is buffered belongs to the old position
        m_playback = QMediaPlayer::PlayingState;
        begin();
    }

    void clear()
    {
        stopOutput();
        m_end.stop();
        if (m_decoder) {
            dropDecoder();
            m_decodedFrom.clear();
        }
        m_source.clear();
        m_playback = QMediaPlayer::StoppedState;
        m_status = QMediaPlayer::NoMedia;
        m_since(-1);
        m_changed();
    }

private:
    void load(const QUrl &file)
    {
        dropDecoder();
        m_end.stop();
        m_pcm.clear();
        m_decodedFrom = file;
        m_playback = QMediaPlayer::PlayingState;
        m_status = QMediaPlayer::LoadingMedia;
        m_since(-1);
        m_decoder = new QAudioDecoder(this);
        connect(m_decoder, &QAudioDecoder::bufferReady, this, [this] {
            const QAudioBuffer b = m_decoder->read();
            m_format = b.format();
            m_pcm.append(b.constData<char>(), b.byteCount());
        });
        connect(m_decoder, &QAudioDecoder::finished, this, &MusicLoop::decoded);
        connect(m_decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this, &MusicLoop::failed);
        m_decoder->setSource(file);
        m_decoder->start();
        m_changed();
    }

    // Its signals still queued must not reach the next decoder's slots.
    void dropDecoder()
    {
        if (!m_decoder)
            return;
        m_decoder->disconnect(this);
        m_decoder->deleteLater();
        m_decoder = nullptr;
    }

    void decoded()
    {
        dropDecoder();
        if (m_pcm.isEmpty() || !m_format.isValid() || durationMs() <= 0) {
            failed();
            return;
        }
        m_status = QMediaPlayer::LoadedMedia;
        if (m_playback == QMediaPlayer::PlayingState)
            begin();
        else
            m_changed();
    }

    void failed()
    {
        dropDecoder();
        m_pcm.clear();
        m_decodedFrom.clear();
        m_playback = QMediaPlayer::StoppedState;
        m_status = QMediaPlayer::InvalidMedia;
        m_changed();
    }

    qint64 durationMs() const { return m_format.durationForBytes(qint32(m_pcm.size())) / 1000; }

    void begin()
    {
        m_status = QMediaPlayer::BufferedMedia;
        m_offset = 0;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (!device.isNull() && device.isFormatSupported(m_format)) {
            m_sink = new QAudioSink(device, m_format, this);
            m_sink->setBufferSize(m_format.bytesForDuration(kBufferMs * 1000));
            m_out = m_sink->start();
            if (m_out && m_sink->error() == QAudio::NoError) {
                feed();
                m_feed.start();
            } else {
                stopOutput();
            }
        }
        m_since(QDeadlineTimer::current().deadline());
        m_end.start(int(durationMs()));
        m_changed();
    }

    // Tops the sink's buffer up, wrapping round to the start of the music.
    void feed()
    {
        if (!m_out || m_pcm.isEmpty())
            return;
        qint64 free = m_sink->bytesFree();
        while (free > 0) {
            const qint64 chunk = qMin(free, qint64(m_pcm.size()) - m_offset);
            const qint64 written = m_out->write(m_pcm.constData() + m_offset, chunk);
            if (written <= 0)
                break;
            m_offset = (m_offset + written) % m_pcm.size();
            free -= written;
        }
    }

    // One pass is over; the music starts again (from memory, and without a
    // gap when the sink simply goes on playing).
    void passEnded()
    {
        m_status = QMediaPlayer::EndOfMedia;
        m_changed();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_status != QMediaPlayer::EndOfMedia)
                    return;
                const QUrl file = m_again();
                if (file != m_source || !m_sink) {
                    play(file);
                    return;
                }
                m_status = QMediaPlayer::BufferedMedia;
                m_since(QDeadlineTimer::current().deadline());
                m_end.start(int(durationMs()));
                m_changed();
            },
            Qt::QueuedConnection);
    }

    void stopOutput()
    {
        m_feed.stop();
        if (m_sink) {
            m_sink->stop();
            delete m_sink;
        }
        m_sink = nullptr;
        m_out = nullptr;
    }

    std::function<void()> m_changed;
    std::function<void(qint64)> m_since;
    std::function<QUrl()> m_again;
    QUrl m_source;
    QMediaPlayer::PlaybackState m_playback = QMediaPlayer::StoppedState;
    QMediaPlayer::MediaStatus m_status = QMediaPlayer::NoMedia;
    QAudioDecoder *m_decoder = nullptr;
    QUrl m_decodedFrom;
    QByteArray m_pcm;
    QAudioFormat m_format;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_out = nullptr;
    qint64 m_offset = 0;
    QTimer m_end;
    QTimer m_feed;
};

} // namespace

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
        quietPlayerWarningsWithoutOutput();
        m_music = new MusicLoop([this] { snapshot(kBackground); },
                                [shared = m_shared](qint64 since) { shared->musicSince = since; }, m_musicFile,
                                this);
        for (int i = kBackground + 1; i < kCount; ++i) {
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
        // The music starts when the start-up chime ends (and loops by
        // itself). The chime plays once, so its file is dropped, and with it
        // the back end's threads for it. Queued, so the player that ended
        // has left its own signal before anything is asked of it.
        connect(m_players[kStartUp], &QMediaPlayer::mediaStatusChanged, this,
                [this](QMediaPlayer::MediaStatus status) {
                    if (status != QMediaPlayer::EndOfMedia)
                        return;
                    QMetaObject::invokeMethod(
                        this,
                        [this] {
                            run([this] {
                                restart(kBackground, m_musicFile());
                                if (m_players[kStartUp]->mediaStatus() == QMediaPlayer::EndOfMedia)
                                    m_players[kStartUp]->setSource(QUrl());
                                snapshot(kStartUp);
                            });
                        },
                        Qt::QueuedConnection);
                });
        QMutexLocker locker(&m_shared->lock);
        m_shared->players = m_players;
    }

    void restart(int index, const QUrl &file)
    {
        if (index == kBackground) {
            m_music->play(file);
            return;
        }
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
        m_music->clear();
        for (int i = kBackground + 1; i < kCount; ++i) {
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
        delete m_music;
        m_music = nullptr;
        for (QMediaPlayer *&p : m_players) {
            delete p;
            p = nullptr;
        }
        qDeleteAll(children()); // the outputs
    }

private:
    void snapshot(int i)
    {
        if (i == kBackground) {
            const State s = m_music->state();
            QMutexLocker locker(&m_shared->lock);
            m_shared->states[i] = s;
            return;
        }
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
    MusicLoop *m_music = nullptr;
};

SoundPlayers::SoundPlayers(std::function<QUrl()> musicFile, QObject *parent)
    : QObject(parent), m_musicFile(std::move(musicFile))
{
    m_watch = new QTimer(this);
    m_watch->setInterval(500);
    connect(m_watch, &QTimer::timeout, this, &SoundPlayers::watch);
    m_shared = std::make_shared<Shared>();
}

SoundPlayers::~SoundPlayers()
{
    if (!m_thread)
        return;
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
    // Creating the players loads the media back end, which takes a while
    // on a busy machine; it is not a call that can get stuck on a file, so
    // it does not count towards replacing the thread. Waiting for it only
    // means player() answers at once.
    auto ready = std::make_shared<QSemaphore>();
    Worker *worker = m_worker;
    std::shared_ptr<Shared> shared = m_shared;
    QMetaObject::invokeMethod(
        worker,
        [worker, ready, shared] {
            if (!shared->closing)
                worker->create();
            ready->release();
        },
        Qt::QueuedConnection);
    if (waitForPlayers)
        ready->tryAcquire(1, kStuckMs);
}

void SoundPlayers::startOnce(bool waitForPlayers)
{
    if (!m_thread)
        start(waitForPlayers);
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
    // The back end loads on the sound thread; the first sound does not wait for it.
    startOnce(false);
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
    if (!m_thread)
        return; // nothing has played
    send([](Worker *worker) { worker->clearAll(); });
}

SoundPlayers::State SoundPlayers::state(int index) const
{
    if (index < 0 || index >= kCount)
        return {};
    QMutexLocker locker(&m_shared->lock);
    State s = m_shared->states[index];
    if (index == kBackground && m_shared->musicSince >= 0)
        s.position = nowMs() - m_shared->musicSince;
    return s;
}

QMediaPlayer *SoundPlayers::player(int index)
{
    if (index < 0 || index >= kCount)
        return nullptr;
    startOnce(true);
    QMutexLocker locker(&m_shared->lock);
    return m_shared->players[index];
}
