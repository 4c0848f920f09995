// A save stopped at any moment, by a failing disk or by a kill, leaves the
// earlier pair or the new pair, each file whole.
#include "core/data_folder.h"
#include "engine/calculation.h"
#include "engine/engine_grids.h"
#include "support/test_files.h"
#include "systems/system_files.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

namespace {

// Every file of a folder, hidden ones included, with its bytes; folders are left out.
using Folder = QMap<QString, QByteArray>;

Folder snapshot(const QString& path)
{
    Folder folder;
    const QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        folder.insert(name, contentsOf(dir.filePath(name)));
    }
    return folder;
}

bool restore(const Folder& folder, const QString& path)
{
    for (auto file = folder.begin(); file != folder.end(); ++file)
        if (!writeBytes(path + u'/' + file.key(), file.value()))
            return false;
    return true;
}

Folder visible(const Folder& folder)
{
    Folder shown;
    for (auto file = folder.begin(); file != folder.end(); ++file)
        if (!file.key().startsWith(u'.'))
            shown.insert(file.key(), file.value());
    return shown;
}

QString describeFolder(const Folder& folder)
{
    QStringList names;
    for (auto file = folder.begin(); file != folder.end(); ++file)
        names << u"%1 (%2 byte)"_s.arg(file.key()).arg(file.value().size());
    return names.join(u", "_s);
}

// The earlier pair: another grid, another type, another column.
Grid earlierGrid()
{
    Grid grid = singles();
    grid.entries[0][0] = u"5"_s;
    return grid;
}

const QByteArray kColumns = " 1 2 3 4 5 6 7 8 1 2 3 4 5 6 7 9 1 2 3 4 5 61011";
const QByteArray kEarlierColumns = " 5 7121519242831";
const QByteArray kEarlierDescription = formatDescription(earlierGrid(), SystemType::SeiPunti);
const QString kWriteError = u"errore di scrittura (il disco potrebbe essere pieno o protetto)"_s;

// A moment of a save, as the folder stood then.
struct Moment {
    QString when;
    Folder folder;
};

}

class TestSaveFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;
    QString m_stt;
    QString m_stg;

    Folder earlierFolder(bool earlierPair) const
    {
        if (!earlierPair)
            return {};
        return { { u"alfa.stg"_s, kEarlierColumns }, { u"alfa.stt"_s, kEarlierDescription } };
    }

    Folder newFolder() const
    {
        return { { u"alfa.stg"_s, kColumns },
            { u"alfa.stt"_s, formatDescription(singles(), SystemType::Integrale) } };
    }

    bool putEarlierPair(bool earlierPair) const
    {
        return !earlierPair
            || (writeBytes(m_stt, kEarlierDescription) && writeBytes(m_stg, kEarlierColumns));
    }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        qputenv("OTTAVARIO_HOME", m_home->path().toLocal8Bit());
        QVERIFY(prepareDataFolder());
        QVERIFY(writeBytes(keptWorkFile(), kColumns));
        m_stt = systemsFolder() + u"/alfa.stt"_s;
        m_stg = systemsFolder() + u"/alfa.stg"_s;
    }

    // The disk fails after `cut` bytes of one of the two files, for every cut:
    // the save says why and the folder is as it was, hidden files included.
    void failingWrite_keepsFolderAsItWas_data()
    {
        QTest::addColumn<bool>("earlierPair");
        QTest::addColumn<int>("failingWrite"); // 1 the columns, 2 the description
        QTest::newRow("columns, earlier pair") << true << 1;
        QTest::newRow("description, earlier pair") << true << 2;
        QTest::newRow("columns, new pair") << false << 1;
        QTest::newRow("description, new pair") << false << 2;
    }
    void failingWrite_keepsFolderAsItWas()
    {
        QFETCH(bool, earlierPair);
        QFETCH(int, failingWrite);
        QVERIFY(putEarlierPair(earlierPair));
        const Folder before = snapshot(systemsFolder());
        const QString failingPath = failingWrite == 1 ? m_stg : m_stt;
        const qsizetype size = failingWrite == 1
            ? kColumns.size()
            : formatDescription(singles(), SystemType::Integrale).size();

        for (qsizetype cut = 0; cut < size; ++cut) {
            int writes = 0;
            const auto saved = detail::saveSystem(
                m_stt, singles(), SystemType::Integrale, keptWorkFile(),
                [](const QString& from, const QString& to) { return QFile::rename(from, to); },
                [&](QFile& file, const QByteArray& bytes) -> qint64 {
                    if (++writes != failingWrite)
                        return file.write(bytes);
                    return file.write(bytes.left(cut));
                });
            QVERIFY2(!saved, qPrintable(u"cut at %1"_s.arg(cut)));
            QCOMPARE(saved.error().path, failingPath);
            QCOMPARE(saved.error().reason, kWriteError);
            QCOMPARE(snapshot(systemsFolder()), before);
        }
        // Nothing is left to trouble the next save.
        QVERIFY(saveSystem(m_stt, singles(), SystemType::Integrale, keptWorkFile()));
        QCOMPARE(snapshot(systemsFolder()), newFolder());
    }

    // The program killed at any moment of a save: the folder as it stood then,
    // once recovered, holds the earlier pair or the new pair and no hidden file.
    void killedSave_recoversOnePairWhole_data()
    {
        QTest::addColumn<bool>("earlierPair");
        QTest::newRow("earlier pair") << true;
        QTest::newRow("new pair") << false;
    }
    void killedSave_recoversOnePairWhole()
    {
        QFETCH(bool, earlierPair);
        QVERIFY(putEarlierPair(earlierPair));
        const Folder earlier = earlierFolder(earlierPair);
        const Folder saved = newFolder();

        QList<Moment> moments;
        auto keep = [&](const QString& when) {
            moments.append({ when, snapshot(systemsFolder()) });
        };
        int writes = 0;
        int renames = 0;
        const auto result = detail::saveSystem(
            m_stt, singles(), SystemType::Integrale, keptWorkFile(),
            [&](const QString& from, const QString& to) {
                ++renames;
                keep(u"before move %1"_s.arg(renames));
                const bool moved = QFile::rename(from, to);
                keep(u"after move %1"_s.arg(renames));
                return moved;
            },
            [&](QFile& file, const QByteArray& bytes) -> qint64 {
                ++writes;
                const qsizetype half = bytes.size() / 2;
                keep(u"write %1 begun"_s.arg(writes));
                qint64 written = file.write(bytes.left(half));
                file.flush();
                keep(u"write %1 half done"_s.arg(writes));
                written += file.write(bytes.mid(half));
                file.flush();
                keep(u"write %1 done"_s.arg(writes));
                return written;
            });
        QVERIFY(result);
        keep(u"saved"_s);
        QCOMPARE(renames, earlierPair ? 4 : 2);

        bool sawMix = false;
        bool sawEarlier = false;
        bool sawNew = false;
        for (const Moment& moment : moments) {
            const Folder shown = visible(moment.folder);
            sawMix = sawMix || (shown != earlier && shown != saved);
            QTemporaryDir copy;
            QVERIFY(copy.isValid());
            QVERIFY(restore(moment.folder, copy.path()));

            recoverInterruptedSave(copy.filePath(u"alfa.stt"_s));

            const Folder recovered = snapshot(copy.path());
            QVERIFY2(recovered == earlier || recovered == saved,
                qPrintable(u"killed at %1: %2"_s.arg(moment.when, describeFolder(recovered))));
            sawEarlier = sawEarlier || recovered == earlier;
            sawNew = sawNew || recovered == saved;
            // Nothing is done twice.
            recoverInterruptedSave(copy.filePath(u"alfa.stg"_s));
            QCOMPARE(snapshot(copy.path()), recovered);
        }
        // The moments reached between the two moves, where the folder alone shows a mix.
        QVERIFY(sawMix);
        QVERIFY(sawEarlier);
        QVERIFY(sawNew);
        QCOMPARE(visible(moments.first().folder), earlier);
        QCOMPARE(moments.last().folder, saved);
    }

    // Killed with the new columns in place and the description not yet:
    // opening or saving that system again first puts the earlier pair back.
    void afterKill_openAndSaveSeeOnePair_data()
    {
        QTest::addColumn<bool>("saveAgain");
        QTest::newRow("open") << false;
        QTest::newRow("save again") << true;
    }
    void afterKill_openAndSaveSeeOnePair()
    {
        QFETCH(bool, saveAgain);
        QVERIFY(putEarlierPair(true));
        Folder torn;
        int renames = 0;
        QVERIFY(detail::saveSystem(m_stt, singles(), SystemType::Integrale, keptWorkFile(),
            [&](const QString& from, const QString& to) {
                if (++renames == 4)
                    torn = snapshot(systemsFolder());
                return QFile::rename(from, to);
            }));
        QCOMPARE(torn.value(u"alfa.stg"_s), kColumns);
        QVERIFY(!torn.contains(u"alfa.stt"_s));
        QDir(systemsFolder()).removeRecursively();
        QVERIFY(QDir().mkpath(workFolder()));
        QVERIFY(writeBytes(keptWorkFile(), kColumns));
        QVERIFY(restore(torn, systemsFolder()));

        if (saveAgain) {
            QVERIFY(saveSystem(m_stt, singles(), SystemType::Integrale, keptWorkFile()));
            QCOMPARE(snapshot(systemsFolder()), newFolder());
        } else {
            const auto opened = openSystem(m_stt);
            QVERIFY(opened);
            QCOMPARE(opened->grid.entries, earlierGrid().entries);
            QCOMPARE(opened->type, SystemType::SeiPunti);
            QCOMPARE(snapshot(systemsFolder()), earlierFolder(true));
        }
    }

    // The work folder gone (removed by hand, a cleaner): saving says which
    // file is missing and keeps the earlier pair; the next calculation makes
    // the folder again.
    void missingWorkFolder_keepsEarlierPair()
    {
        QVERIFY(putEarlierPair(true));
        QVERIFY(QDir(workFolder()).removeRecursively());
        const Folder before = snapshot(systemsFolder());

        const auto saved = saveSystem(m_stt, singles(), SystemType::Integrale, keptWorkFile());
        QVERIFY(!saved);
        QCOMPARE(saved.error().message(u"salvare"_s),
            u"Impossibile salvare il file %1: le colonne calcolate non si possono leggere da %2 "
            "(il file non esiste)."_s.arg(m_stg, keptWorkFile()));
        QCOMPARE(snapshot(systemsFolder()), before);
        QVERIFY(!QFileInfo::exists(workFolder()));

        const auto calculated = calculateColumns(singles(), SystemType::Integrale);
        QVERIFY(calculated);
        QCOMPARE(calculated->kept.size(), size_t(1));
        QVERIFY(QFileInfo(keptWorkFile()).isFile());
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "test_save_faults.moc"
