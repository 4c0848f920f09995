#include "engine/development.h"
#include "engine/guarantee.h"
#include "engine/reduction.h"

#include "engine_grids.h"
#include "support/columns.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <set>

using namespace ottavario;
using namespace ottavario::testing;

Q_DECLARE_METATYPE(std::vector<ottavario::ColumnMask>)

namespace {
// The first developed column that no kept column comes near, by comparing all pairs.
qsizetype firstUncoveredByScan(
    const std::vector<ColumnMask>& developed, const std::vector<ColumnMask>& kept, int t)
{
    const int needed = std::min(t, kColumnSize);
    for (size_t i = 0; i < developed.size(); ++i)
        if (std::none_of(kept.begin(), kept.end(),
                [&](ColumnMask k) { return commonNumbers(k, developed[i]) >= needed; }))
            return static_cast<qsizetype>(i);
    return -1;
}

}

class GuaranteeTest : public QObject {
    Q_OBJECT

private slots:
    void cases_data();
    void cases();
    void matchesPairScanOnRandomSets();
    void greedyReductionAlwaysHolds();
};

void GuaranteeTest::cases_data()
{
    QTest::addColumn<std::vector<ColumnMask>>("developed");
    QTest::addColumn<std::vector<ColumnMask>>("kept");
    QTest::addColumn<int>("threshold");
    QTest::addColumn<qsizetype>("firstUncovered");

    const ColumnMask a = column({ 1, 2, 3, 4, 5, 6, 7, 8 });
    const ColumnMask sixWithA = column({ 1, 2, 3, 4, 5, 6, 20, 21 });
    const ColumnMask fiveWithA = column({ 1, 2, 3, 4, 5, 20, 21, 22 });
    const ColumnMask far = column({ 25, 26, 27, 28, 29, 30, 31, 32 });
    using V = std::vector<ColumnMask>;
    QTest::newRow("nothing developed") << V {} << V {} << 6 << qsizetype(-1);
    QTest::newRow("nothing kept") << V { a } << V {} << 5 << qsizetype(0);
    QTest::newRow("6 common holds 6 points") << V { a, sixWithA } << V { a } << 6 << qsizetype(-1);
    QTest::newRow("5 common misses 6 points")
        << V { a, sixWithA, fiveWithA } << V { a } << 6 << qsizetype(2);
    QTest::newRow("5 common holds 5 points")
        << V { a, sixWithA, fiveWithA } << V { a } << 5 << qsizetype(-1);
    QTest::newRow("the first uncovered is told")
        << V { a, far, fiveWithA, far } << V { a } << 6 << qsizetype(1);
    QTest::newRow("8 points need the set itself")
        << V { a, sixWithA } << V { sixWithA } << 8 << qsizetype(0);
    QTest::newRow("more than 8 counts as 8") << V { a, a } << V { a } << 9 << qsizetype(-1);
    QTest::newRow("0 points hold with any kept column")
        << V { a, far } << V { a } << 0 << qsizetype(-1);
    // A kept column outside the developed numbers still counts.
    QTest::newRow("kept column outside the developed")
        << V { a } << V { column({ 1, 2, 3, 4, 5, 6, 7, 32 }) } << 7 << qsizetype(-1);
}

void GuaranteeTest::cases()
{
    QFETCH(std::vector<ColumnMask>, developed);
    QFETCH(std::vector<ColumnMask>, kept);
    QFETCH(int, threshold);
    QFETCH(qsizetype, firstUncovered);
    const GuaranteeCheck check = verifyGuarantee(developed, kept, threshold);
    QCOMPARE(check.firstUncovered, firstUncovered);
    QCOMPARE(check.holds(), firstUncovered < 0);
}

void GuaranteeTest::matchesPairScanOnRandomSets()
{
    // Random kept sets, mostly failing ones: the first uncovered column must
    // be the one a plain scan finds.
    QRandomGenerator random(77);
    for (int round = 0; round < 200; ++round) {
        const DevelopedColumns developed = developColumns(randomGrid(random, 3));
        std::vector<ColumnMask> kept;
        for (ColumnMask m : developed.masks)
            if (random.bounded(8) == 0)
                kept.push_back(m);
        for (int t = 1; t <= 8; ++t) {
            const qsizetype expected = firstUncoveredByScan(developed.masks, kept, t);
            const GuaranteeCheck check = verifyGuarantee(developed.masks, kept, t);
            if (check.firstUncovered != expected)
                QFAIL(qPrintable(QStringLiteral("round %1, t = %2: %3 instead of %4")
                                     .arg(round)
                                     .arg(t)
                                     .arg(check.firstUncovered)
                                     .arg(expected)));
        }
    }
}

void GuaranteeTest::greedyReductionAlwaysHolds()
{
    for (const Grid& grid :
        { workedExampleGrid(), mediumGrid(), disjointThreeGrid(), largestGrid() }) {
        const DevelopedColumns developed = developColumns(grid);
        for (int t = 5; t <= 8; ++t) {
            std::vector<ColumnMask> kept = reduceColumns(developed.masks, t);
            QVERIFY(verifyGuarantee(developed.masks, kept, t).holds());
            // Without its last kept column some developed column loses its points.
            kept.pop_back();
            QVERIFY(!verifyGuarantee(developed.masks, kept, t).holds());
        }
    }
}

QTEST_GUILESS_MAIN(GuaranteeTest)
#include "test_guarantee.moc"
