// Times what the live count of the columns in play costs on the reference
// grids, against the development every calculation already does (with its
// work-file records): the main window recounts on every change of the grid,
// the conditions window on every key typed into a condition.
//
//   bench_conditions [runs per case, default 20]

#include "bench_timing.h"

#include "core/conditions.h"
#include "engine/development.h"
#include "engine/engine_grids.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace ottavario;

namespace {

template <typename F> double bestMs(int runs, F&& f) { return bench::bestOf(runs, f) * 1000; }

// The conditions a player would type: a group, a sum, the odd numbers and the
// consecutive pairs, then the twenty the file allows.
Conditions conditionsOf(int count)
{
    const QStringList lines
        = { QStringLiteral("numeri 1 5 9 12 da 1 a 2"), QStringLiteral("somma da 100 a 160"),
              QStringLiteral("dispari da 3 a 5"), QStringLiteral("consecutivi da 0 a 2") };
    Conditions conditions;
    for (int i = 0; i < count; ++i)
        conditions.push_back(*parseConditionLine(lines[i % lines.size()]));
    return conditions;
}

}

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    struct Case {
        const char* name;
        Grid grid;
    };
    const Case cases[] = { { "largest", testing::largestGrid() },
        { "disjoint 4",
            testing::gridOfNumbers({ { { 1, 2, 3, 4 }, { 5, 6, 7, 8 }, { 9, 10, 11, 12 },
                { 13, 14, 15, 16 }, { 17, 18, 19, 20 }, { 21, 22, 23, 24 }, { 25, 26, 27, 28 },
                { 29, 30, 31, 32 } } }) },
        { "medium", testing::mediumGrid() } };
    std::printf("%-11s %9s %9s | %11s %11s %11s %11s | ratio to baseline\n", "grid", "columns",
        "in play", "develop ms", "masks ms", "4 cond ms", "20 cond ms");
    for (const Case& c : cases) {
        const double baseline = bestMs(runs, [&] { (void)developColumns(c.grid); });
        const double masks = bestMs(runs, [&] { (void)developMasks(c.grid); });
        const std::vector<ColumnMask> developed = developMasks(c.grid);
        const Conditions four = conditionsOf(4);
        const Conditions twenty = conditionsOf(20);
        qsizetype inPlay = 0;
        const double count4 = bestMs(runs, [&] { inPlay = countInPlay(developed, four); });
        const double count20 = bestMs(runs, [&] { (void)countInPlay(developed, twenty); });
        std::printf("%-11s %9zu %9lld | %11.2f %11.2f %11.2f %11.2f | masks %.2f, masks+4 "
                    "%.2f, 4 cond %.2f\n",
            c.name, developed.size(), static_cast<long long>(inPlay), baseline, masks, count4,
            count20, masks / baseline, (masks + count4) / baseline, count4 / baseline);
    }
    return 0;
}
