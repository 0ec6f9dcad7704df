#include "PrimaryBuffer.h"

#include "SecondaryBuffer.h"

namespace kw27::ds::detail {

PrimaryBuffer::PrimaryBuffer(std::shared_ptr<DeviceCore> core, DWORD flags)
    : core_(std::move(core)), flags_(flags), listener_(defaultListenerParams()) {
    core_->primary = this;
}

PrimaryBuffer::~PrimaryBuffer() {
    core_->primary = nullptr;
}

HRESULT PrimaryBuffer::SetAllParameters(const DS3DLISTENER* params, DWORD apply) {
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

} // namespace kw27::ds::detail
