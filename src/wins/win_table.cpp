#include "win_table.h"

#include "engine/reduction.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <limits>
#include <thread>

namespace ottavario {

namespace {
    constexpr int kNumbers = 32;
    constexpr ColumnMask kAllNumbers = 0xFFFF'FFFFu;

    // C(x, k) for x up to 32 and k up to 9.
    struct Binomials {
        std::array<std::array<quint32, 10>, kNumbers + 1> c {};
        constexpr Binomials()
        {
            for (int x = 0; x <= kNumbers; ++x) {
                c[x][0] = 1;
                for (int k = 1; k < 10; ++k)
                    c[x][k] = x == 0 ? 0 : c[x - 1][k - 1] + c[x - 1][k];
            }
        }
    };
    constexpr Binomials kBinomials;
    constexpr quint32 binomial(int x, int k) { return kBinomials.c[x][k]; }

    constexpr quint32 kSixes = binomial(kNumbers, 6);
    constexpr quint32 kSevens = binomial(kNumbers, 7);
    static_assert(binomial(kNumbers, 8) == kEveryWinningColumn);

    // Ranks follow the engine's subset ranker over all 32 numbers: the set of
    // places (number - 1) p1 < p2 < ... < pk has rank C(p1, 1) + ... + C(pk, k).
    quint32 rankOf(ColumnMask set)
    {
        quint32 rank = 0;
        int slot = 1;
        for (ColumnMask m = set; m; m &= m - 1)
            rank += binomial(std::countr_zero(m), slot++);
        return rank;
    }

    // The k-set of the given rank, as ascending places.
    template <int K> std::array<int, K> setOfRank(quint32 rank)
    {
        std::array<int, K> places {};
        int x = kNumbers - 1;
        for (int slot = K; slot >= 1; --slot) {
            while (binomial(x, slot) > rank)
                --x;
            places[slot - 1] = x;
            rank -= binomial(x, slot);
            --x;
        }
        return places;
    }

    // The next k-set in rank order; false after the last one.
    template <int K> bool nextSet(std::array<int, K>& places)
    {
        for (int i = 0; i < K; ++i) {
            const int limit = i + 1 < K ? places[i + 1] : kNumbers;
            if (places[i] + 1 < limit) {
                ++places[i];
                for (int l = 0; l < i; ++l)
                    places[l] = l;
                return true;
            }
        }
        return false;
    }

    // Sets are walked as {a, b} u Y: Y a K-set, then b below Y, then a below b.
    // With the ranks' binomials of a and b left out, these are the ranks of
    // {a} u Y (`one`), of {a, b} u Y (`two`) and of {a, b} u Y less its j-th
    // place (`without[j]`); C(b, 2) + a completes the last two, a the first.
    template <int K> struct TopBases {
        quint32 one = 0;
        quint32 two = 0;
        std::array<quint32, K> without {};

        explicit TopBases(const std::array<int, K>& y)
        {
            std::array<quint32, K + 1> twoBefore {}; // places 0..j-1 of Y after a and b
            for (int i = 0; i < K; ++i) {
                one += binomial(y[i], i + 2);
                twoBefore[i + 1] = twoBefore[i] + binomial(y[i], i + 3);
            }
            two = twoBefore[K];
            quint32 after = 0; // places j+1..K-1, one slot lower without place j
            for (int j = K - 1; j >= 0; --j) {
                without[j] = twoBefore[j] + after;
                after += binomial(y[j], j + 2);
            }
        }
    };

    // Winners by their prizes. Small prizes, the bulk of every table, are
    // counted in a plain array; the rest in a hash table.
    class PrizeHistogram {
    public:
        PrizeHistogram()
            : m_small(kFewEights * kFewSevens * kFewSixes)
            , m_slots(64)
        {
        }

        void addNothing() { ++m_small[0]; }

        void add(const Prizes& p, qint64 count = 1)
        {
            if (p.eight < kFewEights && p.seven < kFewSevens && p.six < kFewSixes)
                m_small[size_t((p.eight * kFewSevens + p.seven) * kFewSixes + p.six)] += count;
            else
                m_slots[slotOf(p)].winners += count;
        }

        void merge(const PrizeHistogram& other)
        {
            for (size_t i = 0; i < m_small.size(); ++i)
                m_small[i] += other.m_small[i];
            for (const Slot& slot : other.m_slots)
                if (slot.used)
                    add(slot.prizes, slot.winners);
        }

