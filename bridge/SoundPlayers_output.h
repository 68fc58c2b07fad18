#pragma once
// One stream of 16-bit PCM to the sound output, used by SoundPlayers on its
// sound thread. It plays the samples from the top as soon as it is opened,
// round and round if asked to loop, until it is destroyed; a sound that does
// not loop plays out and then stays silent. The samples must outlive it.
// Linux: libpulse (SoundPlayers_linux.cpp); elsewhere: QAudioSink.

#include <QAudioFormat>
#include <QByteArray>

#include <memory>

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Null when there is no sound output (then nothing is played).
    static std::unique_ptr<SoundOutput> open(const QByteArray &pcm, const QAudioFormat &format, bool loop);
};
