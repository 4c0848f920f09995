#include "core/grid.h"
#include "core/system_type.h"

#include <QTest>

using namespace ottavario;
using namespace Qt::StringLiterals;

namespace {
// Eight boxes written as "a|b|c|d|e"; missing entries are empty.
Grid gridOf(const QStringList& boxes)
{
    Grid grid;
    for (int k = 0; k < kBoxes && k < boxes.size(); ++k) {
        const QStringList texts = boxes[k].split(u'|');
        for (int i = 0; i < kEntries && i < texts.size(); ++i)
            grid.entries[k][i] = texts[i];
    }
    return grid;
}

QStringList oneEach() { return QStringList(kBoxes, u"1"_s); }
}

class GridTest : public QObject {
    Q_OBJECT

private slots:
    void counts_data();
    void counts();
    void numbersOfBox_data();
    void numbersOfBox();
    void isValidMatchNumber_data();
    void isValidMatchNumber();
    void systemTypes_data();
    void systemTypes();
    void systemTypeCodes_data();
    void systemTypeCodes();
};

void GridTest::counts_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<qlonglong>("combinations");

    QTest::newRow("empty grid") << QStringList() << QList<int>(kBoxes, 0) << 0LL;
    QTest::newRow("one number in every box") << oneEach() << QList<int>(kBoxes, 1) << 1LL;

    QStringList four = oneEach();
    four[0] = u"1|2"_s;
    four[1] = u"3|4"_s;
    QTest::newRow("two and two") << four << QList<int> { 2, 2, 1, 1, 1, 1, 1, 1 } << 4LL;

    QStringList outOfRange = oneEach();
    outOfRange[0] = u"45|-3"_s;
    QTest::newRow("out-of-range values count")
        << outOfRange << QList<int> { 2, 1, 1, 1, 1, 1, 1, 1 } << 2LL;

    QStringList zeros = oneEach();
    zeros[2] = u"0|x| |00|0,5"_s;
    QTest::newRow("texts worth 0 do not count")
        << zeros << QList<int> { 1, 1, 0, 1, 1, 1, 1, 1 } << 0LL;

    QStringList readable = oneEach();
    readable[3] = u"07|3x| 5|.5|+4"_s;
    QTest::newRow("texts with a leading number count")
        << readable << QList<int> { 1, 1, 1, 5, 1, 1, 1, 1 } << 5LL;

    QStringList lastEmpty = oneEach();
    lastEmpty[7] = QString();
    QTest::newRow("box 8 empty") << lastEmpty << QList<int> { 1, 1, 1, 1, 1, 1, 1, 0 } << 0LL;

    QStringList gaps = oneEach();
    gaps[4] = u"|7||9|"_s;
    QTest::newRow("gaps count the filled entries")
        << gaps << QList<int> { 1, 1, 1, 1, 2, 1, 1, 1 } << 2LL;

    QTest::newRow("full grid") << QStringList(kBoxes, u"1|2|3|4|5"_s) << QList<int>(kBoxes, 5)
                               << 390625LL;

    QStringList mixed { u"1|2|3"_s, u"4|5"_s, u"6|7|8|9|10"_s, u"11"_s, u"12|13|14|15"_s, u"16"_s,
        u"17|18"_s, u"19"_s };
    QTest::newRow("mixed") << mixed << QList<int> { 3, 2, 5, 1, 4, 1, 2, 1 } << 240LL;
}

void GridTest::counts()
{
    QFETCH(QStringList, boxes);
    QFETCH(QList<int>, counts);
    QFETCH(qlonglong, combinations);

    const Grid grid = gridOf(boxes);
    const auto all = grid.counts();
    QCOMPARE(QList<int>(all.begin(), all.end()), counts);
    for (int k = 0; k < kBoxes; ++k)
        QCOMPARE(grid.count(k), counts[k]);
    QCOMPARE(grid.combinations(), combinations);
}