        WinTable table() const
        {
            WinTable table;
            for (size_t i = 0; i < m_small.size(); ++i)
                if (m_small[i])
                    table.rows.push_back(
                        { { qint64(i / (kFewSevens * kFewSixes)),
                              qint64(i / kFewSixes % kFewSevens), qint64(i % kFewSixes) },
                            m_small[i] });
            for (const Slot& slot : m_slots)
                if (slot.used && slot.winners)
                    table.rows.push_back({ slot.prizes, slot.winners });
            std::sort(table.rows.begin(), table.rows.end(),
                [](const WinRow& a, const WinRow& b) { return a.prizes > b.prizes; });
            for (const WinRow& row : table.rows) {
                table.winners += row.winners;
                table.atLeastOne[0] += row.prizes.eight ? row.winners : 0;
                table.atLeastOne[1] += row.prizes.seven ? row.winners : 0;
                table.atLeastOne[2] += row.prizes.six ? row.winners : 0;
                table.prizeColumns
                    += (row.prizes.eight + row.prizes.seven + row.prizes.six) * row.winners;
            }
            return table;
        }

    private:
        static constexpr qint64 kFewEights = 2;
        static constexpr qint64 kFewSevens = 16;
        static constexpr qint64 kFewSixes = 256;

        struct Slot {
            Prizes prizes;
            qint64 winners = 0;
            bool used = false;
        };

        static size_t hashOf(const Prizes& p)
        {
            quint64 h = quint64(p.eight) * 0x9E37'79B9'7F4A'7C15ull;
            h ^= quint64(p.seven) + 0xC2B2'AE3D'27D4'EB4Full + (h << 6) + (h >> 2);
            h ^= quint64(p.six) + 0x1656'67B1'9E37'79F9ull + (h << 6) + (h >> 2);
            return size_t(h ^ (h >> 29));
        }

        size_t slotOf(const Prizes& prizes)
        {
            if (2 * (m_used + 1) > m_slots.size())
                grow();
            const size_t mask = m_slots.size() - 1;
            for (size_t i = hashOf(prizes) & mask;; i = (i + 1) & mask) {
                Slot& slot = m_slots[i];
                if (!slot.used) {
                    slot = { prizes, 0, true };
                    ++m_used;
                    return i;
                }
                if (slot.prizes == prizes)
                    return i;
            }
        }

        void grow()
        {
            std::vector<Slot> old(m_slots.size() * 2);
            old.swap(m_slots);
            m_used = 0;
            for (const Slot& slot : old)
                if (slot.used)
                    m_slots[slotOf(slot.prizes)].winners = slot.winners;
        }

        std::vector<qint64> m_small; // by 8s, then 7s, then 6s
        std::vector<Slot> m_slots; // open addressing, a power of two long
        size_t m_used = 0;
    };
}

class WinCounter::Counts {
public:
    explicit Counts(std::vector<ColumnMask> kept)
        : m_kept(std::move(kept))
    {
    }
    virtual ~Counts() = default;

    virtual Prizes prizesOf(ColumnMask winning) const = 0;
    // The winners {w, v} u Y for every 6-set Y of rank first to end - 1 and
    // w < v below the places of Y.
    virtual void walk(quint32 first, quint32 end, PrizeHistogram& out) const = 0;

    const std::vector<ColumnMask>& kept() const { return m_kept; }

private:
    std::vector<ColumnMask> m_kept;
};

namespace {
    // The counts of 7-subsets and the sums of the 6-subset counts within each
    // 7-set share one word, the 7s in the high half, so that one addition
    // adds both. Half is 16 bits while 8 x 7 x the largest 6-subset count fits.
    template <typename Packed, typename Count>
    class PackedCounts final : public WinCounter::Counts {
        static constexpr int kShift = std::numeric_limits<Packed>::digits / 2;
        static constexpr Packed kLowHalf = (Packed(1) << kShift) - 1;

    public:
        PackedCounts(std::vector<ColumnMask> kept, const std::vector<quint32>& sixes)
            : Counts(std::move(kept))
            , m_sevenRanker(kAllNumbers, 7)
            , m_sevens(kSevens)
            , m_eights(size_t(kEveryWinningColumn))
        {
            for (ColumnMask column : this->kept()) {
                m_sevenRanker.anySubset(column, [&](quint32 rank, ColumnMask) {
                    m_sevens[rank] += Packed(1) << kShift;
                    return false;
                });
                ++m_eights[rankOf(column)];
            }
            sumSixesWithinSevens(sixes);
        }

        Prizes prizesOf(ColumnMask winning) const override
        {
            Packed sum = 0;
            m_sevenRanker.anySubset(winning, [&](quint32 rank, ColumnMask) {
                sum += m_sevens[rank];
                return false;
            });
            return prizesFrom(sum, m_eights[rankOf(winning)]);
        }

