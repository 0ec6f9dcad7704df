#include "MixingDeviceParts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace kw27::ds::detail {
namespace {

bool finite3(const D3DVECTOR& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool isZero(const D3DVECTOR& v) {
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

D3DVECTOR cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

} // namespace

SampleStore::~SampleStore() {
    std::free(staging);
    if (alBuffer != 0) {
        AlContextScope scope(core->context());
        alDeleteBuffers(1, &alBuffer);
    }
}

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

void alVector(ALuint source, ALenum param, const D3DVECTOR& v) {
    alSource3f(source, param, v.x, v.y, -v.z);
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

HRESULT describeBuffer(DSBCAPS* caps, DWORD flags, DWORD bytes) {
    if (caps == nullptr || caps->dwSize != sizeof(DSBCAPS))
        return DSERR_INVALIDPARAM;
    caps->dwFlags = flags;
    caps->dwBufferBytes = bytes;
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

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

} // namespace kw27::ds::detail
