// Offline search for covers of the grid of paired boxes (boxes 2k-1 and 2k
// share 2 numbers and hold 3 of their own) made of whole orbits of a group of
// its symmetries: the columns fall into orbits, an orbit covers the orbits of
// the columns its first column covers, and a weighted swap search picks
// orbits until all are covered, then shrinks the set. Prints the smallest
// set's size and its orbit representatives, in the numbering the engine
// stores (pair g holds bits 8g to 8g + 7: shared, first box, second box).
//
//   find_paired_covers threshold group steps [unit] [out]
//
// group 0: a group of order 48, all pairs alike: the own numbers turned, the
// shared ones swapped, the pairs shifted, the boxes swapped;
// group n > 0: two random symmetries that turn the own numbers of each box
// and swap the shared ones pair by pair, drawn from seed n. With "unit" the
// search values an orbit by what it covers alone, not per column. Given out,
// it also writes every column of the set there, one mask a line, as
// find_pair_codes reads a start. Run it with nice.
#include "pair_symbols.h"

#include "engine/cover_problem.h"
#include "engine/open_list.h"
#include "engine/splitmix.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <vector>

using namespace ottavario;

namespace {
using Permutation = std::array<int, 32>;

Permutation identity()
{
    Permutation p {};
    for (int i = 0; i < 32; ++i)
        p[size_t(i)] = i;
    return p;
}

// Each box's own numbers turned by the given steps, the shared ones swapped.
Permutation pairMoves(const std::array<std::array<int, 3>, 4>& moves)
{
    Permutation p = identity();
    for (int g = 0; g < 4; ++g) {
        const int b = 8 * g;
        for (int j = 0; j < 3; ++j) {
            p[size_t(b + 2 + j)] = b + 2 + (j + moves[size_t(g)][0]) % 3;
            p[size_t(b + 5 + j)] = b + 5 + (j + moves[size_t(g)][1]) % 3;
        }
        if (moves[size_t(g)][2])
            std::swap(p[size_t(b)], p[size_t(b + 1)]);
    }
    return p;
}

std::vector<Permutation> groupOf(int choice)
{
    if (choice == 0) {
        Permutation shift = identity(), boxes = identity();
        for (int i = 0; i < 32; ++i)
            shift[size_t(i)] = (i + 8) % 32;
        for (int g = 0; g < 4; ++g)
            for (int j = 2; j < 5; ++j)
                std::swap(boxes[size_t(8 * g + j)], boxes[size_t(8 * g + j + 3)]);
        return { pairMoves({ { { 1, 1, 0 }, { 1, 1, 0 }, { 1, 1, 0 }, { 1, 1, 0 } } }),
            pairMoves({ { { 0, 0, 1 }, { 0, 0, 1 }, { 0, 0, 1 }, { 0, 0, 1 } } }), shift, boxes };
    }
    SplitMix random(static_cast<quint64>(choice));
    std::vector<Permutation> generators;
    for (int k = 0; k < 2; ++k) {
        std::array<std::array<int, 3>, 4> moves {};
        for (auto& m : moves)
            m = { int(random.below(3)), int(random.below(3)), int(random.below(2)) };
        generators.push_back(pairMoves(moves));
    }
    return generators;
}

ColumnMask permuted(const Permutation& p, ColumnMask column)
{
    ColumnMask out = 0;
    for (ColumnMask m = column; m; m &= m - 1)
        out |= ColumnMask(1) << p[size_t(std::countr_zero(m))];
    return out;
}

// Weighted swap search over sets that cost their orbit's size.
class OrbitSearch {
public:
    OrbitSearch(
        const std::vector<std::vector<int>>& adjacent, const std::vector<int>& cost, bool unit)
        : m_unit(unit)
        , m_adjacent(adjacent)
        , m_cost(cost)
        , m_weight(adjacent.size(), 1)
        , m_score(adjacent.size(), 0)
        , m_cover(adjacent.size(), 0)
        , m_in(adjacent.size(), 0)
        , m_stamp(adjacent.size(), 0)
        , m_setAt(adjacent.size(), -1)
    {
        m_open.reset(adjacent.size());
        for (size_t e = 0; e < adjacent.size(); ++e) {
            open(int(e));
            m_score[e] = long(adjacent[e].size());
        }
    }

