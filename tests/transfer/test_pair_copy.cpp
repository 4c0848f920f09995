#include "systems/pair_commit.h"
#include "transfer/pair_copy.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ottavario;

namespace {

// Every entry of a folder, hidden ones included, with its bytes (folders map to "<dir>").
using Snapshot = QMap<QString, QByteArray>;

Snapshot snapshot(const QString& folder)
{
    Snapshot result;
    const QDir dir(folder);
    for (const QFileInfo& info :
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (info.isDir()) {
            result.insert(info.fileName(), "<dir>");
            continue;
        }
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            result.insert(info.fileName(), file.readAll());
    }
    return result;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Two columns of 16 bytes, as a saved system holds them.
const QByteArray kColumns = " 1 2 3 4 5 6 7 8 2 3 4 5 6 7 8 9";
const QByteArray kDescription = "\"Sistema di prova\"\r\n 6 \r\n 2 \r\n 1 2 3 4 5 6 7 8 9 \r\n";

// Writes like a file on a disk that fills up after `limit` bytes; the error
// it reports is the one of a write that failed for no stated reason.
class FullDiskFile final : public QFile {
public:
    FullDiskFile(const QString& path, qint64 limit)
        : QFile(path)
        , m_limit(limit)
    {
    }

protected:
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 room = std::max<qint64>(0, m_limit - m_written);
        if (size > room) {
            if (room > 0)
                m_written += QFile::writeData(data, room);
            return -1;
        }
        const qint64 written = QFile::writeData(data, size);
        m_written += std::max<qint64>(0, written);
        return written;
    }

private:
    qint64 m_limit;
    qint64 m_written = 0;
};

#ifdef Q_OS_LINUX
// Writes into the device that is always full, as a full disk does.
class DevFullFile final : public QFile {
public:
    using QFile::QFile;
    bool open(OpenMode) override
    {
        setFileName(QStringLiteral("/dev/full"));
        return QFile::open(QIODevice::WriteOnly);
    }
};
#endif

}

