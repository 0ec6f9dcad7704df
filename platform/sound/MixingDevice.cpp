#include "MixingDevice.h"

#include "AudioOutput.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

namespace kw27::ds {
namespace {

class SecondaryBuffer;
class PrimaryBuffer;

// One output (device and context), shared by the device object and every buffer made on it, so
// that a buffer released after its device still has a context to release its source in.
struct DeviceCore {
    DeviceCore(std::unique_ptr<AudioOutput> output) : output(std::move(output)) {}
    ALCcontext* context() const { return output->context(); }

    const std::unique_ptr<AudioOutput> output;
    // The listener's roll-off factor; OpenAL keeps it per source, so every 3-D buffer gets it.
    float rolloff = 1.0f;
    std::vector<SecondaryBuffer*> buffers3D;
    PrimaryBuffer* primary = nullptr;
};

// A sound that starts at full level clicks when it starts from silence; a sound made to loop
// joins its end to its start without a click. Such a buffer gets a faded-in copy of its first
// 2 ms, and a plain copy of them after its end: the mixer plays the faded start once, then loops
// from 2 ms in to the end of the plain copy, which is the sound itself. Returns the bytes to
// upload and sets loopFrom; leaves the samples as they are (loopFrom 0) for a start that stays
// below -30 dBFS, too small to click, and for a sound under 8 ms, a waveform rather than a
// struck sound.
std::vector<unsigned char> withFadedStart(const unsigned char* bytes, DWORD size,
                                          const WAVEFORMATEX& format, DWORD& loopFrom) {
    const DWORD frameBytes = format.nBlockAlign;
    const DWORD frames = std::min<DWORD>(size / frameBytes, format.nSamplesPerSec / 500);
    const bool eightBit = format.wBitsPerSample == 8;
    const auto level = [&](DWORD i) -> int {
        if (eightBit)
            return (int(bytes[i]) - 128) * 256;
        return std::int16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    };
    const DWORD samples = frames * format.nChannels;
    int peak = 0;
    for (DWORD i = 0; i < samples; ++i)
        peak = std::max(peak, std::abs(level(i)));
    loopFrom = 0;
    if (frames < 2 || peak < 1024 || size / frameBytes < 4 * frames)
        return {};
    std::vector<unsigned char> out(bytes, bytes + size);
    out.insert(out.end(), bytes, bytes + frames * frameBytes);
    for (DWORD i = 0; i < samples; ++i) {
        // A raised cosine: a straight ramp's corners would click on their own.
        const double gain =
            0.5 - 0.5 * std::cos(std::numbers::pi * double(i / format.nChannels) / frames);
        const long v = std::lround(level(i) * gain);
        if (eightBit) {
            out[i] = static_cast<unsigned char>(v / 256 + 128);
        } else {
            out[2 * i] = static_cast<unsigned char>(v & 0xFF);
            out[2 * i + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
        }
    }
    loopFrom = frames;
    return out;
}

bool finite3(const D3DVECTOR& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool isZero(const D3DVECTOR& v) {
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

D3DVECTOR cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void alVector(ALuint source, ALenum param, const D3DVECTOR& v) {
    alSource3f(source, param, v.x, v.y, -v.z);
}

constexpr DS3DBUFFER defaultBufferParams() {
    return DS3DBUFFER{sizeof(DS3DBUFFER), {0, 0, 0}, {0, 0, 0}, 360,    360,
                      {0, 0, 1.0f},       0,         1.0f,      1.0e9f, DS3DMODE_NORMAL};
}

constexpr DS3DLISTENER defaultListenerParams() {
    return DS3DLISTENER{sizeof(DS3DLISTENER), {0, 0, 0}, {0, 0, 0}, {0, 0, 1.0f},
                        {0, 1.0f, 0},         1.0f,      1.0f,      1.0f};
}

bool validParams(const DS3DBUFFER& p) {
    return p.dwSize == sizeof(DS3DBUFFER) && finite3(p.vPosition) && finite3(p.vVelocity) &&
           finite3(p.vConeOrientation) && p.dwOutsideConeAngle <= 360 &&
           p.dwInsideConeAngle <= p.dwOutsideConeAngle && p.lConeOutsideVolume <= 0 &&
           p.lConeOutsideVolume >= -10000 && std::isfinite(p.flMinDistance) &&
           std::isfinite(p.flMaxDistance) && p.flMinDistance > 0.0f &&
           p.flMaxDistance >= p.flMinDistance && p.dwMode <= DS3DMODE_DISABLE;
}

bool validParams(const DS3DLISTENER& p) {
    return p.dwSize == sizeof(DS3DLISTENER) && finite3(p.vPosition) && finite3(p.vVelocity) &&
           finite3(p.vOrientFront) && finite3(p.vOrientTop) && !isZero(p.vOrientFront) &&
           !isZero(p.vOrientTop) && !isZero(cross(p.vOrientFront, p.vOrientTop)) &&
           std::isfinite(p.flDistanceFactor) && p.flDistanceFactor > 0.0f &&
           p.flRolloffFactor >= 0.0f && p.flRolloffFactor <= 10.0f && p.flDopplerFactor >= 0.0f &&
           p.flDopplerFactor <= 10.0f;
}

// A buffer's capabilities, into a record of the caller's that names its size.
HRESULT describeBuffer(DSBCAPS* caps, DWORD flags, DWORD bytes) {
    if (caps == nullptr || caps->dwSize != sizeof(DSBCAPS))
        return DSERR_INVALIDPARAM;
    caps->dwFlags = flags;
    caps->dwBufferBytes = bytes;
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

// QueryInterface of a buffer object that is also its 3-D interface when made with
// DSBCAPS_CTRL3D; a reference for each interface handed out.
template <typename ThreeD, typename Buffer>
HRESULT queryBuffer(Buffer* buffer, DWORD flags, Iid threeD, Iid iid, void** object,
                    RefCount& refs) {
    if (object == nullptr)
        return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (iid == Iid::DirectSoundBuffer)
        *object = static_cast<IDirectSoundBuffer*>(buffer);
    else if (iid == threeD && (flags & DSBCAPS_CTRL3D))
        *object = static_cast<ThreeD*>(buffer);
    else
        return DSERR_NOINTERFACE;
    refs.add();
    return DS_OK;
}

// A 3-D record handed out whole, into a record of the caller's that names its size.
template <typename Params> HRESULT copyParams(const Params& held, Params* out) {
    if (out == nullptr || out->dwSize != sizeof(Params))
        return DSERR_INVALIDPARAM;
    *out = held;
    return DS_OK;
}

// A valid 3-D record taken as the held one, applied at once: deferred settings are not
// supported.
template <typename Params> HRESULT takeParams(const Params* params, DWORD apply, Params& held) {
    if (params == nullptr || !validParams(*params) || apply > DS3D_DEFERRED)
        return DSERR_INVALIDPARAM;
    if (apply == DS3D_DEFERRED)
        return DSERR_UNSUPPORTED;
    held = *params;
    return DS_OK;
}

// The OpenAL format for a wave format, or 0 when the device cannot play it.
ALenum alFormatFor(const WAVEFORMATEX& f) {
    if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX)
        return 0;
    if (f.nChannels != 1 && f.nChannels != 2)
        return 0;
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8)
        return 0;
    const bool mono = f.nChannels == 1;
    if (f.wFormatTag == WAVE_FORMAT_PCM && f.wBitsPerSample == 8)
        return mono ? AL_FORMAT_MONO8 : AL_FORMAT_STEREO8;
    if (f.wFormatTag == WAVE_FORMAT_PCM && f.wBitsPerSample == 16)
        return mono ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    return 0;
}

// The samples of a buffer and its duplicates. Until the first Unlock they are staging memory
// handed out by Lock; from then on they are one OpenAL buffer and nothing else.
struct SampleStore {
    SampleStore(std::shared_ptr<DeviceCore> core, const WAVEFORMATEX& format, DWORD bytes,
                DWORD flags, ALenum alFormat)
        : core(std::move(core)), format(format), bytes(bytes), flags(flags), alFormat(alFormat) {}
    ~SampleStore() {
        std::free(staging);
        if (alBuffer != 0) {
            AlContextScope scope(core->context());
            alDeleteBuffers(1, &alBuffer);
        }
    }
    SampleStore(const SampleStore&) = delete;
    SampleStore& operator=(const SampleStore&) = delete;

    const std::shared_ptr<DeviceCore> core;
    const WAVEFORMATEX format;
    const DWORD bytes;
    const DWORD flags;
    const ALenum alFormat;
    ALuint alBuffer = 0;
    unsigned char* staging = nullptr;
    bool locked = false;
    void* region1 = nullptr;
    DWORD bytes1 = 0;
    void* region2 = nullptr;
    DWORD bytes2 = 0;
    std::vector<SecondaryBuffer*> users;
};

class SecondaryBuffer final : public IDirectSoundBuffer, public IDirectSound3DBuffer {
    friend RefCount;

public:
    static HRESULT create(std::shared_ptr<SampleStore> store, DWORD frequency,
                          const DS3DBUFFER& params, IDirectSoundBuffer** out) {
        ALuint source = 0;
        {
            AlContextScope scope(store->core->context());
            alGenSources(1, &source);
            if (alGetError() != AL_NO_ERROR)
                return DSERR_ALLOCATED;
        }
        *out = new SecondaryBuffer(std::move(store), source, frequency, params);
        return DS_OK;
    }

    bool sharesDevice(const DeviceCore& core) const { return store_->core.get() == &core; }
    const std::shared_ptr<SampleStore>& store() const { return store_; }
    DWORD frequency() const { return frequency_; }
    const DS3DBUFFER& params3D() const { return params_; }

    // Called when the shared samples have been uploaded: the source gets the OpenAL buffer.
    void attachSamples() {
        alSourcei(source_, AL_BUFFER, static_cast<ALint>(store_->alBuffer));
        alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(pendingPosition_));
    }

    // Keeps the listener's roll-off in step (OpenAL has it per source).
    void applyRolloff() {
        const bool attenuates = params_.dwMode != DS3DMODE_DISABLE;
        alSourcef(source_, AL_ROLLOFF_FACTOR, attenuates ? store_->core->rolloff : 0.0f);
    }

    HRESULT QueryInterface(Iid iid, void** object) override {
        return queryBuffer<IDirectSound3DBuffer>(this, store_->flags, Iid::DirectSound3DBuffer, iid,
                                                 object, refs_);
    }
    ULONG AddRef() override { return refs_.add(); }
    ULONG Release() override { return refs_.release(this); }

    HRESULT GetCaps(DSBCAPS* caps) override {
        return describeBuffer(caps, store_->flags, store_->bytes);
    }

    HRESULT Lock(DWORD offset, DWORD bytes, void** region1, DWORD* bytes1, void** region2,
                 DWORD* bytes2, DWORD flags) override {
        SampleStore& s = *store_;
        if (region1 == nullptr || bytes1 == nullptr || flags != 0)
            return DSERR_INVALIDPARAM;
        // A static buffer is written once; its samples then exist only in the OpenAL buffer.
        if (s.locked || s.alBuffer != 0)
            return DSERR_INVALIDCALL;
        if (bytes == 0 || bytes > s.bytes || offset >= s.bytes)
            return DSERR_INVALIDPARAM;
        const DWORD first = std::min(bytes, s.bytes - offset);
        const DWORD second = bytes - first;
        if (second != 0 && (region2 == nullptr || bytes2 == nullptr))
            return DSERR_INVALIDPARAM;
        if (s.staging == nullptr) {
            s.staging = static_cast<unsigned char*>(std::calloc(s.bytes, 1));
            if (s.staging == nullptr)
                return DSERR_OUTOFMEMORY;
        }
        s.locked = true;
        s.region1 = s.staging + offset;
        s.bytes1 = first;
        s.region2 = second != 0 ? s.staging : nullptr;
        s.bytes2 = second;
        *region1 = s.region1;
        *bytes1 = first;
        if (region2)
            *region2 = s.region2;
        if (bytes2)
            *bytes2 = second;
        return DS_OK;
    }

    HRESULT Unlock(void* region1, DWORD bytes1, void* region2, DWORD bytes2) override {
        SampleStore& s = *store_;
        if (!s.locked)
            return DSERR_INVALIDCALL;
        if (region1 != s.region1 || bytes1 > s.bytes1 || (bytes2 != 0 && region2 != s.region2) ||
            bytes2 > s.bytes2)
            return DSERR_INVALIDPARAM;
        s.locked = false;

        const DWORD frameBytes = s.format.nBlockAlign;
        const DWORD playable = s.bytes / frameBytes * frameBytes;
        AlContextScope scope(s.core->context());
        DWORD loopFrom = 0;
        std::vector<unsigned char> faded;
        if (alIsExtensionPresent("AL_SOFT_loop_points"))
            faded = withFadedStart(s.staging, playable, s.format, loopFrom);
        ALuint buffer = 0;
        alGenBuffers(1, &buffer);
        if (alGetError() != AL_NO_ERROR)
            return DSERR_OUTOFMEMORY;
        if (loopFrom != 0) {
            alBufferData(buffer, s.alFormat, faded.data(), static_cast<ALsizei>(faded.size()),
                         static_cast<ALsizei>(s.format.nSamplesPerSec));
            const ALint points[2] = {ALint(loopFrom), ALint(playable / frameBytes + loopFrom)};
            alBufferiv(buffer, AL_LOOP_POINTS_SOFT, points);
        } else {
            alBufferData(buffer, s.alFormat, s.staging, static_cast<ALsizei>(playable),
                         static_cast<ALsizei>(s.format.nSamplesPerSec));
        }
        const ALenum error = alGetError();
        if (error != AL_NO_ERROR) {
            alDeleteBuffers(1, &buffer);
            return error == AL_OUT_OF_MEMORY ? DSERR_OUTOFMEMORY : DSERR_GENERIC;
        }
        std::free(s.staging);
        s.staging = nullptr;
        s.alBuffer = buffer;
        for (SecondaryBuffer* user : s.users)
            user->attachSamples();
        return DS_OK;
    }

    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        if (reserved != 0 || priority != 0 || (flags & ~DSBPLAY_LOOPING) != 0)
            return DSERR_INVALIDPARAM;
        if (store_->alBuffer == 0)
            return DSERR_INVALIDCALL;
        AudioOutput& output = *store_->core->output;
        AlContextScope scope(output.context());
        // A stop still fading out is called off: the buffer plays on at full level.
        output.cancel(source_);
        alSourcef(source_, AL_GAIN, 1.0f);
        alSourcei(source_, AL_LOOPING, (flags & DSBPLAY_LOOPING) ? AL_TRUE : AL_FALSE);
        ALint state = AL_INITIAL;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        // Playing an already playing buffer only changes its flags, as DirectSound does;
        // OpenAL would restart it.
        if (state != AL_PLAYING)
            output.start(source_);
        return alGetError() == AL_NO_ERROR ? DS_OK : DSERR_GENERIC;
    }

    HRESULT SetCurrentPosition(DWORD position) override {
        if (position >= store_->bytes)
            return DSERR_INVALIDPARAM;
        const DWORD frameBytes = store_->format.nBlockAlign;
        // A trailing part-frame is never played, so the position cannot point into it.
        if (position / frameBytes >= store_->bytes / frameBytes)
            return DSERR_INVALIDPARAM;
        pendingPosition_ = position / frameBytes * frameBytes;
        if (store_->alBuffer != 0) {
            AlContextScope scope(store_->core->context());
            alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(pendingPosition_));
            if (alGetError() != AL_NO_ERROR)
                return DSERR_GENERIC;
        }
        return DS_OK;
    }

