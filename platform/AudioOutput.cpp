#include "AudioOutput.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <thread>

namespace kw27 {

namespace {

// A sleep shorter than this is not worth the wake-up.
constexpr std::chrono::milliseconds kShortestSleep{1};
// Frames rendered per call, well inside the signed size the render call takes.
constexpr std::size_t kRenderChunk = 1 << 16;

}  // namespace

SystemAudioOutput::~SystemAudioOutput() { close(); }

ALCdevice* SystemAudioOutput::open() {
    if (!device_)
        device_ = alcOpenDevice(nullptr);
    return device_;
}

std::vector<ALCint> SystemAudioOutput::contextAttributes() const {
    // One plain sound at a time: head-related filtering would only colour it.
    return {ALC_HRTF_SOFT, ALC_FALSE, 0};
}

void SystemAudioOutput::pass(Seconds span) {
    std::this_thread::sleep_for(
        std::max<Seconds>(span, std::chrono::duration_cast<Seconds>(kShortestSleep)));
}

void SystemAudioOutput::close() {
    if (device_)
        alcCloseDevice(device_);
    device_ = nullptr;
}

LoopbackAudioOutput::LoopbackAudioOutput(int sampleRate, int channels)
    : sampleRate_(sampleRate), channels_(channels) {
    if (sampleRate <= 0 || (channels != 1 && channels != 2))
        throw std::invalid_argument("loopback output needs a positive rate and 1 or 2 channels");
}

LoopbackAudioOutput::~LoopbackAudioOutput() { close(); }

ALCdevice* LoopbackAudioOutput::open() {
    if (device_)
        return device_;
    device_ = alcLoopbackOpenDeviceSOFT(nullptr);
    if (device_ && !alcIsRenderFormatSupportedSOFT(device_, sampleRate_,
                                                   channels_ == 1 ? ALC_MONO_SOFT
                                                                  : ALC_STEREO_SOFT,
                                                   ALC_FLOAT_SOFT))
        close();
    return device_;
}

std::vector<ALCint> LoopbackAudioOutput::contextAttributes() const {
    return {ALC_FORMAT_CHANNELS_SOFT,
            channels_ == 1 ? ALC_MONO_SOFT : ALC_STEREO_SOFT,
            ALC_FORMAT_TYPE_SOFT,
            ALC_FLOAT_SOFT,
            ALC_FREQUENCY,
            sampleRate_,
            ALC_HRTF_SOFT,
            ALC_FALSE,
            ALC_OUTPUT_LIMITER_SOFT,
            ALC_FALSE,
            0};
}

void LoopbackAudioOutput::pass(Seconds span) {
    // The tolerance keeps a span computed as n frames / rate from rounding up to n + 1.
    const double frames = std::ceil(span.count() * sampleRate_ - 1e-6);
    render(frames < 1 ? 1 : std::size_t(frames));
}

void LoopbackAudioOutput::close() {
    if (device_)
        alcCloseDevice(device_);
    device_ = nullptr;
}

void LoopbackAudioOutput::render(std::size_t frames) {
    if (!device_)
        return;
    while (frames > 0) {
        const std::size_t n = std::min(frames, kRenderChunk);
        const std::size_t at = rendered_.size();
        rendered_.resize(at + n * channels_);
        alcRenderSamplesSOFT(device_, rendered_.data() + at, ALCsizei(n));
        frames -= n;
    }
}

}  // namespace kw27
