#include "AnalysisFixture.h"
#include "TriplayFixture.h"
#include "WavDecoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <future>
#include <numbers>
#include <thread>

using namespace triplaytest;

namespace {

// The pipes of the generated data set on the loopback mixer: every output sample is the sum
// of the sounds' samples at that moment, so the mix can be compared exactly.
class TriplaySound : public ::testing::Test {
protected:
    void SetUp() override {
        started.form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(started.form.get()));
        ASSERT_TRUE(started.boxes.boxes.empty());
    }

    static std::vector<std::int16_t> samplesOf(int position) {
        kw27::PcmSound sound;
        EXPECT_EQ(kw27::decodeWavFile(std::filesystem::path("Data/Data1") / soundFileName(position),
                                      sound),
                  kw27::WavStatus::Ok);
        return sound.samples;
    }

    static double fadeInGain(std::size_t i, std::size_t frames) {
        return 0.5 - 0.5 * std::cos(std::numbers::pi * double(i) / frames);
    }

    // What the three pipes sound together over the first frames after a play press: each
    // pipe starts at full level, so its first 2 ms fade in.
    static std::vector<int> together(std::initializer_list<int> positions, std::size_t frames) {
        constexpr std::size_t fadeIn = 44100 / 500;
        std::vector<int> sum(frames, 0);
        for (int p : positions) {
            const auto samples = samplesOf(p);
            for (std::size_t i = 0; i < frames; ++i)
                sum[i] +=
                    i < fadeIn ? int(std::lround(samples[i] * fadeInGain(i, fadeIn))) : samples[i];
        }
        return sum;
    }

    struct DataFolder {
        DataFolder() { kw27::test::provideDataFolder(); }
    } data;
    ddsdtest::FaultyDeviceFactory device; // the loopback mixer, counting its objects
    Started started;
};

// A pipe of length l rings at 2093 Hz * (18.6 / l)^2 (free-free bar; 18.6 cm is C7).
double fundamentalHz(double centimetres) {
    return 2093.0 * std::pow(18.6 / centimetres, 2);
}

TEST_F(TriplaySound, PlayRingsTheThreeChosenPipesTogetherAndStopSilencesThem) {
    triplay::Ui::TForm1& ui = started.ui();
    choose(ui.ComboBox1, 11); // 25cm
    choose(ui.ComboBox2, 12); // ド (18.6cm)
    choose(ui.ComboBox3, 0);  // 14cm
    EXPECT_EQ(device.render(512), std::vector<int>(512, 0)) << "choosing plays nothing";

    started.pressPlay();
    constexpr std::size_t frames = 8192;
    const std::vector<int> mix = device.render(frames);
    EXPECT_EQ(mix, together({11, 12, 0}, frames)) << "all three from their first sample";

    std::vector<std::int16_t> mixSamples(mix.begin(), mix.end());
    for (double length : {25.0, 18.6, 14.0}) {
        SCOPED_TRACE(length);
        const double hz = fundamentalHz(length);
        EXPECT_GT(kw27::test::amplitudeAt(mixSamples, 1024, 4096, hz, 44100), 1000.0);
    }

    started.pressPlay();
    device.render(device.loopback.periodFrames());
    EXPECT_EQ(device.render(2048), std::vector<int>(2048, 0)) << "silent once faded out";
    EXPECT_GT(device.liveObjects, 0);
    started.form.reset();
    EXPECT_EQ(device.liveObjects, 0) << "the window released every sound object";
}

TEST_F(TriplaySound, TheSamePipeTwiceSoundsOnce) {
    choose(started.ui().ComboBox1, 6); // 20cm
    choose(started.ui().ComboBox3, 6);
    started.pressPlay();
    EXPECT_EQ(device.render(4096), together({6}, 4096));
}

// The loopback mixer as a device that takes a while to open.
class SlowDevice : public ddsdtest::FaultyDeviceFactory {
public:
    SlowDevice()
        : opener_([this] {
              std::this_thread::sleep_for(std::chrono::milliseconds(200));
              open_.set_value();
          }) {}
    ~SlowDevice() override { opener_.join(); }
    kw27::ds::HRESULT create(kw27::ds::IDirectSound** device) override {
        opened_.wait();
        return FaultyDeviceFactory::create(device);
    }

private:
    std::promise<void> open_;
    std::shared_future<void> opened_ = open_.get_future().share();
    std::thread opener_;
};

// The window is up before its sounds are; a play press in that time waits for them.
TEST(TriplayStart, APlayPressWhileTheSoundsLoadIsHandledOnceTheyAreIn) {
    kw27::test::provideDataFolder();
    SlowDevice device;
    Started started(Started::Sounds::Loading);
    triplay::Ui::TForm1& ui = started.ui();
    // Chosen in code: input would wait for the sounds before the press does.
    for (QComboBox* chooser : {ui.ComboBox1, ui.ComboBox2, ui.ComboBox3})
        chooser->setCurrentIndex(6); // 20cm
    started.pressPlay();
    ASSERT_TRUE(started.boxes.boxes.empty());
    EXPECT_EQ(ui.CuteButton1->caption(), QStringLiteral("止める"));
    const std::vector<int> mix = device.render(8192);
    const std::vector<std::int16_t> mixSamples(mix.begin(), mix.end());
    EXPECT_GT(kw27::test::amplitudeAt(mixSamples, 1024, 4096, fundamentalHz(20.0), 44100), 1000.0);
}

// A chooser changed while the pipes ring: the stop press still silences what is sounding, and
// does not start the newly chosen pipe.
TEST_F(TriplaySound, StopSilencesThePipesStartedEvenAfterAChooserChanged) {
    triplay::Ui::TForm1& ui = started.ui();
    choose(ui.ComboBox1, 11);
    choose(ui.ComboBox2, 13);
    started.pressPlay();
    EXPECT_EQ(device.render(1000), together({11, 13}, 1000));

    choose(ui.ComboBox1, 3);
    choose(ui.ComboBox2, 0);
    const std::vector<int> ringing = device.render(256);
    EXPECT_NE(ringing, std::vector<int>(256, 0)) << "changing a chooser does not touch the sound";

    started.pressPlay();
    EXPECT_EQ(ui.CuteButton1->caption(), QStringLiteral("まとめて鳴らす"));
    device.render(device.loopback.periodFrames());
    EXPECT_EQ(device.render(4096), std::vector<int>(4096, 0));
}

} // namespace
