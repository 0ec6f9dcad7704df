#include "DdsdFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace ddsdtest;
using namespace kw27::ds;

namespace {

QString raisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const EDDSD& e) {
        return e.message();
    }
    return QStringLiteral("(nothing raised)");
}

TEST(TDDSD, StartsWithItsDefaultsAsPublishedProperties) {
    QWidget window;
    TDDSD ddsd(&window);
    EXPECT_EQ(ddsd.property("ChannelCount").toInt(), 8);
    EXPECT_EQ(ddsd.property("Use3D").toBool(), false);
    EXPECT_EQ(ddsd.property("StickyFocus").toBool(), true);
    EXPECT_FALSE(ddsd.initialized());
    EXPECT_EQ(ddsd.device(), nullptr);
    EXPECT_EQ(ddsd.Channel(0), nullptr) << "no channel exists before the after-loading step";

    EXPECT_TRUE(ddsd.setProperty("ChannelCount", 21));
    EXPECT_TRUE(ddsd.setProperty("StickyFocus", false));
    EXPECT_EQ(ddsd.ChannelCount(), 21);
    EXPECT_FALSE(ddsd.StickyFocus());
    EXPECT_FALSE(ddsd.initialized()) << "a property takes effect only at initialisation";
}

TEST(TDDSD, ChannelGivesTheChannelsAndReportsEveryOtherIndexWithTheRange) {
    LoopbackScope loopback;
    struct Row {
        int channelCount;
        int index;
        const char* message; // nullptr: a valid index
    };
    const Row rows[] = {
        {21, 0, nullptr},
        {21, 20, nullptr},
        {21, 21, "チャンネル番号21は無効です、0～20の範囲で指定してください"},
        {21, -1, "チャンネル番号-1は無効です、0～20の範囲で指定してください"},
        {8, 7, nullptr},
        {8, 8, "チャンネル番号8は無効です、0～7の範囲で指定してください"},
        {1, 1, "チャンネル番号1は無効です、0～0の範囲で指定してください"},
        {0, 0, "チャンネル番号0は無効です、0～-1の範囲で指定してください"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.channelCount << " channels, index " << row.index);
        DeviceOnWindow form(row.channelCount);
        if (row.message == nullptr) {
            TDDSDChannel* channel = form.ddsd->Channel(row.index);
            ASSERT_NE(channel, nullptr);
            EXPECT_EQ(channel->owner(), form.ddsd);
        } else {
            EXPECT_EQ(raisedBy([&] { form.ddsd->Channel(row.index); }),
                      QString::fromUtf8(row.message));
        }
    }
}

TEST(TDDSD, MakesChannelCountDistinctEmptyChannels) {
    LoopbackScope loopback;
    DeviceOnWindow form(21);
    ASSERT_TRUE(form.ddsd->initialized());
    std::set<TDDSDChannel*> channels;
    for (int i = 0; i < 21; ++i) {
        TDDSDChannel* channel = form.ddsd->Channel(i);
        ASSERT_NE(channel, nullptr);
        channels.insert(channel);
        EXPECT_EQ(channel->buffer(), nullptr);
        EXPECT_EQ(channel->buffer3D(), nullptr);
        EXPECT_FALSE(channel->is3D());
        EXPECT_EQ(channel->frequency(), 0);
        EXPECT_EQ(channel->waveData(), nullptr);
        ASSERT_NE(channel->Params3D(), nullptr);
        EXPECT_EQ(channel->Params3D()->owner(), channel);
    }
    EXPECT_EQ(channels.size(), 21u);

    TDDSD defaults(&form.window);
    defaults.Loaded();
    EXPECT_NE(defaults.Channel(7), nullptr);
    EXPECT_THROW(defaults.Channel(8), EDDSD);
}

TEST(TDDSD, OpensTheDeviceWithAPlainPrimaryBufferAndNoListener) {
    LoopbackScope loopback;
    DeviceOnWindow form;
    ASSERT_TRUE(form.ddsd->initialized());
    ASSERT_NE(form.ddsd->device(), nullptr);
    EXPECT_EQ(bufferFlags(form.ddsd->primaryBuffer()), DSBCAPS_PRIMARYBUFFER);
    EXPECT_EQ(form.ddsd->listener3D(), nullptr);
    EXPECT_EQ(form.ddsd->Listener(), nullptr);
}

TEST(TDDSD, WithUse3DTheListenerIsMadeAndItsParametersApplied) {
    LoopbackScope loopback;
    DeviceOnWindow form(8, true);
    EXPECT_EQ(bufferFlags(form.ddsd->primaryBuffer()), DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D);
    ASSERT_NE(form.ddsd->listener3D(), nullptr);
    ASSERT_NE(form.ddsd->Listener(), nullptr);
    EXPECT_EQ(form.ddsd->Listener()->owner(), form.ddsd);

    const DS3DLISTENER& record = form.ddsd->Listener()->params();
    const DS3DLISTENER expected{64,           {0, 0, 0}, {0, 0, 0}, {0, 0, 1.0f},
                                {0, 1.0f, 0}, 1.0f,      1.0f,      1.0f};
    EXPECT_EQ(std::memcmp(&record, &expected, sizeof expected), 0);
    DS3DLISTENER applied{};
    applied.dwSize = sizeof applied;
    ASSERT_EQ(form.ddsd->listener3D()->GetAllParameters(&applied), DS_OK);
    EXPECT_EQ(std::memcmp(&applied, &expected, sizeof expected), 0);
}

