#include "slip_document.h"

#include "core/column.h"
#include "core/grid.h"
#include "core/number.h"
#include "engine/column_file.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace ottavario::print {

QString printWindowTitle() { return QStringLiteral("Stampa sistemi Ottavario*"); }

PrintRefusal noSystemRefusal()
{
    return { QStringLiteral("Spoglio sistema Ottavario*"), QStringLiteral("Aprire un sistema.") };
}

namespace {
    PrintRefusal rangeRefusal(qint64 slips)
    {
        if (slips == 0)
            return { printWindowTitle(), QStringLiteral("Il sistema non ha colonne da stampare.") };
        return { printWindowTitle(),
            QStringLiteral("Scegliere le schede da stampare, da 1 a %1.").arg(slips) };
    }

    PrintRefusal reversedRangeRefusal(qint64 first, qint64 last, qint64 slips)
    {
        return { printWindowTitle(),
            QStringLiteral("La prima scheda (%1) viene dopo l'ultima (%2): scegliere le schede da "
                           "stampare, da 1 a %3.")
                .arg(first)
                .arg(last)
                .arg(slips) };
    }

    // The first field of the records [from, to) that has no cell on the slip:
    // a damaged or hand-made file. Printing the rest would hand in a slip
    // that silently plays another column.
    std::optional<PrintRefusal> offSlipNumber(const QByteArray& columnFile, qint64 from, qint64 to)
    {
        for (qint64 record = from; record < to; ++record) {
            const char* fields = columnFile.constData() + record * kRecordSize;
            const ColumnNumbers numbers = parseRecord(fields);
            for (int k = 0; k < kColumnSize; ++k) {
                if (numbers[k] >= kLowestNumber && numbers[k] <= kHighestNumber)
                    continue;
                const QString field = QString::fromLatin1(fields + 2 * k, 2).trimmed();
                const QString what = field.isEmpty()
                    ? QStringLiteral("un numero mancante")
                    : QStringLiteral("il numero \"%1\"").arg(field);
                return PrintRefusal { printWindowTitle(),
                    QStringLiteral("La colonna %1 del sistema ha %2, che non è sulla scheda "
                                   "(numeri da 1 a 32): nessuna scheda stampata.")
                        .arg(record + 1)
                        .arg(what) };
            }
        }
        return std::nullopt;
    }

    bool isSlipNumber(double value, qint64 slips)
    {
        return value >= 1 && value <= double(slips) && value == std::floor(value);
    }

    // The numbers of one column as cell flags; a number off the slip has no cell.
    ColumnMask cellsOfRecord(const char* record)
    {
        ColumnMask cells = 0;
        for (int n : parseRecord(record))
            if (n >= kLowestNumber && n <= kHighestNumber)
                cells |= ColumnMask(1) << (n - 1);
        return cells;
    }

    bool has(ColumnMask cells, int number) { return cells & (ColumnMask(1) << (number - 1)); }
}

PrintDocument testPrintDocument(const Calibration& calibration, bool firstBetColumnOnly)
{
    const int lines = firstBetColumnOnly ? 2 : kSlipLines;
    PrintPage page;
    for (int row = 1; row <= kSlipRows; ++row)
        for (int line = 1; line <= lines; ++line)
            page.addMark(cellPosition(calibration, line, row));
    return { QStringLiteral("Prova di taratura"), { page }, markFont() };
}

FileResult<qint64> columnsInFile(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        return std::unexpected(FileError { path, QStringLiteral("è una cartella, non un file") });
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(FileError { path,
            QFileInfo::exists(path) ? describe(file.error())
                                    : QStringLiteral("il file non esiste") });
    return columnCount(file.size());
}

QString systemNameOf(const QString& path, const QString& systemsFolder)
{
    constexpr qsizetype kNameLength = 15;
    const qsizetype lead = systemsFolder.size() + 1;
    if (path.size() < lead + 4)
        return QFileInfo(path).completeBaseName().left(kNameLength);
    return path.mid(lead, path.size() - lead - 4).left(kNameLength);
}

