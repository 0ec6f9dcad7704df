// The one-sound player: how soon a play is heard in the mix, and how long decoding takes.
// Runs in a temporary working folder holding the sounds it plays.

#include "AudioOutput.h"
#include "OpenAlWavPlayer.h"
#include "WavDecoder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <unistd.h>

namespace {

constexpr int kRate = 44100;
constexpr std::size_t kBlock = 64;

std::string le16(std::uint16_t v) {
    return {char(v & 0xFF), char(v >> 8)};
}
std::string le32(std::uint32_t v) {
    return {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}

// A struck-pipe-like tone: 2093 Hz with one upper partial, decaying, starting at its peak
// so that the first sample already sounds.
std::string chimeWav(double seconds) {
    const std::size_t frames = std::size_t(seconds * kRate);
    std::string data;
    data.reserve(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        const double v = 0.25 * std::exp(-t * 2) * std::cos(2 * std::numbers::pi * 2093 * t) +
                         0.05 * std::exp(-t * 8) * std::cos(2 * std::numbers::pi * 5768 * t);
        data += le16(std::uint16_t(std::int16_t(std::lround(v * 32767))));
    }
    const std::string fmt =
        "fmt " + le32(16) + le16(1) + le16(1) + le32(kRate) + le32(kRate * 2) + le16(2) + le16(16);
    const std::string body = "WAVE" + fmt + "data" + le32(std::uint32_t(data.size())) + data;
    return "RIFF" + le32(std::uint32_t(body.size())) + body;
}

void writeFile(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

const char* soundFor(std::int64_t millis) {
    return millis < 1000 ? "short.wav" : "long.wav";
}

// From the play call to the first non-zero sample that the loopback device renders. The time
// includes reading and decoding the file and handing it to the mixer; the frame count is
// how far into the mix the sound begins.
void BM_PlayToFirstSample(benchmark::State& state) {
    kw27::LoopbackAudioOutput out(kRate, 1);
    kw27::OpenAlWavPlayer player(out);
    const char* name = soundFor(state.range(0));
    std::size_t framesToSound = 0;
    std::size_t plays = 0;
    for (auto _ : state) {
        out.discardRendered();
        player.play(name, kw27::SND_ASYNC);
        std::size_t first = 0;
        for (bool heard = false; !heard;) {
            const std::size_t from = out.rendered().size();
            out.render(kBlock);
            for (std::size_t i = from; i < out.rendered().size() && !heard; ++i)
                if (out.rendered()[i] != 0.0f) {
                    heard = true;
                    first = i;
                }
            if (out.renderedFrames() > std::size_t(kRate)) {
                state.SkipWithError("no sound within a second");
                return;
            }
        }
        framesToSound += first;
        ++plays;
    }
    const double frames = double(framesToSound) / double(plays);
    state.counters["frames_to_sound"] = frames;
    state.counters["ms_to_sound_in_mix"] = frames * 1000.0 / kRate;
}
BENCHMARK(BM_PlayToFirstSample)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_DecodeWavFile(benchmark::State& state) {
    const char* name = soundFor(state.range(0));
    std::size_t bytes = 0;
    for (auto _ : state) {
        kw27::PcmSound sound;
        if (kw27::decodeWavFile(name, sound) != kw27::WavStatus::Ok) {
            state.SkipWithError("decoding failed");
            return;
        }
        bytes += sound.samples.size() * sizeof(std::int16_t);
        benchmark::DoNotOptimize(sound.samples.data());
    }
    state.SetBytesProcessed(std::int64_t(bytes));
}
BENCHMARK(BM_DecodeWavFile)->Arg(500)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("kw27-wav-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::current_path(folder);
    writeFile("short.wav", chimeWav(0.5));
    writeFile("long.wav", chimeWav(2.0));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    fs::current_path(folder.parent_path());
    fs::remove_all(folder);
    return 0;
}
