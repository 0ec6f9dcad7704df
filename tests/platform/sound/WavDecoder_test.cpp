#include "WavDecoder.h"

#include "RiffReader.h"
#include "WavFixture.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>
#include <limits>

using namespace kw27;
using namespace kw27::test;

namespace {

WavStatus decodeBytes(const std::string& bytes, PcmSound& out) {
    const auto reader = RiffReader::openMemory(bytes.data(), bytes.size());
    return decodeWav(*reader, out);
}

// The extension of the extensible layout: its size, valid bits, channel mask, then the
// encoding's GUID, which starts with the plain format tag.
std::string extensible(std::uint16_t validBits, std::uint16_t tag) {
    return le16(22) + le16(validBits) + le32(4) + le16(tag) +
           std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
}

std::string le24(std::int32_t v) {
    return le32(std::uint32_t(v)).substr(0, 3);
}

std::string float32(float f) {
    return le32(std::bit_cast<std::uint32_t>(f));
}

struct Pcm16Case {
    int channels;
    int rate;
    friend std::ostream& operator<<(std::ostream& os, const Pcm16Case& c) {
        return os << c.channels << " ch " << c.rate << " Hz";
    }
};

class WavDecoder16 : public ::testing::TestWithParam<Pcm16Case> {};

// Stereo comes out mixed down to mono, so that it sounds as loud as a mono recording.
TEST_P(WavDecoder16, KeepsEverySampleAndTheRate) {
    const auto [channels, rate] = GetParam();
    std::vector<std::int16_t> samples = noise16(std::size_t(300 * channels), 7 + channels);
    // The extremes must survive the trip: a sign or byte-order slip shows on them first.
    samples[1] = -32768;
    samples[2] = 32767;
    samples[3] = 0;
    samples[4] = 0x0102;

    PcmSound sound;
    ASSERT_EQ(decodeBytes(wav16(channels, rate, samples), sound), WavStatus::Ok);
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.sampleRate, rate);
    EXPECT_EQ(sound.frames(), 300u);
    EXPECT_EQ(sound.samples, channels == 1 ? samples : mixDown(samples));
}

INSTANTIATE_TEST_SUITE_P(MonoAndStereo, WavDecoder16,
                         ::testing::Values(Pcm16Case{1, 44100}, Pcm16Case{2, 22050},
                                           Pcm16Case{1, 96000}));

// 8-bit samples are unsigned around 128; a sample keeps its level when widened.
TEST(WavDecoder, Widens8BitSamplesToTheSameLevel) {
    const std::vector<std::pair<std::uint8_t, std::int16_t>> table = {
        {0, -32768}, {1, -32512}, {64, -16384}, {127, -256},
        {128, 0},    {129, 256},  {192, 16384}, {255, 32512}};
    std::vector<std::uint8_t> bytes;
    std::vector<std::int16_t> expected;
    for (const auto& [u, s] : table) {
        bytes.push_back(u);
        expected.push_back(s);
    }
    for (const int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        PcmSound sound;
        ASSERT_EQ(decodeBytes(wav8(channels, 11025, bytes), sound), WavStatus::Ok);
        EXPECT_EQ(sound.channels, 1);
        EXPECT_EQ(sound.sampleRate, 11025);
        EXPECT_EQ(sound.frames(), bytes.size() / channels);
        EXPECT_EQ(sound.samples, channels == 1 ? expected : mixDown(expected));
    }
}

struct ConversionCase {
    const char* name;
    std::string fmt;
    std::string data;
    std::vector<std::int16_t> samples;
};

