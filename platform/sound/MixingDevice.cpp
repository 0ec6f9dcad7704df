#include "MixingDevice.h"

#include "AudioOutput.h"
#include "MixingDeviceParts.h"
#include "PrimaryBuffer.h"
#include "SecondaryBuffer.h"

#include <atomic>

namespace kw27::ds {
namespace {

using namespace detail;

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
