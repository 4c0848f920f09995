#include "engine/grid_check.h"

#include "engine/development.h"
#include "engine_grids.h"

#include <QTest>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

using Kind = GridProblem::Kind;

Q_DECLARE_METATYPE(std::optional<GridProblem>)
Q_DECLARE_METATYPE(ottavario::Grid)

namespace ottavario {
// Found by QCOMPARE through argument-dependent lookup.
char* toString(const std::optional<GridProblem>& p)
{
    if (!p)
        return qstrdup("no problem");
    static const char* const kinds[] = { "no numbers", "invalid number", "repeated number" };
    return qstrdup(QByteArray(kinds[int(p->kind)]) + " box " + QByteArray::number(p->box + 1)
        + " entry " + QByteArray::number(p->entry));
}
}

namespace {
// Boxes 1 to 8 with the distinct numbers 21 to 28, then `box` (1-based) replaced.
Grid validGridWith(int box, const QStringList& entries)
{
    std::array<QStringList, kBoxes> boxes;
    for (int k = 0; k < kBoxes; ++k)
        boxes[k] = { QString::number(21 + k) };
    boxes[box - 1] = entries;
    return gridOf(boxes);
}

std::optional<GridProblem> problem(Kind kind, int box, int entry)
{
    return GridProblem { kind, box - 1, entry };
}
}

class GridCheckTest : public QObject {
    Q_OBJECT

private slots:
    void checkGrid_data();
    void checkGrid();
    void invalidNumberComesFirstInBoxThenEntryOrder();
    void repeatsFollowEntryOrderBeforeBoxOrder();
    void gapsAreClosedByDevelopmentAndCheck();
    void messages();
};

void GridCheckTest::checkGrid_data()
{
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<std::optional<GridProblem>>("expected");

    const std::optional<GridProblem> none;
    QTest::newRow("all good") << validGridWith(1, { u"1"_s, u"2"_s }) << none;
    QTest::newRow("empty grid") << Grid {} << problem(Kind::NoNumbers, 1, 0);
    QTest::newRow("box 8 empty") << validGridWith(8, {}) << problem(Kind::NoNumbers, 1, 0);
    QTest::newRow("box empty of numbers only")
        << validGridWith(3, { u"x"_s, u"0"_s, u" "_s }) << problem(Kind::NoNumbers, 1, 0);
    QTest::newRow("no numbers beats invalid")
        << gridOf({ { { u"45"_s }, {}, {}, {}, {}, {}, {}, {} } })
        << problem(Kind::NoNumbers, 1, 0);

    QTest::newRow("45") << validGridWith(4, { u"3"_s, u"45"_s })
                        << problem(Kind::InvalidNumber, 4, 1);
    QTest::newRow("33") << validGridWith(2, { u"33"_s }) << problem(Kind::InvalidNumber, 2, 0);
    QTest::newRow("-3") << validGridWith(5, { u"-3"_s }) << problem(Kind::InvalidNumber, 5, 0);
    QTest::newRow(".5") << validGridWith(1, { u"1"_s, u"2"_s, u".5"_s })
                        << problem(Kind::InvalidNumber, 1, 2);
    QTest::newRow("3.5") << validGridWith(7, { u"3.5"_s }) << problem(Kind::InvalidNumber, 7, 0);
    QTest::newRow("32 and 1 are valid") << validGridWith(6, { u"32"_s, u"1"_s }) << none;
    QTest::newRow("leading zero, blank, trailing point")
        << validGridWith(6, { u"05"_s, u" 6"_s, u"7."_s, u"8x"_s }) << none;
    QTest::newRow("invalid beats repeat")
        << validGridWith(3, { u"4"_s, u"4"_s, u"99"_s }) << problem(Kind::InvalidNumber, 3, 2);
    QTest::newRow("repeated 45 is reported as invalid")
        << validGridWith(3, { u"45"_s, u"45"_s }) << problem(Kind::InvalidNumber, 3, 0);

    QTest::newRow("box 6 entries 0 and 3") << validGridWith(6, { u"9"_s, u"1"_s, u"2"_s, u"9"_s })
                                           << problem(Kind::RepeatedNumber, 6, 0);
    QTest::newRow("box 2 entries 1 and 2")
        << validGridWith(2, { u"4"_s, u"12"_s, u"12"_s }) << problem(Kind::RepeatedNumber, 2, 1);
    QTest::newRow("entries 3 and 4") << validGridWith(8, { u"1"_s, u"2"_s, u"3"_s, u"7"_s, u"7"_s })
                                     << problem(Kind::RepeatedNumber, 8, 3);
    QTest::newRow("05 repeats 5") << validGridWith(1, { u"5"_s, u"05"_s })
                                  << problem(Kind::RepeatedNumber, 1, 0);
    QTest::newRow("same number in two boxes is fine") << validGridWith(1, { u"22"_s }) << none;
    QTest::newRow("repeat across a gap") << validGridWith(4, { u""_s, u"3"_s, u""_s, u"3"_s })
                                         << problem(Kind::RepeatedNumber, 4, 1);
    QTest::newRow("empty entries are no repeat")
        << validGridWith(4, { u"3"_s, u""_s, u"x"_s, u"0"_s }) << none;
}