        void walk(quint32 first, quint32 end, PrizeHistogram& out) const override
        {
            const Packed* const sevens = m_sevens.data();
            std::array<int, 6> y = setOfRank<6>(first);
            for (quint32 rank = first; rank < end; ++rank, nextSet<6>(y)) {
                // The winners {w, v} u Y, w < v < Y. Their 7-subsets: {v} u Y,
                // {w} u Y and the six {w, v} u Y less one place of Y; over w
                // each lies in a row of neighbours.
                const TopBases<6> bases(y);
                const Packed* const one = sevens + bases.one;
                for (int v = 1; v < y[0]; ++v) {
                    const quint32 pair = binomial(v, 2);
                    const Packed withV = one[v];
                    const Packed* r0 = sevens + bases.without[0] + pair;
                    const Packed* r1 = sevens + bases.without[1] + pair;
                    const Packed* r2 = sevens + bases.without[2] + pair;
                    const Packed* r3 = sevens + bases.without[3] + pair;
                    const Packed* r4 = sevens + bases.without[4] + pair;
                    const Packed* r5 = sevens + bases.without[5] + pair;
                    // Only a kept column holding {v} u Y can be a whole winner.
                    const Count* eights
                        = (withV >> kShift) ? m_eights.data() + bases.two + pair : nullptr;
                    for (int w = 0; w < v; ++w) {
                        const Packed sum
                            = withV + one[w] + r0[w] + r1[w] + r2[w] + r3[w] + r4[w] + r5[w];
                        if ((sum & kLowHalf) == 0)
                            out.addNothing();
                        else
                            out.add(prizesFrom(sum, eights ? eights[w] : Count(0)));
                    }
                }
            }
        }

    private:
        // Sum of the counts over the 7-subsets: S7 in the high half, twice
        // S6 in the low one (each 6-subset lies in two 7-subsets of a winner).
        static Prizes prizesFrom(Packed sum, Count eights)
        {
            const qint64 s6 = qint64(sum & kLowHalf) / 2;
            const qint64 s7 = qint64(sum >> kShift);
            Prizes p;
            p.eight = eights;
            p.seven = s7 - 8 * p.eight;
            p.six = s6 - 28 * p.eight - 7 * p.seven;
            return p;
        }

        // For each 7-set X the sum of the counts of its seven 6-subsets, with
        // X = {x, u} u Z, x < u < Z, walked as the winners are.
        void sumSixesWithinSevens(const std::vector<quint32>& sixes)
        {
            const quint32* const c = sixes.data();
            std::array<int, 5> z { 0, 1, 2, 3, 4 };
            for (quint32 rank = 0; rank < binomial(kNumbers, 5); ++rank, nextSet<5>(z)) {
                const TopBases<5> bases(z);
                const quint32* const one = c + bases.one;
                for (int u = 1; u < z[0]; ++u) {
                    const quint32 pair = binomial(u, 2);
                    const quint32 withU = one[u];
                    const quint32* r0 = c + bases.without[0] + pair;
                    const quint32* r1 = c + bases.without[1] + pair;
                    const quint32* r2 = c + bases.without[2] + pair;
                    const quint32* r3 = c + bases.without[3] + pair;
                    const quint32* r4 = c + bases.without[4] + pair;
                    Packed* sevens = m_sevens.data() + bases.two + pair;
                    for (int x = 0; x < u; ++x)
                        sevens[x] += Packed(withU + one[x] + r0[x] + r1[x] + r2[x] + r3[x] + r4[x]);
                }
            }
        }

        SubsetRanker m_sevenRanker;
        std::vector<Packed> m_sevens;
        std::vector<Count> m_eights; // how many times each set of 8 is kept
    };

    std::unique_ptr<const WinCounter::Counts> countsOf(std::span<const ColumnMask> columns)
    {
        // A mask's value orders sets as their ranks do: in that order the
        // subsets of neighbouring columns are counted in nearby places.
        std::vector<ColumnMask> kept(columns.begin(), columns.end());
        std::sort(kept.begin(), kept.end());
        std::vector<quint32> sixes(kSixes);
        const SubsetRanker sixRanker(kAllNumbers, 6);
        for (ColumnMask column : kept)
            sixRanker.anySubset(column, [&](quint32 rank, ColumnMask) {
                ++sixes[rank];
                return false;
            });
        // Distinct columns share a 6-set at most C(26, 2) = 325 times.
        const quint32 most = kept.empty() ? 0 : *std::max_element(sixes.begin(), sixes.end());
        if (quint64(most) * 8 * 7 <= 0xFFFF)
            return std::make_unique<PackedCounts<quint32, quint16>>(std::move(kept), sixes);
        return std::make_unique<PackedCounts<quint64, quint32>>(std::move(kept), sixes);
    }

