// Walks arbitrary bytes with the RIFF reader the way WAV loading and the clip player do, and
// with a random sequence of operations, from memory and from a file. Every byte the reader
// hands out must be the input's byte at that position, inside the file, and, for the walks
// that use the reader as intended, inside the chunk being read.

#include "RiffReader.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using kw27::fourCC;
using kw27::RiffChunk;
using kw27::RiffReader;

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "riff_fuzz: %s\n", what);
        __builtin_trap();
    }
}

struct Input {
    const std::uint8_t* data;
    std::size_t size;
};

// Reads n bytes and checks them against the input. limit is the end of the chunk being read
// when the caller knows it (0 when not checked).
std::size_t checkedRead(RiffReader& r, const Input& in, std::size_t n, std::uint64_t limit) {
    std::vector<std::uint8_t> buf(n);
    const std::uint64_t before = r.position();
    const std::uint64_t left = r.remaining();
    const std::size_t got = r.read(buf.data(), n);
    check(got <= n, "read more than asked");
    check(got <= left && r.remaining() == left - got, "read beyond what remaining() said");
    check(r.position() == before + got, "position does not follow the read");
    if (got > 0) {
        check(before + got <= in.size, "read past the end of the file");
        check(std::memcmp(buf.data(), in.data + before, got) == 0, "bytes differ from the input");
    }
    if (limit != 0)
        check(before + got <= std::max<std::uint64_t>(limit, before), "read past the chunk");
    return got;
}

std::uint64_t contentEnd(const RiffChunk& c) {
    return c.dataOffset + c.size;
}

void checkFound(const RiffChunk& c, const RiffChunk& parent, const Input& in) {
    check(c.dataOffset >= 8 && c.dataOffset <= in.size, "chunk header outside the file");
    check(c.dataOffset - 8 >= parent.dataOffset, "chunk before its parent");
    check(c.dataOffset <= contentEnd(parent), "chunk header outside its parent");
}

void walkWav(RiffReader& r, const Input& in) {
    RiffChunk riff, fmt, data;
    if (!r.findRiff(fourCC("WAVE"), riff))
        return;
    check(riff.dataOffset >= 8 && riff.dataOffset + 4 <= in.size, "form type outside the file");
    if (!r.findChunk(riff, fourCC("fmt "), fmt))
        return;
    checkFound(fmt, riff, in);
    const std::size_t want = std::min<std::uint32_t>(fmt.size, 40);
    if (checkedRead(r, in, want, contentEnd(fmt)) != want)
        return;
    r.ascend(fmt);
    if (!r.findChunk(riff, fourCC("data"), data))
        return;
    checkFound(data, riff, in);
    check(data.dataOffset >= contentEnd(fmt), "data found before the end of fmt");
    // The declared size may be anything: read in pieces, as far as the file allows.
    std::uint64_t total = 0;
    while (total < data.size) {
        const std::size_t got = checkedRead(r, in, 4096, contentEnd(data));
        if (got == 0)
            break;
        total += got;
    }
    check(total <= data.size, "more data than the chunk declares");
}

void walkAvi(RiffReader& r, const Input& in) {
    RiffChunk riff, hdrl, avih, strl, c, movi;
    if (!r.findRiff(fourCC("AVI "), riff))
        return;
    if (r.findList(riff, fourCC("hdrl"), hdrl)) {
        checkFound(hdrl, riff, in);
        check(hdrl.formType == fourCC("hdrl"), "wrong list type");
        if (r.findChunk(hdrl, fourCC("avih"), avih)) {
            checkedRead(r, in, 56, contentEnd(avih));
            r.ascend(avih);
        }
        while (r.findList(hdrl, fourCC("strl"), strl)) {
            checkFound(strl, hdrl, in);
            for (std::uint32_t id : {fourCC("strh"), fourCC("strf")}) {
                if (r.findChunk(strl, id, c)) {
                    checkFound(c, strl, in);
                    checkedRead(r, in, 1064, std::min(contentEnd(c), contentEnd(strl)));
                    r.ascend(c);
                }
            }
            r.ascend(strl);
        }
        r.ascend(hdrl);
    }
    if (!r.findList(riff, fourCC("movi"), movi))
        return;
    std::uint64_t last = movi.dataOffset;
    while (r.findChunk(movi, fourCC("00db"), c)) {
        checkFound(c, movi, in);
        check(c.dataOffset > last, "frames do not move forward");
        last = c.dataOffset;
        checkedRead(r, in, std::min<std::uint32_t>(c.size, 65536),
                    std::min(contentEnd(c), contentEnd(movi)));
        r.ascend(c);
    }
}

