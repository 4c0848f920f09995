// Times the two win tables of the largest reference grid at every system type:
// the subset counts, the table over the developed columns and the table over
// every winning column, on one and on two threads. The baseline compares each
// winner with every kept column; it is timed on a sample of winners and scaled
// to the whole set, and the sample's prizes must agree with the tables' counts.
//
//   bench_wins [winners in the baseline's sample, default 3000]

#include "bench_timing.h"

#include "engine/development.h"
#include "engine/engine_grids.h"
#include "engine/reduction.h"
#include "wins/win_table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace ottavario;
using bench::bestOf;

namespace {

Prizes byComparison(const std::vector<ColumnMask>& kept, ColumnMask winning)
{
    Prizes p;
    for (ColumnMask column : kept) {
        const int points = commonNumbers(column, winning);
        p.eight += points == 8;
        p.seven += points == 7;
        p.six += points == 6;
    }
    return p;
}

ColumnMask randomWinner(std::mt19937& random)
{
    ColumnMask m = 0;
    while (std::popcount(m) < kColumnSize)
        m |= ColumnMask(1) << (random() % 32);
    return m;
}

} // namespace

int main(int argc, char** argv)
{
    const int sample = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3000;
    const DevelopedColumns developed = developColumns(testing::largestGrid());
    const std::vector<ColumnMask> winners = distinctColumns(developed.masks);
    std::printf("largest grid: %lld developed columns, %zu distinct winners of table a, "
                "%lld of table b\n",
        static_cast<long long>(developed.count()), winners.size(),
        static_cast<long long>(kEveryWinningColumn));
    std::printf("%-6s %8s %9s %9s %9s %9s %9s %11s %11s %8s %8s\n", "t", "kept", "counts", "a",
        "b 2thr", "b 1thr", "total", "base a", "base b", "ratio a", "ratio b");

    bool agree = true;
    std::mt19937 random(2026);
    for (int t : { 8, 7, 6, 5 }) {
        const std::vector<ColumnMask> kept = reduceColumns(developed.masks, t);
        std::unique_ptr<WinCounter> counter;
        const double countsSeconds
            = bestOf(3, [&] { counter = std::make_unique<WinCounter>(kept); });
        WinTable own;
        const double ownSeconds = bestOf(3, [&] { own = counter->over(winners); });
        WinTable every;
        const double everySeconds = bestOf(3, [&] { every = counter->overEveryWinningColumn(2); });
        WinTable single;
        const double singleSeconds
            = bestOf(1, [&] { single = counter->overEveryWinningColumn(1); });
        agree = agree && single == every && every.winners == kEveryWinningColumn;

        // The baseline on a sample, checked against the counts on the way.
        std::vector<ColumnMask> ownSample, everySample;
        for (int i = 0; i < sample; ++i) {
            ownSample.push_back(winners[random() % winners.size()]);
            everySample.push_back(randomWinner(random));
        }
        auto baseline = [&](const std::vector<ColumnMask>& sampled) {
            Prizes total;
            const double seconds = bestOf(1, [&] {
                for (ColumnMask w : sampled) {
                    const Prizes p = byComparison(kept, w);
                    agree = agree && p == counter->prizesOf(w);
                    total.six += p.six;
                }
            });
            return seconds / double(sampled.size());
        };
        const double ownBase = baseline(ownSample) * double(winners.size());
        const double everyBase = baseline(everySample) * double(kEveryWinningColumn);
        const double total = countsSeconds + ownSeconds + everySeconds;
        std::printf("%-6s %8zu %7.1fms %7.1fms %7.1fms %7.1fms %7.1fms %10.1fs %10.1fs %7.0fx "
                    "%7.0fx\n",
            t == 8       ? "integr"
                : t == 7 ? "7"
                : t == 6 ? "6"
                         : "5",
            kept.size(), countsSeconds * 1e3, ownSeconds * 1e3, everySeconds * 1e3,
            singleSeconds * 1e3, total * 1e3, ownBase, everyBase,
            ownBase / (countsSeconds + ownSeconds), everyBase / (countsSeconds + everySeconds));
        std::printf("       table a: %zu rows, guarantee %d; table b: %zu rows, P(8) %.5f%% "
                    "P(7) %.4f%% P(6) %.3f%%\n",
            own.rows.size(), own.guarantee, every.rows.size(),
            100 * every.share(every.atLeastOne[0]), 100 * every.share(every.atLeastOne[1]),
            100 * every.share(every.atLeastOne[2]));
    }
    std::printf("baseline scaled from %d sampled winners; counts and comparisons %s\n", sample,
        agree ? "agree" : "DIFFER");
    return agree ? 0 : 1;
}
