// The sound output elsewhere: Qt's audio sink, with a large buffer topped up
// four times a second from memory.

#include "SoundPlayers_output.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>

namespace {

constexpr int kBufferMs = 1000;
constexpr int kFeedMs = 250;

class SinkOutput : public SoundOutput {
public:
    SinkOutput(const QAudioDevice &device, const QByteArray &pcm, const QAudioFormat &format, bool loop)
        : m_sink(device, format), m_pcm(pcm), m_loop(loop)
    {
        m_sink.setBufferSize(format.bytesForDuration(kBufferMs * 1000));
        m_out = m_sink.start();
        QObject::connect(&m_feed, &QTimer::timeout, [this] { feed(); });
        m_feed.start(kFeedMs);
        feed();
    }
    ~SinkOutput() override { m_sink.stop(); }
    bool ok() const { return m_out && m_sink.error() == QAudio::NoError; }

private:
    void feed()
    {
        qint64 room = m_out ? m_sink.bytesFree() : 0;
        while (room > 0 && (m_loop || m_offset < m_pcm.size())) {
            const qint64 written = m_out->write(m_pcm.constData() + m_offset, qMin(room, m_pcm.size() - m_offset));
            if (written <= 0)
                break;
            m_offset = m_loop ? (m_offset + written) % m_pcm.size() : m_offset + written;
            room -= written;
        }
        if (!m_loop && m_offset >= m_pcm.size())
            m_feed.stop();
    }

    QAudioSink m_sink;
    const QByteArray &m_pcm;
    const bool m_loop;
    QIODevice *m_out = nullptr;
    qint64 m_offset = 0;
    QTimer m_feed;
};

} // namespace

std::unique_ptr<SoundOutput> SoundOutput::open(const QByteArray &pcm, const QAudioFormat &format, bool loop)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (pcm.isEmpty() || device.isNull() || !device.isFormatSupported(format))
        return nullptr;
    auto out = std::make_unique<SinkOutput>(device, pcm, format, loop);
    if (!out->ok())
        return nullptr;
    return out;
}
