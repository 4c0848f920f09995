#include "engine/cover_problem.h"
#include "engine/development.h"
#include "engine/guarantee.h"
#include "engine/number_groups.h"
#include "engine/paired_boxes.h"

#include "engine_grids.h"

#include <QTest>

#include <algorithm>

using namespace ottavario;
using namespace ottavario::testing;

Q_DECLARE_METATYPE(ottavario::Grid)

class PairedBoxesTest : public QObject {
    Q_OBJECT

private slots:
    void storedCover_data();
    void storedCover();
};

void PairedBoxesTest::storedCover_data()
{
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("size"); // 0: nothing stored fits

    QTest::newRow("largest, t = 6") << largestGrid() << 6 << 1078;
    // Other numbers, the pairs in another order, shared numbers not first,
    // the second box of a pair before the first.
    const Grid renumbered = gridOfNumbers({ { { 30, 12, 5, 31, 7 }, { 12, 30, 20, 21, 22 },
        { 3, 4, 1, 2, 9 }, { 10, 11, 3, 4, 32 }, { 13, 14, 15, 16, 17 }, { 16, 17, 18, 19, 6 },
        { 23, 24, 25, 26, 27 }, { 28, 29, 8, 24, 23 } } });
    QTest::newRow("renumbered, t = 6") << renumbered << 6 << 1078;
    QTest::newRow("renumbered, t = 7") << renumbered << 7 << 11129;
    QTest::newRow("largest, t = 7") << largestGrid() << 7 << 11129;
    QTest::newRow("renumbered, t = 5") << renumbered << 5 << 164;
    QTest::newRow("largest, t = 5") << largestGrid() << 5 << 164;
    QTest::newRow("largest, t = 8") << largestGrid() << 8 << 0;
    // One box holds a number fewer: the pair no longer has 22 parts.
    QTest::newRow("one box of 4") << gridOfNumbers({ { { 1, 2, 3, 4 }, { 1, 2, 6, 7, 8 },
        { 9, 10, 11, 12, 13 }, { 9, 10, 14, 15, 16 }, { 17, 18, 19, 20, 21 },
        { 17, 18, 22, 23, 24 }, { 25, 26, 27, 28, 29 }, { 25, 26, 30, 31, 32 } } })
                                  << 6 << 0;
    // Eight groups of three numbers.
    QTest::newRow("disjoint 3") << disjointThreeGrid() << 6 << 0;
}

void PairedBoxesTest::storedCover()
{
    QFETCH(Grid, grid);
    QFETCH(int, threshold);
    QFETCH(int, size);
    const DevelopedColumns developed = developColumns(grid);
    const std::vector<ColumnMask> distinct = distinctInOrder(developed.masks);
    const std::vector<ColumnMask> cover = pairedBoxesCover(independentGroups(distinct), threshold);
    QCOMPARE(static_cast<int>(cover.size()), size);
    if (size == 0)
        return;
    const CoverProblem problem(distinct, threshold);
    QCOMPARE(problem.indicesOf(cover).size(), cover.size()); // developed columns
    QVERIFY(verifyGuarantee(developed.masks, cover, threshold).holds());
}

QTEST_GUILESS_MAIN(PairedBoxesTest)
#include "test_paired_boxes.moc"
