#pragma once

#include <QByteArray>
#include <cstdint>

// Little-endian field writers shared by the WAV writer and the data set's AVI writer.
namespace kw27::riff {

inline void put16(QByteArray& out, std::uint16_t v) {
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

inline void put32(QByteArray& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((v >> shift) & 0xFF));
}

inline void putId(QByteArray& out, const char (&id)[5]) {
    out.append(id, 4);
}

// Overwrites a 32-bit field written earlier (a chunk size known only at the chunk's end).
inline void patch32(QByteArray& out, qsizetype at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xFF);
}

// Starts a chunk and returns where its size field is, for endChunk.
inline qsizetype beginChunk(QByteArray& out, const char (&id)[5]) {
    putId(out, id);
    const qsizetype sizeAt = out.size();
    put32(out, 0);
    return sizeAt;
}

inline qsizetype beginList(QByteArray& out, const char (&listId)[5], const char (&form)[5]) {
    const qsizetype sizeAt = beginChunk(out, listId);
    putId(out, form);
    return sizeAt;
}

// Fills in the size and adds the pad byte after odd-sized contents.
inline void endChunk(QByteArray& out, qsizetype sizeAt) {
    const auto size = std::uint32_t(out.size() - sizeAt - 4);
    patch32(out, sizeAt, size);
    if (size % 2 != 0)
        out.append('\0');
}

} // namespace kw27::riff
