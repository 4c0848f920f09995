#include "structured_seeds.h"

#include "cover_search.h"
#include "linear_cover.h"
#include "paired_boxes.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <map>
#include <numeric>

namespace ottavario {

namespace {
    // A cover of columns by the greedy and a short search, as masks.
    std::vector<ColumnMask> smallCover(std::vector<ColumnMask> columns, int threshold, qint64 work,
        const std::atomic<bool>* stop, qint64& used)
    {
        const int size = std::popcount(columns.front());
        if (threshold <= 0)
            return { columns.front() };
        if (threshold >= size)
            return columns;
        const CoverProblem problem(std::move(columns), threshold);
        StepMeter meter(work, stop, nullptr);
        qsizetype floor = 1;
        std::vector<int> cover = greedyCover(problem, meter, nullptr, floor);
        if (!cover.empty()) {
            std::vector<int> better = improveCover(problem, cover, 1, floor, meter);
            if (!better.empty())
                cover = std::move(better);
        }
        used += meter.used();
        std::vector<ColumnMask> out;
        for (int c : cover)
            out.push_back(problem.column(c));
        return out;
    }
}

std::vector<int> productSeed(const CoverProblem& problem, std::vector<NumberGroup> groups,
    qint64 work, const std::atomic<bool>* stop, qint64& used)
{
    ColumnMask fixed = 0;
    std::erase_if(groups, [&](const NumberGroup& g) {
        if (g.parts.size() > 1)
            return false;
        fixed |= g.numbers;
        return true;
    });
    const int q = static_cast<int>(groups.size());
    if (q < 2 || q > 12)
        return {};

    struct Split {
        double balance;
        quint32 first; // groups in the first half, as bits
    };
    std::vector<Split> splits;
    for (quint32 g = 1; g < (quint32(1) << (q - 1)); ++g) {
        double logA = 0, logB = 0;
        for (int i = 0; i < q; ++i)
            (g >> i & 1 ? logA : logB)
                += std::log(static_cast<double>(groups[static_cast<size_t>(i)].parts.size()));
        splits.push_back({ std::abs(logA - logB), g });
    }
    std::sort(splits.begin(), splits.end(), [](const Split& a, const Split& b) {
        return a.balance != b.balance ? a.balance < b.balance : a.first < b.first;
    });

    constexpr size_t kSplitsTried = 3;
    constexpr size_t kLargestHalf = 20000;
    const int radius = problem.columnSize() - problem.threshold();
    std::map<std::pair<ColumnMask, int>, std::vector<ColumnMask>> covers;
    auto coverOf = [&](ColumnMask numbers, int r) -> const std::vector<ColumnMask>& {
        auto [it, fresh] = covers.try_emplace({ numbers, r });
        if (fresh) {
            std::vector<ColumnMask> parts;
            parts.reserve(problem.columns().size());
            for (ColumnMask c : problem.columns())
                parts.push_back(c & numbers);
            parts = distinctInOrder(parts);
            const int size = std::popcount(numbers & problem.columns().front());
            it->second = smallCover(std::move(parts), size - r, work, stop, used);
        }
        return it->second;
    };

    std::vector<std::pair<std::vector<size_t>, std::vector<size_t>>> shapes;
    std::vector<ColumnMask> bestA, bestB;
    size_t bestSize = SIZE_MAX;
    size_t tried = 0;
    for (const Split& split : splits) {
        if (tried == kSplitsTried)
            break;
        ColumnMask numbersA = fixed, numbersB = 0;
        size_t sizeA = 1, sizeB = 1;
        std::vector<size_t> shapeA, shapeB;
        for (int i = 0; i < q; ++i) {
            const NumberGroup& g = groups[static_cast<size_t>(i)];
            const bool inA = split.first >> i & 1;
            (inA ? numbersA : numbersB) |= g.numbers;
            (inA ? sizeA : sizeB) *= g.parts.size();
            (inA ? shapeA : shapeB).push_back(g.parts.size());
        }
        if (std::max(sizeA, sizeB) > kLargestHalf)
            continue;
        // Splits of the same shape give covers of the same size.
        std::sort(shapeA.begin(), shapeA.end());
        std::sort(shapeB.begin(), shapeB.end());
        if (shapeB < shapeA)
            std::swap(shapeA, shapeB);
        if (std::find(shapes.begin(), shapes.end(), std::pair(shapeA, shapeB)) != shapes.end())
            continue;
        shapes.emplace_back(shapeA, shapeB);
        ++tried;
        const int sizeOfA = std::popcount(numbersA & problem.columns().front());
        for (int r = std::max(0, radius - (problem.columnSize() - sizeOfA));
             r <= std::min(radius, sizeOfA); ++r) {
            const std::vector<ColumnMask>& a = coverOf(numbersA, r);
            const std::vector<ColumnMask>& b = coverOf(numbersB, radius - r);
            if (a.size() * b.size() < bestSize) {
                bestSize = a.size() * b.size();
                bestA = a;
                bestB = b;
            }
        }
    }
    if (bestSize == SIZE_MAX || bestSize > static_cast<size_t>(problem.count()))
        return {};
    std::vector<ColumnMask> product;
    product.reserve(bestSize);
    for (ColumnMask a : bestA)
        for (ColumnMask b : bestB)
            product.push_back(a | b);
    return problem.indicesOf(product);
}

std::vector<int> linearSeed(
    const CoverProblem& problem, const std::vector<NumberGroup>& groups, qint64 work, qint64& used)
{
    if (groups.size() != size_t(kColumnSize))
        return {};
    const size_t q = groups.front().parts.size();
    for (const NumberGroup& g : groups)
        if (g.parts.size() != q || std::popcount(g.numbers) != static_cast<int>(q))
            return {};
    const int radius = problem.columnSize() - problem.threshold();
    const std::vector<quint32> words
        = linearCoveringCode(static_cast<int>(q), kColumnSize, radius, work, &used);
    std::vector<ColumnMask> columns;
    columns.reserve(words.size());
    for (quint32 word : words) {
        ColumnMask column = 0;
        for (const NumberGroup& g : groups) {
            column |= g.parts[word % q];
            word /= static_cast<quint32>(q);
        }
        columns.push_back(column);
    }
    return problem.indicesOf(columns);
}

std::vector<int> storedSeed(const CoverProblem& problem, const std::vector<NumberGroup>& groups)
{
    return problem.indicesOf(pairedBoxesCover(groups, problem.threshold()));
}

} // namespace ottavario
