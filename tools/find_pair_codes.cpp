// Offline tabu search for covers of the grid of paired boxes, worked on the
// words of pair symbols rather than on columns. A pair (two boxes sharing 2
// numbers, 3 of their own each) puts 2 of its 8 numbers in a column: one of
// 22 symbols, and two symbols lose 2 minus their common numbers. A set of
// words keeps t points when every word lies within a loss of R = 8 - t (for
// 4 pairs) of one of them. The search keeps M words and the count of kept
// words near every word; a step takes an uncovered word at random and makes
// the best change of one symbol of a kept word that covers it (a word just
// left stays barred for a few steps); once all is covered it drops the word
// whose loss is least and goes on with one word fewer. Each smaller cover found is written
// to the output file, one column mask a line, in the engine's numbering (pair
// g holds bits 8g to 8g + 7: shared, first box, second box).
//
//   find_pair_codes pairs radius steps seed out start
//
// start: "stored" (the engine's stored cover for 8 - radius points, 4
// pairs), "random:M" (M words drawn from the seed), "quinary:D" (for 7
// points on 4 pairs: the best of D codes over GF(5)^3 drawn from the seed,
// see below) or a file of masks, such as an earlier output. Run it with nice.
#include "pair_symbols.h"

#include "engine/number_groups.h"
#include "engine/open_list.h"
#include "engine/paired_boxes.h"
#include "engine/splitmix.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace ottavario;
using namespace ottavario::pairs;

namespace {
class Search {
public:
    Search(int pairs, int radius, std::vector<Word> code, quint64 seed)
        : m_pairs(pairs)
        , m_radius(radius)
        , m_code(std::move(code))
        , m_random(seed)
    {
        m_power[0] = 1;
        for (int i = 1; i <= 4; ++i)
            m_power[size_t(i)] = m_power[size_t(i - 1)] * kSymbols;
        m_words = m_power[size_t(pairs)];
        // Words off coordinate i are numbered without it.
        for (int i = 0; i <= 4; ++i)
            for (int j = 0; j < 4; ++j)
                m_stride[size_t(i)][size_t(j)] = m_power[size_t(j > i ? j - 1 : j)];
        m_count.assign(size_t(m_words), 0);
        m_open.reset(size_t(m_words));
        const size_t keys = size_t(m_power[size_t(pairs - 1)]);
        m_zero.assign(size_t(pairs), std::vector<unsigned>(keys, (1u << kSymbols) - 1));
        m_one.assign(size_t(pairs), std::vector<unsigned>(keys, 0));
        m_indexed = m_code.size() > 3000;
        if (m_indexed)
            m_bucket.assign(size_t(pairs), std::vector<std::vector<int>>(keys));
        m_left.assign(size_t(m_words), 0);
        for (int w = 0; w < m_words; ++w)
            open(w);
        for (int c = 0; c < int(m_code.size()); ++c)
            place(c, +1);
    }

    // Runs the steps; calls found(code, step) for every cover.
    void run(long steps, const std::function<void(const std::vector<Word>&, long)>& found)
    {
        for (long step = 1; step <= steps; ++step) {
            if (m_open.empty()) {
                found(m_code, step);
                dropOne();
                continue;
            }
            move(step);
        }
    }

    long uncovered() const { return long(m_open.size()); }

private:
    int digit(int w, int i) const { return w / m_power[size_t(i)] % kSymbols; }
    int indexOf(const Word& c) const
    {
        int w = 0;
        for (int i = 0; i < m_pairs; ++i)
            w += c[size_t(i)] * m_power[size_t(i)];
        return w;
    }
    int keyOf(const Word& c, int i) const
    {
        int key = 0;
        for (int j = 0; j < m_pairs; ++j)
            if (j != i)
                key += c[size_t(j)] * m_stride[size_t(i)][size_t(j)];
        return key;
    }

    // Calls visit(index, loss) for the words off coordinate `skip` (numbered
    // without it; all coordinates when it is 4) within `budget` of c there.
    template <typename Visit> void near(const Word& c, int skip, int budget, Visit&& visit) const
    {
        const auto& stride = m_stride[size_t(skip)];
        auto walk = [&](auto&& self, int j, int index, int lost) -> void {
            if (j == m_pairs) {
                visit(index, lost);
                return;
            }
            if (j == skip) {
                self(self, j + 1, index, lost);
                return;
            }
            const auto& at = m_symbols.at[size_t(c[size_t(j)])];
            for (int d = 0; d <= std::min(2, budget - lost); ++d)
                for (int b : at[size_t(d)])
                    self(self, j + 1, index + b * stride[size_t(j)], lost + d);
        };
        walk(walk, 0, 0, 0);
    }

