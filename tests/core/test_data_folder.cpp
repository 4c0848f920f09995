#include "core/data_folder.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

namespace {
// Nine empty personal values, 800 lire, 0.41 euro, offsets 0 and 0.
QByteArray defaultSettings()
{
    QByteArray bytes;
    for (int i = 0; i < 9; ++i)
        bytes += "\"\"\r\n";
    return bytes + "\"800\"\r\n\"0.41\"\r\n\"0\"\r\n\"0\"\r\n";
}
}

class DataFolderTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void paths_data();
    void paths();
    void prepare_createsFoldersAndSettings_data();
    void prepare_createsFoldersAndSettings();
    void prepare_leavesExistingSettings();
    void prepare_refusesFileInPlaceOfFolder_data();
    void prepare_refusesFileInPlaceOfFolder();

private:
    QTemporaryDir m_dir;
};

void DataFolderTest::cleanup() { qunsetenv("OTTAVARIO_HOME"); }

void DataFolderTest::paths_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("plain") << QString();
    QTest::newRow("trailing slash") << u"/"_s;
    QTest::newRow("doubled slash and dot") << u"//./"_s;
}

void DataFolderTest::paths()
{
    QFETCH(QString, suffix);
    QVERIFY(m_dir.isValid());
    const QString home = m_dir.path();
    qputenv("OTTAVARIO_HOME", QFile::encodeName(home + suffix));

    const DataFolder folder = DataFolder::fromEnvironment();
    QCOMPARE(folder.root(), home);
    QCOMPARE(folder.systems(), home + u"/sistemi"_s);
    QCOMPARE(folder.work(), home + u"/sistemi/tmp"_s);
    QCOMPARE(folder.settingsFile(), home + u"/sistema.ini"_s);
    QCOMPARE(folder.developedWorkFile(), home + u"/sistemi/tmp/tmp"_s);
    QCOMPARE(folder.keptWorkFile(), home + u"/sistemi/tmp/sistmp"_s);
    // Named directly, as the tests and the windows' callers do.
    QCOMPARE(DataFolder(home + suffix).systems(), home + u"/sistemi"_s);
}

void DataFolderTest::prepare_createsFoldersAndSettings_data()
{
    QTest::addColumn<QString>("existing");

    QTest::newRow("nothing there") << u""_s;
    QTest::newRow("data folder only") << u"."_s;
    QTest::newRow("systems folder there") << u"sistemi"_s;
    QTest::newRow("work folder there") << u"sistemi/tmp"_s;
}

void DataFolderTest::prepare_createsFoldersAndSettings()
{
    QFETCH(QString, existing);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString home = dir.filePath(u"ottavario"_s);
    if (!existing.isEmpty())
        QVERIFY(QDir().mkpath(home + u"/"_s + existing));
    const DataFolder folder(home);

    const auto result = folder.prepare();
    QVERIFY2(
        result.has_value(), qPrintable(result ? QString() : result.error().message(u"creare"_s)));
    QVERIFY(QFileInfo(home + u"/sistemi"_s).isDir());
    QVERIFY(QFileInfo(home + u"/sistemi/tmp"_s).isDir());
    QCOMPARE(contentsOf(home + u"/sistema.ini"_s), defaultSettings());

    // A second start changes nothing.
    QVERIFY(folder.prepare().has_value());
    QCOMPARE(contentsOf(home + u"/sistema.ini"_s), defaultSettings());
}

void DataFolderTest::prepare_leavesExistingSettings()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const DataFolder folder(dir.path());
    const QByteArray mine("\"Bar Sport\"\r\n\"Via Roma, 5\"\r\n\"1000\"\r\n");
    QVERIFY(writeBytes(dir.filePath(u"sistema.ini"_s), mine));

    QVERIFY(folder.prepare().has_value());
    QCOMPARE(contentsOf(dir.filePath(u"sistema.ini"_s)), mine);
    QVERIFY(QFileInfo(dir.filePath(u"sistemi/tmp"_s)).isDir());

    // An empty settings file is the user's too.
    QVERIFY(writeBytes(dir.filePath(u"sistema.ini"_s), QByteArray()));
    QVERIFY(folder.prepare().has_value());
    QCOMPARE(contentsOf(dir.filePath(u"sistema.ini"_s)), QByteArray());
}

void DataFolderTest::prepare_refusesFileInPlaceOfFolder_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("data folder") << u"ottavario"_s;
    QTest::newRow("systems folder") << u"ottavario/sistemi"_s;
    QTest::newRow("work folder") << u"ottavario/sistemi/tmp"_s;
}

void DataFolderTest::prepare_refusesFileInPlaceOfFolder()
{
    QFETCH(QString, file);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString home = dir.filePath(u"ottavario"_s);
    const QString blocker = dir.filePath(file);
    QVERIFY(QDir().mkpath(QFileInfo(blocker).absolutePath()));
    QVERIFY(writeBytes(blocker, "not a folder"));
    const auto result = DataFolder(home).prepare();
    QVERIFY(!result);
    QCOMPARE(result.error().path, blocker);
    QVERIFY(!result.error().reason.isEmpty());
    QCOMPARE(contentsOf(blocker), QByteArray("not a folder"));
    QVERIFY(!QFileInfo::exists(home + u"/sistema.ini"_s));
}

QTEST_GUILESS_MAIN(DataFolderTest)
#include "test_data_folder.moc"
