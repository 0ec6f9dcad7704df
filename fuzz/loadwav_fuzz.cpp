// LoadWAV on arbitrary bytes: every input either loads into a buffer of exactly the declared
// data size, which then plays on a channel, or ends in an EDDSD; nothing else may happen.
//   build-fuzz/fuzz/loadwav_fuzz -max_total_time=600 fuzz/corpus/loadwav

#include "MixingDevice.h"
#include "ddsd.h"

#include <QApplication>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Harness {
    Harness() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "loadwav_fuzz";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        kw27::ds::setDeviceFactory(&loopback);
        window = new QWidget;
        ddsd = new TDDSD(window);
        ddsd->setChannelCount(1);
        ddsd->Loaded();
        if (!ddsd->initialized())
            std::abort();
    }
    QApplication* app;
    kw27::ds::LoopbackDeviceFactory loopback;
    QWidget* window;
    TDDSD* ddsd;
};

Harness& harness() {
    static Harness h;
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Harness& h = harness();
    // Odd-sized inputs load as 3-D waves, whose buffers take only mono sounds.
    const bool use3D = size % 2 == 1;
    try {
        TDDSDGenWave wave(h.ddsd, QStringLiteral("fuzz.wav"), data, size, use3D);
        kw27::ds::DSBCAPS caps{sizeof caps, 0, 0, 0, 0};
        if (wave.buffer() == nullptr || wave.buffer()->GetCaps(&caps) != kw27::ds::DS_OK ||
            caps.dwBufferBytes != wave.dataSize())
            __builtin_trap();
        TDDSDChannel* channel = h.ddsd->Channel(0);
        channel->setWaveData(&wave);
        channel->Play();
        h.loopback.render(256);
        channel->setWaveData(nullptr);
    } catch (const EDDSD&) {
    }
    return 0;
}