class TestPairCopy : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_source;
    QString m_destination;

    void writePair(const QString& folder, const QString& name, const QByteArray& columns,
        const QByteArray& description)
    {
        writeFile(folder + u'/' + name + QStringLiteral(".stg"), columns);
        writeFile(folder + u'/' + name + QStringLiteral(".stt"), description);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_source = m_dir->filePath(QStringLiteral("sistemi"));
        m_destination = m_dir->filePath(QStringLiteral("dischetto"));
        QVERIFY(QDir().mkpath(m_source));
        QVERIFY(QDir().mkpath(m_destination));
        writePair(m_source, QStringLiteral("prova"), kColumns, kDescription);
    }

    void composesWithoutDoubledSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("root of a drive") << "a:\\"
                                         << "a:\\prova.stg";
        QTest::newRow("folder of a drive") << "a:\\sistemi"
                                           << "a:\\sistemi\\prova.stg";
        QTest::newRow("drive root, Qt form") << "C:/"
                                             << "C:/prova.stg";
        QTest::newRow("folder, Qt form") << "C:/ottavario/sistemi"
                                         << "C:/ottavario/sistemi/prova.stg";
        QTest::newRow("root of the file system") << "/"
                                                 << "/prova.stg";
        QTest::newRow("mounted volume") << "/media/chiavetta"
                                        << "/media/chiavetta/prova.stg";
        QTest::newRow("folder with its slash") << "/media/chiavetta/"
                                               << "/media/chiavetta/prova.stg";
    }

    void composesWithoutDoubledSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QCOMPARE(composePath(folder, QStringLiteral("prova.stg")), expected);
    }

    void descriptionNameReplacesLastThreeCharacters_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("description");
        QTest::newRow("lower case") << "prova.stg"
                                    << "prova.stt";
        QTest::newRow("upper case") << "PROVA.STG"
                                    << "PROVA.stt";
        QTest::newRow("dots in the name") << "lug.2001.stg"
                                          << "lug.2001.stt";
    }

    void descriptionNameReplacesLastThreeCharacters()
    {
        QFETCH(QString, column);
        QFETCH(QString, description);
        QCOMPARE(descriptionFileName(column), description);
    }

    void copiesBothFilesAndLeavesNoTemporaryFile()
    {
        const auto result = copyPair(m_source, m_destination, QStringLiteral("prova.stg"));
        QVERIFY2(result, qPrintable(result ? QString() : result.error().message()));
        QCOMPARE(*result, PairCopyOutcome::Copied);
        const Snapshot expected { { QStringLiteral("prova.stg"), kColumns },
            { QStringLiteral("prova.stt"), kDescription } };
        QCOMPARE(snapshot(m_destination), expected);
        QCOMPARE(snapshot(m_source), expected);
    }

    void replacesAnExistingPairOfTheSameName()
    {
        const QByteArray longer = kColumns + kColumns + kColumns;
        writePair(m_destination, QStringLiteral("prova"), longer, "\"Vecchio\"\r\n");
        writePair(m_destination, QStringLiteral("altro"), longer, "\"Altro\"\r\n");
        const auto result = copyPair(m_source, m_destination, QStringLiteral("prova.stg"));
        QVERIFY(result);
        const Snapshot expected { { QStringLiteral("altro.stg"), longer },
            { QStringLiteral("altro.stt"), "\"Altro\"\r\n" },
            { QStringLiteral("prova.stg"), kColumns },
            { QStringLiteral("prova.stt"), kDescription } };
        QCOMPARE(snapshot(m_destination), expected);
    }

    void copyOntoItselfDoesNothing_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::newRow("same folder") << QString();
        QTest::newRow("same folder, trailing slash") << QStringLiteral("/");
        QTest::newRow("same folder by another way") << QStringLiteral("/../sistemi");
        QTest::newRow("link to the folder") << QStringLiteral("link");
    }

    void copyOntoItselfDoesNothing()
    {
        QFETCH(QString, destination);
        QString folder = m_source + destination;
        if (destination == u"link") {
            folder = m_dir->filePath(QStringLiteral("link"));
            QVERIFY(QFile::link(m_source, folder));
        }
        const Snapshot before = snapshot(m_source);
        const auto result = copyPair(m_source, folder, QStringLiteral("prova.stg"));
        QVERIFY2(result, qPrintable(result ? QString() : result.error().message()));
        QCOMPARE(*result, PairCopyOutcome::AlreadyThere);
        QCOMPARE(snapshot(m_source), before);
    }

    // Nothing is copied when the pair cannot be copied whole, and the message
    // says which system, where to, which file and why.
    void refusedCopyChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("destination"); // relative to the temporary folder
        QTest::addColumn<QString>("faultyFile"); // relative to the temporary folder, or absolute
        QTest::addColumn<QString>("reason");

        QTest::newRow("nothing chosen") << ""
                                        << "dischetto"
                                        << ""
                                        << "nessun file scelto";
        QTest::newRow("description missing") << "solo.stg"
                                             << "dischetto"
                                             << "sistemi/solo.stt"
                                             << "il file non esiste";
        QTest::newRow("column file missing") << "manca.stg"
                                             << "dischetto"
                                             << "sistemi/manca.stg"
                                             << "il file non esiste";
        QTest::newRow("destination missing") << "prova.stg"
                                             << "nessuna"
                                             << "nessuna"
                                             << "la cartella non esiste";
        QTest::newRow("destination is a file") << "prova.stg"
                                               << "file"
                                               << "file"
                                               << "non è una cartella";
        QTest::newRow("a folder where the description goes") << "prova.stg"
                                                             << "occupata"
                                                             << "occupata/prova.stt"
                                                             << "al suo posto c'è una cartella";
#ifdef Q_OS_LINUX
        // A folder where not even root may create a file.
        if (QFileInfo(QStringLiteral("/proc")).isDir())
            QTest::newRow("destination cannot be written")
                << "prova.stg"
                << "/proc"
                << "/proc"
                << "nella cartella non si può scrivere (protetta da scrittura, piena o non pronta)";
