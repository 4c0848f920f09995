#include "calculation.h"

#include "column_file.h"
#include "core/data_folder.h"
#include "development.h"
#include "guarantee.h"
#include "optimised_reduction.h"
#include "reduction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <future>

namespace ottavario {

int progressMaximum(qint64 developedCount, SystemType type)
{
    return 100 + progressFactor(type) * static_cast<int>(std::max<qint64>(developedCount, 0) / 30);
}

WorkFiles WorkFiles::standard() { return { developedWorkFile(), keptWorkFile() }; }

namespace {
    FileResult<void> makeFolderOf(const QString& path)
    {
        const QString folder = QFileInfo(path).absolutePath();
        if (QFileInfo(folder).isDir() || QDir().mkpath(folder))
            return {};
        return std::unexpected(
            FileError { path, QStringLiteral("la cartella %1 non si può creare").arg(folder) });
    }

    FileResult<void> removeIfPresent(const QString& path)
    {
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            return {};
        if (info.isDir())
            return std::unexpected(
                FileError { path, QStringLiteral("al suo posto c'è una cartella") });
        QFile file(path);
        if (!file.remove())
            return std::unexpected(FileError { path, describe(file.error()) });
        return {};
    }

    class ProgressReporter {
    public:
        explicit ProgressReporter(CalculationProgress* progress)
            : m_progress(progress)
        {
            if (m_progress) {
                m_progress->value = CalculationProgress::kStartValue;
                m_progress->maximum = m_maximum;
            }
        }
        ~ProgressReporter()
        {
            if (m_progress)
                m_progress->value = CalculationProgress::kStartValue;
        }

        void setMaximum(int maximum)
        {
            m_maximum = maximum;
            if (m_progress)
                m_progress->maximum = maximum;
        }

        void reached(qsizetype done, qsizetype total)
        {
            if (!m_progress || total <= 0)
                return;
            const qint64 span = m_maximum - CalculationProgress::kStartValue;
            const qint64 value
                = CalculationProgress::kStartValue + span * std::min(done, total) / total;
            m_progress->value = static_cast<int>(std::min<qint64>(value, m_maximum));
        }

    private:
        CalculationProgress* m_progress;
        int m_maximum = 100;
    };
}

FileResult<ColumnCalculation> calculateColumns(const Grid& grid, SystemType type,
    const WorkFiles& files, CalculationProgress* progress, const CalculationOptions& options)
{
    ProgressReporter reporter(progress);
    for (const QString& path : { files.developed, files.kept }) {
        if (auto made = makeFolderOf(path); !made)
            return std::unexpected(made.error());
        if (auto removed = removeIfPresent(path); !removed)
            return std::unexpected(removed.error());
    }

    DevelopedColumns developed = developColumns(grid);
    ColumnCalculation result;
    result.developedCount = developed.count();
    result.conditioned = !options.conditions.empty();
    dropOutOfPlay(developed, options.conditions);
    // Each work file is written, and waited for on the disk, while the
    // columns are reduced and checked: the calculation does not wait for it.
    auto developedWritten = std::async(std::launch::async,
        [&] { return writeFileAtomically(files.developed, developed.records); });

    const qsizetype n = developed.count();
    reporter.setMaximum(progressMaximum(n, type));
    if (options.optimised && type != SystemType::Integrale) {
        OptimisationOptions search;
        if (options.optimisationWork > 0)
            search.work = options.optimisationWork;
        search.stop = options.stop;
        search.progress = [&](qint64 done, qint64 total) {
            reporter.reached(static_cast<qsizetype>(done), static_cast<qsizetype>(total));
        };
        result.kept = optimiseReduction(developed.masks, threshold(type), search);
    } else {
        result.kept = reduceColumns(
            developed.masks, threshold(type), [&](qsizetype done) { reporter.reached(done, n); });
    }
    auto keptWritten
        = std::async(std::launch::async, [&files, records = formatColumnMasks(result.kept)] {
              return writeFileAtomically(files.kept, records);
          });
    result.guaranteeVerified
        = verifyGuarantee(developed.masks, result.kept, threshold(type)).holds();
    result.inPlay = std::move(developed.masks);

    const auto developedResult = developedWritten.get();
    const auto keptResult = keptWritten.get();
    // Either file without its partner would pass for a finished calculation.
    if (!developedResult) {
        if (keptResult)
            QFile::remove(files.kept);
        return std::unexpected(developedResult.error());
    }
    if (!keptResult) {
        QFile::remove(files.developed);
        return std::unexpected(keptResult.error());
    }
    return result;
}

} // namespace ottavario
