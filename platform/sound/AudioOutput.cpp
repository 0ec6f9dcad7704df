#include "AudioOutput.h"

#include "ThreadPriority.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kw27 {

namespace {

// A sleep shorter than this is not worth the wake-up.
constexpr std::chrono::milliseconds kShortestSleep{1};
// Asked of every device: a period of 5 ms keeps a start within 5 ms of its call and makes the
// mixer's gain ramp, which lasts one period, a short fade.
constexpr int kRefresh = 200;
// How often a running device looks whether anything still plays. It costs nothing beside the
// mixer, which runs anyway while the device does.
constexpr std::chrono::milliseconds kIdlePoll{100};
// How late the window thread may be, after a synchronous play has handed back, in queueing the
// next sound of a sequence: painting a line of the song and reading the next file, on a machine
// whose cores are busy with other work.
constexpr std::chrono::milliseconds kWindowSlack{100};
constexpr std::chrono::duration<double> kLongestDelay{0.1};

template <typename F> F alcEntry(const char* name) {
    return reinterpret_cast<F>(alcGetProcAddress(nullptr, name));
}

// Seconds until what the mixer mixes now is heard, as the output reports it for source (none
// where it cannot tell); a report beyond kLongestDelay is not believed.
double outputDelay(ALuint source) {
    const AlExtensions& ext = alExtensions();
    if (!ext.getSourcei64v || !alIsExtensionPresent("AL_SOFT_source_latency"))
        return 0.0;
    ALint64SOFT values[2] = {};
    ext.getSourcei64v(source, AL_SAMPLE_OFFSET_LATENCY_SOFT, values);
    return std::clamp(double(values[1]) * 1e-9, 0.0, kLongestDelay.count());
}

} // namespace

const AlExtensions& alExtensions() {
    static const AlExtensions table = [] {
        AlExtensions e;
        if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
            e.loopbackOpenDevice =
                alcEntry<LPALCLOOPBACKOPENDEVICESOFT>("alcLoopbackOpenDeviceSOFT");
            e.isRenderFormatSupported =
                alcEntry<LPALCISRENDERFORMATSUPPORTEDSOFT>("alcIsRenderFormatSupportedSOFT");
            e.renderSamples = alcEntry<LPALCRENDERSAMPLESSOFT>("alcRenderSamplesSOFT");
        }
        if (alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context")) {
            e.setThreadContext = alcEntry<PFNALCSETTHREADCONTEXTPROC>("alcSetThreadContext");
            e.getThreadContext = alcEntry<PFNALCGETTHREADCONTEXTPROC>("alcGetThreadContext");
        }
        // Device extensions: whether a device has them is asked when it opens.
        e.pauseDevice = alcEntry<LPALCDEVICEPAUSESOFT>("alcDevicePauseSOFT");
        e.resumeDevice = alcEntry<LPALCDEVICERESUMESOFT>("alcDeviceResumeSOFT");
        e.getSourcei64v =
            reinterpret_cast<LPALGETSOURCEI64VSOFT>(alGetProcAddress("alGetSourcei64vSOFT"));
        return e;
    }();
    return table;
}

AlContextScope::AlContextScope(ALCcontext* context) {
    const AlExtensions& ext = alExtensions();
    if (ext.setThreadContext) {
        previous_ = ext.getThreadContext();
        ext.setThreadContext(context);
    } else {
        previous_ = alcGetCurrentContext();
        alcMakeContextCurrent(context);
    }
    alGetError();
}

AlContextScope::~AlContextScope() {
    const AlExtensions& ext = alExtensions();
    if (ext.setThreadContext)
        ext.setThreadContext(previous_);
    else
        alcMakeContextCurrent(previous_);
}

AudioOutput::AudioOutput(Seconds linger) : linger_(linger) {}

AudioOutput::~AudioOutput() {
    close();
}

