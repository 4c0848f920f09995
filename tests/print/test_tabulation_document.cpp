#include "engine/column_file.h"
#include "print/tabulation_document.h"
#include "systems/description_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ottavario;
using namespace ottavario::print;

namespace {

// Column r (from 0): 8 different numbers that move with r, so that cells of
// one and two digits are mixed on every line.
ColumnNumbers numbersOfColumn(qsizetype r)
{
    ColumnNumbers numbers {};
    for (int k = 0; k < kColumnSize; ++k)
        numbers[k] = int((r * 3 + k * 4) % 32) + 1;
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::vector<ColumnMask> columns(qsizetype n)
{
    std::vector<ColumnMask> masks;
    for (qsizetype r = 0; r < n; ++r)
        masks.push_back(maskOf(numbersOfColumn(r)));
    return masks;
}

Grid boxesOf(const QList<QStringList>& numbers)
{
    Grid grid;
    for (int k = 0; k < numbers.size(); ++k)
        for (int j = 0; j < numbers[k].size(); ++j)
            grid.entries[k][j] = numbers[k][j];
    return grid;
}

// The fixed-size texts of a layout, so that a listing can be told from them.
QString longRule() { return QString(3, u' ') + QString(190, u'_'); }
QString shortRule() { return QString(93, u'_'); }

FlowLine at(double points, const QString& text, bool bold = false)
{
    return { text, points, bold };
}

FlowLine fitted(FlowLine line)
{
    line.fitToWidth = true;
    return line;
}

// Width in half digits: a digit or an underscore is as wide as two spaces.
int halfDigits(QStringView text)
{
    int width = 0;
    for (QChar c : text)
        width += c == u' ' ? 1 : 2;
    return width;
}

// Where each cell of a column line ends, in half digits from the left.
QList<int> cellEnds(const QString& line)
{
    QList<int> ends;
    int width = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        width += line[i] == u' ' ? 1 : 2;
        if (line[i] != u' ' && (i + 1 == line.size() || line[i + 1] == u' '))
            ends << width;
    }
    return ends;
}

QList<FlowLine> listingOf(const FlowDocument& document, qsizetype headerLines)
{
    return document.lines.mid(headerLines);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}

class TestTabulationDocument : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void cellTextKeepsNumbersTwoDigitsWide_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("cell");
        QTest::newRow("empty slot") << ""
                                    << "   ";
        QTest::newRow("blank field") << "  "
                                     << "   ";
        QTest::newRow("zero") << "0"
                              << "   ";
        QTest::newRow("no number at all") << "xy"
                                          << "   ";
        QTest::newRow("digit as typed") << "7"
                                        << " 7";
        QTest::newRow("field of one digit") << " 7"
                                            << "  7";
        QTest::newRow("two digits") << "12"
                                    << "12";
        QTest::newRow("leading zero keeps its text") << "03"
                                                     << " 03";
        QTest::newRow("ten") << "10"
                             << "10";
        QTest::newRow("nine and a half") << "9.5"
                                         << " 9.5";
    }

    void cellTextKeepsNumbersTwoDigitsWide()
    {
        QFETCH(QString, stored);
        QFETCH(QString, cell);
        QCOMPARE(cellText(stored), cell);
    }

    void boxTwoWithThreeNumbersPrintsPieceByPiece()
    {
        const QString line = boxLine(2, { "3", "12", "27", "", "" });
        const QString expected = QStringLiteral("Casella 2 :  ") + u' ' + u'3'
            + QStringLiteral(" - ") + QStringLiteral("12") + QStringLiteral(" - ")
            + QStringLiteral("27") + QStringLiteral(" - ") + QString(3, u' ')
            + QStringLiteral(" - ") + QString(3, u' ');
        QCOMPARE(line, expected);
    }

    void totalsLineWritesThePriceAsAPrintStatementDoes_data()
    {
        QTest::addColumn<qint64>("columns");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("line");
        QTest::newRow("120 columns at 800 lire")
            << qint64(120) << 96000.0 << "Colonne in gioco 120  prezzo sistema  96000 ";
        QTest::newRow("no columns") << qint64(0) << 0.0 << "Colonne in gioco 0  prezzo sistema  0 ";
        QTest::newRow("390625 columns, no grouping") << qint64(
            390625) << 312500000.0 << "Colonne in gioco 390625  prezzo sistema  312500000 ";
        QTest::newRow("a fraction, Italian decimal comma")
            << qint64(3) << 1.5 << "Colonne in gioco 3  prezzo sistema  1,5 ";
        QTest::newRow("negative price: the sign takes the blank")
            << qint64(2) << -1600.0 << "Colonne in gioco 2  prezzo sistema -1600 ";
    }

    void totalsLineWritesThePriceAsAPrintStatementDoes()
    {
        QFETCH(qint64, columns);
        QFETCH(double, price);
        QFETCH(QString, line);
        QCOMPARE(totalsLine(columns, price), line);
    }

    void prospectusLinesInOrderWithTheirFonts()
    {
        const Grid boxes = boxesOf({ { "1", "2" }, { "3", "12", "27" }, { "4" }, { "5" }, { "6" },
            { "7" }, { "8" }, { "9", "10", "11", "13", "14" } });
        const FlowDocument document = layOutTabulation(
            QStringLiteral("prova"), TabulationLayout::Prospectus, boxes, columns(120), 800);
        QList<FlowLine> expected = {
            at(36, "", true),
            at(36, "       Ottavario*", true),
            at(36, "", true),
            fitted(at(12, "Nome sistema prova")),
            fitted(at(12, shortRule())),
            at(12, "   Numeri in gioco             "),
            at(12, ""),
        };
        for (int k = 0; k < kBoxes; ++k) {
            if (k > 0)
                expected << at(12, "");
            FlowLine line = at(12, boxLine(k + 1, boxes.entries[k]));
            line.fields = rightHandFields(k + 1);
            expected << line;
        }
        expected << at(12, "") << at(12, "Colonne in gioco 120  prezzo sistema  96000 ")
                 << fitted(at(12, shortRule())) << at(8, creditLine());
        QCOMPARE(document.lines.size(), 26);
        QCOMPARE(document.lines, expected);
        QVERIFY(creditLine().startsWith(QString(6, u' ')));
        QVERIFY(creditLine().size() > 6);
        QCOMPARE(document.fontAfter, (PrintFont { tabulationFamily(), 8 }));
        QCOMPARE(document.family, QStringLiteral("Liberation Sans"));
    }

    void theLogoStandsOnTheFirstPageOfEveryLayout_data()
    {
        QTest::addColumn<TabulationLayout>("layout");
        QTest::newRow("Prospetto") << TabulationLayout::Prospectus;
        QTest::newRow("Prospetto e colonne") << TabulationLayout::ProspectusAndColumns;
        QTest::newRow("Colonne") << TabulationLayout::Columns;
    }

    void theLogoStandsOnTheFirstPageOfEveryLayout()
    {
        QFETCH(TabulationLayout, layout);
        const FlowDocument document
            = layOutTabulation(QStringLiteral("prova"), layout, {}, columns(3), 800);
        QCOMPARE(document.overlay.size(), 1);
        QCOMPARE(document.overlay[0].kind, ItemKind::Picture);
        QCOMPARE(document.overlay[0].position, QPoint(7500, 550));
        QCOMPARE(document.overlay[0].text, QStringLiteral("Image2"));
        QVERIFY(document.overlay[0].size.isEmpty());
    }

    void threeColumnsGiveOneBlockWithoutCreditLine()
    {
        const std::vector<ColumnMask> three = { maskOf({ 1, 2, 3, 4, 5, 6, 7, 8 }),
            maskOf({ 10, 11, 12, 13, 14, 15, 16, 17 }), maskOf({ 2, 4, 9, 11, 20, 25, 30, 32 }) };
        const FlowDocument document
            = layOutTabulation(QStringLiteral("tre"), TabulationLayout::Columns, {}, three, 800);
        QCOMPARE(document.lines.mid(0, 4),
            (QList<FlowLine> { at(36, "", true), at(36, "       Ottavario*", true),
                at(36, "", true), fitted(at(12, "Nome sistema tre")) }));
        const QList<FlowLine> listing = listingOf(document, 4);
        QCOMPARE(listing.size(), 10);
        QCOMPARE(listing.first().text, longRule());
        QCOMPARE(listing.first().points, 8.0);
        QCOMPARE(listing.last().text, longRule());
        QCOMPARE(listing.last().points, 7.0);
        // Separators only after the third cell: 42 empty cells of three spaces.
        QString after;
        for (int c = 3; c < kBlockColumns; ++c)
            after
                += QString(c == 6 || (c > 6 && (c - 6) % 5 == 0) ? 3 : 2, u' ') + QString(3, u' ');
        QCOMPARE(listing[1].text, QStringLiteral("        1  10    2") + after);
        QCOMPARE(listing[4].text, QStringLiteral("        4  13  11") + after);
        QCOMPARE(listing[8].text, QStringLiteral("        8  17  32") + after);
        for (int k = 1; k <= kColumnSize; ++k) {
            QCOMPARE(listing[k].points, 7.0);
            QVERIFY(!listing[k].bold);
        }
        QCOMPARE(document.fontAfter.points, 7.0);
    }

    void theFirstGroupHasSixCellsThenFivesAndAFour()
    {
        const FlowDocument document
            = layOutTabulation(QStringLiteral("x"), TabulationLayout::Columns, {}, columns(45), 0);
        const QString line = document.lines[5].text;
        QVERIFY(line.startsWith(QString(6, u' ')));
        // Gaps of three spaces part the groups; the cells are two digits wide.
        QList<int> groups { 1 };
        const QList<int> ends = cellEnds(line);
        QCOMPARE(ends.size(), kBlockColumns);
        for (qsizetype c = 1; c < ends.size(); ++c) {
            const int gap = ends[c] - ends[c - 1] - 4;
            QVERIFY(gap == 2 || gap == 3);
            if (gap == 3)
                groups << 0;
            ++groups.last();
        }
        QCOMPARE(groups, (QList<int> { 6, 5, 5, 5, 5, 5, 5, 5, 4 }));
    }

    void cellsStandInStraightColumns()
    {
        // Digits of one and of two places on every line of several blocks.
        const FlowDocument document
            = layOutTabulation(QStringLiteral("x"), TabulationLayout::Columns, {}, columns(200), 0);
        const QList<FlowLine> listing = listingOf(document, 4);
        QList<int> expected;
        int columnLines = 0;
        for (const FlowLine& line : listing) {
            if (line.points != 7 || line.text.contains(u'_'))
                continue;
            const QList<int> ends = cellEnds(line.text);
            if (expected.isEmpty())
                expected = ends;
            QCOMPARE(ends, expected.mid(0, ends.size()));
            ++columnLines;
        }
        QCOMPARE(expected.size(), kBlockColumns);
        QCOMPARE(columnLines, 5 * kColumnSize);
        // The 45th cell is the line's end.
        QCOMPARE(halfDigits(listing[1].text), expected.last());
    }

    void fortySixColumnsGiveTwoBlocks()
    {
        const std::vector<ColumnMask> masks = columns(46);
        const FlowDocument document
            = layOutTabulation(QStringLiteral("x"), TabulationLayout::Columns, {}, masks, 0);
        const QList<FlowLine> listing = listingOf(document, 4);
        // A rule, 8 lines, a rule; 8 lines, a rule: the second block opens with none.
        QCOMPARE(listing.size(), 19);
        QCOMPARE(listing[0].text, longRule());
        QCOMPARE(listing[9].text, longRule());
        QCOMPARE(listing[18].text, longRule());
        QCOMPARE(listing[18].points, 7.0);
        const ColumnNumbers last = numbersOfColumn(45);
        for (int k = 0; k < kColumnSize; ++k) {
            const QString line = listing[10 + k].text;
            const QString cell = cellText(QString::fromLatin1(canonicalRecord(last).mid(2 * k, 2)));
            QCOMPARE(line.left(6 + cell.size()), QString(6, u' ') + cell);
            QCOMPARE(line.mid(6 + cell.size()).trimmed(), QString());
            // The separators of the empty cells are still printed.
            QCOMPARE(line.size(), 6 + cell.size() + 44 * 2 + 8 + 44 * 3);
        }
    }

    void theSeventhBlockIsFollowedByTheCreditLineAndTheEighthOpensWithARule()
    {
        const FlowDocument document = layOutTabulation(
            QStringLiteral("x"), TabulationLayout::Columns, {}, columns(7 * 45 + 1), 0);
        const QList<FlowLine> listing = listingOf(document, 4);
        // Seven blocks of 9 lines after the first rule, the credit line, then
        // the eighth block with its own first rule.
        QCOMPARE(listing.size(), 1 + 7 * 9 + 1 + 1 + 9);
        qsizetype credit = 1 + 7 * 9;
        QCOMPARE(listing[credit - 1].text, longRule());
        QCOMPARE(listing[credit - 1].points, 7.0);
        QCOMPARE(listing[credit], at(8, creditLine()));
        // The rule that opens a block stays on the page of its lines.
        QCOMPARE(listing[credit + 1], fitted(FlowLine { longRule(), 8, false, true }));
        QCOMPARE(listing.last(), fitted(at(7, longRule())));
        int credits = 0;
        for (const FlowLine& line : listing)
            credits += line.text == creditLine();
        QCOMPARE(credits, 1);
    }

    void theLastBlockHasTheCreditLineOnlyWhenItIsASeventh_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("credits");
        QTest::addColumn<bool>("endsWithCredit");
        QTest::newRow("one block") << 1 << 0 << false;
        QTest::newRow("six full blocks") << 6 * 45 << 0 << false;
        QTest::newRow("seven full blocks") << 7 * 45 << 1 << true;
        QTest::newRow("fourteen blocks, last part full") << 13 * 45 + 2 << 2 << true;
        QTest::newRow("fifteen blocks") << 14 * 45 + 1 << 2 << false;
    }

    void theLastBlockHasTheCreditLineOnlyWhenItIsASeventh()
    {
        QFETCH(int, columns);
        QFETCH(int, credits);
        QFETCH(bool, endsWithCredit);
        const FlowDocument document = layOutTabulation(
            QStringLiteral("x"), TabulationLayout::Columns, {}, ::columns(columns), 0);
        const QList<FlowLine> listing = listingOf(document, 4);
        int found = 0;
        int rules8 = 0;
        for (const FlowLine& line : listing) {
            found += line.text == creditLine();
            rules8 += line.text == longRule() && line.points == 8;
        }
        QCOMPARE(found, credits);
        QCOMPARE(rules8, (columns + 45 * 7 - 1) / (45 * 7));
        QCOMPARE(listing.last().text == creditLine(), endsWithCredit);
        QCOMPARE(document.fontAfter.points, endsWithCredit ? 8.0 : 7.0);
    }

    void aBlockStaysTogether()
    {
        const FlowDocument document
            = layOutTabulation(QStringLiteral("x"), TabulationLayout::Columns, {}, columns(50), 0);
        const QList<FlowLine> listing = listingOf(document, 4);
        QList<bool> kept;
        for (const FlowLine& line : listing)
            kept << line.keepWithNext;
        // Rule and 8 lines with the closing rule; 8 lines with the closing rule.
        QList<bool> expected = QList<bool>(9, true) << false;
        expected << QList<bool>(8, true) << false;
        QCOMPARE(kept, expected);
        for (qsizetype i = 0; i < 4; ++i)
            QVERIFY(!document.lines[i].keepWithNext);
    }

    void everyColumnIsListedPastTenThousand()
    {
        const qsizetype n = 10001;
        const FlowDocument document
            = layOutTabulation(QStringLiteral("x"), TabulationLayout::Columns, {}, columns(n), 0);
        const qsizetype blocks = 223;
        QCOMPARE(document.lines.size(), 4 + blocks * 9 + 32 + 31);
        // The last block holds columns 9991 to 10001.
        const QList<FlowLine> lines = document.lines;
        const QString lastOfBox8 = lines[lines.size() - 2].text;
        QCOMPARE(cellEnds(lastOfBox8).size(), 11);
        QVERIFY(lastOfBox8.trimmed().endsWith(QString::number(numbersOfColumn(n - 1)[7])));
        QVERIFY(lines[lines.size() - 9].text.trimmed().endsWith(
            QString::number(numbersOfColumn(n - 1)[0])));
    }

    void anEmptyColumnFilePrintsNoBlock_data()
    {
        QTest::addColumn<TabulationLayout>("layout");
        QTest::addColumn<int>("lines");
        QTest::addColumn<double>("sizeAfter");
        QTest::newRow("Prospetto") << TabulationLayout::Prospectus << 26 << 8.0;
        QTest::newRow("Prospetto e colonne") << TabulationLayout::ProspectusAndColumns << 26 << 8.0;
        QTest::newRow("Colonne: the short header only") << TabulationLayout::Columns << 4 << 8.0;
    }

    void anEmptyColumnFilePrintsNoBlock()
    {
        QFETCH(TabulationLayout, layout);
        QFETCH(int, lines);
        QFETCH(double, sizeAfter);
        const FlowDocument document = layOutTabulation(QStringLiteral("vuoto"), layout,
            boxesOf({ { "1" }, { "2" }, { "3" }, { "4" }, { "5" }, { "6" }, { "7" }, { "8" } }), {},
            800);
        QCOMPARE(document.lines.size(), lines);
        for (const FlowLine& line : document.lines)
            QVERIFY(line.text != longRule());
        if (layout != TabulationLayout::Columns)
            QCOMPARE(
                document.lines[23].text, QStringLiteral("Colonne in gioco 0  prezzo sistema  0 "));
        // The listing sets its size even when it has no block to print.
        QCOMPARE(document.fontAfter.points, sizeAfter);
    }

    void filesOfASavedSystem_data()
    {
        QTest::addColumn<TabulationLayout>("layout");
        QTest::addColumn<QByteArray>("description"); // empty: no file
        QTest::addColumn<QByteArray>("columnFile");
        QTest::addColumn<QString>("reason"); // empty: printed
        const QByteArray good
            = formatDescription(boxesOf({ { "3", "7" }, { "12" }, { "15" }, { "19" }, { "24" },
                                    { "28" }, { "31" }, { "32" } }),
                SystemType::Integrale);
        const QByteArray two = canonicalRecord({ 3, 12, 15, 19, 24, 28, 31, 32 })
            + canonicalRecord({ 7, 12, 15, 19, 24, 28, 31, 32 });
        QByteArray noEnd = good;
        noEnd.replace("[Fine]\r\n", "");
        QTest::newRow("both files") << TabulationLayout::ProspectusAndColumns << good << two << "";
        QTest::newRow("Colonne without a description")
            << TabulationLayout::Columns << QByteArray() << two << "";
        QTest::newRow("Colonne beside a broken description")
            << TabulationLayout::Columns << QByteArray("rotto\r\n") << two << "";
        QTest::newRow("Prospetto without a description")
            << TabulationLayout::Prospectus << QByteArray() << two << "il file non esiste";
        QTest::newRow("description without [Fine]")
            << TabulationLayout::Prospectus << noEnd << two << "manca [Fine]";
        QTest::newRow("a record that is no column")
            << TabulationLayout::Columns << good << two + QByteArray("xx 2 3 4 5 6 7 8")
            << "la colonna n° 3";
        QTest::newRow("a partial record is not read")
            << TabulationLayout::Columns << good << two + QByteArray(" 1 2 3") << "";
    }

    void filesOfASavedSystem()
    {
        QFETCH(TabulationLayout, layout);
        QFETCH(QByteArray, description);
        QFETCH(QByteArray, columnFile);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString stg = dir.filePath(QStringLiteral("campionato.2000.stg"));
        const QString stt = dir.filePath(QStringLiteral("campionato.2000.stt"));
        QVERIFY(writeFile(stg, columnFile));
        if (!description.isEmpty())
            QVERIFY(writeFile(stt, description));

        const auto document = tabulationDocument(stg, layout, QStringLiteral("800"));
        if (!reason.isEmpty()) {
            QVERIFY(!document);
            QVERIFY2(document.error().reason.contains(reason), qPrintable(document.error().reason));
            return;
        }
        QVERIFY2(document, qPrintable(document ? QString() : document.error().reason));
        QCOMPARE(document->name, QStringLiteral("Tabulato campionato.2000"));
        QCOMPARE(document->lines[3].text, QStringLiteral("Nome sistema campionato.2000"));
        if (layout != TabulationLayout::Columns) {
            QCOMPARE(document->lines[7].text, boxLine(1, { "3", "7", "", "", "" }));
            QCOMPARE(document->lines[23].text,
                QStringLiteral("Colonne in gioco 2  prezzo sistema  1600 "));
        }
        const qsizetype header = layout == TabulationLayout::Columns ? 4 : 26;
        if (layout != TabulationLayout::Prospectus)
            QVERIFY(
                document->lines[header + 1].text.startsWith(QStringLiteral("        3    7   ")));
    }

    void theProspectusListsTheConditionsAfterTheBoxes()
    {
        QTemporaryDir dir;
        const Conditions conditions = { *parseConditionLine(u"numeri 12 9 5 1 da 1 a 2"),
            *parseConditionLine(u"somma da 100 a 160") };
        QVERIFY(writeFile(dir.filePath(QStringLiteral("c.stt")),
            formatDescription(boxesOf({ { "3", "7" }, { "12" }, { "15" }, { "19" }, { "24" },
                                  { "28" }, { "31" }, { "32" } }),
                SystemType::SeiPunti, conditions)));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("c.stg")),
            canonicalRecord({ 3, 12, 15, 19, 24, 28, 31, 32 })));
        const auto document = tabulationDocument(
            dir.filePath(QStringLiteral("c.stg")), TabulationLayout::Prospectus, {});
        QVERIFY(document);
        QCOMPARE(document->lines[21].text.left(12), QStringLiteral("Casella 8 : "));
        QStringList after;
        for (qsizetype i = 22; i < 28; ++i)
            after << document->lines[i].text;
        QCOMPARE(after,
            QStringList({ QString(), QStringLiteral("   Condizioni"),
                QStringLiteral("   Numeri 1 5 9 12: da 1 a 2"),
                QStringLiteral("   Somma: da 100 a 160"), QString(),
                QStringLiteral("Colonne in gioco 1  prezzo sistema  0 ") }));
    }

    void aMissingColumnFileIsNamed()
    {
        QTemporaryDir dir;
        const QString stg = dir.filePath(QStringLiteral("manca.stg"));
        const auto document = tabulationDocument(stg, TabulationLayout::Columns, {});
        QVERIFY(!document);
        QCOMPARE(document.error().path, stg);
    }
};

QTEST_GUILESS_MAIN(TestTabulationDocument)
#include "test_tabulation_document.moc"
