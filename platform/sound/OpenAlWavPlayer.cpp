#include "OpenAlWavPlayer.h"

#include "DataPath.h"

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

ALenum formatOf(const PcmSound& sound) {
    return sound.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

} // namespace

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

OpenAlWavPlayer::~OpenAlWavPlayer() {
    release();
}

bool OpenAlWavPlayer::openDevice() {
    if (device_ != Device::Unopened)
        return device_ == Device::Open;
    // Whatever happens below, the device is tried only once.
    device_ = Device::Absent;
    if (!output_.open())
        return false;

    AlContextScope current(output_.context());
    alGenSources(2, sources_);
    if (alGetError() != AL_NO_ERROR) {
        sources_[0] = sources_[1] = 0;
        release();
        return false;
    }
    ALuint buffers[3] = {};
    alGenBuffers(3, buffers);
    if (alGetError() != AL_NO_ERROR) {
        release();
        return false;
    }
    tracks_[0] = buffers[0];
    tracks_[1] = buffers[1];
    alert_ = buffers[2];
    const bool direct = alIsExtensionPresent("AL_SOFT_direct_channels");
    for (ALuint source : sources_) {
        // A plain sound, heard as recorded: no distance, no placement, no panning of stereo.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
        if (direct)
            alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
        output_.watch(source);
    }
    sourceLatency_ = alIsExtensionPresent("AL_SOFT_source_latency") && alExtensions().getSourcei64v;
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
    if (!output_.isOpen())
        return;
    {
        AlContextScope current(output_.context());
        for (ALuint& source : sources_)
            if (source) {
                output_.unwatch(source);
                alSourceStop(source);
                alSourcei(source, AL_BUFFER, 0);
                alDeleteSources(1, &source);
                source = 0;
            }
        for (ALuint* buffer : {&tracks_[0], &tracks_[1], &alert_})
            if (*buffer) {
                alDeleteBuffers(1, buffer);
                *buffer = 0;
            }
    }
    output_.close();
    device_ = Device::Absent;
}

bool OpenAlWavPlayer::load(ALuint buffer, const PcmSound& sound) {
    alGetError();
    alBufferData(buffer, formatOf(sound), sound.samples.data(),
                 ALsizei(sound.samples.size() * sizeof(std::int16_t)), sound.sampleRate);
    return alGetError() == AL_NO_ERROR;
}

// The mixer ramps a gain change over one period; the source stops once that has been heard.
void OpenAlWavPlayer::fadeOut(ALuint source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING)
        return;
    alSourcef(source, AL_GAIN, 0.0f);
    output_.afterPeriod(source, [source] {
        alSourceStop(source);
        alSourcef(source, AL_GAIN, 1.0f);
    });
}

bool OpenAlWavPlayer::play(const QString& name, unsigned flags) {
    if (!openDevice())
        return false;
    // Decoded before the sound still playing is cut, so that the gap between them is as
    // short as the mixer allows.
    PcmSound sound;
    const bool readable = decodeWavFile(resolveDataPath(name), sound) == WavStatus::Ok;

    AlContextScope current(output_.context());
    fadeOut(sources_[active_]);
    active_ ^= 1;
    const ALuint source = sources_[active_];
    // Its turn comes round again only after a whole sound: whatever fade it had is over.
    output_.cancel(source);
    alSourceStop(source);
    alSourcef(source, AL_GAIN, 1.0f);
    alSourcei(source, AL_BUFFER, 0);
    bool played = readable && load(tracks_[active_], sound);
    const PcmSound& heard = played ? sound : alertSound_;
    alSourcei(source, AL_BUFFER, ALint(played ? tracks_[active_] : alert_));
    output_.start(source);
    if (!(flags & SND_ASYNC) && !waitForEnd(heard.frames(), heard.sampleRate))
        played = false;
    return played;
}

OpenAlWavPlayer::Position OpenAlWavPlayer::position() const {
    if (sourceLatency_) {
        // Offset (32.32 fixed point frames) and latency (ns) read together, as one instant.
        ALint64SOFT values[2] = {};
        alExtensions().getSourcei64v(sources_[active_], AL_SAMPLE_OFFSET_LATENCY_SOFT, values);
        return {std::size_t(values[0] >> 32),
                std::clamp(double(values[1]) * 1e-9, 0.0, kLongestLatencySeconds)};
    }
    ALint offset = 0;
    alGetSourcei(sources_[active_], AL_SAMPLE_OFFSET, &offset);
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
        alGetSourcei(sources_[active_], AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING)
            break;
        const Position at = position();
        if (at.offset != lastOffset) {
            lastOffset = at.offset;
            stalled = 0;
        }
        if (stalled >= kStallLimitSeconds || waited >= longest) {
            alSourceStop(sources_[active_]);
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
    AlContextScope current(output_.context());
    ALint state = AL_STOPPED;
    alGetSourcei(sources_[active_], AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

} // namespace kw27
