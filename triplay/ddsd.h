#pragma once

// Unit ddsd: a mixing sound device with a fixed number of channels, for a window to own.
//
// TDDSD owns the platform device, its primary buffer (and with Use3D the listener) and its
// channels. A wave data object (TDDSDWaveData, TDDSDWave3D) holds one sound in a static
// buffer of the device; every channel given the wave plays its own duplicate of that buffer,
// so channels sound independently while the samples exist once per wave.
//
// Every failure goes through DDSDDebug (and platform results through DDSDCheck). What a
// report does is fixed when the program is built: RaiseOnError, WriteDebugLog, HaltOnError.
// A test build switches them with the KW27_DDSD_* definitions below.

#include "KwError.h"
#include "MixingDevice.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#ifndef KW27_DDSD_RAISE_ON_ERROR
#define KW27_DDSD_RAISE_ON_ERROR 1
#endif
#ifndef KW27_DDSD_WRITE_DEBUG_LOG
#define KW27_DDSD_WRITE_DEBUG_LOG 0
#endif
#ifndef KW27_DDSD_HALT_ON_ERROR
#define KW27_DDSD_HALT_ON_ERROR 0
#endif

// A failure report raises EDDSD with the message.
inline constexpr bool RaiseOnError = KW27_DDSD_RAISE_ON_ERROR;
// A failure report that does not raise is appended to "ddsd.debug" beside the executable.
inline constexpr bool WriteDebugLog = KW27_DDSD_WRITE_DEBUG_LOG;
// A failed result check or a bad channel index ends the program at once.
inline constexpr bool HaltOnError = KW27_DDSD_HALT_ON_ERROR;

class EDDSD : public EKwError {
public:
    using EKwError::EKwError;
};

// Writing the debug log failed; the message names the system error number.
class EInOutError : public EKwError {
public:
    using EKwError::EKwError;
};

// Reports a failure as the build settings say.
void DDSDDebug(const QString& message);
// Reports a non-zero platform result with message and "(Error Code(<hex>))"; returns code.
kw27::ds::HRESULT DDSDCheck(kw27::ds::HRESULT code, const QString& message);

class TDDSD;
class TDDSDChannel;
class TDDSDGenWave;

// The 3-D parameters of a channel (or of a 3-D wave, with no owner channel).
class TDDSDParams3D {
public:
    explicit TDDSDParams3D(TDDSDChannel* owner = nullptr);
    virtual ~TDDSDParams3D() = default;
    TDDSDParams3D(const TDDSDParams3D&) = delete;
    TDDSDParams3D& operator=(const TDDSDParams3D&) = delete;

    // Takes over source's parameters (refreshed from its channel's buffer first, when it has
    // one) and applies them to this object's channel buffer, when there is one.
    void Assign(TDDSDParams3D& source);

    TDDSDChannel* owner() const { return owner_; }
    kw27::ds::DS3DBUFFER& params() { return params_; }
    const kw27::ds::DS3DBUFFER& params() const { return params_; }

private:
    TDDSDChannel* owner_;
    kw27::ds::DS3DBUFFER params_;
};

// The listener of a device with Use3D; applies its parameters when created.
class TDDSDListener {
public:
    explicit TDDSDListener(TDDSD* owner);
    virtual ~TDDSDListener() = default;
    TDDSDListener(const TDDSDListener&) = delete;
    TDDSDListener& operator=(const TDDSDListener&) = delete;

    TDDSD* owner() const { return owner_; }
    const kw27::ds::DS3DLISTENER& params() const { return params_; }

private:
    TDDSD* owner_;
    kw27::ds::DS3DLISTENER params_;
};

// One playback channel: its own duplicate of the current wave's buffer.
class TDDSDChannel {
public:
    explicit TDDSDChannel(TDDSD* owner);
    virtual ~TDDSDChannel();
    TDDSDChannel(const TDDSDChannel&) = delete;
    TDDSDChannel& operator=(const TDDSDChannel&) = delete;

    // Gives the channel a wave (a fresh duplicate of its buffer), or empties it (nullptr).
    void setWaveData(TDDSDGenWave* wave);
    // Rewinds to the start of the sound and plays it looping.
    void Play();
    // Stops where the sound is; the next Play rewinds anyway.
    void Stop();

    TDDSDParams3D* Params3D() const { return params3D_.get(); }
    void setParams3D(TDDSDParams3D& source) { params3D_->Assign(source); }

