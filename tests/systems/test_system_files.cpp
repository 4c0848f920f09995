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

// Writes into the device that is always full, as a full disk does.
class FullDeviceFile final : public QFile {
public:
    using QFile::QFile;
    bool open(OpenMode) override
    {
        setFileName(u"/dev/full"_s);
        return QFile::open(QIODevice::WriteOnly);
    }
};

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
        const auto saved = saveSystem(stt, twoInFirstBox(), SystemType::SettePunti, kColumns);
        QVERIFY2(saved, qPrintable(saved ? QString() : saved.error().message(u"salvare"_s)));
        QCOMPARE(
            namesIn(systemsFolder()), (QStringList { u"alfa.stg"_s, u"alfa.stt"_s, u"tmp"_s }));
        QCOMPARE(contentsOf(systemsFolder() + u"/alfa.stg"_s), kColumns);
        QCOMPARE(contentsOf(stt), formatDescription(twoInFirstBox(), SystemType::SettePunti));
    }

    void save_outsideSystemsFolder_putsColumnsBesideDescription()
    {
        QTemporaryDir elsewhere;
        const QString stt = elsewhere.filePath(u"gamma.stt"_s);
        QVERIFY(saveSystem(stt, singles(), SystemType::Integrale, kColumns));
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
        QVERIFY(saveSystem(stt, singles(), SystemType::Integrale, kColumns));
        QCOMPARE(contentsOf(stt), formatDescription(singles(), SystemType::Integrale));
        QCOMPARE(contentsOf(stg), kColumns);
        QCOMPARE(QFile::permissions(stt), kept);
        QCOMPARE(
            namesIn(systemsFolder()), (QStringList { u"alfa.stg"_s, u"alfa.stt"_s, u"tmp"_s }));
    }

    void save_fortyNumbers_readBackWhole()
    {
        const QString stt = systemsFolder() + u"/pieno.stt"_s;
        QVERIFY(saveSystem(stt, fullGrid(), SystemType::CinquePunti, kColumns));
        const auto opened = openSystem(stt);
        QVERIFY2(opened, qPrintable(opened ? QString() : opened.error().reason));
        QCOMPARE(opened->grid.entries, fullGrid().entries);
        QCOMPARE(opened->type, SystemType::CinquePunti);
        QCOMPARE(opened->numberCount(), 40);
    }

    void open_readsSavedSystem()
    {
        const QString stt = systemsFolder() + u"/beta.stt"_s;
        QVERIFY(saveSystem(stt, twoInFirstBox(), SystemType::SeiPunti, kColumns));
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

        const auto saved = saveSystem(stt, singles(), SystemType::Integrale, kColumns);
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
        const auto saved = saveSystem(stt, singles(), SystemType::Integrale, kColumns);
        QVERIFY(!saved);
        QCOMPARE(saved.error().path, notAFolder + u"/alfa.stg"_s);
        QCOMPARE(saved.error().reason, notAFolder + u" non è una cartella"_s);
        QCOMPARE(contentsOf(notAFolder), QByteArray("x"));
    }

    void save_missingFolder_fails()
    {
        const QString stt = systemsFolder() + u"/manca/alfa.stt"_s;
        const auto saved = saveSystem(stt, singles(), SystemType::Integrale, kColumns);
        QVERIFY(!saved);
        QCOMPARE(saved.error().reason, u"la cartella %1/manca non esiste"_s.arg(systemsFolder()));
        QVERIFY(!QFileInfo::exists(systemsFolder() + u"/manca"_s));
    }

    // A device that fills up or refuses to move files, which no user, root
    // included, gets past: the earlier pair stays and the error names the file.
    void save_failingDevice_keepsEarlierPair_data()
    {
        QTest::addColumn<bool>("fullDevice"); // else every rename is refused
        QTest::addColumn<QString>("failingFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full device")
            << true << u"alfa.stg"_s << describe(QFileDevice::ResourceError);
        QTest::newRow("renames refused")
            << false << u"alfa.stg"_s << u"il file non si può scrivere al suo posto"_s;
    }
    void save_failingDevice_keepsEarlierPair()
    {
        QFETCH(bool, fullDevice);
        QFETCH(QString, failingFile);
        QFETCH(QString, reason);
        const QString stt = systemsFolder() + u"/alfa.stt"_s;
        const QString stg = systemsFolder() + u"/alfa.stg"_s;
        QVERIFY(writeBytes(stt, kEarlierDescription));
        QVERIFY(writeBytes(stg, kEarlierColumns));
        const QStringList before = namesIn(systemsFolder());
        auto plain = qScopeGuard([] { detail::setPairHooks({}, {}); });
        if (fullDevice)
            detail::setPairHooks({}, [](const QString& path) -> std::unique_ptr<QFile> {
                return std::make_unique<FullDeviceFile>(path);
            });
        else
            detail::setPairHooks([](detail::PairStep step, const QString&) {
                return step != detail::PairStep::Rename;
            });

        const auto saved = saveSystem(stt, singles(), SystemType::Integrale, kColumns);
        QVERIFY(!saved);
        QCOMPARE(saved.error().path, systemsFolder() + u'/' + failingFile);
        QCOMPARE(saved.error().reason, reason);
        QCOMPARE(namesIn(systemsFolder()), before);
        QCOMPARE(contentsOf(stt), kEarlierDescription);
        QCOMPARE(contentsOf(stg), kEarlierColumns);
    }
};

QTEST_GUILESS_MAIN(TestSystemFiles)
#include "test_system_files.moc"
