#include "calculation_runner.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace ottavario {

CalculationRunner::CalculationRunner(WorkFiles files, QObject* parent)
    : QObject(parent)
    , m_calculation([files = std::move(files)](const Grid& grid, SystemType type,
                        CalculationProgress* progress, const CalculationOptions& options) {
        return calculateColumns(grid, type, files, progress, options);
    })
{
    m_progressTimer.setInterval(30);
    connect(&m_progressTimer, &QTimer::timeout, this, &CalculationRunner::reportProgress);
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &CalculationRunner::workerDone);
}

CalculationRunner::~CalculationRunner()
{
    m_stop = true;
    m_watcher.waitForFinished();
}

bool CalculationRunner::start(
    const Grid& grid, SystemType type, bool optimised, const Conditions& conditions)
{
    if (m_running)
        return false;
    m_progress.maximum = 100;
    m_progress.value = CalculationProgress::kStartValue;
    m_type = type;
    m_searching = optimised && type != SystemType::Integrale;
    m_stop = false;
    m_running = true;
    const CalculationOptions options {
        .optimised = m_searching, .stop = &m_stop, .conditions = conditions
    };
    m_watcher.setFuture(
        QtConcurrent::run([calculation = m_calculation, grid, type, progress = &m_progress,
                              options] { return calculation(grid, type, progress, options); }));
    m_progressTimer.start();
    return true;
}

bool CalculationRunner::stop()
{
    if (!isSearching() || m_stop)
        return false;
    m_stop = true;
    return true;
}

FileResult<ColumnCalculation> CalculationRunner::takeResult() { return m_watcher.result(); }

void CalculationRunner::reportProgress()
{
    const int maximum = m_progress.maximum;
    emit progressed(std::min(int(m_progress.value), maximum), maximum);
}

void CalculationRunner::workerDone()
{
    m_progressTimer.stop();
    reportProgress();
    m_running = false;
    emit finished();
}

} // namespace ottavario
