#include "SoundPlayers.h"

#include "SoundPlayers_output.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QMetaObject>
#include <QMutexLocker>
#include <QSemaphore>
#include <QThread>
#include <QTimer>
#include <QtDebug>

#include <sndfile.h>

namespace {

qint64 nowMs()
{
    return QDeadlineTimer::current().deadline();
}

// Longer files are cut to this rather than held whole in memory.
constexpr sf_count_t kMaxFrames = sf_count_t(60) * 48000;

// Decodes a whole file (wav, mp3, ...) to 16-bit PCM; false if it cannot be
// read or holds no sound.
bool decode(const QUrl &file, QByteArray &pcm, QAudioFormat &format)
{
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(file.toLocalFile()).constData(), SFM_READ, &info);
    if (!f)
        return false;
    const int channels = info.channels;
    if (channels < 1 || channels > 8 || info.samplerate < 8000 || info.samplerate > 192000) {
        sf_close(f);
        return false;
    }
    const qsizetype frameBytes = qsizetype(channels) * qsizetype(sizeof(short));
    pcm.clear();
    constexpr sf_count_t kChunk = 4096;
    for (sf_count_t total = 0; total < kMaxFrames;) {
        const qsizetype at = pcm.size();
        pcm.resize(at + kChunk * frameBytes);
        const sf_count_t got = sf_readf_short(f, reinterpret_cast<short *>(pcm.data() + at), kChunk);
        pcm.resize(at + qMax<sf_count_t>(got, 0) * frameBytes);
        if (got < kChunk)
            break;
        total += got;
    }
    sf_close(f);
    pcm.squeeze();
    format.setSampleRate(info.samplerate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    return !pcm.isEmpty();
}

// One of the five sounds: its file decoded once and kept in memory, played
// from the top on each request. The music loops round from memory. Without a
// sound output nothing is played, but a pass is still timed, so ends and the
// music loop behave the same.
class Sound : public QObject {
public:
    using State = SoundPlayers::State;
    // How long a sound's output is kept after its pass, to play out what the
    // output still holds.
    static constexpr int kDrainMs = 1200;

    // `changed` is called whenever the state changes, `since` with the time
    // the current pass began (-1: not advancing), `ended` when a pass is
    // over. A looping sound asks `again` for the file of its next pass.
    Sound(std::function<void()> changed, std::function<void(qint64)> since, std::function<void()> ended,
          std::function<QUrl()> again, QObject *parent)
        : QObject(parent), m_changed(std::move(changed)), m_since(std::move(since)), m_ended(std::move(ended)),
          m_again(std::move(again))
    {
        m_end.setSingleShot(true);
        connect(&m_end, &QTimer::timeout, this, &Sound::passEnded);
        m_drain.setSingleShot(true);
        m_drain.setInterval(kDrainMs);
        connect(&m_drain, &QTimer::timeout, this, [this] { m_output.reset(); });
    }

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
        m_output.reset(); // before the samples it plays change
        if (file != m_source || m_status == QMediaPlayer::NoMedia) {
            m_source = file;
            if (!decode(file, m_pcm, m_format)) {
                m_pcm.clear();
                stop(QMediaPlayer::InvalidMedia);
                return;
            }
        } else if (m_status == QMediaPlayer::InvalidMedia) {
            m_changed();
            return;
        }
        begin();
    }

    void clear()
    {
        m_output.reset();
        m_source.clear();
        m_pcm.clear();
        stop(QMediaPlayer::NoMedia);
    }

private:
    bool loops() const { return bool(m_again); }
    int durationMs() const { return int(qMax<qint64>(m_format.durationForBytes(qint32(m_pcm.size())) / 1000, 1)); }

    void stop(QMediaPlayer::MediaStatus status)
    {
        m_end.stop();
        m_drain.stop();
        m_playback = QMediaPlayer::StoppedState;
        m_status = status;
        m_since(-1);
        m_changed();
    }

    void begin()
    {
        m_drain.stop();
        m_output = SoundOutput::open(m_pcm, m_format, loops());
        m_playback = QMediaPlayer::PlayingState;
        m_status = QMediaPlayer::BufferedMedia;
        m_since(nowMs());
        m_end.start(durationMs());
        m_changed();
    }