    void open(int w) { m_open.insert(w); }
    void close(int w) { m_open.erase(w); }

    // Adds (+1) or takes away (-1) the cover of kept word c.
    void place(int c, int sign)
    {
        const Word& word = m_code[size_t(c)];
        near(word, 4, m_radius, [&](int w, int) {
            const int before = m_count[size_t(w)];
            const int after = before + sign;
            m_count[size_t(w)] = after;
            if (before == 0)
                close(w);
            else if (after == 0)
                open(w);
            if (std::min(before, after) <= 1)
                for (int i = 0; i < m_pairs; ++i) {
                    const int key
                        = w / m_power[size_t(i + 1)] * m_power[size_t(i)] + w % m_power[size_t(i)];
                    const unsigned bit = 1u << digit(w, i);
                    auto mark
                        = [&](unsigned& mask, bool on) { mask = on ? mask | bit : mask & ~bit; };
                    mark(m_zero[size_t(i)][size_t(key)], after == 0);
                    mark(m_one[size_t(i)][size_t(key)], after == 1);
                }
        });
        if (m_indexed)
            for (int i = 0; i < m_pairs; ++i) {
                auto& list = m_bucket[size_t(i)][size_t(keyOf(word, i))];
                if (sign > 0)
                    list.push_back(c);
                else
                    list.erase(std::find(list.begin(), list.end(), c));
            }
    }

    // For kept word c and coordinate i: the words it alone covers, and for
    // every symbol s the uncovered words it would cover with s there. Words
    // within R - 2 of c off i stay covered whatever symbol i takes: skipped.
    int gains(int c, int i, std::array<int, kSymbols>& gain) const
    {
        gain.fill(0);
        int alone = 0;
        const Word& word = m_code[size_t(c)];
        const int a = word[size_t(i)];
        const auto& zero = m_zero[size_t(i)];
        const auto& one = m_one[size_t(i)];
        near(word, i, m_radius, [&](int key, int lost) {
            const int rest = m_radius - lost;
            if (rest >= 2)
                return;
            const unsigned in = rest == 1 ? m_symbols.close[size_t(a)] : 1u << a;
            for (unsigned open = zero[size_t(key)] | (one[size_t(key)] & in); open;
                 open &= open - 1) {
                const int x = std::countr_zero(open);
                alone += int(in >> x & 1);
                for (int s : m_symbols.within[size_t(x)][size_t(rest)])
                    ++gain[size_t(s)];
            }
        });
        return alone;
    }

    // Kept words and coordinates whose change can cover u, with the loss off it.
    template <typename Visit> void candidates(const Word& u, Visit&& visit) const
    {
        for (int i = 0; i < m_pairs; ++i) {
            if (m_indexed) {
                near(u, i, m_radius, [&](int key, int lost) {
                    for (int c : m_bucket[size_t(i)][size_t(key)])
                        visit(c, i, lost);
                });
                continue;
            }
            for (int c = 0; c < int(m_code.size()); ++c) {
                int lost = 0;
                for (int j = 0; j < m_pairs; ++j)
                    if (j != i)
                        lost += m_symbols.loss[size_t(m_code[size_t(c)][size_t(j)])]
                                              [size_t(u[size_t(j)])];
                if (lost <= m_radius)
                    visit(c, i, lost);
            }
        }
    }

    void move(long step)
    {
        const int target = m_open[m_random.below(m_open.size())];
        Word u {};
        for (int i = 0; i < m_pairs; ++i)
            u[size_t(i)] = digit(target, i);
        int bestDelta = 1 << 30, bestC = -1, bestI = 0, bestS = 0, ties = 0;
        std::array<int, kSymbols> gain {};
        // Every change of one symbol that covers u, near kept words and far.
        candidates(u, [&](int c, int i, int lost) {
            const int alone = gains(c, i, gain);
            const int a = m_code[size_t(c)][size_t(i)];
            const int from = indexOf(m_code[size_t(c)]) - a * m_power[size_t(i)];
            const int rest = m_radius - lost;
            auto consider = [&](int s) {
                if (s == a)
                    return;
                const int delta = alone - gain[size_t(s)];
                // A word just left is taken again only when that covers everything.
                if (m_left[size_t(from + s * m_power[size_t(i)])] > step && uncovered() + delta > 0)
                    return;
                if (delta < bestDelta) {
                    bestDelta = delta;
                    ties = 0;
                }
                if (delta == bestDelta && m_random.below(quint64(++ties)) == 0) {
                    bestC = c;
                    bestI = i;
                    bestS = s;
                }
            };
            if (rest >= 2)
                for (int s = 0; s < kSymbols; ++s)
                    consider(s);
            else
                for (int s : m_symbols.within[size_t(u[size_t(i)])][size_t(rest)])
                    consider(s);
        });
        if (bestC < 0)
            return;
        m_left[size_t(indexOf(m_code[size_t(bestC)]))] = step + kTenure;
        place(bestC, -1);
        m_code[size_t(bestC)][size_t(bestI)] = bestS;
        place(bestC, +1);
    }

