#include "core/data_folder.h"
#include "engine/column_file.h"
#include "print/slip_document.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace ottavario;
using namespace ottavario::print;

namespace {

const QString kFolder = QStringLiteral("/home/gioco/ottavario/sistemi");

QString systemPath(const QString& name) { return kFolder + u'/' + name + QStringLiteral(".stg"); }

// Column r (from 1) holds r, r+1, ..., r+7, wrapped into 1 to 32: every record
// of a slip is told apart by its marks.
QByteArray columnFile(int columns)
{
    QByteArray bytes;
    for (int r = 1; r <= columns; ++r) {
        ColumnNumbers numbers {};
        for (int k = 0; k < kColumnSize; ++k)
            numbers[k] = (r - 1 + k) % 32 + 1;
        std::sort(numbers.begin(), numbers.end());
        appendCanonicalRecord(bytes, numbers);
    }
    return bytes;
}

QList<int> numbersOfColumn(int r)
{
    QList<int> numbers;
    for (int k = 0; k < kColumnSize; ++k)
        numbers << (r - 1 + k) % 32 + 1;
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

SlipRequest request(const QString& name, int first, int last)
{
    SlipRequest r;
    r.systemPath = systemPath(name);
    r.firstSlip = QString::number(first);
    r.lastSlip = QString::number(last);
    r.columnPrice = QStringLiteral("800");
    return r;
}

// Reads the marks of a slip page back into the numbers of its 6 bet columns.
std::array<QList<int>, kBetColumns> numbersOnPage(const PrintPage& page, const Calibration& c)
{
    std::array<QList<int>, kBetColumns> numbers;
    for (const PrintItem& mark : page.itemsOf(ItemKind::Mark)) {
        const auto line = std::find(kLinePositions.begin(), kLinePositions.end(),
                              mark.position.x() - c.horizontal)
            - kLinePositions.begin();
        const auto row
            = std::find(kRowPositions.begin(), kRowPositions.end(), mark.position.y() - c.vertical)
            - kRowPositions.begin();
        if (line >= kSlipLines || row >= kSlipRows) {
            qWarning() << "mark off the grid at" << mark.position;
            continue;
        }
        numbers[line / 2] << int(row) + 1 + (line % 2 ? kSlipRows : 0);
    }
    for (auto& list : numbers)
        std::sort(list.begin(), list.end());
    return numbers;
}

QStringList textsOf(const PrintPage& page)
{
    QStringList texts;
    for (const PrintItem& item : page.itemsOf(ItemKind::Text))
        texts << item.text;
    return texts;
}

}

class TestSlipDocument : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void testPrintStartsAtTheOffsets()
    {
        const PrintDocument document = testPrintDocument({ 120, 45 }, true);
        QCOMPARE(document.pages.size(), 1);
        const PrintItem& first = document.pages[0].items.first();
        QCOMPARE(first.kind, ItemKind::Mark);
        QCOMPARE(first.position, QPoint(45, 120));
        QCOMPARE(first.text, QStringLiteral(")"));
        QCOMPARE(first.font, (PrintFont { QStringLiteral("lotuswp icon"), 9, false, false }));
    }

    void testPrintCoversOneBetColumnOrTheWholeGrid_data()
    {
        QTest::addColumn<bool>("firstColumnOnly");
        QTest::addColumn<int>("marks");
        QTest::addColumn<QList<int>>("gaps");
        QTest::newRow("only one column") << true << 32 << QList<int> { 260 };
        QTest::newRow("whole grid")
            << false << 192 << QList<int> { 260, 260, 260, 260, 260, 280, 260, 260, 260, 260, 260 };
    }

