#include "Currency.h"

namespace kw27 {

QString Currency::text(const QLocale& locale) const {
    // Work on the magnitude as unsigned so that the most negative value has a magnitude too.
    const bool negative = raw_ < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - std::uint64_t(raw_) : std::uint64_t(raw_);
    const std::uint64_t whole = magnitude / Scale;
    std::uint64_t fraction = magnitude % Scale;

    QString result = negative ? locale.negativeSign() : QString();
    result += QString::number(whole);
    if (fraction != 0) {
        int digits = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        result += locale.decimalPoint();
        result += QStringLiteral("%1").arg(fraction, digits, 10, QLatin1Char('0'));
    }
    return result;
}

} // namespace kw27
