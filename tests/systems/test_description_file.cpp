#include "engine/engine_grids.h"
#include "systems/description_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ottavario::Grid)

namespace {

// Box k filled from entry 0 with the given texts.
Grid gridOf(const QList<QStringList>& boxes)
{
    Grid grid;
    for (int k = 0; k < boxes.size() && k < kBoxes; ++k)
        for (int j = 0; j < boxes[k].size() && j < kEntries; ++j)
            grid.entries[k][j] = boxes[k][j];
    return grid;
}

QByteArray lines(const QList<QByteArray>& values)
{
    QByteArray bytes;
    for (const QByteArray& v : values)
        bytes += v + "\r\n";
    return bytes;
}

// A good description of 8 single numbers, after the numbers given.
QByteArray tailOfSingles(const QByteArray& code = " 8 ")
{
    return lines({ "[Fine]", code, " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 " });
}

QByteArray singleNumbers() { return lines({ "3", "7", "12", "15", "19", "24", "28", "31" }); }

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(OTTAVARIO_TEST_DATA "/systems/") + QLatin1StringView(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

}

class TestDescriptionFile : public QObject {
    Q_OBJECT

private slots:
    void printForm_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("zero") << 0 << QByteArray(" 0 ");
        QTest::newRow("count") << 2 << QByteArray(" 2 ");
        QTest::newRow("code") << 8 << QByteArray(" 8 ");
        QTest::newRow("two digits") << 12 << QByteArray(" 12 ");
        QTest::newRow("negative") << -3 << QByteArray("-3 ");
    }
    void printForm()
    {
        QFETCH(int, value);
        QFETCH(QByteArray, expected);
        QCOMPARE(ottavario::printForm(value), expected);
    }

    void eightSingles_matchHandMadeFile()
    {
        const QByteArray expected = fixture("otto_singoli.stt");
        QVERIFY(!expected.isEmpty());
        QCOMPARE(formatDescription(singles(), SystemType::Integrale), expected);
        QCOMPARE(expected.count("\r\n"), qsizetype(18));
    }

    void handMadeFile_reads()
    {
        const auto read
            = readDescription(QStringLiteral(OTTAVARIO_TEST_DATA "/systems/otto_singoli.stt"));
        QVERIFY2(read, qPrintable(read ? QString() : read.error().reason));
        QCOMPARE(read->type, SystemType::Integrale);
        QCOMPARE(read->grid.entries, singles().entries);
        QCOMPARE(read->counts, singles().counts());
    }

    void roundTrip_data()
    {
        QTest::addColumn<Grid>("grid");
        QTest::addColumn<int>("type");
        QTest::newRow("singles, Integrale") << singles() << int(SystemType::Integrale);
        QTest::newRow("07 stays 07") << gridOf({ { u"07"_s, u"1"_s }, { u"2"_s }, { u"3"_s },
            { u"4"_s }, { u"5"_s }, { u"6"_s }, { u"8"_s }, { u"09"_s } })
                                     << int(SystemType::SettePunti);
        QTest::newRow("uneven boxes, Sei punti") << gridOf({ { u"1"_s, u"2"_s, u"3"_s }, { u"4"_s },
            { u"5"_s, u"6"_s }, { u"7"_s }, { u"8"_s, u"9"_s, u"10"_s, u"11"_s, u"12"_s },
            { u"13"_s }, { u"14"_s }, { u"15"_s, u"16"_s } })
                                                 << int(SystemType::SeiPunti);
        QTest::newRow("40 numbers, Cinque punti") << fullGrid() << int(SystemType::CinquePunti);
        QTest::newRow("an empty box")
            << gridOf({ { u"1"_s }, {}, { u"3"_s } }) << int(SystemType::SeiPunti);
    }
    void roundTrip()
    {
        QFETCH(Grid, grid);
        QFETCH(int, type);
        const auto read = parseDescription(formatDescription(grid, SystemType(type)));
        QVERIFY2(read, qPrintable(read ? QString() : read.error()));
        QCOMPARE(int(read->type), type);
        QCOMPARE(read->counts, grid.counts());
        QCOMPARE(read->grid.entries, grid.entries);
    }

