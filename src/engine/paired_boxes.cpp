#include "paired_boxes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <span>

namespace ottavario {

namespace {
    // The stored columns use a numbering of their own: pair g holds bits 8g
    // to 8g + 7, its two shared numbers, then the 3 of its first box, then
    // the 3 of its second.
    constexpr int kPairs = 4;
    constexpr int kPairNumbers = 8;
    constexpr int kPairParts = 22; // 5 x 5 choices less the two shared numbers taken twice

    using Permutation = std::array<int, 32>; // bit -> bit

    // Symmetries of the grid, as the stored sets name them.
    enum Symmetry : unsigned {
        RotateOwn = 1, // the own numbers of every box, one place round
        SwapShared = 2, // the two shared numbers of every pair
        ShiftPairs = 4, // pair g to pair g + 1, the last to the first
        SwapBoxes = 8, // the own numbers of the first box with those of the second
    };

    Permutation permutationOf(Symmetry symmetry)
    {
        Permutation p {};
        for (int bit = 0; bit < 32; ++bit)
            p[static_cast<size_t>(bit)] = bit;
        auto cycle = [&](std::initializer_list<int> bits) {
            const std::vector<int> list(bits);
            for (size_t i = 0; i < list.size(); ++i)
                p[static_cast<size_t>(list[i])] = list[(i + 1) % list.size()];
        };
        for (int g = 0; g < kPairs; ++g) {
            const int b = kPairNumbers * g;
            switch (symmetry) {
            case RotateOwn:
                cycle({ b + 2, b + 3, b + 4 });
                cycle({ b + 5, b + 6, b + 7 });
                break;
            case SwapShared:
                cycle({ b, b + 1 });
                break;
            case ShiftPairs:
                for (int j = 0; j < kPairNumbers; ++j)
                    p[static_cast<size_t>(b + j)] = (b + j + kPairNumbers) % 32;
                break;
            case SwapBoxes:
                for (int j = 2; j < 5; ++j)
                    cycle({ b + j, b + j + 3 });
                break;
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
        unsigned symmetries;
        std::span<const ColumnMask> representatives;
    };

    // 1,152 columns for 6 points: 25 orbits of the group of order 48.
    constexpr std::array<ColumnMask, 25> kSixPoints { 0x06412221, 0x05502121, 0x30228421,
        0x50508821, 0x90882421, 0x09810a21, 0x41052121, 0x28882821, 0x24889021, 0x44242424,
        0x44884421, 0x90248424, 0x48228421, 0x06902103, 0x50214821, 0x21242103, 0x48124821,
        0x420a4121, 0x28220921, 0x09032103, 0x88482103, 0x50052221, 0x81244403, 0x88505021,
        0x82222121 };

    constexpr std::array<StoredCover, 1> kStored { {
        { 6, RotateOwn | SwapShared | ShiftPairs | SwapBoxes, kSixPoints },
    } };

    // Every column the symmetries reach from the representatives.
    std::vector<ColumnMask> orbitsOf(
        std::span<const ColumnMask> representatives, unsigned symmetries)
    {
        std::vector<Permutation> generators;
        for (Symmetry s : { RotateOwn, SwapShared, ShiftPairs, SwapBoxes })
            if (symmetries & s)
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
