#include "DdsdFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <cstring>

using namespace ddsdtest;
using namespace kw27::ds;

namespace {

// Twenty-one channels on the loopback mixer, as the simulator's window has them, and waves
// whose every sample tells where in the sound it lies.
class Channels : public ::testing::Test {
protected:
    std::unique_ptr<TDDSDWaveData> load(const std::string& name,
                                        const std::vector<std::int16_t>& samples) {
        writeFile(name, wav16(samples));
        return std::make_unique<TDDSDWaveData>(form.ddsd, QString::fromStdString(name));
    }
    TDDSDChannel* channel(int index) { return form.ddsd->Channel(index); }
    // A wave playing on the channel, some frames in.
    std::unique_ptr<TDDSDWaveData> playing(int index) {
        auto wave = load("w.wav", samples);
        channel(index)->setWaveData(wave.get());
        channel(index)->Play();
        render(10);
        return wave;
    }
    std::vector<int> render(std::size_t frames) { return loopback.render(frames); }

    LoopbackScope loopback;
    DeviceOnWindow form{21};
    const std::vector<std::int16_t> samples = ramp(300);
};

TEST_F(Channels, OneWaveOnTwoChannelsPlaysTwiceAtOnceEachFromItsOwnPlace) {
    auto wave = load("one.wav", samples);
    channel(1)->setWaveData(wave.get());
    channel(2)->setWaveData(wave.get());
    EXPECT_NE(channel(1)->buffer(), channel(2)->buffer());
    EXPECT_NE(channel(1)->buffer(), wave->buffer());

    channel(1)->Play();
    render(100);
    channel(2)->Play();
    const auto out = render(50);
    for (int k = 0; k < 50; ++k)
        ASSERT_EQ(out[size_t(k)], samples[size_t(100 + k)] + samples[size_t(k)]) << "frame " << k;
}

TEST_F(Channels, PlayRestartsFromTheFirstSampleWhetherPlayingOrStopped) {
    auto wave = load("w.wav", samples);
    channel(5)->setWaveData(wave.get());
    channel(5)->Play();
    render(120);
    channel(5)->Play();
    EXPECT_EQ(render(3), (std::vector<int>{samples[0], samples[1], samples[2]}));

    render(40);
    channel(5)->Stop();
    render(loopback.factory.periodFrames());
    EXPECT_EQ(render(20), std::vector<int>(20, 0)) << "stopped once faded out";
    channel(5)->Play();
    EXPECT_EQ(render(3), (std::vector<int>{samples[0], samples[1], samples[2]}));
}

TEST_F(Channels, PlayLoopsWithoutEnd) {
    auto wave = load("w.wav", samples);
    channel(20)->setWaveData(wave.get());
    channel(20)->Play();
    const auto out = render(1000);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(out[size_t(i)], samples[size_t(i % 300)]) << "frame " << i;
}

TEST_F(Channels, NoWaveSilencesAPlayingChannelAndEmptiesIt) {
    auto wave = playing(3);
    channel(3)->setWaveData(nullptr);
    EXPECT_EQ(channel(3)->buffer(), nullptr);
    EXPECT_EQ(render(50), std::vector<int>(50, 0));
    channel(3)->Play();
    channel(3)->Stop();
    EXPECT_EQ(render(10), std::vector<int>(10, 0));
}

TEST_F(Channels, GivingAWaveAgainReplacesThePlayingDuplicateWithAStoppedOne) {
    auto wave = playing(4);
    channel(4)->setWaveData(wave.get());
    ASSERT_NE(channel(4)->buffer(), nullptr);
    EXPECT_EQ(render(10), std::vector<int>(10, 0));
}

TEST_F(Channels, AnEmptyChannelPlaysNothingAndReportsNothing) {
    channel(0)->Play();
    channel(0)->Stop();
    EXPECT_EQ(render(64), std::vector<int>(64, 0));
}

TEST_F(Channels, ChannelsPlayOnAfterTheirWaveIsFreed) {
    auto wave = load("w.wav", samples);
    channel(7)->setWaveData(wave.get());
    channel(8)->setWaveData(wave.get());
    channel(7)->Play();
    wave.reset();
    channel(8)->Play();
    const auto out = render(600);
    for (int i = 0; i < 600; ++i)
        ASSERT_EQ(out[size_t(i)], 2 * samples[size_t(i % 300)]) << "frame " << i;
}

TEST_F(Channels, ThreeChannelsStartedInOneHandlerBeginOnTheSameSample) {
    auto low = load("low.wav", ramp(300, 1));
    auto middle = load("middle.wav", ramp(300, 8));
    auto high = load("high.wav", ramp(300, 64));
    channel(1)->setWaveData(low.get());
    channel(13)->setWaveData(middle.get());
    channel(20)->setWaveData(high.get());
    render(37);

    // Started as the play button's handler starts them: one after another in one event.
    QTimer::singleShot(0, [this] {
        channel(1)->Play();
        channel(13)->Play();
        channel(20)->Play();
    });
    QCoreApplication::processEvents();
    const auto out = render(900);
    for (int i = 0; i < 900; ++i)
        ASSERT_EQ(out[size_t(i)], (i % 300 + 1) * (1 + 8 + 64)) << "frame " << i;
}

TEST_F(Channels, AChannelTakesTheWavesRateAndRemembersTheWave) {
    writeFile("slow.wav", wav16(samples, 22050));
    TDDSDWaveData wave(form.ddsd, QStringLiteral("slow.wav"));
    channel(9)->setWaveData(&wave);
    EXPECT_EQ(channel(9)->frequency(), 22050);
    EXPECT_EQ(channel(9)->waveData(), &wave);
    EXPECT_FALSE(channel(9)->is3D());
}

class ThreeDChannels : public ::testing::Test {
protected:
    LoopbackScope loopback;
    DeviceOnWindow form{4, true};
};

TEST_F(ThreeDChannels, AThreeDWaveGivesItsParametersToTheChannelsBuffer) {
    writeFile("pipe.wav", wav16(ramp(100)));
    TDDSDWave3D wave(form.ddsd, QStringLiteral("pipe.wav"));
    ASSERT_NE(wave.Params3D(), nullptr);
    EXPECT_EQ(wave.Params3D()->owner(), nullptr);
    const DS3DBUFFER defaults{64, {0, 0, 0}, {0, 0, 0}, 360, 360, {0, 0, 1.0f}, 0, 5.0f, 100.0f, 0};
    EXPECT_EQ(std::memcmp(&wave.Params3D()->params(), &defaults, 64), 0);

    wave.Params3D()->params().vPosition = {1.0f, 2.0f, 3.0f};
    TDDSDChannel* channel = form.ddsd->Channel(2);
    channel->setWaveData(&wave);
    EXPECT_TRUE(channel->is3D());
    ASSERT_NE(channel->buffer3D(), nullptr);
    DS3DBUFFER applied{};
    applied.dwSize = 64;
    ASSERT_EQ(channel->buffer3D()->GetAllParameters(&applied), DS_OK);
    EXPECT_EQ(std::memcmp(&applied, &wave.Params3D()->params(), 64), 0);
    EXPECT_EQ(std::memcmp(&channel->Params3D()->params(), &applied, 64), 0);

    writeFile("plain.wav", wav16(ramp(100)));
    TDDSDWaveData plain(form.ddsd, QStringLiteral("plain.wav"));
    channel->setWaveData(&plain);
    EXPECT_FALSE(channel->is3D());
    EXPECT_EQ(channel->buffer3D(), nullptr);
}

TEST_F(ThreeDChannels, AssigningParametersReadsTheSourceFromItsBufferAndAppliesThemToOurs) {
    writeFile("pipe.wav", wav16(ramp(100)));
    TDDSDWave3D wave(form.ddsd, QStringLiteral("pipe.wav"));
    TDDSDChannel* first = form.ddsd->Channel(0);
    TDDSDChannel* second = form.ddsd->Channel(1);
    first->setWaveData(&wave);
    second->setWaveData(&wave);

    // Changed on the device only: the assignment must read it from there.
    DS3DBUFFER moved = first->Params3D()->params();
    moved.vPosition = {0, 0, 42.0f};
    ASSERT_EQ(first->buffer3D()->SetAllParameters(&moved, DS3D_IMMEDIATE), DS_OK);
    second->setParams3D(*first->Params3D());
    EXPECT_EQ(first->Params3D()->params().vPosition.z, 42.0f);
    EXPECT_EQ(second->Params3D()->params().vPosition.z, 42.0f);
    DS3DBUFFER applied{};
    applied.dwSize = 64;
    ASSERT_EQ(second->buffer3D()->GetAllParameters(&applied), DS_OK);
    EXPECT_EQ(applied.vPosition.z, 42.0f);

    TDDSDParams3D unsuitable;
    unsuitable.params().flMinDistance = 0.0f;
    try {
        second->setParams3D(unsuitable);
        ADD_FAILURE() << "no EDDSD";
    } catch (const EDDSD& e) {
        EXPECT_EQ(
            e.message(),
            QStringLiteral("Params3Dに指定されたパラメータが不適切です(Error Code(80070057))"));
    }
}

TEST(ChannelFailures, DuplicationAndThreeDFailuresAreRaisedWithTheirMessages) {
    const InjectedFault rows[] = {
        {Op::Duplicate, DSERR_OUTOFMEMORY,
         "setWaveData サウンドバッファの複製に失敗しました(Error Code(8007000E))"},
        {Op::Query3DBuffer, DSERR_NOINTERFACE,
         "setWaveData 3Dサウンドバッファの作成に失敗しました(Error Code(80004002))"},
        {Op::Set3D, DSERR_INVALIDPARAM,
         "Params3Dに指定されたパラメータが不適切です(Error Code(80070057))"},
    };
    for (const InjectedFault& row : rows) {
        SCOPED_TRACE(row.message);
        FaultyDeviceFactory faulty;
        {
            DeviceOnWindow form(2, true);
            writeFile("pipe.wav", wav16(ramp(100)));
            TDDSDWave3D wave(form.ddsd, QStringLiteral("pipe.wav"));
            faulty.fail(row.op, row.code);
            try {
                form.ddsd->Channel(1)->setWaveData(&wave);
                ADD_FAILURE() << "no EDDSD";
            } catch (const EDDSD& e) {
                EXPECT_EQ(e.message(), QString::fromUtf8(row.message));
            }
        }
        EXPECT_EQ(faulty.liveObjects, 0);
    }
}

} // namespace