bool AudioOutput::open() {
    if (tried_)
        return isOpen();
    tried_ = true;
    device_ = openDevice();
    if (!device_)
        return false;
    const std::vector<ALCint> attributes = contextAttributes();
    context_ = alcCreateContext(device_, attributes.data());
    if (!context_) {
        alcCloseDevice(device_);
        device_ = nullptr;
        return false;
    }
    alcGetIntegerv(device_, ALC_FREQUENCY, 1, &sampleRate_);
    ALCint refresh = 0;
    // The loopback device has no period of its own: it mixes in the periods it is rendered in.
    if (realTime())
        alcGetIntegerv(device_, ALC_REFRESH, 1, &refresh);
    periodFrames_ = refresh > 0 ? std::max(1, (sampleRate_ + refresh - 1) / refresh)
                                : LoopbackAudioOutput::periodFor(sampleRate_);
    if (realTime()) {
        lastBusy_ = Clock::now();
        quit_ = false;
        watcher_ = std::thread([this] { watchIdle(); });
    }
    return true;
}

void AudioOutput::close() {
    if (watcher_.joinable()) {
        finishFades();
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        changed_.notify_all();
        watcher_.join();
    }
    pending_.clear();
    watched_.clear();
    together_.clear();
    togetherDepth_ = 0;
    paused_ = false;
    tried_ = false;
    if (context_) {
        const AlExtensions& ext = alExtensions();
        if (ext.getThreadContext && ext.getThreadContext() == context_)
            ext.setThreadContext(nullptr);
        if (alcGetCurrentContext() == context_)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
        context_ = nullptr;
    }
    if (device_)
        alcCloseDevice(device_);
    device_ = nullptr;
}

void AudioOutput::watch(ALuint source) {
    std::lock_guard lock(mutex_);
    watched_.push_back(source);
}

void AudioOutput::watchPlain(ALuint source) {
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    if (alIsExtensionPresent("AL_SOFT_direct_channels"))
        alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    watch(source);
}

void AudioOutput::unwatch(ALuint source) {
    std::lock_guard lock(mutex_);
    std::erase(watched_, source);
    dropPending(source);
}

void AudioOutput::dropPending(ALuint source) {
    std::erase_if(pending_,
                  [source](const Pending& p) { return p.source == source && !p.retired; });
}

void AudioOutput::wake() {
    {
        std::lock_guard lock(mutex_);
        lastBusy_ = Clock::now();
        if (paused_) {
            alExtensions().resumeDevice(device_);
            paused_ = false;
        }
    }
    changed_.notify_all();
}

bool AudioOutput::paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

void AudioOutput::afterPeriod(ALuint source, std::function<void()> finish) {
    {
        std::lock_guard lock(mutex_);
        dropPending(source);
        // The change reaches the mixer at the next period at the latest, and is heard by the
        // end of that one.
        const auto period = Seconds(double(periodFrames_) / sampleRate_);
        pending_.push_back({source,
                            Clock::now() + std::chrono::duration_cast<Clock::duration>(2 * period),
                            std::move(finish)});
    }
    changed_.notify_all();
}

void AudioOutput::cancel(ALuint source) {
    std::lock_guard lock(mutex_);
    dropPending(source);
}

void AudioOutput::retire(ALuint source) {
    AlContextScope scope(context_);
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    {
        std::lock_guard lock(mutex_);
        std::erase(watched_, source);
        dropPending(source);
        if (state == AL_PLAYING) {
            alSourcef(source, AL_GAIN, 0.0f);
            // Due once the fade has been heard, not merely mixed: a device closed sooner (its
            // program quitting) drops what the sound server still holds, the fade with it.
            const auto heard =
                2 * Seconds(double(periodFrames_) / sampleRate_) + Seconds(outputDelay(source));
            pending_.push_back({source,
                                Clock::now() + std::chrono::duration_cast<Clock::duration>(heard),
                                [source] {
                                    alSourceStop(source);
                                    alDeleteSources(1, &source);
                                },
                                true});
        }
    }
    if (state == AL_PLAYING)
        changed_.notify_all();
    else
        alDeleteSources(1, &source);
}

