#include "paired_boxes.h"

#include "paired_boxes_covers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <span>
#include <vector>

namespace ottavario {

namespace {
    // The stored columns use a numbering of their own: pair g holds bits 8g
    // to 8g + 7, its two shared numbers, then the 3 of its first box, then
    // the 3 of its second.
    constexpr int kPairs = 4;
    constexpr int kPairNumbers = 8;
    constexpr int kPairParts = 22; // 5 x 5 choices less the two shared numbers taken twice

    using Permutation = std::array<int, 32>; // bit -> bit

    ColumnMask permuted(const Permutation& p, ColumnMask column)
    {
        ColumnMask out = 0;
        for (ColumnMask m = column; m; m &= m - 1)
            out |= ColumnMask(1) << p[static_cast<size_t>(std::countr_zero(m))];
        return out;
    }

    struct StoredCover {
        int threshold;
        std::span<const ColumnMask> columns;
    };

    constexpr std::array<StoredCover, 3> kStored { {
        { 7, paired::kSevenPoints },
        { 6, paired::kSixPoints },
        { 5, paired::kFivePoints },
    } };

    // Where each bit of the stored numbering lies in the grid, when every
    // group of numbers is a pair of boxes sharing 2 numbers with 3 of their own.
    std::optional<Permutation> placesOf(const std::vector<NumberGroup>& groups)
    {
        if (groups.size() != size_t(kPairs))
            return std::nullopt;
        Permutation place {};
        for (int g = 0; g < kPairs; ++g) {
            const NumberGroup& group = groups[static_cast<size_t>(g)];
            if (std::popcount(group.numbers) != kPairNumbers
                || group.parts.size() != size_t(kPairParts))
                return std::nullopt;
            // A shared number lies in 7 parts, an own number in 5.
            ColumnMask shared = 0, own = 0;
            for (ColumnMask m = group.numbers; m; m &= m - 1) {
                const ColumnMask bit = m & (~m + 1);
                const auto holding = std::count_if(group.parts.begin(), group.parts.end(),
                    [&](ColumnMask part) { return (part & bit) != 0; });
                (holding == 7 ? shared : own) |= bit;
            }
            if (std::popcount(shared) != 2)
                return std::nullopt;
            // The own numbers of one box never meet in a part.
            const ColumnMask first = own & (~own + 1);
            ColumnMask firstBox = first;
            for (ColumnMask m = own & ~first; m; m &= m - 1)
                if (std::find(group.parts.begin(), group.parts.end(), first | (m & (~m + 1)))
                    == group.parts.end())
                    firstBox |= m & (~m + 1);
            const ColumnMask secondBox = own & ~firstBox;
            if (std::popcount(firstBox) != 3 || std::popcount(secondBox) != 3)
                return std::nullopt;
            int slot = kPairNumbers * g;
            for (ColumnMask part : { shared, firstBox, secondBox })
                for (ColumnMask m = part; m; m &= m - 1)
                    place[static_cast<size_t>(slot++)] = std::countr_zero(m);
            // Then the parts are exactly one number of each box, twice the same never.
            std::vector<ColumnMask> expected;
            for (ColumnMask a = shared | firstBox; a; a &= a - 1)
                for (ColumnMask b = shared | secondBox; b; b &= b - 1)
                    if ((a & (~a + 1)) != (b & (~b + 1)))
                        expected.push_back((a & (~a + 1)) | (b & (~b + 1)));
            std::sort(expected.begin(), expected.end());
            expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
            std::vector<ColumnMask> parts = group.parts;
            std::sort(parts.begin(), parts.end());
            if (parts != expected)
                return std::nullopt;
        }
        return place;
    }
}

std::vector<ColumnMask> pairedBoxesCover(const std::vector<NumberGroup>& groups, int threshold)
{
    const auto stored = std::find_if(kStored.begin(), kStored.end(),
        [&](const StoredCover& s) { return s.threshold == threshold; });
    if (stored == kStored.end())
        return {};
    const std::optional<Permutation> place = placesOf(groups);
    if (!place)
        return {};
    std::vector<ColumnMask> cover(stored->columns.begin(), stored->columns.end());
    for (ColumnMask& column : cover)
        column = permuted(*place, column);
    return cover;
}

} // namespace ottavario
