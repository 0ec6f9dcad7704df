#include "BufferPlayer.h"

#include <algorithm>

namespace kw27 {

BufferPlayer::BufferPlayer(AudioOutput& output) : output_(output) {}

BufferPlayer::~BufferPlayer() {
    release();
}

bool BufferPlayer::openDevice() {
    if (device_ != Device::Unopened)
        return device_ == Device::Open;
    // Whatever happens below, the device is tried only once.
    device_ = Device::Absent;
    if (!output_.open())
        return false;
    AlContextScope current(output_.context());
    for (int bank = 0; bank < 2; ++bank) {
        alGetError();
        alGenSources(ALsizei(maxTogether), sources_[std::size_t(bank)].data());
        if (alGetError() != AL_NO_ERROR) {
            sources_[std::size_t(bank)].fill(0);
            release();
            return false;
        }
        alGenBuffers(ALsizei(maxTogether), buffers_[std::size_t(bank)].data());
        if (alGetError() != AL_NO_ERROR) {
            buffers_[std::size_t(bank)].fill(0);
            release();
            return false;
        }
    }
    const bool direct = alIsExtensionPresent("AL_SOFT_direct_channels");
    for (const Bank& bank : sources_)
        for (ALuint source : bank) {
            // Heard as made: no distance, no placement.
            alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
            alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
            alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
            if (direct)
                alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
            output_.watch(source);
        }
    device_ = Device::Open;
    return true;
}

void BufferPlayer::release() {
    if (!output_.isOpen())
        return;
    {
        AlContextScope current(output_.context());
        for (Bank& bank : sources_)
            for (ALuint& source : bank)
                if (source) {
                    output_.cancel(source);
                    output_.unwatch(source);
                    alSourceStop(source);
                    alSourcei(source, AL_BUFFER, 0);
                    alDeleteSources(1, &source);
                    source = 0;
                }
        for (Bank& bank : buffers_)
            for (ALuint& buffer : bank)
                if (buffer) {
                    alDeleteBuffers(1, &buffer);
                    buffer = 0;
                }
    }
    output_.close();
    device_ = Device::Absent;
}

// The mixer ramps a gain change over one period; the source stops once that has been heard.
void BufferPlayer::fadeOut(ALuint source) {
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

bool BufferPlayer::play(const std::vector<Samples>& sounds, int sampleRate) {
    if (sounds.empty() || sounds.size() > maxTogether || !openDevice())
        return false;
    AlContextScope current(output_.context());
    for (ALuint source : sources_[std::size_t(active_)])
        fadeOut(source);
    active_ ^= 1;
    const Bank& sources = sources_[std::size_t(active_)];
    const Bank& buffers = buffers_[std::size_t(active_)];
    // This bank's last sounds have faded by now or are cut here: a buffer cannot be refilled
    // while a source holds it.
    for (ALuint source : sources) {
        output_.cancel(source);
        alSourceStop(source);
        alSourcef(source, AL_GAIN, 1.0f);
        alSourcei(source, AL_BUFFER, 0);
    }
    alGetError();
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        alBufferData(buffers[i], AL_FORMAT_MONO16, sounds[i].data(),
                     ALsizei(sounds[i].size() * sizeof(std::int16_t)), sampleRate);
        alSourcei(sources[i], AL_BUFFER, ALint(buffers[i]));
    }
    if (alGetError() != AL_NO_ERROR)
        return false;
    output_.beginTogether();
    for (std::size_t i = 0; i < sounds.size(); ++i)
        output_.start(sources[i]);
    output_.endTogether();
    return true;
}

void BufferPlayer::stop() {
    if (device_ != Device::Open)
        return;
    AlContextScope current(output_.context());
    for (const Bank& bank : sources_)
        for (ALuint source : bank)
            fadeOut(source);
}

bool BufferPlayer::isPlaying() const {
    if (device_ != Device::Open)
        return false;
    AlContextScope current(output_.context());
    for (const Bank& bank : sources_)
        for (ALuint source : bank) {
            ALint state = AL_STOPPED;
            alGetSourcei(source, AL_SOURCE_STATE, &state);
            if (state == AL_PLAYING)
                return true;
        }
    return false;
}

} // namespace kw27
