#pragma once

// Helpers for the sound unit's tests: WAV files made byte by byte, devices that render into
// memory, and a device that fails chosen operations with chosen codes.

#include "MixingDevice.h"
#include "ddsd.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ddsdtest {

std::string le16(std::uint16_t v);
std::string le32(std::uint32_t v);
// id, declared size, contents and the pad byte of an odd size. declaredSize < 0: the real size.
std::string chunk(const std::string& id, const std::string& contents, long long declaredSize = -1);
std::string riff(const std::string& form, const std::string& chunks);
// The 16-byte plain layout, or 18 bytes with the extra-bytes field when cbSize >= 0.
std::string fmtContents(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
                        std::uint16_t bits, int cbSize = -1);
std::string pcm16(const std::vector<std::int16_t>& samples);
// A plain 16-bit mono WAV file.
std::string wav16(const std::vector<std::int16_t>& samples, std::uint32_t rate = 44100);

// Sample i is (i + 1) * step: each position of the sound has its own value.
std::vector<std::int16_t> ramp(int count, int step = 8);

// Writes bytes to a path under the working folder, making its folders.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
// The descriptors this process has open on files of the working folder, to see that a file
// was closed again.
int openFileCount();

// Rendered output in 16-bit sample units.
std::vector<int> units(const std::vector<float>& rendered);

// Operations a FaultyDeviceFactory can make fail.
enum class Op {
    Cooperate,
    CreatePrimary,
    CreateSecondary,
    Duplicate,
    Lock,
    Unlock,
    QueryListener,
    Query3DBuffer,
    SetListener,
    Set3D
};

// Makes a factory the unit's device factory, for its lifetime.
class FactoryScope {
public:
    explicit FactoryScope(kw27::ds::DeviceFactory* factory)
        : previous_(kw27::ds::setDeviceFactory(factory)) {}
    ~FactoryScope() { kw27::ds::setDeviceFactory(previous_); }
    FactoryScope(const FactoryScope&) = delete;
    FactoryScope& operator=(const FactoryScope&) = delete;

private:
    kw27::ds::DeviceFactory* previous_;
};

// An operation made to fail, and the message the unit raises for it.
struct InjectedFault {
    Op op;
    kw27::ds::HRESULT code;
    const char* message;
};

// Devices on the loopback mixer whose chosen operations fail with chosen codes; everything
// else is passed through. Counts its live objects, so that a test sees every release.
class FaultyDeviceFactory : public kw27::ds::DeviceFactory {
public:
    kw27::ds::HRESULT create(kw27::ds::IDirectSound** device) override;

    void fail(Op op, kw27::ds::HRESULT code) { faults[op] = code; }
    std::vector<int> render(std::size_t frames) { return units(loopback.render(frames)); }

    std::map<Op, kw27::ds::HRESULT> faults;
    int liveObjects = 0;
    kw27::ds::LoopbackDeviceFactory loopback;

private:
    FactoryScope installed_{this};
};

// The loopback mixer as the unit's device, for its lifetime.
class LoopbackScope {
public:
    std::vector<int> render(std::size_t frames) { return units(factory.render(frames)); }
    kw27::ds::LoopbackDeviceFactory factory;

private:
    FactoryScope installed_{&factory};
};

// An output that cannot be opened (no sound card), for its lifetime.
class NoDeviceScope {
    kw27::ds::OpenAlDeviceFactory missing_{"no such output device"};
    FactoryScope installed_{&missing_};
};

// The device component on a window, as a form holds it, after its after-loading step.
struct DeviceOnWindow {
    explicit DeviceOnWindow(int channelCount = 21, bool use3D = false, bool stickyFocus = true);
    QWidget window;
    TDDSD* ddsd;
};

// Flags the buffer was made with.
kw27::ds::DWORD bufferFlags(kw27::ds::IDirectSoundBuffer* buffer);

} // namespace ddsdtest
