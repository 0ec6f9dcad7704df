#pragma once

// The mixing sound device: the DirectSound object model (device, static secondary buffers,
// duplicates, primary buffer, 3-D buffer and listener) on OpenAL Soft.
//
// Objects are reference counted the COM way: every interface pointer handed out carries one
// reference, Release() returns the number that remain and the object goes away at 0. Every
// other call returns a 32-bit result code, 0 for success and a distinct DirectSound-style
// code for each kind of failure, so that callers can report real codes.
//
// One buffer object is one OpenAL source. Its samples live in one OpenAL buffer shared with
// every duplicate; the buffer is uploaded when the first Unlock() ends and the staging memory
// that Lock() handed out is freed then, so the samples exist once. The shared samples stay
// valid while any buffer object that uses them is alive.
//
// Devices come from a factory: the system's default output, a named output, or a loopback
// device that renders the mix into memory on request (for exact measurements in tests). Each
// device is one AudioOutput, which pauses the mixer while no buffer plays. A stop fades the
// buffer out over one mixing period; a static buffer whose sound starts at full level starts
// with its first 2 ms faded in, and loops over the sound as it is (played once, such a buffer
// ends with those 2 ms again: this system only loops its buffers).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kw27 {
class AudioOutput;
}

namespace kw27::ds {

using HRESULT = std::int32_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
// The window a device cooperates with; 0 is no window.
using WindowHandle = std::uintptr_t;

constexpr HRESULT resultCode(std::uint32_t bits) {
    return static_cast<HRESULT>(bits);
}

constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_GENERIC = resultCode(0x80004005);
constexpr HRESULT DSERR_UNSUPPORTED = resultCode(0x80004001);
constexpr HRESULT DSERR_NOINTERFACE = resultCode(0x80004002);
constexpr HRESULT DSERR_NOAGGREGATION = resultCode(0x80040110);
constexpr HRESULT DSERR_OUTOFMEMORY = resultCode(0x8007000E);
constexpr HRESULT DSERR_INVALIDPARAM = resultCode(0x80070057);
constexpr HRESULT DSERR_ALLOCATED = resultCode(0x8878000A);
constexpr HRESULT DSERR_CONTROLUNAVAIL = resultCode(0x8878001E);
constexpr HRESULT DSERR_INVALIDCALL = resultCode(0x88780032);
constexpr HRESULT DSERR_PRIOLEVELNEEDED = resultCode(0x88780046);
constexpr HRESULT DSERR_BADFORMAT = resultCode(0x88780064);
constexpr HRESULT DSERR_NODRIVER = resultCode(0x88780078);

constexpr DWORD DSSCL_NORMAL = 1;

constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
constexpr DWORD DSBCAPS_STATIC = 0x00000002;
constexpr DWORD DSBCAPS_LOCHARDWARE = 0x00000004;
constexpr DWORD DSBCAPS_LOCSOFTWARE = 0x00000008;
constexpr DWORD DSBCAPS_CTRL3D = 0x00000010;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x00000020;
constexpr DWORD DSBCAPS_CTRLPAN = 0x00000040;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x00000080;
constexpr DWORD DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100;
constexpr DWORD DSBCAPS_CTRLFX = 0x00000200;
constexpr DWORD DSBCAPS_STICKYFOCUS = 0x00004000;
constexpr DWORD DSBCAPS_GLOBALFOCUS = 0x00008000;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x00010000;
constexpr DWORD DSBCAPS_MUTE3DATMAXDISTANCE = 0x00020000;
constexpr DWORD DSBCAPS_LOCDEFER = 0x00040000;

constexpr DWORD DSBPLAY_LOOPING = 0x00000001;

constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
constexpr DWORD DSBFREQUENCY_MIN = 100;
constexpr DWORD DSBFREQUENCY_MAX = 200000;
constexpr DWORD DSBSIZE_MIN = 4;
constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

constexpr DWORD DS3D_IMMEDIATE = 0;
constexpr DWORD DS3D_DEFERRED = 1;
constexpr DWORD DS3DMODE_NORMAL = 0;
constexpr DWORD DS3DMODE_HEADRELATIVE = 1;
constexpr DWORD DS3DMODE_DISABLE = 2;

constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

// The wave format record as a WAV file's fmt chunk stores it: 18 bytes at these offsets. The
// struct is not packed (its fields stay aligned); it only has two bytes of tail padding.
struct WAVEFORMATEX {
    std::uint16_t wFormatTag;
    std::uint16_t nChannels;
    std::uint32_t nSamplesPerSec;
    std::uint32_t nAvgBytesPerSec;
    std::uint16_t nBlockAlign;
    std::uint16_t wBitsPerSample;
    std::uint16_t cbSize;
};
constexpr std::size_t WAVEFORMATEX_SIZE = 18;
static_assert(offsetof(WAVEFORMATEX, nSamplesPerSec) == 4 &&
              offsetof(WAVEFORMATEX, nBlockAlign) == 12 && offsetof(WAVEFORMATEX, cbSize) == 16);

// dwSize names the version of the record: DSBUFFERDESC_SIZE, its size in the 32-bit layout
// that callers know (the pointer makes the in-memory record larger here).
constexpr DWORD DSBUFFERDESC_SIZE = 20;
struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    const WAVEFORMATEX* lpwfxFormat;
};

struct DSBCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwUnlockTransferRate;
    DWORD dwPlayCpuOverhead;
};
static_assert(sizeof(DSBCAPS) == 20);

struct D3DVECTOR {
    float x, y, z;
};

