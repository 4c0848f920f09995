#pragma once

#include "core/column.h"
#include "core/file_error.h"
#include "core/grid.h"
#include "core/system_type.h"
#include "wins/win_table.h"

#include <QLocale>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace ottavario {

// A system as its win tables need it.
struct WinsSystem {
    QString name; // as the player knows it: the file's name, or "Nuovo sistema"
    Grid grid; // the numbers in play
    SystemType type = kDefaultSystemType;
    std::vector<ColumnMask> kept; // the columns played
    // The winning columns of the first table; when absent, every column the
    // grid develops. A system whose columns are conditioned passes the ones
    // still in play.
    std::optional<std::vector<ColumnMask>> inPlay;
};

// The grid and type from a description file, the columns from the column
// file beside it; either file missing or not valid is an error naming it.
FileResult<WinsSystem> readWinsSystem(const QString& sttPath);

// The winners of the first table: the columns in play, else every column the
// grid develops (repeats included; the table counts each set once).
std::vector<ColumnMask> winnersInPlay(const WinsSystem& system);

struct WinsReport {
    qint64 developed = 0; // columns the grid develops, repeats included
    WinTable own; // over the system's own columns as winners
    WinTable every; // over every possible winning column
};

// Both tables, the second on `threads` threads.
WinsReport computeWins(const WinsSystem& system, int threads = 2);

// The winners of a table by the best prize they give: at least one column of
// 8 points, else of 7, else of 6, else none.
std::array<qint64, 4> winnersByBestPrize(const WinTable& table);

// One line of the command-line companion: "8=A 7=B 6=C N".
QString winRowLine(const WinRow& row);

// Texts shown in the window and printed, with the separators of `locale`.
namespace winsText {
    QString count(qint64 value, const QLocale& locale = QLocale());
    // A share from 0 to 1 as a percentage with four significant digits at
    // least: "76,47 %", "0,02192 %".
    QString percent(double share, const QLocale& locale = QLocale());
    // "1 su 4.561", or "mai" for a count of 0.
    QString odds(qint64 count, qint64 total, const QLocale& locale = QLocale());
    QString points(qint64 points); // "1 punto", "6 punti"
    // "La colonna migliore fa sempre almeno 6 punti."
    QString guarantee(int points);
    QString typeName(SystemType type); // "Sei punti"
    // "Se vince una delle 234.256 colonne sviluppate diverse"
    QString ownHeading(const WinsReport& report, const QLocale& locale = QLocale());
    QString everyHeading(const QLocale& locale = QLocale());
    // "Almeno una colonna da 8 punti", for 8, 7, 6.
    QString atLeastOneCaption(int points);
    QString expectedCaption();
    QString expected(const WinTable& table, const QLocale& locale = QLocale());
}

} // namespace ottavario