    HRESULT SetFrequency(DWORD frequency) override {
        if (!(store_->flags & DSBCAPS_CTRLFREQUENCY))
            return DSERR_CONTROLUNAVAIL;
        if (frequency == DSBFREQUENCY_ORIGINAL)
            frequency = store_->format.nSamplesPerSec;
        if (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX)
            return DSERR_INVALIDPARAM;
        frequency_ = frequency;
        applyPitch();
        return DS_OK;
    }

    // The mixer ramps the gain down over one period, then the source pauses: pausing keeps
    // the position, which is what stopping a buffer means here.
    HRESULT Stop() override {
        if (store_->alBuffer != 0) {
            AudioOutput& output = *store_->core->output;
            AlContextScope scope(output.context());
            ALint state = AL_INITIAL;
            alGetSourcei(source_, AL_SOURCE_STATE, &state);
            if (state == AL_PLAYING) {
                alSourcef(source_, AL_GAIN, 0.0f);
                const ALuint source = source_;
                // Stopped rather than paused, with its position put back: a paused source
                // would resume from the silent gain of its fade and fade in again.
                output.afterPeriod(source, [source] {
                    ALint at = 0;
                    alGetSourcei(source, AL_BYTE_OFFSET, &at);
                    alSourceStop(source);
                    alSourcef(source, AL_GAIN, 1.0f);
                    alSourcei(source, AL_BYTE_OFFSET, at);
                });
            }
        }
        return DS_OK;
    }

