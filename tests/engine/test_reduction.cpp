#include "engine/development.h"
#include "engine/reduction.h"

#include "engine_grids.h"
#include "support/columns.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <set>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ottavario::Grid)
Q_DECLARE_METATYPE(std::vector<ottavario::ColumnMask>)

class ReductionTest : public QObject {
    Q_OBJECT

private slots:
    void developmentOrderAndDrops();
    void developmentMergeCandidates();
    void developmentOfImpossibleGridIsEmpty();

    void workedExample_data();
    void workedExample();
    void sameSetInAnotherBoxOrderKeptOnce_data();
    void sameSetInAnotherBoxOrderKeptOnce();
    void thresholdBoundary_data();
    void thresholdBoundary();
    void extremeThresholds();
    void rankerCoversWholeRange();

    void fastMatchesScanOnRandomGrids();
    void referenceGrids_data();
    void referenceGrids();
    void progressReachesEveryCandidate();
};

void ReductionTest::developmentOrderAndDrops()
{
    // Box 8 changes fastest; 3 in box 1 against 3 in box 2 is dropped.
    const Grid grid = gridOf({ { { u"1"_s, u"3"_s }, { u"3"_s }, { u"4"_s }, { u"5"_s }, { u"6"_s },
        { u"7"_s }, { u"8"_s }, { u"9"_s, u"10"_s } } });
    const DevelopedColumns developed = developColumns(grid);
    QCOMPARE(developed.count(), 2);
    QCOMPARE(developed.records, " 1 3 4 5 6 7 8 9 1 3 4 5 6 7 810"_ba);
    QCOMPARE(developed.masks,
        (std::vector { column({ 1, 3, 4, 5, 6, 7, 8, 9 }), column({ 1, 3, 4, 5, 6, 7, 8, 10 }) }));
}

void ReductionTest::developmentMergeCandidates()
{
    const Grid grid = gridOf({ { { u"5"_s, u"7"_s }, { u"7"_s, u"05"_s }, { u"1"_s }, { u"2"_s },
        { u"3"_s }, { u"4"_s }, { u"6"_s }, { u"8"_s } } });
    const DevelopedColumns developed = developColumns(grid);
    // (5,5) and (7,7) are dropped; the typed 05 stays as typed.
    QCOMPARE(developed.records, " 5 7 1 2 3 4 6 8 705 1 2 3 4 6 8"_ba);
    QCOMPARE(developed.masks[0], developed.masks[1]);
}

void ReductionTest::developmentOfImpossibleGridIsEmpty()
{
    const Grid grid = gridOfNumbers({ { { 3 }, { 3 }, { 4 }, { 5 }, { 6 }, { 7 }, { 8 }, { 9 } } });
    const DevelopedColumns developed = developColumns(grid);
    QCOMPARE(developed.count(), 0);
    QVERIFY(developed.records.isEmpty());
    QVERIFY(reduceColumns(developed.masks, 5).empty());
    QVERIFY(developColumns(Grid {}).masks.empty());
}

void ReductionTest::workedExample_data()
{
    QTest::addColumn<int>("threshold");
    QTest::addColumn<std::vector<ColumnMask>>("expected");

    const ColumnMask first = column({ 1, 3, 4, 5, 6, 7, 8, 9 });
    const ColumnMask second = column({ 2, 3, 4, 5, 6, 7, 8, 9 });
    QTest::newRow("Integrale") << 8 << std::vector { first, second };
    QTest::newRow("Sette punti") << 7 << std::vector { first };
    QTest::newRow("Sei punti") << 6 << std::vector { first };
    QTest::newRow("Cinque punti") << 5 << std::vector { first };
}

void ReductionTest::workedExample()
{
    QFETCH(int, threshold);
    QFETCH(std::vector<ColumnMask>, expected);
    const DevelopedColumns developed = developColumns(workedExampleGrid());
    QCOMPARE(reduceColumns(developed.masks, threshold), expected);
    QCOMPARE(reduceColumnsByScan(developed.masks, threshold), expected);
}

void ReductionTest::sameSetInAnotherBoxOrderKeptOnce_data()
{
    QTest::addColumn<int>("threshold");
    for (int t : { 8, 7, 6, 5 })
        QTest::addRow("t = %d", t) << t;
}

void ReductionTest::sameSetInAnotherBoxOrderKeptOnce()
{
    QFETCH(int, threshold);
    const Grid grid
        = gridOfNumbers({ { { 5, 7 }, { 7, 5 }, { 1 }, { 2 }, { 3 }, { 4 }, { 6 }, { 8 } } });
    const DevelopedColumns developed = developColumns(grid);
    QCOMPARE(developed.count(), 2);
    QCOMPARE(reduceColumns(developed.masks, threshold),
        std::vector { column({ 1, 2, 3, 4, 5, 6, 7, 8 }) });
}

void ReductionTest::thresholdBoundary_data()
{
    QTest::addColumn<std::vector<ColumnMask>>("candidates");
    QTest::addColumn<std::vector<ColumnMask>>("expected");

    const ColumnMask a = column({ 1, 2, 3, 4, 5, 6, 7, 8 });
    const ColumnMask fiveWithA = column({ 1, 2, 3, 4, 5, 9, 10, 11 });
    const ColumnMask sixWithA = column({ 1, 2, 3, 4, 5, 6, 12, 13 }); // 5 with fiveWithA
    const ColumnMask fiveWithBoth = column({ 1, 2, 3, 4, 5, 12, 13, 14 });
    const ColumnMask sixWithSecond = column({ 1, 2, 3, 9, 10, 11, 20, 21 });
    QTest::newRow("5 common is kept")
        << std::vector { a, fiveWithA } << std::vector { a, fiveWithA };
    QTest::newRow("6 common is rejected") << std::vector { a, sixWithA } << std::vector { a };
    QTest::newRow("rejected by the first kept only") << std::vector { a, fiveWithA, sixWithA,
        fiveWithBoth } << std::vector { a, fiveWithA, fiveWithBoth };
    QTest::newRow("rejected by a later kept column")
        << std::vector { a, fiveWithA, sixWithSecond } << std::vector { a, fiveWithA };
    QTest::newRow("a rejected column rejects nothing")
        << std::vector { a, sixWithA, column({ 1, 2, 3, 4, 6, 12, 13, 30 }) }
        << std::vector { a, column({ 1, 2, 3, 4, 6, 12, 13, 30 }) };
}

