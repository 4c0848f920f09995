#include "tabulation_document.h"

#include "core/number.h"
#include "engine/column_file.h"
#include "print/slip_document.h"
#include "systems/description_file.h"
#include "systems/system_files.h"

#include <algorithm>

namespace ottavario::print {

namespace {
    constexpr double kTitlePoints = 36;
    constexpr double kTextPoints = 12;
    constexpr double kRulePoints = 8; // the credit line and a group's first rule
    constexpr double kColumnPoints = 7;

    // Cells that open a group get one more space in front: groups of
    // 6, 5, 5, 5, 5, 5, 5, 5 and 4 cells.
    constexpr bool opensGroup(int cell) { return cell >= 6 && (cell - 6) % 5 == 0; }

    QString spaces(int n) { return QString(n, u' '); }
    QString underscores(int n) { return QString(n, u'_'); }

    QString title() { return spaces(7) + QStringLiteral("Ottavario*"); }
    QString nameLine(const QString& name) { return QStringLiteral("Nome sistema ") + name; }
    QString shortRule() { return underscores(93); }
    QString longRule() { return spaces(3) + underscores(190); }

    // How a print statement writes a number: sign position, digits, a blank.
    QString printForm(double value)
    {
        return (value < 0 ? QStringLiteral("-") : QStringLiteral(" "))
            + plainNumber(value < 0 ? -value : value) + u' ';
    }

    void writeHeader(FlowWriter& out, const QString& name)
    {
        out.setSize(kTitlePoints);
        out.setBold(true);
        out.line({});
        out.line(title());
        out.line({});
        out.setBold(false);
        out.setSize(kTextPoints);
        out.fittedLine(nameLine(name));
    }

    void writeConditions(FlowWriter& out, const Conditions& conditions)
    {
        if (conditions.empty())
            return;
        out.line({});
        out.line(QStringLiteral("   Condizioni"));
        for (const Condition& condition : conditions)
            out.line(QStringLiteral("   ") + conditionText(condition));
    }

    void writeProspectus(FlowWriter& out, const QString& name, const Grid& boxes, qint64 columns,
        double columnPrice, const Conditions& conditions)
    {
        writeHeader(out, name);
        out.fittedLine(shortRule());
        out.line(QStringLiteral("   Numeri in gioco             "));
        out.line({});
        for (int k = 0; k < kBoxes; ++k) {
            if (k > 0)
                out.line({});
            out.line(boxLine(k + 1, boxes.entries[k])).fields = rightHandFields(k + 1);
        }
        writeConditions(out, conditions);
        out.line({});
        out.line(totalsLine(columns, columnPrice * double(columns)));
        out.fittedLine(shortRule());
        out.setSize(kRulePoints);
        out.line(creditLine());
    }

    // The cell of every number a column field can hold, and of no column at
    // all past the last one (index 0).
    std::array<QString, kHighestNumber + 1> listingCells()
    {
        std::array<QString, kHighestNumber + 1> cells;
        cells[0] = cellText(u"");
        for (int n = kLowestNumber; n <= kHighestNumber; ++n) {
            QByteArray field;
            appendCanonicalField(field, n);
            cells[n] = cellText(QString::fromLatin1(field));
        }
        return cells;
    }

    void writeListing(FlowWriter& out, const std::vector<ColumnMask>& columns)
    {
        static const std::array<QString, kHighestNumber + 1> cells = listingCells();
        // One text shared by every rule and credit line of a long listing.
        static const QString rule = longRule();
        static const QString credit = creditLine();
        out.setSize(kRulePoints);
        const qsizetype total = qsizetype(columns.size());
        int block = 0;
        std::array<ColumnNumbers, kBlockColumns> numbers {};
        for (qsizetype first = 0; first < total; first += kBlockColumns) {
            // A block split over two pages would part the boxes of its columns.
            out.keepWithNext(true);
            if (++block == 1)
                out.fittedLine(rule);
            out.setSize(kColumnPoints);
            const qsizetype inBlock = std::min<qsizetype>(kBlockColumns, total - first);
            for (qsizetype c = 0; c < kBlockColumns; ++c)
                numbers[c] = c < inBlock ? numbersOf(columns[first + c]) : ColumnNumbers {};
            for (int k = 0; k < kColumnSize; ++k) {
                qsizetype length = 6;
                for (int c = 0; c < kBlockColumns; ++c)
                    length += (c == 0 ? 0 : opensGroup(c) ? 3 : 2) + cells[numbers[c][k]].size();
                // Written in place: a listing can run to 80,000 lines.
                QString line(length, u' ');
                QChar* next = line.data() + 6;
                for (int c = 0; c < kBlockColumns; ++c) {
                    next += c == 0 ? 0 : opensGroup(c) ? 3 : 2;
                    const QString& cell = cells[numbers[c][k]];
                    next = std::copy(cell.cbegin(), cell.cend(), next);
                }
                out.line(std::move(line));
            }
            out.keepWithNext(false);
            out.fittedLine(rule);
            if (block == kBlocksPerCredit) {
                block = 0;
                out.setSize(kRulePoints);
                out.line(credit);
            }
        }
    }