    HRESULT GetAllParameters(DS3DBUFFER* params) override { return copyParams(params_, params); }

    HRESULT SetAllParameters(const DS3DBUFFER* params, DWORD apply) override {
        if (HRESULT hr = takeParams(params, apply, params_))
            return hr;
        AlContextScope scope(store_->core->context());
        apply3D();
        return alGetError() == AL_NO_ERROR ? DS_OK : DSERR_INVALIDPARAM;
    }

private:
    SecondaryBuffer(std::shared_ptr<SampleStore> store, ALuint source, DWORD frequency,
                    const DS3DBUFFER& params)
        : store_(std::move(store)), source_(source), frequency_(frequency), params_(params) {
        store_->users.push_back(this);
        DeviceCore& core = *store_->core;
        core.output->watch(source_);
        AlContextScope scope(core.context());
        if (store_->flags & DSBCAPS_CTRL3D) {
            core.buffers3D.push_back(this);
            apply3D();
        } else {
            // A plain buffer sounds from the listener's own place, with no distance effects.
            alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
            alSource3f(source_, AL_POSITION, 0.0f, 0.0f, 0.0f);
            alSourcef(source_, AL_ROLLOFF_FACTOR, 0.0f);
        }
        applyPitch();
        if (store_->alBuffer != 0)
            attachSamples();
    }