// Waits, on a device that plays in real time, for the fade-outs of retired sources to be
// heard: at most two periods, and never past the longest a fade is due.
void AudioOutput::finishFades() {
    std::unique_lock lock(mutex_);
    Clock::time_point last = Clock::now();
    for (const Pending& p : pending_)
        if (p.retired)
            last = std::max(last, p.due);
    changed_.wait_until(lock, last + std::chrono::milliseconds(5), [this] {
        return std::none_of(pending_.begin(), pending_.end(),
                            [](const Pending& p) { return p.retired; });
    });
}

std::size_t AudioOutput::commitAheadFrames() const {
    return std::size_t(std::lround(std::max(0.0, commitAhead_.count()) * sampleRate_));
}

void AudioOutput::beginTogether() {
    ++togetherDepth_;
}

void AudioOutput::start(ALuint source) {
    if (togetherDepth_ > 0) {
        together_.push_back(source);
        return;
    }
    wake();
    AlContextScope scope(context_);
    alSourcePlay(source);
}

void AudioOutput::endTogether() {
    if (togetherDepth_ == 0 || --togetherDepth_ > 0 || together_.empty())
        return;
    wake();
    AlContextScope scope(context_);
    alSourcePlayv(ALsizei(together_.size()), together_.data());
    together_.clear();
}

std::size_t AudioOutput::waiting() const {
    std::lock_guard lock(mutex_);
    return pending_.size();
}

void AudioOutput::periodMixed(std::size_t waitingBefore) {
    std::unique_lock lock(mutex_);
    runDue(lock, std::min(waitingBefore, pending_.size()));
}

// Runs the first count finishes, which were due, with the context current on this thread.
void AudioOutput::runDue(std::unique_lock<std::mutex>&, std::size_t count) {
    if (count == 0)
        return;
    std::vector<Pending> due(std::make_move_iterator(pending_.begin()),
                             std::make_move_iterator(pending_.begin() + std::ptrdiff_t(count)));
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(count));
    AlContextScope scope(context_);
    for (Pending& p : due)
        p.finish();
}

