#include "OpenAlWavPlayer.h"

#include "AudioOutput.h"
#include "SampleConversion.h"
#include "TestSupport.h"
#include "WavFixture.h"
#include "WavPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace kw27;
using namespace kw27::test;

namespace {

constexpr int kRate = 44100;

// The levels a mixer at unit gain gives for the file's samples.
std::vector<float> levels16(const std::vector<std::int16_t>& samples) {
    std::vector<float> out;
    for (std::int16_t s : samples)
        out.push_back(float(s) / 32768.0f);
    return out;
}

// The rendered samples of frames [from, from + count).
std::vector<float> mixOf(const LoopbackAudioOutput& out, std::size_t from, std::size_t count) {
    const auto& r = out.rendered();
    const std::size_t begin = std::min(r.size(), from * out.channels());
    const std::size_t end = std::min(r.size(), (from + count) * out.channels());
    return {r.begin() + std::ptrdiff_t(begin), r.begin() + std::ptrdiff_t(end)};
}

// Compares levels sample for sample and names the first difference; a full listing of two
// long sound excerpts would drown the report.
::testing::AssertionResult sameLevels(const std::vector<float>& actual,
                                      const std::vector<float>& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << actual.size() << " samples rendered where " << expected.size() << " expected";
    const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin());
    if (diff.first == actual.end())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "sample " << (diff.first - actual.begin()) << " is "
                                         << *diff.first << ", expected " << *diff.second;
}

bool silent(const std::vector<float>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](float s) { return s == 0.0f; });
}

// An output that never opens: a machine without a sound card.
class AbsentOutput final : public AudioOutput {
public:
    AbsentOutput() : AudioOutput(Seconds(0)) {}
    void pass(Seconds) override { ++passes; }
    int opens = 0;
    int passes = 0;

protected:
    ALCdevice* openDevice() override {
        ++opens;
        return nullptr;
    }
    std::vector<ALCint> contextAttributes() const override { return {0}; }
    bool realTime() const override { return false; }
};

// A device that opens and then stops consuming samples: time passes, nothing is mixed.
class StalledOutput final : public AudioOutput {
public:
    StalledOutput() : AudioOutput(Seconds(0)) {}
    ~StalledOutput() override { close(); }
    void pass(Seconds span) override { waited += span.count(); }
    double waited = 0;

protected:
    ALCdevice* openDevice() override { return alExtensions().loopbackOpenDevice(nullptr); }
    std::vector<ALCint> contextAttributes() const override {
        return {ALC_FORMAT_CHANNELS_SOFT,
                ALC_MONO_SOFT,
                ALC_FORMAT_TYPE_SOFT,
                ALC_FLOAT_SOFT,
                ALC_FREQUENCY,
                kRate,
                0};
    }
    bool realTime() const override { return false; }
};

// A device that mixes at a tenth of real time.
class SlowOutput final : public LoopbackAudioOutput {
public:
    SlowOutput() : LoopbackAudioOutput(kRate, 1) {}
    void pass(Seconds span) override {
        waited += span.count();
        LoopbackAudioOutput::pass(span / 10);
    }
    double waited = 0;
};

// An output that takes no samples for its first two seconds, as a sink resuming from suspend
// or a wireless headset does, then plays in real time.
class SlowStartOutput final : public LoopbackAudioOutput {
public:
    SlowStartOutput() : LoopbackAudioOutput(kRate, 1) {}
    void pass(Seconds span) override {
        if (waited >= 2.0)
            LoopbackAudioOutput::pass(span);
        waited += span.count();
    }
    double waited = 0;
};

struct FormatCase {
    const char* name;
    int channels;
    int bits;
    friend std::ostream& operator<<(std::ostream& os, const FormatCase& c) { return os << c.name; }
};

class WavPlayerFormats : public ::testing::TestWithParam<FormatCase> {};

