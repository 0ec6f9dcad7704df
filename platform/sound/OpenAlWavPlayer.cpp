#include "OpenAlWavPlayer.h"

#include "DataPath.h"
#include "SampleConversion.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kw27 {

namespace {

// A synchronous play whose device has taken no samples for this long is given up: the device
// has stopped consuming them, and the window must not hang on it. An output that is slow to
// begin (a sink resuming from suspend, a wireless headset) takes up to 2 s; the window is never
// held for more than about 4.5 s.
constexpr double kStallLimitSeconds = 4.0;
// The longest single sleep of a wait, so that a stall is noticed in time.
constexpr double kLongestStepSeconds = 0.25;
// A device that plays slower than real time does not hold the window either: a wait ends this
// long after the sounds before it should have been mixed.
constexpr double kLateAllowanceSeconds = 1.0;

ALenum formatOf(const PcmSound& sound) {
    return sound.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

// Brings a sound to the device's rate as it is loaded: a queue holds sounds of one rate only,
// so only then can a teacher's recording follow a sound of the data set without a gap. False
// for a sound too long to convert.
bool convertTo(PcmSound& sound, int rate) {
    if (sound.sampleRate == rate && sound.channels == 1)
        return true;
    try {
        sound.samples = monoAtRate(sound, rate);
    } catch (const std::exception&) {
        return false;
    }
    sound.channels = 1;
    sound.sampleRate = rate;
    return true;
}

} // namespace

OpenAlWavPlayer::OpenAlWavPlayer(AudioOutput& output)
    : output_(output), alertSound_(makeAlertSound()) {}

OpenAlWavPlayer::~OpenAlWavPlayer() {
    release();
}

bool OpenAlWavPlayer::openDevice() {
    if (!output_.openFirstTime(device_))
        return device_ == Device::Open;

    AlContextScope current(output_.context());
    ALuint sources[2] = {};
    alGenSources(2, sources);
    if (alGetError() != AL_NO_ERROR) {
        release();
        return false;
    }
    convertTo(alertSound_, output_.sampleRate());
    tracks_[0].source = sources[0];
    tracks_[1].source = sources[1];
    alGenBuffers(1, &alert_);
    if (alGetError() != AL_NO_ERROR) {
        alert_ = 0;
        release();
        return false;
    }
    for (ALuint source : sources)
        output_.watchPlain(source);
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
        for (Track& track : tracks_)
            if (track.source) {
                output_.unwatch(track.source);
                empty(track);
                alDeleteSources(1, &track.source);
                track.source = 0;
            }
        if (alert_) {
            alDeleteBuffers(1, &alert_);
            alert_ = 0;
        }
    }
    output_.close();
    device_ = Device::Absent;
}

