#include "MixingDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

using namespace kw27::ds;

namespace {

constexpr DWORD kPlain =
    DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
constexpr DWORD k3D = DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLVOLUME;

WAVEFORMATEX pcm(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    const auto align = static_cast<std::uint16_t>(channels * bits / 8);
    return WAVEFORMATEX{WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
}

// Sample i of a ramp is (i + 1) * 8: every position of the sound has its own value.
std::vector<std::int16_t> ramp(int count) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>((i + 1) * 8);
    return samples;
}

// Rendered output back in 16-bit sample units.
std::vector<int> units(const std::vector<float>& rendered) {
    std::vector<int> out;
    for (float v : rendered)
        out.push_back(static_cast<int>(std::lround(v * 32768.0f)));
    return out;
}

class MixingDevice : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = setDeviceFactory(&factory_);
        ASSERT_EQ(DirectSoundCreate(nullptr, &device_, nullptr), DS_OK);
        ASSERT_EQ(device_->SetCooperativeLevel(1, DSSCL_NORMAL), DS_OK);
    }
    void TearDown() override {
        for (IUnknown* object : owned_)
            object->Release();
        if (device_)
            device_->Release();
        setDeviceFactory(previous_);
    }

    // A filled buffer that the fixture releases at the end.
    IDirectSoundBuffer* makeBuffer(const std::vector<std::int16_t>& samples, DWORD flags = kPlain,
                                   std::uint32_t rate = 44100) {
        IDirectSoundBuffer* buffer = create(samples.size() * 2, flags, pcm(1, rate, 16));
        if (buffer == nullptr)
            return nullptr;
        void* region = nullptr;
        DWORD bytes = 0;
        EXPECT_EQ(buffer->Lock(0, DWORD(samples.size() * 2), &region, &bytes, nullptr, nullptr, 0),
                  DS_OK);
        std::memcpy(region, samples.data(), bytes);
        EXPECT_EQ(buffer->Unlock(region, bytes, nullptr, 0), DS_OK);
        return buffer;
    }

    IDirectSoundBuffer* create(std::size_t bytes, DWORD flags, const WAVEFORMATEX& format) {
        const DSBUFFERDESC desc{DSBUFFERDESC_SIZE, flags, DWORD(bytes), 0, &format};
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(device_->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
        if (buffer)
            owned_.push_back(buffer);
        return buffer;
    }

    IDirectSoundBuffer* duplicate(IDirectSoundBuffer* original) {
        IDirectSoundBuffer* copy = nullptr;
        EXPECT_EQ(device_->DuplicateSoundBuffer(original, &copy), DS_OK);
        if (copy)
            owned_.push_back(copy);
        return copy;
    }

    std::vector<int> render(std::size_t frames) { return units(factory_.render(frames)); }

    // Renders one mixing period: samples from frame `from` on, fading out to silence.
    void expectFadingOut(const std::vector<std::int16_t>& samples, std::size_t from) {
        const std::size_t fade = factory_.periodFrames();
        const auto fading = render(fade);
        for (std::size_t i = 0; i < fade; ++i) {
            const double gain = 1.0 - double(i) / double(fade);
            ASSERT_NEAR(fading[i], samples[(from + i) % samples.size()] * gain, 1.0)
                << "frame " << i;
        }
    }

    // The level once a change of 3-D parameters has faded in.
    int settled() {
        render(4096);
        return render(1).back();
    }

    LoopbackDeviceFactory factory_;
    DeviceFactory* previous_ = nullptr;
    IDirectSound* device_ = nullptr;
    std::vector<IUnknown*> owned_;
};

