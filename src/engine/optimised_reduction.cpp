#include "optimised_reduction.h"

#include "linear_cover.h"
#include "reduction.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <map>
#include <mutex>
#include <numeric>
#include <queue>
#include <thread>
#include <utility>

namespace ottavario {

namespace {
    // The t-subsets of the columns of a universe of at most 32 numbers, ranked
    // in the combinatorial number system over the universe's numbers renumbered
    // 0 to D-1, each handed over with its mask.
    class SubsetWalker {
    public:
        explicit SubsetWalker(ColumnMask universe)
            : m_universe(universe)
        {
            for (int x = 0; x <= 32; ++x) {
                m_binomial[x][0] = 1;
                for (int k = 1; k <= kColumnSize; ++k)
                    m_binomial[x][k] = x == 0 ? 0 : m_binomial[x - 1][k - 1] + m_binomial[x - 1][k];
            }
            for (int bit = 0; bit < 32; ++bit)
                if (universe >> bit & 1)
                    m_place[bit] = m_size++;
        }

        quint32 count(int k) const { return m_binomial[m_size][k]; }

        template <typename Visit> void forEach(ColumnMask column, int k, Visit&& visit) const
        {
            std::array<Piece, kColumnSize> pieces {};
            int size = 0;
            for (ColumnMask m = column & m_universe; m && size < kColumnSize; m &= m - 1)
                pieces[size++] = { m & (~m + 1), m_place[std::countr_zero(m)] };
            switch (k) {
            case 1:
                return walk<0, 1>(pieces.data(), size, 0, 0, 0, visit);
            case 2:
                return walk<0, 2>(pieces.data(), size, 0, 0, 0, visit);
            case 3:
                return walk<0, 3>(pieces.data(), size, 0, 0, 0, visit);
            case 4:
                return walk<0, 4>(pieces.data(), size, 0, 0, 0, visit);
            case 5:
                return walk<0, 5>(pieces.data(), size, 0, 0, 0, visit);
            case 6:
                return walk<0, 6>(pieces.data(), size, 0, 0, 0, visit);
            case 7:
                return walk<0, 7>(pieces.data(), size, 0, 0, 0, visit);
            case 8:
                return walk<0, 8>(pieces.data(), size, 0, 0, 0, visit);
            default:
                return;
            }
        }

    private:
        struct Piece {
            ColumnMask bit = 0;
            int place = 0;
        };

        template <int Slot, int Size, typename Visit>
        void walk(const Piece* pieces, int count, int from, quint32 rank, ColumnMask subset,
            Visit& visit) const
        {
            if constexpr (Slot == Size) {
                visit(rank, subset);
            } else {
                for (int p = from; p <= count - (Size - Slot); ++p)
                    walk<Slot + 1, Size>(pieces, count, p + 1,
                        rank + m_binomial[pieces[p].place][Slot + 1], subset | pieces[p].bit,
                        visit);
            }
        }

        ColumnMask m_universe = 0;
        int m_size = 0;
        std::array<int, 32> m_place {};
        std::array<std::array<quint32, kColumnSize + 1>, 33> m_binomial {};
    };

    // splitmix64: the same numbers on every platform.
    class Random {
    public:
        explicit Random(quint64 seed)
            : m_state(seed)
        {
        }
        quint64 next()
        {
            quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            return z ^ (z >> 31);
        }
        size_t below(size_t bound) { return static_cast<size_t>(next() % bound); }

    private:
        quint64 m_state;
    };

    ColumnMask universeOf(std::span<const ColumnMask> columns)
    {
        return std::accumulate(columns.begin(), columns.end(), ColumnMask(0), std::bit_or<>());
    }

    // Each different set once, in the order of its first appearance.
    std::vector<ColumnMask> distinctInOrder(std::span<const ColumnMask> columns)
    {
        // Open addressing on a table at least twice as large as the input;
        // the empty set is told apart by a flag of its own.
        const int bits = std::max(4, static_cast<int>(std::bit_width(columns.size() * 2)));
        const size_t mask = (size_t(1) << bits) - 1;
        std::vector<ColumnMask> table(mask + 1, 0);
        bool emptySeen = false;
        std::vector<ColumnMask> out;
        for (ColumnMask c : columns) {
            if (c == 0) {
                if (!emptySeen)
                    out.push_back(c);
                emptySeen = true;
                continue;
            }
            size_t at = (quint64(c) * 0x9e3779b97f4a7c15ULL) >> (64 - bits);
            while (table[at] != 0 && table[at] != c)
                at = (at + 1) & mask;
            if (table[at] == 0) {
                table[at] = c;
                out.push_back(c);
            }
        }
        return out;
    }

    qint64 binomial(int n, int k)
    {
        qint64 c = 1;
        for (int i = 0; i < k; ++i)
            c = c * (n - i) / (i + 1);
        return c;
    }

    // Steps of the gain of one column: look-ups through its k-subsets for
    // t <= k < n, a walk through them costing about 16 look-ups more.
    qint64 gainSteps(int size, int threshold)
    {
        constexpr qint64 kWalkSteps = 16;
        qint64 steps = 0;
        for (int k = threshold; k < size; ++k)
            steps += binomial(size, k) + kWalkSteps;
        return steps;
    }

    // Counts the steps of a search and tells whether it may go on. The
    // progress it reports is a share of the whole run: a phase moves it
    // between two shares, by its steps towards the limit or by a share of its
    // own; it never goes back.
    class Meter {
    public:
        Meter(qint64 limit, const std::atomic<bool>* stop, const OptimisationProgress* progress)
            : m_limit(limit)
            , m_stop(stop)
            , m_progress(progress && *progress ? progress : nullptr)
        {
        }