void ReductionTest::thresholdBoundary()
{
    QFETCH(std::vector<ColumnMask>, candidates);
    QFETCH(std::vector<ColumnMask>, expected);
    QCOMPARE(reduceColumns(candidates, 6), expected);
    QCOMPARE(reduceColumnsByScan(candidates, 6), expected);
}

void ReductionTest::extremeThresholds()
{
    const std::vector masks { column({ 1, 2, 3, 4, 5, 6, 7, 8 }),
        column({ 1, 2, 3, 4, 5, 6, 7, 8 }), column({ 9, 10, 11, 12, 13, 14, 15, 16 }) };
    for (int t : { -1, 0, 9 })
        QCOMPARE(reduceColumns(masks, t), reduceColumnsByScan(masks, t));
}

void ReductionTest::rankerCoversWholeRange()
{
    const SubsetRanker ranker(~ColumnMask(0), 8);
    QCOMPARE(ranker.subsetCount(), quint64(10'518'300));
    auto rankOf = [&](ColumnMask m) {
        quint32 rank = 0;
        ranker.anySubset(m, [&](quint32 r, ColumnMask) {
            rank = r;
            return true;
        });
        return rank;
    };
    QCOMPARE(rankOf(column({ 1, 2, 3, 4, 5, 6, 7, 8 })), quint32(0));
    QCOMPARE(rankOf(column({ 25, 26, 27, 28, 29, 30, 31, 32 })), quint32(10'518'300 - 1));

    // The 56 five-subsets of a column are told apart.
    const SubsetRanker five(column({ 2, 4, 6, 8, 10, 12, 14, 16, 18, 20 }), 5);
    const ColumnMask numbers = column({ 2, 4, 8, 10, 12, 14, 18, 20 });
    std::set<quint32> ranks;
    std::set<ColumnMask> subsets;
    five.anySubset(numbers, [&](quint32 r, ColumnMask subset) {
        ranks.insert(r);
        if (std::popcount(subset) == 5 && (subset & ~numbers) == 0)
            subsets.insert(subset);
        return r >= five.subsetCount();
    });
    QCOMPARE(subsets.size(), size_t(56));
    QCOMPARE(ranks.size(), size_t(56));
    QVERIFY(*ranks.rbegin() < five.subsetCount());
}

void ReductionTest::fastMatchesScanOnRandomGrids()
{
    QRandomGenerator random(20240607);
    for (int round = 0; round < 300; ++round) {
        const Grid grid = randomGrid(random, round % 10 == 0 ? 4 : 3);
        const DevelopedColumns developed = developColumns(grid);
        for (int t = 1; t <= 8; ++t) {
            const auto fast = reduceColumns(developed.masks, t);
            const auto plain = reduceColumnsByScan(developed.masks, t);
            if (fast != plain)
                QFAIL(qPrintable(u"round %1, t = %2: %3 kept against %4"_s.arg(round)
                                     .arg(t)
                                     .arg(fast.size())
                                     .arg(plain.size())));
            // The guarantee: every developed column is near a kept one.
            for (ColumnMask m : developed.masks)
                if (std::none_of(fast.begin(), fast.end(),
                        [&](ColumnMask k) { return commonNumbers(k, m) >= t; }))
                    QFAIL(qPrintable(
                        u"round %1, t = %2: a column lost its guarantee"_s.arg(round).arg(t)));
        }
    }
}

void ReductionTest::referenceGrids_data()
{
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<int>("developedCount");
    QTest::addColumn<QList<int>>("keptCounts"); // t = 8, 7, 6, 5

    QTest::newRow("tiny") << workedExampleGrid() << 2 << QList { 2, 1, 1, 1 };
    QTest::newRow("medium") << mediumGrid() << 216 << QList { 216, 56, 14, 6 };
    QTest::newRow("disjoint 3") << disjointThreeGrid() << 6561 << QList { 6561, 1641, 198, 60 };
    QTest::newRow("largest") << largestGrid() << 279'841 << QList { 234'256, 29'544, 2'306, 331 };
}

void ReductionTest::referenceGrids()
{
    QFETCH(Grid, grid);
    QFETCH(int, developedCount);
    QFETCH(QList<int>, keptCounts);
    const DevelopedColumns developed = developColumns(grid);
    QCOMPARE(developed.count(), developedCount);
    for (int t = 8; t >= 5; --t)
        QCOMPARE(static_cast<int>(reduceColumns(developed.masks, t).size()), keptCounts[8 - t]);
}

void ReductionTest::progressReachesEveryCandidate()
{
    const DevelopedColumns developed = developColumns(disjointThreeGrid());
    QList<qsizetype> reports;
    reduceColumns(developed.masks, 6, [&](qsizetype done) { reports.append(done); });
    QVERIFY(reports.size() > 1);
    QVERIFY(std::is_sorted(reports.begin(), reports.end()));
    QCOMPARE(reports.last(), developed.count());
}

QTEST_GUILESS_MAIN(ReductionTest)
#include "test_reduction.moc"