// DirectSound's coordinates are left-handed (z points away from the listener); OpenAL's are
// right-handed. The device turns z round on the way in and out.
struct DS3DBUFFER {
    DWORD dwSize;
    D3DVECTOR vPosition;
    D3DVECTOR vVelocity;
    DWORD dwInsideConeAngle;
    DWORD dwOutsideConeAngle;
    D3DVECTOR vConeOrientation;
    LONG lConeOutsideVolume; // hundredths of a decibel, -10000 to 0
    float flMinDistance;
    float flMaxDistance;
    DWORD dwMode;
};
static_assert(sizeof(DS3DBUFFER) == 64);
static_assert(offsetof(DS3DBUFFER, dwInsideConeAngle) == 28);
static_assert(offsetof(DS3DBUFFER, lConeOutsideVolume) == 48);
static_assert(offsetof(DS3DBUFFER, dwMode) == 60);

struct DS3DLISTENER {
    DWORD dwSize;
    D3DVECTOR vPosition;
    D3DVECTOR vVelocity;
    D3DVECTOR vOrientFront;
    D3DVECTOR vOrientTop;
    float flDistanceFactor;
    float flRolloffFactor;
    float flDopplerFactor;
};
static_assert(sizeof(DS3DLISTENER) == 64);
static_assert(offsetof(DS3DLISTENER, flDistanceFactor) == 52);

enum class Iid { DirectSoundBuffer, DirectSound3DBuffer, DirectSound3DListener };

// Objects are destroyed only through Release(); the destructors are not public.
class IUnknown {
public:
    virtual HRESULT QueryInterface(Iid iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

// The COM way, for the objects that implement these interfaces: an object starts with the one
// reference its creator hands out and goes when the last is released; a release returns the
// references that remain.
class RefCount {
public:
    ULONG add() { return ++count_; }
    template <typename Object> ULONG release(Object* object) {
        const ULONG left = --count_;
        if (left == 0)
            delete object;
        return left;
    }

private:
    ULONG count_ = 1;
};

// Gives up the reference a pointer holds, if any, and clears it. A release returns the
// references that remain, which is no failure: nothing to check.
template <typename Interface> void releaseAndClear(Interface*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

class IDirectSoundBuffer : public IUnknown {
public:
    virtual HRESULT GetCaps(DSBCAPS* caps) = 0;
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** region1, DWORD* bytes1, void** region2,
                         DWORD* bytes2, DWORD flags) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(void* region1, DWORD bytes1, void* region2, DWORD bytes2) = 0;

protected:
    ~IDirectSoundBuffer() = default;
};

class IDirectSound3DBuffer : public IUnknown {
public:
    virtual HRESULT GetAllParameters(DS3DBUFFER* params) = 0;
    virtual HRESULT SetAllParameters(const DS3DBUFFER* params, DWORD apply) = 0;

protected:
    ~IDirectSound3DBuffer() = default;
};

class IDirectSound3DListener : public IUnknown {
public:
    virtual HRESULT GetAllParameters(DS3DLISTENER* params) = 0;
    virtual HRESULT SetAllParameters(const DS3DLISTENER* params, DWORD apply) = 0;

protected:
    ~IDirectSound3DListener() = default;
};

class IDirectSound : public IUnknown {
public:
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                                      IUnknown* outer) = 0;
    virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original,
                                         IDirectSoundBuffer** duplicate) = 0;
    virtual HRESULT SetCooperativeLevel(WindowHandle window, DWORD level) = 0;

protected:
    ~IDirectSound() = default;
};

// Makes the sound device object for the default output (deviceGuid must be null; no
// aggregation). A non-zero result means there is no usable sound device.
HRESULT DirectSoundCreate(const void* deviceGuid, IDirectSound** device, IUnknown* outer);

// Where DirectSoundCreate gets its devices.
class DeviceFactory {
public:
    virtual ~DeviceFactory() = default;
    virtual HRESULT create(IDirectSound** device) = 0;
};

// Installs factory (not owned); nullptr restores the default output. Returns the previous one.
DeviceFactory* setDeviceFactory(DeviceFactory* factory);

// Devices on an OpenAL output: the system's default output, or the one named. Opening can
// fail (no sound card): DSERR_NODRIVER.
class OpenAlDeviceFactory : public DeviceFactory {
public:
    explicit OpenAlDeviceFactory(std::string outputName = {});
    HRESULT create(IDirectSound** device) override;

private:
    std::string outputName_;
};

// While one lives, the buffers of device that Play starts are handed to the mixer in one call
// when it ends, so that they begin on the same sample even if a mixing period passes between
// the calls. Does nothing for another kind of device object.
class StartTogether {
public:
    explicit StartTogether(IDirectSound* device);
    ~StartTogether();
    StartTogether(const StartTogether&) = delete;
    StartTogether& operator=(const StartTogether&) = delete;

private:
    AudioOutput* output_ = nullptr;
};

// Devices that mix into memory: nothing plays until render() asks for the next frames, on the
// calling thread. One channel of 32-bit float at sampleRate, no HRTF, no limiter, so a
// sound at its own rate comes out sample for sample (a 16-bit sample s renders as s / 32768),
// and buffers started between two renders begin on the same output sample. It mixes in
// periods of LoopbackAudioOutput: a stop fades over the first period of the next render.
class LoopbackDeviceFactory : public DeviceFactory {
public:
    explicit LoopbackDeviceFactory(int sampleRate = 44100);
    ~LoopbackDeviceFactory() override;
    HRESULT create(IDirectSound** device) override;

    // The next frames of the most recently created device that is still alive; empty when
    // there is none.
    std::vector<float> render(std::size_t frames);
    int sampleRate() const { return sampleRate_; }
    // Frames in one mixing period: a stop fades out over this many.
    std::size_t periodFrames() const;

private:
    struct State;
    int sampleRate_;
    std::unique_ptr<State> state_;
};

} // namespace kw27::ds