    ~SecondaryBuffer() {
        DeviceCore& core = *store_->core;
        core.output->unwatch(source_);
        {
            AlContextScope scope(core.context());
            alDeleteSources(1, &source_);
        }
        std::erase(store_->users, this);
        std::erase(core.buffers3D, this);
    }

    void applyPitch() {
        AlContextScope scope(store_->core->context());
        alSourcef(source_, AL_PITCH,
                  static_cast<float>(frequency_) /
                      static_cast<float>(store_->format.nSamplesPerSec));
    }

    void apply3D() {
        const DS3DBUFFER& p = params_;
        if (p.dwMode == DS3DMODE_DISABLE) {
            alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
            alSource3f(source_, AL_POSITION, 0.0f, 0.0f, 0.0f);
            alSource3f(source_, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
        } else {
            alSourcei(source_, AL_SOURCE_RELATIVE,
                      p.dwMode == DS3DMODE_HEADRELATIVE ? AL_TRUE : AL_FALSE);
            alVector(source_, AL_POSITION, p.vPosition);
            alVector(source_, AL_VELOCITY, p.vVelocity);
        }
        alVector(source_, AL_DIRECTION, p.vConeOrientation);
        alSourcef(source_, AL_CONE_INNER_ANGLE, static_cast<float>(p.dwInsideConeAngle));
        alSourcef(source_, AL_CONE_OUTER_ANGLE, static_cast<float>(p.dwOutsideConeAngle));
        alSourcef(source_, AL_CONE_OUTER_GAIN,
                  std::pow(10.0f, static_cast<float>(p.lConeOutsideVolume) / 2000.0f));
        alSourcef(source_, AL_REFERENCE_DISTANCE, p.flMinDistance);
        alSourcef(source_, AL_MAX_DISTANCE, p.flMaxDistance);
        applyRolloff();
    }

    RefCount refs_;
    std::shared_ptr<SampleStore> store_;
    ALuint source_;
    DWORD frequency_;
    DS3DBUFFER params_;
    DWORD pendingPosition_ = 0;
};

// The primary buffer stands for the device's own mix; it carries the listener.
class PrimaryBuffer final : public IDirectSoundBuffer, public IDirectSound3DListener {
    friend RefCount;

public:
    PrimaryBuffer(std::shared_ptr<DeviceCore> core, DWORD flags)
        : core_(std::move(core)), flags_(flags), listener_(defaultListenerParams()) {
        core_->primary = this;
    }

