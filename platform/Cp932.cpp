#include "Cp932.h"

#include <QByteArray>

#include <cerrno>
#include <iconv.h>

namespace kw27::cp932 {
namespace {

// One conversion with a descriptor of its own, so that no shift state or error survives from
// one call into the next. Any character iconv cannot convert, and any incomplete sequence at
// the end, fails the whole conversion.
std::optional<std::string> convert(const char* to, const char* from, std::string_view input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;

    std::string output;
    // A first guess at the length; E2BIG grows it (one CP932 byte can become three in UTF-8).
    output.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t outUsed = 0;
    bool ok = true;
    while (inLeft > 0) {
        char* out = output.data() + outUsed;
        std::size_t outLeft = output.size() - outUsed;
        const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        outUsed = output.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1)) {
            // A non-reversible conversion means iconv substituted something: not the text.
            if (rc != 0)
                ok = false;
            break;
        }
        if (errno == E2BIG) {
            output.resize(output.size() * 2);
            continue;
        }
        ok = false; // EILSEQ or EINVAL
        break;
    }
    if (ok) {
        char* out = output.data() + outUsed;
        std::size_t outLeft = output.size() - outUsed;
        if (iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1))
            ok = false;
        outUsed = output.size() - outLeft;
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    output.resize(outUsed);
    return output;
}

// QString holds UTF-16; a lone surrogate has no character to convert, and toUtf8 would
// quietly replace it.
bool hasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                return true;
            ++i;
        } else if (c.isLowSurrogate()) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<std::string> encode(const QString& text) {
    if (hasLoneSurrogate(text))
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    return convert("CP932", "UTF-8", std::string_view(utf8.constData(), size_t(utf8.size())));
}

std::optional<QString> decode(std::string_view bytes) {
    const std::optional<std::string> utf8 = convert("UTF-8", "CP932", bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(utf8->data(), qsizetype(utf8->size()));
}

bool canEncode(const QString& text) {
    return encode(text).has_value();
}

} // namespace kw27::cp932
