#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace kw27::tune {

// The exported tune's form: 16-bit PCM, one channel, 44.1 kHz, as the data set's sounds are.
inline constexpr int kTuneRate = 44100;

// The sounds named, in order, as the one-sound player plays them one after another: each
// decoded by the programs' WAV decoder from the data path as the programs spell it (resolved
// against the working folder now), brought to one channel at kTuneRate, and laid end to end
// with no gap, so that each starts at the sum of the lengths before it. A file that the
// player cannot play takes exactly the player's alert sound. Levels are the sounds' own:
// nothing is summed, so nothing clips. None when the tune is longer than one WAV file holds
// with this title (some 13 hours).
std::optional<std::vector<std::int16_t>> renderTune(const QStringList& soundNames,
                                                    const QString& title);

// The whole WAV file of the rendered tune, the title (when not empty) as its INFO name. None
// when the tune is too long for one file.
std::optional<QByteArray> tuneWavFile(const QStringList& soundNames, const QString& title);

} // namespace kw27::tune
