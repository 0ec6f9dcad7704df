#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kw27 {

// One chunk as the reader sees it: the 4-character id, the declared size of its contents
// (the pad byte after an odd size is not counted), where the contents start, and for a
// RIFF or LIST chunk its form type. Offsets are from the start of the file or buffer.
struct RiffChunk {
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    std::uint64_t dataOffset = 0;
    std::uint32_t formType = 0;
};

constexpr std::uint32_t fourCC(const char (&s)[5]) {
    return std::uint32_t(std::uint8_t(s[0])) | std::uint32_t(std::uint8_t(s[1])) << 8 |
           std::uint32_t(std::uint8_t(s[2])) << 16 | std::uint32_t(std::uint8_t(s[3])) << 24;
}

// Reader for RIFF files (the stand-in for the mmio functions): open, descend into the RIFF
// chunk of a form type, descend into a chunk by id within a parent, read, ascend past the pad
// byte, close. Never reads outside the file, nor outside the chunk that is being read.
class RiffReader {
public:
    // Opens a file (a path already resolved; see resolveDataPath). Returns nullptr when the
    // file cannot be opened for reading.
    static std::unique_ptr<RiffReader> openFile(const std::filesystem::path& path);
    // Reads from memory; the bytes are copied.
    static std::unique_ptr<RiffReader> openMemory(const void* data, std::size_t size);

    ~RiffReader();
    RiffReader(const RiffReader&) = delete;
    RiffReader& operator=(const RiffReader&) = delete;

    // Finds the first RIFF chunk of the given form type, searching from the start of the
    // file, and enters it (the position is after the form type). False when there is none.
    bool findRiff(std::uint32_t formType, RiffChunk& out);
    // Finds a LIST chunk of the given form type within parent, forward from the current
    // position, and enters it.
    bool findList(const RiffChunk& parent, std::uint32_t formType, RiffChunk& out);
    // Finds the next chunk with the given id within parent, searching forward from the
    // current position (chunks before it are skipped whole), and enters it. False when the
    // parent ends first or a chunk header runs past the parent or the file.
    bool findChunk(const RiffChunk& parent, std::uint32_t id, RiffChunk& out);
    // Reads up to n bytes from the current position, never past the end of the file or of
    // the innermost chunk entered with findChunk that has not been ascended yet. Returns the
    // number of bytes read.
    std::size_t read(void* dest, std::size_t n);
    // Moves to the byte after chunk, past its pad byte when its size is odd.
    void ascend(const RiffChunk& chunk);
    // Reads up to n bytes at offset, whatever chunk has been entered, never past the end of
    // the file; the position stays where it is. Returns the number of bytes read.
    std::size_t readAt(std::uint64_t offset, void* dest, std::size_t n);

    // How many bytes read() can still give from the current position: what the file really
    // holds of the chunk being read, whatever its header claims.
    std::uint64_t remaining() const;
    std::uint64_t position() const;
    std::uint64_t fileSize() const;
    void close();

private:
    struct Impl;
    explicit RiffReader(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace kw27