    void addFlags(DWORD flags) { flags_ |= flags; }

    HRESULT QueryInterface(Iid iid, void** object) override {
        return queryBuffer<IDirectSound3DListener>(this, flags_, Iid::DirectSound3DListener, iid,
                                                   object, refs_);
    }
    ULONG AddRef() override { return refs_.add(); }
    ULONG Release() override { return refs_.release(this); }

    HRESULT GetCaps(DSBCAPS* caps) override { return describeBuffer(caps, flags_, 0); }
    // The mix itself cannot be written or repositioned.
    HRESULT Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) override {
        return DSERR_INVALIDCALL;
    }
    HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT SetFrequency(DWORD) override { return DSERR_CONTROLUNAVAIL; }
    // The device mixes whenever a buffer plays; the mix itself is not started or stopped.
    HRESULT Play(DWORD, DWORD, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Stop() override { return DSERR_INVALIDCALL; }

    HRESULT GetAllParameters(DS3DLISTENER* params) override {
        return copyParams(listener_, params);
    }

    HRESULT SetAllParameters(const DS3DLISTENER* params, DWORD apply) override {
        if (HRESULT hr = takeParams(params, apply, listener_))
            return hr;
        const DS3DLISTENER& p = listener_;
        AlContextScope scope(core_->context());
        alListener3f(AL_POSITION, p.vPosition.x, p.vPosition.y, -p.vPosition.z);
        alListener3f(AL_VELOCITY, p.vVelocity.x, p.vVelocity.y, -p.vVelocity.z);
        const ALfloat orientation[6] = {p.vOrientFront.x, p.vOrientFront.y, -p.vOrientFront.z,
                                        p.vOrientTop.x,   p.vOrientTop.y,   -p.vOrientTop.z};
        alListenerfv(AL_ORIENTATION, orientation);
        // The distance factor gives metres per unit; OpenAL wants the speed of sound in units.
        alSpeedOfSound(343.3f / p.flDistanceFactor);
        alDopplerFactor(p.flDopplerFactor);
        core_->rolloff = p.flRolloffFactor;
        for (SecondaryBuffer* buffer : core_->buffers3D)
            buffer->applyRolloff();
        return alGetError() == AL_NO_ERROR ? DS_OK : DSERR_INVALIDPARAM;
    }

private:
    ~PrimaryBuffer() { core_->primary = nullptr; }

    RefCount refs_;
    std::shared_ptr<DeviceCore> core_;
    DWORD flags_;
    DS3DLISTENER listener_;
};

constexpr DWORD knownFlags =
    DSBCAPS_PRIMARYBUFFER | DSBCAPS_STATIC | DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE |
    DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
    DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_CTRLFX | DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS |
    DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_MUTE3DATMAXDISTANCE | DSBCAPS_LOCDEFER;

class Device final : public IDirectSound {
    friend RefCount;

public:
    explicit Device(std::shared_ptr<DeviceCore> core) : core_(std::move(core)) {}
    AudioOutput* output() const { return core_->output.get(); }

