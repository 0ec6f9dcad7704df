#include "OpenAlWavPlayer.h"

#include "DataPath.h"

#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kw27 {

namespace {

// A synchronous play whose source has not moved on for this long of waiting is given up:
// the device has stopped consuming samples, and the window must not hang on it.
constexpr double kStallLimitSeconds = 2.0;
// An output that claims a longer delay than this is not believed: a synchronous play must end
// whatever the driver says.
constexpr double kLongestLatencySeconds = 1.0;

// Makes a context current on this thread for the lifetime of the guard, then restores
// whatever this thread had before.
class ThreadContext {
public:
    explicit ThreadContext(ALCcontext* context) : previous_(alcGetThreadContext()) {
        alcSetThreadContext(context);
    }
    ~ThreadContext() { alcSetThreadContext(previous_); }
    ThreadContext(const ThreadContext&) = delete;
    ThreadContext& operator=(const ThreadContext&) = delete;

private:
    ALCcontext* previous_;
};

ALenum formatOf(const PcmSound& sound) {
    return sound.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

}  // namespace

PcmSound makeAlertSound() {
    constexpr int rate = 44100;
    constexpr double seconds = 0.15, frequency = 880.0, level = 0.25;
    constexpr double attack = 0.004, release = 0.015, decay = 0.08;
    const int frames = int(std::lround(seconds * rate));
    PcmSound sound;
    sound.channels = 1;
    sound.sampleRate = rate;
    sound.samples.resize(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double left = double(frames - 1 - i) / rate;
        double envelope = std::exp(-t / decay);
        if (t < attack)
            envelope *= 0.5 - 0.5 * std::cos(std::numbers::pi * t / attack);
        if (left < release)
            envelope *= 0.5 - 0.5 * std::cos(std::numbers::pi * left / release);
        const double value = level * envelope * std::sin(2 * std::numbers::pi * frequency * t);
        sound.samples[i] = std::int16_t(std::lround(value * 32767));
    }
    return sound;
}

OpenAlWavPlayer::OpenAlWavPlayer(AudioOutput& output)
    : output_(output), alertSound_(makeAlertSound()) {}

OpenAlWavPlayer::~OpenAlWavPlayer() { release(); }

bool OpenAlWavPlayer::openDevice() {
    if (device_ != Device::Unopened)
        return device_ == Device::Open;
    // Whatever happens below, the device is tried only once.
    device_ = Device::Absent;
    ALCdevice* device = output_.open();
    if (!device)
        return false;
    const std::vector<ALCint> attributes = output_.contextAttributes();
    context_ = alcCreateContext(device, attributes.data());
    if (!context_) {
        output_.close();
        return false;
    }

    ThreadContext current(context_);
    alGetError();
    alGenSources(1, &source_);
    if (alGetError() != AL_NO_ERROR) {
        source_ = 0;
        release();
        return false;
    }
    ALuint buffers[2] = {};
    alGenBuffers(2, buffers);
    if (alGetError() != AL_NO_ERROR) {
        release();
        return false;
    }
    track_ = buffers[0];
    alert_ = buffers[1];
    // A plain sound, heard as recorded: no distance, no placement, no panning of stereo.
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source_, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source_, AL_ROLLOFF_FACTOR, 0.0f);
    sourceLatency_ = alIsExtensionPresent("AL_SOFT_source_latency");
    if (alIsExtensionPresent("AL_SOFT_direct_channels"))
        alSourcei(source_, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    alBufferData(alert_, formatOf(alertSound_), alertSound_.samples.data(),
                 ALsizei(alertSound_.samples.size() * sizeof(std::int16_t)),
                 alertSound_.sampleRate);
    if (alGetError() != AL_NO_ERROR) {
        release();
        return false;
    }
    device_ = Device::Open;
    return true;
}

void OpenAlWavPlayer::release() {
    if (!context_)
        return;
    {
        ThreadContext current(context_);
        if (source_) {
            alSourceStop(source_);
            alSourcei(source_, AL_BUFFER, 0);
            alDeleteSources(1, &source_);
        }
        for (ALuint* buffer : {&track_, &alert_})
            if (*buffer)
                alDeleteBuffers(1, buffer);
    }
    source_ = track_ = alert_ = 0;
    alcDestroyContext(context_);
    context_ = nullptr;
    output_.close();
    device_ = Device::Absent;
}

bool OpenAlWavPlayer::load(const PcmSound& sound) {
    alGetError();
    alBufferData(track_, formatOf(sound), sound.samples.data(),
                 ALsizei(sound.samples.size() * sizeof(std::int16_t)), sound.sampleRate);
    return alGetError() == AL_NO_ERROR;
}

bool OpenAlWavPlayer::play(const QString& name, unsigned flags) {
    if (!openDevice())
        return false;
    // Decoded before the sound still playing is cut, so that the gap between them is as
    // short as the mixer allows.
    PcmSound sound;
    const bool readable = decodeWavFile(resolveDataPath(name), sound) == WavStatus::Ok;

    ThreadContext current(context_);
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    bool played = readable && load(sound);
    const PcmSound& heard = played ? sound : alertSound_;
    alSourcei(source_, AL_BUFFER, ALint(played ? track_ : alert_));
    alSourcePlay(source_);
    if (!(flags & SND_ASYNC) && !waitForEnd(heard.frames(), heard.sampleRate))
        played = false;
    return played;
}

OpenAlWavPlayer::Position OpenAlWavPlayer::position() const {
    if (sourceLatency_) {
        // Offset (32.32 fixed point frames) and latency (ns) read together, as one instant.
        ALint64SOFT values[2] = {};
        alGetSourcei64vSOFT(source_, AL_SAMPLE_OFFSET_LATENCY_SOFT, values);
        return {std::size_t(values[0] >> 32),
                std::clamp(double(values[1]) * 1e-9, 0.0, kLongestLatencySeconds)};
    }
    ALint offset = 0;
    alGetSourcei(source_, AL_SAMPLE_OFFSET, &offset);
    return {std::size_t(offset), 0.0};
}

bool OpenAlWavPlayer::waitForEnd(std::size_t frames, int sampleRate) {
    std::size_t lastOffset = std::size_t(-1);
    double stalled = 0;
    // Time until the last frame of the sound is heard, as estimated at the latest look.
    double heardIn = 0;
    // A device that plays slower than real time does not hold the window either.
    double waited = 0;
    const double longest = double(frames) / sampleRate + kLongestLatencySeconds;
    for (;;) {
        ALint state = AL_STOPPED;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING)
            break;
        const Position at = position();
        if (at.offset != lastOffset) {
            lastOffset = at.offset;
            stalled = 0;
        }
        if (stalled >= kStallLimitSeconds || waited >= longest) {
            alSourceStop(source_);
            return false;
        }
        // The frames not yet mixed, then the output's delay: aiming there ends the wait when
        // the sound has been heard, not merely mixed.
        const double left = double(frames - std::min(frames, at.offset)) / sampleRate;
        heardIn = left + at.latency;
        const double step = std::min(heardIn, kStallLimitSeconds / 4);
        output_.pass(AudioOutput::Seconds(step));
        heardIn -= step;
        stalled += step > 0 ? step : 0.001;
        waited += step > 0 ? step : 0.001;
    }
    // Woken before the end by the step limit: the mixer is done, the output not yet.
    if (heardIn > 1e-6)
        output_.pass(AudioOutput::Seconds(heardIn));
    return true;
}

bool OpenAlWavPlayer::isPlaying() const {
    if (device_ != Device::Open)
        return false;
    ThreadContext current(context_);
    ALint state = AL_STOPPED;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

}  // namespace kw27