    std::vector<int> run(long steps)
    {
        while (!m_open.empty()) {
            int best = 0;
            for (int s = 1; s < int(m_adjacent.size()); ++s)
                if (m_score[size_t(s)] > m_score[size_t(best)])
                    best = s;
            add(best, 0);
        }
        std::vector<int> best = m_set;
        long bestCost = costOf(best);
        int added = -1;
        SplitMix random(7);
        for (long step = 1; step <= steps; ++step) {
            if (m_open.empty()) {
                if (costOf(m_set) < bestCost) {
                    best = m_set;
                    bestCost = costOf(best);
                }
                // The one whose loss is least, whatever its size.
                int r = -1;
                for (int s : m_set)
                    if (r < 0 || m_score[size_t(s)] > m_score[size_t(r)]
                        || (m_score[size_t(s)] == m_score[size_t(r)]
                            && m_stamp[size_t(s)] < m_stamp[size_t(r)]))
                        r = s;
                remove(r, step);
                continue;
            }
            const int out = cheapest(added);
            remove(out, step);
            const int target = m_open[random.below(m_open.size())];
            int in = -1;
            for (int s : m_adjacent[size_t(target)])
                if (s != out && (in < 0 || better(s, in)))
                    in = s;
            if (in < 0)
                in = out;
            add(in, step);
            added = in;
            for (int e : m_open) {
                ++m_weight[size_t(e)];
                for (int s : m_adjacent[size_t(e)])
                    ++m_score[size_t(s)];
            }
        }
        return best;
    }

private:
    long costOf(const std::vector<int>& set) const
    {
        long total = 0;
        for (int s : set)
            total += m_cost[size_t(s)];
        return total;
    }
    // Score per column of the orbit, or the score alone when sizes are ignored.
    double key(int s) const
    {
        return m_unit ? double(m_score[size_t(s)]) : double(m_score[size_t(s)]) / m_cost[size_t(s)];
    }
    bool better(int a, int b) const
    {
        return key(a) != key(b) ? key(a) > key(b) : m_stamp[size_t(a)] < m_stamp[size_t(b)];
    }
    int cheapest(int spared) const
    {
        int best = -1;
        for (int s : m_set)
            if (s != spared && (best < 0 || better(s, best)))
                best = s;
        return best;
    }
    void open(int e) { m_open.insert(e); }
    void close(int e) { m_open.erase(e); }
    void add(int s, long step)
    {
        m_in[size_t(s)] = 1;
        m_setAt[size_t(s)] = int(m_set.size());
        m_set.push_back(s);
        m_stamp[size_t(s)] = step;
        m_score[size_t(s)] = -m_score[size_t(s)];
        for (int e : m_adjacent[size_t(s)]) {
            const int before = m_cover[size_t(e)]++;
            if (before == 0) {
                close(e);
                for (int x : m_adjacent[size_t(e)])
                    if (x != s)
                        m_score[size_t(x)] -= m_weight[size_t(e)];
            } else if (before == 1) {
                for (int x : m_adjacent[size_t(e)])
                    if (x != s && m_in[size_t(x)]) {
                        m_score[size_t(x)] += m_weight[size_t(e)];
                        break;
                    }
            }
        }
    }
    void remove(int s, long step)
    {
        m_in[size_t(s)] = 0;
        const int at = m_setAt[size_t(s)], last = m_set.back();
        m_set[size_t(at)] = last;
        m_setAt[size_t(last)] = at;
        m_set.pop_back();
        m_stamp[size_t(s)] = step;
        m_score[size_t(s)] = -m_score[size_t(s)];
        for (int e : m_adjacent[size_t(s)]) {
            const int after = --m_cover[size_t(e)];
            if (after == 0) {
                open(e);
                for (int x : m_adjacent[size_t(e)])
                    if (x != s)
                        m_score[size_t(x)] += m_weight[size_t(e)];
            } else if (after == 1) {
                for (int x : m_adjacent[size_t(e)])
                    if (m_in[size_t(x)]) {
                        m_score[size_t(x)] -= m_weight[size_t(e)];
                        break;
                    }
            }
        }
    }

