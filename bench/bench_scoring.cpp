// Scoring 390,625 columns against a winning column: masks with one AND and a
// popcount each, against the described method (each record parsed, 64
// comparisons a column). Prints both times and their ratio.
#include "check/scoring.h"
#include "engine/column_file.h"

#include <QByteArray>

#include <chrono>
#include <cstdio>
#include <random>

using namespace ottavario;

namespace {
double secondsOf(auto&& work, int repeats)
{
    double best = 1e9;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}
}

int main()
{
    constexpr int kColumns = 390625;
    std::mt19937 random(2026);
    std::vector<ColumnMask> masks;
    masks.reserve(kColumns);
    while (masks.size() < kColumns) {
        ColumnMask m = 0;
        while (std::popcount(m) < 8)
            m |= ColumnMask(1) << (random() % 32);
        masks.push_back(m);
    }
    const QByteArray file = formatColumnMasks(masks);
    const WinningValues winning = { 1, 5, 9, 13, 17, 21, 25, 29 };

    Score fast;
    const double fastSeconds = secondsOf(
        [&] {
            const auto parsed = [&] {
                std::vector<ColumnMask> out;
                out.reserve(kColumns);
                for (qsizetype r = 0; r < kColumns; ++r)
                    out.push_back(*maskOfRecord(file.constData() + r * kRecordSize));
                return out;
            }();
            fast = score(parsed, winningMask(winning));
        },
        5);
    const double maskOnlySeconds
        = secondsOf([&] { fast = score(masks, winningMask(winning)); }, 20);

    Score slow;
    const double slowSeconds = secondsOf(
        [&] {
            slow = {};
            for (qsizetype r = 0; r < kColumns; ++r) {
                const ColumnNumbers numbers = parseRecord(file.constData() + r * kRecordSize);
                int points = 0;
                for (int n : numbers)
                    for (double w : winning)
                        points += n == w ? 1 : 0;
                slow.eight += points == 8;
                slow.seven += points == 7;
                slow.six += points == 6;
            }
        },
        3);

    const bool same = fast.eight == slow.eight && fast.seven == slow.seven && fast.six == slow.six;
    std::printf("scoring %d columns\n", kColumns);
    std::printf("  masks only          %8.3f ms\n", maskOnlySeconds * 1e3);
    std::printf("  read file + masks   %8.3f ms\n", fastSeconds * 1e3);
    std::printf("  described method    %8.3f ms\n", slowSeconds * 1e3);
    std::printf("  ratio (file+masks)  %8.1fx   results %s\n", slowSeconds / fastSeconds,
        same ? "equal" : "DIFFER");
    return same ? 0 : 1;
}
