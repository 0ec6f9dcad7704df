#include "AviWriter.h"

#include "RiffWriting.h"

#include <stdexcept>

namespace kw27::datagen {
namespace {

constexpr std::uint32_t avifHasIndex = 0x10;
constexpr std::uint32_t aviifKeyFrame = 0x10;
constexpr std::uint16_t bitsPerPixel = 24;

QByteArray dibPixels(const QImage& frame) {
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
    const int stride = dibFrameBytes(rgb.width(), 1);
    QByteArray out(qsizetype(dibFrameBytes(rgb.width(), rgb.height())), '\0');
    for (int y = 0; y < rgb.height(); ++y) {
        // DIB rows run bottom-up, pixels in blue-green-red order.
        const uchar* src = rgb.constScanLine(rgb.height() - 1 - y);
        char* dst = out.data() + qsizetype(y) * stride;
        for (int x = 0; x < rgb.width(); ++x) {
            dst[3 * x + 0] = char(src[3 * x + 2]);
            dst[3 * x + 1] = char(src[3 * x + 1]);
            dst[3 * x + 2] = char(src[3 * x + 0]);
        }
    }
    return out;
}

} // namespace

int dibFrameBytes(int width, int height) {
    return ((width * 3 + 3) / 4) * 4 * height;
}

QByteArray aviFile(const std::vector<QImage>& frames, int framesPerSecond) {
    using namespace riff;
    if (frames.empty() || framesPerSecond <= 0)
        throw std::invalid_argument("an AVI clip needs frames and a positive frame rate");
    const int width = frames.front().width();
    const int height = frames.front().height();
    for (const QImage& f : frames) {
        if (f.width() != width || f.height() != height)
            throw std::invalid_argument("every frame of an AVI clip must have the same size");
    }
    const auto frameBytes = std::uint32_t(dibFrameBytes(width, height));
    const auto frameCount = std::uint32_t(frames.size());

    QByteArray out;
    const qsizetype riffAt = beginList(out, "RIFF", "AVI ");

    const qsizetype hdrlAt = beginList(out, "LIST", "hdrl");
    const qsizetype avihAt = beginChunk(out, "avih");
    put32(out, std::uint32_t((1000000 + framesPerSecond / 2) / framesPerSecond));
    put32(out, frameBytes * std::uint32_t(framesPerSecond));
    put32(out, 0); // padding granularity
    put32(out, avifHasIndex);
    put32(out, frameCount);
    put32(out, 0); // initial frames
    put32(out, 1); // streams
    put32(out, frameBytes);
    put32(out, std::uint32_t(width));
    put32(out, std::uint32_t(height));
    for (int i = 0; i < 4; ++i)
        put32(out, 0);
    endChunk(out, avihAt);

    const qsizetype strlAt = beginList(out, "LIST", "strl");
    const qsizetype strhAt = beginChunk(out, "strh");
    putId(out, "vids");
    putId(out, "DIB ");
    put32(out, 0);                              // flags
    put16(out, 0);                              // priority
    put16(out, 0);                              // language
    put32(out, 0);                              // initial frames
    put32(out, 1);                              // scale
    put32(out, std::uint32_t(framesPerSecond)); // rate: rate / scale frames a second
    put32(out, 0);                              // start
    put32(out, frameCount);
    put32(out, frameBytes);
    put32(out, 0xFFFFFFFFu); // quality: default
    put32(out, 0);           // sample size: varies (one frame a chunk)
    put16(out, 0);
    put16(out, 0);
    put16(out, std::uint16_t(width));
    put16(out, std::uint16_t(height));
    endChunk(out, strhAt);

    const qsizetype strfAt = beginChunk(out, "strf");
    put32(out, 40); // BITMAPINFOHEADER size
    put32(out, std::uint32_t(width));
    put32(out, std::uint32_t(height)); // positive: bottom-up rows
    put16(out, 1);                     // planes
    put16(out, bitsPerPixel);
    put32(out, 0); // BI_RGB
    put32(out, frameBytes);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0); // colours used
    put32(out, 0); // important colours
    endChunk(out, strfAt);
    endChunk(out, strlAt);
    endChunk(out, hdrlAt);

    const qsizetype moviAt = beginList(out, "LIST", "movi");
    // Index offsets count from the movi list's form type.
    const qsizetype moviFormAt = moviAt + 4;
    std::vector<std::uint32_t> offsets;
    for (const QImage& frame : frames) {
        offsets.push_back(std::uint32_t(out.size() - moviFormAt));
        const qsizetype frameAt = beginChunk(out, "00db");
        out.append(dibPixels(frame));
        endChunk(out, frameAt);
    }
    endChunk(out, moviAt);

    const qsizetype idxAt = beginChunk(out, "idx1");
    for (std::uint32_t offset : offsets) {
        putId(out, "00db");
        put32(out, aviifKeyFrame);
        put32(out, offset);
        put32(out, frameBytes);
    }
    endChunk(out, idxAt);

    endChunk(out, riffAt);
    return out;
}

} // namespace kw27::datagen
