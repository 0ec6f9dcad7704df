#include "TuneRender.h"

#include "AlertSound.h"
#include "DataPath.h"
#include "SampleConversion.h"
#include "WavDecoder.h"
#include "WavWriter.h"

#include <map>
#include <stdexcept>

namespace kw27::tune {

namespace {

using Samples = std::vector<std::int16_t>;

// A sound at the tune's rate, or none when it alone is too long to convert.
std::optional<Samples> soundAtTuneRate(const QString& name, const Samples& alert) {
    PcmSound sound;
    if (decodeWavFile(resolveDataPath(name), sound) != WavStatus::Ok)
        return alert;
    try {
        return monoAtRate(sound, kTuneRate);
    } catch (const std::length_error&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<std::vector<std::int16_t>> renderTune(const QStringList& soundNames,
                                                    const QString& title) {
    // A tune repeats a handful of sounds: each is read and converted once, and the length of
    // the whole is known before its samples are laid down.
    const Samples alert = monoAtRate(makeAlertSound(), kTuneRate);
    std::map<QString, Samples> sounds;
    std::vector<const Samples*> order;
    order.reserve(std::size_t(soundNames.size()));
    std::size_t total = 0;
    for (const QString& name : soundNames) {
        auto found = sounds.find(name);
        if (found == sounds.end()) {
            std::optional<Samples> sound = soundAtTuneRate(name, alert);
            if (!sound)
                return std::nullopt;
            found = sounds.emplace(name, std::move(*sound)).first;
        }
        order.push_back(&found->second);
        total += found->second.size();
        if (!wavFileFits(total, title))
            return std::nullopt;
    }
    Samples tune;
    tune.reserve(total);
    for (const Samples* sound : order)
        tune.insert(tune.end(), sound->begin(), sound->end());
    return tune;
}

std::optional<QByteArray> tuneWavFile(const QStringList& soundNames, const QString& title) {
    const std::optional<Samples> tune = renderTune(soundNames, title);
    if (!tune)
        return std::nullopt;
    return wavFile(*tune, std::uint32_t(kTuneRate), title);
}

} // namespace kw27::tune