    QString descriptionPathOf(const QString& stgPath)
    {
        const QString partner = partnerPath(stgPath);
        return partner.isEmpty()
            ? stgPath.chopped(std::min<qsizetype>(4, stgPath.size())) + QStringLiteral(".stt")
            : partner;
    }
}

QString tabulationFamily() { return QStringLiteral("Liberation Sans"); }

QString logoPictureName() { return QStringLiteral("Image2"); }

QString cellText(QStringView stored)
{
    const double value = readNumber(stored);
    QString text = value == 0 ? spaces(2) : stored.toString();
    if (value < 10)
        text.prepend(u' ');
    return text;
}

QString boxLine(int box, const std::array<QString, kEntries>& entries)
{
    QString line = QStringLiteral("Casella %1 :  ").arg(box);
    for (int j = 0; j < kEntries; ++j) {
        if (j > 0)
            line += QStringLiteral(" - ");
        line += cellText(entries[j]);
    }
    return line;
}

QList<FlowField> rightHandFields(int box)
{
    switch (box) {
    case 1:
        return { { kStampColumn, QStringLiteral("Timbro ricevitoria") } };
    case 3:
        return { { kStampColumn, underscores(18) } };
    case 5:
        return { { kStampColumn, QStringLiteral("Quota gioco ") + underscores(8) },
            { kSecondColumn, QStringLiteral("Prezzo quota ") + underscores(11) } };
    case 7:
        return { { kStampColumn, QStringLiteral("Nome ") + underscores(15) },
            { kSecondColumn, QStringLiteral("Concorso ") + underscores(9) } };
    default:
        return {};
    }
}

QString totalsLine(qint64 columns, double systemPrice)
{
    return QStringLiteral("Colonne in gioco ") + QString::number(columns)
        + QStringLiteral("  prezzo sistema ") + printForm(systemPrice);
}

QString creditLine() { return spaces(6) + QStringLiteral("Tabulato stampato con Ottavario*"); }

FlowDocument layOutTabulation(const QString& systemName, TabulationLayout layout, const Grid& boxes,
    const std::vector<ColumnMask>& columns, double columnPrice, const Conditions& conditions)
{
    FlowDocument document;
    document.name = QStringLiteral("Tabulato ") + systemName;
    document.family = tabulationFamily();
    document.overlay.append({ ItemKind::Picture, kLogoPosition, logoPictureName(), {}, {} });
    FlowWriter out(document, kTextPoints);
    if (layout == TabulationLayout::Columns)
        writeHeader(out, systemName);
    else
        writeProspectus(out, systemName, boxes, qint64(columns.size()), columnPrice, conditions);
    if (layout != TabulationLayout::Prospectus)
        writeListing(out, columns);
    out.finish();
    return document;
}

FileResult<FlowDocument> tabulationDocument(
    const QString& stgPath, TabulationLayout layout, const QString& columnPrice)
{
    // The listing's layout asks for nothing of the description: it is not read.
    Grid boxes;
    Conditions conditions;
    if (layout != TabulationLayout::Columns) {
        const auto description = readDescription(descriptionPathOf(stgPath));
        if (!description)
            return std::unexpected(description.error());
        boxes = description->grid;
        conditions = description->conditions;
    }
    const auto columns = readColumnMasks(stgPath);
    if (!columns)
        return std::unexpected(columns.error());
    return layOutTabulation(
        systemName(stgPath), layout, boxes, *columns, readNumber(columnPrice), conditions);
}

} // namespace ottavario::print
