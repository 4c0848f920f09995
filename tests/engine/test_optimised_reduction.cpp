#include "engine/development.h"
#include "engine/guarantee.h"
#include "engine/optimised_reduction.h"
#include "engine/reduction.h"

#include "engine_grids.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <set>

using namespace ottavario;
using namespace ottavario::testing;

Q_DECLARE_METATYPE(ottavario::Grid)

namespace {
// Small bounds keep the tests quick; the results stay determined by them.
constexpr qint64 kQuickWork = 2'000'000;

OptimisationOptions quick(int threads = 2)
{
    OptimisationOptions options;
    options.work = kQuickWork;
    options.threads = threads;
    return options;
}

// Every developed column against every kept one.
bool coveredByScan(
    const std::vector<ColumnMask>& developed, const std::vector<ColumnMask>& kept, int t)
{
    return std::all_of(developed.begin(), developed.end(), [&](ColumnMask d) {
        return std::any_of(kept.begin(), kept.end(),
            [&](ColumnMask k) { return commonNumbers(k, d) >= std::min(t, kColumnSize); });
    });
}

// Kept columns are developed columns, each set once, in development order.
bool keptInDevelopmentOrder(
    const std::vector<ColumnMask>& developed, const std::vector<ColumnMask>& kept)
{
    size_t at = 0;
    for (ColumnMask k : kept) {
        const auto it
            = std::find(developed.begin() + static_cast<std::ptrdiff_t>(at), developed.end(), k);
        if (it == developed.end())
            return false;
        at = static_cast<size_t>(it - developed.begin()) + 1;
    }
    return std::set<ColumnMask>(kept.begin(), kept.end()).size() == kept.size();
}

Grid disjointGrid(int perBox)
{
    std::array<std::vector<int>, kBoxes> boxes;
    for (int k = 0; k < kBoxes; ++k)
        for (int i = 1; i <= perBox; ++i)
            boxes[k].push_back(perBox * k + i);
    return gridOfNumbers(boxes);
}
}

class OptimisedReductionTest : public QObject {
    Q_OBJECT

private slots:
    void randomGridsKeepTheGuarantee();
    void referenceGrids_data();
    void referenceGrids();
    void integraleIsTheGreedy();
    void edgeCases();
    void sameGridSameColumns();
    void stopBeforeStartKeepsTheGreedy();
    void stopDuringTheSearchKeepsAValidSet();
    void progressRunsToTheBound();
};

void OptimisedReductionTest::randomGridsKeepTheGuarantee()
{
    // Boxes that overlap or not, 1 to 3 numbers each (a few up to 4), every
    // threshold: checked by comparing all pairs, never above the greedy.
    QRandomGenerator random(20240611);
    for (int round = 0; round < 60; ++round) {
        const Grid grid = randomGrid(random, round % 6 == 0 ? 4 : 3);
        const DevelopedColumns developed = developColumns(grid);
        for (int t = 1; t <= 8; ++t) {
            OptimisationOptions options = quick();
            options.work = 200'000;
            const std::vector<ColumnMask> kept = optimiseReduction(developed.masks, t, options);
            const std::vector<ColumnMask> greedy = reduceColumns(developed.masks, t);
            const QString where = QStringLiteral("round %1, t = %2").arg(round).arg(t);
            if (!coveredByScan(developed.masks, kept, t))
                QFAIL(qPrintable(where + QStringLiteral(": a column lost its points")));
            if (!verifyGuarantee(developed.masks, kept, t).holds())
                QFAIL(qPrintable(where + QStringLiteral(": the check disagrees")));
            if (kept.size() > greedy.size())
                QFAIL(qPrintable(where + QStringLiteral(": more than the greedy")));
            if (!keptInDevelopmentOrder(developed.masks, kept))
                QFAIL(qPrintable(where + QStringLiteral(": not developed columns in order")));
        }
    }
}

void OptimisedReductionTest::referenceGrids_data()
{
    QTest::addColumn<Grid>("grid");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("most"); // what the quick bound must reach

    // The two 4-box halves of 3 numbers are each covered by the ternary
    // Hamming code: 9 x 9 columns for 6 points, 9 x 3 for 5.
    QTest::newRow("disjoint 3, t = 6") << disjointThreeGrid() << 6 << 81;
    QTest::newRow("disjoint 3, t = 5") << disjointThreeGrid() << 5 << 27;
    // Six cosets of a ternary [8, 4] code: the best size known.
    QTest::newRow("disjoint 3, t = 7") << disjointThreeGrid() << 7 << 486;
    // The smallest sets there are.
    QTest::newRow("medium, t = 6") << mediumGrid() << 6 << 8;
    QTest::newRow("medium, t = 5") << mediumGrid() << 5 << 3;
    // 2 numbers in every box: the binary [8,4] code has covering radius 2.
    QTest::newRow("disjoint 2, t = 6") << disjointGrid(2) << 6 << 16;
    // Stored: 7 cosets of an [8, 2] code over GF(4).
    QTest::newRow("disjoint 4, t = 5") << disjointGrid(4) << 5 << 112;
}

