#pragma once

#include "core/column.h"
#include "core/conditions.h"
#include "core/file_error.h"
#include "core/grid.h"
#include "print/flow_document.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringView>

#include <array>
#include <vector>

namespace ottavario::print {

// What the tabulation prints; the print window's option buttons in brackets.
enum class TabulationLayout {
    Prospectus, // Option1(0) "Prospetto": the summary of the system
    ProspectusAndColumns, // Option1(2) "Prospetto e colonne": summary, then listing
    Columns, // Option1(1) "Colonne": a short header, then the listing
};

// The cells of the listing stand in straight columns only in a face whose
// digit is exactly as wide as two spaces.
QString tabulationFamily();

// The logo, a picture of the program drawn at its natural size with its
// corner here on the first page.
QString logoPictureName();
inline constexpr QPoint kLogoPosition { 7500, 550 };
inline constexpr QSize kLogoPixels { 114, 40 };

inline constexpr int kBlockColumns = 45; // columns side by side in a block
inline constexpr int kBlocksPerCredit = 7; // the credit line follows every seventh block

// A number as the tabulation prints it: a text whose value is 0 (no number
// at all included) becomes two spaces, and a value below 10 gets one space
// in front; so " 7" prints as three characters, "7" and "" as two and three.
QString cellText(QStringView stored);

// "Casella k :  ", then the five slots with " - " between them.
QString boxLine(int box, const std::array<QString, kEntries>& entries);

// Where the right-hand texts of the box lines start, in twips from the left
// edge: clear of the widest box line at 12 points, and the second column
// clear of the widest text of the first, both within the width of A4.
inline constexpr int kStampColumn = 4700;
inline constexpr int kSecondColumn = 7800;

// The right-hand texts of box k: the receiving agency's stamp and the
// fields the player fills in by hand, each at its column; none for the
// even boxes.
QList<FlowField> rightHandFields(int box);

// "Colonne in gioco N  prezzo sistema P" with the price as a print statement
// writes a number: a blank or a minus sign, the digits, a blank.
QString totalsLine(qint64 columns, double systemPrice);

QString creditLine();

// The tabulation of a system as a flow of lines. `boxes` holds the numbers of
// each box in its first entries, the other entries empty; only the
// prospectus reads it, and lists the conditions after the boxes. Every
// column is listed, however many there are.
FlowDocument layOutTabulation(const QString& systemName, TabulationLayout layout, const Grid& boxes,
    const std::vector<ColumnMask>& columns, double columnPrice, const Conditions& conditions = {});

// Reads the system's files and lays out its tabulation: the column file at
// `stgPath` always, its description beside it only for the prospectus. The
// column price is the text of the settings value, read by the number rule.
// A file that cannot be read, or that is not what it should be, is an error
// naming it and the reason; nothing is then to be printed.
FileResult<FlowDocument> tabulationDocument(
    const QString& stgPath, TabulationLayout layout, const QString& columnPrice);

} // namespace ottavario::print
