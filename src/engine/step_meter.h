#pragma once

#include "optimised_reduction.h"

#include <QtGlobal>

#include <algorithm>
#include <atomic>

namespace ottavario {

// Counts the steps of a search and tells whether it may go on. The
// progress it reports is a share of the whole run: a phase moves it
// between two shares, by its steps towards the limit or by a share of its
// own; it never goes back.
class StepMeter {
public:
    StepMeter(qint64 limit, const std::atomic<bool>* stop, const OptimisationProgress* progress)
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
    void show(double share);

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

} // namespace ottavario
