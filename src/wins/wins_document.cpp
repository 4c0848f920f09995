#include "wins_document.h"

#include "print/tabulation_document.h"

#include <algorithm>
#include <cmath>

namespace ottavario::print {

namespace {
    constexpr double kTitlePoints = 36;
    constexpr double kTextPoints = 12;
    constexpr double kRowPoints = 10;
    constexpr double kCreditPoints = 8;

    // Where each column of a table row ends, in widths of a space.
    constexpr int kIndent = 4;
    constexpr std::array<double, 5> kColumnEnds = { 16, 30, 44, 76, 98 };
    // The bars of the shares stand right of the text, in twips.
    constexpr int kBarLeft = 5800;
    constexpr int kBarLongest = 5200;
    constexpr int kBarShortest = 15; // a share too small to draw is still seen

    // Advance widths in the tabulation's face, in widths of a space: a digit
    // is two, "." and "," one; the letters are those of the headings.
    double widthOf(QChar c)
    {
        if (c.isDigit())
            return 2;
        switch (c.unicode()) {
        case ' ':
        case '.':
        case ',':
        case 't':
            return 1;
        case 'i':
        case 'l':
            return 0.8;
        case 'c':
        case 'v':
            return 1.8;
        case '%':
            return 3.2;
        case 'C':
            return 2.6;
        case 'Q':
            return 2.8;
        default:
            return 2;
        }
    }

    double widthOf(const QString& text)
    {
        double width = 0;
        for (QChar c : text)
            width += widthOf(c);
        return width;
    }

    // A line of cells, each right-aligned against the next column end.
    class AlignedLine {
    public:
        AlignedLine()
            : m_text(kIndent, u' ')
            , m_width(kIndent)
        {
        }
        void add(const QString& cell, double end)
        {
            const int pad = std::max(1, int(std::lround(end - m_width - widthOf(cell))));
            m_text += QString(pad, u' ') + cell;
            m_width += pad + widthOf(cell);
        }
        const QString& text() const { return m_text; }

    private:
        QString m_text;
        double m_width = 0;
    };

    QString shortRule() { return QString(93, u'_'); }

    // What the window's chart shows: the share of winners by best prize.
    QString bestPrizeLine(const WinTable& table, const QLocale& locale)
    {
        const std::array<qint64, 4> best = winnersByBestPrize(table);
        const std::array<QString, 4> names = { QStringLiteral("8 punti"), QStringLiteral("7 punti"),
            QStringLiteral("6 punti"), QStringLiteral("nessun premio") };
        QString line = QStringLiteral("Il premio migliore:");
        for (size_t i = 0; i < best.size(); ++i)
            line += (i ? QStringLiteral("  -  ") : QStringLiteral("  ")) + names[i] + u' '
                + winsText::percent(table.share(best[i]), locale);
        return line;
    }

    void writeTable(FlowWriter& out, const WinTable& table, const QLocale& locale)
    {
        qint64 largest = 0;
        for (const WinRow& row : table.rows)
            largest = std::max(largest, row.winners);
        out.setSize(kRowPoints);
        // The heading never ends a page alone.
        out.keepWithNext(true);
        const QString header = winTableHeader();
        out.line(header);
        for (const WinRow& row : table.rows) {
            const double scale = largest ? double(row.winners) / double(largest) : 0;
            const int bar = row.winners ? std::max(kBarShortest, int(scale * kBarLongest)) : 0;
            FlowLine& line = out.line(winTableRow(row, table, locale));
            line.pageHeading = header;
            if (bar > 0) {
                line.barLeft = kBarLeft;
                line.barLength = bar;
            }
            out.keepWithNext(false);
        }
        out.keepWithNext(false);
        out.setSize(kTextPoints);
    }
}

QString winTableHeader()
{
    AlignedLine line;
    const std::array<QString, 5> headings = { QStringLiteral("8 punti"), QStringLiteral("7 punti"),
        QStringLiteral("6 punti"), QStringLiteral("Colonne vincenti"), QStringLiteral("Quota") };
    for (size_t i = 0; i < headings.size(); ++i)
        line.add(headings[i], kColumnEnds[i]);
    return line.text();
}

QString winTableRow(const WinRow& row, const WinTable& table, const QLocale& locale)
{
    AlignedLine line;
    line.add(winsText::count(row.prizes.eight, locale), kColumnEnds[0]);
    line.add(winsText::count(row.prizes.seven, locale), kColumnEnds[1]);
    line.add(winsText::count(row.prizes.six, locale), kColumnEnds[2]);
    line.add(winsText::count(row.winners, locale), kColumnEnds[3]);
    line.add(winsText::percent(table.share(row.winners), locale), kColumnEnds[4]);
    return line.text();
}

FlowDocument layOutWins(const WinsSystem& system, const WinsReport& report, const QLocale& locale)
{
    FlowDocument document;
    document.name = QStringLiteral("Prospetto vincite ") + system.name;
    document.family = tabulationFamily();
    document.overlay.append({ ItemKind::Picture, kLogoPosition, logoPictureName(), {}, {} });
    FlowWriter out(document, kTextPoints);

    out.setSize(kTitlePoints);
    out.setBold(true);
    out.line({});
    out.line(QStringLiteral("       Ottavario*"));
    out.line({});
    out.setBold(false);
    out.setSize(kTextPoints);
    out.line(QStringLiteral("Nome sistema ") + system.name);
    out.line(shortRule());
    out.line(QStringLiteral("   Prospetto vincite  -  ") + winsText::typeName(system.type));
    out.line({});
    for (int k = 0; k < kBoxes; ++k) {
        QString line = QStringLiteral("Casella %1 :  ").arg(k + 1);
        for (int j = 0; j < kEntries; ++j)
            line += (j ? QStringLiteral(" - ") : QString()) + cellText(system.grid.entries[k][j]);
        out.line(line);
    }
    out.line({});
    out.line(QStringLiteral("Colonne in gioco %1     Colonne sviluppate %2")
                 .arg(winsText::count(qint64(system.kept.size()), locale),
                     winsText::count(report.developed, locale)));
    out.line(shortRule());

    out.keepWithNext(true);
    out.setBold(true);
    out.line(winsText::ownHeading(report, locale));
    out.setBold(false);
    out.line(winsText::guarantee(report.own.guarantee));
    out.line(bestPrizeLine(report.own, locale));
    out.line({});
    writeTable(out, report.own, locale);
    out.line(shortRule());

    out.keepWithNext(true);
    out.setBold(true);
    out.line(winsText::everyHeading(locale));
    out.setBold(false);
    const WinTable& every = report.every;
    for (int i = 0; i < 3; ++i)
        out.line(QStringLiteral("%1:  %2  (%3)")
                     .arg(winsText::atLeastOneCaption(8 - i),
                         winsText::percent(every.share(every.atLeastOne[size_t(i)]), locale),
                         winsText::odds(every.atLeastOne[size_t(i)], every.winners, locale)));
    out.line(
        winsText::expectedCaption() + QStringLiteral(":  ") + winsText::expected(every, locale));
    out.line(bestPrizeLine(every, locale));
    out.line({});
    writeTable(out, every, locale);
    out.line(shortRule());
    out.setSize(kCreditPoints);
    out.line(QStringLiteral("      Prospetto stampato con Ottavario*"));
    out.finish();
    return document;
}

} // namespace ottavario::print
