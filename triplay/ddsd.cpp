#include "ddsd.h"

#include "Cp932.h"
#include "DataPath.h"
#include "RiffReader.h"
#include "WavDecoder.h"

#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

using namespace kw27::ds;

namespace {

// Lines written to the debug log in this run; the first line of a run empties the file.
int debugLineCounter = 0;

[[noreturn]] void haltProgram() {
    std::_Exit(EXIT_FAILURE);
}

[[noreturn]] void raiseInOutError(int error) {
    throw EInOutError(QStringLiteral("I/O error %1").arg(error));
}

std::filesystem::path executableFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        raiseInOutError(error.value());
    return exe.parent_path();
}

// The log is Shift-JIS; a character without a code page 932 form (a file name can hold one)
// is written as '?', as the system's own conversion does, rather than losing the line.
std::string toCp932(const QString& text) {
    if (auto whole = kw27::cp932::encode(text))
        return *whole;
    std::string out;
    for (const uint codePoint : text.toUcs4()) {
        const char32_t c = codePoint;
        const auto one = kw27::cp932::encode(QString::fromUcs4(&c, 1));
        out += one ? *one : std::string("?");
    }
    return out;
}

void appendDebugLog(const QString& message) {
    const std::filesystem::path path = executableFolder() / "ddsd.debug";
    std::FILE* file = std::fopen(path.c_str(), debugLineCounter == 0 ? "wb" : "ab");
    if (file == nullptr)
        raiseInOutError(errno);
    ++debugLineCounter;
    const std::string line =
        toCp932(QStringLiteral("debug#%1 ... ").arg(debugLineCounter, 5, 10, QLatin1Char('0')) +
                message) +
        "\r\n";
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    const int writeError = errno;
    if (std::fclose(file) != 0)
        raiseInOutError(errno);
    if (!written)
        raiseInOutError(writeError);
}

constexpr DWORD plainWaveFlags =
    DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
constexpr DWORD waveFlags3D =
    DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLVOLUME;
static_assert(plainWaveFlags == 226 && waveFlags3D == 178 && DSBCAPS_STICKYFOCUS == 16384);

// Reads a fmt chunk into the 18-byte format record, and judges from its first bytes (the
// extensible layout's included) whether its samples are of a layout converted at load. A
// longer chunk fills the record from its first 18 bytes; the rest must still be in the file.
bool readFormat(kw27::RiffReader& file, const kw27::RiffChunk& fmt, WAVEFORMATEX& format,
                std::optional<kw27::SampleLayout>& layout) {
    unsigned char raw[kw27::kFormatLayoutBytes];
    const std::size_t kept = std::min<std::size_t>(fmt.size, sizeof raw);
    if (file.read(raw, kept) < kept)
        return false;
    std::memcpy(&format, raw, std::min(kept, WAVEFORMATEX_SIZE));
    layout = kw27::sampleLayout(raw, kept);
    std::uint64_t rest = fmt.size - kept;
    char scratch[256];
    while (rest > 0) {
        const std::size_t got = file.read(scratch, std::min<std::uint64_t>(rest, sizeof scratch));
        if (got == 0)
            return false;
        rest -= got;
    }
    return true;
}

WAVEFORMATEX mono16(DWORD rate) {
    return {WAVE_FORMAT_PCM, 1, rate, rate * 2, 2, 16, 0};
}

// Fills one locked region from the data chunk; what the file does not supply is silence.
void fillRegion(kw27::RiffReader& file, const std::optional<kw27::SampleLayout>& layout,
                void* region, DWORD bytes) {
    const std::size_t got =
        layout ? kw27::readMono16(file, *layout, region, bytes / sizeof(std::int16_t)) *
                     sizeof(std::int16_t)
               : file.read(region, bytes);
    std::memset(static_cast<unsigned char*>(region) + got, 0, bytes - got);
}

} // namespace