void GridCheckTest::checkGrid()
{
    QFETCH(Grid, grid);
    QFETCH(std::optional<GridProblem>, expected);
    QCOMPARE(ottavario::checkGrid(grid), expected);
}

void GridCheckTest::invalidNumberComesFirstInBoxThenEntryOrder()
{
    Grid grid = validGridWith(2, { u"1"_s, u"2"_s, u"3"_s, u"40"_s });
    grid.entries[4][0] = u"50"_s;
    QCOMPARE(ottavario::checkGrid(grid), problem(Kind::InvalidNumber, 2, 3));
}

void GridCheckTest::repeatsFollowEntryOrderBeforeBoxOrder()
{
    // Box 1 repeats at entries 2 and 3, box 7 at entries 0 and 4: entry 0 is
    // looked at first, whatever the box.
    Grid grid = validGridWith(1, { u"1"_s, u"2"_s, u"3"_s, u"3"_s });
    grid.entries[6] = { u"8"_s, u"9"_s, u"10"_s, u"11"_s, u"8"_s };
    QCOMPARE(ottavario::checkGrid(grid), problem(Kind::RepeatedNumber, 7, 0));

    // Two repeats on the same lower entry: the lower box wins.
    grid.entries[0] = { u"3"_s, u"3"_s };
    QCOMPARE(ottavario::checkGrid(grid), problem(Kind::RepeatedNumber, 1, 0));
}

void GridCheckTest::gapsAreClosedByDevelopmentAndCheck()
{
    const Grid withGaps = validGridWith(3, { u""_s, u"3"_s, u"x"_s, u"7"_s });
    const Grid closed = validGridWith(3, { u"3"_s, u"7"_s });
    QCOMPARE(ottavario::checkGrid(withGaps), std::optional<GridProblem>());
    QCOMPARE(withGaps.combinations(), 2);
    const DevelopedColumns gaps = developColumns(withGaps);
    QCOMPARE(gaps.records, developColumns(closed).records);
    QCOMPARE(gaps.count(), 2);
}

void GridCheckTest::messages()
{
    QCOMPARE(problemMessage(Kind::NoNumbers), u"Iserire i numeri per elaborare il sistema."_s);
    QCOMPARE(problemTitle(Kind::NoNumbers), u"Salva sistema Ottavario*"_s);
    QCOMPARE(problemMessage(Kind::RepeatedNumber), u"Numero doppio controllare "_s);
    QCOMPARE(problemTitle(Kind::RepeatedNumber), u"Controllo"_s);
    QCOMPARE(
        problemMessage(Kind::InvalidNumber), u"Numero non valido: inserire i numeri da 1 a 32."_s);
}

QTEST_GUILESS_MAIN(GridCheckTest)
#include "test_grid_check.moc"