    HRESULT QueryInterface(Iid, void** object) override {
        if (object != nullptr)
            *object = nullptr;
        return object == nullptr ? DSERR_INVALIDPARAM : DSERR_NOINTERFACE;
    }
    ULONG AddRef() override { return refs_.add(); }
    ULONG Release() override { return refs_.release(this); }

    HRESULT SetCooperativeLevel(WindowHandle window, DWORD level) override {
        // Sound does not follow window focus here, so only the shared level is offered.
        if (window == 0 || level != DSSCL_NORMAL)
            return DSERR_INVALIDPARAM;
        level_ = level;
        return DS_OK;
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                              IUnknown* outer) override {
        if (buffer != nullptr)
            *buffer = nullptr;
        if (outer != nullptr)
            return DSERR_NOAGGREGATION;
        if (desc == nullptr || buffer == nullptr || desc->dwSize != DSBUFFERDESC_SIZE ||
            desc->dwReserved != 0 || (desc->dwFlags & ~knownFlags) != 0)
            return DSERR_INVALIDPARAM;
        if (level_ == 0)
            return DSERR_PRIOLEVELNEEDED;
        const DWORD flags = desc->dwFlags;
        if ((flags & DSBCAPS_CTRL3D) && (flags & DSBCAPS_CTRLPAN))
            return DSERR_INVALIDPARAM;
        if (flags & DSBCAPS_PRIMARYBUFFER)
            return createPrimary(*desc, buffer);
        if (flags & (DSBCAPS_CTRLFX | DSBCAPS_CTRLPOSITIONNOTIFY))
            return DSERR_UNSUPPORTED;
        // Only static buffers (written once, then played) are provided.
        if (!(flags & DSBCAPS_STATIC))
            return DSERR_UNSUPPORTED;
        if (desc->lpwfxFormat == nullptr || desc->dwBufferBytes < DSBSIZE_MIN ||
            desc->dwBufferBytes > DSBSIZE_MAX)
            return DSERR_INVALIDPARAM;
        const WAVEFORMATEX& format = *desc->lpwfxFormat;
        const ALenum alFormat = alFormatFor(format);
        if (alFormat == 0 || ((flags & DSBCAPS_CTRL3D) && format.nChannels != 1))
            return DSERR_BADFORMAT;
        auto store =
            std::make_shared<SampleStore>(core_, format, desc->dwBufferBytes, flags, alFormat);
        return SecondaryBuffer::create(std::move(store), format.nSamplesPerSec,
                                       defaultBufferParams(), buffer);
    }

    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original,
                                 IDirectSoundBuffer** duplicate) override {
        if (duplicate != nullptr)
            *duplicate = nullptr;
        if (original == nullptr || duplicate == nullptr)
            return DSERR_INVALIDPARAM;
        auto* source = dynamic_cast<SecondaryBuffer*>(original);
        if (source == nullptr)
            return DSERR_INVALIDCALL;
        if (!source->sharesDevice(*core_))
            return DSERR_INVALIDPARAM;
        return SecondaryBuffer::create(source->store(), source->frequency(), source->params3D(),
                                       duplicate);
    }

private:
    ~Device() = default;