// A synchronous play returns once the last frame of the sound has been mixed, not a frame
// earlier or later, and the mix is the file sample for sample; a stereo file is heard mixed
// down, exactly as loud as a mono file of the same level.
TEST_P(WavPlayerFormats, SyncPlayReturnsOnTheLastFrameOfTheFile) {
    const auto [name, channels, bits] = GetParam();
    const std::size_t frames = 2500;
    std::vector<std::int16_t> heard;
    if (bits == 16) {
        heard = noise16(frames * channels, 21);
        writeFile("tone.wav", wav16(channels, kRate, heard));
    } else {
        const auto samples = noise8(frames * channels, 22);
        writeFile("tone.wav", wav8(channels, kRate, samples));
        for (std::uint8_t u : samples)
            heard.push_back(std::int16_t((u - 128) * 256));
    }
    if (channels == 2)
        heard = mixDown(heard);
    const std::vector<float> expected = levels16(heard);
    LoopbackAudioOutput out(kRate, 1);
    OpenAlWavPlayer player(out);

    EXPECT_TRUE(player.play("tone.wav", SND_SYNC));
    EXPECT_FALSE(player.isPlaying());
    EXPECT_EQ(out.renderedFrames(), frames);
    EXPECT_TRUE(sameLevels(mixOf(out, 0, frames), expected));
}

