#pragma once

// Builds small uncompressed AVI files in memory for tests: the layout options cover what the
// player must read (bit depths, row order, frames inside "rec " lists, "dc" frame ids, a
// stream before the video stream, an index and filler chunks).

#include <QColor>
#include <QFile>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace kw27::test {

struct AviLayout {
    int width = 65;
    int height = 48;
    int bitCount = 24;  // 8 (with a palette), 24 or 32
    bool topDown = false;
    int frames = 4;
    std::uint32_t periodUs = 66667;
    // When non-zero, the main header's period is zero and the stream's rate gives it.
    std::uint32_t streamScale = 0;
    std::uint32_t streamRate = 0;
    bool recLists = false;
    bool compressedIds = false;     // "00dc" instead of "00db"
    bool audioStreamFirst = false;  // the video stream is then stream 1
    bool index = true;
    bool junk = false;
    int paletteEntries = 256;    // 8-bit only; written as the header's colours-used count
    int emptyFrameAt = -1;       // a zero-size frame chunk at this position
    std::uint32_t compression = 0;
};

// The colour of pixel (x, y) of frame f, as the clip records it.
inline QRgb testPixel(int f, int x, int y) {
    return qRgb((x * 7 + f * 31) & 255, (y * 13 + f * 17) & 255, (x + y + 3 * f) & 255);
}
// For 8-bit clips: the palette index of a pixel and the colour of an index.
inline int testIndex(int f, int x, int y) { return (x + 3 * y + 5 * f) & 255; }
inline QRgb testPaletteColour(int i) { return qRgb(i, 255 - i, (i * 3) & 255); }

// The colour a decoder must show for pixel (x, y) of frame f.
inline QRgb expectedPixel(const AviLayout& l, int f, int x, int y) {
    if (l.bitCount != 8)
        return testPixel(f, x, y);
    const int i = testIndex(f, x, y);
    return i < l.paletteEntries ? testPaletteColour(i) : qRgb(0, 0, 0);
}

class ByteWriter {
public:
    std::vector<unsigned char> bytes;

