#include "cover_search.h"

#include "open_list.h"
#include "splitmix.h"

#include <algorithm>
#include <limits>
#include <queue>

namespace ottavario {

namespace {
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
            m_open.reset(n);
            m_heapAt.assign(n, -1);
            m_stamp.assign(n, 0);
            for (int k = problem.threshold(); k < problem.columnSize(); ++k)
                m_openWeight[static_cast<size_t>(k)].assign(problem.ranker().count(k), 0);
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
        std::vector<int> greedy(StepMeter& meter, HelperThread* helper)
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
            const std::vector<int>& start, quint64 seed, qsizetype floor, StepMeter& meter)
        {
            load(start, meter);
            if (!m_open.empty())
                return {};
            m_ordered = true;
            rebuildHeap();
            constexpr qint64 kStepSteps = 64; // choosing, the heap, the bookkeeping
            std::vector<int> best = m_kept;
            SplitMix random(seed);
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
        void load(const std::vector<int>& start, StepMeter& meter)
        {
            std::fill(m_weight.begin(), m_weight.end(), 1);
            std::fill(m_cover.begin(), m_cover.end(), 0);
            std::fill(m_coverXor.begin(), m_coverXor.end(), 0);
            std::fill(m_loss.begin(), m_loss.end(), 0);
            std::fill(m_keptAt.begin(), m_keptAt.end(), -1);
            std::fill(m_heapAt.begin(), m_heapAt.end(), -1);
            std::fill(m_stamp.begin(), m_stamp.end(), 0);
            for (auto& sums : m_openWeight)
                std::fill(sums.begin(), sums.end(), 0);
            m_kept.clear();
            m_open.reset(m_keptAt.size());
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
                m_p.ranker().forEachSubset(
                    mask, k, [&](quint32 rank, ColumnMask) { sum += sums[rank]; });
                total += m_p.coefficient(k) * sum;
            }
            return total;
        }

        void addToSubsets(int d, qint32 delta)
        {
            const ColumnMask mask = m_p.column(d);
            for (int k = m_p.threshold(); k < m_p.columnSize(); ++k) {
                Sum* sums = m_openWeight[static_cast<size_t>(k)].data();
                m_p.ranker().forEachSubset(mask, k, [&](quint32 rank, ColumnMask) {
                    sums[rank] = static_cast<Sum>(sums[rank] + delta);
                });
            }
        }

        void open(int d) { m_open.insert(d); }
        void close(int d) { m_open.erase(d); }

        void changeLoss(quint32 r, qint64 delta)
        {
            m_loss[r] += delta;
            if (m_ordered)
                heapFix(static_cast<int>(r));
        }

        void add(int c, quint32 step, StepMeter& meter)
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

        void add(int c, StepMeter& meter) { add(c, 0, meter); }

        void remove(int r, quint32 step, StepMeter& meter)
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
        int bestCoverOf(int target, int banned, StepMeter& meter) const
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

        void raiseOpenWeights(StepMeter& meter)
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
        void halveWeights(StepMeter& meter)
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
        std::vector<int> m_heapAt;
        std::vector<quint32> m_stamp; // step of the last change, for ties
        std::vector<int> m_kept;
        OpenList m_open;
        std::vector<int> m_heap;
        bool m_ordered = false; // the heap follows the losses
        std::array<std::vector<Sum>, kColumnSize> m_openWeight;
        qint64 m_subsetsPerColumn = 1;
        qint64 m_mostCovered = 0;
        qint32 m_weightCap = 2;
    };
}

std::vector<int> greedyCover(
    const CoverProblem& problem, StepMeter& meter, HelperThread* helper, qsizetype& floor)
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

std::vector<int> improveCover(const CoverProblem& problem, const std::vector<int>& start,
    quint64 seed, qsizetype floor, StepMeter& meter)
{
    CoverSearch<qint32> search(problem);
    return search.improve(start, seed, floor, meter);
}

} // namespace ottavario
