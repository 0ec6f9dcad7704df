#include "SecondaryBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kw27::ds::detail {

HRESULT SecondaryBuffer::create(std::shared_ptr<SampleStore> store, DWORD frequency,
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

HRESULT SecondaryBuffer::Lock(DWORD offset, DWORD bytes, void** region1, DWORD* bytes1,
                              void** region2, DWORD* bytes2, DWORD flags) {
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

HRESULT SecondaryBuffer::Unlock(void* region1, DWORD bytes1, void* region2, DWORD bytes2) {
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

HRESULT SecondaryBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
    if (reserved != 0 || priority != 0 || (flags & ~DSBPLAY_LOOPING) != 0)
        return DSERR_INVALIDPARAM;
    if (store_->alBuffer == 0)
        return DSERR_INVALIDCALL;
    AudioOutput& output = *store_->core->output;
    AlContextScope scope(output.context());
    // A stop still fading out is called off: the buffer plays on at full level.
    output.cancel(source_);
    stopping_ = false;
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

HRESULT SecondaryBuffer::SetCurrentPosition(DWORD position) {
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

HRESULT SecondaryBuffer::SetFrequency(DWORD frequency) {
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

HRESULT SecondaryBuffer::Stop() {
    if (store_->alBuffer != 0) {
        AudioOutput& output = *store_->core->output;
        AlContextScope scope(output.context());
        ALint state = AL_INITIAL;
        alGetSourcei(source_, AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING) {
            alSourcef(source_, AL_GAIN, 0.0f);
            stopping_ = true;
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

HRESULT SecondaryBuffer::SetAllParameters(const DS3DBUFFER* params, DWORD apply) {
    if (HRESULT hr = takeParams(params, apply, params_))
        return hr;
    AlContextScope scope(store_->core->context());
    apply3D();
    return alGetError() == AL_NO_ERROR ? DS_OK : DSERR_INVALIDPARAM;
}

SecondaryBuffer::SecondaryBuffer(std::shared_ptr<SampleStore> store, ALuint source, DWORD frequency,
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

SecondaryBuffer::~SecondaryBuffer() {
    DeviceCore& core = *store_->core;
    // A buffer stopped just before it goes (its program closing mid-chord) finishes its fade
    // rather than cutting off with a click; one released while it plays falls silent at once.
    if (stopping_) {
        core.output->retire(source_);
    } else {
        core.output->unwatch(source_);
        AlContextScope scope(core.context());
        alDeleteSources(1, &source_);
    }
    std::erase(store_->users, this);
    std::erase(core.buffers3D, this);
}

void SecondaryBuffer::applyPitch() {
    AlContextScope scope(store_->core->context());
    alSourcef(source_, AL_PITCH,
              static_cast<float>(frequency_) / static_cast<float>(store_->format.nSamplesPerSec));
}

void SecondaryBuffer::apply3D() {
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

} // namespace kw27::ds::detail
