#include "BufferPlayer.h"

#include <algorithm>

namespace kw27 {

BufferPlayer::BufferPlayer(AudioOutput& output) : output_(output) {}

BufferPlayer::~BufferPlayer() {
    release();
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

bool BufferPlayer::openDevice() {
    if (!output_.openFirstTime(device_))
        return device_ == Device::Open;
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
    for (const Bank& bank : sources_)
        for (ALuint source : bank)
            output_.watchPlain(source);
    device_ = Device::Open;
    return true;
}

bool BufferPlayer::play(const std::vector<Samples>& sounds, int sampleRate) {
    if (sounds.empty() || sounds.size() > maxTogether || !openDevice())
        return false;
    AlContextScope current(output_.context());
    for (ALuint source : sources_[std::size_t(active_)])
        output_.fadeOut(source);
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
            output_.fadeOut(source);
}

bool BufferPlayer::isPlaying() const {
    if (device_ != Device::Open)
        return false;
    AlContextScope current(output_.context());
    return std::any_of(sources_.begin(), sources_.end(), [](const Bank& bank) {
        return std::any_of(bank.begin(), bank.end(), sourcePlaying);
    });
}

} // namespace kw27