void DDSDDebug(const QString& message) {
    if (RaiseOnError)
        throw EDDSD(message);
    else if (WriteDebugLog)
        appendDebugLog(message);
}

HRESULT DDSDCheck(HRESULT code, const QString& message) {
    if (code == DS_OK)
        return DS_OK;
    DDSDDebug(message + QStringLiteral("(Error Code(%1))")
                            .arg(QString::number(static_cast<std::uint32_t>(code), 16).toUpper()));
    if (HaltOnError)
        haltProgram();
    return code;
}

TDDSDParams3D::TDDSDParams3D(TDDSDChannel* owner)
    : owner_(owner),
      // Minimum and maximum distance are this unit's own choice, not the platform's.
      params_{sizeof(DS3DBUFFER), {0, 0, 0}, {0, 0, 0}, 360,    360,
              {0, 0, 1.0f},       0,         5.0f,      100.0f, DS3DMODE_NORMAL} {}

void TDDSDParams3D::Assign(TDDSDParams3D& source) {
    if (source.owner_ != nullptr && source.owner_->buffer3D() != nullptr)
        source.owner_->buffer3D()->GetAllParameters(&source.params_);
    const DS3DBUFFER taken = source.params_;
    params_ = taken;
    if (owner_ != nullptr && owner_->buffer3D() != nullptr)
        DDSDCheck(owner_->buffer3D()->SetAllParameters(&params_, DS3D_IMMEDIATE),
                  QStringLiteral("Params3Dに指定されたパラメータが不適切です"));
}

TDDSDListener::TDDSDListener(TDDSD* owner)
    : owner_(owner), params_{sizeof(DS3DLISTENER), {0, 0, 0}, {0, 0, 0}, {0, 0, 1.0f},
                             {0, 1.0f, 0},         1.0f,      1.0f,      1.0f} {
    if (owner_->listener3D() != nullptr)
        DDSDCheck(owner_->listener3D()->SetAllParameters(&params_, DS3D_IMMEDIATE),
                  QStringLiteral("Listenerに指定されたパラメータが不適切です"));
}

TDDSDChannel::TDDSDChannel(TDDSD* owner)
    : owner_(owner), params3D_(std::make_unique<TDDSDParams3D>(this)) {}

TDDSDChannel::~TDDSDChannel() {
    // Stopped first, so that a channel still ringing when the window closes fades out as a
    // stop does instead of cutting off.
    if (buffer_)
        buffer_->Stop();
    releaseAndClear(buffer3D_);
    releaseAndClear(buffer_);
}

void TDDSDChannel::setWaveData(TDDSDGenWave* wave) {
    if (!owner_->initialized())
        return;
    releaseAndClear(buffer3D_);
    releaseAndClear(buffer_);
    if (wave == nullptr)
        return;

    DDSDCheck(owner_->device()->DuplicateSoundBuffer(wave->buffer(), &buffer_),
              QStringLiteral("setWaveData サウンドバッファの複製に失敗しました"));
    if (auto* wave3D = dynamic_cast<TDDSDWave3D*>(wave)) {
        is3D_ = true;
        if (buffer_ != nullptr) {
            void* interface3D = nullptr;
            DDSDCheck(buffer_->QueryInterface(Iid::DirectSound3DBuffer, &interface3D),
                      QStringLiteral("setWaveData 3Dサウンドバッファの作成に失敗しました"));
            buffer3D_ = static_cast<IDirectSound3DBuffer*>(interface3D);
        }
        params3D_->Assign(*wave3D->Params3D());
    } else {
        is3D_ = false;
    }
    frequency_ = static_cast<std::int32_t>(wave->format().nSamplesPerSec);
    wave_ = wave;
}

void TDDSDChannel::Play() {
    if (buffer_ == nullptr)
        return;
    buffer_->SetCurrentPosition(0);
    buffer_->Play(0, 0, DSBPLAY_LOOPING);
}