    void testPrintCoversOneBetColumnOrTheWholeGrid()
    {
        QFETCH(bool, firstColumnOnly);
        QFETCH(int, marks);
        QFETCH(QList<int>, gaps);
        const PrintDocument document = testPrintDocument({}, firstColumnOnly);
        QCOMPARE(document.pages.size(), 1);
        const QList<PrintItem> items = document.pages[0].items;
        QCOMPARE(items.size(), marks);
        QCOMPARE(document.pages[0].itemsOf(ItemKind::Mark).size(), marks);
        QList<int> xs;
        for (const PrintItem& item : items)
            if (!xs.contains(item.position.x()))
                xs << item.position.x();
        std::sort(xs.begin(), xs.end());
        QList<int> actualGaps;
        for (qsizetype i = 1; i < xs.size(); ++i)
            actualGaps << xs[i] - xs[i - 1];
        QCOMPARE(actualGaps, gaps);
        // Row by row from the top, each row from the left.
        QVERIFY(std::is_sorted(items.begin(), items.end(), [](const auto& a, const auto& b) {
            return std::pair(a.position.y(), a.position.x())
                < std::pair(b.position.y(), b.position.x());
        }));
    }

    void slipCountRoundsUp_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<qint64>("slips");
        QTest::newRow("empty") << qint64(0) << qint64(0);
        QTest::newRow("partial record only") << qint64(15) << qint64(0);
        QTest::newRow("one column") << qint64(16) << qint64(1);
        QTest::newRow("six columns") << qint64(96) << qint64(1);
        QTest::newRow("seven columns") << qint64(112) << qint64(2);
        QTest::newRow("576 bytes") << qint64(576) << qint64(6);
        QTest::newRow("592 bytes") << qint64(592) << qint64(7);
        QTest::newRow("592 and a partial record") << qint64(600) << qint64(7);
    }

    void slipCountRoundsUp()
    {
        QFETCH(qint64, bytes);
        QFETCH(qint64, slips);
        QCOMPARE(slipCountOf(columnCount(bytes)), slips);
    }

    void aColumnMarksItsCells_data()
    {
        QTest::addColumn<int>("betColumn");
        QTest::addColumn<int>("lowX");
        QTest::addColumn<int>("highX");
        QTest::newRow("bet column 1") << 1 << 0 << 260;
        QTest::newRow("bet column 4") << 4 << 1580 << 1840;
        QTest::newRow("bet column 6") << 6 << 2620 << 2880;
    }

    void aColumnMarksItsCells()
    {
        QFETCH(int, betColumn);
        QFETCH(int, lowX);
        QFETCH(int, highX);
        QByteArray bytes = columnFile(6);
        bytes.replace((betColumn - 1) * 16, 16, canonicalRecord({ 3, 7, 12, 15, 18, 21, 25, 30 }));
        SlipRequest r = request(QStringLiteral("prova"), 1, 1);
        r.nameLine = false;
        r.informationSlip = false;
        const auto document = layOutSlips(r, bytes, kFolder);
        QVERIFY(document);
        QList<QPoint> marks;
        for (const PrintItem& item : document->pages[0].items)
            if (item.position.x() == lowX || item.position.x() == highX)
                marks << item.position;
        const QList<QPoint> expected = { { highX, 240 }, { lowX, 480 }, { highX, 950 },
            { lowX, 1415 }, { highX, 1885 }, { lowX, 2590 }, { highX, 3060 }, { lowX, 3295 } };
        QCOMPARE(marks, expected);
    }

    void calibrationMovesMarksAndNameButNotTheInformationSlip()
    {
        SlipRequest r = request(QStringLiteral("prova"), 1, 1);
        r.calibration = { 120, 45 };
        const QByteArray bytes = canonicalRecord({ 1, 2, 3, 4, 17, 18, 19, 20 });
        const auto document = layOutSlips(r, bytes, kFolder);
        QVERIFY(document);
        QCOMPARE(document->pages.size(), 2);
        const PrintPage& slip = document->pages[0];
        QCOMPARE(slip.items.first().position, QPoint(45, 120));
        QCOMPARE(
            numbersOnPage(slip, r.calibration)[0], (QList<int> { 1, 2, 3, 4, 17, 18, 19, 20 }));
        const QList<PrintItem> texts = slip.itemsOf(ItemKind::Text);
        QCOMPARE(texts.size(), 1);
        QCOMPARE(texts[0].position, QPoint(45, 3925));
        QCOMPARE(texts[0].font, (PrintFont { QStringLiteral("MS Sans Serif"), 8, false, false }));
        QList<QPoint> info;
        for (const PrintItem& item : document->pages[1].items)
            info << item.position;
        QCOMPARE(info, (QList<QPoint> { { 2000, 1500 }, { 2000, 2500 }, { 2000, 3500 } }));
    }

    void aMiddleRangeUsesItsRecordsAndNoInformationSlip()
    {
        const auto document
            = layOutSlips(request(QStringLiteral("campionato2000"), 2, 3), columnFile(36), kFolder);
        QVERIFY(document);
        QCOMPARE(document->pages.size(), 2);
        for (int page = 0; page < 2; ++page) {
            const int slip = page + 2;
            const auto numbers = numbersOnPage(document->pages[page], {});
            for (int c = 1; c <= kBetColumns; ++c)
                QCOMPARE(numbers[c - 1], numbersOfColumn(6 * (slip - 1) + c));
            QCOMPARE(textsOf(document->pages[page]),
                QStringList { QStringLiteral("campionato2000 Scheda n° %1").arg(slip) });
        }
    }

    void theWholeSystemEndsWithTheInformationSlip()
    {
        const auto document
            = layOutSlips(request(QStringLiteral("campionato2000"), 1, 6), columnFile(36), kFolder);
        QVERIFY(document);
        QCOMPARE(document->pages.size(), 7);
        QCOMPARE(textsOf(document->pages[3]),
            QStringList { QStringLiteral("campionato2000 Scheda n° 4") });
        const PrintPage& info = document->pages[6];
        QCOMPARE(textsOf(info),
            (QStringList { QStringLiteral("Sistema   campionato2000"),
                QStringLiteral("Colonne in gioco  36"), QStringLiteral("Prezzo 28800") }));
        QVERIFY(info.itemsOf(ItemKind::Mark).isEmpty());
        for (const PrintItem& item : info.items)
            QCOMPARE(item.font.points, 26.0);
        QCOMPARE(document->fontAfter.points, 8.0);
    }

    void optionsDecideTheTexts_data()
    {
        QTest::addColumn<bool>("nameLine");
        QTest::addColumn<bool>("informationSlip");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("textsOnSlips");
        QTest::newRow("both") << true << true << 3 << 2;
        QTest::newRow("name only") << true << false << 2 << 2;
        // The information slip does not hang on the slip numbers being printed.
        QTest::newRow("information only") << false << true << 3 << 0;
        QTest::newRow("neither") << false << false << 2 << 0;
    }

    void optionsDecideTheTexts()
    {
        QFETCH(bool, nameLine);
        QFETCH(bool, informationSlip);
        QFETCH(int, pages);
        QFETCH(int, textsOnSlips);
        SlipRequest r = request(QStringLiteral("prova"), 1, 2);
        r.nameLine = nameLine;
        r.informationSlip = informationSlip;
        const auto document = layOutSlips(r, columnFile(12), kFolder);
        QVERIFY(document);
        QCOMPARE(document->pages.size(), pages);
        QCOMPARE(document->pages[0].itemsOf(ItemKind::Text).size()
                + document->pages[1].itemsOf(ItemKind::Text).size(),
            textsOnSlips);
        QCOMPARE(document->fontAfter.points, 8.0);
    }

    void aOneColumnSystemFillsOneBetColumn()
    {
        const auto document
            = layOutSlips(request(QStringLiteral("uno"), 1, 1), columnFile(1), kFolder);
        QVERIFY(document);
        QCOMPARE(document->pages.size(), 2);
        const auto numbers = numbersOnPage(document->pages[0], {});
        QCOMPARE(numbers[0], numbersOfColumn(1));
        for (int c = 1; c < kBetColumns; ++c)
            QVERIFY(numbers[c].isEmpty());
        QCOMPARE(textsOf(document->pages[0]), QStringList { QStringLiteral("uno Scheda n° 1") });
        QCOMPARE(textsOf(document->pages[1])[1], QStringLiteral("Colonne in gioco  1"));
    }

    void theLastSlipOfAnUnevenSystemHoldsWhatIsLeft()
    {
        const auto document
            = layOutSlips(request(QStringLiteral("prova"), 7, 7), columnFile(37), kFolder);
        QVERIFY(document);
        const auto numbers = numbersOnPage(document->pages[0], {});
        QCOMPARE(numbers[0], numbersOfColumn(37));
        for (int c = 1; c < kBetColumns; ++c)
            QVERIFY(numbers[c].isEmpty());
        QCOMPARE(textsOf(document->pages[1])[1], QStringLiteral("Colonne in gioco  37"));
    }

    void aFirstSlipAfterTheLastIsRefused()
    {
        const auto document
            = layOutSlips(request(QStringLiteral("prova"), 5, 3), columnFile(36), kFolder);
        QVERIFY(!document);
        QCOMPARE(document.error(),
            (PrintRefusal { QStringLiteral("Stampa sistemi Ottavario*"),
                QStringLiteral("La prima scheda (5) viene dopo l'ultima (3): scegliere le schede "
                               "da stampare, da 1 a 6.") }));
    }

    void rangesOutsideTheSystemAreRefused_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("message");
        const QString six = QStringLiteral("Scegliere le schede da stampare, da 1 a 6.");
        QTest::newRow("lists emptied by a failed open") << ""
                                                        << "" << 36 << six;
        QTest::newRow("zero as the window opens") << "0"
                                                  << "0" << 36 << six;
        QTest::newRow("past the last slip") << "1"
                                            << "7" << 36 << six;
        QTest::newRow("both past") << "7"
                                   << "7" << 36 << six;
        QTest::newRow("negative") << "-1"
                                  << "2" << 36 << six;
        QTest::newRow("fraction") << "2.5"
                                  << "3" << 36 << six;
        QTest::newRow("words") << "prima"
                               << "2" << 36 << six;
        QTest::newRow("empty system") << "1"
                                      << "0" << 0 << "Il sistema non ha colonne da stampare.";
    }

    void rangesOutsideTheSystemAreRefused()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(int, columns);
        QFETCH(QString, message);
        SlipRequest r = request(QStringLiteral("prova"), 1, 1);
        r.firstSlip = first;
        r.lastSlip = last;
        const auto document = layOutSlips(r, columnFile(columns), kFolder);
        QVERIFY(!document);
        QCOMPARE(document.error(),
            (PrintRefusal { QStringLiteral("Stampa sistemi Ottavario*"), message }));
    }

    void rangesReadByTheNumberRule()
    {
        SlipRequest r = request(QStringLiteral("prova"), 1, 1);
        r.firstSlip = QStringLiteral("  2");
        r.lastSlip = QStringLiteral("3a");
        r.informationSlip = false;
        const auto document = layOutSlips(r, columnFile(36), kFolder);
        QVERIFY(document);
        QCOMPARE(document->pages.size(), 2);
        QCOMPARE(textsOf(document->pages[1]), QStringList { QStringLiteral("prova Scheda n° 3") });
    }

    void noSystemNoPrint()
    {
        SlipRequest r = request(QStringLiteral("prova"), 1, 1);
        r.systemPath.clear();
        const PrintRefusal expected { QStringLiteral("Spoglio sistema Ottavario*"),
            QStringLiteral("Aprire un sistema.") };
        QCOMPARE(layOutSlips(r, columnFile(6), kFolder).error(), expected);
        QCOMPARE(slipDocument(r, kFolder).error(), expected);
    }

    void numbersOffTheSlipRefuseTheRun_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("said");
        QTest::newRow("33") << QByteArray(" 1 2 3 4 5 6 733") << 1 << "ha il numero \"33\"";
        QTest::newRow("zero") << QByteArray(" 0 2 3 4 5 6 7 8") << 1 << "ha il numero \"0\"";
        QTest::newRow("letters") << QByteArray(" 1 2 3ab 5 6 7 8") << 1 << "ha il numero \"ab\"";
        QTest::newRow("negative") << QByteArray(" 1 2 3 4-1 6 7 8") << 1 << "ha il numero \"-1\"";
        QTest::newRow("blank") << QByteArray(" 1 2 3 4 5 6   8") << 1 << "ha un numero mancante";
        QTest::newRow("slip 2 alone")
            << QByteArray(" 1 2 3 4 5 6 740") << 2 << "ha il numero \"40\"";
    }

    // Column 9, on slip 2, is damaged: a run that prints it is refused, naming
    // it; a run of slip 1 alone is printed.
    void numbersOffTheSlipRefuseTheRun()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, first);
        QFETCH(QString, said);
        QCOMPARE(record.size(), 16);
        QByteArray bytes = columnFile(12);
        bytes.replace(8 * 16, 16, record);
        const auto refused
            = layOutSlips(request(QStringLiteral("prova"), first, 2), bytes, kFolder);
        QVERIFY(!refused);
        QCOMPARE(refused.error().title, QStringLiteral("Stampa sistemi Ottavario*"));
        QCOMPARE(refused.error().text,
            QStringLiteral("La colonna 9 del sistema %1, che non è sulla scheda (numeri da 1 a "
                           "32): nessuna scheda stampata.")
                .arg(said));
        const auto firstSlip = layOutSlips(request(QStringLiteral("prova"), 1, 1), bytes, kFolder);
        QVERIFY(firstSlip);
        QCOMPARE(firstSlip->pages.size(), 1);
    }

    void theSystemNameIsCutByPosition_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("in the folder")
            << systemPath(QStringLiteral("campionato2000")) << "campionato2000";
        QTest::newRow("cut to 15")
            << systemPath(QStringLiteral("abcdefghijklmnopqrst")) << "abcdefghijklmno";
        QTest::newRow("native separators")
            << QStringLiteral("\\home\\gioco\\ottavario\\sistemi\\prova.stg") << "prova";
        QTest::newRow("another folder, cut by position")
            << QStringLiteral("/home/gioco/ottavario/archivio/vecchi/prova.stg") << "/vecchi/prova";
        QTest::newRow("too short for the folder") << QStringLiteral("/tmp/prova.stg") << "prova";
    }

    void theSystemNameIsCutByPosition()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(systemNameOf(path, kFolder), name);
    }

    void pricesAreWrittenShortest_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 28800.0 << "28800";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative") << -800.0 << "-800";
        QTest::newRow("fraction") << 1.5 << "1,5";
        QTest::newRow("binary noise") << 0.41 * 3 << "1,23";
        QTest::newRow("no grouping") << 1234567.25 << "1234567,25";
        QTest::newRow("large") << 1e15 << "1000000000000000";
    }

    void pricesAreWrittenShortest()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(plainNumber(value), text);
    }

    void theInformationSlipPricesAFractionalColumnPrice()
    {
        SlipRequest r = request(QStringLiteral("prova"), 1, 1);
        r.columnPrice = QStringLiteral("0.5");
        const auto document = layOutSlips(r, columnFile(3), kFolder);
        QVERIFY(document);
        QCOMPARE(textsOf(document->pages[1])[2], QStringLiteral("Prezzo 1,5"));
    }

    void slipsAreReadFromTheFileAsItIsNow()
    {
        QTemporaryDir home;
        const DataFolder folder(home.path());
        const QString path = folder.systems() + QStringLiteral("/prova.stg");
        QVERIFY(QDir().mkpath(folder.systems()));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(columnFile(37));
        }
        QCOMPARE(columnsInFile(path).value(), 37);
        SlipRequest r = request(QStringLiteral("x"), 7, 7);
        r.systemPath = path;
        const auto document = slipDocument(r, folder.systems());
        QVERIFY(document);
        QCOMPARE(document->name, QStringLiteral("prova"));
        QCOMPARE(textsOf(document->pages[0]), QStringList { QStringLiteral("prova Scheda n° 7") });

        QVERIFY(QFile::remove(path));
        QVERIFY(!columnsInFile(path));
        const auto missing = slipDocument(r, folder.systems());
        QVERIFY(!missing);
        QVERIFY(missing.error().text.startsWith(QStringLiteral("Impossibile leggere il file ")));
        QVERIFY(missing.error().text.contains(path));
    }
};

QTEST_GUILESS_MAIN(TestSlipDocument)
#include "test_slip_document.moc"