    void fortyNumbers_writtenWhole()
    {
        const QByteArray bytes = formatDescription(fullGrid(), SystemType::Integrale);
        QCOMPARE(bytes.count("\r\n"), qsizetype(kMaxDescriptionValues));
        QVERIFY(bytes.startsWith("1\r\n2\r\n"));
        QVERIFY(bytes.contains("\r\n8\r\n[Fine]\r\n 8 \r\n 5 \r\n"));
    }

    void gapInBox_isClosed()
    {
        Grid grid = singles();
        grid.entries[0][1] = QString();
        grid.entries[0][2] = QStringLiteral("9");
        const QByteArray bytes = formatDescription(grid, SystemType::SeiPunti);
        QVERIFY(bytes.startsWith("3\r\n9\r\n7\r\n"));
        const auto read = parseDescription(bytes);
        QVERIFY(read);
        QCOMPARE(read->grid.entries[0][0], QStringLiteral("3"));
        QCOMPARE(read->grid.entries[0][1], QStringLiteral("9"));
        QCOMPARE(read->grid.entries[0][2], QString());
        QCOMPARE(read->counts[0], 2);
    }

    void lineBreakInEntry_doesNotShiftValues()
    {
        Grid grid = singles();
        grid.entries[2][0] = QStringLiteral("1\n2");
        const auto read = parseDescription(formatDescription(grid, SystemType::Integrale));
        QVERIFY(read);
        QCOMPARE(read->grid.entries[2][0], QStringLiteral("12"));
    }

    // Files the program accepts beyond its own output.
    void readsAcceptedVariants_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("firstNumber");