QString plainNumber(double value, const QLocale& locale)
{
    if (!std::isfinite(value) || value == 0)
        return QStringLiteral("0");
    // Fifteen significant digits, as a double is written for reading.
    const int integerDigits = int(std::floor(std::log10(std::fabs(value)))) + 1;
    const int decimals = std::clamp(15 - integerDigits, 0, 20);
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    if (text == QStringLiteral("-0"))
        return QStringLiteral("0");
    return text.replace(u'.', locale.decimalPoint());
}

SlipLayout layOutSlips(
    const SlipRequest& request, const QByteArray& columnFile, const QString& systemsFolder)
{
    if (request.systemPath.isEmpty())
        return std::unexpected(noSystemRefusal());
    const qint64 columns = columnCount(columnFile.size());
    const qint64 slips = slipCountOf(columns);
    const double first = readNumber(request.firstSlip);
    const double last = readNumber(request.lastSlip);
    if (!isSlipNumber(first, slips) || !isSlipNumber(last, slips))
        return std::unexpected(rangeRefusal(slips));
    if (first > last)
        return std::unexpected(reversedRangeRefusal(qint64(first), qint64(last), slips));
    const qint64 firstRecord = (qint64(first) - 1) * kBetColumns;
    if (const auto refusal
        = offSlipNumber(columnFile, firstRecord, std::min(qint64(last) * kBetColumns, columns)))
        return std::unexpected(*refusal);

    const QString name = systemNameOf(request.systemPath, systemsFolder);
    const Calibration& calibration = request.calibration;
    PrintDocument document;
    document.name = name;
    for (qint64 slip = qint64(first); slip <= qint64(last); ++slip) {
        std::array<ColumnMask, kBetColumns> cells {};
        for (int c = 0; c < kBetColumns; ++c) {
            // Bet columns past the end of the file stay empty.
            const qint64 record = (slip - 1) * kBetColumns + c;
            if (record < columns)
                cells[c] = cellsOfRecord(columnFile.constData() + record * kRecordSize);
        }
        PrintPage page;
        for (int row = 1; row <= kSlipRows; ++row)
            for (int c = 1; c <= kBetColumns; ++c) {
                if (has(cells[c - 1], row))
                    page.addMark(cellPosition(calibration, 2 * c - 1, row));
                if (has(cells[c - 1], row + kSlipRows))
                    page.addMark(cellPosition(calibration, 2 * c, row));
            }
        if (request.nameLine)
            page.addText({ calibration.horizontal, calibration.vertical + kNameLineTop },
                name + QStringLiteral(" Scheda n° ") + QString::number(slip), slipTextFont(8));
        document.pages.append(page);
    }

    // The information slip follows the system's last slip, whether or not the
    // slips carry their numbers; it is not shifted by the calibration.
    const bool reachedEnd = qint64(last) == slips;
    if (request.informationSlip && reachedEnd) {
        const PrintFont font = slipTextFont(26);
        const double price = readNumber(request.columnPrice) * double(columns);
        PrintPage page;
        page.addText({ 2000, 1500 }, QStringLiteral("Sistema   ") + name, font);
        page.addText(
            { 2000, 2500 }, QStringLiteral("Colonne in gioco  ") + QString::number(columns), font);
        page.addText({ 2000, 3500 }, QStringLiteral("Prezzo ") + plainNumber(price), font);
        document.pages.append(page);
    }
    const bool textLast = request.nameLine || (request.informationSlip && reachedEnd);
    document.fontAfter = textLast ? slipTextFont(8) : markFont();
    document.fontAfter.points = 8;
    return document;
}

SlipLayout slipDocument(const SlipRequest& request, const QString& systemsFolder)
{
    if (request.systemPath.isEmpty())
        return std::unexpected(noSystemRefusal());
    const auto bytes = readWholeFile(request.systemPath);
    if (!bytes)
        return std::unexpected(
            PrintRefusal { printWindowTitle(), bytes.error().message(QStringLiteral("leggere")) });
    return layOutSlips(request, *bytes, systemsFolder);
}

} // namespace ottavario::print