void TDDSDChannel::Stop() {
    if (buffer_ != nullptr)
        buffer_->Stop();
}

TDDSD::TDDSD(QObject* owner) : QObject(owner) {}

TDDSD::~TDDSD() {
    for (auto& channel : channels_)
        channel.reset();
    listener_.reset();
    releaseDevice();
    channels_.clear();
}

void TDDSD::Loaded() {
    initialize();
}

void TDDSD::releaseDevice() {
    listener_.reset();
    releaseAndClear(listener3D_);
    releaseAndClear(primary_);
    releaseAndClear(device_);
    initialized_ = false;
}

void TDDSD::initialize() {
    channels_.clear();
    releaseDevice();
    const std::size_t count = static_cast<std::size_t>(std::max<std::int32_t>(channelCount_, 0));
    channels_.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        channels_.push_back(std::make_unique<TDDSDChannel>(this));

    // No sound device is an ordinary situation (no sound card): the channels stay silent.
    if (DirectSoundCreate(nullptr, &device_, nullptr) != DS_OK) {
        device_ = nullptr;
        initialized_ = false;
        return;
    }
    initialized_ = true;

    WindowHandle window = 0;
    if (auto* widget = qobject_cast<QWidget*>(parent()))
        window = static_cast<WindowHandle>(widget->window()->winId());
    DDSDCheck(device_->SetCooperativeLevel(window, DSSCL_NORMAL),
              QStringLiteral("DirectSoundの協調レベルの設定に失敗しました"));

    const DSBUFFERDESC primaryDesc{
        DSBUFFERDESC_SIZE, use3D_ ? DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D : DSBCAPS_PRIMARYBUFFER,
        0, 0, nullptr};
    DDSDCheck(device_->CreateSoundBuffer(&primaryDesc, &primary_, nullptr),
              QStringLiteral("一次バッファの作成に失敗しました"));

    if (use3D_) {
        if (primary_ != nullptr) {
            void* listener = nullptr;
            DDSDCheck(primary_->QueryInterface(Iid::DirectSound3DListener, &listener),
                      QStringLiteral("DirectSound3D Listenerの作成に失敗しました"));
            listener3D_ = static_cast<IDirectSound3DListener*>(listener);
        }
        listener_.reset();
        listener_ = std::make_unique<TDDSDListener>(this);
    }
}

TDDSDChannel* TDDSD::Channel(int index) {
    const qint64 last = qint64(channelCount_) - 1;
    if (index >= 0 && index <= last) {
        // A channel that was never made (before the after-loading step) is simply absent.
        return std::size_t(index) < channels_.size() ? channels_[std::size_t(index)].get()
                                                     : nullptr;
    }
    DDSDDebug(QStringLiteral("チャンネル番号%1は無効です、%2～%3の範囲で指定してください")
                  .arg(QString::number(index), QString::number(0), QString::number(last)));
    if (HaltOnError)
        haltProgram();
    return nullptr;
}

TDDSDGenWave::TDDSDGenWave(TDDSD* owner, const QString& fileName, bool use3D) {
    try {
        LoadWAV(
            owner, fileName,
            [&] { return kw27::RiffReader::openFile(kw27::resolveDataPath(fileName)); }, use3D);
    } catch (...) {
        releaseBuffer();
        throw;
    }
}

TDDSDGenWave::TDDSDGenWave(TDDSD* owner, const QString& name, const void* image, std::size_t size,
                           bool use3D) {
    try {
        LoadWAV(
            owner, name, [&] { return kw27::RiffReader::openMemory(image, size); }, use3D);
    } catch (...) {
        releaseBuffer();
        throw;
    }
}

TDDSDGenWave::~TDDSDGenWave() {
    releaseBuffer();
}

// Channels holding duplicates keep playing: the samples live while any duplicate does. The
// count a release returns is not a failure, so it is not checked.
void TDDSDGenWave::releaseBuffer() {
    releaseAndClear(buffer_);
}

