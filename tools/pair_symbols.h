#pragma once

// The symbols of a pair of boxes (two boxes sharing 2 numbers, 3 of their own
// each) and the words they make, shared by the offline searches for covers of
// the grid of paired boxes. A column puts 2 of a pair's 8 numbers in play: one
// of 22 symbols; two symbols lose 2 minus their common numbers.

#include "core/column.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace ottavario::pairs {

constexpr int kSymbols = 22;
using Word = std::array<int, 4>;

struct Symbols {
    std::array<unsigned, kSymbols> set {}; // local bits: 0-1 shared, 2-4 first box, 5-7 second
    std::array<std::array<int, kSymbols>, kSymbols> loss {};
    // within[x][b]: the symbols at a loss of b or less from x (b up to 2).
    std::array<std::array<std::vector<int>, 3>, kSymbols> within;
    // at[x][d]: the symbols at a loss of exactly d from x.
    std::array<std::array<std::vector<int>, 3>, kSymbols> at;
    // close[x]: the symbols at a loss of 1 or less from x, as bits.
    std::array<unsigned, kSymbols> close {};

    Symbols()
    {
        int n = 0;
        for (int p : { 0, 1, 2, 3, 4 })
            for (int q : { 0, 1, 5, 6, 7 }) {
                const unsigned part = 1u << p | 1u << q;
                if (p != q && std::find(set.begin(), set.begin() + n, part) == set.begin() + n)
                    set[size_t(n++)] = part;
            }
        for (int a = 0; a < kSymbols; ++a)
            for (int b = 0; b < kSymbols; ++b) {
                const int d = 2 - std::popcount(set[size_t(a)] & set[size_t(b)]);
                loss[size_t(a)][size_t(b)] = d;
                at[size_t(a)][size_t(d)].push_back(b);
                for (int k = d; k <= 2; ++k)
                    within[size_t(a)][size_t(k)].push_back(b);
                if (d <= 1)
                    close[size_t(a)] |= 1u << b;
            }
    }
    int of(unsigned local) const
    {
        return int(std::find(set.begin(), set.end(), local) - set.begin());
    }
};

inline const Symbols& symbols()
{
    static const Symbols s;
    return s;
}

inline ColumnMask maskOf(const Word& w, int pairs)
{
    ColumnMask m = 0;
    for (int g = 0; g < pairs; ++g)
        m |= ColumnMask(symbols().set[size_t(w[size_t(g)])]) << (8 * g);
    return m;
}

inline Word wordOf(ColumnMask m, int pairs)
{
    Word w {};
    for (int g = 0; g < pairs; ++g)
        w[size_t(g)] = symbols().of((m >> (8 * g)) & 0xff);
    return w;
}

// Words of 4 pairs numbered as integers, pair g the digit of 22^g.
constexpr int kWords = kSymbols * kSymbols * kSymbols * kSymbols;

inline Word wordAt(int v)
{
    Word w {};
    for (size_t g = 0; g < w.size(); ++g, v /= kSymbols)
        w[g] = v % kSymbols;
    return w;
}

inline int indexOf(const Word& w)
{
    int v = 0;
    for (size_t g = w.size(); g-- > 0;)
        v = v * kSymbols + w[g];
    return v;
}

// Writes a cover as the engine's stored lists read: one mask a line, in hex.
inline void writeMasks(const std::string& name, const std::vector<ColumnMask>& cover)
{
    std::ofstream file(name);
    for (ColumnMask m : cover) {
        char line[16];
        std::snprintf(line, sizeof line, "%08x\n", m);
        file << line;
    }
}

// The words of a file of masks, one a line.
inline std::vector<Word> readCode(const std::string& name, int pairs)
{
    std::ifstream in(name);
    std::vector<Word> code;
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            code.push_back(wordOf(ColumnMask(std::stoul(line, nullptr, 16)), pairs));
    return code;
}

} // namespace ottavario::pairs
