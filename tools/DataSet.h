#pragma once

#include "PipeSound.h"

#include <QString>
#include <vector>

// The data folder that ships beside the programs: every sound and clip, where it goes, and
// which pipe it is.
namespace kw27::datagen {

struct ScalePipe {
    const char* fileStem; // "C", "D", ..., "C2"
    double lengthCm;
};

// The eight pipes of the C major scale, low do to high do.
const std::vector<ScalePipe>& scalePipes();

struct SoundFile {
    QString path; // relative to the data folder, '/'-separated
    pipe::SoundSpec sound;
};

struct ClipFile {
    QString path;
    double lengthCm;
    QString label;
};

std::vector<SoundFile> soundFiles();
std::vector<ClipFile> clipFiles();

// Writes every sound and clip under dataFolder (the "Data" folder itself), creating the
// sub-folders. Throws std::runtime_error naming the file that could not be written.
void writeDataSet(const QString& dataFolder);

} // namespace kw27::datagen