        void use(qint64 steps)
        {
            m_used += steps;
            if (m_progress && !m_byShare && m_used >= m_nextReport) {
                const qint64 span = std::max<qint64>(m_limit - m_base, 1);
                show(double(std::min(m_used - m_base, span)) / double(span));
                m_nextReport = m_used + std::max<qint64>(span / 256, 1);
            }
        }
        qint64 used() const { return m_used; }
        void setLimit(qint64 limit) { m_limit = limit; }
        // What the progress reports as the whole.
        void setTotal(qint64 total) { m_total = total; }
        // From here to the limit, the steps move the progress from `from` to `to`.
        void spanSteps(double from, double to)
        {
            m_from = from;
            m_to = to;
            m_base = m_used;
            m_nextReport = m_used;
            m_byShare = false;
        }
        // The phase tells its own share with reachShare().
        void spanShare(double from, double to)
        {
            m_from = from;
            m_to = to;
            m_byShare = true;
        }
        void reachShare(double share)
        {
            if (m_progress && m_byShare)
                show(share);
        }
        bool stopped() const { return m_stop && m_stop->load(std::memory_order_relaxed); }
        bool exhausted() const { return m_used >= m_limit || stopped(); }

    private:
        void show(double share)
        {
            const double whole = m_from + (m_to - m_from) * std::clamp(share, 0.0, 1.0);
            const qint64 done = std::min(static_cast<qint64>(whole * double(m_total)), m_total);
            if (done < m_shown + std::max<qint64>(m_total / 512, 1))
                return;
            m_shown = done;
            (*m_progress)(done, m_total);
        }

        qint64 m_limit;
        qint64 m_used = 0;
        qint64 m_total = 1;
        qint64 m_nextReport = 0;
        qint64 m_base = 0;
        qint64 m_shown = 0;
        double m_from = 0;
        double m_to = 1;
        bool m_byShare = false;
        const std::atomic<bool>* m_stop;
        const OptimisationProgress* m_progress;
    };

    // Distinct columns of one size n and a threshold t with 0 < t < n: column
    // c covers column d when they share t or more numbers. The columns that
    // hold a t-subset are listed under its rank, so the columns c covers are
    // found by walking the lists of its C(n, t) subsets.
    class CoverProblem {
    public:
        CoverProblem(std::vector<ColumnMask> columns, int threshold)
            : m_columns(std::move(columns))
            , m_threshold(threshold)
            , m_size(std::popcount(m_columns.front()))
            , m_walker(universeOf(m_columns))
        {
            m_offsets.assign(static_cast<size_t>(m_walker.count(m_threshold)) + 1, 0);
            for (ColumnMask m : m_columns)
                m_walker.forEach(
                    m, m_threshold, [&](quint32 rank, ColumnMask) { ++m_offsets[rank + 1]; });
            for (size_t i = 1; i < m_offsets.size(); ++i) {
                m_mostPerSubset = std::max(m_mostPerSubset, m_offsets[i]);
                m_offsets[i] += m_offsets[i - 1];
            }
            m_members.resize(m_offsets.back());
            std::vector<quint32> fill(m_offsets.begin(), m_offsets.end() - 1);
            for (int d = 0; d < count(); ++d)
                m_walker.forEach(m_columns[static_cast<size_t>(d)], m_threshold,
                    [&](quint32 rank, ColumnMask) { m_members[fill[rank]++] = d; });

            // [j >= t] = sum over k = t..j of a_k C(j, k) with a_k = (-1)^(k-t) C(k-1, t-1):
            // counts over k-subsets give how many columns share t or more numbers.
            for (int k = m_threshold; k <= m_size; ++k) {
                qint64 c = 1;
                for (int i = 0; i < m_threshold - 1; ++i)
                    c = c * (k - 1 - i) / (i + 1);
                m_coefficient[static_cast<size_t>(k)] = (k - m_threshold) % 2 == 0 ? c : -c;
            }
        }

        int count() const { return static_cast<int>(m_columns.size()); }
        ColumnMask column(int i) const { return m_columns[static_cast<size_t>(i)]; }
        const std::vector<ColumnMask>& columns() const { return m_columns; }
        int threshold() const { return m_threshold; }
        int columnSize() const { return m_size; }
        const SubsetWalker& walker() const { return m_walker; }
        qint64 coefficient(int k) const { return m_coefficient[static_cast<size_t>(k)]; }
        quint32 mostPerSubset() const { return m_mostPerSubset; }

        // Calls visit(d) once for every column d that c covers, c included;
        // returns the list entries walked.
        template <typename Visit> qint64 forCovered(int c, Visit&& visit) const
        {
            const ColumnMask mc = column(c);
            qint64 walked = 0;
            m_walker.forEach(mc, m_threshold, [&](quint32 rank, ColumnMask subset) {
                const quint32 end = m_offsets[rank + 1];
                walked += end - m_offsets[rank];
                // Two columns sharing j numbers share C(j, t) subsets: the one
                // of their t lowest common numbers speaks for the pair, so no
                // other common number may lie below its highest.
                const ColumnMask below = (ColumnMask(2) << (31 - std::countl_zero(subset))) - 1;
                const ColumnMask outside = mc & ~subset & below;
                for (quint32 i = m_offsets[rank]; i < end; ++i) {
                    const int d = m_members[i];
                    if ((m_columns[static_cast<size_t>(d)] & outside) == 0)
                        visit(d);
                }
            });
            return walked;
        }

    private:
        std::vector<ColumnMask> m_columns;
        int m_threshold;
        int m_size;
        SubsetWalker m_walker;
        std::vector<quint32> m_offsets;
        std::vector<int> m_members;
        quint32 m_mostPerSubset = 0;
        std::array<qint64, kColumnSize + 1> m_coefficient {};
    };

