#include "PipeFacts.h"

#include "PipePhysics.h"

#include <QRegularExpression>
#include <cmath>

namespace kw27::workshop {
namespace {

// Tenths of the unit typed: "17" -> 170, "17.5" -> 175; full-width forms are read as their
// ASCII twins, as a Japanese input method may give them.
std::optional<int> parseTenths(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d{1,4})(?:\\.(\\d)?)?\\s*$"));
    const QRegularExpressionMatch m = number.match(text.normalized(QString::NormalizationForm_KC));
    if (!m.hasMatch())
        return std::nullopt;
    const int whole = m.captured(1).toInt();
    const int tenth = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
    return whole * 10 + tenth;
}

} // namespace

PipeFacts pipeFacts(int lengthTenthsMm) {
    PipeFacts f;
    f.lengthTenthsMm = lengthTenthsMm;
    const double lengthMm = lengthTenthsMm / 10.0;
    f.hz = pipe::pipeFrequency(lengthMm / 10.0);
    f.note = readNote(f.hz);
    f.holeMm = pipe::fundamentalNodeFraction() * lengthMm;
    f.strikeMm = lengthMm / 2.0;
    if (f.note.cents < 0)
        f.fileOffMm = lengthMm - 10.0 * pipe::lengthForFrequency(noteHz(f.note.midi));
    return f;
}

std::optional<int> parsePipeLength(const QString& text) {
    const std::optional<int> cmTenths = parseTenths(text);
    if (!cmTenths || *cmTenths * 10 < shortestPipeTenthsMm || *cmTenths * 10 > longestPipeTenthsMm)
        return std::nullopt;
    return *cmTenths * 10;
}

std::optional<int> parseKerf(const QString& text) {
    const std::optional<int> tenths = parseTenths(text);
    if (!tenths || *tenths > widestKerfTenthsMm)
        return std::nullopt;
    return tenths;
}

QString mmText(int tenthsMm) {
    const QString sign = tenthsMm < 0 ? QStringLiteral("−") : QString();
    const int a = std::abs(tenthsMm);
    return sign + QStringLiteral("%1.%2").arg(a / 10).arg(a % 10);
}

QString cmText(int tenthsMm) {
    return mmText(tenthsMm / 10);
}

QString measureText(double mm) {
    return QString::number(mm, 'f', 1);
}

} // namespace kw27::workshop
