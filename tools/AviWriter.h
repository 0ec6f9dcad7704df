#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace kw27::datagen {

// An uncompressed AVI: RIFF "AVI " with one video stream of bottom-up 24-bit DIB frames
// ('00db' chunks in the movi list) and an idx1 index marking every frame as a key frame.
// All frames must have the size of the first.
QByteArray aviFile(const std::vector<QImage>& frames, int framesPerSecond);

// Bytes in one frame's DIB: rows of 3 bytes a pixel, each row padded to a multiple of 4.
int dibFrameBytes(int width, int height);

} // namespace kw27::datagen
