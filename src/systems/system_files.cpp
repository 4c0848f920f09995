#include "system_files.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <vector>

#if defined(Q_OS_WIN)
#include <io.h>
#elif defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace ottavario {

QString partnerPath(const QString& path)
{
    const QStringView ending = QStringView(path).right(3);
    if (ending.compare(u"stt", Qt::CaseInsensitive) == 0)
        return path.chopped(3) + QStringLiteral("stg");
    if (ending.compare(u"stg", Qt::CaseInsensitive) == 0)
        return path.chopped(3) + QStringLiteral("stt");
    return QString();
}

bool isDescriptionPath(const QString& path)
{
    return path.endsWith(QStringLiteral(".stt"), Qt::CaseInsensitive);
}

QString systemName(const QString& path) { return QFileInfo(path).completeBaseName(); }

FileResult<SystemDescription> openSystem(const QString& path) { return readDescription(path); }

namespace {
    // A name beside `target` that nothing uses yet, hidden from *.stt and *.stg.
    QString freeNameBeside(const QString& target, QStringView kind)
    {
        const QFileInfo info(target);
        for (;;) {
            const QString name
                = QStringLiteral("%1/.%2.%3.%4")
                      .arg(info.absolutePath(), info.fileName(),
                          QString::number(QRandomGenerator::global()->generate(), 16), kind);
            if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
                return name;
        }
    }

    QString missingFolder(const QString& target)
    {
        const QString folder = QFileInfo(target).absolutePath();
        const QFileInfo info(folder);
        if (!info.exists())
            return QStringLiteral("la cartella %1 non esiste").arg(folder);
        if (!info.isDir())
            return QStringLiteral("%1 non è una cartella").arg(folder);
        return QString();
    }

    // Why a file could not be created beside `target`. Asked only after the
    // failure: a folder's flags do not always tell whether it takes files.
    QString creationFailure(const QString& target, const QFile& file)
    {
        const QString folder = QFileInfo(target).absolutePath();
        if (const QString missing = missingFolder(target); !missing.isEmpty())
            return missing;
        if (!QFileInfo(folder).isWritable())
            return QStringLiteral("la cartella %1 è protetta da scrittura").arg(folder);
        return describe(file.error());
    }

    bool syncToDisk(QFile& file)
    {
        if (!file.flush())
            return false;
#if defined(Q_OS_WIN)
        return _commit(file.handle()) == 0;
#elif defined(Q_OS_UNIX)
        return ::fsync(file.handle()) == 0;
#else
        return true;
#endif
    }

    // A file written in full under a temporary name, waiting to be moved to
    // its target; removed if it never gets there.
    class PendingFile {
    public:
        explicit PendingFile(QString target)
            : m_target(std::move(target))
        {
        }
        PendingFile(const PendingFile&) = delete;
        PendingFile& operator=(const PendingFile&) = delete;
        ~PendingFile()
        {
            if (!m_temporary.isEmpty())
                QFile::remove(m_temporary);
        }

        const QString& target() const { return m_target; }
        const QString& temporary() const { return m_temporary; }

        FileResult<void> write(const QByteArray& bytes)
        {
            if (QFileInfo(m_target).isDir())
                return failure(QStringLiteral("al suo posto c'è una cartella"));
            if (const QString missing = missingFolder(m_target); !missing.isEmpty())
                return failure(missing);
            m_temporary = freeNameBeside(m_target, u"tmp");
            QFile file(m_temporary);
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                m_temporary.clear();
                return failure(creationFailure(m_target, file));
            }
            // A replaced file keeps who may read it.
            if (QFileInfo::exists(m_target))
                file.setPermissions(QFile::permissions(m_target));
            const bool written = file.write(bytes) == bytes.size() && syncToDisk(file);
            const QFileDevice::FileError error = file.error();
            file.close();
            if (!written || error != QFileDevice::NoError || file.error() != QFileDevice::NoError)
                return failure(describe(error != QFileDevice::NoError ? error : file.error()));
            return {};
        }

        void placed() { m_temporary.clear(); }

    private:
        std::unexpected<FileError> failure(const QString& reason) const
        {
            return std::unexpected(FileError { m_target, reason });
        }

        QString m_target;
        QString m_temporary;
    };

    struct Move {
        QString from;
        QString to;
        bool earlierFile; // a file of the earlier pair set aside
    };

    // Puts every pending file in place, or none: the files they replace are
    // first moved aside and put back if a later move fails.
    FileResult<void> placeAll(
        const std::vector<PendingFile*>& files, const detail::RenameFile& rename)
    {
        std::vector<Move> done;
        std::vector<QString> setAside;
        auto undo = [&](FileError error) -> FileResult<void> {
            for (auto move = done.rbegin(); move != done.rend(); ++move) {
                if (!QFile::rename(move->to, move->from) && move->earlierFile)
                    error.reason += QStringLiteral("; la copia precedente di %1 è rimasta in %2")
                                        .arg(move->from, move->to);
            }
            return std::unexpected(error);
        };

        for (PendingFile* file : files) {
            const QString& target = file->target();
            if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink())
                continue;
            const QString aside = freeNameBeside(target, u"old");
            if (!rename(target, aside))
                return undo(FileError { target, QStringLiteral("il file non si può sostituire") });
            done.push_back({ target, aside, true });
            setAside.push_back(aside);
        }
        for (PendingFile* file : files) {
            if (!rename(file->temporary(), file->target()))
                return undo(FileError {
                    file->target(), QStringLiteral("il file non si può scrivere al suo posto") });
            done.push_back({ file->temporary(), file->target(), false });
        }
        for (PendingFile* file : files)
            file->placed();
        for (const QString& aside : setAside)
            QFile::remove(aside);
        return {};
    }
}

FileResult<void> saveSystem(
    const QString& sttPath, const Grid& grid, SystemType type, const QString& keptWorkFile)
{
    return detail::saveSystem(sttPath, grid, type, keptWorkFile,
        [](const QString& from, const QString& to) { return QFile::rename(from, to); });
}

FileResult<void> detail::saveSystem(const QString& sttPath, const Grid& grid, SystemType type,
    const QString& keptWorkFile, const RenameFile& rename)
{
    // The pair is found again by its extensions; another ending would leave
    // the column file under a name nobody looks for.
    if (!isDescriptionPath(sttPath))
        return std::unexpected(
            FileError { sttPath, QStringLiteral("il nome del file deve finire con .stt") });
    const QString stgPath = partnerPath(sttPath);

    const auto columns = readWholeFile(keptWorkFile);
    if (!columns)
        return std::unexpected(FileError { stgPath,
            QStringLiteral("le colonne calcolate non si possono leggere da %1 (%2)")
                .arg(keptWorkFile, columns.error().reason) });

    PendingFile stg(stgPath);
    PendingFile stt(sttPath);
    if (auto written = stg.write(*columns); !written)
        return written;
    if (auto written = stt.write(formatDescription(grid, type)); !written)
        return written;
    return placeAll({ &stg, &stt }, rename);
}

} // namespace ottavario
