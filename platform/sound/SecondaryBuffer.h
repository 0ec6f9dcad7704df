#pragma once

// A sound buffer of the mixing device: an OpenAL source on samples that it shares with its
// duplicates, with its own position, frequency and 3-D record.

#include "MixingDeviceParts.h"

namespace kw27::ds::detail {

class SecondaryBuffer final : public IDirectSoundBuffer, public IDirectSound3DBuffer {
    friend RefCount;

public:
    static HRESULT create(std::shared_ptr<SampleStore> store, DWORD frequency,
                          const DS3DBUFFER& params, IDirectSoundBuffer** out);

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
                 DWORD* bytes2, DWORD flags) override;

    HRESULT Unlock(void* region1, DWORD bytes1, void* region2, DWORD bytes2) override;

    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;

    HRESULT SetCurrentPosition(DWORD position) override;

    HRESULT SetFrequency(DWORD frequency) override;

    // The mixer ramps the gain down over one period, then the source pauses: pausing keeps
    // the position, which is what stopping a buffer means here.
    HRESULT Stop() override;

    HRESULT GetAllParameters(DS3DBUFFER* params) override { return copyParams(params_, params); }

    HRESULT SetAllParameters(const DS3DBUFFER* params, DWORD apply) override;

private:
    SecondaryBuffer(std::shared_ptr<SampleStore> store, ALuint source, DWORD frequency,
                    const DS3DBUFFER& params);

    ~SecondaryBuffer();

    void applyPitch();

    void apply3D();

    RefCount refs_;
    std::shared_ptr<SampleStore> store_;
    ALuint source_;
    DWORD frequency_;
    DS3DBUFFER params_;
    DWORD pendingPosition_ = 0;
    // Stop() began a fade that has not been called off by a Play().
    bool stopping_ = false;
};

} // namespace kw27::ds::detail
