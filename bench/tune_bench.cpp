// What a pupil hears of Chimelab on the system's sound output, played through the program's own
// window as a pupil plays it: start-up (the scale under the splash), then KEYS presses of the
// pipe keyboard's white keys in a row, then a tune of LINES lines (every key's note in turn,
// the rest among them) played with 再 生. Prints the sound files in the order they sounded, a
// "/" between the three runs, for bench/sound_timing.py. Run from the programs' folder:
//
//   cd build/KW-27
//   ../../../shared/tools/desktop-sound.sh rec.wav -- ../bench/bin/tune_bench 16 120 >order.txt
//   python3 ../../bench/sound_timing.py rec.wav $(cat order.txt)

#include "KwApplication.h"
#include "NoteTable.h"
#include "SongBox.h"
#include "SoundTable.h"
#include "Unit1.h"

#include <QThread>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

// Where a sound-table entry's file is, as the data folder spells it on disk.
QString fileOf(int entry) {
    const QString path = chimelab::soundPath(entry);
    return QStringLiteral("Data/Data2/") + path.section(QLatin1Char('\\'), -1);
}

} // namespace

int main(int argc, char** argv) {
    const int keys = argc > 1 ? std::atoi(argv[1]) : 8;
    const int lines = argc > 2 ? std::atoi(argv[2]) : 10;
    KwApplication app(argc, argv);
    QStringList order;
    for (const char* note : {"C", "D", "E", "F", "G", "A", "B", "C2"})
        order << QStringLiteral("Data/Data2/%1.wav").arg(QLatin1String(note));
    chimelab::TForm1 form;
    form.show();
    QCoreApplication::processEvents();

    order << QStringLiteral("/");
    const auto& page = form.compositionPage;
    const std::array<TCuteButton*, 8> whiteKeys{
        page.CuteButton2, page.CuteButton3, page.CuteButton4, page.CuteButton5,
        page.CuteButton6, page.CuteButton7, page.CuteButton8, page.CuteButton9};
    for (int i = 0; i < keys; ++i) {
        form.CuteButton2Click(whiteKeys[std::size_t(i) % whiteKeys.size()]);
        order << fileOf(kw27::kNotes[std::size_t(i) % whiteKeys.size()].soundEntry);
    }

    order << QStringLiteral("/");
    form.BitBtn4Click(nullptr);
    for (int i = 0; i < lines; ++i) {
        const kw27::Note& note = kw27::kNotes[std::size_t(i) % kw27::kNotes.size()];
        kw27::song::appendLine(*page.Memo1, note.name, 1 << 20);
        order << fileOf(note.soundEntry);
    }
    form.BitBtn2Click(nullptr);
    // The last sound's tail, still in the mixer and the server.
    QThread::msleep(500);
    std::printf("%s\n", qPrintable(order.join(QLatin1Char(' '))));
    return 0;
}
