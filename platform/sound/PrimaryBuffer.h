#pragma once

// The primary buffer of the mixing device: it stands for the device's own mix and carries the
// listener.

#include "MixingDeviceParts.h"

namespace kw27::ds::detail {

class PrimaryBuffer final : public IDirectSoundBuffer, public IDirectSound3DListener {
    friend RefCount;

public:
    PrimaryBuffer(std::shared_ptr<DeviceCore> core, DWORD flags);

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

    HRESULT SetAllParameters(const DS3DLISTENER* params, DWORD apply) override;

private:
    ~PrimaryBuffer();

    RefCount refs_;
    std::shared_ptr<DeviceCore> core_;
    DWORD flags_;
    DS3DLISTENER listener_;
};

} // namespace kw27::ds::detail
