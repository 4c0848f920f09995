#include "engine/calculation.h"

#include "core/data_folder.h"
#include "engine_grids.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ottavario::SystemType)

namespace {
QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Box 1 holds 12 and a typed 05; the other boxes mix one- and two-digit numbers.
Grid mixedGrid()
{
    return gridOf({ { { u"12"_s, u"05"_s }, { u"3"_s }, { u"30"_s }, { u"4"_s }, { u"25"_s },
        { u"6"_s }, { u"18"_s }, { u"9"_s } } });
}
}

class CalculationTest : public QObject {
    Q_OBJECT

private slots:
    void init();

    void writesBothWorkFiles_data();
    void writesBothWorkFiles();
    void noValidCombinationLeavesEmptyFiles();
    void largestGridFillsTheDevelopedFile();
    void unusableWorkFileIsAnError_data();
    void unusableWorkFileIsAnError();
    void aFailedWriteDropsThePartner_data();
    void aFailedWriteDropsThePartner();
    void progressMaximum_data();
    void progressMaximum();
    void progressEndsAtItsStart();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void CalculationTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("OTTAVARIO_HOME", m_home->path().toLocal8Bit());
}

void CalculationTest::writesBothWorkFiles_data()
{
    QTest::addColumn<SystemType>("type");
    QTest::addColumn<QByteArray>("kept");

    const QByteArray first = " 3 4 6 912182530"_ba;
    const QByteArray second = " 3 4 5 6 9182530"_ba;
    QTest::newRow("Integrale") << SystemType::Integrale << first + second;
    QTest::newRow("Sette punti") << SystemType::SettePunti << first;
    QTest::newRow("Cinque punti") << SystemType::CinquePunti << first;
}

void CalculationTest::writesBothWorkFiles()
{
    QFETCH(SystemType, type);
    QFETCH(QByteArray, kept);

    // Stale files of an earlier run are replaced, and the missing work folder is made.
    QVERIFY(!QDir(workFolder()).exists());
    const auto result = calculateColumns(mixedGrid(), type);
    QVERIFY2(result, qPrintable(result ? QString() : result.error().message(u"scrivere"_s)));
    QCOMPARE(result->developedCount, 2);
    QCOMPARE(static_cast<qsizetype>(result->kept.size()) * 16, kept.size());
    QCOMPARE(contents(developedWorkFile()), "12 330 425 618 905 330 425 618 9"_ba);
    QCOMPARE(contents(keptWorkFile()), kept);

    writeFile(keptWorkFile(), "stale"_ba);
    QVERIFY(calculateColumns(mixedGrid(), type));
    QCOMPARE(contents(keptWorkFile()), kept);
}

void CalculationTest::noValidCombinationLeavesEmptyFiles()
{
    writeFile(developedWorkFile(), " 1 2 3 4 5 6 7 8"_ba);
    writeFile(keptWorkFile(), " 1 2 3 4 5 6 7 8"_ba);
    const Grid grid = gridOfNumbers({ { { 7 }, { 7 }, { 1 }, { 2 }, { 3 }, { 4 }, { 5 }, { 6 } } });
    const auto result = calculateColumns(grid, SystemType::SeiPunti);
    QVERIFY(result);
    QCOMPARE(result->developedCount, 0);
    QVERIFY(result->kept.empty());
    QVERIFY(QFile::exists(developedWorkFile()));
    QVERIFY(QFile::exists(keptWorkFile()));
    QCOMPARE(contents(developedWorkFile()), QByteArray());
    QCOMPARE(contents(keptWorkFile()), QByteArray());
}

