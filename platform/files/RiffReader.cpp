#include "RiffReader.h"

#include "ByteOrder.h"
#include "WholeFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace kw27 {
namespace {

constexpr std::uint32_t kRiff = fourCC("RIFF");
constexpr std::uint32_t kList = fourCC("LIST");
constexpr std::uint64_t kHeaderSize = 8;

bool hasFormType(std::uint32_t id) {
    return id == kRiff || id == kList;
}

// End of a chunk's contents; 64-bit so that a size near 0xFFFFFFFF cannot wrap.
std::uint64_t contentEnd(const RiffChunk& c) {
    return c.dataOffset + c.size;
}

// Where the next chunk after c begins: its contents plus the pad byte of an odd size.
std::uint64_t chunkEnd(const RiffChunk& c) {
    return contentEnd(c) + (c.size & 1u);
}

// Where a parent's sub-chunks begin: after the form type of a RIFF or LIST chunk.
std::uint64_t childrenStart(const RiffChunk& parent) {
    return parent.dataOffset + (hasFormType(parent.id) ? 4 : 0);
}

} // namespace

struct RiffReader::Impl {
    // Exactly one source: an open file, or the copied bytes.
    std::FILE* file = nullptr;
    std::vector<unsigned char> memory;
    bool isOpen = false;

    std::uint64_t size = 0;
    std::uint64_t pos = 0;
    // Where the FILE's own position is, so that sequential reads need no seek.
    std::uint64_t filePos = 0;

    // Chunks entered and not yet ascended, innermost last, each with the end beyond which
    // reading stops (its own end, never past its parent's).
    struct Entered {
        std::uint64_t dataOffset;
        std::uint64_t limit;
    };
    std::vector<Entered> entered;

    ~Impl() { closeSource(); }

    void closeSource() {
        if (file)
            std::fclose(file);
        file = nullptr;
        memory.clear();
        memory.shrink_to_fit();
        isOpen = false;
        entered.clear();
    }

    // Reads up to n bytes at offset, never past the end of the source.
    std::size_t readAt(std::uint64_t offset, void* dest, std::size_t n) {
        if (!isOpen || offset >= size)
            return 0;
        const std::size_t count = std::size_t(std::min<std::uint64_t>(n, size - offset));
        if (count == 0)
            return 0;
        if (!file) {
            std::memcpy(dest, memory.data() + offset, count);
            return count;
        }
        if (filePos != offset) {
            if (fseeko(file, off_t(offset), SEEK_SET) != 0)
                return 0;
            filePos = offset;
        }
        const std::size_t got = std::fread(dest, 1, count, file);
        filePos += got;
        if (got < count)
            std::clearerr(file);
        return got;
    }

    // Reads the header of the chunk at offset when the whole header lies before limit.
    bool readHeader(std::uint64_t offset, std::uint64_t limit, RiffChunk& out) {
        if (offset > limit || limit - offset < kHeaderSize)
            return false;
        unsigned char header[kHeaderSize];
        if (readAt(offset, header, sizeof header) != sizeof header)
            return false;
        out.id = readLe32(header);
        out.size = readLe32(header + 4);
        out.dataOffset = offset + kHeaderSize;
        out.formType = 0;
        return true;
    }

    // Reads the form type of a RIFF or LIST chunk when its contents hold one.
    bool readFormType(const RiffChunk& c, std::uint32_t& formType) {
        unsigned char type[4];
        if (c.size < 4 || readAt(c.dataOffset, type, sizeof type) != sizeof type)
            return false;
        formType = readLe32(type);
        return true;
    }

    // A chunk with the id given (RIFF or LIST) whose contents start with the form type given.
    bool isForm(const RiffChunk& c, std::uint32_t id, std::uint32_t formType) {
        std::uint32_t type = 0;
        return c.id == id && readFormType(c, type) && type == formType;
    }

    void enter(RiffChunk& c, std::uint64_t parentLimit) {
        pos = c.dataOffset;
        if (hasFormType(c.id) && readFormType(c, c.formType))
            pos += 4;
        entered.push_back({c.dataOffset, std::min(contentEnd(c), parentLimit)});
    }

