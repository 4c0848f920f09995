#pragma once

#include "core/conditions.h"
#include "core/grid.h"
#include "core/system_type.h"
#include "engine/calculation.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>

namespace ottavario {

// The calculation command's work off the interface thread, one calculation
// at a time: the grid goes in, finished() comes out and takeResult() gives
// the columns; meanwhile progressed() reports the progress bar's position
// every 30 ms. No widget is involved.
class CalculationRunner : public QObject {
    Q_OBJECT
public:
    using Calculation = std::function<FileResult<ColumnCalculation>(
        const Grid&, SystemType, CalculationProgress*, const CalculationOptions&)>;

    // calculateColumns() writing `files`.
    explicit CalculationRunner(WorkFiles files, QObject* parent = nullptr);
    // Ends a search early and waits for the worker: it writes into this object.
    ~CalculationRunner() override;

    // Another calculation, for a test.
    void setCalculation(Calculation calculation) { m_calculation = std::move(calculation); }

    bool isRunning() const { return m_running; }
    // An optimised search under way, which stop() ends early.
    bool isSearching() const { return m_running && m_searching; }
    // The type of the calculation under way, or of the last one.
    SystemType type() const { return m_type; }

    // Starts a calculation unless one is running; the optimised search is
    // not run for Integrale, which keeps every column.
    bool start(const Grid& grid, SystemType type, bool optimised, const Conditions& conditions);
    // A search keeps the smallest set found so far and ends at its next step;
    // false when there is no search to stop, or it was already told.
    bool stop();
    // The outcome of the calculation that has just finished.
    FileResult<ColumnCalculation> takeResult();

signals:
    // The progress bar's value, from CalculationProgress::kStartValue to maximum.
    void progressed(int value, int maximum);
    void finished();

private:
    void reportProgress();
    void workerDone();

    Calculation m_calculation;
    CalculationProgress m_progress;
    std::atomic<bool> m_stop { false }; // read by the search on the worker thread
    QFutureWatcher<FileResult<ColumnCalculation>> m_watcher;
    QTimer m_progressTimer;
    SystemType m_type = kDefaultSystemType;
    bool m_running = false;
    bool m_searching = false;
};

} // namespace ottavario
