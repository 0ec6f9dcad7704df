#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace kw27::datagen {

inline constexpr int clipWidth = 65;
inline constexpr int clipHeight = 48;
inline constexpr int clipFramesPerSecond = 15;
inline constexpr int clipFrameCount = 15;

// The frames of one pitch-page clip: the hanging pipe at rest, the mallet swinging in and
// striking it, the pipe shaking and sending out sound arcs that die away, and the pipe at
// rest again. The pipe is drawn longer for a longer pipe; the note name stands beside it.
std::vector<QImage> clipFrames(double lengthCm, const QString& noteLabel);

} // namespace kw27::datagen