TEST(TDDSD, WithoutASoundDeviceEverythingStaysSilentAndNothingIsReported) {
    NoDeviceScope noDevice;
    DeviceOnWindow form(21);
    EXPECT_FALSE(form.ddsd->initialized());
    EXPECT_EQ(form.ddsd->device(), nullptr);
    EXPECT_EQ(form.ddsd->primaryBuffer(), nullptr);

    // Not even a missing file is looked at.
    TDDSDWaveData wave(form.ddsd, QStringLiteral("Data\\Data1\\nowhere.wav"));
    EXPECT_EQ(wave.buffer(), nullptr);
    EXPECT_EQ(wave.dataSize(), 0u);
    EXPECT_EQ(wave.owner(), form.ddsd);
    for (int i = 0; i < 21; ++i) {
        TDDSDChannel* channel = form.ddsd->Channel(i);
        ASSERT_NE(channel, nullptr);
        channel->setWaveData(&wave);
        channel->Play();
        channel->Stop();
        EXPECT_EQ(channel->buffer(), nullptr);
        EXPECT_EQ(channel->waveData(), nullptr);
    }
}

TEST(TDDSD, ANonWindowOwnerCannotCooperateAndTheFailureIsRaised) {
    LoopbackScope loopback;
    QObject notAWindow;
    auto* ddsd = new TDDSD(&notAWindow);
    EXPECT_EQ(raisedBy([&] { ddsd->Loaded(); }),
              QStringLiteral("DirectSoundの協調レベルの設定に失敗しました(Error Code(80070057))"));
    EXPECT_TRUE(ddsd->initialized()) << "partly initialised: the device exists";
    EXPECT_EQ(ddsd->primaryBuffer(), nullptr);
}

TEST(TDDSD, InitialisationFailuresAreRaisedWithTheirMessagesAndCodes) {
    struct Row {
        Op op;
        HRESULT code;
        bool use3D;
        const char* message;
    };
    const Row rows[] = {
        {Op::Cooperate, DSERR_ALLOCATED, false,
         "DirectSoundの協調レベルの設定に失敗しました(Error Code(8878000A))"},
        {Op::CreatePrimary, DSERR_OUTOFMEMORY, false,
         "一次バッファの作成に失敗しました(Error Code(8007000E))"},
        {Op::QueryListener, DSERR_NOINTERFACE, true,
         "DirectSound3D Listenerの作成に失敗しました(Error Code(80004002))"},
        {Op::SetListener, DSERR_INVALIDPARAM, true,
         "Listenerに指定されたパラメータが不適切です(Error Code(80070057))"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        FaultyDeviceFactory faulty;
        faulty.fail(row.op, row.code);
        {
            QWidget window;
            auto* ddsd = new TDDSD(&window);
            ddsd->setUse3D(row.use3D);
            EXPECT_EQ(raisedBy([&] { ddsd->Loaded(); }), QString::fromUtf8(row.message));
            EXPECT_TRUE(ddsd->initialized());
        }
        EXPECT_EQ(faulty.liveObjects, 0) << "the component released what it had made";
    }
}

TEST(TDDSD, DestructionReleasesChannelsListenerPrimaryBufferAndDevice) {
    FaultyDeviceFactory faulty;
    const std::string file = wav16(ramp(100));
    {
        DeviceOnWindow form(21, true);
        auto wave = std::make_unique<TDDSDGenWave>(form.ddsd, QStringLiteral("w.wav"), file.data(),
                                                   file.size(), false);
        for (int i = 0; i < 21; ++i)
            form.ddsd->Channel(i)->setWaveData(wave.get());
        EXPECT_EQ(faulty.liveObjects, 1 + 1 + 1 + 21);
        wave.reset();
        EXPECT_EQ(faulty.liveObjects, 1 + 1 + 21);
    }
    EXPECT_EQ(faulty.liveObjects, 0);
}

TEST(TDDSD, LoadingAgainMakesFreshChannelsOnAFreshDevice) {
    FaultyDeviceFactory faulty;
    DeviceOnWindow form(4);
    TDDSDChannel* before = form.ddsd->Channel(3);
    ASSERT_NE(before, nullptr);
    const std::string file = wav16(ramp(100));
    TDDSDGenWave wave(form.ddsd, QStringLiteral("w.wav"), file.data(), file.size(), false);
    before->setWaveData(&wave);
    EXPECT_EQ(faulty.liveObjects, 4);

    form.ddsd->setChannelCount(6);
    form.ddsd->Loaded();
    EXPECT_NE(form.ddsd->Channel(5), nullptr);
    EXPECT_EQ(form.ddsd->Channel(3)->buffer(), nullptr);
    EXPECT_EQ(faulty.liveObjects, 2 + 1) << "old device, primary buffer and duplicate released";
}

} // namespace
