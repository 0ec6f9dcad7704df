#pragma once

// The pieces that the mixing device's objects share: the output they all play on, the samples
// that a buffer and its duplicates hold, and the checks and conversions of their records.
// Internal to the device; callers use MixingDevice.h.

#include "AudioOutput.h"
#include "MixingDevice.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace kw27::ds::detail {

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

// The samples of a buffer and its duplicates. Until the first Unlock they are staging memory
// handed out by Lock; from then on they are one OpenAL buffer and nothing else.
struct SampleStore {
    SampleStore(std::shared_ptr<DeviceCore> core, const WAVEFORMATEX& format, DWORD bytes,
                DWORD flags, ALenum alFormat)
        : core(std::move(core)), format(format), bytes(bytes), flags(flags), alFormat(alFormat) {}
    ~SampleStore();
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

// A sound that starts at full level clicks when it starts from silence; a sound made to loop
// joins its end to its start without a click. Such a buffer gets a faded-in copy of its first
// 2 ms, and a plain copy of them after its end: the mixer plays the faded start once, then loops
// from 2 ms in to the end of the plain copy, which is the sound itself. Returns the bytes to
// upload and sets loopFrom; leaves the samples as they are (loopFrom 0) for a start that stays
// below -30 dBFS, too small to click, and for a sound under 8 ms, a waveform rather than a
// struck sound.
std::vector<unsigned char> withFadedStart(const unsigned char* bytes, DWORD size,
                                          const WAVEFORMATEX& format, DWORD& loopFrom);

// A 3-D vector to OpenAL, whose z axis points the other way.
void alVector(ALuint source, ALenum param, const D3DVECTOR& v);

constexpr DS3DBUFFER defaultBufferParams() {
    return DS3DBUFFER{sizeof(DS3DBUFFER), {0, 0, 0}, {0, 0, 0}, 360,    360,
                      {0, 0, 1.0f},       0,         1.0f,      1.0e9f, DS3DMODE_NORMAL};
}

constexpr DS3DLISTENER defaultListenerParams() {
    return DS3DLISTENER{sizeof(DS3DLISTENER), {0, 0, 0}, {0, 0, 0}, {0, 0, 1.0f},
                        {0, 1.0f, 0},         1.0f,      1.0f,      1.0f};
}

bool validParams(const DS3DBUFFER& p);
bool validParams(const DS3DLISTENER& p);

// A buffer's capabilities, into a record of the caller's that names its size.
HRESULT describeBuffer(DSBCAPS* caps, DWORD flags, DWORD bytes);

// The OpenAL format for a wave format, or 0 when the device cannot play it.
ALenum alFormatFor(const WAVEFORMATEX& f);

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

} // namespace kw27::ds::detail
