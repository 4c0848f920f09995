#include "engine/calculation.h"

#include "core/data_folder.h"
#include "engine/column_file.h"
#include "engine/development.h"
#include "engine/reduction.h"
#include "engine_grids.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ottavario;
using namespace ottavario::testing;

Q_DECLARE_METATYPE(ottavario::SystemType)

namespace {
QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

CalculationOptions optimised(const std::atomic<bool>* stop = nullptr)
{
    CalculationOptions options;
    options.optimised = true;
    options.stop = stop;
    options.optimisationWork = 2'000'000;
    return options;
}
}

class OptimisedCalculationTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void everyCalculationIsVerified_data();
    void everyCalculationIsVerified();
    void optimisedWritesAscendingRecords();
    void integraleIsUnaffected();
    void stoppedAtOnceKeepsTheGreedy();
    void progressEndsAtItsStart();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    DataFolder folder() const { return DataFolder(m_home->path()); }
    WorkFiles workFiles() const
    {
        return { folder().developedWorkFile(), folder().keptWorkFile() };
    }
};

void OptimisedCalculationTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

void OptimisedCalculationTest::everyCalculationIsVerified_data()
{
    QTest::addColumn<SystemType>("type");
    QTest::addColumn<bool>("optimise");
    for (SystemType type : { SystemType::Integrale, SystemType::SettePunti, SystemType::SeiPunti,
             SystemType::CinquePunti })
        for (bool optimise : { false, true })
            QTest::addRow("%d points%s", threshold(type), optimise ? ", optimised" : "")
                << type << optimise;
}

void OptimisedCalculationTest::everyCalculationIsVerified()
{
    QFETCH(SystemType, type);
    QFETCH(bool, optimise);
    CalculationOptions options = optimised();
    options.optimised = optimise;
    const auto result = calculateColumns(mediumGrid(), type, workFiles(), nullptr, options);
    QVERIFY(result);
    QVERIFY(result->guaranteeVerified);
    QVERIFY(!result->kept.empty());
}

void OptimisedCalculationTest::optimisedWritesAscendingRecords()
{
    const auto greedy = calculateColumns(disjointThreeGrid(), SystemType::SeiPunti, workFiles());
    QVERIFY(greedy);
    const QByteArray developedFile = contents(folder().developedWorkFile());

    const auto result = calculateColumns(
        disjointThreeGrid(), SystemType::SeiPunti, workFiles(), nullptr, optimised());
    QVERIFY(result);
    QVERIFY(result->guaranteeVerified);
    QCOMPARE(result->developedCount, 6561);
    QCOMPARE(result->kept.size(), size_t(81));
    QCOMPARE(greedy->kept.size(), size_t(198));
    // The developed file is the same; the kept file holds the kept columns in
    // canonical records, read back as the same columns.
    QCOMPARE(contents(folder().developedWorkFile()), developedFile);
    const QByteArray kept = contents(folder().keptWorkFile());
    QCOMPARE(kept, formatColumnMasks(result->kept));
    const auto reread = readColumnMasks(folder().keptWorkFile());
    QVERIFY(reread);
    QCOMPARE(*reread, result->kept);
    for (qsizetype r = 0; r < kept.size() / kRecordSize; ++r) {
        const ColumnNumbers numbers = parseRecord(kept.constData() + r * kRecordSize);
        QVERIFY(std::is_sorted(numbers.begin(), numbers.end()));
    }
}

void OptimisedCalculationTest::integraleIsUnaffected()
{
    QVERIFY(calculateColumns(mediumGrid(), SystemType::Integrale, workFiles()));
    const QByteArray plain = contents(folder().keptWorkFile());
    const auto result
        = calculateColumns(mediumGrid(), SystemType::Integrale, workFiles(), nullptr, optimised());
    QVERIFY(result);
    QCOMPARE(contents(folder().keptWorkFile()), plain);
    QCOMPARE(result->kept.size(), size_t(216));
}

void OptimisedCalculationTest::stoppedAtOnceKeepsTheGreedy()
{
    const std::atomic<bool> stop { true };
    const auto result = calculateColumns(
        disjointThreeGrid(), SystemType::CinquePunti, workFiles(), nullptr, optimised(&stop));
    QVERIFY(result);
    QVERIFY(result->guaranteeVerified);
    QCOMPARE(result->kept, reduceColumns(developColumns(disjointThreeGrid()).masks, 5));
}

void OptimisedCalculationTest::progressEndsAtItsStart()
{
    CalculationProgress progress;
    progress.value = 57; // left by an earlier calculation
    const auto result = calculateColumns(
        mediumGrid(), SystemType::SettePunti, workFiles(), &progress, optimised());
    QVERIFY(result);
    QCOMPARE(progress.maximum.load(), progressMaximum(216, SystemType::SettePunti));
    QCOMPARE(progress.value.load(), CalculationProgress::kStartValue);
}

QTEST_GUILESS_MAIN(OptimisedCalculationTest)
#include "test_optimised_calculation.moc"
