// Offline search for quaternary covering codes of length 8 built as unions of
// cosets of a linear code over GF(4): a check matrix H of k rows and a set S
// of syndromes such that S + {He : weight(e) <= R} is the whole syndrome
// space; the code is every word whose syndrome is in S, |S| 4^(8-k) words.
// For each random H (8 different columns up to scalars) it covers the 4^k
// syndromes greedily, then shrinks the cover by a weighted swap search, and
// prints every H and S smaller than the best so far, as the engine stores
// them: a column of H and a syndrome are numbers whose base-4 digit i is row i.
// Given the 8 columns of H, it searches that matrix only.
//
//   find_quaternary_codes radius rows matrices steps [seed [column x 8]]
//
// It runs on one core for as long as the steps take; run it with nice.
#include "engine/open_list.h"
#include "engine/splitmix.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// GF(4) as 0, 1, x, x + 1 with x^2 = x + 1: sums are XOR, so vectors of k
// symbols (2 bits each) add by XOR.
int times(int a, int b)
{
    static constexpr int logOf[4] = { 0, 0, 1, 2 };
    static constexpr int powerOf[3] = { 1, 2, 3 };
    return a && b ? powerOf[(logOf[a] + logOf[b]) % 3] : 0;
}

int scaled(int v, int factor, int rows)
{
    int out = 0;
    for (int i = 0; i < rows; ++i)
        out |= times(v >> (2 * i) & 3, factor) << (2 * i);
    return out;
}

// Syndromes of the words of weight <= radius.
std::vector<int> ballOf(const std::vector<int>& h, int rows, int radius)
{
    std::vector<char> seen(size_t(1) << (2 * rows), 0);
    std::vector<int> ball { 0 }, frontier { 0 };
    seen[0] = 1;
    for (int layer = 0; layer < radius; ++layer) {
        std::vector<int> next;
        for (int z : frontier)
            for (int c : h)
                for (int f = 1; f < 4; ++f) {
                    const int y = z ^ scaled(c, f, rows);
                    if (!seen[size_t(y)]) {
                        seen[size_t(y)] = 1;
                        next.push_back(y);
                    }
                }
        ball.insert(ball.end(), next.begin(), next.end());
        frontier = std::move(next);
    }
    return ball;
}

// Translates x + ball of the syndrome space; translate x covers z when
// x ^ z is in the ball. Uncovered syndromes gain weight while they stay
// uncovered; a translate's score is the weight it would newly cover (out of
// the set) or minus the weight only it covers (in the set).
class SwapSearch {
public:
    SwapSearch(int size, const std::vector<int>& ball, uint64_t seed)
        : m_size(size)
        , m_ball(ball)
        , m_weight(size_t(size), 1)
        , m_score(size_t(size), static_cast<long>(ball.size()))
        , m_cover(size_t(size), 0)
        , m_in(size_t(size), 0)
        , m_stamp(size_t(size), 0)
        , m_random(seed)
    {
        m_open.reset(size_t(size));
        for (int z = 0; z < size; ++z)
            open(z);
    }