    // Drops the kept word that alone covers the fewest words.
    void dropOne()
    {
        int worst = -1, fewest = 1 << 30;
        for (int c = 0; c < int(m_code.size()); ++c) {
            int alone = 0;
            near(m_code[size_t(c)], 4, m_radius,
                [&](int w, int) { alone += m_count[size_t(w)] == 1; });
            if (alone < fewest) {
                fewest = alone;
                worst = c;
            }
        }
        place(worst, -1);
        const int last = int(m_code.size()) - 1;
        if (worst != last) {
            place(last, -1);
            m_code[size_t(worst)] = m_code[size_t(last)];
            m_code.pop_back();
            place(worst, +1);
        } else
            m_code.pop_back();
    }

    // Steps a word just left stays barred: 7 went furthest; 5 let the search
    // circle, 15 and more held it back.
    static constexpr long kTenure = 7;
    int m_pairs, m_radius, m_words = 0;
    std::array<int, 5> m_power {};
    std::vector<Word> m_code;
    SplitMix m_random;
    Symbols m_symbols;
    std::array<std::array<int, 4>, 5> m_stride {};
    std::vector<int> m_count;
    OpenList m_open;
    // Per coordinate, per word off it: the symbols there whose word no kept
    // word covers, and those one kept word covers.
    std::vector<std::vector<unsigned>> m_zero, m_one;
    bool m_indexed = false;
    std::vector<std::vector<std::vector<int>>> m_bucket;
    std::vector<long> m_left; // per word: the step until which it stays barred
};

std::vector<Word> storedCode(int threshold)
{
    std::vector<NumberGroup> groups(4);
    for (int g = 0; g < 4; ++g) {
        groups[size_t(g)].numbers = ColumnMask(0xff) << (8 * g);
        for (unsigned s : symbols().set)
            groups[size_t(g)].parts.push_back(ColumnMask(s) << (8 * g));
    }
    std::vector<Word> code;
    for (ColumnMask m : pairedBoxesCover(groups, threshold))
        code.push_back(wordOf(m, 4));
    return code;
}

// A start for 7 points on 4 pairs, built from codes over GF(5)^3. Every box
// labels its 5 numbers 0 to 4 and gets a point of the projective plane over
// GF(5); a column's syndrome sums label times point over its 8 boxes (a pair
// holding its two shared numbers reads them in one fixed order). The columns
// whose syndrome lies in a set S are kept, S taken greedily by words covered
// per column kept, for as long as that beats the fix-up; the words still
// uncovered then get, one by one, the word beside them that covers most of
// them. Of the draws of labels and points, the smallest start is kept.
namespace quinary {
    constexpr int kSyndromes = 125;
    // A word left open costs about this share of a column in the fix-up.
    constexpr double kOpenPerFix = 6.8;
    using Reach = std::array<quint64, 2>;

    struct Field {
        std::array<std::array<unsigned char, kSyndromes>, kSyndromes> sum {};
        std::array<unsigned char, kSyndromes> negative {};
        Field()
        {
            for (int a = 0; a < kSyndromes; ++a)
                for (int b = 0; b < kSyndromes; ++b)
                    for (int i = 0, p = 1; i < 3; ++i, p *= 5)
                        sum[size_t(a)][size_t(b)] += (a / p % 5 + b / p % 5) % 5 * p;
            for (int v = 0; v < kSyndromes; ++v)
                negative[size_t(v)] = static_cast<unsigned char>(minus(v));
        }
        int times(int c, int v) const
        {
            int r = 0;
            for (int i = 0; i < c; ++i)
                r = sum[size_t(r)][size_t(v)];
            return r;
        }
        int minus(int v) const { return times(4, v); }
    };

