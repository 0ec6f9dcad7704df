#include "DdsdFixture.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

using namespace kw27::ds;

namespace ddsdtest {

std::string le16(std::uint16_t v) {
    return {char(v & 0xFF), char(v >> 8)};
}

std::string le32(std::uint32_t v) {
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

std::string chunk(const std::string& id, const std::string& contents, long long declaredSize) {
    const auto size =
        declaredSize < 0 ? std::uint32_t(contents.size()) : std::uint32_t(declaredSize);
    std::string out = id + le32(size) + contents;
    if (contents.size() % 2 == 1)
        out += '\0';
    return out;
}

std::string riff(const std::string& form, const std::string& chunks) {
    return chunk("RIFF", form + chunks);
}

std::string fmtContents(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                        std::uint16_t bits, int cbSize) {
    const auto align = std::uint16_t(channels * bits / 8);
    std::string out =
        le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
    if (cbSize >= 0)
        out += le16(std::uint16_t(cbSize));
    return out;
}

std::string pcm16(const std::vector<std::int16_t>& samples) {
    std::string out;
    for (std::int16_t s : samples)
        out += le16(std::uint16_t(s));
    return out;
}

std::string wav16(const std::vector<std::int16_t>& samples, std::uint32_t rate) {
    return riff("WAVE", chunk("fmt ", fmtContents(1, 1, rate, 16)) + chunk("data", pcm16(samples)));
}

std::vector<std::int16_t> ramp(int count, int step) {
    std::vector<std::int16_t> out;
    for (int i = 0; i < count; ++i)
        out.push_back(std::int16_t((i + 1) * step));
    return out;
}

void writeFile(const std::string& path, const std::string& bytes) {
    const std::filesystem::path p(path);
    if (p.has_parent_path())
        std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

int openFileCount() {
    // Only files of the working folder, where the tests write what they load: other threads
    // (the font list, the sound server's client) open and close descriptors of their own at
    // any moment.
    const std::string folder = std::filesystem::current_path().string() + '/';
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code gone;
        const std::string target = std::filesystem::read_symlink(entry.path(), gone).string();
        if (!gone && target.starts_with(folder))
            ++count;
    }
    return count;
}

std::vector<int> units(const std::vector<float>& rendered) {
    std::vector<int> out;
    for (float v : rendered)
        out.push_back(int(std::lround(v * 32768.0f)));
    return out;
}

namespace {

HRESULT injected(const FaultyDeviceFactory& factory, Op op) {
    const auto found = factory.faults.find(op);
    return found == factory.faults.end() ? DS_OK : found->second;
}

// A buffer (or primary buffer) passed through, with the 3-D buffer and listener interfaces
// of the same object. Holds one reference on each real interface it has handed out.
class FaultyBuffer final : public IDirectSoundBuffer,
                           public IDirectSound3DBuffer,
                           public IDirectSound3DListener {
public:
    FaultyBuffer(FaultyDeviceFactory& factory, IDirectSoundBuffer* real)
        : factory_(factory), real_(real) {
        ++factory_.liveObjects;
    }
    IDirectSoundBuffer* real() const { return real_; }

    HRESULT QueryInterface(Iid iid, void** object) override {
        *object = nullptr;
        if (iid == Iid::DirectSoundBuffer) {
            *object = static_cast<IDirectSoundBuffer*>(this);
        } else if (iid == Iid::DirectSound3DBuffer) {
            if (HRESULT hr = queryReal(Op::Query3DBuffer, iid, real3D_))
                return hr;
            *object = static_cast<IDirectSound3DBuffer*>(this);
        } else {
            if (HRESULT hr = queryReal(Op::QueryListener, iid, realListener_))
                return hr;
            *object = static_cast<IDirectSound3DListener*>(this);
        }
        refs_.add();
        return DS_OK;
    }
    ULONG AddRef() override { return refs_.add(); }
    ULONG Release() override { return refs_.release(this); }

    // The real object's other interface, asked for once and then held, unless the fault of
    // op is injected.
    template <class Interface> HRESULT queryReal(Op op, Iid iid, Interface*& real) {
        if (HRESULT hr = injected(factory_, op))
            return hr;
        if (!real) {
            void* p = nullptr;
            if (HRESULT hr = real_->QueryInterface(iid, &p))
                return hr;
            real = static_cast<Interface*>(p);
        }
        return DS_OK;
    }

    HRESULT GetCaps(DSBCAPS* caps) override { return real_->GetCaps(caps); }
    HRESULT Lock(DWORD offset, DWORD bytes, void** r1, DWORD* n1, void** r2, DWORD* n2,
                 DWORD flags) override {
        if (HRESULT hr = injected(factory_, Op::Lock))
            return hr;
        return real_->Lock(offset, bytes, r1, n1, r2, n2, flags);
    }
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        return real_->Play(reserved, priority, flags);
    }
    HRESULT SetCurrentPosition(DWORD p) override { return real_->SetCurrentPosition(p); }
    HRESULT SetFrequency(DWORD f) override { return real_->SetFrequency(f); }
    HRESULT Stop() override { return real_->Stop(); }
    HRESULT Unlock(void* r1, DWORD n1, void* r2, DWORD n2) override {
        if (HRESULT hr = injected(factory_, Op::Unlock))
            return hr;
        return real_->Unlock(r1, n1, r2, n2);
    }

    HRESULT GetAllParameters(DS3DBUFFER* p) override { return real3D_->GetAllParameters(p); }
    HRESULT SetAllParameters(const DS3DBUFFER* p, DWORD apply) override {
        if (HRESULT hr = injected(factory_, Op::Set3D))
            return hr;
        return real3D_->SetAllParameters(p, apply);
    }
    HRESULT GetAllParameters(DS3DLISTENER* p) override {
        return realListener_->GetAllParameters(p);
    }
    HRESULT SetAllParameters(const DS3DLISTENER* p, DWORD apply) override {
        if (HRESULT hr = injected(factory_, Op::SetListener))
            return hr;
        return realListener_->SetAllParameters(p, apply);
    }

private:
    friend RefCount;
    ~FaultyBuffer() {
        if (real3D_)
            real3D_->Release();
        if (realListener_)
            realListener_->Release();
        real_->Release();
        --factory_.liveObjects;
    }

    FaultyDeviceFactory& factory_;
    IDirectSoundBuffer* real_;
    IDirectSound3DBuffer* real3D_ = nullptr;
    IDirectSound3DListener* realListener_ = nullptr;
    RefCount refs_;
};

class FaultyDevice final : public IDirectSound {
public:
    FaultyDevice(FaultyDeviceFactory& factory, IDirectSound* real)
        : factory_(factory), real_(real) {
        ++factory_.liveObjects;
    }

    HRESULT QueryInterface(Iid iid, void** object) override {
        return real_->QueryInterface(iid, object);
    }
    ULONG AddRef() override { return refs_.add(); }
    ULONG Release() override { return refs_.release(this); }

    HRESULT SetCooperativeLevel(WindowHandle window, DWORD level) override {
        if (HRESULT hr = injected(factory_, Op::Cooperate))
            return hr;
        return real_->SetCooperativeLevel(window, level);
    }
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                              IUnknown* outer) override {
        *buffer = nullptr;
        const Op op =
            (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) ? Op::CreatePrimary : Op::CreateSecondary;
        if (HRESULT hr = injected(factory_, op))
            return hr;
        IDirectSoundBuffer* real = nullptr;
        if (HRESULT hr = real_->CreateSoundBuffer(desc, &real, outer))
            return hr;
        *buffer = new FaultyBuffer(factory_, real);
        return DS_OK;
    }
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original,
                                 IDirectSoundBuffer** duplicate) override {
        *duplicate = nullptr;
        if (HRESULT hr = injected(factory_, Op::Duplicate))
            return hr;
        auto* wrapped = dynamic_cast<FaultyBuffer*>(original);
        IDirectSoundBuffer* real = nullptr;
        if (HRESULT hr = real_->DuplicateSoundBuffer(wrapped ? wrapped->real() : nullptr, &real))
            return hr;
        *duplicate = new FaultyBuffer(factory_, real);
        return DS_OK;
    }

private:
    friend RefCount;
    ~FaultyDevice() {
        real_->Release();
        --factory_.liveObjects;
    }

    FaultyDeviceFactory& factory_;
    IDirectSound* real_;
    RefCount refs_;
};

} // namespace

HRESULT FaultyDeviceFactory::create(IDirectSound** device) {
    IDirectSound* real = nullptr;
    if (HRESULT hr = loopback.create(&real))
        return hr;
    *device = new FaultyDevice(*this, real);
    return DS_OK;
}

DeviceOnWindow::DeviceOnWindow(int channelCount, bool use3D, bool stickyFocus)
    : ddsd(new TDDSD(&window)) {
    ddsd->setChannelCount(channelCount);
    ddsd->setUse3D(use3D);
    ddsd->setStickyFocus(stickyFocus);
    ddsd->Loaded();
}

DWORD bufferFlags(IDirectSoundBuffer* buffer) {
    DSBCAPS caps{sizeof(DSBCAPS), 0, 0, 0, 0};
    if (buffer == nullptr || buffer->GetCaps(&caps) != DS_OK)
        return 0xFFFFFFFF;
    return caps.dwFlags;
}

} // namespace ddsdtest