    // One pass is over. A click stops (its output plays out what it holds);
    // the music starts again, without a gap when the output simply goes on.
    void passEnded()
    {
        m_status = QMediaPlayer::EndOfMedia;
        m_since(-1);
        if (!loops()) {
            m_playback = QMediaPlayer::StoppedState;
            if (m_output)
                m_drain.start();
            m_changed();
            if (m_ended)
                m_ended();
            return;
        }
        m_changed();
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_status != QMediaPlayer::EndOfMedia)
                    return;
                const QUrl file = m_again();
                if (file != m_source || !m_output) {
                    play(file);
                    return;
                }
                m_status = QMediaPlayer::BufferedMedia;
                m_since(nowMs());
                m_end.start(durationMs());
                m_changed();
            },
            Qt::QueuedConnection);
    }

    std::function<void()> m_changed;
    std::function<void(qint64)> m_since;
    std::function<void()> m_ended;
    std::function<QUrl()> m_again;
    QUrl m_source;
    QMediaPlayer::PlaybackState m_playback = QMediaPlayer::StoppedState;
    QMediaPlayer::MediaStatus m_status = QMediaPlayer::NoMedia;
    QByteArray m_pcm;
    QAudioFormat m_format;
    std::unique_ptr<SoundOutput> m_output;
    QTimer m_end;
    QTimer m_drain;
};

} // namespace

struct SoundPlayers::Shared {
    mutable QMutex lock;
    std::array<State, kCount> states;
    std::array<QObject *, kCount> players{};
    // When the call now running on the sound thread began (monotonic ms);
    // -1 while the thread is idle.
    std::atomic<qint64> busySince{-1};
    // Requests posted from the owner and not yet handled.
    std::atomic<int> pending{0};
    // Set when the owner goes away: requests still queued are dropped.
    std::atomic<bool> closing{false};
    // When each sound's current pass began (monotonic ms); -1 while it does
    // not advance. Positions are read from this, so nothing has to wake up
    // to report them.
    std::array<std::atomic<qint64>, kCount> since{-1, -1, -1, -1, -1};
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
            std::function<void()> ended;
            // The music starts when the start-up chime ends (and loops by
            // itself). The chime plays once, so its sound is dropped. Queued,
            // so the chime has finished its own pass first.
            if (i == kStartUp)
                ended = [this] {
                    QMetaObject::invokeMethod(
                        this, [this] { run([this] { chimeEnded(); }); }, Qt::QueuedConnection);
                };
            m_sounds[i] = new Sound([this, i] { snapshot(i); },
                                    [shared = m_shared, i](qint64 since) { shared->since[i] = since; },
                                    std::move(ended), i == kBackground ? m_musicFile : std::function<QUrl()>(),
                                    this);
        }
        QMutexLocker locker(&m_shared->lock);
        std::copy(m_sounds.begin(), m_sounds.end(), m_shared->players.begin());
    }

    void restart(int index, const QUrl &file) { m_sounds[index]->play(file); }

    void clearAll()
    {
        for (Sound *s : m_sounds)
            s->clear();
    }

    void shutdown()
    {
        {
            QMutexLocker locker(&m_shared->lock);
            m_shared->players = {};
        }
        for (Sound *&s : m_sounds) {
            delete s;
            s = nullptr;
        }
    }

private:
    void chimeEnded()
    {
        Sound *chime = m_sounds[kStartUp];
        if (chime->state().status != QMediaPlayer::EndOfMedia)
            return; // clicked again meanwhile
        restart(kBackground, m_musicFile());
        // Its file goes once the output has played what it still holds.
        QTimer::singleShot(Sound::kDrainMs, chime, [this, chime] {
            run([chime] {
                if (chime->state().status == QMediaPlayer::EndOfMedia)
                    chime->clear();
            });
        });
    }

    void snapshot(int i)
    {
        const State s = m_sounds[i]->state();
        QMutexLocker locker(&m_shared->lock);
        m_shared->states[i] = s;
    }

    std::shared_ptr<Shared> m_shared;
    std::function<QUrl()> m_musicFile;
    std::array<Sound *, kCount> m_sounds{};
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
    const qint64 since = m_shared->since[index];
    if (since >= 0)
        s.position = nowMs() - since;
    return s;
}

QObject *SoundPlayers::player(int index)
{
    if (index < 0 || index >= kCount)
        return nullptr;
    startOnce(true);
    QMutexLocker locker(&m_shared->lock);
    return m_shared->players[index];
}
