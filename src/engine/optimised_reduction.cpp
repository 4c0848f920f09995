#include "optimised_reduction.h"

#include "cover_problem.h"
#include "cover_search.h"
#include "helper_thread.h"
#include "reduction.h"
#include "step_meter.h"
#include "structured_seeds.h"

#include <algorithm>

namespace ottavario {

std::vector<ColumnMask> optimiseReduction(
    std::span<const ColumnMask> developed, int threshold, const OptimisationOptions& options)
{
    std::vector<ColumnMask> classic = reduceColumns(developed, threshold);
    const qint64 work = std::max<qint64>(options.work, 1);
    auto finished = [&] {
        if (options.progress)
            options.progress(work, work);
    };
    const bool eightEach = std::all_of(developed.begin(), developed.end(),
        [](ColumnMask m) { return std::popcount(m) == kColumnSize; });
    if (threshold <= 0 || threshold >= kColumnSize || !eightEach || classic.size() <= 1) {
        finished();
        return classic;
    }

    const CoverProblem problem(distinctInOrder(developed), threshold);
    // Small grids settle long before the bound: they get a share that grows
    // with their columns.
    constexpr qint64 kStepsPerColumn = 50'000;
    constexpr qint64 kLeastBound = 20'000'000;
    const qint64 bound = std::min(work, std::max(kLeastBound, kStepsPerColumn * problem.count()));

    // The greedy and the seeds count against the bound of the first search;
    // the progress follows that one. The greedy takes about ten times the
    // steps of its first gains, and its share of the progress is its share of
    // the steps the whole run is expected to take.
    StepMeter first(bound, options.stop, &options.progress);
    first.setTotal(work);
    const double greedySteps
        = 10.0 * double(problem.count()) * double(gainSteps(kColumnSize, threshold));
    const double searchSteps = std::max(double(bound) - greedySteps, double(bound) / 4);
    const double greedyShare = std::clamp(greedySteps / (greedySteps + searchSteps), 0.02, 0.9);
    first.spanShare(0, greedyShare);
    HelperThread helper(options.threads >= 2);
    qsizetype floor = 1;
    const std::vector<int> greedy = greedyCover(problem, first, &helper, floor);
    if (greedy.empty()) {
        finished();
        return classic;
    }
    std::vector<int> start = problem.indicesOf(classic);
    if (start.empty() || greedy.size() < start.size())
        start = greedy;

    // Seeds are small searches: even a short bound lets them finish.
    constexpr qint64 kLeastSeedWork = 1'000'000;
    // The second search starts from the smallest seed when one is no larger
    // than the greedy: a tight code the swaps seldom improve on.
    std::vector<int> startB = start;
    if (!first.stopped()) {
        qint64 seedWork = 0;
        const std::vector<NumberGroup> groups = independentGroups(problem.columns());
        std::vector<int> product = productSeed(
            problem, groups, std::max(bound / 256, kLeastSeedWork), options.stop, seedWork);
        std::vector<int> linear
            = linearSeed(problem, groups, std::max(bound / 8, 4 * kLeastSeedWork), seedWork);
        std::vector<int> stored = storedSeed(problem, groups);
        first.use(seedWork);
        for (std::vector<int>* seed : { &product, &linear, &stored })
            if (!seed->empty() && seed->size() <= startB.size())
                startB = std::move(*seed);
    }

    // Both searches get the same bound, whatever the other one does.
    const qint64 searchWork = std::max(bound - first.used(), bound / 4);
    first.setLimit(first.used() + searchWork);
    first.spanSteps(greedyShare, 1);
    std::vector<int> bestA, bestB;
    helper.both([&](int which) {
        if (which == 0) {
            bestA = improveCover(problem, start, 1, floor, first);
        } else {
            StepMeter second(searchWork, options.stop, nullptr);
            bestB = improveCover(problem, startB, 2, floor, second);
        }
    });
    // A seed counts only once a search has seen it cover.
    std::vector<int> best = start;
    for (const std::vector<int>* found : { &bestA, &bestB })
        if (!found->empty() && found->size() < best.size())
            best = *found;
    finished();
    if (best.size() >= classic.size())
        return classic;
    std::sort(best.begin(), best.end());
    std::vector<ColumnMask> kept;
    kept.reserve(best.size());
    for (int c : best)
        kept.push_back(problem.column(c));
    return kept;
}

} // namespace ottavario
