// Sounds made in memory, played on the loopback output: bit for bit, several starting on one
// sample, and cut off with a fade rather than a click.
#include "BufferPlayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace kw27;

namespace {

constexpr int kRate = 44100;

std::vector<std::int16_t> constant(std::size_t frames, std::int16_t value) {
    return std::vector<std::int16_t>(frames, value);
}

std::vector<std::int16_t> noise(std::size_t frames, std::uint32_t seed) {
    std::vector<std::int16_t> out(frames);
    for (auto& s : out) {
        seed = seed * 1664525u + 1013904223u;
        s = std::int16_t(std::int32_t(seed >> 16) - 32768);
    }
    return out;
}

float level(std::int32_t sample) {
    return float(sample) / 32768.0f;
}

// An output that has no device, as on a machine without a sound card.
class NoDevice final : public AudioOutput {
public:
    NoDevice() : AudioOutput(std::chrono::milliseconds(50)) {}
    void pass(Seconds) override {}

protected:
    ALCdevice* openDevice() override { return nullptr; }
    std::vector<ALCint> contextAttributes() const override { return {}; }
    bool realTime() const override { return false; }
};

TEST(BufferPlayer, OneSoundComesOutAsMade) {
    const auto sound = noise(3000, 5);
    LoopbackAudioOutput out(kRate, 1);
    BufferPlayer player(out);
    ASSERT_TRUE(player.play(sound, kRate));
    EXPECT_TRUE(player.isPlaying());
    out.render(sound.size() + 200);
    EXPECT_FALSE(player.isPlaying());
    const auto& mix = out.rendered();
    for (std::size_t i = 0; i < sound.size(); ++i)
        ASSERT_EQ(mix[i], level(sound[i])) << i;
    for (std::size_t i = sound.size(); i < mix.size(); ++i)
        ASSERT_EQ(mix[i], 0.0f) << i;
}

TEST(BufferPlayer, ThreeTogetherStartOnTheSameSample) {
    // Each a power of two, so that the mix tells at every frame which of them sound.
    const std::vector<BufferPlayer::Samples> sounds = {constant(1000, 1024), constant(1500, 2048),
                                                       constant(2000, 4096)};
    LoopbackAudioOutput out(kRate, 1);
    BufferPlayer player(out);
    out.render(77); // started mid-way, not on a fresh device
    out.discardRendered();
    ASSERT_TRUE(player.play(sounds, kRate));
    out.render(2100);
    const auto& mix = out.rendered();
    const struct {
        std::size_t from, to;
        std::int32_t sum;
    } spans[] = {{0, 1000, 7168}, {1000, 1500, 6144}, {1500, 2000, 4096}, {2000, 2100, 0}};
    for (const auto& span : spans)
        for (std::size_t i = span.from; i < span.to; ++i)
            ASSERT_EQ(mix[i], level(span.sum)) << i;
}

// A fade of one mixing period: no step larger than a small share of the level, then silence.
void expectFadeFrom(const std::vector<float>& mix, std::size_t at, float from, int period) {
    float previous = from;
    for (std::size_t i = at; i < at + std::size_t(period) * 2; ++i) {
        ASSERT_LE(std::abs(mix[i] - previous), std::abs(from) / 16) << i;
        previous = mix[i];
    }
    for (std::size_t i = at + std::size_t(period) * 2; i < mix.size(); ++i)
        ASSERT_EQ(mix[i], 0.0f) << i;
}

TEST(BufferPlayer, StopFadesEverySoundOut) {
    LoopbackAudioOutput out(kRate, 1);
    BufferPlayer player(out);
    ASSERT_TRUE(player.play({constant(40000, 4096), constant(40000, 8192)}, kRate));
    out.render(1000);
    player.stop();
    out.render(3000);
    EXPECT_FALSE(player.isPlaying());
    expectFadeFrom(out.rendered(), 1000, level(12288), out.periodFrames());
}

TEST(BufferPlayer, ANewPlayFadesTheOldOneAndStartsAtOnce) {
    LoopbackAudioOutput out(kRate, 1);
    BufferPlayer player(out);
    ASSERT_TRUE(player.play(constant(40000, 8192), kRate));
    out.render(1000);
    ASSERT_TRUE(player.play(constant(40000, 1024), kRate));
    out.render(3000);
    std::vector<float> withoutNew(out.rendered());
    for (std::size_t i = 1000; i < withoutNew.size(); ++i)
        withoutNew[i] -= level(1024);
    expectFadeFrom(withoutNew, 1000, level(8192), out.periodFrames());
    // And the new sound goes on alone.
    EXPECT_EQ(out.rendered().back(), level(1024));
    EXPECT_TRUE(player.isPlaying());
}

TEST(BufferPlayer, PlaysAgainAndAgainOnBothBanks) {
    LoopbackAudioOutput out(kRate, 1);
    BufferPlayer player(out);
    for (int round = 0; round < 5; ++round) {
        const auto sound = noise(500, std::uint32_t(round + 1));
        ASSERT_TRUE(player.play({sound, sound, sound}, kRate));
        const std::size_t at = out.renderedFrames();
        out.render(500 + 2 * std::size_t(out.periodFrames()));
        for (std::size_t i = 0; i < sound.size(); ++i)
            ASSERT_EQ(out.rendered()[at + i], 3.0f * level(sound[i])) << round << ":" << i;
    }
}

TEST(BufferPlayer, WithoutADeviceNothingPlaysAndNothingWaits) {
    NoDevice out;
    BufferPlayer player(out);
    EXPECT_FALSE(player.play(constant(100, 1000), kRate));
    EXPECT_FALSE(player.isPlaying());
    player.stop();
    EXPECT_FALSE(player.play({constant(100, 1000), constant(100, 1000)}, kRate));
}

TEST(BufferPlayer, MoreThanThreeAtOnceAreRefused) {
    LoopbackAudioOutput out(kRate, 1);
    BufferPlayer player(out);
    EXPECT_FALSE(player.play(std::vector<BufferPlayer::Samples>(4, constant(100, 1000)), kRate));
    EXPECT_FALSE(player.play(std::vector<BufferPlayer::Samples>{}, kRate));
    EXPECT_FALSE(player.isPlaying());
}

} // namespace