    // The greedy cover, then `steps` swaps; the smallest cover seen.
    std::vector<int> run(long steps)
    {
        while (!m_open.empty())
            add(static_cast<int>(
                    std::max_element(m_score.begin(), m_score.end()) - m_score.begin()),
                0);
        std::vector<int> best = m_set;
        int added = -1;
        for (long step = 1; step <= steps; ++step) {
            if (m_open.empty()) {
                if (m_set.size() < best.size())
                    best = m_set;
                remove(cheapest(-1), step);
                continue;
            }
            const int out = cheapest(added);
            remove(out, step);
            const int target = m_open[m_random.below(m_open.size())];
            int in = -1;
            for (int e : m_ball) {
                const int x = target ^ e;
                if (x != out && (in < 0 || better(x, in)))
                    in = x;
            }
            add(in, step);
            added = in;
            for (int z : m_open) {
                ++m_weight[size_t(z)];
                for (int e : m_ball)
                    ++m_score[size_t(z ^ e)];
            }
        }
        if (m_open.empty() && m_set.size() < best.size())
            best = m_set;
        return best;
    }

private:
    bool better(int a, int b) const
    {
        return m_score[size_t(a)] != m_score[size_t(b)] ? m_score[size_t(a)] > m_score[size_t(b)]
                                                        : m_stamp[size_t(a)] < m_stamp[size_t(b)];
    }
    int cheapest(int spared) const
    {
        int best = -1;
        for (int x : m_set)
            if (x != spared && (best < 0 || better(x, best)))
                best = x;
        return best;
    }
    void open(int z) { m_open.insert(z); }
    void close(int z) { m_open.erase(z); }
    // The translate in the set covering z, other than `other`.
    int coverOf(int z, int other) const
    {
        for (int e : m_ball)
            if (m_in[size_t(z ^ e)] && (z ^ e) != other)
                return z ^ e;
        return -1;
    }
    void add(int x, long step)
    {
        m_in[size_t(x)] = 1;
        m_set.push_back(x);
        m_stamp[size_t(x)] = step;
        m_score[size_t(x)] = -m_score[size_t(x)];
        for (int e : m_ball) {
            const int z = x ^ e;
            const int before = m_cover[size_t(z)]++;
            if (before == 0) {
                close(z);
                for (int f : m_ball)
                    if ((z ^ f) != x)
                        m_score[size_t(z ^ f)] -= m_weight[size_t(z)];
            } else if (before == 1) {
                m_score[size_t(coverOf(z, x))] += m_weight[size_t(z)];
            }
        }
    }
    void remove(int x, long step)
    {
        m_in[size_t(x)] = 0;
        m_set.erase(std::find(m_set.begin(), m_set.end(), x));
        m_stamp[size_t(x)] = step;
        m_score[size_t(x)] = -m_score[size_t(x)];
        for (int e : m_ball) {
            const int z = x ^ e;
            const int after = --m_cover[size_t(z)];
            if (after == 0) {
                open(z);
                for (int f : m_ball)
                    if ((z ^ f) != x)
                        m_score[size_t(z ^ f)] += m_weight[size_t(z)];
            } else if (after == 1) {
                m_score[size_t(coverOf(z, -1))] -= m_weight[size_t(z)];
            }
        }
    }

    int m_size;
    const std::vector<int>& m_ball;
    std::vector<long> m_weight, m_score;
    std::vector<int> m_cover;
    std::vector<char> m_in;
    std::vector<long> m_stamp;
    ottavario::OpenList m_open;
    std::vector<int> m_set;
    ottavario::SplitMix m_random;
};

bool covers(int size, const std::vector<int>& ball, const std::vector<int>& set)
{
    std::vector<char> hit(size_t(size), 0);
    for (int x : set)
        for (int e : ball)
            hit[size_t(x ^ e)] = 1;
    return std::all_of(hit.begin(), hit.end(), [](char c) { return c != 0; });
}
}

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s radius rows matrices steps [seed [column x 8]]\n", argv[0]);
        return 2;
    }
    const int radius = std::atoi(argv[1]);
    const int rows = std::atoi(argv[2]);
    const long matrices = std::atol(argv[3]);
    const long steps = std::atol(argv[4]);
    ottavario::SplitMix random(argc > 5 ? std::strtoull(argv[5], nullptr, 10) : 1);
    if (radius < 1 || rows < 1 || rows > 7) {
        std::fprintf(stderr, "radius from 1, rows from 1 to 7\n");
        return 2;
    }
    const int size = 1 << (2 * rows);
    size_t fewest = SIZE_MAX;
    std::vector<int> given;
    for (int a = 6; a < argc; ++a)
        given.push_back(std::atoi(argv[a]));
    if (!given.empty() && given.size() != 8) {
        std::fprintf(stderr, "8 columns or none\n");
        return 2;
    }
    for (long m = 0; m < matrices; ++m) {
        std::vector<int> h = given;
        while (h.size() < 8) {
            const int c = 1 + static_cast<int>(random.below(size_t(size - 1)));
            bool again = false;
            for (int x : h)
                for (int f = 1; f < 4; ++f)
                    again = again || scaled(x, f, rows) == c;
            if (!again)
                h.push_back(c);
        }
        const std::vector<int> ball = ballOf(h, rows, radius);
        SwapSearch search(size, ball, random.next());
        std::vector<int> set = search.run(steps);
        if (set.size() >= fewest || !covers(size, ball, set))
            continue;
        fewest = set.size();
        std::sort(set.begin(), set.end());
        std::printf(
            "%zu cosets of %d words, matrix %ld: columns", set.size(), 1 << (2 * (8 - rows)), m);
        for (int c : h)
            std::printf(" %d", c);
        std::printf("; syndromes");
        for (int x : set)
            std::printf(" %d", x);
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