    HRESULT createPrimary(const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer) {
        constexpr DWORD primaryFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME |
                                       DSBCAPS_CTRLPAN | DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS |
                                       DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE;
        if (desc.dwBufferBytes != 0 || desc.lpwfxFormat != nullptr ||
            (desc.dwFlags & ~primaryFlags) != 0)
            return DSERR_INVALIDPARAM;
        // There is one primary buffer per device; asking again gives the same one.
        if (core_->primary != nullptr) {
            core_->primary->addFlags(desc.dwFlags);
            core_->primary->AddRef();
            *buffer = core_->primary;
            return DS_OK;
        }
        *buffer = new PrimaryBuffer(core_, desc.dwFlags);
        return DS_OK;
    }

    RefCount refs_;
    std::shared_ptr<DeviceCore> core_;
    DWORD level_ = 0;
};

// A device object on output, or the code for an output that does not open.
HRESULT makeDevice(std::unique_ptr<AudioOutput> output, IDirectSound** device,
                   std::shared_ptr<DeviceCore>* made = nullptr) {
    if (!output->open())
        return DSERR_NODRIVER;
    auto core = std::make_shared<DeviceCore>(std::move(output));
    {
        AlContextScope scope(core->context());
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    }
    if (made)
        *made = core;
    *device = new Device(std::move(core));
    return DS_OK;
}

std::atomic<DeviceFactory*> installedFactory{nullptr};

} // namespace