    // A second thread for work that splits in two halves; without one both
    // halves run on the calling thread. What runs on it must not depend on
    // which thread runs it.
    class Helper {
    public:
        explicit Helper(bool enabled)
        {
            if (enabled)
                m_thread = std::thread([this] { serve(); });
        }
        ~Helper()
        {
            if (!m_thread.joinable())
                return;
            {
                const std::lock_guard lock(m_mutex);
                m_quit = true;
            }
            m_wake.notify_all();
            m_thread.join();
        }
        Helper(const Helper&) = delete;
        Helper& operator=(const Helper&) = delete;

        // work(0) here and work(1) on the helper, both finished on return.
        void both(const std::function<void(int)>& work)
        {
            if (!m_thread.joinable()) {
                work(0);
                work(1);
                return;
            }
            {
                const std::lock_guard lock(m_mutex);
                m_task = &work;
            }
            m_wake.notify_all();
            work(0);
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_task == nullptr; });
        }

    private:
        void serve()
        {
            std::unique_lock lock(m_mutex);
            for (;;) {
                m_wake.wait(lock, [&] { return m_quit || m_task != nullptr; });
                if (m_quit)
                    return;
                const std::function<void(int)>* task = m_task;
                lock.unlock();
                (*task)(1);
                lock.lock();
                m_task = nullptr;
                m_wake.notify_all();
            }
        }

