// The sound unit as the simulator uses it: twenty pipe sounds loaded into static buffers and
// given to 21 channels, and three channels started one after another in one handler.
//
// Memory: the process's resident size after loading and after giving the sounds to the
// channels, against the sounds' total sample bytes (duplicates must not copy samples).
// Start skew: how many output samples apart the three starts land, on the loopback mixer
// (exact) and on the real-time mixer of the default output (OpenAL's null output here).
//
// Uses the generated data set (Data/Data1) when the build has made it, else twenty
// synthetic two-second sounds of the same size.

#include "BenchMain.h"
#include "MixingDevice.h"
#include "ddsd.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

using namespace kw27::ds;

namespace {

const char* const kSoundNames[20] = {"14cm", "15cm", "16cm", "17cm", "18cm", "19cm", "20cm",
                                     "21cm", "22cm", "23cm", "24cm", "25cm", "C",    "D",
                                     "E",    "F",    "G",    "A",    "B",    "C2"};

QString soundPath(int position) {
    return QStringLiteral("Data\\Data1\\%1.wav").arg(QLatin1String(kSoundNames[position]));
}

std::string le32(std::uint32_t v) {
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

std::string le16(std::uint16_t v) {
    return {char(v & 0xFF), char(v >> 8)};
}

std::string wavFile(const std::vector<std::int16_t>& samples) {
    std::string fmt = le16(1) + le16(1) + le32(44100) + le32(88200) + le16(2) + le16(16);
    std::string data;
    for (std::int16_t s : samples)
        data += le16(std::uint16_t(s));
    return "RIFF" + le32(std::uint32_t(4 + 8 + fmt.size() + 8 + data.size())) + "WAVE" + "fmt " +
           le32(std::uint32_t(fmt.size())) + fmt + "data" + le32(std::uint32_t(data.size())) + data;
}

// Puts "Data" into the working folder: the generated set, or synthetic sounds in its place.
// Returns whether the generated set is used.
bool provideSounds() {
    namespace fs = std::filesystem;
    const fs::path generated = fs::path(KW27_DATA_DIR) / "Data1";
    if (fs::exists(generated / "14cm.wav")) {
        fs::create_directory_symlink(KW27_DATA_DIR, "Data");
        return true;
    }
    fs::create_directories("Data/Data1");
    for (int p = 0; p < 20; ++p) {
        std::vector<std::int16_t> samples(88200);
        const double hz = 440.0 * std::pow(2.0, p / 12.0);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] =
                std::int16_t(9000 * std::sin(2 * std::numbers::pi * hz * double(i) / 44100));
        std::ofstream(fs::path("Data/Data1") / (std::string(kSoundNames[p]) + ".wav"),
                      std::ios::binary)
            << wavFile(samples);
    }
    return false;
}

bool usingGeneratedSounds = false;

double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kib = 0;
            status >> kib;
            return kib / 1024.0;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// The simulator's window: the device component with 21 channels after its after-loading step.
struct Simulator {
    Simulator() : ddsd(new TDDSD(&window)) {
        ddsd->setChannelCount(21);
        ddsd->Loaded();
    }
    void loadAll() {
        for (int p = 0; p < 20; ++p)
            waves.push_back(std::make_unique<TDDSDWaveData>(ddsd, soundPath(p)));
    }
    void giveToChannels() {
        for (int k = 1; k <= 20; ++k)
            ddsd->Channel(k)->setWaveData(waves[std::size_t(k - 1)].get());
    }
    QWidget window;
    TDDSD* ddsd;
    std::vector<std::unique_ptr<TDDSDWaveData>> waves;
};

void BM_MemoryOfTwentySoundsOn21Channels(benchmark::State& state) {
    for (auto _ : state) {
        const double base = residentMiB();
        Simulator sim;
        const double device = residentMiB();
        sim.loadAll();
        const double loaded = residentMiB();
        sim.giveToChannels();
        for (int k = 1; k <= 20; ++k)
            sim.ddsd->Channel(k)->Play();
        const double given = residentMiB();
        // Every channel given every sound in turn, the last one kept.
        for (int k = 0; k <= 20; ++k)
            for (auto& wave : sim.waves)
                sim.ddsd->Channel(k)->setWaveData(wave.get());
        const double churned = residentMiB();

        double samples = 0;
        for (auto& wave : sim.waves)
            samples += wave->dataSize();
        state.counters["samples_MiB"] = samples / (1024.0 * 1024.0);
        state.counters["device_MiB"] = device - base;
        state.counters["after_load_MiB"] = loaded - device;
        state.counters["after_channels_MiB"] = given - device;
        state.counters["after_420_duplicates_MiB"] = churned - device;
        state.counters["generated_set"] = usingGeneratedSounds ? 1 : 0;
    }
}
BENCHMARK(BM_MemoryOfTwentySoundsOn21Channels)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_LoadWAV(benchmark::State& state) {
    Simulator sim;
    for (auto _ : state) {
        TDDSDWaveData wave(sim.ddsd, soundPath(12));
        benchmark::DoNotOptimize(wave.buffer());
    }
}
BENCHMARK(BM_LoadWAV)->Unit(benchmark::kMicrosecond);

void BM_SetWaveData(benchmark::State& state) {
    Simulator sim;
    TDDSDWaveData wave(sim.ddsd, soundPath(12));
    for (auto _ : state)
        sim.ddsd->Channel(1)->setWaveData(&wave);
}
BENCHMARK(BM_SetWaveData)->Unit(benchmark::kMicrosecond);

// The play button's handler: three channels rewound and started.
void BM_PlayThreeChannels(benchmark::State& state) {
    Simulator sim;
    sim.loadAll();
    sim.giveToChannels();
    for (auto _ : state) {
        sim.ddsd->Channel(1)->Play();
        sim.ddsd->Channel(13)->Play();
        sim.ddsd->Channel(20)->Play();
    }
}
BENCHMARK(BM_PlayThreeChannels)->Unit(benchmark::kMicrosecond);

// On the loopback mixer: three constant sounds of distinct levels show in the output the
// sample each of them starts on.
void BM_StartSkewLoopback(benchmark::State& state) {
    LoopbackDeviceFactory loopback;
    DeviceFactory* previous = setDeviceFactory(&loopback);
    {
        Simulator sim;
        const std::int16_t levels[3] = {1024, 2048, 4096}; // one bit each
        std::vector<std::unique_ptr<TDDSDGenWave>> waves;
        for (int i = 0; i < 3; ++i) {
            const std::string bytes = wavFile(std::vector<std::int16_t>(4410, levels[i]));
            waves.push_back(std::make_unique<TDDSDGenWave>(sim.ddsd, QStringLiteral("level"),
                                                           bytes.data(), bytes.size(), false));
            sim.ddsd->Channel(i + 1)->setWaveData(waves.back().get());
        }
        int worst = 0;
        for (auto _ : state) {
            for (int i = 1; i <= 3; ++i)
                sim.ddsd->Channel(i)->Play();
            state.PauseTiming();
            const std::vector<float> out = loopback.render(64);
            int first[3] = {-1, -1, -1};
            for (int n = 0; n < 64; ++n) {
                const long v = std::lround(out[std::size_t(n)] * 32768.0f);
                for (int i = 0; i < 3; ++i)
                    if (first[i] < 0 && (v & levels[i]))
                        first[i] = n;
            }
            if (*std::min_element(first, first + 3) < 0) {
                state.SkipWithError("a sound did not start within 64 samples");
                break;
            }
            worst = std::max(worst, *std::max_element(first, first + 3) -
                                        *std::min_element(first, first + 3));
            for (int i = 1; i <= 3; ++i)
                sim.ddsd->Channel(i)->Stop();
            state.ResumeTiming();
        }
        state.counters["skew_max_samples"] = worst;
    }
    setDeviceFactory(previous);
}
BENCHMARK(BM_StartSkewLoopback)->Iterations(1000);

} // namespace

int main(int argc, char** argv) {
    kw27::bench::useHeadlessDefaults();
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path()))
        return 2;
    usingGeneratedSounds = provideSounds();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