    // Walks the chunks from start (clamped into the parent's children) up to limit, skipping
    // whole chunks, and enters the first that matches. A header that does not fit before the
    // limit or the end of the source ends the walk; the position is then left as it was.
    template <typename Match>
    bool find(std::uint64_t start, std::uint64_t limit, Match matches, RiffChunk& out) {
        if (!isOpen)
            return false;
        limit = std::min(limit, size);
        std::uint64_t offset = start;
        RiffChunk c;
        while (readHeader(offset, limit, c)) {
            if (matches(c)) {
                enter(c, limit);
                out = c;
                return true;
            }
            offset = chunkEnd(c);
        }
        return false;
    }

    std::uint64_t readLimit() const {
        const std::uint64_t chunkLimit = entered.empty() ? size : entered.back().limit;
        return std::min(chunkLimit, size);
    }

    // Searching inside parent abandons any chunk entered inside it and not ascended. Returns
    // where the search must stop: the parent's end, and no further than the parent itself may
    // be read when it was entered inside a smaller chunk.
    std::uint64_t leaveChildrenOf(const RiffChunk& parent) {
        while (!entered.empty() && entered.back().dataOffset > parent.dataOffset)
            entered.pop_back();
        std::uint64_t limit = contentEnd(parent);
        if (!entered.empty() && entered.back().dataOffset == parent.dataOffset)
            limit = std::min(limit, entered.back().limit);
        return limit;
    }
};

RiffReader::RiffReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RiffReader::~RiffReader() = default;

std::unique_ptr<RiffReader> RiffReader::openFile(const std::filesystem::path& path) {
    std::uint64_t size = 0;
    const int fd = openRegularFile(path.c_str(), size);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->file = file;
    impl->isOpen = true;
    impl->size = size;
    return std::unique_ptr<RiffReader>(new RiffReader(std::move(impl)));
}

std::unique_ptr<RiffReader> RiffReader::openMemory(const void* data, std::size_t size) {
    auto impl = std::make_unique<Impl>();
    if (size > 0)
        impl->memory.assign(static_cast<const unsigned char*>(data),
                            static_cast<const unsigned char*>(data) + size);
    impl->isOpen = true;
    impl->size = size;
    return std::unique_ptr<RiffReader>(new RiffReader(std::move(impl)));
}

bool RiffReader::findRiff(std::uint32_t formType, RiffChunk& out) {
    Impl& d = *impl_;
    d.entered.clear();
    return d.find(
        0, d.size, [&](const RiffChunk& c) { return d.isForm(c, kRiff, formType); }, out);
}

bool RiffReader::findList(const RiffChunk& parent, std::uint32_t formType, RiffChunk& out) {
    Impl& d = *impl_;
    const std::uint64_t limit = d.leaveChildrenOf(parent);
    const std::uint64_t start = std::max(d.pos, childrenStart(parent));
    return d.find(
        start, limit, [&](const RiffChunk& c) { return d.isForm(c, kList, formType); }, out);
}

bool RiffReader::findChunk(const RiffChunk& parent, std::uint32_t id, RiffChunk& out) {
    Impl& d = *impl_;
    const std::uint64_t limit = d.leaveChildrenOf(parent);
    const std::uint64_t start = std::max(d.pos, childrenStart(parent));
    return d.find(
        start, limit, [&](const RiffChunk& c) { return c.id == id; }, out);
}

std::size_t RiffReader::read(void* dest, std::size_t n) {
    Impl& d = *impl_;
    const std::uint64_t limit = d.readLimit();
    if (d.pos >= limit)
        return 0;
    const std::size_t count = std::size_t(std::min<std::uint64_t>(n, limit - d.pos));
    const std::size_t got = d.readAt(d.pos, dest, count);
    d.pos += got;
    return got;
}

std::size_t RiffReader::readAt(std::uint64_t offset, void* dest, std::size_t n) {
    return impl_->readAt(offset, dest, n);
}

void RiffReader::ascend(const RiffChunk& chunk) {
    Impl& d = *impl_;
    while (!d.entered.empty() && d.entered.back().dataOffset >= chunk.dataOffset)
        d.entered.pop_back();
    d.pos = chunkEnd(chunk);
}

std::uint64_t RiffReader::remaining() const {
    const std::uint64_t limit = impl_->readLimit();
    return impl_->pos < limit ? limit - impl_->pos : 0;
}

std::uint64_t RiffReader::position() const {
    return impl_->pos;
}

std::uint64_t RiffReader::fileSize() const {
    return impl_->size;
}

void RiffReader::close() {
    impl_->closeSource();
}

} // namespace kw27
