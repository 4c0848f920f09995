#include "number_groups.h"

#include "cover_problem.h"

#include <array>
#include <numeric>

namespace ottavario {

std::vector<NumberGroup> independentGroups(const std::vector<ColumnMask>& columns)
{
    const qint64 m = static_cast<qint64>(columns.size());
    std::array<qint64, 32> alone {};
    std::array<std::array<qint64, 32>, 32> together {};
    for (ColumnMask c : columns)
        for (ColumnMask a = c; a; a &= a - 1) {
            const int i = std::countr_zero(a);
            ++alone[static_cast<size_t>(i)];
            for (ColumnMask b = a & (a - 1); b; b &= b - 1)
                ++together[static_cast<size_t>(i)][static_cast<size_t>(std::countr_zero(b))];
        }
    std::array<int, 32> root {};
    std::iota(root.begin(), root.end(), 0);
    auto find = [&](int x) {
        while (root[static_cast<size_t>(x)] != x)
            x = root[static_cast<size_t>(x)]
                = root[static_cast<size_t>(root[static_cast<size_t>(x)])];
        return x;
    };
    const ColumnMask universe = universeOf(columns);
    for (int i = 0; i < 32; ++i)
        for (int j = i + 1; j < 32; ++j)
            if ((universe >> i & 1) && (universe >> j & 1)
                && together[static_cast<size_t>(i)][static_cast<size_t>(j)] * m
                    != alone[static_cast<size_t>(i)] * alone[static_cast<size_t>(j)])
                root[static_cast<size_t>(find(j))] = find(i);

    std::vector<NumberGroup> groups;
    std::array<int, 32> groupOf {};
    groupOf.fill(-1);
    for (int i = 0; i < 32; ++i) {
        if (!(universe >> i & 1))
            continue;
        int& g = groupOf[static_cast<size_t>(find(i))];
        if (g < 0) {
            g = static_cast<int>(groups.size());
            groups.emplace_back();
        }
        groups[static_cast<size_t>(g)].numbers |= ColumnMask(1) << i;
    }
    double combinations = 1;
    for (NumberGroup& group : groups) {
        std::vector<ColumnMask> parts;
        parts.reserve(columns.size());
        const int size = std::popcount(columns.front() & group.numbers);
        for (ColumnMask c : columns) {
            if (std::popcount(c & group.numbers) != size)
                return {};
            parts.push_back(c & group.numbers);
        }
        group.parts = distinctInOrder(parts);
        combinations *= static_cast<double>(group.parts.size());
    }
    if (combinations != static_cast<double>(m))
        return {};
    return groups;
}

} // namespace ottavario
