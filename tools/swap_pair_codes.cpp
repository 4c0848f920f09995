// Offline weighted swap search for covers of the grid of paired boxes (4
// pairs), on the words of pair symbols as find_pair_codes. Where that search
// changes one symbol of a kept word, this one swaps any two words: for a
// random uncovered word u it tries every word x beside u as the one to add,
// each against the kept word whose loss, less what x would cover again of it,
// is least; the candidates are the kept words x overlaps and the best of a
// sample drawn at random. Words left uncovered gain weight every step, so
// the search leaves a spot it keeps failing at; a word just moved stays put
// for a few steps. Once all is covered it drops the kept word whose loss is
// least and goes on with one word fewer, writing every smaller cover to the
// output file, one column mask a line. The same arguments take the same path.
//
//   swap_pair_codes radius steps seed out start sample tenure weight
//
// start: a file of masks (an earlier output, or a find_pair_codes start);
// sample: kept words drawn for the best loss; tenure: steps a moved word
// stays put; weight: the weight every word starts at, which decides how
// slowly the added weights count.
#include "pair_symbols.h"

#include "engine/open_list.h"
#include "engine/splitmix.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace ottavario;
using namespace ottavario::pairs;

namespace {
constexpr int kPairs = 4;
constexpr std::array<int, kPairs> kPower { 1, kSymbols, kSymbols* kSymbols,
    kSymbols* kSymbols* kSymbols };

// The words within a loss of radius of every word, the word itself first.
class Neighbours {
public:
    explicit Neighbours(int radius)
    {
        m_offset.reserve(kWords + 1);
        for (int v = 0; v < kWords; ++v) {
            m_offset.push_back(m_list.size());
            m_list.push_back(v);
            visit(v, wordAt(v), 0, radius);
        }
        m_offset.push_back(m_list.size());
    }
    const int* begin(int v) const { return m_list.data() + m_offset[size_t(v)]; }
    const int* end(int v) const { return m_list.data() + m_offset[size_t(v) + 1]; }

private:
    // Changes pairs from g on, each by a loss of 1 or 2, within the budget.
    void visit(int v, const Word& w, int g, int budget)
    {
        for (; g < kPairs; ++g)
            for (int d = 1; d <= std::min(2, budget); ++d)
                for (int y : symbols().at[size_t(w[size_t(g)])][size_t(d)]) {
                    const int u = v + (y - w[size_t(g)]) * kPower[size_t(g)];
                    m_list.push_back(u);
                    visit(u, w, g + 1, budget - d);
                }
    }
    std::vector<size_t> m_offset;
    std::vector<int> m_list;
};

class Search {
public:
    struct Settings {
        int sample;
        long tenure;
        int weight;
    };

    Search(const Neighbours& near, const std::vector<Word>& code, Settings settings, quint64 seed)
        : m_near(near)
        , m_settings(settings)
        , m_random(seed)
        , m_kept(kWords, 0)
        , m_count(kWords, 0)
        , m_weight(kWords, settings.weight)
        , m_coverers(kWords, 0)
        , m_score(kWords, 0)
        , m_moved(kWords, -settings.tenure)
        , m_overlap(kWords, 0)
        , m_at(kWords, -1)
    {
        m_open.reset(kWords);
        for (int v = 0; v < kWords; ++v)
            m_open.insert(v);
        m_totalWeight = long(kWords) * settings.weight;
        for (const Word& w : code)
            if (!m_kept[size_t(indexOf(w))])
                add(indexOf(w));
    }

    // Runs the steps; calls found(code, step) for every cover.
    template <class F> void run(long steps, F&& found)
    {
        for (m_step = 1; m_step <= steps; ++m_step) {
            if (m_open.empty()) {
                found(m_code, m_step);
                int least = m_code.front();
                for (int v : m_code)
                    if (m_score[size_t(v)] < m_score[size_t(least)])
                        least = v;
                remove(least);
                continue;
            }
            swap();
            weigh();
        }
    }

    size_t open() const { return m_open.size(); }

private:
    bool still(int v) const { return m_step - m_moved[size_t(v)] < m_settings.tenure; }

    void swap()
    {
        const int u = m_open[m_random.below(m_open.size())];
        int sampled = -1;
        for (int k = 0; k < m_settings.sample; ++k) {
            const int v = m_code[m_random.below(m_code.size())];
            if (!still(v) && (sampled < 0 || m_score[size_t(v)] < m_score[size_t(sampled)]))
                sampled = v;
        }
        int in = -1, out = -1;
        long best = 0;
        for (const int* x = m_near.begin(u); x != m_near.end(u); ++x) {
            if (still(*x))
                continue;
            // What x would cover again of each kept word it overlaps.
            clearOverlap();
            for (const int* v = m_near.begin(*x); v != m_near.end(*x); ++v)
                if (m_count[size_t(*v)] == 1) {
                    const int y = int(m_coverers[size_t(*v)]);
                    if (m_overlap[size_t(y)] == 0)
                        m_touched.push_back(y);
                    m_overlap[size_t(y)] += m_weight[size_t(*v)];
                }
            int drop = sampled;
            long net = sampled >= 0 ? m_score[size_t(*x)] - m_score[size_t(sampled)] : 0;
            for (int y : m_touched) {
                const long n = m_score[size_t(*x)] - m_score[size_t(y)] + m_overlap[size_t(y)];
                if (!still(y) && (drop < 0 || n > net)) {
                    net = n;
                    drop = y;
                }
            }
            if (drop >= 0 && (in < 0 || net > best || (net == best && m_random.below(2)))) {
                best = net;
                in = *x;
                out = drop;
            }
        }
        clearOverlap();
        if (in < 0)
            return;
        remove(out);
        add(in);
    }

