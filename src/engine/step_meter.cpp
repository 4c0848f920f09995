#include "step_meter.h"

namespace ottavario {

void StepMeter::show(double share)
{
    const double whole = m_from + (m_to - m_from) * std::clamp(share, 0.0, 1.0);
    const qint64 done = std::min(static_cast<qint64>(whole * double(m_total)), m_total);
    if (done < m_shown + std::max<qint64>(m_total / 512, 1))
        return;
    m_shown = done;
    (*m_progress)(done, m_total);
}

} // namespace ottavario
