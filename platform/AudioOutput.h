#pragma once

#include <AL/alc.h>

#include <chrono>
#include <cstddef>
#include <vector>

namespace kw27 {

// Where an OpenAL player's mix goes, and how time passes while a sound plays. A real device
// plays in real time and waiting means sleeping; a loopback device plays only when it is
// rendered, so waiting means rendering. The player waits through this interface only, which
// lets tests run the very same player on a loopback device and read the exact mix.
class AudioOutput {
public:
    using Seconds = std::chrono::duration<double>;

    virtual ~AudioOutput() = default;
    // Opens the device. nullptr means there is none, which is normal on a machine without a
    // sound card: the player then stays silent.
    virtual ALCdevice* open() = 0;
    // Attributes for the context on the open device, zero-terminated.
    virtual std::vector<ALCint> contextAttributes() const = 0;
    // Lets about span of playing time go by (at least a little, however small span is).
    virtual void pass(Seconds span) = 0;
    // Closes the device that open returned; the player destroys its context first.
    virtual void close() = 0;
};

// The system's default playback device.
class SystemAudioOutput final : public AudioOutput {
public:
    ~SystemAudioOutput() override;
    ALCdevice* open() override;
    std::vector<ALCint> contextAttributes() const override;
    void pass(Seconds span) override;
    void close() override;

private:
    ALCdevice* device_ = nullptr;
};

// OpenAL Soft's loopback device: the mix is rendered on request into memory, as 32-bit float
// frames at a fixed rate, with HRTF and the output limiter off so that a sound played at unit
// gain comes out bit for bit. Every frame rendered is kept, in order, until discarded.
class LoopbackAudioOutput final : public AudioOutput {
public:
    // channels is 1 or 2.
    LoopbackAudioOutput(int sampleRate, int channels);
    ~LoopbackAudioOutput() override;

    ALCdevice* open() override;
    std::vector<ALCint> contextAttributes() const override;
    // Renders the frames that span covers at the device rate, rounded up.
    void pass(Seconds span) override;
    void close() override;

    // Renders frames more (nothing while the device is closed).
    void render(std::size_t frames);
    bool isOpen() const { return device_ != nullptr; }
    int channels() const { return channels_; }
    // Interleaved samples of every frame rendered since the start or the last discard.
    const std::vector<float>& rendered() const { return rendered_; }
    std::size_t renderedFrames() const { return rendered_.size() / channels_; }
    void discardRendered() { rendered_.clear(); }

private:
    int sampleRate_;
    int channels_;
    ALCdevice* device_ = nullptr;
    std::vector<float> rendered_;
};

}  // namespace kw27
