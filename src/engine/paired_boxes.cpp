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

    // A symmetry of the grid: in each pair the own numbers of each box turn
    // round, the shared numbers may swap and so may the boxes; then pair g
    // moves to pair g + shift.
    struct PairMove {
        int firstTurn = 0;
        int secondTurn = 0;
        bool swapShared = false;
        bool swapBoxes = false;
    };
    struct Symmetry {
        int shift = 0;
        std::array<PairMove, kPairs> pairs {};
    };

    constexpr Symmetry everyPair(PairMove move) { return { 0, { move, move, move, move } }; }

    Permutation permutationOf(const Symmetry& symmetry)
    {
        Permutation p {};
        for (int g = 0; g < kPairs; ++g) {
            const PairMove& move = symmetry.pairs[static_cast<size_t>(g)];
            const int from = kPairNumbers * g;
            const int to = kPairNumbers * ((g + symmetry.shift) % kPairs);
            for (int s = 0; s < 2; ++s)
                p[static_cast<size_t>(from + s)] = to + (move.swapShared ? 1 - s : s);
            for (int j = 0; j < 3; ++j) {
                const int first = 2 + (j + move.firstTurn) % 3;
                const int second = 5 + (j + move.secondTurn) % 3;
                p[static_cast<size_t>(from + 2 + j)] = to + (move.swapBoxes ? second : first);
                p[static_cast<size_t>(from + 5 + j)] = to + (move.swapBoxes ? first : second);
            }
        }
        return p;
    }

    ColumnMask permuted(const Permutation& p, ColumnMask column)
    {
        ColumnMask out = 0;
        for (ColumnMask m = column; m; m &= m - 1)
            out |= ColumnMask(1) << p[static_cast<size_t>(std::countr_zero(m))];
        return out;
    }

    struct StoredCover {
        int threshold;
        std::span<const Symmetry> symmetries;
        std::span<const ColumnMask> representatives;
    };

    // A group of order 48: the own numbers turned, the shared ones swapped,
    // the pairs shifted, the boxes swapped, all pairs alike.
    constexpr std::array<Symmetry, 4> kAlike { {
        everyPair({ 1, 1, false, false }),
        everyPair({ 0, 0, true, false }),
        { 1, {} },
        everyPair({ 0, 0, false, true }),
    } };

    // Without symmetries the representatives are the whole set.
    constexpr std::array<StoredCover, 3> kStored { {
        { 7, {}, paired::kSevenPoints },
        { 6, kAlike, paired::kSixPoints },
        { 5, {}, paired::kFivePoints },
    } };

    // Every column the symmetries reach from the representatives.
    std::vector<ColumnMask> orbitsOf(
        std::span<const ColumnMask> representatives, std::span<const Symmetry> symmetries)
    {
        std::vector<Permutation> generators;
        for (const Symmetry& s : symmetries)
            generators.push_back(permutationOf(s));
        std::vector<ColumnMask> all(representatives.begin(), representatives.end());
        std::vector<ColumnMask> seen = all;
        std::sort(seen.begin(), seen.end());
        for (size_t next = 0; next < all.size(); ++next)
            for (const Permutation& g : generators) {
                const ColumnMask image = permuted(g, all[next]);
                const auto at = std::lower_bound(seen.begin(), seen.end(), image);
                if (at == seen.end() || *at != image) {
                    seen.insert(at, image);
                    all.push_back(image);
                }
            }
        return all;
    }

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
    std::vector<ColumnMask> cover = orbitsOf(stored->representatives, stored->symmetries);
    for (ColumnMask& column : cover)
        column = permuted(*place, column);
    return cover;
}

} // namespace ottavario
