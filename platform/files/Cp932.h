#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace kw27::cp932 {

// Code page 932 (Shift-JIS with the NEC/IBM extensions) through glibc iconv "CP932".
// A string that cannot be converted gives std::nullopt: never a silently shortened result.
std::optional<std::string> encode(const QString& text);
std::optional<QString> decode(std::string_view bytes);

// True when every character of text has a code page 932 form.
bool canEncode(const QString& text);

// True when byte b starts a double-byte character (lead bytes 0x81-0x9F and 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace kw27::cp932