    // The most numbers the best kept column shares with a winner that no kept
    // column reaches with 6: the largest t below 6 with a t-subset of the
    // winner in a kept column. The marks of each t are made when first asked.
    class LowerScores {
    public:
        explicit LowerScores(const std::vector<ColumnMask>& kept)
            : m_kept(kept)
        {
        }

        int bestOf(ColumnMask winning)
        {
            if (m_kept.empty())
                return 0;
            for (int t = 5; t >= 1; --t) {
                Level& level = levelOf(t);
                const bool held = level.ranker.anySubset(
                    winning, [&](quint32 rank, ColumnMask) { return bool(level.marked[rank]); });
                if (held)
                    return t;
            }
            return 0;
        }

    private:
        struct Level {
            SubsetRanker ranker;
            std::vector<bool> marked;
        };

        Level& levelOf(int t)
        {
            auto& level = m_levels[t];
            if (!level) {
                level = std::make_unique<Level>(Level {
                    SubsetRanker(kAllNumbers, t), std::vector<bool>(binomial(kNumbers, t)) });
                for (ColumnMask column : m_kept)
                    level->ranker.anySubset(column, [&](quint32 rank, ColumnMask) {
                        level->marked[rank] = true;
                        return false;
                    });
            }
            return *level;
        }

        const std::vector<ColumnMask>& m_kept;
        std::array<std::unique_ptr<Level>, 6> m_levels;
    };
}

WinCounter::WinCounter(std::span<const ColumnMask> kept)
    : m_counts(countsOf(kept))
{
}

WinCounter::~WinCounter() = default;

qsizetype WinCounter::keptCount() const { return qsizetype(m_counts->kept().size()); }

Prizes WinCounter::prizesOf(ColumnMask winning) const
{
    if (std::popcount(winning) == kColumnSize)
        return m_counts->prizesOf(winning);
    // Fewer numbers typed than a column holds: no subset sums, just count.
    Prizes prizes;
    for (ColumnMask column : m_counts->kept()) {
        const int points = commonNumbers(column, winning);
        prizes.eight += points == 8;
        prizes.seven += points == 7;
        prizes.six += points == 6;
    }
    return prizes;
}

WinTable WinCounter::over(std::span<const ColumnMask> winners) const
{
    PrizeHistogram histogram;
    LowerScores lower(m_counts->kept());
    int guarantee = kColumnSize;
    for (ColumnMask winning : distinctColumns(winners)) {
        const Prizes prizes = m_counts->prizesOf(winning);
        histogram.add(prizes);
        const int best = prizes.eight ? 8
            : prizes.seven            ? 7
            : prizes.six              ? 6
                                      : lower.bestOf(winning);
        guarantee = std::min(guarantee, best);
    }
    WinTable table = histogram.table();
    table.guarantee = table.winners ? guarantee : -1;
    return table;
}

WinTable WinCounter::overEveryWinningColumn(int threads) const
{
    // Chunks of 6-sets handed out in turn: the later ones lead more winners.
    constexpr quint32 kChunk = 1 << 12;
    const quint32 chunks = (kSixes + kChunk - 1) / kChunk;
    std::atomic<quint32> next { 0 };
    const int workers = std::max(1, threads);
    std::vector<PrizeHistogram> histograms(static_cast<size_t>(workers));
    auto work = [&](PrizeHistogram& out) {
        for (quint32 chunk = next++; chunk < chunks; chunk = next++)
            m_counts->walk(chunk * kChunk, std::min(kSixes, (chunk + 1) * kChunk), out);
    };
    std::vector<std::thread> helpers;
    for (int i = 1; i < workers; ++i)
        helpers.emplace_back(work, std::ref(histograms[size_t(i)]));
    work(histograms[0]);
    for (std::thread& helper : helpers)
        helper.join();
    for (size_t i = 1; i < histograms.size(); ++i)
        histograms[0].merge(histograms[i]);
    return histograms[0].table();
}

std::vector<ColumnMask> distinctColumns(std::span<const ColumnMask> columns)
{
    std::vector<ColumnMask> distinct;
    distinct.reserve(columns.size());
    for (ColumnMask column : columns)
        if (std::popcount(column) == kColumnSize)
            distinct.push_back(column);
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    return distinct;
}

} // namespace ottavario