TEST_F(MixingDevice, CreateSoundBufferAcceptsPlayableStaticBuffersAndRefusesTheRest) {
    struct Row {
        const char* what;
        std::function<void(DSBUFFERDESC&, WAVEFORMATEX&)> change;
        HRESULT expected;
    };
    const Row rows[] = {
        {"plain 16-bit mono", [](DSBUFFERDESC&, WAVEFORMATEX&) {}, DS_OK},
        {"with sticky focus",
         [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwFlags |= DSBCAPS_STICKYFOCUS; }, DS_OK},
        {"8-bit stereo", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f = pcm(2, 22050, 8); }, DS_OK},
        {"largest size", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwBufferBytes = DSBSIZE_MAX; },
         DS_OK},
        {"3-D mono", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwFlags = k3D; }, DS_OK},
        {"record size of another version",
         [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwSize = sizeof(DSBUFFERDESC); },
         DSERR_INVALIDPARAM},
        {"reserved set", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwReserved = 1; },
         DSERR_INVALIDPARAM},
        {"unknown flag", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwFlags |= 0x80000000u; },
         DSERR_INVALIDPARAM},
        {"3-D with pan", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwFlags = k3D | DSBCAPS_CTRLPAN; },
         DSERR_INVALIDPARAM},
        {"streaming buffer", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwFlags &= ~DSBCAPS_STATIC; },
         DSERR_UNSUPPORTED},
        {"position notification",
         [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwFlags |= DSBCAPS_CTRLPOSITIONNOTIFY; },
         DSERR_UNSUPPORTED},
        {"no format", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.lpwfxFormat = nullptr; },
         DSERR_INVALIDPARAM},
        {"too small", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwBufferBytes = 3; },
         DSERR_INVALIDPARAM},
        {"too large", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.dwBufferBytes = DSBSIZE_MAX + 1; },
         DSERR_INVALIDPARAM},
        {"float",
         [](DSBUFFERDESC&, WAVEFORMATEX& f) {
             f = pcm(1, 44100, 32);
             f.wFormatTag = 3;
         },
         DSERR_BADFORMAT},
        {"compressed", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f.wFormatTag = 2; }, DSERR_BADFORMAT},
        {"24-bit", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f = pcm(1, 44100, 24); }, DSERR_BADFORMAT},
        {"three channels", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f = pcm(3, 44100, 16); },
         DSERR_BADFORMAT},
        {"block size wrong", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f.nBlockAlign = 4; },
         DSERR_BADFORMAT},
        {"rate too low", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f = pcm(1, 99, 16); },
         DSERR_BADFORMAT},
        {"rate too high", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f = pcm(1, 200001, 16); },
         DSERR_BADFORMAT},
        {"3-D stereo",
         [](DSBUFFERDESC& d, WAVEFORMATEX& f) {
             d.dwFlags = k3D;
             f = pcm(2, 44100, 16);
         },
         DSERR_BADFORMAT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WAVEFORMATEX format = pcm(1, 44100, 16);
        DSBUFFERDESC desc{DSBUFFERDESC_SIZE, kPlain, 4000, 0, &format};
        row.change(desc, format);
        IDirectSoundBuffer* buffer = reinterpret_cast<IDirectSoundBuffer*>(1);
        EXPECT_EQ(device_->CreateSoundBuffer(&desc, &buffer, nullptr), row.expected);
        if (row.expected == DS_OK) {
            ASSERT_NE(buffer, nullptr);
            DSBCAPS caps{sizeof(DSBCAPS), 0, 0, 0, 0};
            EXPECT_EQ(buffer->GetCaps(&caps), DS_OK);
            EXPECT_EQ(caps.dwFlags, desc.dwFlags);
            EXPECT_EQ(caps.dwBufferBytes, desc.dwBufferBytes);
            EXPECT_EQ(buffer->Release(), 0u);
        } else {
            EXPECT_EQ(buffer, nullptr);
        }
    }
}

TEST_F(MixingDevice, CreateSoundBufferChecksItsCallerAndTheCooperativeLevel) {
    WAVEFORMATEX format = pcm(1, 44100, 16);
    const DSBUFFERDESC desc{DSBUFFERDESC_SIZE, kPlain, 400, 0, &format};
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(device_->CreateSoundBuffer(&desc, &buffer, reinterpret_cast<IUnknown*>(device_)),
              DSERR_NOAGGREGATION);
    EXPECT_EQ(device_->CreateSoundBuffer(nullptr, &buffer, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(device_->CreateSoundBuffer(&desc, nullptr, nullptr), DSERR_INVALIDPARAM);

    IDirectSound* fresh = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &fresh, nullptr), DS_OK);
    EXPECT_EQ(fresh->CreateSoundBuffer(&desc, &buffer, nullptr), DSERR_PRIOLEVELNEEDED);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(fresh->Release(), 0u);
}

