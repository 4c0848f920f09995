// Kept columns of the optimised reduction against the greedy one, on the
// reference grids, for 7, 6 and 5 points.
// Usage: bench_optimised [work [threads [grid name]]]
#include "core/grid.h"
#include "engine/development.h"
#include "engine/guarantee.h"
#include "engine/optimised_reduction.h"
#include "engine/reduction.h"

#include <QElapsedTimer>
#include <QString>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace ottavario;

namespace {
double cpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct BenchGrid {
    const char* name;
    std::array<std::vector<int>, kBoxes> boxes;
    std::array<int, 3> bestKnown; // t = 7, 6, 5; 0 when none is known
};

Grid gridOf(const std::array<std::vector<int>, kBoxes>& boxes)
{
    Grid grid;
    for (int k = 0; k < kBoxes; ++k)
        for (size_t e = 0; e < boxes[k].size(); ++e)
            grid.entries[k][e] = QString::number(boxes[k][e]);
    return grid;
}

std::array<std::vector<int>, kBoxes> disjoint(int perBox)
{
    std::array<std::vector<int>, kBoxes> boxes;
    for (int k = 0; k < kBoxes; ++k)
        for (int i = 1; i <= perBox; ++i)
            boxes[k].push_back(perBox * k + i);
    return boxes;
}

const std::vector<BenchGrid>& grids()
{
    static const std::vector<BenchGrid> all {
        { "disjoint 3", disjoint(3), { 486, 81, 27 } },
        { "disjoint 4", disjoint(4), { 0, 0, 0 } },
        { "medium",
            { { { 1, 7, 26 }, { 8, 21, 27 }, { 3, 9, 28 }, { 2, 5 }, { 20, 22 }, { 18, 24 }, { 13 },
                { 19 } } },
            { 0, 8, 3 } },
        // Sizes 2 to 5, three numbers shared between boxes.
        { "mixed",
            { { { 1, 2, 3, 4 }, { 2, 5, 6 }, { 7, 8, 9, 10, 11 }, { 12, 13 }, { 13, 14, 15, 16 },
                { 17, 18, 19 }, { 20, 21, 22, 23, 24 }, { 24, 25, 26 } } },
            { 0, 0, 0 } },
        { "largest",
            { { { 1, 2, 3, 4, 5 }, { 1, 2, 6, 7, 8 }, { 9, 10, 11, 12, 13 }, { 9, 10, 14, 15, 16 },
                { 17, 18, 19, 20, 21 }, { 17, 18, 22, 23, 24 }, { 25, 26, 27, 28, 29 },
                { 25, 26, 30, 31, 32 } } },
            { 0, 0, 0 } },
    };
    return all;
}
}

int main(int argc, char** argv)
{
    OptimisationOptions options;
    if (argc > 1)
        options.work = std::atoll(argv[1]);
    if (argc > 2)
        options.threads = std::atoi(argv[2]);
    qint64 steps = 0;
    options.progress = [&](qint64 done, qint64) { steps = done; };

    std::printf("work bound %lld steps, %d thread(s)\n\n", static_cast<long long>(options.work),
        options.threads);
    std::printf("%-11s %8s %2s %8s %9s %6s %9s %9s %8s %7s %6s %9s %s\n", "grid", "columns", "t",
        "greedy", "optimised", "ratio", "greedy ms", "optim ms", "cpu ms", "x time", "known",
        "vs known", "guarantee");
    double totalSeconds = 0;
    qint64 totalSteps = 0;
    for (const BenchGrid& g : grids()) {
        if (argc > 3 && QByteArray(g.name) != argv[3])
            continue;
        const DevelopedColumns developed = developColumns(gridOf(g.boxes));
        for (int t = 7; t >= 5; --t) {
            QElapsedTimer clock;
            clock.start();
            const std::vector<ColumnMask> greedy = reduceColumns(developed.masks, t);
            const qint64 greedyNs = clock.nsecsElapsed();
            clock.restart();
            steps = 0;
            const double cpuBefore = cpuSeconds();
            const std::vector<ColumnMask> optimised
                = optimiseReduction(developed.masks, t, options);
            const qint64 optimisedNs = clock.nsecsElapsed();
            const double cpu = cpuSeconds() - cpuBefore;
            const bool holds = verifyGuarantee(developed.masks, optimised, t).holds()
                && verifyGuarantee(developed.masks, greedy, t).holds();
            const int known = g.bestKnown[static_cast<size_t>(7 - t)];
            char versus[16] = "-";
            if (known > 0)
                std::snprintf(versus, sizeof versus, "%+.1f%%",
                    100.0 * (double(optimised.size()) - known) / known);
            std::printf("%-11s %8lld %2d %8zu %9zu %6.3f %9.1f %9.1f %8.1f %7.0f %6s %9s %s\n",
                g.name, static_cast<long long>(developed.count()), t, greedy.size(),
                optimised.size(), double(optimised.size()) / double(greedy.size()), greedyNs / 1e6,
                optimisedNs / 1e6, cpu * 1e3,
                double(optimisedNs) / double(std::max<qint64>(greedyNs, 1)),
                known > 0 ? QByteArray::number(known).constData() : "-", versus,
                holds ? "verified" : "FAILED");
            std::fflush(stdout);
            // The bound counts the steps of one search; the other runs beside it.
            totalSeconds += cpu / std::max(options.threads, 1);
            totalSteps += steps;
        }
    }
    std::printf("\n%.0f steps per second of processor time for each search\n",
        double(totalSteps) / totalSeconds);
    return 0;
}