#endif
    }

    void refusedCopyChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, destination);
        QFETCH(QString, faultyFile);
        QFETCH(QString, reason);
        writeFile(m_source + QStringLiteral("/solo.stg"), kColumns);
        writeFile(m_dir->filePath(QStringLiteral("file")), "not a folder");
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("occupata/prova.stt"))));
        const QString folder
            = destination.startsWith(u'/') ? destination : m_dir->filePath(destination);
        // A system folder is not read back: its entries come and go by themselves.
        const bool ours = !destination.startsWith(u'/');
        const Snapshot before = ours ? snapshot(folder) : Snapshot();

        const auto result = copyPair(m_source, folder, name);
        QVERIFY(!result);
        const PairCopyError& error = result.error();
        const QString expectedPath = faultyFile.isEmpty() ? QString()
            : faultyFile.startsWith(u'/')                 ? faultyFile
                                                          : m_dir->filePath(faultyFile);
        QCOMPARE(error.cause.path, expectedPath);
        QCOMPARE(error.cause.reason, reason);
        QVERIFY(error.destinationRestored);
        if (ours)
            QCOMPARE(snapshot(folder), before);

        const QString message = error.message();
        if (name.isEmpty()) {
            QVERIFY2(
                message.startsWith(QStringLiteral("Nessun sistema copiato")), qPrintable(message));
        } else {
            QVERIFY2(message.contains(name), qPrintable(message));
            QVERIFY2(message.contains(QDir::toNativeSeparators(folder)), qPrintable(message));
            QVERIFY2(message.contains(QDir::toNativeSeparators(expectedPath)), qPrintable(message));
            QVERIFY2(message.contains(reason), qPrintable(message));
        }
    }

    // The disk fills up while either file of the pair is written: the
    // destination keeps what it held, old pair included, and no part file.
    void fullDiskLeavesDestinationAsItWas_data()
    {
        QTest::addColumn<int>("failingFile"); // 0 the .stg, 1 the .stt
        QTest::addColumn<qint64>("limit"); // bytes that fit; -1 for the always full device
        QTest::addColumn<bool>("oldPair");
        QTest::addColumn<QString>("reason");
        const QString unstated = describe(QFileDevice::WriteError);
        QTest::newRow("column file, nothing written") << 0 << qint64(0) << false << unstated;
        QTest::newRow("column file, half written") << 0 << qint64(10) << false << unstated;
        QTest::newRow("description, half written") << 1 << qint64(10) << false << unstated;
        QTest::newRow("column file, replacing a pair") << 0 << qint64(10) << true << unstated;
        QTest::newRow("description, replacing a pair") << 1 << qint64(5) << true << unstated;
#ifdef Q_OS_LINUX
        const QString full = describe(QFileDevice::ResourceError);
        QTest::newRow("full device, column file") << 0 << qint64(-1) << false << full;
        QTest::newRow("full device, description, replacing") << 1 << qint64(-1) << true << full;
#endif
    }

    void fullDiskLeavesDestinationAsItWas()
    {
        QFETCH(int, failingFile);
        QFETCH(qint64, limit);
        QFETCH(bool, oldPair);
        QFETCH(QString, reason);
        if (oldPair)
            writePair(
                m_destination, QStringLiteral("prova"), kColumns + kColumns, "\"Vecchio\"\r\n");
        const Snapshot before = snapshot(m_destination);
        int opened = 0;
        auto plain = qScopeGuard([] { detail::setPairHooks({}, {}); });
        detail::setPairHooks({}, [&](const QString& path) -> std::unique_ptr<QFile> {
            if (opened++ != failingFile)
                return std::make_unique<QFile>(path);
#ifdef Q_OS_LINUX
            if (limit < 0)
                return std::make_unique<DevFullFile>(path);
#endif
            return std::make_unique<FullDiskFile>(path, limit);
        });

        const auto result = copyPair(m_source, m_destination, QStringLiteral("prova.stg"));
        QVERIFY(!result);
        const QString target
            = failingFile == 0 ? QStringLiteral("prova.stg") : QStringLiteral("prova.stt");
        QCOMPARE(result.error().cause.path, m_destination + u'/' + target);
        QCOMPARE(result.error().cause.reason, reason);
        QVERIFY(result.error().destinationRestored);
        QCOMPARE(snapshot(m_destination), before);
    }

#ifndef Q_OS_WIN
    // Names differ in case only where the file system tells them apart.
    void findsADescriptionWrittenInUpperCase()
    {
        writePair(m_source, QStringLiteral("MAIUSC"), kColumns, kDescription);
        QFile::rename(
            m_source + QStringLiteral("/MAIUSC.stg"), m_source + QStringLiteral("/MAIUSC.STG"));
        QFile::rename(
            m_source + QStringLiteral("/MAIUSC.stt"), m_source + QStringLiteral("/MAIUSC.STT"));
        const auto result = copyPair(m_source, m_destination, QStringLiteral("MAIUSC.STG"));
        QVERIFY2(result, qPrintable(result ? QString() : result.error().message()));
        const Snapshot expected { { QStringLiteral("MAIUSC.STG"), kColumns },
            { QStringLiteral("MAIUSC.STT"), kDescription } };
        QCOMPARE(snapshot(m_destination), expected);
    }
#endif
};

QTEST_GUILESS_MAIN(TestPairCopy)
#include "test_pair_copy.moc"