    kw27::ds::IDirectSoundBuffer* buffer() const { return buffer_; }
    kw27::ds::IDirectSound3DBuffer* buffer3D() const { return buffer3D_; }
    bool is3D() const { return is3D_; }
    TDDSD* owner() const { return owner_; }
    std::int32_t frequency() const { return frequency_; }
    TDDSDGenWave* waveData() const { return wave_; }

private:
    kw27::ds::IDirectSoundBuffer* buffer_ = nullptr;
    kw27::ds::IDirectSound3DBuffer* buffer3D_ = nullptr;
    bool is3D_ = false;
    TDDSD* owner_;
    std::int32_t frequency_ = 0;
    TDDSDGenWave* wave_ = nullptr;
    std::unique_ptr<TDDSDParams3D> params3D_;
};

// The sound device component. Its owner is the window; the window sets the properties, builds
// its controls and then calls Loaded(), which opens the device and makes the channels.
class TDDSD : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Use3D READ Use3D WRITE setUse3D)
    Q_PROPERTY(int ChannelCount READ ChannelCount WRITE setChannelCount)
    Q_PROPERTY(bool StickyFocus READ StickyFocus WRITE setStickyFocus)

public:
    explicit TDDSD(QObject* owner);
    ~TDDSD() override;

    // The after-loading step: opens the device (no device leaves the component silent, with
    // no message) and makes ChannelCount empty channels.
    void Loaded();

    // The channel with that index, 0 to ChannelCount-1; any other index is reported.
    TDDSDChannel* Channel(int index);

    bool Use3D() const { return use3D_; }
    void setUse3D(bool value) { use3D_ = value; }
    int ChannelCount() const { return channelCount_; }
    void setChannelCount(int value) { channelCount_ = value; }
    bool StickyFocus() const { return stickyFocus_; }
    void setStickyFocus(bool value) { stickyFocus_ = value; }

    bool initialized() const { return initialized_; }
    kw27::ds::IDirectSound* device() const { return device_; }
    kw27::ds::IDirectSoundBuffer* primaryBuffer() const { return primary_; }
    kw27::ds::IDirectSound3DListener* listener3D() const { return listener3D_; }
    TDDSDListener* Listener() const { return listener_.get(); }

private:
    void initialize();
    void releaseDevice();

    kw27::ds::IDirectSound* device_ = nullptr;
    kw27::ds::IDirectSoundBuffer* primary_ = nullptr;
    kw27::ds::IDirectSound3DListener* listener3D_ = nullptr;
    std::vector<std::unique_ptr<TDDSDChannel>> channels_;
    std::int32_t channelCount_ = 8;
    bool initialized_ = false;
    bool use3D_ = false;
    std::unique_ptr<TDDSDListener> listener_;
    bool stickyFocus_ = true;
};

// One sound, loaded from a WAV file into a static buffer of the owner's device.
class TDDSDGenWave {
public:
    // Loads fileName (a data path as the programs spell it). With no device nothing is read.
    TDDSDGenWave(TDDSD* owner, const QString& fileName, bool use3D);
    // Loads from an image of a WAV file in memory; name stands for the file in messages.
    TDDSDGenWave(TDDSD* owner, const QString& name, const void* image, std::size_t size,
                 bool use3D);
    virtual ~TDDSDGenWave();
    TDDSDGenWave(const TDDSDGenWave&) = delete;
    TDDSDGenWave& operator=(const TDDSDGenWave&) = delete;

    kw27::ds::IDirectSoundBuffer* buffer() const { return buffer_; }
    const kw27::ds::WAVEFORMATEX& format() const { return format_; }
    std::uint32_t dataSize() const { return dataSize_; }
    TDDSD* owner() const { return owner_; }

private:
    template <typename Open> void LoadWAV(TDDSD* owner, const QString& name, Open open, bool use3D);
    void releaseBuffer();

    kw27::ds::IDirectSoundBuffer* buffer_ = nullptr;
    kw27::ds::WAVEFORMATEX format_{};
    std::uint32_t dataSize_ = 0;
    // Waves belong to the window, not to the device; the pointer clears itself should the
    // device go first.
    QPointer<TDDSD> owner_;
};

class TDDSDWaveData : public TDDSDGenWave {
public:
    TDDSDWaveData(TDDSD* owner, const QString& fileName);
};

// A wave whose buffer has 3-D control, with the parameters a channel takes over with it.
class TDDSDWave3D : public TDDSDGenWave {
public:
    TDDSDWave3D(TDDSD* owner, const QString& fileName);
    ~TDDSDWave3D() override;

    TDDSDParams3D* Params3D() const { return params3D_.get(); }

private:
    std::unique_ptr<TDDSDParams3D> params3D_;
};
