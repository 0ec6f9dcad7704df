#pragma once

#include "AudioOutput.h"
#include "WavDecoder.h"
#include "WavPlayer.h"

#include <AL/al.h>
#include <AL/alc.h>

namespace kw27 {

// The one-sound WAV player on OpenAL. The output is opened on the first play, once; when it
// cannot be opened every play returns at once in silence. A synchronous play waits through
// the output (sleeping on a real device, rendering on a loopback one) until the source has
// stopped and the output has been heard. A new sound cuts off the one before with a fade of
// one mixing period, so it has two sources that take turns: the new sound starts on one at
// once while the old one fades out on the other.
class OpenAlWavPlayer final : public SoundPlayer {
public:
    // output must outlive the player; it is closed when the player goes.
    explicit OpenAlWavPlayer(AudioOutput& output);
    ~OpenAlWavPlayer() override;
    OpenAlWavPlayer(const OpenAlWavPlayer&) = delete;
    OpenAlWavPlayer& operator=(const OpenAlWavPlayer&) = delete;

    // Plays the data file name; see sndPlaySound. True when that file was played (to its end
    // for a synchronous play); false when the alert sounded instead, when a synchronous play
    // was given up because the device stopped playing, and when there is no device.
    bool play(const QString& name, unsigned flags) override;
    // Whether the last sound is still playing; false without a device.
    bool isPlaying() const;

private:
    bool openDevice();
    void release();
    bool load(ALuint buffer, const PcmSound& sound);
    void fadeOut(ALuint source);
    bool waitForEnd(std::size_t frames, int sampleRate);

    struct Position {
        std::size_t offset; // frames of the sound mixed so far
        double latency;     // seconds until a frame mixed now is heard
    };
    Position position() const;

    enum class Device { Unopened, Open, Absent };

    AudioOutput& output_;
    Device device_ = Device::Unopened;
    ALuint sources_[2] = {};
    ALuint tracks_[2] = {};
    ALuint alert_ = 0;
    int active_ = 0;
    bool sourceLatency_ = false;
    PcmSound alertSound_;
};

// The short default alert that stands in for a file that cannot be played: a soft 880 Hz
// tone of 0.15 s, mono 44.1 kHz, faded in and out so that it does not click.
PcmSound makeAlertSound();

} // namespace kw27