template <typename Open>
void TDDSDGenWave::LoadWAV(TDDSD* owner, const QString& name, Open open, bool use3D) {
    owner_ = owner;
    if (owner == nullptr || !owner->initialized())
        return;

    // The file closes when `file` goes: before each file-format report, and on every other way
    // out, a raised report included. A report that does not raise ends loading too: the later
    // steps would only read a file that is not there.
    std::unique_ptr<kw27::RiffReader> file = open();
    if (!file) {
        DDSDDebug(name + QStringLiteral("が、見つかりません"));
        return;
    }
    const auto fail = [&](const QString& suffix) {
        file.reset();
        DDSDDebug(name + suffix);
    };
    kw27::RiffChunk riff;
    if (!file->findRiff(kw27::fourCC("WAVE"), riff))
        return fail(QStringLiteral("は、WAVEファイルではありません"));
    kw27::RiffChunk fmt;
    if (!file->findChunk(riff, kw27::fourCC("fmt "), fmt))
        return fail(QStringLiteral("には、fmtチャンクが有りません"));
    std::optional<kw27::SampleLayout> layout;
    if (!readFormat(*file, fmt, format_, layout))
        return fail(QStringLiteral("のfmtチャンクが不正です"));
    file->ascend(fmt);
    kw27::RiffChunk data;
    if (!file->findChunk(riff, kw27::fourCC("data"), data))
        return fail(QStringLiteral("には、dataチャンクが有りません"));
    // The buffer holds no more than the file does, whatever the header claims. Samples of a
    // layout that recorders write are converted to 16-bit mono, the one form every sound is
    // mixed in; any other layout goes to the device as stored, for the device to judge.
    const std::uint64_t inFile = file->remaining();
    const WAVEFORMATEX bufferFormat = layout ? mono16(DWORD(layout->sampleRate)) : format_;
    const std::uint64_t bytes =
        layout ? inFile / layout->blockAlign * sizeof(std::int16_t) : inFile;
    dataSize_ = DWORD(std::min<std::uint64_t>(bytes, UINT32_MAX));

    const DWORD flags =
        (use3D ? waveFlags3D : plainWaveFlags) | (owner->StickyFocus() ? DSBCAPS_STICKYFOCUS : 0);
    const DSBUFFERDESC desc{DSBUFFERDESC_SIZE, flags, dataSize_, 0, &bufferFormat};
    if (DDSDCheck(owner->device()->CreateSoundBuffer(&desc, &buffer_, nullptr),
                  QStringLiteral("サウンドバッファの作成に失敗しました")) != DS_OK) {
        buffer_ = nullptr;
        return;
    }

    void* region1 = nullptr;
    DWORD bytes1 = 0;
    void* region2 = nullptr;
    DWORD bytes2 = 0;
    if (DDSDCheck(buffer_->Lock(0, dataSize_, &region1, &bytes1, &region2, &bytes2, 0),
                  QStringLiteral("LoadWAV中に、サウンドバッファのロックが失敗しました")) == DS_OK) {
        fillRegion(*file, layout, region1, bytes1);
        if (bytes2 != 0)
            fillRegion(*file, layout, region2, bytes2);
        DDSDCheck(buffer_->Unlock(region1, bytes1, region2, bytes2),
                  QStringLiteral("LoadWAV中に、サウンドバッファのアンロックが失敗しました"));
    }
    buffer_->SetFrequency(format_.nSamplesPerSec);
    file.reset();
}

TDDSDWaveData::TDDSDWaveData(TDDSD* owner, const QString& fileName)
    : TDDSDGenWave(owner, fileName, false) {}

TDDSDWave3D::TDDSDWave3D(TDDSD* owner, const QString& fileName)
    : TDDSDGenWave(owner, fileName, true), params3D_(std::make_unique<TDDSDParams3D>()) {}

TDDSDWave3D::~TDDSDWave3D() = default;