void GridTest::numbersOfBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QList<int>>("entries");

    QTest::newRow("filled from the first entry")
        << u"1|2|3"_s << QStringList { u"1"_s, u"2"_s, u"3"_s } << QList<int> { 0, 1, 2 };
    QTest::newRow("gaps closed") << u"7||9||12"_s << QStringList { u"7"_s, u"9"_s, u"12"_s }
                                 << QList<int> { 0, 2, 4 };
    QTest::newRow("first entry empty") << u"|5"_s << QStringList { u"5"_s } << QList<int> { 1 };
    QTest::newRow("zero and letters skipped")
        << u"0|x|3"_s << QStringList { u"3"_s } << QList<int> { 2 };
    QTest::newRow("texts kept as typed")
        << u"07| 5|3x"_s << QStringList { u"07"_s, u" 5"_s, u"3x"_s } << QList<int> { 0, 1, 2 };
    QTest::newRow("empty box") << QString() << QStringList() << QList<int>();
    QTest::newRow("only the last entry")
        << u"||||32"_s << QStringList { u"32"_s } << QList<int> { 4 };
}

void GridTest::numbersOfBox()
{
    QFETCH(QString, box);
    QFETCH(QStringList, numbers);
    QFETCH(QList<int>, entries);

    // The box under test sits in the middle, between boxes that must not leak in.
    QStringList boxes = QStringList(kBoxes, u"1|2|3|4|5"_s);
    boxes[3] = box;
    const Grid grid = gridOf(boxes);

    QCOMPARE(grid.numbersOfBox(3), numbers);
    for (int j = 0; j < entries.size(); ++j)
        QCOMPARE(grid.entryOfNumber(3, j), entries[j]);
    QCOMPARE(grid.entryOfNumber(3, int(entries.size())), -1);
    QCOMPARE(grid.entryOfNumber(3, kEntries), -1);
    QCOMPARE(grid.entryOfNumber(3, -1), -1);
}

void GridTest::isValidMatchNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("valid");

    QTest::newRow("lowest") << 1.0 << true;
    QTest::newRow("highest") << 32.0 << true;
    QTest::newRow("middle") << 17.0 << true;
    QTest::newRow("zero") << 0.0 << false;
    QTest::newRow("above") << 33.0 << false;
    QTest::newRow("45") << 45.0 << false;
    QTest::newRow("negative") << -3.0 << false;
    QTest::newRow("fraction") << 7.5 << false;
    QTest::newRow("fraction below one") << 0.5 << false;
    QTest::newRow("just above highest") << 32.01 << false;
}

void GridTest::isValidMatchNumber()
{
    QFETCH(double, value);
    QFETCH(bool, valid);
    QCOMPARE(ottavario::isValidMatchNumber(value), valid);
}

void GridTest::systemTypes_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("typeValue");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("factor");

    QTest::newRow("Sette punti") << 0 << int(SystemType::SettePunti) << 7 << 90;
    QTest::newRow("Sei punti") << 1 << int(SystemType::SeiPunti) << 6 << 10;
    QTest::newRow("Cinque punti") << 2 << int(SystemType::CinquePunti) << 5 << 1;
    QTest::newRow("Integrale") << 3 << int(SystemType::Integrale) << 8 << 100;
}

void GridTest::systemTypes()
{
    QFETCH(int, option);
    QFETCH(int, typeValue);
    const auto type = static_cast<SystemType>(typeValue);
    QFETCH(int, code);
    QFETCH(int, factor);

    QCOMPARE(int(typeOfOption(option)), typeValue);
    QCOMPARE(optionIndex(type), option);
    QCOMPARE(ottavario::code(type), code);
    QCOMPARE(threshold(type), code);
    QVERIFY(typeOfCode(code).has_value());
    QCOMPARE(int(*typeOfCode(code)), typeValue);
    QCOMPARE(progressFactor(type), factor);
}

void GridTest::systemTypeCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("zero") << 0;
    QTest::newRow("below five") << 4;
    QTest::newRow("above eight") << 9;
    QTest::newRow("negative") << -6;
}

void GridTest::systemTypeCodes()
{
    QFETCH(int, code);
    QVERIFY(!typeOfCode(code).has_value());
}

QTEST_GUILESS_MAIN(GridTest)
#include "test_grid.moc"
