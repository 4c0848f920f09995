#pragma once

#include "core/file_error.h"
#include "core/settings_file.h"

#include <QPoint>
#include <QStringList>
#include <QStringView>

#include <array>

namespace ottavario::print {

// A betting slip carries 6 bet columns; each is two lines of 16 cells, the
// first for the numbers 1 to 16, the second for 17 to 32.
inline constexpr int kBetColumns = 6;
inline constexpr int kSlipLines = 12;
inline constexpr int kSlipRows = 16;

// Twips from the grid's origin. Lines stand 260 apart, but 280 between bet
// columns 3 and 4; rows step 240, 240, 240, 230, 230, then 235.
inline constexpr std::array<int, kSlipLines> kLinePositions
    = { 0, 260, 520, 780, 1040, 1300, 1580, 1840, 2100, 2360, 2620, 2880 };
inline constexpr std::array<int, kSlipRows> kRowPositions
    = { 0, 240, 480, 720, 950, 1180, 1415, 1650, 1885, 2120, 2355, 2590, 2825, 3060, 3295, 3530 };
// Where row 17 would start; the name-and-number line sits 40 below it.
inline constexpr int kRowsEnd = 3765;
inline constexpr int kNameLineTop = kRowsEnd + 40;

inline constexpr int kMaxOffset = 5000;

// The printer's calibration to the slip, twips added to every position of the grid.
struct Calibration {
    int vertical = 0; // "Asse y", settings value 12
    int horizontal = 0; // "Asse x", settings value 13

    friend bool operator==(const Calibration&, const Calibration&) = default;
};

// Cell (line 1-12, row 1-16) shifted by the calibration.
QPoint cellPosition(const Calibration& calibration, int line, int row);

// Line of number m (1-32) of bet column c (1-6), and its row.
inline int lineOfNumber(int betColumn, int number)
{
    return number <= kSlipRows ? 2 * betColumn - 1 : 2 * betColumn;
}
inline int rowOfNumber(int number) { return number <= kSlipRows ? number : number - kSlipRows; }

// A stored offset by the number rule, brought into 0 to 5000: a text without a
// number is 0, a fraction is dropped.
int offsetFromText(QStringView text);
Calibration calibrationOf(const Settings& settings);

// The offsets of the settings file replaced, every other value kept. A file
// of fewer than 13 values is first filled up with empty ones, so that the
// offsets are never silently dropped.
FileResult<void> storeCalibration(const QString& settingsPath, const Calibration& calibration);

} // namespace ottavario::print