    void u8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); }
    void u16(unsigned v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void id(const char* s) {
        for (int i = 0; i < 4; ++i)
            u8(static_cast<unsigned char>(s[i]));
    }
    // Starts a chunk and returns where its size goes.
    std::size_t begin(const char* chunkId) {
        id(chunkId);
        const std::size_t at = bytes.size();
        u32(0);
        return at;
    }
    std::size_t beginList(const char* listId, const char* type) {
        const std::size_t at = begin(listId);
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

inline std::vector<unsigned char> frameBits(const AviLayout& l, int f) {
    const int stride = (l.width * l.bitCount + 31) / 32 * 4;
    std::vector<unsigned char> bits(std::size_t(stride * l.height), 0xEE);  // padding visible
    for (int y = 0; y < l.height; ++y) {
        const int row = l.topDown ? y : l.height - 1 - y;
        unsigned char* p = bits.data() + std::size_t(row * stride);
        for (int x = 0; x < l.width; ++x) {
            if (l.bitCount == 8) {
                p[x] = static_cast<unsigned char>(testIndex(f, x, y));
                continue;
            }
            const QRgb c = testPixel(f, x, y);
            const int bytesPerPixel = l.bitCount / 8;
            p[x * bytesPerPixel] = static_cast<unsigned char>(qBlue(c));
            p[x * bytesPerPixel + 1] = static_cast<unsigned char>(qGreen(c));
            p[x * bytesPerPixel + 2] = static_cast<unsigned char>(qRed(c));
            if (bytesPerPixel == 4)
                p[x * bytesPerPixel + 3] = 0;
        }
    }
    return bits;
}

inline std::vector<unsigned char> makeAvi(const AviLayout& l) {
    ByteWriter w;
    const std::size_t riff = w.beginList("RIFF", "AVI ");
    const std::size_t hdrl = w.beginList("LIST", "hdrl");
    const std::size_t avih = w.begin("avih");
    w.u32(l.streamRate ? 0 : l.periodUs);
    w.u32(0);
    w.u32(0);
    w.u32(l.index ? 0x10 : 0);
    w.u32(std::uint32_t(l.frames));
    w.u32(0);
    w.u32(l.audioStreamFirst ? 2 : 1);
    w.u32(0);
    w.u32(std::uint32_t(l.width));
    w.u32(std::uint32_t(l.height));
    for (int i = 0; i < 4; ++i)
        w.u32(0);
    w.end(avih);

    if (l.audioStreamFirst) {
        const std::size_t strl = w.beginList("LIST", "strl");
        const std::size_t strh = w.begin("strh");
        w.id("auds");
        for (int i = 0; i < 13; ++i)
            w.u32(i == 4 ? 1 : i == 5 ? 22050 : 0);
        w.end(strh);
        const std::size_t strf = w.begin("strf");
        w.u16(1);
        w.u16(1);
        w.u32(22050);
        w.u32(22050);
        w.u16(1);
        w.u16(8);
        w.end(strf);
        w.end(strl);
    }

    const std::size_t strl = w.beginList("LIST", "strl");
    const std::size_t strh = w.begin("strh");
    w.id("vids");
    w.id("DIB ");
    w.u32(0);
    w.u32(0);
    w.u32(0);
    w.u32(l.streamScale);
    w.u32(l.streamRate);
    w.u32(0);
    w.u32(std::uint32_t(l.frames));
    w.u32(0);
    w.u32(0xFFFFFFFF);
    w.u32(0);
    w.u16(0);
    w.u16(0);
    w.u16(std::uint32_t(l.width));
    w.u16(std::uint32_t(l.height));
    w.end(strh);
    const std::size_t strf = w.begin("strf");
    w.u32(40);
    w.u32(std::uint32_t(l.width));
    w.u32(std::uint32_t(l.topDown ? -l.height : l.height));
    w.u16(1);
    w.u16(unsigned(l.bitCount));
    w.u32(l.compression);
    w.u32(0);
    w.u32(0);
    w.u32(0);
    w.u32(l.bitCount == 8 ? std::uint32_t(l.paletteEntries) : 0);
    w.u32(0);
    if (l.bitCount == 8)
        for (int i = 0; i < l.paletteEntries; ++i) {
            const QRgb c = testPaletteColour(i);
            w.u8(unsigned(qBlue(c)));
            w.u8(unsigned(qGreen(c)));
            w.u8(unsigned(qRed(c)));
            w.u8(0);
        }
    w.end(strf);
    w.end(strl);
    w.end(hdrl);

    if (l.junk) {
        const std::size_t junk = w.begin("JUNK");
        for (int i = 0; i < 13; ++i)
            w.u8(0);
        w.end(junk);
    }

    const std::string stream = l.audioStreamFirst ? "01" : "00";
    const std::string frameId = stream + (l.compressedIds ? "dc" : "db");
    const std::size_t movi = w.beginList("LIST", "movi");
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;  // offset, size
    for (int f = 0; f < l.frames; ++f) {
        std::size_t rec = 0;
        if (l.recLists)
            rec = w.beginList("LIST", "rec ");
        if (l.audioStreamFirst) {
            const std::size_t audio = w.begin("00wb");
            for (int i = 0; i < 7; ++i)
                w.u8(0x80);
            w.end(audio);
        }
        const std::size_t at = w.begin(frameId.c_str());
        if (f != l.emptyFrameAt) {
            const auto bits = frameBits(l, f);
            w.bytes.insert(w.bytes.end(), bits.begin(), bits.end());
        }
        entries.emplace_back(std::uint32_t(at - 4 - (movi + 4)),
                             std::uint32_t(w.bytes.size() - at - 4));
        w.end(at);
        if (l.recLists)
            w.end(rec);
    }
    w.end(movi);

    if (l.index) {
        const std::size_t idx1 = w.begin("idx1");
        for (const auto& [offset, size] : entries) {
            w.id(frameId.c_str());
            w.u32(0x10);
            w.u32(offset);
            w.u32(size);
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

}  // namespace kw27::test
