#pragma once

// Small uncompressed AVI files built in memory for tests, in the layouts the player must read.

#include <QColor>
#include <QFile>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kw27::test {

struct AviLayout {
    int width = 65;
    int height = 48;
    int bitCount = 24; // 8 (with a palette), 24 or 32
    bool topDown = false;
    int frames = 4;
    std::uint32_t periodUs = 66667; // 0: the stream's rate (1/15 s) gives it
    bool recLists = false;
    bool compressedIds = false;    // "00dc" instead of "00db"
    bool audioStreamFirst = false; // the video stream is then stream 1, frames "01db"
    bool index = true;
    int paletteEntries = 256; // 8-bit only
    int emptyFrameAt = -1;    // a zero-size frame chunk at this position
    std::uint32_t compression = 0;
};

// The colour of pixel (x, y) of frame f as recorded; for 8-bit clips its palette index.
inline QRgb testPixel(int f, int x, int y) {
    return qRgb((x * 7 + f * 31) & 255, (y * 13 + f * 17) & 255, (x + y + 3 * f) & 255);
}
inline int testIndex(int f, int x, int y) {
    return (x + 3 * y + 5 * f) & 255;
}
inline QRgb testPaletteColour(int i) {
    return qRgb(i, 255 - i, (i * 3) & 255);
}

// What a decoder must show for pixel (x, y) of frame f (black past a short palette).
inline QRgb expectedPixel(const AviLayout& l, int f, int x, int y) {
    if (l.bitCount != 8)
        return testPixel(f, x, y);
    const int i = testIndex(f, x, y);
    return i < l.paletteEntries ? testPaletteColour(i) : qRgb(0, 0, 0);
}

class RiffWriter {
public:
    std::vector<unsigned char> bytes;

    void u8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); }
    void u16(unsigned v) { u8(v), u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
    void u32s(std::initializer_list<std::uint32_t> values) {
        for (std::uint32_t v : values)
            u32(v);
    }
    void id(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.begin() + 4); }
    // Starts a chunk (with a form type for RIFF and LIST) and returns where its size goes.
    std::size_t begin(const std::string& chunkId, const std::string& type = {}) {
        id(chunkId);
        const std::size_t at = bytes.size();
        u32(0);
        if (!type.empty())
            id(type);
        return at;
    }
    void end(std::size_t at) {
        const std::uint32_t size = std::uint32_t(bytes.size() - at - 4);
        for (int i = 0; i < 4; ++i)
            bytes[at + std::size_t(i)] = static_cast<unsigned char>(size >> (8 * i));
        if (size & 1u)
            u8(0);
    }
};

inline std::vector<unsigned char> makeAvi(const AviLayout& l) {
    RiffWriter w;
    const std::size_t riff = w.begin("RIFF", "AVI ");
    const std::size_t hdrl = w.begin("LIST", "hdrl");
    const std::size_t avih = w.begin("avih");
    w.u32s({l.periodUs, 0, 0, l.index ? 0x10u : 0u, std::uint32_t(l.frames), 0,
            l.audioStreamFirst ? 2u : 1u, 0, std::uint32_t(l.width), std::uint32_t(l.height), 0, 0,
            0, 0});
    w.end(avih);
    if (l.audioStreamFirst) {
        const std::size_t strl = w.begin("LIST", "strl");
        const std::size_t strh = w.begin("strh");
        w.id("auds");
        w.u32s({0, 0, 0, 0, 1, 22050, 0, 0, 0, 0, 0, 0, 0});
        w.end(strh);
        w.end(strl);
    }
    const std::size_t strl = w.begin("LIST", "strl");
    const std::size_t strh = w.begin("strh");
    w.id("vids");
    w.id("DIB ");
    w.u32s({0, 0, 0, 1, 15, 0, std::uint32_t(l.frames), 0, 0xFFFFFFFF, 0, 0, 0});
    w.end(strh);
    const std::size_t strf = w.begin("strf");
    w.u32s({40, std::uint32_t(l.width), std::uint32_t(l.topDown ? -l.height : l.height)});
    w.u16(1);
    w.u16(unsigned(l.bitCount));
    w.u32s({l.compression, 0, 0, 0, l.bitCount == 8 ? std::uint32_t(l.paletteEntries) : 0, 0});
    for (int i = 0; l.bitCount == 8 && i < l.paletteEntries; ++i)
        w.u32(testPaletteColour(i) & 0xFFFFFF); // blue, green, red, 0
    w.end(strf);
    w.end(strl);
    w.end(hdrl);

    const std::size_t junk = w.begin("JUNK");
    w.u8(0); // odd: a pad byte follows
    w.end(junk);

    const std::string frameId =
        std::string(l.audioStreamFirst ? "01" : "00") + (l.compressedIds ? "dc" : "db");
    const int stride = (l.width * l.bitCount + 31) / 32 * 4;
    const std::size_t movi = w.begin("LIST", "movi");
    std::vector<std::uint32_t> index;
    for (int f = 0; f < l.frames; ++f) {
        const std::size_t rec = l.recLists ? w.begin("LIST", "rec ") : 0;
        if (l.audioStreamFirst) {
            const std::size_t audio = w.begin("00wb");
            w.u8(0x80);
            w.end(audio);
        }
        index.push_back(std::uint32_t(w.bytes.size() - movi - 8));
        const std::size_t frame = w.begin(frameId);
        for (int y = 0; f != l.emptyFrameAt && y < l.height; ++y) {
            const int row = l.topDown ? y : l.height - 1 - y;
            const std::size_t start = w.bytes.size();
            for (int x = 0; x < l.width; ++x) {
                if (l.bitCount == 8) {
                    w.u8(unsigned(testIndex(f, x, row)));
                    continue;
                }
                const QRgb c = testPixel(f, x, row);
                w.u8(unsigned(qBlue(c))), w.u8(unsigned(qGreen(c))), w.u8(unsigned(qRed(c)));
                if (l.bitCount == 32)
                    w.u8(0);
            }
            while (w.bytes.size() - start < std::size_t(stride))
                w.u8(0xEE); // row padding, never a pixel
        }
        w.end(frame);
        if (l.recLists)
            w.end(rec);
    }
    w.end(movi);
    if (l.index) {
        const std::size_t idx1 = w.begin("idx1");
        for (std::uint32_t offset : index) {
            w.id(frameId);
            w.u32s({0x10, offset, 0});
        }
        w.end(idx1);
    }
    w.end(riff);
    return w.bytes;
}

inline bool writeFile(const QString& path, const std::vector<unsigned char>& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) ==
               qint64(bytes.size());
}

} // namespace kw27::test