bool OpenAlWavPlayer::playing(const Track& track) const {
    ALint state = AL_STOPPED;
    alGetSourcei(track.source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

// Takes the sounds the mixer is done with off the queue, so that it holds only what is to come.
void OpenAlWavPlayer::reclaimPlayed(Track& track) {
    ALint processed = 0;
    alGetSourcei(track.source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0 && !track.queued.empty(); --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(track.source, 1, &buffer);
        if (track.queued.front().owned)
            alDeleteBuffers(1, &buffer);
        track.queued.pop_front();
    }
}

// Stops the source and drops everything queued on it.
void OpenAlWavPlayer::empty(Track& track) {
    alSourceStop(track.source);
    alSourcei(track.source, AL_BUFFER, 0);
    for (const Queued& q : track.queued)
        if (q.owned)
            alDeleteBuffers(1, &q.buffer);
    track.queued.clear();
}

// Queues the sound behind whatever the track holds: in a buffer of its own when owned, else
// the alert's.
bool OpenAlWavPlayer::queue(Track& track, const PcmSound& sound, bool owned) {
    alGetError();
    ALuint buffer = alert_;
    if (owned) {
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR)
            return false;
        alBufferData(buffer, formatOf(sound), sound.samples.data(),
                     ALsizei(sound.samples.size() * sizeof(std::int16_t)), sound.sampleRate);
    }
    if (alGetError() == AL_NO_ERROR)
        alSourceQueueBuffers(track.source, 1, &buffer);
    if (alGetError() != AL_NO_ERROR) {
        if (owned)
            alDeleteBuffers(1, &buffer);
        return false;
    }
    track.queued.push_back({buffer, sound.frames(), owned});
    return true;
}

bool OpenAlWavPlayer::play(const QString& name, unsigned flags) {
    if (!openDevice())
        return false;
    // Decoded before the sound still playing is cut or joined, so that the gap between them is
    // as short as the mixer allows.
    PcmSound sound;
    bool played = decodeWavFile(resolveDataPath(name), sound) == WavStatus::Ok &&
                  convertTo(sound, output_.sampleRate());
    const bool sync = !(flags & SND_ASYNC);

    AlContextScope current(output_.context());
    Track* track = &tracks_[active_];
    reclaimPlayed(*track);
    const int rate = played ? sound.sampleRate : alertSound_.sampleRate;
    bool join = sync && joinable_ && rate == queueRate_ && playing(*track);
    if (!join) {
        output_.fadeOut(track->source);
        active_ ^= 1;
        track = &tracks_[active_];
        // Its turn comes round again only after a whole sound: whatever fade it had is over.
        output_.cancel(track->source);
        empty(*track);
        alSourcef(track->source, AL_GAIN, 1.0f);
    }
    // An empty sound takes no time: a sequence it falls in goes on as if it were not there.
    if (played && sound.frames() == 0) {
        joinable_ = joinable_ && join;
        return true;
    }
    joinable_ = false;
    if (!(played && queue(*track, sound, true))) {
        played = false;
        if (!queue(*track, alertSound_, false))
            return false;
    }
    if (join && !playing(*track)) {
        // The sequence ran dry before this sound was queued (the window thread came later than
        // the commit-ahead allows): started afresh, from this sound only.
        const Queued last = track->queued.back();
        track->queued.pop_back();
        empty(*track);
        alSourceQueueBuffers(track->source, 1, &last.buffer);
        track->queued.push_back(last);
        join = false;
    }
    if (!join)
        output_.start(track->source);
    queueRate_ = played ? sound.sampleRate : alertSound_.sampleRate;
    joinable_ = sync;
    if (sync && !waitForCommit()) {
        joinable_ = false;
        played = false;
    }
    return played;
}

std::size_t OpenAlWavPlayer::position() const {
    ALint offset = 0;
    alGetSourcei(tracks_[active_].source, AL_SAMPLE_OFFSET, &offset);
    return std::size_t(std::max<ALint>(offset, 0));
}

// Waits until the queue's last frames are within the output's commit-ahead of being mixed.
bool OpenAlWavPlayer::waitForCommit() {
    const Track& track = tracks_[active_];
    std::size_t end = 0;
    for (const Queued& q : track.queued)
        end += q.frames;
    const std::size_t ahead = output_.commitAheadFrames();
    const double rate = queueRate_;
    const double longest = double(end) / rate + kLateAllowanceSeconds;
    std::size_t lastOffset = std::size_t(-1);
    double stalled = 0;
    double progressed = 0;
    for (;;) {
        if (!playing(track))
            return true;
        const std::size_t offset = position();
        const bool moved = offset != lastOffset;
        if (moved) {
            lastOffset = offset;
            stalled = 0;
        }
        if (stalled >= kStallLimitSeconds || progressed >= longest) {
            alSourceStop(track.source);
            return false;
        }
        const std::size_t left = end - std::min(end, offset);
        if (left <= ahead)
            return true;
        const double step = std::min(double(left - ahead) / rate, kLongestStepSeconds);
        output_.pass(AudioOutput::Seconds(step));
        (moved ? progressed : stalled) += step;
    }
}

bool OpenAlWavPlayer::isPlaying() const {
    if (device_ != Device::Open)
        return false;
    AlContextScope current(output_.context());
    return playing(tracks_[active_]);
}

} // namespace kw27
