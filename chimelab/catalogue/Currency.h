#pragma once

#include <QLocale>
#include <QString>
#include <compare>
#include <cstdint>

namespace kw27 {

// A decimal with four fixed places, held as a count of ten-thousandths, so that pipe lengths
// add up exactly (18.6 + 17.6 + 16.5 is 52.7, not 52.699999...).
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromTenThousandths(std::int64_t raw) { return Currency(raw); }
    static constexpr Currency fromWhole(std::int64_t whole) { return Currency(whole * Scale); }

    constexpr std::int64_t tenThousandths() const { return raw_; }

    constexpr Currency operator+(Currency other) const { return Currency(raw_ + other.raw_); }
    constexpr Currency& operator+=(Currency other) {
        raw_ += other.raw_;
        return *this;
    }
    constexpr auto operator<=>(const Currency&) const = default;

    // Shortest form: no trailing zeros and no decimal mark for a whole number ("45", "52.7",
    // "13.1"), with the locale's decimal mark.
    QString text(const QLocale& locale = QLocale()) const;

private:
    constexpr explicit Currency(std::int64_t raw) : raw_(raw) {}
    std::int64_t raw_ = 0;
};

} // namespace kw27