void CalculationTest::largestGridFillsTheDevelopedFile()
{
    const auto result = calculateColumns(largestGrid(), SystemType::CinquePunti);
    QVERIFY(result);
    QCOMPARE(result->developedCount, 279'841);
    QCOMPARE(QFileInfo(developedWorkFile()).size(), 279'841 * 16);
    QCOMPARE(QFileInfo(keptWorkFile()).size(), 331 * 16);
    const QByteArray first = " 1 2 91017182526"_ba;
    QCOMPARE(contents(developedWorkFile()).left(16), first);
    QCOMPARE(contents(keptWorkFile()).left(16), first);
}

void CalculationTest::unusableWorkFileIsAnError_data()
{
    QTest::addColumn<QString>("blocked"); // made a folder, or a file in place of the folder
    QTest::addColumn<bool>("developedNamed");

    QTest::newRow("kept file is a folder") << u"sistemi/tmp/sistmp/"_s << false;
    QTest::newRow("developed file is a folder") << u"sistemi/tmp/tmp/"_s << true;
    QTest::newRow("work folder is a file") << u"sistemi/tmp"_s << true;
}

void CalculationTest::unusableWorkFileIsAnError()
{
    QFETCH(QString, blocked);
    QFETCH(bool, developedNamed);

    const QString path = m_home->filePath(blocked);
    if (blocked.endsWith(u'/'))
        QVERIFY(QDir().mkpath(path + u"inside"_s));
    else
        writeFile(path, "not a folder"_ba);

    const auto result = calculateColumns(workedExampleGrid(), SystemType::SeiPunti);
    QVERIFY(!result);
    QCOMPARE(result.error().path, developedNamed ? developedWorkFile() : keptWorkFile());
    QVERIFY(!result.error().reason.isEmpty());
    // No half result stays behind to be saved as if it were whole.
    QVERIFY(!QFileInfo(developedWorkFile()).isFile());
    QVERIFY(!QFileInfo(keptWorkFile()).isFile());
}

void CalculationTest::aFailedWriteDropsThePartner_data()
{
    QTest::addColumn<bool>("keptFails");
    QTest::newRow("kept file") << true;
    QTest::newRow("developed file") << false;
}

// The two files are written side by side: neither stays without the other.
void CalculationTest::aFailedWriteDropsThePartner()
{
#ifdef Q_OS_LINUX
    QFETCH(bool, keptFails);
    // Nothing, not even root, creates a file in /proc.
    const QString nowhere = u"/proc/ottavario-work"_s;
    const QString here = m_home->filePath(u"work"_s);
    const WorkFiles files { keptFails ? here : nowhere, keptFails ? nowhere : here };
    const auto result = calculateColumns(workedExampleGrid(), SystemType::SeiPunti, files);
    QVERIFY(!result);
    QCOMPARE(result.error().path, nowhere);
    QVERIFY(!QFile::exists(here));
#else
    QSKIP("needs a folder where no file can be created");
#endif
}

void CalculationTest::progressMaximum_data()
{
    QTest::addColumn<qint64>("developedCount");
    QTest::addColumn<SystemType>("type");
    QTest::addColumn<int>("maximum");

    QTest::newRow("nothing developed") << qint64(0) << SystemType::Integrale << 100;
    QTest::newRow("29 columns") << qint64(29) << SystemType::Integrale << 100;
    QTest::newRow("300 Sei punti") << qint64(300) << SystemType::SeiPunti << 200;
    QTest::newRow("300 Cinque punti") << qint64(300) << SystemType::CinquePunti << 110;
    QTest::newRow("largest Integrale") << qint64(390'625) << SystemType::Integrale << 1'302'100;
    QTest::newRow("largest Sette punti") << qint64(390'625) << SystemType::SettePunti << 1'171'900;
}

void CalculationTest::progressMaximum()
{
    QFETCH(qint64, developedCount);
    QFETCH(SystemType, type);
    QFETCH(int, maximum);
    QCOMPARE(ottavario::progressMaximum(developedCount, type), maximum);
}

void CalculationTest::progressEndsAtItsStart()
{
    // 5 x 5 x 3 x 4 distinct numbers: n = 300.
    const Grid grid = gridOfNumbers({ { { 1, 2, 3, 4, 5 }, { 6, 7, 8, 9, 10 }, { 11, 12, 13 },
        { 14, 15, 16, 17 }, { 18 }, { 19 }, { 20 }, { 21 } } });
    CalculationProgress progress;
    progress.value = 57;
    progress.maximum = 5000; // left by an earlier calculation
    const auto result
        = calculateColumns(grid, SystemType::SeiPunti, WorkFiles::standard(), &progress);
    QVERIFY(result);
    QCOMPARE(result->developedCount, 300);
    QCOMPARE(progress.maximum.load(), 200);
    QCOMPARE(progress.value.load(), CalculationProgress::kStartValue);
}

QTEST_GUILESS_MAIN(CalculationTest)
#include "test_calculation.moc"