        std::thread m_thread;
        std::mutex m_mutex;
        std::condition_variable m_wake;
        const std::function<void(int)>* m_task = nullptr;
        bool m_quit = false;
    };

    // Calls work(i) for i in [0, count), split over the helper when it pays.
    template <typename Work> void forEachIndex(Helper* helper, size_t count, Work&& work)
    {
        constexpr size_t kWorthSplitting = 256;
        if (!helper || count < kWorthSplitting) {
            for (size_t i = 0; i < count; ++i)
                work(i);
            return;
        }
        const size_t half = count / 2;
        helper->both([&](int part) {
            for (size_t i = part == 0 ? 0 : half, end = part == 0 ? half : count; i < end; ++i)
                work(i);
        });
    }

    // A set of kept columns with, for every column, how many kept columns
    // cover it. Columns not covered carry weights that grow while they stay
    // uncovered; for every k-subset (t <= k < n) the weight of the uncovered
    // columns holding it is summed, so what a column would newly cover costs
    // a few dozen look-ups instead of a walk through its neighbours. The sums
    // are kept as Sum: 16 bits are enough for the greedy, whose weights stay
    // 1, and halve the memory its look-ups go through.
    template <typename Sum> class CoverSearch {
    public:
        explicit CoverSearch(const CoverProblem& problem)
            : m_p(problem)
        {
            const size_t n = static_cast<size_t>(problem.count());
            m_weight.assign(n, 1);
            m_cover.assign(n, 0);
            m_coverXor.assign(n, 0);
            m_loss.assign(n, 0);
            m_keptAt.assign(n, -1);
            m_openAt.assign(n, -1);
            m_heapAt.assign(n, -1);
            m_stamp.assign(n, 0);
            for (int k = problem.threshold(); k < problem.columnSize(); ++k)
                m_openWeight[static_cast<size_t>(k)].assign(problem.walker().count(k), 0);
            m_subsetsPerColumn += gainSteps(problem.columnSize(), problem.threshold());
            const qint64 largestSum = std::numeric_limits<Sum>::max();
            m_weightCap = static_cast<qint32>(std::max<qint64>(
                2, largestSum / 4 / std::max<quint32>(problem.mostPerSubset(), 1)));
        }

        // The greedy: the column covering most uncovered columns, lowest first
        // among equals, until all are covered. Gains only fall, so a stale gain
        // is an upper bound: the top of the queue is taken once its gain is
        // fresh, and stale ones are recomputed in batches that grow while the
        // top stays stale (the choice is the same whatever the batch). Empty
        // when stopped.
        std::vector<int> greedy(Meter& meter, Helper* helper)
        {
            load({}, meter);
            // Gain above, lowest column first among equal gains below; with
            // every weight 1 a gain is a count of columns.
            auto key = [](qint64 gain, int c) {
                return quint64(gain) << 32 | (0xffffffffU - static_cast<quint32>(c));
            };
            auto columnOf = [](quint64 k) { return static_cast<int>(0xffffffffU - quint32(k)); };
            std::vector<quint64> entries(static_cast<size_t>(m_p.count()));
            forEachIndex(helper, entries.size(), [&](size_t c) {
                entries[c] = key(gain(static_cast<int>(c)), static_cast<int>(c));
            });
            meter.use(qint64(m_p.count()) * m_subsetsPerColumn);
            m_mostCovered = qint64(*std::max_element(entries.begin(), entries.end()) >> 32);
            std::priority_queue<quint64> queue(std::less<quint64>(), std::move(entries));
            // The adds done when each queued gain was computed.
            std::vector<quint32> computedAt(static_cast<size_t>(m_p.count()), 0);

            constexpr size_t kFirstBatch = 16;
            constexpr size_t kLargestBatch = 4096;
            quint32 round = 0;
            size_t batchSize = kFirstBatch;
            size_t recomputed = 0; // in this round
            std::vector<int> batch;
            std::vector<qint64> gains;
            auto fresh
                = [&](quint64 k) { return computedAt[static_cast<size_t>(columnOf(k))] == round; };
            while (!m_open.empty()) {
                if (meter.stopped())
                    return {};
                if (fresh(queue.top())) {
                    const int c = columnOf(queue.top());
                    queue.pop();
                    add(c, meter);
                    meter.reachShare(
                        1.0 - double(m_open.size()) / std::max<double>(m_p.count(), 1));
                    ++round;
                    batchSize = std::clamp(recomputed / 2, kFirstBatch, kLargestBatch);
                    recomputed = 0;
                    continue;
                }
                batch.clear();
                while (!queue.empty() && batch.size() < batchSize && !fresh(queue.top())) {
                    batch.push_back(columnOf(queue.top()));
                    queue.pop();
                }
                gains.resize(batch.size());
                forEachIndex(helper, batch.size(), [&](size_t i) { gains[i] = gain(batch[i]); });
                meter.use(qint64(batch.size()) * m_subsetsPerColumn);
                for (size_t i = 0; i < batch.size(); ++i) {
                    computedAt[static_cast<size_t>(batch[i])] = round;
                    if (gains[i] > 0)
                        queue.push(key(gains[i], batch[i]));
                }
                recomputed += batch.size();
                batchSize = std::min(batchSize * 2, kLargestBatch);
            }
            return m_kept;
        }

        // No set is smaller than the columns over the most any one covers.
        qsizetype lowerBound() const
        {
            return m_mostCovered > 0
                ? static_cast<qsizetype>((m_p.count() + m_mostCovered - 1) / m_mostCovered)
                : 1;
        }

        // From a covering set, swaps one kept column for another that covers
        // a random uncovered column; the weights steer it away from columns
        // that stay uncovered. Each time all are covered the set is recorded
        // and its cheapest column dropped. Returns the smallest covering set
        // seen, or nothing when `start` does not cover.
        std::vector<int> improve(
            const std::vector<int>& start, quint64 seed, qsizetype floor, Meter& meter)
        {
            load(start, meter);
            if (!m_open.empty())
                return {};
            m_ordered = true;
            rebuildHeap();
            constexpr qint64 kStepSteps = 64; // choosing, the heap, the bookkeeping
            std::vector<int> best = m_kept;
            Random random(seed);
            int added = -1;
            quint32 step = 0;
            while (static_cast<qsizetype>(best.size()) > std::max<qsizetype>(floor, 1)
                && !meter.exhausted()) {
                ++step;
                if (m_open.empty()) {
                    if (m_kept.size() < best.size())
                        best = m_kept;
                    remove(cheapestKept(-1), step, meter);
                    continue;
                }
                int removed = -1;
                if (!m_kept.empty()) {
                    removed = cheapestKept(added);
                    remove(removed, step, meter);
                }
                const int target = m_open[random.below(m_open.size())];
                added = bestCoverOf(target, removed, meter);
                add(added, step, meter);
                raiseOpenWeights(meter);
                meter.use(kStepSteps);
            }
            if (m_open.empty() && m_kept.size() < best.size())
                best = m_kept;
            m_ordered = false;
            return best;
        }

    private:
        void load(const std::vector<int>& start, Meter& meter)
        {
            std::fill(m_weight.begin(), m_weight.end(), 1);
            std::fill(m_cover.begin(), m_cover.end(), 0);
            std::fill(m_coverXor.begin(), m_coverXor.end(), 0);
            std::fill(m_loss.begin(), m_loss.end(), 0);
            std::fill(m_keptAt.begin(), m_keptAt.end(), -1);
            std::fill(m_openAt.begin(), m_openAt.end(), -1);
            std::fill(m_heapAt.begin(), m_heapAt.end(), -1);
            std::fill(m_stamp.begin(), m_stamp.end(), 0);
            for (auto& sums : m_openWeight)
                std::fill(sums.begin(), sums.end(), 0);
            m_kept.clear();
            m_open.clear();
            m_heap.clear();
            m_ordered = false;
            for (int c : start) {
                m_keptAt[static_cast<size_t>(c)] = static_cast<int>(m_kept.size());
                m_kept.push_back(c);
                meter.use(m_p.forCovered(c, [&](int d) {
                    ++m_cover[static_cast<size_t>(d)];
                    m_coverXor[static_cast<size_t>(d)] ^= static_cast<quint32>(c);
                }));
            }
            for (int d = 0; d < m_p.count(); ++d) {
                const size_t i = static_cast<size_t>(d);
                if (m_cover[i] == 0) {
                    open(d);
                    addToSubsets(d, m_weight[i]);
                } else if (m_cover[i] == 1) {
                    m_loss[m_coverXor[i]] += m_weight[i];
                }
            }
            meter.use(qint64(m_open.size()) * m_subsetsPerColumn + m_p.count());
        }

        // What c would newly cover, weighted.
        qint64 gain(int c) const
        {
            const ColumnMask mask = m_p.column(c);
            qint64 total = m_cover[static_cast<size_t>(c)] == 0
                ? m_p.coefficient(m_p.columnSize()) * m_weight[static_cast<size_t>(c)]
                : 0;
            for (int k = m_p.threshold(); k < m_p.columnSize(); ++k) {
                const Sum* sums = m_openWeight[static_cast<size_t>(k)].data();
                qint64 sum = 0;
                m_p.walker().forEach(mask, k, [&](quint32 rank, ColumnMask) { sum += sums[rank]; });
                total += m_p.coefficient(k) * sum;
            }
            return total;
        }

        void addToSubsets(int d, qint32 delta)
        {
            const ColumnMask mask = m_p.column(d);
            for (int k = m_p.threshold(); k < m_p.columnSize(); ++k) {
                Sum* sums = m_openWeight[static_cast<size_t>(k)].data();
                m_p.walker().forEach(mask, k, [&](quint32 rank, ColumnMask) {
                    sums[rank] = static_cast<Sum>(sums[rank] + delta);
                });
            }
        }

        void open(int d)
        {
            m_openAt[static_cast<size_t>(d)] = static_cast<int>(m_open.size());
            m_open.push_back(d);
        }

        void close(int d)
        {
            const int at = m_openAt[static_cast<size_t>(d)];
            const int last = m_open.back();
            m_open[static_cast<size_t>(at)] = last;
            m_openAt[static_cast<size_t>(last)] = at;
            m_open.pop_back();
            m_openAt[static_cast<size_t>(d)] = -1;
        }

        void changeLoss(quint32 r, qint64 delta)
        {
            m_loss[r] += delta;
            if (m_ordered)
                heapFix(static_cast<int>(r));
        }

        void add(int c, quint32 step, Meter& meter)
        {
            m_stamp[static_cast<size_t>(c)] = step;
            m_keptAt[static_cast<size_t>(c)] = static_cast<int>(m_kept.size());
            m_kept.push_back(c);
            m_loss[static_cast<size_t>(c)] = 0;
            qint64 changed = 0;
            const qint64 walked = m_p.forCovered(c, [&](int d) {
                const size_t i = static_cast<size_t>(d);
                const quint32 before = m_cover[i]++;
                if (before == 0) {
                    close(d);
                    addToSubsets(d, -m_weight[i]);
                    m_loss[static_cast<size_t>(c)] += m_weight[i];
                    ++changed;
                } else if (before == 1) {
                    changeLoss(m_coverXor[i], -m_weight[i]);
                }
                m_coverXor[i] ^= static_cast<quint32>(c);
            });
            if (m_ordered)
                heapInsert(c);
            meter.use(walked + changed * m_subsetsPerColumn);
        }

        void add(int c, Meter& meter) { add(c, 0, meter); }

        void remove(int r, quint32 step, Meter& meter)
        {
            if (m_ordered)
                heapErase(r);
            m_stamp[static_cast<size_t>(r)] = step;
            const int at = m_keptAt[static_cast<size_t>(r)];
            const int last = m_kept.back();
            m_kept[static_cast<size_t>(at)] = last;
            m_keptAt[static_cast<size_t>(last)] = at;
            m_kept.pop_back();
            m_keptAt[static_cast<size_t>(r)] = -1;
            qint64 changed = 0;
            const qint64 walked = m_p.forCovered(r, [&](int d) {
                const size_t i = static_cast<size_t>(d);
                m_coverXor[i] ^= static_cast<quint32>(r);
                const quint32 after = --m_cover[i];
                if (after == 0) {
                    open(d);
                    addToSubsets(d, m_weight[i]);
                    ++changed;
                } else if (after == 1) {
                    changeLoss(m_coverXor[i], m_weight[i]);
                }
            });
            meter.use(walked + changed * m_subsetsPerColumn);
        }

        // Smaller key first, then the one changed longest ago, then the lower.
        bool before(int a, qint64 keyA, int b, qint64 keyB) const
        {
            if (keyA != keyB)
                return keyA < keyB;
            const quint32 sa = m_stamp[static_cast<size_t>(a)];
            const quint32 sb = m_stamp[static_cast<size_t>(b)];
            return sa != sb ? sa < sb : a < b;
        }

        // The kept columns in a heap, cheapest to remove on top.
        bool lighter(int a, int b) const
        {
            return before(a, m_loss[static_cast<size_t>(a)], b, m_loss[static_cast<size_t>(b)]);
        }
        void heapPlace(size_t at, int c)
        {
            m_heap[at] = c;
            m_heapAt[static_cast<size_t>(c)] = static_cast<int>(at);
        }
        void heapUp(size_t at)
        {
            const int c = m_heap[at];
            while (at > 0 && lighter(c, m_heap[(at - 1) / 2])) {
                heapPlace(at, m_heap[(at - 1) / 2]);
                at = (at - 1) / 2;
            }
            heapPlace(at, c);
        }
        void heapDown(size_t at)
        {
            const int c = m_heap[at];
            for (;;) {
                size_t child = 2 * at + 1;
                if (child >= m_heap.size())
                    break;
                if (child + 1 < m_heap.size() && lighter(m_heap[child + 1], m_heap[child]))
                    ++child;
                if (!lighter(m_heap[child], c))
                    break;
                heapPlace(at, m_heap[child]);
                at = child;
            }
            heapPlace(at, c);
        }
        void heapFix(int c)
        {
            const int at = m_heapAt[static_cast<size_t>(c)];
            if (at < 0)
                return;
            heapUp(static_cast<size_t>(at));
            heapDown(static_cast<size_t>(m_heapAt[static_cast<size_t>(c)]));
        }
        void heapInsert(int c)
        {
            m_heap.push_back(c);
            heapUp(m_heap.size() - 1);
        }
        void heapErase(int c)
        {
            const size_t at = static_cast<size_t>(m_heapAt[static_cast<size_t>(c)]);
            m_heapAt[static_cast<size_t>(c)] = -1;
            const int last = m_heap.back();
            m_heap.pop_back();
            if (at < m_heap.size()) {
                heapPlace(at, last);
                heapFix(last);
            }
        }
        void rebuildHeap()
        {
            for (int c : m_heap)
                m_heapAt[static_cast<size_t>(c)] = -1;
            m_heap.clear();
            for (int c : m_kept)
                heapInsert(c);
        }

        // The kept column whose removal uncovers the least weight, the one
        // changed longest ago among equals; `spared` only if it is alone.
        int cheapestKept(int spared) const
        {
            if (m_heap.empty())
                return spared;
            if (m_heap[0] != spared)
                return m_heap[0];
            int best = spared;
            for (size_t child : { size_t(1), size_t(2) })
                if (child < m_heap.size() && (best == spared || lighter(m_heap[child], best)))
                    best = m_heap[child];
            return best;
        }

        // The column covering `target` that covers most uncovered weight, the
        // one changed longest ago among equals; `banned` only if it is alone.
        int bestCoverOf(int target, int banned, Meter& meter) const
        {
            int best = -1;
            qint64 bestGain = 0;
            qint64 looked = 0;
            const qint64 walked = m_p.forCovered(target, [&](int c) {
                if (c == banned)
                    return;
                ++looked;
                const qint64 g = gain(c);
                if (best < 0 || before(c, -g, best, -bestGain)) {
                    best = c;
                    bestGain = g;
                }
            });
            meter.use(walked + looked * m_subsetsPerColumn);
            return best >= 0 ? best : banned;
        }

        void raiseOpenWeights(Meter& meter)
        {
            bool tooHeavy = false;
            for (int d : m_open) {
                const size_t i = static_cast<size_t>(d);
                ++m_weight[i];
                addToSubsets(d, 1);
                tooHeavy = tooHeavy || m_weight[i] >= m_weightCap;
            }
            meter.use(qint64(m_open.size()) * m_subsetsPerColumn);
            if (tooHeavy)
                halveWeights(meter);
        }

        // Keeps every sum of weights far from overflow; only their ratios matter.
        void halveWeights(Meter& meter)
        {
            for (int d : m_open)
                addToSubsets(d, -m_weight[static_cast<size_t>(d)]);
            for (qint32& w : m_weight)
                w = (w + 1) / 2;
            for (int d : m_open)
                addToSubsets(d, m_weight[static_cast<size_t>(d)]);
            for (int r : m_kept)
                m_loss[static_cast<size_t>(r)] = 0;
            for (size_t i = 0; i < m_cover.size(); ++i)
                if (m_cover[i] == 1)
                    m_loss[m_coverXor[i]] += m_weight[i];
            if (m_ordered)
                rebuildHeap();
            meter.use(2 * qint64(m_open.size()) * m_subsetsPerColumn + m_p.count());
        }

        const CoverProblem& m_p;
        std::vector<qint32> m_weight;
        std::vector<quint32> m_cover; // kept columns covering each column
        std::vector<quint32> m_coverXor; // their indices xor-ed: the only one when 1
        std::vector<qint64> m_loss; // kept: the weight only it covers
        std::vector<int> m_keptAt;
        std::vector<int> m_openAt;
        std::vector<int> m_heapAt;
        std::vector<quint32> m_stamp; // step of the last change, for ties
        std::vector<int> m_kept;
        std::vector<int> m_open;
        std::vector<int> m_heap;
        bool m_ordered = false; // the heap follows the losses
        std::array<std::vector<Sum>, kColumnSize> m_openWeight;
        qint64 m_subsetsPerColumn = 1;
        qint64 m_mostCovered = 0;
        qint32 m_weightCap = 2;
    };

    // The greedy cover, and the lower bound it finds on the way; empty when
    // stopped.
    std::vector<int> greedyCover(
        const CoverProblem& problem, Meter& meter, Helper* helper, qsizetype& floor)
    {
        if (problem.mostPerSubset() <= std::numeric_limits<quint16>::max()) {
            CoverSearch<quint16> search(problem);
            std::vector<int> cover = search.greedy(meter, helper);
            floor = search.lowerBound();
            return cover;
        }
        CoverSearch<qint32> search(problem);
        std::vector<int> cover = search.greedy(meter, helper);
        floor = search.lowerBound();
        return cover;
    }

    std::vector<int> indicesOf(const std::vector<ColumnMask>& columns,
        const std::vector<std::pair<ColumnMask, int>>& sortedIndex)
    {
        std::vector<int> out;
        out.reserve(columns.size());
        for (ColumnMask m : columns) {
            const auto it = std::lower_bound(
                sortedIndex.begin(), sortedIndex.end(), std::pair<ColumnMask, int>(m, INT_MIN));
            if (it == sortedIndex.end() || it->first != m)
                return {};
            out.push_back(it->second);
        }
        return out;
    }

    // A cover of columns by the greedy and a short search, as masks.
    std::vector<ColumnMask> smallCover(std::vector<ColumnMask> columns, int threshold, qint64 work,
        const std::atomic<bool>* stop, qint64& used)
    {
        const int size = std::popcount(columns.front());
        if (threshold <= 0)
            return { columns.front() };
        if (threshold >= size)
            return columns;
        const CoverProblem problem(std::move(columns), threshold);
        Meter meter(work, stop, nullptr);
        qsizetype floor = 1;
        std::vector<int> cover = greedyCover(problem, meter, nullptr, floor);
        if (!cover.empty()) {
            CoverSearch<qint32> search(problem);
            std::vector<int> better = search.improve(cover, 1, floor, meter);
            if (!better.empty())
                cover = std::move(better);
        }
        used += meter.used();
        std::vector<ColumnMask> out;
        for (int c : cover)
            out.push_back(problem.column(c));
        return out;
    }

    // Groups of numbers such that the columns are every combination of one
    // part from each group: different numbers in every box give one group per
    // box, boxes that share numbers fall in one group. Numbers of different
    // groups are independent: a pair appears together in exactly the share of
    // columns that the product of their own shares predicts.
    struct NumberGroup {
        ColumnMask numbers = 0;
        std::vector<ColumnMask> parts; // distinct, in order of appearance
    };

    std::vector<NumberGroup> independentGroups(const std::vector<ColumnMask>& columns)
    {
        const qint64 m = static_cast<qint64>(columns.size());
        std::array<qint64, 32> alone {};
        std::array<std::array<qint64, 32>, 32> together {};
        for (ColumnMask c : columns)
            for (ColumnMask a = c; a; a &= a - 1) {
                const int i = std::countr_zero(a);
                ++alone[static_cast<size_t>(i)];
                for (ColumnMask b = a & (a - 1); b; b &= b - 1)
                    ++together[static_cast<size_t>(i)][static_cast<size_t>(std::countr_zero(b))];
            }
        std::array<int, 32> root {};
        std::iota(root.begin(), root.end(), 0);
        auto find = [&](int x) {
            while (root[static_cast<size_t>(x)] != x)
                x = root[static_cast<size_t>(x)]
                    = root[static_cast<size_t>(root[static_cast<size_t>(x)])];
            return x;
        };
        const ColumnMask universe = universeOf(columns);
        for (int i = 0; i < 32; ++i)
            for (int j = i + 1; j < 32; ++j)
                if ((universe >> i & 1) && (universe >> j & 1)
                    && together[static_cast<size_t>(i)][static_cast<size_t>(j)] * m
                        != alone[static_cast<size_t>(i)] * alone[static_cast<size_t>(j)])
                    root[static_cast<size_t>(find(j))] = find(i);

        std::vector<NumberGroup> groups;
        std::array<int, 32> groupOf {};
        groupOf.fill(-1);
        for (int i = 0; i < 32; ++i) {
            if (!(universe >> i & 1))
                continue;
            int& g = groupOf[static_cast<size_t>(find(i))];
            if (g < 0) {
                g = static_cast<int>(groups.size());
                groups.emplace_back();
            }
            groups[static_cast<size_t>(g)].numbers |= ColumnMask(1) << i;
        }
        double combinations = 1;
        for (NumberGroup& group : groups) {
            std::vector<ColumnMask> parts;
            parts.reserve(columns.size());
            const int size = std::popcount(columns.front() & group.numbers);
            for (ColumnMask c : columns) {
                if (std::popcount(c & group.numbers) != size)
                    return {};
                parts.push_back(c & group.numbers);
            }
            group.parts = distinctInOrder(parts);
            combinations *= static_cast<double>(group.parts.size());
        }
        if (combinations != static_cast<double>(m))
            return {};
        return groups;
    }

    // Direct sums: when the columns are all combinations of parts from two
    // groups of numbers, covers of the two with radii adding up to 8 - t make
    // a cover of the whole (the ternary Hamming code of length 4 taken twice
    // gives 81 columns for 6 points on 3 numbers in each box). Tries the most
    // balanced splits of the groups and every split of the radius.
    std::vector<int> productSeed(const CoverProblem& problem, std::vector<NumberGroup> groups,
        const std::vector<std::pair<ColumnMask, int>>& sortedIndex, qint64 work,
        const std::atomic<bool>* stop, qint64& used)
    {
        ColumnMask fixed = 0;
        std::erase_if(groups, [&](const NumberGroup& g) {
            if (g.parts.size() > 1)
                return false;
            fixed |= g.numbers;
            return true;
        });
        const int q = static_cast<int>(groups.size());
        if (q < 2 || q > 12)
            return {};

        struct Split {
            double balance;
            quint32 first; // groups in the first half, as bits
        };
        std::vector<Split> splits;
        for (quint32 g = 1; g < (quint32(1) << (q - 1)); ++g) {
            double logA = 0, logB = 0;
            for (int i = 0; i < q; ++i)
                (g >> i & 1 ? logA : logB)
                    += std::log(static_cast<double>(groups[static_cast<size_t>(i)].parts.size()));
            splits.push_back({ std::abs(logA - logB), g });
        }
        std::sort(splits.begin(), splits.end(), [](const Split& a, const Split& b) {
            return a.balance != b.balance ? a.balance < b.balance : a.first < b.first;
        });

        constexpr size_t kSplitsTried = 3;
        constexpr size_t kLargestHalf = 20000;
        const int radius = problem.columnSize() - problem.threshold();
        std::map<std::pair<ColumnMask, int>, std::vector<ColumnMask>> covers;
        auto coverOf = [&](ColumnMask numbers, int r) -> const std::vector<ColumnMask>& {
            auto [it, fresh] = covers.try_emplace({ numbers, r });
            if (fresh) {
                std::vector<ColumnMask> parts;
                parts.reserve(problem.columns().size());
                for (ColumnMask c : problem.columns())
                    parts.push_back(c & numbers);
                parts = distinctInOrder(parts);
                const int size = std::popcount(numbers & problem.columns().front());
                it->second = smallCover(std::move(parts), size - r, work, stop, used);
            }
            return it->second;
        };

        std::vector<std::pair<std::vector<size_t>, std::vector<size_t>>> shapes;
        std::vector<ColumnMask> bestA, bestB;
        size_t bestSize = SIZE_MAX;
        size_t tried = 0;
        for (const Split& split : splits) {
            if (tried == kSplitsTried)
                break;
            ColumnMask numbersA = fixed, numbersB = 0;
            size_t sizeA = 1, sizeB = 1;
            std::vector<size_t> shapeA, shapeB;
            for (int i = 0; i < q; ++i) {
                const NumberGroup& g = groups[static_cast<size_t>(i)];
                const bool inA = split.first >> i & 1;
                (inA ? numbersA : numbersB) |= g.numbers;
                (inA ? sizeA : sizeB) *= g.parts.size();
                (inA ? shapeA : shapeB).push_back(g.parts.size());
            }
            if (std::max(sizeA, sizeB) > kLargestHalf)
                continue;
            // Splits of the same shape give covers of the same size.
            std::sort(shapeA.begin(), shapeA.end());
            std::sort(shapeB.begin(), shapeB.end());
            if (shapeB < shapeA)
                std::swap(shapeA, shapeB);
            if (std::find(shapes.begin(), shapes.end(), std::pair(shapeA, shapeB)) != shapes.end())
                continue;
            shapes.emplace_back(shapeA, shapeB);
            ++tried;
            const int sizeOfA = std::popcount(numbersA & problem.columns().front());
            for (int r = std::max(0, radius - (problem.columnSize() - sizeOfA));
                 r <= std::min(radius, sizeOfA); ++r) {
                const std::vector<ColumnMask>& a = coverOf(numbersA, r);
                const std::vector<ColumnMask>& b = coverOf(numbersB, radius - r);
                if (a.size() * b.size() < bestSize) {
                    bestSize = a.size() * b.size();
                    bestA = a;
                    bestB = b;
                }
            }
        }
        if (bestSize == SIZE_MAX || bestSize > static_cast<size_t>(problem.count()))
            return {};
        std::vector<ColumnMask> product;
        product.reserve(bestSize);
        for (ColumnMask a : bestA)
            for (ColumnMask b : bestB)
                product.push_back(a | b);
        return indicesOf(product, sortedIndex);
    }

    // Different numbers in every box, as many in each: the columns are the
    // words of a code over that many symbols, and unions of cosets of linear
    // codes cover them (567 columns for 7 points on 3 numbers in each box,
    // where the products give 729).
    std::vector<int> linearSeed(const CoverProblem& problem, const std::vector<NumberGroup>& groups,
        const std::vector<std::pair<ColumnMask, int>>& sortedIndex, qint64 work, qint64& used)
    {
        if (groups.size() != size_t(kColumnSize))
            return {};
        const size_t q = groups.front().parts.size();
        for (const NumberGroup& g : groups)
            if (g.parts.size() != q || std::popcount(g.numbers) != static_cast<int>(q))
                return {};
        const int radius = problem.columnSize() - problem.threshold();
        const std::vector<quint32> words
            = linearCoveringCode(static_cast<int>(q), kColumnSize, radius, work, &used);
        std::vector<ColumnMask> columns;
        columns.reserve(words.size());
        for (quint32 word : words) {
            ColumnMask column = 0;
            for (const NumberGroup& g : groups) {
                column |= g.parts[word % q];
                word /= static_cast<quint32>(q);
            }
            columns.push_back(column);
        }
        return indicesOf(columns, sortedIndex);
    }
}

