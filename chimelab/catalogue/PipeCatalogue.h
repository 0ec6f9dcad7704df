#pragma once

#include "Currency.h"

#include <QString>
#include <QStringList>
#include <array>

namespace kw27 {

// The twenty pipes a pupil may choose from, in the order every pipe chooser lists them: the
// whole lengths 14-25 cm, then the eight pipes of the C major scale. A chooser's item position
// 0-19 names a pipe; -1 means none chosen.
constexpr int PipeCount = 20;
constexpr int NoPipe = -1;

QString pipeLabel(int position);
QStringList pipeLabels();

// The pipe lengths in centimetres as the programs add them up. Element 0 is 0 so that a
// chooser with nothing chosen adds nothing; element k is the length of chooser position k-1.
// Each program keeps its own table.
class LengthTable {
public:
    static constexpr int Size = PipeCount + 1;

    LengthTable();

    Currency operator[](int element) const;
    // The length of chooser position p (-1 to 19).
    Currency ofPosition(int position) const { return (*this)[position + 1]; }

private:
    std::array<Currency, Size> lengths_;
};

} // namespace kw27