INSTANTIATE_TEST_SUITE_P(Pcm, WavPlayerFormats,
                         ::testing::Values(FormatCase{"mono16", 1, 16}, FormatCase{"mono8", 1, 8},
                                           FormatCase{"stereo16", 2, 16},
                                           FormatCase{"stereo8", 2, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

// A file at another rate than the device is resampled; the wait still ends when the sound
// has been mixed to its end, whatever the ratio.
TEST(WavPlayer, SyncPlayWaitsForAResampledSoundToEnd) {
    for (const int rate : {22050, 11025, 48000}) {
        SCOPED_TRACE(rate);
        const std::size_t frames = 1000;
        writeFile("rate.wav", wav16(1, rate, noise16(frames, 5)));
        LoopbackAudioOutput out(kRate, 1);
        OpenAlWavPlayer player(out);
        EXPECT_TRUE(player.play("rate.wav", SND_SYNC));
        EXPECT_FALSE(player.isPlaying());
        const double deviceFrames = double(frames) * kRate / rate;
        EXPECT_GE(out.renderedFrames(), std::size_t(deviceFrames) - 2);
        EXPECT_LE(out.renderedFrames(), std::size_t(deviceFrames) + 2);
        EXPECT_FALSE(silent(mixOf(out, out.renderedFrames() - 10, 10)));
    }
}

TEST(WavPlayer, AsyncPlayReturnsAtOnceAndPlaysOn) {
    const auto samples = noise16(3000, 31);
    writeFile("a.wav", wav16(1, kRate, samples));
    LoopbackAudioOutput out(kRate, 1);
    OpenAlWavPlayer player(out);

    EXPECT_TRUE(player.play("a.wav", SND_ASYNC));
    EXPECT_EQ(out.renderedFrames(), 0u);
    EXPECT_TRUE(player.isPlaying());
    out.render(samples.size() - 1);
    EXPECT_TRUE(player.isPlaying());
    out.render(1 + 500);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(sameLevels(mixOf(out, 0, samples.size()), levels16(samples)));
    EXPECT_TRUE(silent(mixOf(out, samples.size(), 500)));
}

// One sound at a time: a new play, of either kind, cuts off the sound still playing, and the
// new one starts on the very next frame. The old one fades out over the next mixing period.
TEST(WavPlayer, NewPlayCutsOffTheSoundStillPlaying) {
    const auto first = noise16(4000, 41);
    const auto second = noise16(1500, 42);
    writeFile("first.wav", wav16(1, kRate, first));
    writeFile("second.wav", wav16(1, kRate, second));
    const std::size_t cut = 1234;
    for (const unsigned secondFlags : {SND_ASYNC, SND_SYNC}) {
        SCOPED_TRACE(secondFlags);
        LoopbackAudioOutput out(kRate, 1);
        OpenAlWavPlayer player(out);
        ASSERT_TRUE(player.play("first.wav", SND_ASYNC));
        out.render(cut);
        EXPECT_TRUE(player.play("second.wav", secondFlags));
        EXPECT_EQ(out.renderedFrames(), secondFlags == SND_SYNC ? cut + second.size() : cut);
        out.render(cut + second.size() + 300 - out.renderedFrames());

        const auto opening = levels16({first.begin(), first.begin() + cut});
        EXPECT_TRUE(sameLevels(mixOf(out, 0, cut), opening));
        // The mixer's gain ramp: full at the cut, nothing a period later.
        const std::size_t fade = std::size_t(out.periodFrames());
        const auto mixed = mixOf(out, cut, fade);
        for (std::size_t i = 0; i < fade; ++i) {
            const float gain = 1.0f - float(i) / float(fade);
            const float expected = (first[cut + i] * gain + second[i]) / 32768.0f;
            ASSERT_NEAR(mixed[i], expected, 2e-6f) << "frame " << i << " of the fade";
        }
        EXPECT_TRUE(sameLevels(mixOf(out, cut + fade, second.size() - fade),
                               levels16({second.begin() + std::ptrdiff_t(fade), second.end()})));
        EXPECT_TRUE(silent(mixOf(out, cut + second.size(), 300)));
        EXPECT_FALSE(player.isPlaying());
    }
}

// In place of a file that cannot be played the alert sounds, the play says false, and the
// synchronous flag still holds for the alert.
TEST(WavPlayer, UnplayableFileSoundsTheAlertInstead) {
    writeFile("garbage.wav", "this is not a sound file at all");
    // A synchronous play of it would take five minutes.
    writeFile("slow.wav", wav16(1, 1, noise16(300, 81)));
    writeFile("empty.wav", "");
    const PcmSound alert = makeAlertSound();
    const std::vector<float> alertLevels = levels16(alert.samples);
    ASSERT_EQ(alert.sampleRate, kRate);
    ASSERT_FALSE(silent(alertLevels));

    for (const char* name :
         {"missing.wav", "garbage.wav", "slow.wav", "empty.wav", "no folder\\missing.wav"}) {
        SCOPED_TRACE(name);
        LoopbackAudioOutput out(kRate, 1);
        OpenAlWavPlayer player(out);
        EXPECT_FALSE(player.play(name, SND_SYNC));
        EXPECT_FALSE(player.isPlaying());
        EXPECT_EQ(out.renderedFrames(), alert.frames());
        EXPECT_TRUE(sameLevels(mixOf(out, 0, alert.frames()), alertLevels));

        out.discardRendered();
        EXPECT_FALSE(player.play(name, SND_ASYNC));
        EXPECT_TRUE(player.isPlaying());
        out.render(alert.frames());
        EXPECT_TRUE(sameLevels(mixOf(out, 0, alert.frames()), alertLevels));
        EXPECT_FALSE(player.isPlaying());
    }
}

// A file with a data chunk that holds nothing plays as nothing: no alert, no wait.
TEST(WavPlayer, EmptySoundPlaysAsNothing) {
    writeFile("nothing.wav", wav16(1, kRate, {}));
    LoopbackAudioOutput out(kRate, 1);
    OpenAlWavPlayer player(out);
    EXPECT_TRUE(player.play("nothing.wav", SND_SYNC));
    EXPECT_EQ(out.renderedFrames(), 0u);
    out.render(100);
    EXPECT_TRUE(silent(out.rendered()));
}

// Names are spelled as the programs spell data paths: '\' separators, any letter case.
TEST(WavPlayer, PlaysDataPathsInAnyLetterCase) {
    makeFolder("Data/Data2");
    const auto samples = noise16(800, 51);
    writeFile("Data/Data2/C.wav", wav16(1, kRate, samples));
    for (const char* name : {"Data\\Data2\\C.wav", "data\\data2\\C.wav", "DATA\\DATA2\\c.WAV"}) {
        SCOPED_TRACE(name);
        LoopbackAudioOutput out(kRate, 1);
        OpenAlWavPlayer player(out);
        EXPECT_TRUE(player.play(name, SND_SYNC));
        EXPECT_TRUE(sameLevels(mixOf(out, 0, samples.size()), levels16(samples)));
    }
}

TEST(WavPlayer, WithoutADeviceEveryPlayReturnsAtOnceInSilence) {
    writeFile("quiet.wav", wav16(1, kRate, noise16(5000, 61)));
    AbsentOutput out;
    {
        OpenAlWavPlayer player(out);
        EXPECT_EQ(out.opens, 0); // opened on first use, not before
        EXPECT_FALSE(player.play("quiet.wav", SND_SYNC));
        EXPECT_FALSE(player.play("quiet.wav", SND_ASYNC));
        EXPECT_FALSE(player.play("missing.wav", SND_SYNC));
        EXPECT_FALSE(player.isPlaying());
    }
    EXPECT_EQ(out.opens, 1); // tried once, not on every play
    EXPECT_EQ(out.passes, 0);
}

TEST(WavPlayer, SyncPlayGivesUpOnADeviceThatStopsPlaying) {
    writeFile("long.wav", wav16(1, kRate, noise16(kRate * 5, 71)));
    StalledOutput out;
    OpenAlWavPlayer player(out);
    EXPECT_FALSE(player.play("long.wav", SND_SYNC));
    EXPECT_FALSE(player.isPlaying());
    // It gave up on the stall, long before the 5 s the sound would have taken.
    EXPECT_GT(out.waited, 0.0);
    EXPECT_LT(out.waited, 5.0);
}

TEST(WavPlayer, SyncPlayWaitsForAnOutputThatIsSlowToBegin) {
    const auto samples = noise16(kRate / 2, 75);
    writeFile("first.wav", wav16(1, kRate, samples));
    SlowStartOutput out;
    OpenAlWavPlayer player(out);
    EXPECT_TRUE(player.play("first.wav", SND_SYNC));
    EXPECT_GE(out.waited, 2.0);
    EXPECT_TRUE(sameLevels(mixOf(out, 0, samples.size()), levels16(samples)));
}

TEST(WavPlayer, SyncPlayNeverWaitsLongerThanTheSoundOnASlowDevice) {
    writeFile("second.wav", wav16(1, kRate, noise16(kRate, 73)));
    SlowOutput out;
    OpenAlWavPlayer player(out);
    EXPECT_FALSE(player.play("second.wav", SND_SYNC));
    EXPECT_FALSE(player.isPlaying());
    // The sound's second, the longest output delay believed, and one step of the wait.
    EXPECT_LT(out.waited, 1.0 + 1.0 + 0.5 + 0.01);
}

// Where the device mixes ahead of the window, a synchronous play hands back while its last
// frames are still to be mixed, and the next synchronous play queues behind them: the mix is
// the sounds laid end to end, sample for sample, with not one frame between them. A sound
// played after the sequence has run out starts afresh and is heard whole.
TEST(WavPlayer, SyncSequenceIsMixedAsTheSoundsLaidEndToEnd) {
    const std::vector<std::vector<std::int16_t>> sounds = {noise16(3000, 111), noise16(1700, 112),
                                                           noise16(2500, 113), noise16(900, 114)};
    for (std::size_t i = 0; i < sounds.size(); ++i)
        writeFile("n" + std::to_string(i) + ".wav", wav16(1, kRate, sounds[i]));
    LoopbackAudioOutput out(kRate, 1);
    const std::size_t ahead = 3 * std::size_t(LoopbackAudioOutput::periodFor(kRate));
    out.setCommitAhead(AudioOutput::Seconds(double(ahead) / kRate));
    OpenAlWavPlayer player(out);

    std::vector<float> expected;
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(player.play(QString("n%1.wav").arg(i), SND_SYNC));
        const auto levels = levels16(sounds[i]);
        expected.insert(expected.end(), levels.begin(), levels.end());
        EXPECT_EQ(out.renderedFrames(), expected.size() - ahead);
        EXPECT_TRUE(player.isPlaying());
    }
    out.render(ahead + 300);
    EXPECT_FALSE(player.isPlaying());
    EXPECT_TRUE(sameLevels(mixOf(out, 0, expected.size()), expected));
    EXPECT_TRUE(silent(mixOf(out, expected.size(), 300)));

    out.discardRendered();
    EXPECT_TRUE(player.play("n1.wav", SND_SYNC));
    out.render(ahead);
    EXPECT_TRUE(sameLevels(mixOf(out, 0, sounds[1].size()), levels16(sounds[1])));
}

// A sound with no samples in a sequence takes no time and breaks nothing: the sound after it
// still follows the one before it on the very next frame.
TEST(WavPlayer, EmptySoundInASequenceLeavesTheJoinAlone) {
    const auto first = noise16(2000, 131);
    const auto second = noise16(1200, 132);
    writeFile("first.wav", wav16(1, kRate, first));
    writeFile("nothing.wav", wav16(1, kRate, {}));
    writeFile("second.wav", wav16(1, kRate, second));
    LoopbackAudioOutput out(kRate, 1);
    const std::size_t ahead = 3 * std::size_t(LoopbackAudioOutput::periodFor(kRate));
    out.setCommitAhead(AudioOutput::Seconds(double(ahead) / kRate));
    OpenAlWavPlayer player(out);
    for (const char* name : {"first.wav", "nothing.wav", "second.wav"})
        EXPECT_TRUE(player.play(name, SND_SYNC)) << name;
    out.render(ahead);
    auto expected = levels16(first);
    const auto then = levels16(second);
    expected.insert(expected.end(), then.begin(), then.end());
    EXPECT_TRUE(sameLevels(mixOf(out, 0, expected.size()), expected));
}

// A recording of another rate is converted to the device's rate as it is loaded, so it joins
// a sequence like any other sound: the next one starts on the frame after its converted end.
TEST(WavPlayer, SoundOfAnotherRateJoinsTheSequence) {
    writeFile("low.wav", wav16(1, 22050, noise16(1000, 121)));
    const auto second = noise16(1500, 122);
    writeFile("full.wav", wav16(1, kRate, second));
    LoopbackAudioOutput out(kRate, 1);
    const std::size_t ahead = 3 * std::size_t(LoopbackAudioOutput::periodFor(kRate));
    out.setCommitAhead(AudioOutput::Seconds(double(ahead) / kRate));
    OpenAlWavPlayer player(out);

    EXPECT_TRUE(player.play("low.wav", SND_SYNC));
    const std::size_t first = framesAtRate(1000, 22050, kRate);
    EXPECT_EQ(out.renderedFrames(), first - ahead);
    EXPECT_TRUE(player.play("full.wav", SND_SYNC));
    out.render(ahead);
    EXPECT_TRUE(sameLevels(mixOf(out, first, second.size()), levels16(second)));
}

TEST(WavPlayer, DeviceOpensOnFirstPlayAndClosesWithThePlayer) {
    writeFile("b.wav", wav16(1, kRate, noise16(2000, 81)));
    LoopbackAudioOutput out(kRate, 1);
    {
        OpenAlWavPlayer player(out);
        EXPECT_FALSE(out.isOpen());
        ASSERT_TRUE(player.play("b.wav", SND_ASYNC));
        EXPECT_TRUE(out.isOpen());
        out.render(100);
        // The player goes while its sound plays: it must stop and free everything first.
    }
    EXPECT_FALSE(out.isOpen());
}

// sndPlaySound hands its calls to the installed player.
TEST(WavPlayer, SndPlaySoundPlaysThroughTheInstalledPlayer) {
    const auto samples = noise16(700, 91);
    writeFile("c.wav", wav16(1, kRate, samples));
    LoopbackAudioOutput out(kRate, 1);
    OpenAlWavPlayer player(out);
    SoundPlayer* before = setSoundPlayer(&player);
    const bool played = sndPlaySound("c.wav", SND_SYNC);
    const bool missing = sndPlaySound("gone.wav", SND_ASYNC);
    setSoundPlayer(before);
    EXPECT_TRUE(played);
    EXPECT_FALSE(missing);
    EXPECT_TRUE(sameLevels(mixOf(out, 0, samples.size()), levels16(samples)));
    EXPECT_TRUE(player.isPlaying()); // the alert for gone.wav plays on
}

// The default player on the system device: with the null driver of the test environment a
// device opens and plays in real time; without any device it returns at once. Either way a
// synchronous play comes back and an asynchronous one does not wait.
TEST(WavPlayer, DefaultPlayerComesBackOnTheSystemDevice) {
    writeFile("short.wav", wav16(1, kRate, noise16(kRate / 50, 101)));
    ASSERT_EQ(installedSoundPlayer(), nullptr);
    SystemAudioOutput probe;
    const bool haveDevice = probe.open();
    probe.close();
    EXPECT_EQ(sndPlaySound("short.wav", SND_SYNC), haveDevice);
    EXPECT_EQ(sndPlaySound("short.wav", SND_ASYNC), haveDevice);
    EXPECT_FALSE(sndPlaySound("missing.wav", SND_SYNC));
}

} // namespace
