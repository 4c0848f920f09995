#include "wins/win_table.h"

#include "engine/development.h"
#include "engine/engine_grids.h"
#include "engine/reduction.h"
#include "support/columns.h"

#include <QTest>

#include <map>
#include <unordered_map>

using namespace ottavario;
using namespace ottavario::testing;

Q_DECLARE_METATYPE(ottavario::Grid)
Q_DECLARE_METATYPE(std::vector<ottavario::ColumnMask>)

namespace {

// The tables the plain way: every winner against every kept column.
struct BruteForce {
    std::vector<std::pair<ColumnMask, qint64>> kept; // distinct columns with their repeats

    explicit BruteForce(const std::vector<ColumnMask>& columns)
    {
        std::map<ColumnMask, qint64> counted;
        for (ColumnMask c : columns)
            ++counted[c];
        kept.assign(counted.begin(), counted.end());
    }

    Prizes prizesOf(ColumnMask winning, int* best = nullptr) const
    {
        Prizes p;
        int most = 0;
        for (const auto& [column, times] : kept) {
            const int points = commonNumbers(column, winning);
            most = std::max(most, points);
            p.eight += points == 8 ? times : 0;
            p.seven += points == 7 ? times : 0;
            p.six += points == 6 ? times : 0;
        }
        if (best)
            *best = most;
        return p;
    }

    static WinTable tableOf(const std::map<Prizes, qint64>& counted)
    {
        WinTable table;
        for (auto it = counted.rbegin(); it != counted.rend(); ++it) {
            const auto& [p, n] = *it;
            table.rows.push_back({ p, n });
            table.winners += n;
            table.atLeastOne[0] += p.eight ? n : 0;
            table.atLeastOne[1] += p.seven ? n : 0;
            table.atLeastOne[2] += p.six ? n : 0;
            table.prizeColumns += (p.eight + p.seven + p.six) * n;
        }
        return table;
    }

    WinTable over(const std::vector<ColumnMask>& winners) const
    {
        std::map<Prizes, qint64> counted;
        int guarantee = 8;
        for (ColumnMask w : distinctColumns(winners)) {
            int best = 0;
            ++counted[prizesOf(w, &best)];
            guarantee = std::min(guarantee, best);
        }
        WinTable table = tableOf(counted);
        table.guarantee = table.winners ? guarantee : -1;
        return table;
    }

    // Every set of 8 numbers from 1 to 32, in mask order.
    WinTable overEveryWinningColumn() const
    {
        std::unordered_map<quint64, qint64> counted;
        for (ColumnMask w = 0xFF;;) {
            const Prizes p = prizesOf(w);
            ++counted[quint64(p.eight) << 42 | quint64(p.seven) << 21 | quint64(p.six)];
            if (w == 0xFF00'0000u)
                break;
            const ColumnMask low = w & (~w + 1);
            const ColumnMask ripple = w + low;
            w = ripple | (((w ^ ripple) >> 2) / low);
        }
        std::map<Prizes, qint64> sorted;
        for (const auto& [key, n] : counted)
            sorted[{ qint64(key >> 42), qint64(key >> 21 & 0x1F'FFFF), qint64(key & 0x1F'FFFF) }]
                = n;
        return tableOf(sorted);
    }
};

std::vector<ColumnMask> repeated(ColumnMask column, int times)
{
    return std::vector<ColumnMask>(size_t(times), column);
}

} // namespace

class TestWinTable : public QObject {
    Q_OBJECT
private slots:
    void ownColumnsAsWinners_data()
    {
        QTest::addColumn<Grid>("grid");
        QTest::addColumn<std::vector<ColumnMask>>("kept");
        const Grid medium = mediumGrid();
        const auto developed = developColumns(medium).masks;
        for (int t : { 8, 7, 6, 5 })
            QTest::addRow("medium t=%d", t) << medium << reduceColumns(developed, t);
        // Random grids with overlapping boxes, reduced at every type.
        QRandomGenerator random(17);
        for (int i = 0; i < 24; ++i) {
            const Grid grid = randomGrid(random, 3);
            QTest::addRow("random %d t=%d", i, 5 + i % 4)
                << grid << reduceColumns(developColumns(grid).masks, 5 + i % 4);
        }
        // A column file need not come from its grid, nor hold each set once.
        std::vector<ColumnMask> foreign = reduceColumns(developed, 6);
        foreign.insert(
            foreign.end(), { column({ 1, 2, 3, 4, 5, 6, 7, 8 }), foreign[0], foreign[0] });
        QTest::newRow("repeats and a foreign column") << medium << foreign;
        QTest::newRow("no columns kept") << medium << std::vector<ColumnMask> {};
        // A 6-set held by 1,200 columns: counts past 16 bits.
        std::vector<ColumnMask> crowded = repeated(developed[0], 1200);
        crowded.push_back(developed[5]);
        QTest::newRow("a column kept 1,200 times") << medium << crowded;
    }

    void ownColumnsAsWinners()
    {
        QFETCH(Grid, grid);
        QFETCH(std::vector<ColumnMask>, kept);
        const auto winners = developColumns(grid).masks;
        QCOMPARE(WinCounter(kept).over(winners), BruteForce(kept).over(winners));
    }

    void everyWinningColumn_data()
    {
        QTest::addColumn<std::vector<ColumnMask>>("kept");
        QTest::newRow("medium at 5 points") << reduceColumns(developColumns(mediumGrid()).masks, 5);
        QTest::newRow("neighbours, a repeat and the last numbers")
            << std::vector<ColumnMask> { column({ 1, 2, 3, 4, 5, 6, 7, 8 }),
                   column({ 1, 2, 3, 4, 5, 6, 7, 9 }), column({ 1, 2, 3, 4, 5, 6, 10, 11 }),
                   column({ 1, 2, 3, 4, 5, 6, 10, 11 }),
                   column({ 25, 26, 27, 28, 29, 30, 31, 32 }) };
        std::vector<ColumnMask> crowded = repeated(column({ 3, 7, 12, 15, 19, 24, 28, 31 }), 1200);
        crowded.push_back(column({ 3, 7, 12, 15, 19, 24, 30, 32 }));
        QTest::newRow("a column kept 1,200 times") << crowded;
    }

    void everyWinningColumn()
    {
        QFETCH(std::vector<ColumnMask>, kept);
        const WinCounter counter(kept);
        const WinTable table = counter.overEveryWinningColumn(2);
        QCOMPARE(table, BruteForce(kept).overEveryWinningColumn());
        // However the walk is shared out, the table is the same.
        QCOMPARE(counter.overEveryWinningColumn(1), table);
    }

    void everyKeptColumnPaysItsShare()
    {
        // Each kept column scores 8 with one winner, 7 with 8 x 24 and 6
        // with 28 x C(24, 2): whatever the system, the prize columns over
        // every winner add up to 7,921 a kept column.
        const auto developed = developColumns(largestGrid()).masks;
        const auto kept = reduceColumns(developed, 6);
        const WinTable table = WinCounter(kept).overEveryWinningColumn();
        QCOMPARE(table.winners, kEveryWinningColumn);
        QCOMPARE(table.prizeColumns, qint64(kept.size()) * 7921);
        QCOMPARE(table.atLeastOne[0], qint64(kept.size()));
    }
};

QTEST_GUILESS_MAIN(TestWinTable)
#include "test_win_table.moc"
