// Pipe lengths read as notes and cents, with the hole, the strike point and the filing.
#include "PipeFacts.h"
#include "PipeNote.h"
#include "QStringPrinting.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kw27::workshop;

namespace {

struct PipeRow {
    int lengthTenthsMm;
    double hz; // K / L² with the 18.6 cm pipe on 2093 Hz
    const char* name;
    const char* letterName;
    int cents;
    bool inTune;
    double holeMm;
    double fileOffMm; // what makes the pipe sound its note exactly
};

// Worked out by hand from f = 2093 · (18.6 / L)², A4 = 440 Hz and the node of the first
// free-free mode at 0.22416 L.
const PipeRow pipeRows[] = {
    {1860, 2093.00, "ド", "C7", 0, true, 41.69, 0.0},
    {1700, 2505.52, "レ#", "D#7", 11, false, 38.11, 0.0},
    {1650, 2659.67, "ミ", "E7", 15, false, 36.99, 0.0},
    {1530, 3093.23, "ソ", "G7", -24, false, 34.30, 1.046},
    {1400, 3694.36, "ラ#", "A#7", -16, false, 31.38, 0.658},
    {2500, 1158.55, "レ", "D6", -24, false, 56.04, 1.72},
    {2700, 993.27, "シ", "B5", 10, true, 60.52, 0.0},
    {1000, 7240.94, "ラ", "A8", 49, false, 22.42, 0.0},
};

TEST(PipeFacts, LengthsGiveTheirNotesCentsHolesAndFiling) {
    for (const PipeRow& row : pipeRows) {
        SCOPED_TRACE(row.lengthTenthsMm);
        const PipeFacts f = pipeFacts(row.lengthTenthsMm);
        EXPECT_NEAR(f.hz, row.hz, 0.01);
        EXPECT_EQ(f.note.name, QString::fromUtf8(row.name));
        EXPECT_EQ(f.note.letterName, QString::fromUtf8(row.letterName));
        EXPECT_EQ(f.note.cents, row.cents);
        EXPECT_EQ(f.note.inTune(), row.inTune);
        EXPECT_NEAR(f.holeMm, row.holeMm, 0.01);
        EXPECT_DOUBLE_EQ(f.strikeMm, row.lengthTenthsMm / 20.0);
        EXPECT_NEAR(f.fileOffMm, row.fileOffMm, 0.002);
    }
}

TEST(PipeFacts, FilingOffWhatItSaysBringsAFlatPipeOntoItsNote) {
    for (int tenths = 1000; tenths <= 2700; tenths += 10) {
        const PipeFacts f = pipeFacts(tenths);
        if (f.note.cents >= 0)
            continue;
        SCOPED_TRACE(tenths);
        const PipeFacts filed = pipeFacts(int(std::lround(tenths - 10.0 * f.fileOffMm)));
        EXPECT_EQ(filed.note.midi, f.note.midi);
        // Rounded to a tenth of a millimetre, which is at most 3 cents here.
        EXPECT_LE(std::abs(filed.note.cents), 3);
    }
}

TEST(PipeNote, NotesByFrequency) {
    struct Row {
        double hz;
        const char* name;
        const char* letterName;
        int cents;
    };
    const Row rows[] = {
        {440.0, "ラ", "A4", 0},
        {261.63, "ド", "C4", 0},
        {2093.0, "ド", "C7", 0},
        {2217.46, "ド#", "C#7", 0},
        {1975.53, "シ", "B6", 0},
        {2793.83, "ファ", "F7", 0},
        {2959.96, "ファ#", "F#7", 0},
        {3322.44, "ソ#", "G#7", 0},
        {3729.31, "ラ#", "A#7", 0},
        {2349.32, "レ", "D7", 0},
        {440.0 * std::exp2(0.3 / 12), "ラ", "A4", 30},
        {440.0 * std::exp2(-0.3 / 12), "ラ", "A4", -30},
        {440.0 * std::exp2(0.6 / 12), "ラ#", "A#4", -40},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hz);
        const NoteReading r = readNote(row.hz);
        EXPECT_EQ(r.name, QString::fromUtf8(row.name));
        EXPECT_EQ(r.letterName, QString::fromUtf8(row.letterName));
        EXPECT_EQ(r.cents, row.cents);
    }
}

TEST(PipeNote, InTuneWithinTenCentsEitherWay) {
    const std::pair<int, bool> rows[] = {{0, true},   {10, true},   {-10, true},
                                         {11, false}, {-11, false}, {50, false}};
    for (const auto& [cents, inTune] : rows) {
        NoteReading r;
        r.cents = cents;
        EXPECT_EQ(r.inTune(), inTune) << cents;
    }
}

TEST(PipeNote, CentsShownSignedWithAMinusSign) {
    const std::pair<int, const char*> rows[] = {
        {15, "+15"}, {-24, "−24"}, {0, "0"}, {1, "+1"}, {-50, "−50"}};
    for (const auto& [cents, text] : rows)
        EXPECT_EQ(centsText(cents), QString::fromUtf8(text)) << cents;
}

TEST(PipeInput, LengthsInCentimetresWithOneDecimalFromTenToTwentySeven) {
    const std::pair<const char*, std::optional<int>> rows[] = {
        {"17", 1700},
        {"17.0", 1700},
        {"17.", 1700},
        {" 18.6 ", 1860},
        {"１７．５", 1750},
        {"10.0", 1000},
        {"27.0", 2700},
        {"9.9", std::nullopt},
        {"27.1", std::nullopt},
        {"17.05", std::nullopt},
        {"", std::nullopt},
        {"1", std::nullopt},
        {"abc", std::nullopt},
        {"-17", std::nullopt},
        {"17,5", std::nullopt},
        {"1e1", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const auto& [text, tenths] : rows)
        EXPECT_EQ(parsePipeLength(QString::fromUtf8(text)), tenths) << text;
}

TEST(PipeInput, SawWidthInMillimetresFromZeroToFive) {
    const std::pair<const char*, std::optional<int>> rows[] = {
        {"2", 20},
        {"0", 0},
        {"5", 50},
        {"5.0", 50},
        {"1.5", 15},
        {"5.1", std::nullopt},
        {"", std::nullopt},
        {"-1", std::nullopt},
        {"0.25", std::nullopt},
    };
    for (const auto& [text, tenths] : rows)
        EXPECT_EQ(parseKerf(QString::fromUtf8(text)), tenths) << text;
}

TEST(PipeInput, MeasuresShownWithOneDecimal) {
    const std::pair<int, const char*> mm[] = {
        {1860, "186.0"}, {800, "80.0"}, {5, "0.5"}, {0, "0.0"}, {-120, "−12.0"}};
    for (const auto& [tenths, text] : mm)
        EXPECT_EQ(mmText(tenths), QString::fromUtf8(text)) << tenths;
    EXPECT_EQ(cmText(1860), QStringLiteral("18.6"));
    EXPECT_EQ(cmText(2700), QStringLiteral("27.0"));
    EXPECT_EQ(measureText(41.6933), QStringLiteral("41.7"));
}

} // namespace