TEST_F(MixingDevice, CooperativeLevelNeedsAWindowAndAKnownLevel) {
    struct Row {
        WindowHandle window;
        DWORD level;
        HRESULT expected;
    };
    const Row rows[] = {{7, DSSCL_NORMAL, DS_OK},
                        {7, 2, DSERR_INVALIDPARAM},
                        {0, DSSCL_NORMAL, DSERR_INVALIDPARAM},
                        {7, 0, DSERR_INVALIDPARAM},
                        {7, 5, DSERR_INVALIDPARAM}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.window << " " << row.level);
        EXPECT_EQ(device_->SetCooperativeLevel(row.window, row.level), row.expected);
    }
}

TEST_F(MixingDevice, ReleaseReturnsTheReferencesThatRemainAcrossInterfaces) {
    EXPECT_EQ(device_->AddRef(), 2u);
    EXPECT_EQ(device_->Release(), 1u);

    IDirectSoundBuffer* buffer = makeBuffer(ramp(10), k3D);
    owned_.clear();
    EXPECT_EQ(buffer->AddRef(), 2u);
    void* interface3D = nullptr;
    ASSERT_EQ(buffer->QueryInterface(Iid::DirectSound3DBuffer, &interface3D), DS_OK);
    auto* buffer3D = static_cast<IDirectSound3DBuffer*>(interface3D);
    EXPECT_EQ(buffer3D->AddRef(), 4u);
    EXPECT_EQ(buffer3D->Release(), 3u);
    EXPECT_EQ(buffer3D->Release(), 2u);
    EXPECT_EQ(buffer->Release(), 1u);
    EXPECT_EQ(buffer->Release(), 0u);
}

