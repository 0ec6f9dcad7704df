// The sound engine on a real-time device (OpenAL's null output unless ALSOFT_DRIVERS says
// otherwise): how far apart sources started together begin when a mixing period may fall
// between the calls, and how long a start takes to reach the mix, with the device running and
// right after the idle pause.
//   build/bench/bin/engine_bench

#include "AudioOutput.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A second of a constant, looped: the offset of each source tells where it is.
struct Rig {
    explicit Rig(int sources) : output(nullptr, 300ms) {
        if (!output.open())
            return;
        kw27::AlContextScope scope(output.context());
        const std::vector<ALshort> samples(44100, 1000);
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_MONO16, samples.data(), ALsizei(samples.size() * 2), 44100);
        ids.resize(std::size_t(sources));
        alGenSources(ALsizei(sources), ids.data());
        for (ALuint id : ids) {
            alSourcei(id, AL_BUFFER, ALint(buffer));
            alSourcei(id, AL_LOOPING, AL_TRUE);
            output.watch(id);
        }
    }
    ~Rig() {
        if (!output.isOpen())
            return;
        {
            kw27::AlContextScope scope(output.context());
            for (ALuint id : ids) {
                output.unwatch(id);
                alSourceStop(id);
            }
            alDeleteSources(ALsizei(ids.size()), ids.data());
            alDeleteBuffers(1, &buffer);
        }
        output.close();
    }
    // Whether the device opened; the benchmark is skipped when it did not.
    bool opened(benchmark::State& state) const {
        if (!output.isOpen())
            state.SkipWithError("no device");
        return output.isOpen();
    }
    ALint offset(ALuint id) const {
        ALint at = 0;
        alGetSourcei(id, AL_SAMPLE_OFFSET, &at);
        return at;
    }
    kw27::SystemAudioOutput output;
    ALuint buffer = 0;
    std::vector<ALuint> ids;
};

// Three starts, a delay of 0-25 ms injected after the first; state.range(0) = 1 commits them
// as one update. Offsets are read until the first has not moved meanwhile.
void BM_StartSkew(benchmark::State& state) {
    Rig rig(3);
    if (!rig.opened(state))
        return;
    const bool together = state.range(0) == 1;
    long worst = 0, skewed = 0, iteration = 0;
    for (auto _ : state) {
        if (together)
            rig.output.beginTogether();
        for (std::size_t i = 0; i < 3; ++i) {
            rig.output.start(rig.ids[i]);
            if (i == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(iteration++ * 3719 % 25000));
        }
        if (together)
            rig.output.endTogether();
        state.PauseTiming();
        std::this_thread::sleep_for(30ms);
        kw27::AlContextScope scope(rig.output.context());
        ALint at[3] = {}, again = 0;
        do {
            for (int i = 0; i < 3; ++i)
                at[i] = rig.offset(rig.ids[std::size_t(i)]);
            again = rig.offset(rig.ids[0]);
        } while (again != at[0]);
        const long skew = *std::max_element(at, at + 3) - *std::min_element(at, at + 3);
        worst = std::max(worst, skew);
        skewed += skew != 0;
        for (ALuint id : rig.ids)
            alSourceStop(id);
        state.ResumeTiming();
    }
    state.counters["skew_max_samples"] = double(worst);
    state.counters["skewed_starts"] = double(skewed);
}
BENCHMARK(BM_StartSkew)->Arg(0)->Arg(1)->Iterations(1000)->Unit(benchmark::kMillisecond);

// Play call to the first frame mixed (the offset moves), median and worst; state.range(0) = 1
// first waits for the idle pause, so that the start also resumes the device.
void BM_StartLatency(benchmark::State& state) {
    Rig rig(1);
    if (!rig.opened(state))
        return;
    const bool resumed = state.range(0) == 1;
    const ALuint id = rig.ids[0];
    std::vector<double> ms;
    for (auto _ : state) {
        state.PauseTiming();
        if (resumed)
            while (!rig.output.paused())
                std::this_thread::sleep_for(10ms);
        else
            std::this_thread::sleep_for(std::chrono::microseconds(ms.size() * 3719 % 25000));
        state.ResumeTiming();
        const auto begin = std::chrono::steady_clock::now();
        rig.output.start(id);
        kw27::AlContextScope scope(rig.output.context());
        while (rig.offset(id) == 0)
            std::this_thread::sleep_for(100us);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count());
        state.PauseTiming();
        alSourceStop(id);
        alSourceRewind(id);
        state.ResumeTiming();
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["worst_ms"] = ms.back();
    state.counters["period_ms"] = 1000.0 * rig.output.periodFrames() / rig.output.sampleRate();
}
BENCHMARK(BM_StartLatency)->Arg(0)->Arg(1)->Iterations(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("ALSOFT_DRIVERS"))
        qputenv("ALSOFT_DRIVERS", "null");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
