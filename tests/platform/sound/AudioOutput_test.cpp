#include "AudioOutput.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

using namespace kw27;
using namespace std::chrono_literals;

namespace {

// Waits for a condition that the output's own thread brings about; gives up after 5 s.
template <typename Condition> bool eventually(Condition condition) {
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Looped sources of one constant sound on the system device, which the tests run on OpenAL's
// null output: real time, without a sound card.
class RealTimeOutput : public ::testing::Test {
protected:
    void SetUp() override {
        if (!out.open())
            GTEST_SKIP() << "no real-time device";
        AlContextScope scope(out.context());
        const std::vector<ALshort> samples(44100, 1000);
        alGenBuffers(1, &buffer);
        alBufferData(buffer, AL_FORMAT_MONO16, samples.data(), ALsizei(samples.size() * 2), 44100);
        alGenSources(3, sources);
        for (ALuint source : sources) {
            alSourcei(source, AL_BUFFER, ALint(buffer));
            alSourcei(source, AL_LOOPING, AL_TRUE);
            out.watch(source);
        }
    }
    void TearDown() override {
        if (!out.isOpen())
            return;
        AlContextScope scope(out.context());
        for (ALuint source : sources) {
            out.unwatch(source);
            alSourceStop(source);
        }
        alDeleteSources(3, sources);
        alDeleteBuffers(1, &buffer);
    }
    ALint offset(ALuint source) {
        AlContextScope scope(out.context());
        ALint at = 0;
        alGetSourcei(source, AL_SAMPLE_OFFSET, &at);
        return at;
    }
    // Offsets of the three sources at one moment: read again until the first has not moved.
    std::vector<ALint> offsets() {
        std::vector<ALint> at(3);
        do {
            for (int i = 0; i < 3; ++i)
                at[std::size_t(i)] = offset(sources[i]);
        } while (offset(sources[0]) != at[0]);
        return at;
    }
    std::chrono::microseconds periods(int n) const {
        return std::chrono::microseconds(1000000LL * n * out.periodFrames() / out.sampleRate());
    }

    SystemAudioOutput out{nullptr, 50ms};
    ALuint buffer = 0;
    ALuint sources[3] = {};
};

TEST_F(RealTimeOutput, PausesWhenNothingPlaysAndResumesForTheNextStart) {
    ASSERT_TRUE(eventually([&] { return out.paused(); }));
    out.start(sources[0]);
    EXPECT_FALSE(out.paused());
    EXPECT_TRUE(eventually([&] { return offset(sources[0]) > 0; })) << "the start is mixed";
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(out.paused()) << "a playing source keeps the device awake";
    {
        AlContextScope scope(out.context());
        alSourceStop(sources[0]);
    }
    EXPECT_TRUE(eventually([&] { return out.paused(); }));
}

// A delay of two mixing periods between the calls: one by one the sources start that far
// apart, together on one sample.
TEST_F(RealTimeOutput, StartsTogetherOnOneSampleWhateverTheDelayBetweenTheCalls) {
    for (const bool together : {false, true}) {
        SCOPED_TRACE(together ? "together" : "one by one");
        if (together)
            out.beginTogether();
        for (ALuint source : sources) {
            out.start(source);
            std::this_thread::sleep_for(periods(2));
        }
        if (together)
            out.endTogether();
        const std::vector<ALint> at = offsets();
        const ALint skew =
            *std::max_element(at.begin(), at.end()) - *std::min_element(at.begin(), at.end());
        if (together)
            EXPECT_EQ(skew, 0);
        else
            EXPECT_GE(skew, out.periodFrames()) << "the delay did fall across a period";
        AlContextScope scope(out.context());
        for (ALuint source : sources)
            alSourceStop(source);
    }
}

} // namespace

TEST(OpenAlLibrary, WithoutItNoDeviceOpensAndTheProgramGoesOn) {
    if (qEnvironmentVariableIsSet("KW27_TEST_WITHOUT_OPENAL")) {
        // In the copy started below, where the library found first is not one.
        SystemAudioOutput system;
        LoopbackAudioOutput loopback(44100, 1);
        EXPECT_FALSE(system.open());
        EXPECT_FALSE(loopback.open());
        EXPECT_EQ(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"), nullptr);
        EXPECT_EQ(alGetError(), AL_NO_ERROR);
        return;
    }
    // Linked to the library, the program would not even start.
    const QString folder = kw27::test::makeFolder(QStringLiteral("no-openal"));
    QFile fake(folder + QStringLiteral("/libopenal.so.1"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("not a library\n");
    fake.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_LIBRARY_PATH"), folder);
    environment.insert(QStringLiteral("KW27_TEST_WITHOUT_OPENAL"), QStringLiteral("1"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--gtest_filter=OpenAlLibrary.*")});
    ASSERT_TRUE(program.waitForFinished(60'000));
    const QString said = QString::fromLocal8Bit(program.readAllStandardOutput());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("[  PASSED  ] 1 test"))) << said.toStdString();
}
