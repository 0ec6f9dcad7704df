#pragma once

#include "AlertSound.h"
#include "AudioOutput.h"
#include "WavDecoder.h"
#include "WavPlayer.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <deque>

namespace kw27 {

// The one-sound WAV player on OpenAL. The output is opened on the first play, once; when it
// cannot be opened every play returns at once in silence.
//
// Sounds are queued on a source rather than started on it: a synchronous play hands back once
// its sound's last frames are within the output's commit-ahead of being mixed, and the next
// synchronous play queues its sound behind them, so that the mixer joins the two on the very
// next frame, whatever the device's period and however late the window thread is within that
// margin. Any other play cuts off the sound before with a fade of one mixing period, so there
// are two sources that take turns: the new sound starts on one at once while the old one fades
// out on the other.
class OpenAlWavPlayer final : public SoundPlayer {
public:
    // output must outlive the player; it is closed when the player goes.
    explicit OpenAlWavPlayer(AudioOutput& output);
    ~OpenAlWavPlayer() override;
    OpenAlWavPlayer(const OpenAlWavPlayer&) = delete;
    OpenAlWavPlayer& operator=(const OpenAlWavPlayer&) = delete;

    // Plays the data file name; see sndPlaySound. True when that file was played (up to the
    // commit-ahead of its end for a synchronous play); false when the alert sounded instead,
    // when a synchronous play was given up because the device took no samples, and when there
    // is no device.
    bool play(const QString& name, unsigned flags) override;
    // Whether the last sound is still playing; false without a device.
    bool isPlaying() const;

private:
    struct Queued {
        ALuint buffer;
        std::size_t frames;
        bool owned; // made for this play, deleted once played; the alert's is kept
    };
    struct Track {
        ALuint source = 0;
        std::deque<Queued> queued;
    };

    bool openDevice();
    void release();
    bool playing(const Track& track) const;
    void reclaimPlayed(Track& track);
    void empty(Track& track);
    bool queue(Track& track, const PcmSound& sound, bool owned);
    bool waitForCommit();

    // Frames of the active queue mixed so far.
    std::size_t position() const;

    using Device = AudioOutput::Try;

    AudioOutput& output_;
    Device device_ = Device::Unopened;
    Track tracks_[2];
    ALuint alert_ = 0;
    int active_ = 0;
    // The active track holds a synchronous sequence that the next synchronous play may join,
    // at this rate (a queue holds sounds of one rate only).
    bool joinable_ = false;
    int queueRate_ = 0;
    PcmSound alertSound_;
};

} // namespace kw27