// What recorders write (wider integers, floats, the extensible layout, stereo) comes out as
// 16-bit mono at the same level, rounded to the nearest value and held to the 16-bit range.
TEST(WavDecoder, ConvertsRecordersFormatsTo16BitMono) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::string ints24 = le24(0x7FFFFF) + le24(-0x800000) + le24(0x000080) + le24(0x00007F) +
                               le24(-0x81) + le24(0x123456);
    const std::vector<std::int16_t> from24 = {32767, -32768, 1, 0, -1, 0x1234};
    const std::string ints32 = le32(0x7FFFFFFF) + le32(0x80000000) + le32(0x00008000) +
                               le32(0x00007FFF) + le32(std::uint32_t(-0x10000)) + le32(0x12345678);
    const std::vector<std::int16_t> from32 = {32767, -32768, 1, 0, -1, 0x1234};
    const std::string floats = float32(1.0f) + float32(-1.0f) + float32(0.5f) + float32(2.0f) +
                               float32(-3.0f) + float32(nan) + float32(-0.25f) +
                               float32(1.0f / 65536);
    const std::vector<std::int16_t> fromFloat = {32767, -32768, 16384, 32767, -32768, 0, -8192, 1};
    const std::vector<ConversionCase> cases = {
        {"24-bit", fmtChunk(1, 24), ints24, from24},
        {"32-bit", fmtChunk(1, 32), ints32, from32},
        {"32-bit float", fmtChunk(1, 32, 44100, 3), floats, fromFloat},
        {"extensible 16-bit",
         fmtChunk(1, 16, 44100, 0xFFFE, {}, extensible(16, 1)),
         pcm16({-2, 3, 32767}),
         {-2, 3, 32767}},
        {"extensible 24-bit", fmtChunk(1, 24, 44100, 0xFFFE, {}, extensible(24, 1)), ints24,
         from24},
        {"extensible 20 valid bits of 24", fmtChunk(1, 24, 44100, 0xFFFE, {}, extensible(20, 1)),
         ints24, from24},
        {"extensible float", fmtChunk(1, 32, 44100, 0xFFFE, {}, extensible(32, 3)), floats,
         fromFloat},
        {"stereo 24-bit",
         fmtChunk(2, 24),
         le24(0x100) + le24(0x201) + le24(-0x8000) + le24(-0x8000),
         {2, -128}},
        {"stereo float",
         fmtChunk(2, 32, 44100, 3),
         float32(1.0f) + float32(1.0f) + float32(0.5f) + float32(-0.5f),
         {32767, 0}},
        {"stereo extensible 16-bit",
         fmtChunk(2, 16, 44100, 0xFFFE, {}, extensible(16, 1)),
         pcm16({100, 201, -32768, -32768}),
         {151, -32768}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PcmSound sound;
        ASSERT_EQ(decodeBytes(riff("WAVE", c.fmt + chunk("data", c.data)), sound), WavStatus::Ok);
        EXPECT_EQ(sound.channels, 1);
        EXPECT_EQ(sound.sampleRate, 44100);
        EXPECT_EQ(sound.samples, c.samples);
    }
}

struct LayoutCase {
    const char* name;
    std::string bytes;
    int channels;
    std::vector<std::int16_t> samples;
};

