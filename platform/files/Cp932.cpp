#include "Cp932.h"

#include <QByteArray>

#include <cerrno>
#include <iconv.h>

namespace kw27::cp932 {
namespace {

const iconv_t noDescriptor = reinterpret_cast<iconv_t>(-1);

// Opening a descriptor costs far more than converting a short line, and a damaged song file is
// decoded character by character: each thread keeps one descriptor per direction.
class Descriptors {
public:
    Descriptors() = default;
    Descriptors(const Descriptors&) = delete;
    Descriptors& operator=(const Descriptors&) = delete;
    ~Descriptors() {
        for (iconv_t cd : {toCp932_, fromCp932_})
            if (cd != noDescriptor)
                iconv_close(cd);
    }

    iconv_t get(bool toCp932) {
        iconv_t& cd = toCp932 ? toCp932_ : fromCp932_;
        if (cd == noDescriptor)
            cd = toCp932 ? iconv_open("CP932", "UTF-8") : iconv_open("UTF-8", "CP932");
        return cd;
    }

private:
    iconv_t toCp932_ = noDescriptor;
    iconv_t fromCp932_ = noDescriptor;
};

// One conversion from the initial state, so that no shift state or error survives from one
// call into the next. Any character iconv cannot convert, and any incomplete sequence at the
// end, fails the whole conversion.
std::optional<std::string> convert(bool toCp932, std::string_view input) {
    thread_local Descriptors descriptors;
    iconv_t cd = descriptors.get(toCp932);
    if (cd == noDescriptor)
        return std::nullopt;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);

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
    return convert(true, std::string_view(utf8.constData(), size_t(utf8.size())));
}

std::optional<QString> decode(std::string_view bytes) {
    const std::optional<std::string> utf8 = convert(false, bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(utf8->data(), qsizetype(utf8->size()));
}

bool canEncode(const QString& text) {
    return encode(text).has_value();
}

} // namespace kw27::cp932
