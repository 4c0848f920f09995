#include "system_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

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

FileResult<SystemDescription> openSystem(const QString& path)
{
    recoverInterruptedSave(path);
    return readDescription(path);
}

namespace {
    bool isPresent(const QString& path)
    {
        return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
    }

    // A save's own names beside its targets, hidden from *.stt and *.stg: the
    // new file (tmp) and the file it replaces (old). One token a save, so that
    // the files of a save cut short are found together.
    QString besideName(const QString& target, QStringView token, QStringView kind)
    {
        const QFileInfo info(target);
        return QStringLiteral("%1/.%2.%3.%4")
            .arg(info.absolutePath(), info.fileName(), token, kind);
    }

    QString freeToken(const QString& sttPath, const QString& stgPath)
    {
        for (;;) {
            const QString token = QString::number(QRandomGenerator::global()->generate(), 16);
            bool free = true;
            for (const QString& target : { sttPath, stgPath })
                for (const QStringView kind : { u"tmp", u"old" })
                    free = free && !isPresent(besideName(target, token, kind));
            if (free)
                return token;
        }
    }

    // Puts back the state before or after a save cut short by a crash or a
    // kill. The new description is placed last: while its temporary file is
    // there, the earlier pair is put back; once it is gone, the new pair
    // stands and what it replaced is removed. Each step leaves a state this
    // reads the same way, so a recovery cut short is finished by the next.
    void recoverSave(const QString& stt, const QString& stg, const QString& token)
    {
        const QString newStt = besideName(stt, token, u"tmp");
        const QString newStg = besideName(stg, token, u"tmp");
        const QString oldStt = besideName(stt, token, u"old");
        const QString oldStg = besideName(stg, token, u"old");
        if (isPresent(newStt)) {
            if (!isPresent(newStg) && isPresent(stg))
                QFile::rename(stg, newStg);
            if (isPresent(oldStg) && !isPresent(stg))
                QFile::rename(oldStg, stg);
            if (isPresent(oldStt) && !isPresent(stt))
                QFile::rename(oldStt, stt);
            QFile::remove(newStt);
            QFile::remove(newStg);
            return;
        }
        QFile::remove(newStg);
        for (const auto& [aside, target] :
            { std::pair { oldStg, stg }, std::pair { oldStt, stt } }) {
            if (!isPresent(aside))
                continue;
            if (isPresent(target))
                QFile::remove(aside);
            else
                QFile::rename(aside, target);
        }
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
        PendingFile(QString target, QString temporary)
            : m_target(std::move(target))
            , m_temporaryName(std::move(temporary))
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

        FileResult<void> write(const QByteArray& bytes, const detail::WriteFile& writeBytes)
        {
            if (QFileInfo(m_target).isDir())
                return failure(QStringLiteral("al suo posto c'è una cartella"));
            m_temporary = m_temporaryName;
            QFile file(m_temporary);
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                m_temporary.clear();
                return failure(creationFailureReason(m_target, file));
            }
            // A replaced file keeps who may read it.
            if (QFileInfo::exists(m_target))
                file.setPermissions(QFile::permissions(m_target));
            const qint64 count = writeBytes ? writeBytes(file, bytes) : file.write(bytes);
            const bool written = count == bytes.size() && syncToDisk(file);
            if (!written)
                return failure(writeFailureReason(file));
            file.close();
            if (file.error() != QFileDevice::NoError)
                return failure(writeFailureReason(file));
            return {};
        }

        void placed() { m_temporary.clear(); }

    private:
        std::unexpected<FileError> failure(const QString& reason) const
        {
            return std::unexpected(FileError { m_target, reason });
        }

        QString m_target;
        QString m_temporaryName;
        QString m_temporary; // while it is there to be removed
    };

    struct Move {
        QString from;
        QString to;
        bool earlierFile; // a file of the earlier pair set aside
    };

    // Puts every pending file in place, or none: the files they replace are
    // first moved aside and put back if a later move fails.
    FileResult<void> placeAll(const std::vector<PendingFile*>& files, const QString& token,
        const detail::RenameFile& rename)
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
            const QString aside = besideName(target, token, u"old");
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

void recoverInterruptedSave(const QString& path)
{
    const QString stt = isDescriptionPath(path) ? path : partnerPath(path);
    const QString stg = partnerPath(stt);
    if (!isDescriptionPath(stt) || stg.isEmpty())
        return;
    const QDir folder = QFileInfo(stt).absoluteDir();
    QStringList tokens;
    for (const QString& target : { stt, stg }) {
        const QRegularExpression pattern(
            QStringLiteral("^\\.%1\\.([0-9a-f]+)\\.(tmp|old)$")
                .arg(QRegularExpression::escape(QFileInfo(target).fileName())));
        for (const QString& name :
            folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            const QRegularExpressionMatch match = pattern.match(name);
            if (match.hasMatch() && !tokens.contains(match.captured(1)))
                tokens.append(match.captured(1));
        }
    }
    for (const QString& token : tokens)
        recoverSave(folder.absoluteFilePath(QFileInfo(stt).fileName()),
            folder.absoluteFilePath(QFileInfo(stg).fileName()), token);
}

FileResult<void> saveSystem(const QString& sttPath, const Grid& grid, SystemType type,
    const QString& keptWorkFile, const Conditions& conditions)
{
    return detail::saveSystem(
        sttPath, grid, type, keptWorkFile,
        [](const QString& from, const QString& to) { return QFile::rename(from, to); }, {},
        conditions);
}

FileResult<void> detail::saveSystem(const QString& sttPath, const Grid& grid, SystemType type,
    const QString& keptWorkFile, const RenameFile& rename, const WriteFile& write,
    const Conditions& conditions)
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

    // A save cut short earlier is settled before this one starts.
    recoverInterruptedSave(sttPath);
    const QString token = freeToken(sttPath, stgPath);
    // The description is written and placed last: recovery tells by it
    // whether a save got through.
    PendingFile stg(stgPath, besideName(stgPath, token, u"tmp"));
    PendingFile stt(sttPath, besideName(sttPath, token, u"tmp"));
    if (auto written = stg.write(*columns, write); !written)
        return written;
    if (auto written = stt.write(formatDescription(grid, type, conditions), write); !written)
        return written;
    return placeAll({ &stg, &stt }, token, rename);
}

} // namespace ottavario