// Files that are playable although they are not laid out the plain way.
TEST(WavDecoder, ReadsFilesWithOtherChunksAndCutShortData) {
    const auto mono = noise16(101, 3);
    const auto stereo = noise16(200, 4);
    const auto mono8 = noise8(7, 5);
    std::vector<std::int16_t> mono8Widened;
    for (std::uint8_t u : mono8)
        mono8Widened.push_back(std::int16_t((u - 128) * 256));
    const std::string fmt16 = fmtChunk();
    const std::string stereoData = pcm16(stereo);
    const std::vector<std::int16_t> first60(mono.begin(), mono.begin() + 60);
    const std::vector<std::int16_t> stereoWhole(stereo.begin(), stereo.begin() + 198);
    // The headers promise 1000 bytes of samples; the file ends after 120 of them.
    const std::string cutShort = "RIFF" + le32(std::uint32_t(4 + fmt16.size() + 8 + 1000)) +
                                 "WAVE" + fmt16 + "data" + le32(1000) + pcm16(first60);

    const std::vector<LayoutCase> cases = {
        {"chunk before the format",
         riff("WAVE", chunk("JUNK", "abc") + fmt16 + chunk("data", pcm16(mono))), 1, mono},
        {"odd-sized list between format and data (pad byte)",
         riff("WAVE", fmt16 + chunk("LIST", "INFOabcde") + chunk("data", pcm16(mono))), 1, mono},
        {"format with an extension size field",
         riff("WAVE", fmtChunk(1, 16, 44100, 1, {}, le16(0)) + chunk("data", pcm16(mono))), 1,
         mono},
        {"odd-length 8-bit data", riff("WAVE", fmtChunk(1, 8) + chunk("data", pcm8(mono8))), 1,
         mono8Widened},
        {"trailing part of a frame",
         riff("WAVE", fmtChunk(2) + chunk("data", stereoData.substr(0, stereoData.size() - 1))), 1,
         mixDown(stereoWhole)},
        {"file cut short inside the data", cutShort, 1, first60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PcmSound sound;
        ASSERT_EQ(decodeBytes(c.bytes, sound), WavStatus::Ok);
        EXPECT_EQ(sound.channels, c.channels);
        EXPECT_EQ(sound.samples, c.samples);
    }
}

struct FailureCase {
    const char* name;
    std::string bytes;
    WavStatus status;
};

TEST(WavDecoder, RejectsWhatCannotBePlayed) {
    const std::string data = chunk("data", pcm16(noise16(10, 9)));
    const std::string fmt16 = fmtChunk();
    const std::vector<FailureCase> cases = {
        {"empty", "", WavStatus::NotWave},
        {"not RIFF", "RIFX" + riff("WAVE", fmt16 + data).substr(4), WavStatus::NotWave},
        {"other form", riff("AVI ", fmt16 + data), WavStatus::NotWave},
        {"no format", riff("WAVE", data), WavStatus::NoFormat},
        {"format too short", riff("WAVE", chunk("fmt ", fmt16.substr(8, 14)) + data),
         WavStatus::NoFormat},
        {"extensible of another encoding",
         riff("WAVE", fmtChunk(1, 16, 44100, 0xFFFE, {}, extensible(16, 2)) + data),
         WavStatus::UnsupportedFormat},
        {"ADPCM", riff("WAVE", fmtChunk(1, 4, 44100, 2) + data), WavStatus::UnsupportedFormat},
        {"three channels", riff("WAVE", fmtChunk(3) + data), WavStatus::UnsupportedFormat},
        {"no channels", riff("WAVE", fmtChunk(0) + data), WavStatus::UnsupportedFormat},
        {"block align that does not match", riff("WAVE", fmtChunk(2, 16, 44100, 1, 2) + data),
         WavStatus::UnsupportedFormat},
        {"rate zero", riff("WAVE", fmtChunk(1, 16, 0) + data), WavStatus::UnsupportedFormat},
        // A synchronous play of a 1 Hz sound would hold the window for an hour.
        {"rate too slow to play", riff("WAVE", fmtChunk(1, 16, 999) + data),
         WavStatus::UnsupportedFormat},
        {"rate too fast to resample", riff("WAVE", fmtChunk(1, 16, 384001) + data),
         WavStatus::UnsupportedFormat},
        {"rate beyond a signed 32-bit value", riff("WAVE", fmtChunk(1, 16, 0x80000000u) + data),
         WavStatus::UnsupportedFormat},
        {"data before the format", riff("WAVE", data + fmt16), WavStatus::NoData},
        {"no data", riff("WAVE", fmt16 + chunk("LIST", "INFO")), WavStatus::NoData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PcmSound sound;
        sound.channels = 2;
        sound.sampleRate = 8000;
        sound.samples = {1, 2};
        EXPECT_EQ(decodeBytes(c.bytes, sound), c.status);
        EXPECT_EQ(sound.channels, 0);
        EXPECT_TRUE(sound.samples.empty());
    }
}

// A file whose samples would not fit one mixer buffer is refused before anything is read
// (the file is sparse: it takes no disk space).
TEST(WavDecoder, RefusesSoundsTooLargeForTheMixer) {
    constexpr std::uint32_t dataSize = 0x48000000; // 1.1 GiB of 8-bit samples
    const std::string head = riff("WAVE", fmtChunk(1, 8)) + "data" + le32(dataSize);
    std::string file = head;
    const std::uint32_t riffSize = std::uint32_t(head.size() - 8 + dataSize);
    file.replace(4, 4, le32(riffSize));
    writeFile("huge.wav", file);
    std::filesystem::resize_file("huge.wav", head.size() + dataSize);

    PcmSound sound;
    EXPECT_EQ(decodeWavFile("huge.wav", sound), WavStatus::TooLarge);
    EXPECT_TRUE(sound.samples.empty());
    std::filesystem::remove("huge.wav");
}

} // namespace