void OptimisedReductionTest::referenceGrids()
{
    QFETCH(Grid, grid);
    QFETCH(int, threshold);
    QFETCH(int, most);
    const DevelopedColumns developed = developColumns(grid);
    const std::vector<ColumnMask> kept = optimiseReduction(developed.masks, threshold, quick());
    QVERIFY2(static_cast<int>(kept.size()) <= most, qPrintable(QString::number(kept.size())));
    QVERIFY(verifyGuarantee(developed.masks, kept, threshold).holds());
    QVERIFY(kept.size() < reduceColumns(developed.masks, threshold).size());
}

void OptimisedReductionTest::integraleIsTheGreedy()
{
    for (const Grid& grid : { mediumGrid(), workedExampleGrid() }) {
        const DevelopedColumns developed = developColumns(grid);
        QCOMPARE(optimiseReduction(developed.masks, 8, quick()), reduceColumns(developed.masks, 8));
    }
}

void OptimisedReductionTest::edgeCases()
{
    const ColumnMask a = maskOf({ 1, 2, 3, 4, 5, 6, 7, 8 });
    const ColumnMask b = maskOf({ 1, 2, 3, 4, 5, 6, 7, 9 });
    const ColumnMask c = maskOf({ 10, 11, 12, 13, 14, 15, 16, 17 });
    using V = std::vector<ColumnMask>;
    QVERIFY(optimiseReduction(V {}, 6, quick()).empty());
    QCOMPARE(optimiseReduction(V { a }, 6, quick()), V { a });
    // The same set in other box orders is one column.
    QCOMPARE(optimiseReduction(V { a, a, a }, 7, quick()), V { a });
    QCOMPARE(optimiseReduction(V { b, a, b, c }, 7, quick()), (V { b, c }));
    // Columns that are not 8 numbers are left to the greedy.
    const V short_ { maskOf({ 1, 2, 3, 4, 5, 6, 7, 7 }), a };
    QCOMPARE(optimiseReduction(short_, 6, quick()), reduceColumns(short_, 6));
    for (int t : { -1, 0, 9 })
        QCOMPARE(optimiseReduction(V { a, b, c }, t, quick()), reduceColumns(V { a, b, c }, t));
}

void OptimisedReductionTest::sameGridSameColumns()
{
    // Whether the two searches run side by side or one after the other.
    for (const Grid& grid : { mediumGrid(), disjointThreeGrid() }) {
        const DevelopedColumns developed = developColumns(grid);
        for (int t : { 7, 5 }) {
            const std::vector<ColumnMask> first = optimiseReduction(developed.masks, t, quick(2));
            QCOMPARE(optimiseReduction(developed.masks, t, quick(2)), first);
            QCOMPARE(optimiseReduction(developed.masks, t, quick(1)), first);
        }
    }
}

void OptimisedReductionTest::stopBeforeStartKeepsTheGreedy()
{
    const DevelopedColumns developed = developColumns(disjointThreeGrid());
    std::atomic<bool> stop { true };
    OptimisationOptions options = quick();
    options.stop = &stop;
    const std::vector<ColumnMask> kept = optimiseReduction(developed.masks, 6, options);
    QCOMPARE(kept, reduceColumns(developed.masks, 6));
}

void OptimisedReductionTest::stopDuringTheSearchKeepsAValidSet()
{
    // Stopped from the progress report at several points of a long bound.
    const DevelopedColumns developed = developColumns(disjointThreeGrid());
    for (qint64 stopAt : { 100'000, 1'000'000, 5'000'000 }) {
        std::atomic<bool> stop { false };
        OptimisationOptions options;
        options.work = 100'000'000; // reports every 390,625 steps
        options.stop = &stop;
        options.progress = [&](qint64 done, qint64) {
            if (done >= stopAt)
                stop = true;
        };
        const std::vector<ColumnMask> kept = optimiseReduction(developed.masks, 7, options);
        QVERIFY(stop);
        QVERIFY(coveredByScan(developed.masks, kept, 7));
        QVERIFY(kept.size() <= reduceColumns(developed.masks, 7).size());
        QVERIFY(keptInDevelopmentOrder(developed.masks, kept));
    }
}

void OptimisedReductionTest::progressRunsToTheBound()
{
    const DevelopedColumns developed = developColumns(mediumGrid());
    QList<qint64> reports;
    OptimisationOptions options = quick();
    options.progress = [&](qint64 done, qint64 total) {
        QCOMPARE(total, kQuickWork);
        reports.append(done);
    };
    optimiseReduction(developed.masks, 7, options);
    QVERIFY(reports.size() > 10);
    QVERIFY(std::is_sorted(reports.begin(), reports.end()));
    QCOMPARE(reports.last(), kQuickWork);
}

QTEST_GUILESS_MAIN(OptimisedReductionTest)
#include "test_optimised_reduction.moc"
