#include "core/data_folder.h"
#include "engine/engine_grids.h"
#include "support/test_files.h"
#include "systems/system_files.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

namespace {

Grid twoInFirstBox()
{
    Grid grid = singles();
    grid.entries[0][1] = u"05"_s;
    return grid;
}

const QByteArray kColumns = QByteArray(" 1 2 3 4 5 6 7 8 1 2 3 4 5 6 7 9");
const QByteArray kEarlierColumns = QByteArray(" 9101112131415161718192021222324");
const QByteArray kEarlierDescription = QByteArray("old\r\n");

}

class TestSystemFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        qputenv("OTTAVARIO_HOME", m_home->path().toLocal8Bit());
        QVERIFY(prepareDataFolder());
        QVERIFY(writeBytes(keptWorkFile(), kColumns));
    }

    void partnerPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("partner");
        QTest::newRow("description") << u"/x/sistemi/alfa.stt"_s << u"/x/sistemi/alfa.stg"_s;
        QTest::newRow("columns") << u"/x/sistemi/alfa.stg"_s << u"/x/sistemi/alfa.stt"_s;
        QTest::newRow("upper case") << u"C:/SISTEMI/ALFA.STT"_s << u"C:/SISTEMI/ALFA.stg"_s;
        QTest::newRow("mixed case") << u"prova.sTg"_s << u"prova.stt"_s;
        QTest::newRow("dots in the name") << u"a.b.stt"_s << u"a.b.stg"_s;
        QTest::newRow("other extension") << u"alfa.txt"_s << QString();
        QTest::newRow("too short") << u"st"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void partnerPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, partner);
        QCOMPARE(ottavario::partnerPath(path), partner);
        if (!partner.isEmpty())
            QCOMPARE(ottavario::partnerPath(partner).toLower(), path.toLower());
    }

    void systemName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("systems folder") << systemsFolder() + u"/alfa.stt"_s << u"alfa"_s;
        QTest::newRow("elsewhere") << u"/media/chiavetta/sub/beta.stg"_s << u"beta"_s;
        QTest::newRow("dots in the name") << u"/x/a.b.stt"_s << u"a.b"_s;
    }
    void systemName()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(ottavario::systemName(path), name);
    }

    void save_writesPairInSystemsFolder()
    {
        const QString stt = systemsFolder() + u"/alfa.stt"_s;
        const auto saved = saveSystem(stt, twoInFirstBox(), SystemType::SettePunti, keptWorkFile());
        QVERIFY2(saved, qPrintable(saved ? QString() : saved.error().message(u"salvare"_s)));
        QCOMPARE(
            namesIn(systemsFolder()), (QStringList { u"alfa.stg"_s, u"alfa.stt"_s, u"tmp"_s }));
        QCOMPARE(contentsOf(systemsFolder() + u"/alfa.stg"_s), kColumns);
        QCOMPARE(contentsOf(stt), formatDescription(twoInFirstBox(), SystemType::SettePunti));
        // The work file is copied, not moved.
        QCOMPARE(contentsOf(keptWorkFile()), kColumns);
    }

    void save_outsideSystemsFolder_putsColumnsBesideDescription()
    {
        QTemporaryDir elsewhere;
        const QString stt = elsewhere.filePath(u"gamma.stt"_s);
        QVERIFY(saveSystem(stt, singles(), SystemType::Integrale, keptWorkFile()));
        QCOMPARE(namesIn(elsewhere.path()), (QStringList { u"gamma.stg"_s, u"gamma.stt"_s }));
        QCOMPARE(contentsOf(elsewhere.filePath(u"gamma.stg"_s)), kColumns);
        QCOMPARE(namesIn(systemsFolder()), QStringList { u"tmp"_s });
    }

    void save_replacesEarlierPair()
    {
        const QString stt = systemsFolder() + u"/alfa.stt"_s;
        const QString stg = systemsFolder() + u"/alfa.stg"_s;
        QVERIFY(writeBytes(stt, kEarlierDescription));
        QVERIFY(writeBytes(stg, kEarlierColumns));
        QVERIFY(QFile::setPermissions(stt, QFile::ReadOwner | QFile::WriteOwner));
        const QFile::Permissions kept = QFile::permissions(stt);
        QVERIFY(saveSystem(stt, singles(), SystemType::Integrale, keptWorkFile()));
        QCOMPARE(contentsOf(stt), formatDescription(singles(), SystemType::Integrale));
        QCOMPARE(contentsOf(stg), kColumns);
        QCOMPARE(QFile::permissions(stt), kept);
        QCOMPARE(
            namesIn(systemsFolder()), (QStringList { u"alfa.stg"_s, u"alfa.stt"_s, u"tmp"_s }));
    }

    void save_fortyNumbers_readBackWhole()
    {
        const QString stt = systemsFolder() + u"/pieno.stt"_s;
        QVERIFY(saveSystem(stt, fullGrid(), SystemType::CinquePunti, keptWorkFile()));
        const auto opened = openSystem(stt);
        QVERIFY2(opened, qPrintable(opened ? QString() : opened.error().reason));
        QCOMPARE(opened->grid.entries, fullGrid().entries);
        QCOMPARE(opened->type, SystemType::CinquePunti);
        QCOMPARE(opened->numberCount(), 40);
    }

    void open_readsSavedSystem()
    {
        const QString stt = systemsFolder() + u"/beta.stt"_s;
        QVERIFY(saveSystem(stt, twoInFirstBox(), SystemType::SeiPunti, keptWorkFile()));
        const auto opened = openSystem(stt);
        QVERIFY(opened);
        QCOMPARE(opened->grid.entries, twoInFirstBox().entries);
        QCOMPARE(opened->grid.entries[0][1], u"05"_s);
        QCOMPARE(opened->counts, twoInFirstBox().counts());
    }

    // Failures before anything is replaced: the earlier pair, when there is
    // one, stays byte for byte and no file is left behind.
    void save_failsWithoutTouchingEarlierPair_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("earlierPair");
        QTest::addColumn<QString>("failingFile"); // "stt", "stg" or a path
        QTest::addColumn<QString>("reason"); // start of the reason

        for (bool earlier : { false, true }) {
            const char* suffix = earlier ? ", earlier pair" : "";
            QTest::addRow("missing work file%s", suffix)
                << u"missing work file"_s << earlier << u"stg"_s
                << u"le colonne calcolate non si possono leggere da "_s;
            QTest::addRow("work file is a folder%s", suffix)
                << u"work file is a folder"_s << earlier << u"stg"_s
                << u"le colonne calcolate non si possono leggere da "_s;
            QTest::addRow("description path is a folder%s", suffix)
                << u"description path is a folder"_s << earlier << u"stt"_s
                << u"al suo posto c'è una cartella"_s;
        }
        QTest::newRow("columns path is a folder") << u"columns path is a folder"_s << false
                                                  << u"stg"_s << u"al suo posto c'è una cartella"_s;
        QTest::newRow("not a .stt name") << u"not a .stt name"_s << false << u"stt"_s
                                         << u"il nome del file deve finire con .stt"_s;
    }
    void save_failsWithoutTouchingEarlierPair()
    {
        QFETCH(QString, situation);
        QFETCH(bool, earlierPair);
        QFETCH(QString, failingFile);
        QFETCH(QString, reason);

        QString stt = systemsFolder() + u"/alfa.stt"_s;
        const QString stg = systemsFolder() + u"/alfa.stg"_s;
        if (earlierPair) {
            QVERIFY(writeBytes(stt, kEarlierDescription));
            QVERIFY(writeBytes(stg, kEarlierColumns));
        }
        QString workFile = keptWorkFile();
        if (situation == u"missing work file")
            QVERIFY(QFile::remove(workFile));
        if (situation == u"work file is a folder")
            workFile = workFolder();
        if (situation == u"description path is a folder") {
            if (earlierPair)
                QVERIFY(QFile::remove(stt));
            QVERIFY(QDir().mkdir(stt));
        }
        if (situation == u"columns path is a folder")
            QVERIFY(QDir().mkdir(stg));
        if (situation == u"not a .stt name")
            stt = systemsFolder() + u"/alfa.txt"_s;
        const QStringList before = namesIn(systemsFolder());

        const auto saved = saveSystem(stt, singles(), SystemType::Integrale, workFile);
        QVERIFY(!saved);
        QCOMPARE(saved.error().path, failingFile == u"stt" ? stt : stg);
        QVERIFY2(saved.error().reason.startsWith(reason), qPrintable(saved.error().reason));
        QCOMPARE(namesIn(systemsFolder()), before);
        if (earlierPair) {
            QCOMPARE(contentsOf(stg), kEarlierColumns);
            if (situation != u"description path is a folder")
                QCOMPARE(contentsOf(stt), kEarlierDescription);
        }
    }

    void save_folderThatIsAFile_fails()
    {
        const QString notAFolder = systemsFolder() + u"/documento"_s;
        QVERIFY(writeBytes(notAFolder, "x"));
        const QString stt = notAFolder + u"/alfa.stt"_s;
        const auto saved = saveSystem(stt, singles(), SystemType::Integrale, keptWorkFile());
        QVERIFY(!saved);
        QCOMPARE(saved.error().path, notAFolder + u"/alfa.stg"_s);
        QCOMPARE(saved.error().reason, notAFolder + u" non è una cartella"_s);
        QCOMPARE(contentsOf(notAFolder), QByteArray("x"));
    }

    void save_missingFolder_fails()
    {
        const QString stt = systemsFolder() + u"/manca/alfa.stt"_s;
        const auto saved = saveSystem(stt, singles(), SystemType::Integrale, keptWorkFile());
        QVERIFY(!saved);
        QCOMPARE(saved.error().reason, u"la cartella %1/manca non esiste"_s.arg(systemsFolder()));
        QVERIFY(!QFileInfo::exists(systemsFolder() + u"/manca"_s));
    }

    void save_readOnlyFolder_keepsEarlierPair()
    {
        QTemporaryDir dir;
        const QString stt = dir.filePath(u"alfa.stt"_s);
        const QString stg = dir.filePath(u"alfa.stg"_s);
        QVERIFY(writeBytes(stt, kEarlierDescription));
        QVERIFY(writeBytes(stg, kEarlierColumns));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        auto restore = qScopeGuard([&] {
            QFile::setPermissions(
                dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        if (writeBytes(dir.filePath(u"prova"_s), "x"))
            QSKIP("this user writes into read-only folders (root): permissions cannot fail here");

        const auto saved = saveSystem(stt, singles(), SystemType::Integrale, keptWorkFile());
        QVERIFY(!saved);
        QCOMPARE(saved.error().path, stg);
        QCOMPARE(saved.error().reason, u"la cartella %1 è protetta da scrittura"_s.arg(dir.path()));
        QCOMPARE(contentsOf(stt), kEarlierDescription);
        QCOMPARE(contentsOf(stg), kEarlierColumns);
        QCOMPARE(namesIn(dir.path()), (QStringList { u"alfa.stg"_s, u"alfa.stt"_s }));
    }

    // A move that fails while the pair is put in place: what was moved is
    // moved back, so the earlier pair (or no pair) is what stays.
    void save_failedMove_restoresEarlierPair_data()
    {
        QTest::addColumn<bool>("earlierPair");
        QTest::addColumn<int>("failingMove"); // counted from 1
        QTest::addColumn<QString>("failingFile");

        // With an earlier pair: set aside .stg, set aside .stt, place .stg, place .stt.
        QTest::newRow("setting aside the earlier columns") << true << 1 << u"alfa.stg"_s;
        QTest::newRow("setting aside the earlier description") << true << 2 << u"alfa.stt"_s;
        QTest::newRow("placing the columns") << true << 3 << u"alfa.stg"_s;
        QTest::newRow("placing the description") << true << 4 << u"alfa.stt"_s;
        QTest::newRow("placing the columns, new pair") << false << 1 << u"alfa.stg"_s;
        QTest::newRow("placing the description, new pair") << false << 2 << u"alfa.stt"_s;
    }
    void save_failedMove_restoresEarlierPair()
    {
        QFETCH(bool, earlierPair);
        QFETCH(int, failingMove);
        QFETCH(QString, failingFile);

        const QString stt = systemsFolder() + u"/alfa.stt"_s;
        const QString stg = systemsFolder() + u"/alfa.stg"_s;
        if (earlierPair) {
            QVERIFY(writeBytes(stt, kEarlierDescription));
            QVERIFY(writeBytes(stg, kEarlierColumns));
        }
        const QStringList before = namesIn(systemsFolder());
        int moves = 0;
        const auto saved = detail::saveSystem(stt, singles(), SystemType::Integrale, keptWorkFile(),
            [&](const QString& from, const QString& to) {
                return ++moves != failingMove && QFile::rename(from, to);
            });
        QVERIFY(!saved);
        QCOMPARE(saved.error().path, systemsFolder() + u'/' + failingFile);
        QCOMPARE(namesIn(systemsFolder()), before);
        if (earlierPair) {
            QCOMPARE(contentsOf(stt), kEarlierDescription);
            QCOMPARE(contentsOf(stg), kEarlierColumns);
        }
    }
};

QTEST_GUILESS_MAIN(TestSystemFiles)
#include "test_system_files.moc"
