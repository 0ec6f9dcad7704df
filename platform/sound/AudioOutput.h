#pragma once

// The one OpenAL layer: every sound of both programs goes through an AudioOutput, the only
// owner of an OpenAL device and its context. The one-sound player and the mixing device
// differ only in what they do with the sources they make on it.
//
// A real device mixes in real time, all the time, even when nothing sounds; an output
// therefore pauses its device once no source it watches has played for a while, and resumes it
// before the next start. The pause waits for the mixer to finish a period, so it is made on
// the output's own thread, never the caller's. A loopback device mixes only when rendered and
// is never paused.

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace kw27 {

// The OpenAL extension entry points the layer uses, looked up once; a null entry is an
// extension the library lacks.
struct AlExtensions {
    LPALCLOOPBACKOPENDEVICESOFT loopbackOpenDevice = nullptr;
    LPALCISRENDERFORMATSUPPORTEDSOFT isRenderFormatSupported = nullptr;
    LPALCRENDERSAMPLESSOFT renderSamples = nullptr;
    LPALCDEVICEPAUSESOFT pauseDevice = nullptr;
    LPALCDEVICERESUMESOFT resumeDevice = nullptr;
    PFNALCSETTHREADCONTEXTPROC setThreadContext = nullptr;
    PFNALCGETTHREADCONTEXTPROC getThreadContext = nullptr;
    LPALGETSOURCEI64VSOFT getSourcei64v = nullptr;
};
const AlExtensions& alExtensions();

// Makes a context current on this thread while the scope lasts, then restores what the
// thread had, so that several outputs (the player's, the mixing device's) live side by side.
class AlContextScope {
public:
    explicit AlContextScope(ALCcontext* context);
    ~AlContextScope();
    AlContextScope(const AlContextScope&) = delete;
    AlContextScope& operator=(const AlContextScope&) = delete;

private:
    ALCcontext* previous_;
};

// Whether source is playing; with its context current.
bool sourcePlaying(ALuint source);

class AudioOutput {
public:
    using Seconds = std::chrono::duration<double>;
    using Clock = std::chrono::steady_clock;

    virtual ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Opens the device and its context, once. False means there is none, which is normal on
    // a machine without a sound card: the user then stays silent.
    virtual bool open();
    // Destroys the context and closes the device; the user has deleted its sources first.
    void close();
    bool isOpen() const { return context_ != nullptr; }
    ALCcontext* context() const { return context_; }
    // Lets about span of playing time go by (at least a little, however small span is).
    virtual void pass(Seconds span) = 0;
    // Frames the mixer produces in one period: the delay a change waits for at most.
    int periodFrames() const { return periodFrames_; }
    int sampleRate() const { return sampleRate_; }

    // Where a player stands with the device, which it tries once: a device that did not open
    // is not asked for again at every sound.
    enum class Try { Unopened, Open, Absent };
    // True when this is the player's first try and the device opened: the player then makes
    // its sources and marks the try Open. Otherwise the try says whether the device is open.
    bool openFirstTime(Try& state);

    // Sources whose playing keeps the device awake.
    void watch(ALuint source);
    // Makes source sound as recorded (no distance, no placement, no panning of stereo) and
    // watches it; with the output's context current.
    void watchPlain(ALuint source);
    void unwatch(ALuint source);
    // Called before sources are started: resumes a paused device. The device stays awake
    // for the linger time after the last watched source has stopped.
    void wake();
    bool paused() const;
    // Runs finish once the mixer has mixed a whole period after this call: what a gain change
    // made now has then been heard. A later cancel for the same source drops it.
    void afterPeriod(ALuint source, std::function<void()> finish);
    // Fades a playing source out over one period, then stops it (at full gain again, for its
    // next start); with the output's context current.
    void fadeOut(ALuint source);
    void cancel(ALuint source);
    // Takes over a source its user is done with: a source still playing fades out over one
    // period, like a stop, before it is deleted; any other is deleted at once. Closing the
    // output lets the fades that are under way finish first.
    void retire(ALuint source);

    // How far ahead of a sound's end a synchronous play may hand back: the next sound, queued
    // behind it within that time, follows it on the very next frame. A real device needs room
    // for the window thread to be late; a loopback device mixes only when asked, so by default
    // it needs none.
    std::size_t commitAheadFrames() const;
    void setCommitAhead(Seconds ahead) { commitAhead_ = ahead; }

    // Plays every source started between beginTogether and endTogether in one call, so that
    // no mixing period can fall between them.
    void beginTogether();
    void start(ALuint source);
    void endTogether();

protected:
    explicit AudioOutput(Seconds linger);
    virtual ALCdevice* openDevice() = 0;
    virtual std::vector<ALCint> contextAttributes() const = 0;
    virtual bool realTime() const = 0;
    ALCdevice* device() const { return device_; }
    // Runs the finishes that were waiting before the period just mixed (loopback only).
    void periodMixed(std::size_t waitingBefore);
    std::size_t waiting() const;

private:
    struct Pending {
        ALuint source;
        Clock::time_point due;
        std::function<void()> finish;
        // A retired source: no longer its user's, so nothing of the user's may drop it.
        bool retired = false;
    };
    void dropPending(ALuint source);
    void finishFades();
    void watchIdle();
    bool anyPlaying() const;
    void runDue(std::unique_lock<std::mutex>& lock, std::size_t count);

    const Seconds linger_;
    Seconds commitAhead_{0};
    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    int periodFrames_ = 0;
    int sampleRate_ = 0;
    bool tried_ = false;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<ALuint> watched_;
    std::vector<Pending> pending_;
    std::vector<ALuint> together_;
    int togetherDepth_ = 0;
    Clock::time_point lastBusy_;
    bool paused_ = false;
    bool quit_ = false;
    std::thread watcher_;
};

// The system's default playback device, or the one named.
class SystemAudioOutput final : public AudioOutput {
public:
    explicit SystemAudioOutput(const char* name = nullptr,
                               Seconds linger = std::chrono::milliseconds(500));
    ~SystemAudioOutput() override;
    void pass(Seconds span) override;

protected:
    ALCdevice* openDevice() override;
    std::vector<ALCint> contextAttributes() const override;
    bool realTime() const override { return true; }

private:
    const char* name_;
};

// OpenAL Soft's loopback device: the mix is rendered on request into memory, as 32-bit float
// frames at a fixed rate, with HRTF and the output limiter off so that a sound played at unit
// gain comes out bit for bit. It mixes in periods of 5 ms, like a device asked for a refresh
// of 200 Hz, so that a fade lasts as long here as there. Every frame rendered is kept, in
// order, until discarded.
class LoopbackAudioOutput : public AudioOutput {
public:
    // channels is 1 or 2.
    LoopbackAudioOutput(int sampleRate, int channels);
    // The frames of one period at sampleRate.
    static int periodFor(int sampleRate);
    ~LoopbackAudioOutput() override;

    // Renders the frames that span covers at the device rate, rounded up.
    void pass(Seconds span) override;
    // Renders frames more (nothing while the device is closed).
    void render(std::size_t frames);
    int channels() const { return channels_; }
    // Interleaved samples of every frame rendered since the start or the last discard.
    const std::vector<float>& rendered() const { return rendered_; }
    std::size_t renderedFrames() const { return rendered_.size() / channels_; }
    void discardRendered() { rendered_.clear(); }

protected:
    ALCdevice* openDevice() override;
    std::vector<ALCint> contextAttributes() const override;
    bool realTime() const override { return false; }

private:
    int rate_;
    int channels_;
    std::vector<float> rendered_;
};

} // namespace kw27