        QTest::newRow("code 4 then 6") << singleNumbers() + lines({ "[Fine]", " 4 ", " 6 " })
                + lines({ " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 " })
                                       << int(SystemType::SeiPunti) << u"3"_s;
        QTest::newRow("text before the code") << singleNumbers() + lines({ "[Fine]", "x", "", "7" })
                + lines({ "1", "1", "1", "1", "1", "1", "1", "1" })
                                              << int(SystemType::SettePunti) << u"3"_s;
        QTest::newRow("blanks around values")
            << QByteArray("  3 \r\n\t7\r\n12  \r\n15\r\n19\r\n24\r\n28\r\n31\r\n  [Fine]\t\r\n"
                          "5\r\n1\r\n 1\r\n1 \r\n\t1\t\r\n1\r\n1\r\n1\r\n1\r\n")
            << int(SystemType::CinquePunti) << u"3"_s;
        QTest::newRow("LF line ends")
            << QByteArray(singleNumbers() + tailOfSingles()).replace("\r\n", "\n")
            << int(SystemType::Integrale) << u"3"_s;
        QTest::newRow("CR line ends")
            << QByteArray(singleNumbers() + tailOfSingles()).replace("\r\n", "\r")
            << int(SystemType::Integrale) << u"3"_s;
        QTest::newRow("no last line end") << (singleNumbers() + tailOfSingles()).chopped(2)
                                          << int(SystemType::Integrale) << u"3"_s;
        QTest::newRow("blank lines at the end")
            << singleNumbers() + tailOfSingles() + "\r\n  \r\n\r\n"
            << int(SystemType::Integrale) << u"3"_s;
        QTest::newRow("UTF-8 mark") << "\xEF\xBB\xBF" + singleNumbers() + tailOfSingles()
                                    << int(SystemType::Integrale) << u"3"_s;
        QTest::newRow("code 8.0") << singleNumbers() + tailOfSingles("8.0")
                                  << int(SystemType::Integrale) << u"3"_s;
        QTest::newRow("Windows-1252 text") << "3\xE8\r\n" + singleNumbers().mid(3) + tailOfSingles()
                                           << int(SystemType::Integrale) << u"3\u00E8"_s;
        QTest::newRow("UTF-8 text") << "3\xC3\xA8\r\n" + singleNumbers().mid(3) + tailOfSingles()
                                    << int(SystemType::Integrale) << u"3\u00E8"_s;
        QTest::newRow("07 read as typed") << "07\r\n" + singleNumbers().mid(3) + tailOfSingles()
                                          << int(SystemType::Integrale) << u"07"_s;
    }
    void readsAcceptedVariants()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, type);
        QFETCH(QString, firstNumber);
        const auto read = parseDescription(bytes);
        QVERIFY2(read, qPrintable(read ? QString() : read.error()));
        QCOMPARE(int(read->type), type);
        QCOMPARE(read->counts, singles().counts());
        QCOMPARE(read->grid.entries[0][0], firstNumber);
        QCOMPARE(read->grid.entries[7][0], QStringLiteral("31"));
    }

    void conditions_writtenAfterTheCountsAndReadBack()
    {
        const Conditions conditions = { *parseConditionLine(u"numeri 12 1 9 5 da 1 a 2"),
            *parseConditionLine(u"somma da 100 a 160"), *parseConditionLine(u"dispari da 3 a 5"),
            *parseConditionLine(u"consecutivi da 0 a 2") };
        const QByteArray bytes = formatDescription(singles(), SystemType::SeiPunti, conditions);
        QCOMPARE(bytes,
            formatDescription(singles(), SystemType::SeiPunti)
                + "[Condizioni]\r\nnumeri 1 5 9 12 da 1 a 2\r\nsomma da 100 a 160\r\n"
                  "dispari da 3 a 5\r\nconsecutivi da 0 a 2\r\n[Fine condizioni]\r\n");
        const auto read = parseDescription(bytes);
        QVERIFY2(read, qPrintable(read ? QString() : read.error()));
        QCOMPARE(read->conditions, conditions);
        QCOMPARE(read->grid.entries, singles().entries);
        QCOMPARE(read->type, SystemType::SeiPunti);
    }

    // Blocks the program does not write but takes.
    void conditions_acceptedVariants_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("count");
        QByteArray everyNumber = "numeri";
        for (int n = 1; n <= 32; ++n)
            everyNumber += ' ' + QByteArray::number(n);
        everyNumber += " da 8 a 8";
        QTest::newRow("empty block") << lines({ "[Condizioni]", "[Fine condizioni]" }) << 0;
        QTest::newRow("blank lines and blanks") << lines({ "  [Condizioni] ", "",
            "\tsomma  da 100\ta 160 ", "  ", "[Fine condizioni]", "", " " })
                                                << 1;
        QTest::newRow("LF line ends")
            << QByteArray(lines({ "[Condizioni]", "dispari da 3 a 5", "[Fine condizioni]" }))
                   .replace("\r\n", "\n")
            << 1;
        QTest::newRow("twenty groups of every number") << lines(QList<QByteArray> { "[Condizioni]" }
            + QList<QByteArray>(20, everyNumber) + QList<QByteArray> { "[Fine condizioni]" })
                                                       << 20;
    }
    void conditions_acceptedVariants()
    {
        QFETCH(QByteArray, block);
        QFETCH(int, count);
        const auto read = parseDescription(singleNumbers() + tailOfSingles() + block);
        QVERIFY2(read, qPrintable(read ? QString() : read.error()));
        QCOMPARE(int(read->conditions.size()), count);
        QCOMPARE(read->grid.entries, singles().entries);
    }

    void refusesInvalidFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // start of the reason

        const QByteArray counts = lines({ " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 " });
        QByteArray garbage;
        for (int i = 0; i < 4000; ++i)
            garbage += char((i * 151 + 7) % 256);
        QByteArray manyValues;
        for (int i = 0; i < 40; ++i)
            manyValues += "1\r\n";

        QTest::newRow("empty file") << QByteArray() << u"il file è vuoto"_s;
        QTest::newRow("only blank lines") << QByteArray(" \r\n\r\n\t\r\n") << u"il file è vuoto"_s;
        QTest::newRow("no [Fine]") << singleNumbers() + lines({ " 8 " })
                + counts << u"il file non contiene la descrizione di un sistema (manca [Fine])"_s;
        QTest::newRow("[Fine] in other case") << singleNumbers() + lines({ "[fine]", " 8 " })
                + counts << u"il file non contiene la descrizione di un sistema (manca [Fine])"_s;
        QTest::newRow("[Fine] twice") << singleNumbers() + tailOfSingles() + lines({ "[Fine]" })
                                      << u"il file contiene [Fine] più di una volta"_s;
        QTest::newRow("nothing after [Fine]")
            << singleNumbers() + lines({ "[Fine]" }) << u"dopo [Fine] manca il tipo di sistema"_s;
        QTest::newRow("no code 5 to 8") << singleNumbers() + lines({ "[Fine]", " 4 ", " 9 " })
                + counts << u"dopo [Fine] manca il tipo di sistema"_s;
        QTest::newRow("code 6.5") << singleNumbers() + lines({ "[Fine]", "6.5", " 1 ", " 1 " })
                                  << u"dopo [Fine] manca il tipo di sistema"_s;
        QTest::newRow("seven counts")
            << singleNumbers() + lines({ "[Fine]", " 8 " }) + counts.chopped(5)
            << u"mancano dei conteggi delle caselle: ne servono 8, il file ne contiene 7"_s;
        QTest::newRow("no counts") << singleNumbers() + lines({ "[Fine]", " 8 " })
                                   << u"mancano dei conteggi delle caselle"_s;
        QTest::newRow("nine counts")
            << singleNumbers() + tailOfSingles() + lines({ " 1 " })
            << u"dopo gli 8 conteggi delle caselle il file contiene altri valori"_s;
        QTest::newRow("count 6") << lines({ "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11",
            "[Fine]", " 8 ", " 6 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 " })
                                 << u"il conteggio della casella 1 vale \"6\""_s;
        QTest::newRow("count -1") << singleNumbers()
                + lines({ "[Fine]", " 8 ", " 1 ", "-1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 " })
                                  << u"il conteggio della casella 2 vale \"-1\""_s;
        QTest::newRow("count text with %")
            << singleNumbers()
                + lines({ "[Fine]", " 8 ", "%3", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 " })
            << u"il conteggio della casella 1 vale \"%3\", ma deve essere un numero intero da 0 a 5"_s;
        QTest::newRow("empty count") << singleNumbers()
                + lines({ "[Fine]", " 8 ", " 1 ", " 1 ", "", " 1 ", " 1 ", " 1 ", " 1 ", " 1 " })
                                     << u"il conteggio della casella 3 vale \"\""_s;
        QTest::newRow("count 1.5") << singleNumbers()
                + lines({ "[Fine]", " 8 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", " 1 ", "1.5" })
                                   << u"il conteggio della casella 8 vale \"1.5\""_s;
        QTest::newRow("too few numbers")
            << singleNumbers().mid(3) + tailOfSingles()
            << u"prima di [Fine] il file contiene 7 numeri, ma i conteggi delle caselle ne indicano 8"_s;
        QTest::newRow("too many numbers") << "5\r\n" + singleNumbers() + tailOfSingles()
                                          << u"prima di [Fine] il file contiene 9 numeri"_s;
        QTest::newRow("51 values") << manyValues + tailOfSingles() + lines({ "x" })
                                   << u"il file contiene più di 50 valori"_s;
        QTest::newRow("51 values without line ends")
            << manyValues + tailOfSingles() + "x" << u"il file contiene più di 50 valori"_s;
        QTest::newRow("line too long")
            << QByteArray(101, '1') + "\r\n" + tailOfSingles() << u"la riga 1 è troppo lunga"_s;
        QTest::newRow("blanks make a line too long")
            << singleNumbers() + QByteArray(200, ' ') + "[Fine]" << u"la riga 9 è troppo lunga"_s;
        QTest::newRow("binary garbage") << garbage << u"la riga 1 è troppo lunga"_s;
        QTest::newRow("NUL bytes") << QByteArray(300, '\0') << u"la riga 1 è troppo lunga"_s;
        QTest::newRow("garbage in short lines")
            << QByteArray("\x01\xff\r\n\x80\x00\n", 7).repeated(10)
            << u"il file non contiene la descrizione di un sistema (manca [Fine])"_s;
        // A conditions block after the 8 counts: line 19 of a system of 8 single numbers.
        const QByteArray system = singleNumbers() + tailOfSingles();
        auto block = [&](const QList<QByteArray>& conditions, bool ended = true) {
            return system + lines(QList<QByteArray> { "[Condizioni]" } + conditions)
                + (ended ? lines({ "[Fine condizioni]" }) : QByteArray());
        };
        QTest::newRow("unknown keyword") << block({ "somma da 100 a 160", "pari da 3 a 5" })
                                         << u"riga 21: la condizione \"pari\" non esiste"_s;
        QTest::newRow("number off 1 to 32")
            << block({ "dispari da 3 a 5", "numeri 1 40 da 1 a 2" })
            << u"riga 21: il numero 40 del gruppo non è tra 1 e 32"_s;
        QTest::newRow("block without its end") << block({ "somma da 100 a 160" }, false)
                                               << u"riga 19: le condizioni che cominciano qui"_s;
        QTest::newRow("21 conditions") << block(QList<QByteArray>(21, "dispari da 0 a 8"))
                                       << u"riga 40: le condizioni sono al massimo 20"_s;
        QTest::newRow("lines after the block") << block({ "somma da 100 a 160" }) + lines({ "x" })
                                               << u"riga 22: dopo [Fine condizioni]"_s;
        QTest::newRow("condition line too long")
            << block({ "somma da 100 a 160" + QByteArray(200, ' ') })
            << u"riga 20: la riga è troppo lunga"_s;
        QTest::newRow("block before the counts")
            << singleNumbers() + lines({ "[Fine]", " 8 ", "[Condizioni]", "[Fine condizioni]" })
            << u"mancano dei conteggi delle caselle"_s;
        QTest::newRow("10 MB") << QByteArray(10 * 1024 * 1024,
            '\n') << u"il file è troppo grande per essere la descrizione di un sistema"_s;
    }
    void refusesInvalidFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const auto read = parseDescription(bytes);
        QVERIFY(!read);
        QVERIFY2(read.error().startsWith(reason), qPrintable(read.error()));
    }

    void readDescription_namesFileAndReason_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: nothing is created
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << u"nessuno.stt"_s << QByteArray() << u"il file non esiste"_s;
        QTest::newRow("folder") << u"cartella.stt"_s << QByteArray()
                                << u"è una cartella, non un file"_s;
        QTest::newRow("no [Fine]")
            << u"rotto.stt"_s << singleNumbers()
            << u"il file non contiene la descrizione di un sistema (manca [Fine])"_s;
        QTest::newRow("10 MB of garbage")
            << u"grande.stt"_s << QByteArray(10 * 1024 * 1024, '\xAB')
            << u"il file è troppo grande per essere la descrizione di un sistema"_s;
    }
    void readDescription_namesFileAndReason()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(name);
        if (name.startsWith(u"cartella"))
            QVERIFY(QDir().mkdir(path));
        if (!bytes.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        const auto read = readDescription(path);
        QVERIFY(!read);
        QCOMPARE(read.error().path, path);
        QCOMPARE(read.error().reason, reason);
        QCOMPARE(read.error().message(u"aprire"_s),
            QStringLiteral("Impossibile aprire il file %1: %2.").arg(path, reason));
    }
};

QTEST_GUILESS_MAIN(TestDescriptionFile)
#include "test_description_file.moc"
