#pragma once

#include "SheetBuilder.h"

#include <array>

// Design sheets filled in as pupils fill them, shared by the sheet tests.
namespace kw27::test {

enum class SheetSample {
    Plain,          // every field, pipes within the material
    OverMaterial,   // the three pipes add up to more than 59 cm
    SpecialSymbols, // wave dashes, braces and backslashes, which RTF and code page 932 treat apart
};

inline kw27::SheetFields sampleSheet(SheetSample which) {
    // date, school, class, name, pipe 1-3, total, memo
    using Row = std::array<const char16_t*, 9>;
    static constexpr Row rows[] = {
        {u"2024年 12月 31日", u"北　中学校", u"2学年3組", u"鈴木 一郎", u"25cm", u"20cm",
         u"ラ (14.3cm)", u"59.3", u"一行目\n二行目\n三行目"},
        {u"2001年 4月 9日", u"南　中学校", u"1学年2組", u"田中 太郎", u"25cm", u"25cm",
         u"シ (13.5cm)", u"63.5", u"材料が足りない｡\nもう一度選び直す｡\n以上"},
        {u"2001年 4月 9日", u"　中学校", u"　学年　組", u"山田 花子", u"ド (18.6cm)",
         u"レ (17.6cm)", u"ミ (16.5cm)", u"52.7",
         u"高い音が出るように､短めに切る｡\n～ 吊り糸は 30cm ～\n{メモ} C:\\chime"},
    };
    const Row& row = rows[static_cast<int>(which)];
    const auto text = [&](int i) { return QString::fromUtf16(row[i]); };
    return {text(0), text(1), text(2), text(3), text(4), text(5), text(6), text(7), text(8)};
}

} // namespace kw27::test