    void clearOverlap()
    {
        for (int y : m_touched)
            m_overlap[size_t(y)] = 0;
        m_touched.clear();
    }

    // Open words weigh more; once the added weight doubles its start, it halves.
    void weigh()
    {
        for (int o : m_open) {
            ++m_weight[size_t(o)];
            ++m_totalWeight;
            for (const int* x = m_near.begin(o); x != m_near.end(o); ++x)
                ++m_score[size_t(*x)];
        }
        if (m_totalWeight <= long(kWords) * (m_settings.weight + 2))
            return;
        m_totalWeight = 0;
        for (int& w : m_weight) {
            w = m_settings.weight + (w - m_settings.weight) / 2;
            m_totalWeight += w;
        }
        for (int v = 0; v < kWords; ++v)
            rescore(v);
    }

    // A kept word's score is its loss, the weight only it covers; another
    // word's is its gain, the open weight it would cover.
    void rescore(int x)
    {
        const int want = m_kept[size_t(x)] ? 1 : 0;
        long s = 0;
        for (const int* u = m_near.begin(x); u != m_near.end(x); ++u)
            if (m_count[size_t(*u)] == want)
                s += m_weight[size_t(*u)];
        m_score[size_t(x)] = s;
    }

    void add(int x)
    {
        m_kept[size_t(x)] = 1;
        m_at[size_t(x)] = int(m_code.size());
        m_code.push_back(x);
        for (const int* u = m_near.begin(x); u != m_near.end(x); ++u) {
            const int before = m_count[size_t(*u)]++;
            m_coverers[size_t(*u)] += x;
            if (before == 0) {
                m_open.erase(*u);
                for (const int* y = m_near.begin(*u); y != m_near.end(*u); ++y)
                    if (*y != x)
                        m_score[size_t(*y)] -= m_weight[size_t(*u)];
            } else if (before == 1) {
                // The one kept word covering u no longer covers it alone.
                const int y = int(m_coverers[size_t(*u)] - x);
                m_score[size_t(y)] -= m_weight[size_t(*u)];
            }
        }
        rescore(x);
        m_moved[size_t(x)] = m_step;
    }

    void remove(int x)
    {
        m_kept[size_t(x)] = 0;
        const int at = m_at[size_t(x)], last = m_code.back();
        m_code[size_t(at)] = last;
        m_at[size_t(last)] = at;
        m_code.pop_back();
        m_at[size_t(x)] = -1;
        for (const int* u = m_near.begin(x); u != m_near.end(x); ++u) {
            const int after = --m_count[size_t(*u)];
            m_coverers[size_t(*u)] -= x;
            if (after == 0) {
                m_open.insert(*u);
                for (const int* y = m_near.begin(*u); y != m_near.end(*u); ++y)
                    if (*y != x)
                        m_score[size_t(*y)] += m_weight[size_t(*u)];
            } else if (after == 1) {
                m_score[size_t(m_coverers[size_t(*u)])] += m_weight[size_t(*u)];
            }
        }
        rescore(x);
        m_moved[size_t(x)] = m_step;
    }

    const Neighbours& m_near;
    const Settings m_settings;
    SplitMix m_random;
    std::vector<char> m_kept;
    std::vector<int> m_count;
    std::vector<int> m_weight;
    std::vector<long> m_coverers; // the sum of the kept words covering a word
    std::vector<long> m_score;
    std::vector<long> m_moved;
    std::vector<long> m_overlap;
    std::vector<int> m_touched;
    std::vector<int> m_at;
    std::vector<int> m_code;
    OpenList m_open;
    long m_totalWeight = 0;
    long m_step = 0;
};

}

int main(int argc, char** argv)
{
    if (argc != 9) {
        std::fprintf(
            stderr, "usage: %s radius steps seed out start sample tenure weight\n", argv[0]);
        return 2;
    }
    const int radius = std::atoi(argv[1]);
    const long steps = std::atol(argv[2]);
    const quint64 seed = std::strtoull(argv[3], nullptr, 10);
    const std::string out = argv[4];
    const Search::Settings settings { std::atoi(argv[6]), std::atol(argv[7]), std::atoi(argv[8]) };
    if (radius < 1 || radius > 2 || settings.sample < 1 || settings.tenure < 0
        || settings.weight < 1) {
        std::fprintf(stderr, "radius 1 or 2; sample and weight at least 1\n");
        return 2;
    }
    const std::vector<Word> code = readCode(argv[5], kPairs);
    if (code.empty()) {
        std::fprintf(stderr, "no words to start from\n");
        return 2;
    }
    const Neighbours near(radius);
    Search search(near, code, settings, seed);
    std::fprintf(stderr, "start: %zu words, %zu uncovered\n", code.size(), search.open());
    const auto began = std::chrono::steady_clock::now();
    size_t best = size_t(-1);
    search.run(steps, [&](const std::vector<int>& kept, long step) {
        if (kept.size() >= best)
            return;
        best = kept.size();
        std::vector<ColumnMask> cover;
        for (int v : kept)
            cover.push_back(maskOf(wordAt(v), kPairs));
        std::sort(cover.begin(), cover.end());
        writeMasks(out, cover);
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        std::fprintf(stderr, "%zu words cover, step %ld, %.1f s\n", best, step, seconds);
    });
    std::fprintf(stderr, "smallest: %zu\n", best);
    return best == size_t(-1) ? 1 : 0;
}