// Any order of operations, including ones a careful caller would not make.
void walkScript(RiffReader& r, const Input& in, FuzzedDataProvider& ops) {
    static const std::uint32_t ids[] = {fourCC("RIFF"), fourCC("LIST"), fourCC("WAVE"),
                                        fourCC("AVI "), fourCC("fmt "), fourCC("data"),
                                        fourCC("hdrl"), fourCC("strl"), fourCC("movi"),
                                        fourCC("00db"), fourCC("JUNK")};
    std::vector<RiffChunk> chunks;
    for (int step = 0; step < 64 && ops.remaining_bytes() > 0; ++step) {
        const std::uint32_t id =
            ops.ConsumeBool() ? ops.PickValueInArray(ids) : ops.ConsumeIntegral<std::uint32_t>();
        RiffChunk parent = chunks.empty() ? RiffChunk{} : chunks.back();
        if (chunks.empty()) {
            parent.id = fourCC("RIFF");
            parent.size = ops.ConsumeIntegral<std::uint32_t>();
        }
        RiffChunk found;
        switch (ops.ConsumeIntegralInRange(0, 6)) {
        case 0:
            if (r.findRiff(id, found))
                chunks.push_back(found);
            break;
        case 1:
            if (r.findList(parent, id, found))
                chunks.push_back(found);
            break;
        case 2:
            if (r.findChunk(parent, id, found))
                chunks.push_back(found);
            break;
        case 3:
            checkedRead(r, in, ops.ConsumeIntegralInRange<std::size_t>(0, 70000), 0);
            break;
        case 4:
            if (!chunks.empty()) {
                r.ascend(chunks.back());
                chunks.pop_back();
            }
            break;
        case 5:
            if (!chunks.empty())
                chunks.erase(chunks.begin() +
                             long(ops.ConsumeIntegralInRange<std::size_t>(0, chunks.size() - 1)));
            break;
        case 6:
            if (ops.ConsumeIntegralInRange(0, 15) == 0)
                r.close();
            break;
        }
    }
}

// The same bytes as a file, through a memory-backed descriptor.
std::unique_ptr<RiffReader> openAsFile(const Input& in) {
    const int fd = memfd_create("riff_fuzz", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::size_t done = 0;
    while (done < in.size) {
        const ssize_t n = write(fd, in.data + done, in.size - done);
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    std::unique_ptr<RiffReader> r;
    if (done == in.size)
        r = RiffReader::openFile("/proc/self/fd/" + std::to_string(fd));
    close(fd);
    return r;
}

void runAll(std::unique_ptr<RiffReader> (*open)(const Input&), const Input& in) {
    if (auto r = open(in))
        walkWav(*r, in);
    if (auto r = open(in))
        walkAvi(*r, in);
    if (auto r = open(in)) {
        FuzzedDataProvider ops(in.data, in.size);
        walkScript(*r, in, ops);
    }
}

std::unique_ptr<RiffReader> openAsMemory(const Input& in) {
    return RiffReader::openMemory(in.data, in.size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input in{data, size};
    runAll(openAsMemory, in);
    runAll(openAsFile, in);
    return 0;
}