    bool m_unit;
    const std::vector<std::vector<int>>& m_adjacent;
    const std::vector<int>& m_cost;
    std::vector<long> m_weight, m_score;
    std::vector<int> m_cover;
    std::vector<char> m_in;
    std::vector<long> m_stamp;
    OpenList m_open;
    std::vector<int> m_set, m_setAt;
};
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s threshold group steps\n", argv[0]);
        return 2;
    }
    const int threshold = std::atoi(argv[1]);
    const std::vector<Permutation> generators = groupOf(std::atoi(argv[2]));
    const long steps = std::atol(argv[3]);
    if (threshold < 1 || threshold > 7) {
        std::fprintf(stderr, "threshold from 1 to 7\n");
        return 2;
    }

    // Every column: one part of each pair, a part one number of each box.
    std::vector<ColumnMask> columns;
    std::function<void(int, ColumnMask)> develop = [&](int box, ColumnMask mask) {
        if (box == 8) {
            columns.push_back(mask);
            return;
        }
        const int b = 8 * (box / 2);
        for (int j : { 0, 1, 2, 3, 4 }) {
            const int bit = j < 2 ? b + j : b + j + (box % 2 ? 3 : 0);
            if (!(mask >> bit & 1))
                develop(box + 1, mask | ColumnMask(1) << bit);
        }
    };
    develop(0, 0);
    const CoverProblem problem(distinctInOrder(columns), threshold);

    std::vector<int> orbit(size_t(problem.count()), -1), first, cost;
    for (int c = 0; c < problem.count(); ++c) {
        if (orbit[size_t(c)] >= 0)
            continue;
        const int id = int(first.size());
        first.push_back(c);
        cost.push_back(0);
        std::vector<int> stack { c };
        orbit[size_t(c)] = id;
        while (!stack.empty()) {
            const int x = stack.back();
            stack.pop_back();
            ++cost[size_t(id)];
            for (const Permutation& g : generators) {
                const int y = problem.indexOf(permuted(g, problem.column(x)));
                if (orbit[size_t(y)] < 0) {
                    orbit[size_t(y)] = id;
                    stack.push_back(y);
                }
            }
        }
    }
    std::vector<std::vector<int>> adjacent(first.size());
    for (size_t o = 0; o < first.size(); ++o) {
        problem.forCovered(first[o], [&](int d) { adjacent[o].push_back(orbit[size_t(d)]); });
        std::sort(adjacent[o].begin(), adjacent[o].end());
        adjacent[o].erase(std::unique(adjacent[o].begin(), adjacent[o].end()), adjacent[o].end());
    }
    std::fprintf(stderr, "%d columns, %zu orbits\n", problem.count(), first.size());

    const bool unit = argc > 4 && std::string_view(argv[4]) == "unit";
    OrbitSearch search(adjacent, cost, unit);
    const std::vector<int> best = search.run(steps);
    long total = 0;
    for (int s : best)
        total += cost[size_t(s)];
    std::printf("%ld columns in %zu orbits:", total, best.size());
    for (int s : best)
        std::printf(" 0x%08x", problem.column(first[size_t(s)]));
    std::printf("\n");
    if (argc > (unit ? 5 : 4)) {
        std::vector<char> chosen(first.size(), 0);
        for (int s : best)
            chosen[size_t(s)] = 1;
        std::vector<ColumnMask> cover;
        for (int c = 0; c < problem.count(); ++c)
            if (chosen[size_t(orbit[size_t(c)])])
                cover.push_back(problem.column(c));
        std::sort(cover.begin(), cover.end());
        pairs::writeMasks(argv[unit ? 5 : 4], cover);
    }
    return 0;
}