bool sourcePlaying(ALuint source) {
    ALint state = AL_STOPPED;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

bool AudioOutput::anyPlaying() const {
    AlContextScope scope(context_);
    return std::any_of(watched_.begin(), watched_.end(), sourcePlaying);
}

void AudioOutput::fadeOut(ALuint source) {
    if (!sourcePlaying(source))
        return;
    // The mixer ramps a gain change over one period; the source stops once that has been heard.
    alSourcef(source, AL_GAIN, 0.0f);
    afterPeriod(source, [source] {
        alSourceStop(source);
        alSourcef(source, AL_GAIN, 1.0f);
    });
}

bool AudioOutput::openFirstTime(Try& state) {
    if (state != Try::Unopened)
        return false;
    // Whatever happens next, the device is tried only once.
    state = Try::Absent;
    return open();
}

void AudioOutput::watchIdle() {
    const bool canPause = alcIsExtensionPresent(device_, "ALC_SOFT_pause_device") &&
                          alExtensions().pauseDevice && alExtensions().resumeDevice;
    std::unique_lock lock(mutex_);
    while (!quit_) {
        const Clock::time_point now = Clock::now();
        const auto firstLater = std::stable_partition(
            pending_.begin(), pending_.end(), [now](const Pending& p) { return p.due <= now; });
        if (firstLater != pending_.begin()) {
            runDue(lock, std::size_t(firstLater - pending_.begin()));
            changed_.notify_all();
        }
        Clock::time_point next = Clock::time_point::max();
        for (const Pending& p : pending_)
            next = std::min(next, p.due);
        if (canPause && !paused_ && pending_.empty()) {
            if (anyPlaying()) {
                lastBusy_ = now;
                next = now + kIdlePoll;
            } else if (now - lastBusy_ >= linger_) {
                // Blocks until the mixer has finished its period: this is why it is done here.
                alExtensions().pauseDevice(device_);
                paused_ = true;
            } else {
                next = lastBusy_ + std::chrono::duration_cast<Clock::duration>(linger_);
            }
        }
        if (next == Clock::time_point::max())
            changed_.wait(lock);
        else
            changed_.wait_until(lock, next);
    }
}

SystemAudioOutput::SystemAudioOutput(const char* name, Seconds linger)
    : AudioOutput(linger), name_(name) {
    setCommitAhead(kWindowSlack);
}

SystemAudioOutput::~SystemAudioOutput() {
    close();
}

ALCdevice* SystemAudioOutput::openDevice() {
    // A sound server's client library starts the thread that wakes the mixer as the device
    // opens; OpenAL Soft raises only its own mixer (rt-prio in alsoft.conf), so a wake-up that
    // waits behind busy programs would still let the stream run dry.
    const std::vector<int> before = processThreads();
    ALCdevice* device = alcOpenDevice(name_);
    if (device)
        raiseToRealTime(threadsStartedSince(before));
    return device;
}

std::vector<ALCint> SystemAudioOutput::contextAttributes() const {
    // Plain sounds: head-related filtering would only colour them.
    return {ALC_HRTF_SOFT, ALC_FALSE, ALC_REFRESH, kRefresh, 0};
}

void SystemAudioOutput::pass(Seconds span) {
    std::this_thread::sleep_for(
        std::max<Seconds>(span, std::chrono::duration_cast<Seconds>(kShortestSleep)));
}

LoopbackAudioOutput::LoopbackAudioOutput(int sampleRate, int channels)
    : AudioOutput(Seconds(0)), rate_(sampleRate), channels_(channels) {
    if (sampleRate <= 0 || (channels != 1 && channels != 2))
        throw std::invalid_argument("loopback output needs a positive rate and 1 or 2 channels");
}

LoopbackAudioOutput::~LoopbackAudioOutput() {
    close();
}

int LoopbackAudioOutput::periodFor(int sampleRate) {
    return std::max(1, (sampleRate + kRefresh - 1) / kRefresh);
}

ALCdevice* LoopbackAudioOutput::openDevice() {
    const AlExtensions& ext = alExtensions();
    if (!ext.loopbackOpenDevice || !ext.isRenderFormatSupported || !ext.renderSamples)
        return nullptr;
    ALCdevice* device = ext.loopbackOpenDevice(nullptr);
    if (device && !ext.isRenderFormatSupported(device, rate_,
                                               channels_ == 1 ? ALC_MONO_SOFT : ALC_STEREO_SOFT,
                                               ALC_FLOAT_SOFT)) {
        alcCloseDevice(device);
        return nullptr;
    }
    return device;
}

std::vector<ALCint> LoopbackAudioOutput::contextAttributes() const {
    return {ALC_FORMAT_CHANNELS_SOFT,
            channels_ == 1 ? ALC_MONO_SOFT : ALC_STEREO_SOFT,
            ALC_FORMAT_TYPE_SOFT,
            ALC_FLOAT_SOFT,
            ALC_FREQUENCY,
            rate_,
            ALC_HRTF_SOFT,
            ALC_FALSE,
            ALC_OUTPUT_LIMITER_SOFT,
            ALC_FALSE,
            0};
}

void LoopbackAudioOutput::pass(Seconds span) {
    // The tolerance keeps a span computed as n frames / rate from rounding up to n + 1.
    const double frames = std::ceil(span.count() * rate_ - 1e-6);
    render(frames < 1 ? 1 : std::size_t(frames));
}

void LoopbackAudioOutput::render(std::size_t frames) {
    if (!isOpen())
        return;
    while (frames > 0) {
        const std::size_t n = std::min(frames, std::size_t(periodFrames()));
        const std::size_t before = waiting();
        const std::size_t at = rendered_.size();
        rendered_.resize(at + n * channels_);
        alExtensions().renderSamples(device(), rendered_.data() + at, ALCsizei(n));
        periodMixed(before);
        frames -= n;
    }
}

} // namespace kw27