    using Labels = std::array<std::array<int, kSymbols>, 4>; // pair, symbol -> syndrome

    // A word, then its neighbours at a loss of 1.
    template <class F> void around(int w, F&& f)
    {
        f(w);
        for (int g = 0, p = 1; g < 4; ++g, p *= kSymbols) {
            const int s = w / p % kSymbols;
            for (int y : symbols().at[size_t(s)][1])
                f(w + (y - s) * p);
        }
    }

    std::vector<int> startFrom(const Labels& labels, const Field& field)
    {
        std::array<std::array<Reach, kSymbols>, 4> step {};
        for (int g = 0; g < 4; ++g)
            for (int e = 0; e < kSymbols; ++e) {
                Reach r { 1, 0 };
                for (int f : symbols().at[size_t(e)][1]) {
                    const int d = field.sum[size_t(labels[size_t(g)][size_t(f)])]
                                           [field.negative[size_t(labels[size_t(g)][size_t(e)])]];
                    r[size_t(d / 64)] |= quint64(1) << (d % 64);
                }
                step[size_t(g)][size_t(e)] = r;
            }
        std::vector<int> syndrome(kWords);
        std::vector<Reach> reach(kWords);
        std::array<long, kSyndromes> kept {};
        for (int w = 0; w < kWords; ++w) {
            int s = 0;
            Reach r {};
            for (int g = 0, v = w; g < 4; ++g, v /= kSymbols) {
                s = field.sum[size_t(s)][size_t(labels[size_t(g)][size_t(v % kSymbols)])];
                r[0] |= step[size_t(g)][size_t(v % kSymbols)][0];
                r[1] |= step[size_t(g)][size_t(v % kSymbols)][1];
            }
            syndrome[size_t(w)] = s;
            reach[size_t(w)] = r;
            ++kept[size_t(s)];
        }
        auto reaches = [&](int w, int t) {
            const int d = field.sum[size_t(t)][field.negative[size_t(syndrome[size_t(w)])]];
            return (reach[size_t(w)][size_t(d / 64)] >> (d % 64) & 1) != 0;
        };
        std::vector<char> covered(kWords, 0);
        std::vector<int> chosen;
        long open = kWords, columns = 0;
        double bestEstimate = 1e18;
        size_t bestLength = 0;
        while (open > 0) {
            std::array<long, kSyndromes> gain {};
            for (int w = 0; w < kWords; ++w)
                if (!covered[size_t(w)])
                    for (int half = 0; half < 2; ++half)
                        for (quint64 m = reach[size_t(w)][size_t(half)]; m; m &= m - 1)
                            ++gain[field.sum[size_t(syndrome[size_t(w)])]
                                            [size_t(64 * half + std::countr_zero(m))]];
            int best = 0;
            for (int t = 1; t < kSyndromes; ++t)
                if (gain[size_t(t)] * kept[size_t(best)] > gain[size_t(best)] * kept[size_t(t)])
                    best = t;
            chosen.push_back(best);
            columns += kept[size_t(best)];
            for (int w = 0; w < kWords; ++w)
                if (!covered[size_t(w)] && reaches(w, best)) {
                    covered[size_t(w)] = 1;
                    --open;
                }
            const double estimate = double(columns) + double(open) / kOpenPerFix;
            if (estimate < bestEstimate) {
                bestEstimate = estimate;
                bestLength = chosen.size();
            }
            if (double(columns) > bestEstimate)
                break;
        }
        chosen.resize(bestLength);
        std::vector<int> code;
        std::fill(covered.begin(), covered.end(), 0);
        for (int w = 0; w < kWords; ++w)
            if (std::find(chosen.begin(), chosen.end(), syndrome[size_t(w)]) != chosen.end()) {
                code.push_back(w);
                around(w, [&](int u) { covered[size_t(u)] = 1; });
            }
        for (int w = 0; w < kWords; ++w) {
            if (covered[size_t(w)])
                continue;
            int pick = w, most = -1;
            around(w, [&](int c) {
                int n = 0;
                around(c, [&](int u) { n += !covered[size_t(u)]; });
                if (n > most) {
                    most = n;
                    pick = c;
                }
            });
            code.push_back(pick);
            around(pick, [&](int u) { covered[size_t(u)] = 1; });
        }
        return code;
    }

