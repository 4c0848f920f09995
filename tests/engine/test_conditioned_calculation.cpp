#include "engine/calculation.h"

#include "core/data_folder.h"
#include "engine/column_file.h"
#include "engine/development.h"
#include "engine_grids.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <set>

using namespace ottavario;
using namespace ottavario::testing;

namespace {

// A condition's value taken from the column's numbers one by one, apart from
// the masks the program counts on.
bool meetsByHand(const Condition& condition, ColumnMask column)
{
    const ColumnNumbers numbers = numbersOf(column); // ascending
    int value = 0;
    for (int i = 0; i < kColumnSize; ++i) {
        const int n = numbers[i];
        switch (condition.kind) {
        case Condition::Kind::Numbers:
            value += (condition.group >> (n - 1)) & 1;
            break;
        case Condition::Kind::Sum:
            value += n;
            break;
        case Condition::Kind::Odd:
            value += n % 2;
            break;
        case Condition::Kind::Consecutive:
            value += i + 1 < kColumnSize && numbers[i + 1] == n + 1;
            break;
        }
    }
    return value >= condition.lowest && value <= condition.highest;
}

// One to three conditions around the values of one developed column, so
// that it stays in play and others drop out.
Conditions randomConditions(QRandomGenerator& random, const std::vector<ColumnMask>& developed)
{
    const ColumnMask pivot = developed[size_t(random.bounded(int(developed.size())))];
    Conditions conditions(size_t(random.bounded(1, 4)));
    for (Condition& c : conditions) {
        c.kind = static_cast<Condition::Kind>(random.bounded(4));
        for (int i = random.bounded(1, 7); i > 0; --i)
            c.group |= ColumnMask(1) << random.bounded(32);
        if (c.kind != Condition::Kind::Numbers)
            c.group = 0;
        const int spread = c.kind == Condition::Kind::Sum ? 20 : 2;
        c.lowest = c.highest = 0;
        while (!meetsByHand(c, pivot))
            ++c.lowest, ++c.highest;
        c.lowest = std::max(0, c.lowest - random.bounded(spread));
        c.highest += random.bounded(spread);
    }
    return conditions;
}

}

class TestConditionedCalculation : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;

private slots:
    void initTestCase() { qputenv("OTTAVARIO_HOME", m_home.path().toLocal8Bit()); }

    // Random grids of up to 3 numbers a box and random conditions, greedy and
    // optimised: the columns in play are those that meet the conditions, the
    // developed file holds them alone, every kept column is one of them, and
    // every one of them shares t numbers with a kept column, by brute force.
    void guaranteeHoldsOverTheColumnsInPlay_data()
    {
        QTest::addColumn<bool>("optimised");
        QTest::newRow("greedy") << false;
        QTest::newRow("optimised") << true;
    }
    void guaranteeHoldsOverTheColumnsInPlay()
    {
        QFETCH(bool, optimised);
        QRandomGenerator random(optimised ? 1812 : 18);
        int cases = 0;
        while (cases < 30) {
            const Grid grid = cases == 0 ? mediumGrid()
                : cases == 1             ? disjointThreeGrid()
                                         : randomGrid(random, 3);
            const std::vector<ColumnMask> developed = developColumns(grid).masks;
            if (developed.empty())
                continue;
            ++cases;
            const Conditions conditions = randomConditions(random, developed);
            const int t = random.bounded(5, 8);
            const CalculationOptions options {
                .optimised = optimised, .optimisationWork = 2'000'000, .conditions = conditions
            };
            const auto result = calculateColumns(
                grid, static_cast<SystemType>(t), WorkFiles::standard(), nullptr, options);
            QVERIFY(result);

            std::vector<ColumnMask> inPlay;
            for (ColumnMask c : developed)
                if (std::all_of(conditions.begin(), conditions.end(),
                        [c](const Condition& k) { return meetsByHand(k, c); }))
                    inPlay.push_back(c);
            QCOMPARE(result->developedCount, qint64(developed.size()));
            QVERIFY(result->conditioned);
            QCOMPARE(result->inPlay, inPlay);
            QCOMPARE(readColumnMasks(developedWorkFile()).value(), inPlay);
            QCOMPARE(readColumnMasks(keptWorkFile()).value(), result->kept);

            const std::set<ColumnMask> playable(inPlay.begin(), inPlay.end());
            for (ColumnMask k : result->kept)
                QVERIFY(playable.contains(k));
            for (ColumnMask c : inPlay)
                QVERIFY(std::any_of(result->kept.begin(), result->kept.end(),
                    [&](ColumnMask k) { return commonNumbers(c, k) >= t; }));
            QVERIFY(result->guaranteeVerified);
        }
    }

    void noConditionsPlayEveryColumn()
    {
        const auto result = calculateColumns(mediumGrid(), SystemType::SeiPunti);
        QVERIFY(result);
        QVERIFY(!result->conditioned);
        QCOMPARE(result->inPlay, developColumns(mediumGrid()).masks);
    }
};

QTEST_GUILESS_MAIN(TestConditionedCalculation)
#include "test_conditioned_calculation.moc"
