// Exporting a 200-line tune as a WAV file, as the menu item does it once the pupil has named
// the file: the lines mapped to their sounds, the sounds read from the data folder, decoded,
// laid end to end and written as one file through the whole-file writer (synced to disk).
// Three data folders: the generated data set (44.1 kHz, nothing to convert), and the same
// sounds as 48 kHz recordings, which all go through the sample rate converter.

#include "BenchMain.h"
#include "DataPath.h"
#include "NoteTable.h"
#include "SongFile.h"
#include "SongSounds.h"
#include "TuneRender.h"
#include "WavDecoder.h"
#include "WavWriter.h"
#include "WholeFile.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// 200 lines: the fourteen keys over and over, as a long class tune would use them.
QStringList twoHundredLines() {
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines.append(kw27::kNotes[std::size_t(i) % kw27::kNotes.size()].name.toString());
    return lines;
}

// Makes ./Data the generated set, or a copy whose composition sounds are resampled to 48 kHz
// (a crude linear interpolation: only the converter's cost is measured, not its quality).
void provideData(bool recorded48k) {
    fs::remove_all("Data");
    if (!recorded48k) {
        fs::create_directory_symlink(KW27_DATA_DIR, "Data");
        return;
    }
    fs::copy(KW27_DATA_DIR, "Data", fs::copy_options::recursive);
    for (const QString& name : chimelab::songSoundNames(twoHundredLines())) {
        kw27::PcmSound sound;
        const fs::path path = kw27::resolveDataPath(name);
        if (kw27::decodeWavFile(path, sound) != kw27::WavStatus::Ok || sound.sampleRate == 48000)
            continue;
        std::vector<std::int16_t> at48k(sound.samples.size() * 48000 / 44100);
        for (std::size_t i = 0; i < at48k.size(); ++i)
            at48k[i] = sound.samples[i * 44100 / 48000];
        const QByteArray bytes = kw27::wavFile(at48k, 48000);
        kw27::writeWholeFile(QString::fromStdString(path.string()), bytes);
    }
}

void exportTune(benchmark::State& state, bool recorded48k) {
    provideData(recorded48k);
    const QStringList lines = twoHundredLines();
    const QString path = QDir::current().filePath(QStringLiteral("曲.wav"));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::optional<QByteArray> wav =
            kw27::tune::tuneWavFile(chimelab::songSoundNames(lines), QStringLiteral("Export"));
        if (!wav || !kw27::song::saveSongFile(
                        path, std::string_view(wav->constData(), std::size_t(wav->size())))) {
            state.SkipWithError("export failed");
            return;
        }
        bytes = std::size_t(wav->size());
    }
    state.counters["file_MB"] = double(bytes) / 1e6;
}

void renderOnly(benchmark::State& state) {
    provideData(false);
    const QStringList names = chimelab::songSoundNames(twoHundredLines());
    for (auto _ : state)
        benchmark::DoNotOptimize(kw27::tune::renderTune(names, QString()));
}

} // namespace

BENCHMARK_CAPTURE(exportTune, data_set_44k, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportTune, recorded_48k, true)->Unit(benchmark::kMillisecond);
BENCHMARK(renderOnly)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    kw27::bench::useHeadlessDefaults();
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid() || !QDir::setCurrent(folder.path()))
        return 2;
    return kw27::bench::runBenchmarks(argc, argv);
}
