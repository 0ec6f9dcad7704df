#pragma once

#include "AudioOutput.h"

#include <AL/al.h>

#include <array>
#include <cstdint>
#include <vector>

namespace kw27 {

// Plays sounds made in memory (16-bit mono samples), one or several at once, on an output of
// the one OpenAL layer. Sounds started together begin on the same sample. A new play, and
// stop, cut off what still sounds with a fade of one mixing period, so that nothing clicks;
// the new sounds start at once on the other of two banks of sources while the old ones fade.
// Without a device every call returns false in silence.
class BufferPlayer {
public:
    static constexpr std::size_t maxTogether = 3;
    using Samples = std::vector<std::int16_t>;

    // output must outlive the player; it is opened on the first play and closed when the
    // player goes.
    explicit BufferPlayer(AudioOutput& output);
    ~BufferPlayer();
    BufferPlayer(const BufferPlayer&) = delete;
    BufferPlayer& operator=(const BufferPlayer&) = delete;

    // Starts up to maxTogether sounds on their first samples at once; returns at once.
    bool play(const std::vector<Samples>& sounds, int sampleRate);
    bool play(const Samples& sound, int sampleRate) {
        return play(std::vector<Samples>{sound}, sampleRate);
    }
    // Fades out whatever sounds.
    void stop();
    bool isPlaying() const;

private:
    bool openDevice();
    void release();

    using Device = AudioOutput::Try;
    using Bank = std::array<ALuint, maxTogether>;

    AudioOutput& output_;
    Device device_ = Device::Unopened;
    std::array<Bank, 2> sources_{};
    std::array<Bank, 2> buffers_{};
    int active_ = 0;
};

} // namespace kw27