TEST_F(MixingDevice, QueryInterfaceOffersOnlyWhatTheObjectWasMadeWith) {
    IDirectSoundBuffer* plain = makeBuffer(ramp(10));
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(plain->QueryInterface(Iid::DirectSound3DBuffer, &object), DSERR_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(plain->QueryInterface(Iid::DirectSound3DListener, &object), DSERR_NOINTERFACE);
    EXPECT_EQ(device_->QueryInterface(Iid::DirectSoundBuffer, &object), DSERR_NOINTERFACE);
    ASSERT_EQ(plain->QueryInterface(Iid::DirectSoundBuffer, &object), DS_OK);
    EXPECT_EQ(object, static_cast<void*>(plain));
    EXPECT_EQ(plain->Release(), 1u);
}

TEST_F(MixingDevice, LockWrapsIntoTwoRegionsAndUnwrittenBytesAreSilent) {
    IDirectSoundBuffer* buffer = create(16, kPlain, pcm(1, 44100, 16));
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    ASSERT_EQ(buffer->Lock(10, 12, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
    ASSERT_EQ(firstBytes, 6u);
    ASSERT_EQ(secondBytes, 6u);
    EXPECT_EQ(static_cast<char*>(first) - static_cast<char*>(second), 10);
    const std::int16_t tail[3] = {600, 700, 800};
    const std::int16_t head[3] = {100, 200, 300};
    std::memcpy(first, tail, 6);
    std::memcpy(second, head, 6);
    ASSERT_EQ(buffer->Unlock(first, 6, second, 6), DS_OK);

    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(render(10), (std::vector<int>{100, 200, 300, 0, 0, 600, 700, 800, 0, 0}));
}

TEST_F(MixingDevice, LockAndUnlockFollowTheirRules) {
    IDirectSoundBuffer* buffer = create(16, kPlain, pcm(1, 44100, 16));
    void* region = nullptr;
    void* region2 = nullptr;
    DWORD bytes = 0, bytes2 = 0;
    EXPECT_EQ(buffer->Lock(0, 0, &region, &bytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(16, 2, &region, &bytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(0, 17, &region, &bytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Lock(8, 16, &region, &bytes, nullptr, nullptr, 0), DSERR_INVALIDPARAM)
        << "a wrapping range needs somewhere to put the second region";
    EXPECT_EQ(buffer->Unlock(region, 2, nullptr, 0), DSERR_INVALIDCALL);

    EXPECT_EQ(buffer->Lock(0, 16, &region, &bytes, nullptr, nullptr, 1), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Lock(4, 16, &region, &bytes, &region2, &bytes2, 0), DS_OK);
    EXPECT_EQ(bytes, 12u);
    EXPECT_EQ(bytes2, 4u);
    void* other = nullptr;
    EXPECT_EQ(buffer->Lock(0, 2, &other, &bytes, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(buffer->Unlock(static_cast<char*>(region) + 2, 2, region2, 4), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(region, 14, region2, 4), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Unlock(region, 12, region2, 4), DS_OK);
    EXPECT_EQ(buffer->Lock(0, 2, &region, &bytes, nullptr, nullptr, 0), DSERR_INVALIDCALL)
        << "a static buffer is written once";
}

TEST_F(MixingDevice, AnEmptyBufferCannotPlay) {
    IDirectSoundBuffer* buffer = create(16, kPlain, pcm(1, 44100, 16));
    EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DSERR_INVALIDCALL);
    IDirectSoundBuffer* copy = duplicate(buffer);
    EXPECT_EQ(copy->Play(0, 0, 0), DSERR_INVALIDCALL);
}

TEST_F(MixingDevice, PlayRendersTheSamplesOnceOrLooping) {
    const auto samples = ramp(100);
    IDirectSoundBuffer* once = makeBuffer(samples);
    ASSERT_EQ(once->Play(0, 0, 0), DS_OK);
    const auto first = render(120);
    for (int i = 0; i < 120; ++i)
        ASSERT_EQ(first[size_t(i)], i < 100 ? samples[size_t(i)] : 0) << "frame " << i;

    IDirectSoundBuffer* looping = makeBuffer(samples);
    ASSERT_EQ(looping->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto second = render(350);
    for (int i = 0; i < 350; ++i)
        ASSERT_EQ(second[size_t(i)], samples[size_t(i % 100)]) << "frame " << i;

    EXPECT_EQ(looping->Play(1, 0, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(looping->Play(0, 1, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(looping->Play(0, 0, 2), DSERR_INVALIDPARAM);
}

// A stop fades the buffer out over the next mixing period, then it stays where it stopped;
// played again from there, it fades in over the first period (the mixer's own guard against
// starting in the middle of a sound).
TEST_F(MixingDevice, StopFadesOutKeepsThePositionAndPlayGoesOnFromIt) {
    const auto samples = ramp(100);
    IDirectSoundBuffer* buffer = makeBuffer(samples);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(30);
    EXPECT_EQ(buffer->Stop(), DS_OK);
    expectFadingOut(samples, 30);
    EXPECT_EQ(render(10), std::vector<int>(10, 0));
    EXPECT_EQ(buffer->Stop(), DS_OK);
    EXPECT_EQ(render(10), std::vector<int>(10, 0));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const std::size_t fade = factory_.periodFrames();
    const auto resumed = render(fade);
    for (std::size_t i = 0; i < fade; ++i) {
        const double gain = double(i) / double(fade);
        ASSERT_NEAR(resumed[i], samples[(30 + fade + i) % 100] * gain, 1.0) << "frame " << i;
    }
}

// A buffer stopped and released at once (a program closing mid-chord) goes on fading out as
// the stop began it, instead of cutting off with a click; the device outlives the fade. A
// buffer released while it plays, not stopped, falls silent at once.
TEST_F(MixingDevice, ABufferReleasedWhileItsStopFadesFadesOut) {
    for (const bool viaDuplicate : {false, true}) {
        SCOPED_TRACE(viaDuplicate ? "a duplicate" : "a buffer of its own");
        const auto samples = ramp(100);
        IDirectSoundBuffer* original = makeBuffer(samples);
        IDirectSoundBuffer* released = viaDuplicate ? duplicate(original) : original;
        std::erase(owned_, released);
        ASSERT_EQ(released->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
        render(30);
        EXPECT_EQ(released->Stop(), DS_OK);
        EXPECT_EQ(released->Release(), 0u);
        expectFadingOut(samples, 30);
        EXPECT_EQ(render(10), std::vector<int>(10, 0));
    }
    IDirectSoundBuffer* playing = makeBuffer(ramp(100));
    std::erase(owned_, playing);
    ASSERT_EQ(playing->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(30);
    EXPECT_EQ(playing->Release(), 0u);
    EXPECT_EQ(render(10), std::vector<int>(10, 0));
}

// A loud start is faded in from silence once; the loop then joins the sound's end to its own
// start, as the sound was made, with no fade at every turn.
TEST_F(MixingDevice, ALoudSoundFadesInOnceAndLoopsAsItIs) {
    std::vector<std::int16_t> samples(400);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::int16_t(8000 + 4 * i);
    IDirectSoundBuffer* buffer = makeBuffer(samples);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto out = render(1200);
    const std::size_t fade = 44100 / 500;
    EXPECT_EQ(out[0], 0);
    for (std::size_t i = 1; i < fade; ++i)
        ASSERT_LT(out[i], samples[i]) << "frame " << i << " fades in";
    for (std::size_t i = fade; i < out.size(); ++i)
        ASSERT_EQ(out[i], samples[i % 400]) << "frame " << i;
}

TEST_F(MixingDevice, SetCurrentPositionMovesAPlayingOrStoppedBufferToWholeFrames) {
    const auto samples = ramp(100);
    IDirectSoundBuffer* buffer = makeBuffer(samples);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(40);
    ASSERT_EQ(buffer->SetCurrentPosition(0), DS_OK);
    EXPECT_EQ(render(3), (std::vector<int>{samples[0], samples[1], samples[2]}));

    ASSERT_EQ(buffer->Stop(), DS_OK);
    ASSERT_EQ(buffer->SetCurrentPosition(21), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(render(2), (std::vector<int>{samples[10], samples[11]}));
    EXPECT_EQ(buffer->SetCurrentPosition(200), DSERR_INVALIDPARAM);
}

TEST_F(MixingDevice, PlayingAPlayingBufferChangesOnlyItsLooping) {
    const auto samples = ramp(100);
    IDirectSoundBuffer* buffer = makeBuffer(samples);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(40);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(render(2), (std::vector<int>{samples[40], samples[41]}));
    const auto rest = render(70);
    EXPECT_EQ(rest[57], samples[99]);
    EXPECT_EQ(rest[58], 0) << "no longer looping";
}

TEST_F(MixingDevice, DuplicatesShareSamplesButPlayOnTheirOwn) {
    const auto samples = ramp(200);
    IDirectSoundBuffer* original = makeBuffer(samples);
    IDirectSoundBuffer* copy = duplicate(original);
    EXPECT_EQ(render(5), std::vector<int>(5, 0));

    ASSERT_EQ(original->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    render(50);
    ASSERT_EQ(copy->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto both = render(5);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(both[size_t(k)], samples[size_t(50 + k)] + samples[size_t(k)]);

    ASSERT_EQ(original->Stop(), DS_OK);
    const std::size_t fade = factory_.periodFrames();
    render(fade);
    const auto copyAlone = render(3);
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_EQ(copyAlone[k], samples[(5 + fade + k) % 200]);
}

TEST_F(MixingDevice, DuplicatesKeepPlayingWhenTheOriginalAndTheDeviceAreGone) {
    const auto samples = ramp(100);
    IDirectSoundBuffer* original = makeBuffer(samples);
    owned_.clear();
    IDirectSoundBuffer* copy = duplicate(original);
    EXPECT_EQ(original->Release(), 0u);
    EXPECT_EQ(device_->Release(), 0u);
    device_ = nullptr;
    ASSERT_EQ(copy->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto out = render(150);
    for (int i = 0; i < 150; ++i)
        ASSERT_EQ(out[size_t(i)], samples[size_t(i % 100)]) << "frame " << i;
}

TEST_F(MixingDevice, DuplicateNeedsASecondaryBufferOfTheSameDevice) {
    IDirectSoundBuffer* copy = reinterpret_cast<IDirectSoundBuffer*>(1);
    EXPECT_EQ(device_->DuplicateSoundBuffer(nullptr, &copy), DSERR_INVALIDPARAM);
    EXPECT_EQ(copy, nullptr);

    const DSBUFFERDESC primaryDesc{DSBUFFERDESC_SIZE, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(device_->CreateSoundBuffer(&primaryDesc, &primary, nullptr), DS_OK);
    owned_.push_back(primary);
    EXPECT_EQ(device_->DuplicateSoundBuffer(primary, &copy), DSERR_INVALIDCALL);

    IDirectSoundBuffer* buffer = makeBuffer(ramp(10));
    IDirectSound* other = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &other, nullptr), DS_OK);
    EXPECT_EQ(other->DuplicateSoundBuffer(buffer, &copy), DSERR_INVALIDPARAM);
    other->Release();
}

TEST_F(MixingDevice, FrequencySetsThePitchAgainstTheSoundsOwnRate) {
    const auto samples = ramp(400);
    IDirectSoundBuffer* buffer = makeBuffer(samples);
    struct Row {
        DWORD frequency;
        HRESULT expected;
    };
    const Row rows[] = {{DSBFREQUENCY_ORIGINAL, DS_OK},
                        {DSBFREQUENCY_MIN, DS_OK},
                        {DSBFREQUENCY_MAX, DS_OK},
                        {DSBFREQUENCY_MIN - 1, DSERR_INVALIDPARAM},
                        {DSBFREQUENCY_MAX + 1, DSERR_INVALIDPARAM},
                        {22050, DS_OK}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.frequency);
        EXPECT_EQ(buffer->SetFrequency(row.frequency), row.expected);
    }

    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    const auto halfSpeed = render(100);
    for (std::size_t k = 0; k < 50; ++k)
        ASSERT_EQ(halfSpeed[2 * k], samples[k]) << "half speed: sample " << k;

    IDirectSoundBuffer* fixed = makeBuffer(samples, DSBCAPS_STATIC);
    EXPECT_EQ(fixed->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
}

DS3DBUFFER bufferParams(float z, float minDistance, DWORD mode = DS3DMODE_NORMAL) {
    return DS3DBUFFER{sizeof(DS3DBUFFER), {0, 0, z}, {0, 0, 0},   360,     360,
                      {0, 0, 1.0f},       0,         minDistance, 1000.0f, mode};
}

DS3DLISTENER listenerParams() {
    return DS3DLISTENER{sizeof(DS3DLISTENER), {0, 0, 0}, {0, 0, 0}, {0, 0, 1.0f},
                        {0, 1.0f, 0},         1.0f,      1.0f,      1.0f};
}

IDirectSound3DBuffer* as3D(IDirectSoundBuffer* buffer) {
    void* object = nullptr;
    EXPECT_EQ(buffer->QueryInterface(Iid::DirectSound3DBuffer, &object), DS_OK);
    return static_cast<IDirectSound3DBuffer*>(object);
}

// A valid 3-D record spoiled in one way.
template <typename Params> struct Spoiled {
    const char* what;
    std::function<void(Params&)> spoil;
};

// Every spoiled copy of valid is refused.
template <typename Interface, typename Params>
void expectRefused(Interface* object, const Params& valid,
                   std::initializer_list<Spoiled<Params>> spoiled) {
    for (const Spoiled<Params>& row : spoiled) {
        SCOPED_TRACE(row.what);
        Params params = valid;
        row.spoil(params);
        EXPECT_EQ(object->SetAllParameters(&params, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    }
}

TEST_F(MixingDevice, ThreeDParametersAreCheckedKeptAndHeardAsDistance) {
    const std::vector<std::int16_t> loud(64, 8000);
    IDirectSoundBuffer* buffer = makeBuffer(loud, k3D);
    IDirectSound3DBuffer* buffer3D = as3D(buffer);
    owned_.push_back(buffer3D);

    DS3DBUFFER initial{sizeof(DS3DBUFFER), {}, {}, 0, 0, {}, 0, 0, 0, 0};
    ASSERT_EQ(buffer3D->GetAllParameters(&initial), DS_OK);
    EXPECT_EQ(initial.dwInsideConeAngle, 360u);
    EXPECT_EQ(initial.flMinDistance, 1.0f);
    EXPECT_EQ(initial.flMaxDistance, 1.0e9f);

    expectRefused(
        buffer3D, bufferParams(0, 5.0f),
        {
            {"record size", [](DS3DBUFFER& p) { p.dwSize = 60; }},
            {"NaN position", [](DS3DBUFFER& p) { p.vPosition.x = std::nanf(""); }},
            {"infinite velocity", [](DS3DBUFFER& p) { p.vVelocity.y = INFINITY; }},
            {"cone beyond a circle", [](DS3DBUFFER& p) { p.dwOutsideConeAngle = 361; }},
            {"inside cone wider",
             [](DS3DBUFFER& p) { p.dwInsideConeAngle = 90, p.dwOutsideConeAngle = 45; }},
            {"outside volume above 0", [](DS3DBUFFER& p) { p.lConeOutsideVolume = 1; }},
            {"outside volume below -10000", [](DS3DBUFFER& p) { p.lConeOutsideVolume = -10001; }},
            {"minimum distance 0", [](DS3DBUFFER& p) { p.flMinDistance = 0; }},
            {"maximum below minimum", [](DS3DBUFFER& p) { p.flMaxDistance = 4.0f; }},
            {"unknown mode", [](DS3DBUFFER& p) { p.dwMode = 3; }},
        });
    const DS3DBUFFER inFront = bufferParams(10.0f, 5.0f);
    EXPECT_EQ(buffer3D->SetAllParameters(&inFront, DS3D_DEFERRED), DSERR_UNSUPPORTED);
    EXPECT_EQ(buffer3D->SetAllParameters(&inFront, 2), DSERR_INVALIDPARAM);

    // Inverse distance, clamped: at twice the minimum distance the sound is half as loud.
    ASSERT_EQ(buffer3D->SetAllParameters(&inFront, DS3D_IMMEDIATE), DS_OK);
    DS3DBUFFER kept{sizeof(DS3DBUFFER), {}, {}, 0, 0, {}, 0, 0, 0, 0};
    ASSERT_EQ(buffer3D->GetAllParameters(&kept), DS_OK);
    EXPECT_EQ(std::memcmp(&kept, &inFront, sizeof kept), 0);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_NEAR(settled(), 4000, 1);

    const DS3DBUFFER near = bufferParams(2.0f, 5.0f);
    ASSERT_EQ(buffer3D->SetAllParameters(&near, DS3D_IMMEDIATE), DS_OK);
    EXPECT_NEAR(settled(), 8000, 1) << "nearer than the minimum distance: no attenuation";

    const DS3DBUFFER disabled = bufferParams(10.0f, 5.0f, DS3DMODE_DISABLE);
    ASSERT_EQ(buffer3D->SetAllParameters(&disabled, DS3D_IMMEDIATE), DS_OK);
    EXPECT_NEAR(settled(), 8000, 1) << "3-D processing off";
}

TEST_F(MixingDevice, TheListenerCarriesPositionAndRollOffToEveryThreeDBuffer) {
    const DSBUFFERDESC plainPrimary{DSBUFFERDESC_SIZE, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(device_->CreateSoundBuffer(&plainPrimary, &primary, nullptr), DS_OK);
    owned_.push_back(primary);
    void* object = nullptr;
    EXPECT_EQ(primary->QueryInterface(Iid::DirectSound3DListener, &object), DSERR_NOINTERFACE);

    const DSBUFFERDESC primary3D{DSBUFFERDESC_SIZE, DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, 0,
                                 nullptr};
    IDirectSoundBuffer* again = nullptr;
    ASSERT_EQ(device_->CreateSoundBuffer(&primary3D, &again, nullptr), DS_OK);
    owned_.push_back(again);
    EXPECT_EQ(again, primary) << "one primary buffer per device";
    ASSERT_EQ(primary->QueryInterface(Iid::DirectSound3DListener, &object), DS_OK);
    auto* listener = static_cast<IDirectSound3DListener*>(object);
    owned_.push_back(listener);

    expectRefused(listener, listenerParams(),
                  {
                      {"record size", [](DS3DLISTENER& p) { p.dwSize = 0; }},
                      {"NaN position", [](DS3DLISTENER& p) { p.vPosition.z = std::nanf(""); }},
                      {"no front",
                       [](DS3DLISTENER& p) {
                           p.vOrientFront = {0, 0, 0};
                       }},
                      {"no top",
                       [](DS3DLISTENER& p) {
                           p.vOrientTop = {0, 0, 0};
                       }},
                      {"top along front",
                       [](DS3DLISTENER& p) {
                           p.vOrientTop = {0, 0, -2.0f};
                       }},
                      {"distance factor 0", [](DS3DLISTENER& p) { p.flDistanceFactor = 0; }},
                      {"roll-off above 10", [](DS3DLISTENER& p) { p.flRolloffFactor = 10.5f; }},
                      {"negative Doppler", [](DS3DLISTENER& p) { p.flDopplerFactor = -1.0f; }},
                  });

    const std::vector<std::int16_t> loud(64, 9000);
    IDirectSoundBuffer* buffer = makeBuffer(loud, k3D);
    IDirectSound3DBuffer* buffer3D = as3D(buffer);
    owned_.push_back(buffer3D);
    const DS3DBUFFER inFront = bufferParams(10.0f, 5.0f);
    ASSERT_EQ(buffer3D->SetAllParameters(&inFront, DS3D_IMMEDIATE), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);

    DS3DLISTENER steeper = listenerParams();
    steeper.flRolloffFactor = 2.0f;
    ASSERT_EQ(listener->SetAllParameters(&steeper, DS3D_IMMEDIATE), DS_OK);
    EXPECT_NEAR(settled(), 3000, 1) << "5 / (5 + 2 * 5) of the level";

    DS3DLISTENER moved = listenerParams();
    moved.vPosition = {0, 0, 10.0f};
    ASSERT_EQ(listener->SetAllParameters(&moved, DS3D_IMMEDIATE), DS_OK);
    EXPECT_NEAR(settled(), 9000, 1) << "the listener stands at the sound";

    const DS3DBUFFER headRelative = bufferParams(10.0f, 5.0f, DS3DMODE_HEADRELATIVE);
    ASSERT_EQ(buffer3D->SetAllParameters(&headRelative, DS3D_IMMEDIATE), DS_OK);
    EXPECT_NEAR(settled(), 4500, 1) << "10 units from the listener wherever it stands";

    DS3DLISTENER kept{};
    kept.dwSize = sizeof kept;
    ASSERT_EQ(listener->GetAllParameters(&kept), DS_OK);
    EXPECT_EQ(std::memcmp(&kept, &moved, sizeof kept), 0);
}

TEST_F(MixingDevice, ThePrimaryBufferStandsForTheMixAndCannotBeWritten) {
    WAVEFORMATEX format = pcm(1, 44100, 16);
    IDirectSoundBuffer* primary = nullptr;
    const DSBUFFERDESC withBytes{DSBUFFERDESC_SIZE, DSBCAPS_PRIMARYBUFFER, 100, 0, nullptr};
    EXPECT_EQ(device_->CreateSoundBuffer(&withBytes, &primary, nullptr), DSERR_INVALIDPARAM);
    const DSBUFFERDESC withFormat{DSBUFFERDESC_SIZE, DSBCAPS_PRIMARYBUFFER, 0, 0, &format};
    EXPECT_EQ(device_->CreateSoundBuffer(&withFormat, &primary, nullptr), DSERR_INVALIDPARAM);
    const DSBUFFERDESC good{DSBUFFERDESC_SIZE, DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    ASSERT_EQ(device_->CreateSoundBuffer(&good, &primary, nullptr), DS_OK);
    owned_.push_back(primary);
    void* region = nullptr;
    DWORD bytes = 0;
    EXPECT_EQ(primary->Lock(0, 4, &region, &bytes, nullptr, nullptr, 0), DSERR_INVALIDCALL);
    EXPECT_EQ(primary->SetCurrentPosition(0), DSERR_INVALIDCALL);
    EXPECT_EQ(primary->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DSERR_INVALIDCALL);
    EXPECT_EQ(primary->Stop(), DSERR_INVALIDCALL);
}

TEST(MixingDeviceCreation, NoOutputMeansNoDevice) {
    OpenAlDeviceFactory missing("no such output device");
    DeviceFactory* previous = setDeviceFactory(&missing);
    IDirectSound* device = reinterpret_cast<IDirectSound*>(1);
    EXPECT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
    setDeviceFactory(previous);

    static const int someGuid = 0;
    EXPECT_EQ(DirectSoundCreate(&someGuid, &device, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(DirectSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
}

TEST(MixingDeviceCreation, TheDefaultOutputOpensOnTheSilentDriver) {
    // The tests run with OpenAL's null output, which mixes in real time without a sound card.
    IDirectSound* device = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
    ASSERT_EQ(device->SetCooperativeLevel(1, DSSCL_NORMAL), DS_OK);
    WAVEFORMATEX format = pcm(1, 44100, 16);
    const DSBUFFERDESC desc{DSBUFFERDESC_SIZE, kPlain, 8, 0, &format};
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    EXPECT_EQ(buffer->Release(), 0u);
    EXPECT_EQ(device->Release(), 0u);
}

TEST(MixingDeviceCreation, ALoopbackFactoryRendersNothingWithoutALiveDevice) {
    LoopbackDeviceFactory factory;
    EXPECT_TRUE(factory.render(16).empty());
    IDirectSound* device = nullptr;
    ASSERT_EQ(factory.create(&device), DS_OK);
    EXPECT_EQ(factory.render(16), std::vector<float>(16, 0.0f));
    device->Release();
    EXPECT_TRUE(factory.render(16).empty());
}

} // namespace
