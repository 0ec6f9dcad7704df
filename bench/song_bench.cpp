// Loading and saving a 100,000-line song, against the least any loader must do: read the raw
// file and convert it from code page 932 (and, for saving, convert and write it plainly).
// Besides time, each case reports the peak of heap memory in use above what was in use when
// it started, counted by the allocation functions below.

#include "BenchMain.h"
#include "Cp932.h"
#include "Cp932Input.h"
#include "NoteTable.h"
#include "SongBox.h"
#include "SongFile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <atomic>
#include <malloc.h>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<std::size_t> g_inUse{0};
std::atomic<std::size_t> g_peak{0};

// Counts a block just allocated (none when the allocation failed), and hands it on.
void* noteAllocated(void* block) {
    if (!block)
        return block;
    const std::size_t now =
        g_inUse.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
    std::size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return block;
}

void noteFreed(void* block) {
    if (block)
        g_inUse.fetch_sub(malloc_usable_size(block));
}

} // namespace

extern "C" {
void* malloc(size_t size) {
    return noteAllocated(__libc_malloc(size));
}
void* calloc(size_t count, size_t size) {
    return noteAllocated(__libc_calloc(count, size));
}
void* realloc(void* block, size_t size) {
    const std::size_t before = block ? malloc_usable_size(block) : 0;
    void* moved = __libc_realloc(block, size);
    if (moved || size == 0) {
        g_inUse.fetch_sub(before);
        noteAllocated(moved);
    }
    return moved;
}
void* memalign(size_t alignment, size_t size) {
    return noteAllocated(__libc_memalign(alignment, size));
}
void* aligned_alloc(size_t alignment, size_t size) {
    return memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    *out = memalign(alignment, size);
    return *out ? 0 : ENOMEM;
}
void free(void* block) {
    noteFreed(block);
    __libc_free(block);
}
}

namespace {

constexpr int kLines = 100'000;

// A title and the fourteen notes in turn, as keyed.
QString bigSongText() {
    QString song;
    for (int i = 0; i < kLines; ++i) {
        song += kw27::kNotes[std::size_t(i) % kw27::kNotes.size()].name;
        song += u"\r\n";
    }
    return song;
}

class SongFiles {
public:
    SongFiles() {
        song = bigSongText();
        bytes = kw27::song::encodeSongFile(title, song);
        path = QDir(folder.path()).filePath(QStringLiteral("big.ksg"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            std::abort();
    }
    QTemporaryDir folder;
    QString title = QStringLiteral("ながいきょく");
    QString song;
    std::string bytes;
    QString path;
};

SongFiles& files() {
    static SongFiles instance;
    return instance;
}

// Heap peak of one run of work above what was in use before it, in bytes.
template <class Work> double heapPeakOf(Work&& work) {
    const std::size_t start = g_inUse.load();
    g_peak.store(start);
    work();
    return double(g_peak.load() - start);
}

template <class Work> void measure(benchmark::State& state, Work work) {
    double peak = 0;
    for (auto _ : state)
        peak = std::max(peak, heapPeakOf(work));
    state.counters["heap_peak_KiB"] = peak / 1024.0;
    state.counters["file_KiB"] = double(files().bytes.size()) / 1024.0;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(files().bytes.size()));
}

void BM_Raw_ReadAndDecode(benchmark::State& state) {
    measure(state, [] {
        QFile file(files().path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(
            kw27::cp932::decode(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
    });
}

void BM_Song_LoadFile(benchmark::State& state) {
    measure(state, [] { benchmark::DoNotOptimize(kw27::song::loadSongFile(files().path)); });
}

// What the pupil waits for: the file read into the title box and the shown song box.
void BM_Song_LoadIntoBoxes(benchmark::State& state) {
    QLineEdit title;
    title.setMaxLength(int(kw27::song::kBoxCapacity));
    kw27::Cp932PlainTextEdit box;
    box.resize(257, 121);
    box.show();
    measure(state, [&] {
        const kw27::song::SongFileText text = kw27::song::loadSongFile(files().path);
        title.setText(text.title);
        kw27::song::setSongText(box, text.song);
        QApplication::processEvents();
    });
    if (kw27::song::songText(box) != files().song)
        state.SkipWithError("song did not load back");
}

void BM_Raw_EncodeAndWrite(benchmark::State& state) {
    const QString out = QDir(files().folder.path()).filePath(QStringLiteral("raw.ksg"));
    measure(state, [&] {
        const std::optional<std::string> bytes = kw27::cp932::encode(files().song);
        QFile file(out);
        file.open(QIODevice::WriteOnly);
        file.write(bytes->data(), qint64(bytes->size()));
    });
}

void BM_Song_EncodeAndSave(benchmark::State& state) {
    const QString out = QDir(files().folder.path()).filePath(QStringLiteral("saved.ksg"));
    measure(state, [&] {
        kw27::song::saveSongFile(out, kw27::song::encodeSongFile(files().title, files().song));
    });
}

// Saving as the page does it: the text taken from the boxes first.
void BM_Song_SaveFromBoxes(benchmark::State& state) {
    QLineEdit title;
    title.setText(files().title);
    kw27::Cp932PlainTextEdit box;
    kw27::song::setSongText(box, files().song);
    const QString out = QDir(files().folder.path()).filePath(QStringLiteral("boxes.ksg"));
    measure(state, [&] {
        kw27::song::saveSongFile(
            out, kw27::song::encodeSongFile(title.text(), kw27::song::songText(box)));
    });
}

BENCHMARK(BM_Raw_ReadAndDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Song_LoadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Song_LoadIntoBoxes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Raw_EncodeAndWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Song_EncodeAndSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Song_SaveFromBoxes)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    kw27::bench::useHeadlessDefaults();
    QApplication app(argc, argv);
    return kw27::bench::runBenchmarks(argc, argv);
}
