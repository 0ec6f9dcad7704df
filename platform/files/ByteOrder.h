#pragma once

#include <cstdint>

namespace kw27 {

// Little-endian fields of RIFF files (WAV, AVI), read byte by byte so that neither the
// host's byte order nor the field's alignment matters.
inline std::uint16_t readLe16(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

// A signed 24-bit sample (three bytes, low first), sign-extended.
inline std::int32_t readLe24s(const unsigned char* p) {
    return std::int32_t(std::uint32_t(p[0]) << 8 | std::uint32_t(p[1]) << 16 |
                        std::uint32_t(p[2]) << 24) >>
           8;
}

inline std::uint32_t readLe32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

} // namespace kw27