HRESULT DirectSoundCreate(const void* deviceGuid, IDirectSound** device, IUnknown* outer) {
    if (device == nullptr || deviceGuid != nullptr)
        return DSERR_INVALIDPARAM;
    *device = nullptr;
    if (outer != nullptr)
        return DSERR_NOAGGREGATION;
    if (DeviceFactory* factory = installedFactory.load())
        return factory->create(device);
    static OpenAlDeviceFactory systemOutput;
    return systemOutput.create(device);
}

DeviceFactory* setDeviceFactory(DeviceFactory* factory) {
    return installedFactory.exchange(factory);
}

OpenAlDeviceFactory::OpenAlDeviceFactory(std::string outputName)
    : outputName_(std::move(outputName)) {}

HRESULT OpenAlDeviceFactory::create(IDirectSound** device) {
    if (device == nullptr)
        return DSERR_INVALIDPARAM;
    *device = nullptr;
    return makeDevice(
        std::make_unique<SystemAudioOutput>(outputName_.empty() ? nullptr : outputName_.c_str()),
        device);
}

struct LoopbackDeviceFactory::State {
    std::weak_ptr<DeviceCore> last;
};

LoopbackDeviceFactory::LoopbackDeviceFactory(int sampleRate)
    : sampleRate_(sampleRate), state_(std::make_unique<State>()) {}

LoopbackDeviceFactory::~LoopbackDeviceFactory() = default;

HRESULT LoopbackDeviceFactory::create(IDirectSound** device) {
    if (device == nullptr)
        return DSERR_INVALIDPARAM;
    *device = nullptr;
    std::shared_ptr<DeviceCore> core;
    const HRESULT hr =
        makeDevice(std::make_unique<LoopbackAudioOutput>(sampleRate_, 1), device, &core);
    if (hr == DS_OK)
        state_->last = core;
    return hr;
}

std::vector<float> LoopbackDeviceFactory::render(std::size_t frames) {
    auto core = state_->last.lock();
    if (!core)
        return {};
    auto& output = static_cast<LoopbackAudioOutput&>(*core->output);
    output.discardRendered();
    output.render(frames);
    std::vector<float> out = output.rendered();
    output.discardRendered();
    return out;
}

std::size_t LoopbackDeviceFactory::periodFrames() const {
    return std::size_t(LoopbackAudioOutput::periodFor(sampleRate_));
}

StartTogether::StartTogether(IDirectSound* device) {
    if (auto* d = dynamic_cast<Device*>(device)) {
        output_ = d->output();
        output_->beginTogether();
    }
}

StartTogether::~StartTogether() {
    if (output_)
        output_->endTogether();
}

} // namespace kw27::ds
