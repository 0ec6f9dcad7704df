#include "PipeCatalogue.h"

#include <stdexcept>
#include <string>

namespace kw27 {

namespace {

struct Pipe {
    const char* label; // UTF-8
    std::int64_t tenThousandths;
};

constexpr std::array<Pipe, PipeCount> pipes{{
    {"14cm", 140000},          {"15cm", 150000},          {"16cm", 160000},
    {"17cm", 170000},          {"18cm", 180000},          {"19cm", 190000},
    {"20cm", 200000},          {"21cm", 210000},          {"22cm", 220000},
    {"23cm", 230000},          {"24cm", 240000},          {"25cm", 250000},
    {"ド (18.6cm)", 186000},   {"レ (17.6cm)", 176000},   {"ミ (16.5cm)", 165000},
    {"ファ (16.1cm)", 161000}, {"ソ (15.3cm)", 153000},   {"ラ (14.3cm)", 143000},
    {"シ (13.5cm)", 135000},   {"ド上 (13.1cm)", 131000},
}};

} // namespace

QString pipeLabel(int position) {
    if (position < 0 || position >= PipeCount)
        throw std::out_of_range("pipe position " + std::to_string(position));
    return QString::fromUtf8(pipes[std::size_t(position)].label);
}

QStringList pipeLabels() {
    QStringList labels;
    for (const Pipe& pipe : pipes)
        labels << QString::fromUtf8(pipe.label);
    return labels;
}

LengthTable::LengthTable() {
    lengths_[0] = Currency();
    for (std::size_t k = 1; k < lengths_.size(); ++k)
        lengths_[k] = Currency::fromTenThousandths(pipes[k - 1].tenThousandths);
}

Currency LengthTable::operator[](int element) const {
    if (element < 0 || element >= Size)
        throw std::out_of_range("length table element " + std::to_string(element));
    return lengths_[std::size_t(element)];
}

} // namespace kw27
