// LoadWAV on arbitrary bytes: every input either loads into a buffer no larger than the
// samples the input holds, which then plays on a channel, or ends in an EDDSD; nothing else
// may happen. The one-sound player's decoder reads the same bytes; where both take a sound,
// they take the same number of frames.
//   build-fuzz/fuzz/loadwav_fuzz -max_total_time=600 fuzz/corpus/loadwav

#include "MixingDevice.h"
#include "RiffReader.h"
#include "WavDecoder.h"
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
    kw27::PcmSound decoded;
    const auto reader = kw27::RiffReader::openMemory(data, size);
    const bool decodes = kw27::decodeWav(*reader, decoded) == kw27::WavStatus::Ok;
    if (decodes && (decoded.channels != 1 || decoded.samples.size() > size))
        __builtin_trap();
    try {
        TDDSDGenWave wave(h.ddsd, QStringLiteral("fuzz.wav"), data, size, use3D);
        kw27::ds::DSBCAPS caps{sizeof caps, 0, 0, 0, 0};
        // 8-bit samples are widened to 16 bits: at most twice the input's bytes.
        if (wave.buffer() == nullptr || wave.buffer()->GetCaps(&caps) != kw27::ds::DS_OK ||
            caps.dwBufferBytes != wave.dataSize() || caps.dwBufferBytes > 2 * size)
            __builtin_trap();
        if (decodes && decoded.samples.size() * 2 != caps.dwBufferBytes)
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