std::vector<ColumnMask> optimiseReduction(
    std::span<const ColumnMask> developed, int threshold, const OptimisationOptions& options)
{
    std::vector<ColumnMask> classic = reduceColumns(developed, threshold);
    const qint64 work = std::max<qint64>(options.work, 1);
    auto finished = [&] {
        if (options.progress)
            options.progress(work, work);
    };
    const bool eightEach = std::all_of(developed.begin(), developed.end(),
        [](ColumnMask m) { return std::popcount(m) == kColumnSize; });
    if (threshold <= 0 || threshold >= kColumnSize || !eightEach || classic.size() <= 1) {
        finished();
        return classic;
    }

    const CoverProblem problem(distinctInOrder(developed), threshold);
    std::vector<std::pair<ColumnMask, int>> sortedIndex;
    sortedIndex.reserve(static_cast<size_t>(problem.count()));
    for (int i = 0; i < problem.count(); ++i)
        sortedIndex.emplace_back(problem.column(i), i);
    std::sort(sortedIndex.begin(), sortedIndex.end());

    // The greedy and the seeds count against the bound of the first search;
    // the progress follows that one. The greedy takes about ten times the
    // steps of its first gains, and its share of the progress is its share of
    // the steps the whole run is expected to take.
    Meter first(work, options.stop, &options.progress);
    first.setTotal(work);
    const double greedySteps
        = 10.0 * double(problem.count()) * double(gainSteps(kColumnSize, threshold));
    const double searchSteps = std::max(double(work) - greedySteps, double(work) / 4);
    const double greedyShare = std::clamp(greedySteps / (greedySteps + searchSteps), 0.02, 0.9);
    first.spanShare(0, greedyShare);
    Helper helper(options.threads >= 2);
    qsizetype floor = 1;
    const std::vector<int> greedy = greedyCover(problem, first, &helper, floor);
    if (greedy.empty()) {
        finished();
        return classic;
    }
    std::vector<int> start = indicesOf(classic, sortedIndex);
    if (start.empty() || greedy.size() < start.size())
        start = greedy;

    // Seeds are small searches: even a short bound lets them finish.
    constexpr qint64 kLeastSeedWork = 1'000'000;
    // The second search starts from the smallest seed when one is no larger
    // than the greedy: a tight code the swaps seldom improve on.
    std::vector<int> startB = start;
    if (!first.stopped()) {
        qint64 seedWork = 0;
        const std::vector<NumberGroup> groups = independentGroups(problem.columns());
        std::vector<int> product = productSeed(problem, groups, sortedIndex,
            std::max(work / 256, kLeastSeedWork), options.stop, seedWork);
        std::vector<int> linear = linearSeed(
            problem, groups, sortedIndex, std::max(work / 8, 4 * kLeastSeedWork), seedWork);
        first.use(seedWork);
        for (std::vector<int>* seed : { &product, &linear })
            if (!seed->empty() && seed->size() <= startB.size())
                startB = std::move(*seed);
    }

    // Both searches get the same bound, whatever the other one does.
    const qint64 searchWork = std::max(work - first.used(), work / 4);
    first.setLimit(first.used() + searchWork);
    first.spanSteps(greedyShare, 1);
    std::vector<int> bestA, bestB;
    helper.both([&](int which) {
        CoverSearch<qint32> search(problem);
        if (which == 0) {
            bestA = search.improve(start, 1, floor, first);
        } else {
            Meter second(searchWork, options.stop, nullptr);
            bestB = search.improve(startB, 2, floor, second);
        }
    });
    // A seed counts only once a search has seen it cover.
    std::vector<int> best = start;
    for (const std::vector<int>* found : { &bestA, &bestB })
        if (!found->empty() && found->size() < best.size())
            best = *found;
    finished();
    if (best.size() >= classic.size())
        return classic;
    std::sort(best.begin(), best.end());
    std::vector<ColumnMask> kept;
    kept.reserve(best.size());
    for (int c : best)
        kept.push_back(problem.column(c));
    return kept;
}

} // namespace ottavario
