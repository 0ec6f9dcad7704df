#include "DataSet.h"

#include "AviWriter.h"
#include "ClipFrames.h"
#include "OutputFile.h"
#include "PipePhysics.h"
#include "WavWriter.h"

#include <QDir>

namespace kw27::datagen {
using namespace kw27::pipe;
namespace {

// A different but fixed strike for every file: FNV-1a of its path.
std::uint32_t seedFor(const QString& path) {
    std::uint32_t h = 2166136261u;
    for (char c : path.toUtf8()) {
        h ^= std::uint8_t(c);
        h *= 16777619u;
    }
    return h;
}

SoundFile sound(const QString& path, SoundKind kind, double lengthCm) {
    return SoundFile{path, SoundSpec{kind, lengthCm, seedFor(path)}};
}

QString cmName(int cm) {
    return QStringLiteral("%1cm.wav").arg(cm);
}

} // namespace

const std::vector<ScalePipe>& scalePipes() {
    static const std::vector<ScalePipe> pipes = {
        {"C", 18.6}, {"D", 17.6}, {"E", 16.5}, {"F", 16.1},
        {"G", 15.3}, {"A", 14.3}, {"B", 13.5}, {"C2", 13.1},
    };
    return pipes;
}

std::vector<SoundFile> soundFiles() {
    std::vector<SoundFile> files;
    for (const ScalePipe& p : scalePipes())
        files.push_back(
            sound(QStringLiteral("%1.wav").arg(p.fileStem), SoundKind::Ring, p.lengthCm));

    for (int cm = 14; cm <= 25; ++cm)
        files.push_back(sound("Data1/" + cmName(cm), SoundKind::Loop, cm));
    for (const ScalePipe& p : scalePipes())
        files.push_back(
            sound(QStringLiteral("Data1/%1.wav").arg(p.fileStem), SoundKind::Loop, p.lengthCm));

    for (int cm = 14; cm <= 25; ++cm)
        files.push_back(sound("Data2/" + cmName(cm), SoundKind::Ring, cm));
    for (const ScalePipe& p : scalePipes())
        files.push_back(
            sound(QStringLiteral("Data2/%1.wav").arg(p.fileStem), SoundKind::Note, p.lengthCm));
    // The sharps: pipes cut a semitone shorter than the scale pipes of C, D, F, G and A.
    for (const ScalePipe& p : scalePipes()) {
        const QString stem = QString::fromLatin1(p.fileStem);
        if (stem == "C" || stem == "D" || stem == "F" || stem == "G" || stem == "A")
            files.push_back(sound(QStringLiteral("Data2/%1#.wav").arg(stem), SoundKind::Note,
                                  sharpLength(p.lengthCm)));
    }
    files.push_back(sound(QStringLiteral("Data2/yasumi.wav"), SoundKind::Silence, 0.0));
    return files;
}

std::vector<ClipFile> clipFiles() {
    const QString names[] = {QStringLiteral("ド"),   QStringLiteral("re"), QStringLiteral("ミ"),
                             QStringLiteral("ファ"), QStringLiteral("ソ"), QStringLiteral("ra"),
                             QStringLiteral("シ"),   QStringLiteral("ド2")};
    const QString labels[] = {QStringLiteral("ド"),   QStringLiteral("レ"),  QStringLiteral("ミ"),
                              QStringLiteral("ファ"), QStringLiteral("ソ"),  QStringLiteral("ラ"),
                              QStringLiteral("シ"),   QStringLiteral("ド上")};
    std::vector<ClipFile> clips;
    const auto& pipes = scalePipes();
    for (std::size_t i = 0; i < pipes.size(); ++i)
        clips.push_back(ClipFile{"Data2/" + names[i] + ".avi", pipes[i].lengthCm, labels[i]});
    return clips;
}

void writeDataSet(const QString& dataFolder) {
    const QDir root(dataFolder);
    for (const SoundFile& f : soundFiles())
        tools::writeOutputFile(root.filePath(f.path),
                               wavFile(synthesize(f.sound), std::uint32_t(sampleRate)));
    for (const ClipFile& c : clipFiles())
        tools::writeOutputFile(root.filePath(c.path),
                               aviFile(clipFrames(c.lengthCm, c.label), clipFramesPerSecond));
}

} // namespace kw27::datagen