    std::vector<Word> start(int draws, quint64 seed)
    {
        static const Field field;
        SplitMix random(seed);
        std::vector<int> points; // first nonzero coordinate 1
        for (int v = 1; v < kSyndromes; ++v)
            if ((v % 5 ? v % 5 : v / 5 % 5 ? v / 5 % 5 : v / 25) == 1)
                points.push_back(v);
        std::vector<int> best;
        for (int draw = 0; draw < draws; ++draw) {
            for (int i = 0; i < 8; ++i)
                std::swap(points[size_t(i)], points[size_t(i) + random.below(points.size() - i)]);
            Labels labels {};
            for (int g = 0; g < 4; ++g) {
                std::array<std::array<int, 5>, 2> label { { { 0, 1, 2, 3, 4 },
                    { 0, 1, 2, 3, 4 } } };
                for (auto& l : label)
                    for (int i = 4; i > 0; --i)
                        std::swap(l[size_t(i)], l[random.below(quint64(i) + 1)]);
                for (int e = 0; e < kSymbols; ++e) {
                    // Local numbers: 0-1 shared, 2-4 first box, 5-7 second box.
                    const unsigned set = symbols().set[size_t(e)];
                    const int first
                        = (set & 0x1c) ? std::countr_zero(set & 0x1c) : std::countr_zero(set & 3);
                    const int second = std::countr_zero(set & ~(1u << first));
                    const int place = second < 2 ? second : second - 3;
                    labels[size_t(g)][size_t(e)]
                        = field.sum[size_t(field.times(label[0][size_t(first)],
                            points[size_t(2 * g)]))][size_t(field.times(label[1][size_t(place)],
                            points[size_t(2 * g + 1)]))];
                }
            }
            std::vector<int> code = startFrom(labels, field);
            if (best.empty() || code.size() < best.size()) {
                best = std::move(code);
                std::fprintf(stderr, "draw %d: %zu words\n", draw, best.size());
            }
        }
        std::vector<Word> words;
        for (int w : best)
            words.push_back(wordAt(w));
        return words;
    }
}
}

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s pairs radius steps seed out start\n", argv[0]);
        return 2;
    }
    const int pairs = std::atoi(argv[1]), radius = std::atoi(argv[2]);
    const long steps = std::atol(argv[3]);
    const quint64 seed = std::strtoull(argv[4], nullptr, 10);
    const std::string out = argv[5];
    if (pairs < 1 || pairs > 4 || radius < 0 || radius > 2 * pairs) {
        std::fprintf(stderr, "pairs from 1 to 4, radius from 0 to twice the pairs\n");
        return 2;
    }
    std::vector<Word> code;
    const std::string start = argv[6];
    if (start == "stored" && pairs == 4) {
        code = storedCode(8 - radius);
    } else if (start.rfind("quinary:", 0) == 0) {
        if (pairs != 4 || radius != 1) {
            std::fprintf(stderr, "quinary starts are for 4 pairs at radius 1\n");
            return 2;
        }
        code = quinary::start(std::atoi(start.c_str() + 8), seed);
    } else if (start.rfind("random:", 0) == 0) {
        SplitMix random(seed);
        code.resize(size_t(std::atoi(start.c_str() + 7)));
        for (Word& w : code)
            for (int g = 0; g < pairs; ++g)
                w[size_t(g)] = int(random.below(kSymbols));
    } else {
        code = readCode(start, pairs);
    }
    if (code.empty()) {
        std::fprintf(stderr, "no words to start from\n");
        return 2;
    }
    const auto began = std::chrono::steady_clock::now();
    std::fprintf(stderr, "start: %zu words\n", code.size());
    Search search(pairs, radius, code, seed);
    std::fprintf(stderr, "uncovered at start: %ld\n", search.uncovered());
    size_t best = size_t(-1);
    search.run(steps, [&](const std::vector<Word>& code, long step) {
        // A word kept twice counts once.
        std::vector<ColumnMask> cover;
        for (const Word& w : code)
            cover.push_back(maskOf(w, pairs));
        std::sort(cover.begin(), cover.end());
        cover.erase(std::unique(cover.begin(), cover.end()), cover.end());
        if (cover.size() >= best)
            return;
        best = cover.size();
        writeMasks(out, cover);
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        std::fprintf(stderr, "%zu words cover, step %ld, %.1f s\n", cover.size(), step, seconds);
    });
    std::fprintf(stderr, "smallest: %zu\n", best);
    return best == size_t(-1) ? 1 : 0;
}
