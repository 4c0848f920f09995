#include "pair_commit.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>
#include <array>
#include <vector>

#if defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace ottavario {

namespace {
    using detail::PairStep;
    using Stage = PairCommitError::Stage;

    detail::PairStepHook g_stepHook;
    detail::PairFileFactory g_fileFactory;

    bool allowed(PairStep step, const QString& path)
    {
        return !g_stepHook || g_stepHook(step, path);
    }

    constexpr qint64 kChunk = 64 * 1024;
    constexpr int kBusyWaitMs = 10'000;
    constexpr qint64 kMaxJournal = 4096;

    // The journal of a commit under way: its new files may be there, the
    // targets are untouched; settling removes what it began.
    const QByteArray kBegun = "ottavario pair commit: begun\n";
    // The journal of a commit whose new files are whole and synced; settling
    // puts them in place. It lists each file's name and its digest.
    const QByteArray kReady = "ottavario pair commit: ready\n";

    const QString kBusy = QStringLiteral(
        "un altro programma sta salvando o copiando un sistema in questa cartella");

    // .<name>.<token>.<kind> beside the pair, <name> the column file's name
    // without its extension: hidden from the lists of *.stt and *.stg files.
    const QRegularExpression kJournalName(
        QStringLiteral("^\\.(.+)\\.([0-9a-f]{16})\\.(begun|ready)$"));

    bool isPresent(const QString& path)
    {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    }

    QString pairBase(const QString& fileName)
    {
        return fileName.size() > 4 ? fileName.chopped(4) : QString();
    }

    struct CommitNames {
        QString folder;
        QString base;
        QString token;

        QString hidden(QStringView kind) const
        {
            return QStringLiteral("%1/.%2.%3.%4").arg(folder, base, token, kind);
        }
        QString begun() const { return hidden(u"begun"); }
        QString ready() const { return hidden(u"ready"); }
        QString part(QStringView extension) const
        {
            return hidden(extension.toString() + QStringLiteral(".part"));
        }
    };

    bool removePresent(const QString& path)
    {
        if (!isPresent(path))
            return true;
        return allowed(PairStep::Remove, path) && QFile::remove(path);
    }

    // Renames over an existing file in one step, so the target never goes
    // missing.
    bool replaceFile(const QString& from, const QString& to)
    {
        if (!allowed(PairStep::Rename, to))
            return false;
#if defined(Q_OS_WIN)
        return MoveFileExW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(from).utf16()),
                   reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(to).utf16()),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
            != 0;
#else
        return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData())
            == 0;
#endif
    }

    bool syncToDisk(QFile& file)
    {
        if (!file.flush())
            return false;
#if defined(Q_OS_WIN)
        return _commit(file.handle()) == 0;
#else
        return ::fsync(file.handle()) == 0;
#endif
    }

    // The folder of a pair, held while a commit or a settling runs: locked
    // against another process doing the same, and synced so that names reach
    // the disk in the order they were given.
    class Folder {
    public:
        explicit Folder(const QString& path)
            : m_path(path)
        {
#if !defined(Q_OS_WIN)
            m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
        }
        Folder(const Folder&) = delete;
        Folder& operator=(const Folder&) = delete;
        ~Folder()
        {
#if !defined(Q_OS_WIN)
            if (m_fd >= 0)
                ::close(m_fd);
#endif
        }

        // False when another process kept the folder for too long.
        bool lock()
        {
#if !defined(Q_OS_WIN)
            if (m_fd < 0)
                return true;
            const QDeadlineTimer deadline(kBusyWaitMs);
            while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
                if (errno == EINTR)
                    continue;
                // A file system without locks: the commit goes on unlocked.
                if (errno != EWOULDBLOCK)
                    return true;
                if (deadline.hasExpired())
                    return false;
                QThread::msleep(10);
            }
#endif
            return true;
        }

        bool sync()
        {
            if (!allowed(PairStep::SyncFolder, m_path))
                return false;
#if !defined(Q_OS_WIN)
            // Some file systems cannot sync a folder; their renames are as safe as they get.
            return m_fd < 0 || ::fsync(m_fd) == 0 || errno == EINVAL;
#else
            return true;
#endif
        }

    private:
        QString m_path;
        int m_fd = -1;
    };

    QByteArray digestOf(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (!hash.addData(&file) || file.error() != QFileDevice::NoError)
            return {};
        return hash.result().toHex();
    }

    QByteArray journalBytes(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxJournal)
            return QByteArray("\n", 1) + kReady; // matches no journal
        return file.read(kMaxJournal);
    }

    struct ReadyEntry {
        QString extension; // "stg" or "stt"
        QString name; // the target's name in the folder
        QByteArray digest; // of the new file, hex
    };

    QByteArray readyJournal(const std::vector<ReadyEntry>& entries)
    {
        QByteArray text = kReady;
        for (const ReadyEntry& e : entries)
            text += e.extension.toLatin1() + ' ' + e.name.toUtf8().toPercentEncoding() + ' '
                + e.digest + '\n';
        return text + "end " + QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex()
            + '\n';
    }

    // The entries of a whole ready journal of the pair `base`; empty when the
    // text is anything else (cut short, damaged, not a journal).
    std::vector<ReadyEntry> parseReady(const QByteArray& text, const QString& base)
    {
        const QList<QByteArray> lines = text.split('\n');
        if (lines.size() != 5 || !lines[4].isEmpty() || lines[0] + '\n' != kReady)
            return {};
        const qsizetype endAt = text.lastIndexOf("end ");
        const QByteArray body = text.left(endAt);
        if (lines[3] != "end " + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex())
            return {};
        std::vector<ReadyEntry> entries;
        for (int i = 1; i <= 2; ++i) {
            const QList<QByteArray> fields = lines[i].split(' ');
            if (fields.size() != 3)
                return {};
            ReadyEntry e { QString::fromLatin1(fields[0]),
                QString::fromUtf8(QByteArray::fromPercentEncoding(fields[1])), fields[2] };
            const bool plainName = !e.name.contains(u'/') && !e.name.contains(u'\\')
                && e.name.right(3).compare(e.extension, Qt::CaseInsensitive) == 0
                && pairBase(e.name).compare(base, Qt::CaseInsensitive) == 0;
            if (e.extension != (i == 1 ? u"stg" : u"stt") || !plainName || e.digest.size() != 64)
                return {};
            entries.push_back(std::move(e));
        }
        return entries;
    }

    struct Journal {
        QString base; // as written in the journal's name
        QString token;
    };

    std::vector<Journal> journalsOf(const QString& folder, const QString& base)
    {
        std::vector<Journal> found;
        if (base.isEmpty())
            return found;
        const QStringList names
            = QDir(folder).entryList({ QStringLiteral(".*.begun"), QStringLiteral(".*.ready") },
                QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString& name : names) {
            const QRegularExpressionMatch match = kJournalName.match(name);
            if (!match.hasMatch() || match.captured(1).compare(base, Qt::CaseInsensitive) != 0)
                continue;
            const Journal journal { match.captured(1), match.captured(2) };
            const bool known = std::ranges::any_of(found, [&](const Journal& j) {
                return j.base == journal.base && j.token == journal.token;
            });
            if (!known)
                found.push_back(journal);
        }
        return found;
    }

    // Undoes a commit that had not reached its ready journal (or is being
    // given up before any target was replaced). The begun journal goes last:
    // while it is there it proves the other files to be this commit's own.
    // False when a file could not be removed; the targets are untouched.
    bool rollBack(const CommitNames& names)
    {
        return removePresent(names.ready()) && removePresent(names.part(u"stg"))
            && removePresent(names.part(u"stt")) && removePresent(names.begun());
    }

    // Puts in place what a ready journal lists. A new file already gone was
    // already put in place. An error when one that is there cannot be.
    FileResult<void> rollForward(
        Folder& folder, const CommitNames& names, const std::vector<ReadyEntry>& entries)
    {
        for (const ReadyEntry& e : entries) {
            const QString part = names.part(e.extension);
            const QString target = names.folder + u'/' + e.name;
            if (!isPresent(part))
                continue;
            if (digestOf(part) != e.digest)
                return std::unexpected(FileError {
                    target, QStringLiteral("la sua nuova copia %1 è danneggiata").arg(part) });
            if (!replaceFile(part, target))
                return std::unexpected(FileError {
                    target, QStringLiteral("il file non si può scrivere al suo posto") });
        }
        // The pair is whole from here: a journal left behind is removed next time.
        if (folder.sync() && removePresent(names.begun()))
            removePresent(names.ready());
        return {};
    }

    // Settles every commit of the pair `base` that was cut short; the folder
    // is held.
    FileResult<void> settleLocked(Folder& folder, const QString& path, const QString& base)
    {
        for (const Journal& journal : journalsOf(path, base)) {
            const CommitNames names { path, journal.base, journal.token };
            if (isPresent(names.ready())) {
                const auto entries = parseReady(journalBytes(names.ready()), journal.base);
                if (!entries.empty()) {
                    if (auto done = rollForward(folder, names, entries); !done)
                        return done;
                    continue;
                }
            }
            // A begun journal is its first line, or the start of it when the
            // commit was stopped while writing it; anything else is not ours.
            if (isPresent(names.begun()) && kBegun.startsWith(journalBytes(names.begun())))
                rollBack(names);
        }
        return {};
    }

    // Creates `path`, writes it whole and syncs it; the error names `target`,
    // the file the user knows, or the source that could not be read.
    std::expected<QByteArray, PairCommitError> writeWhole(const QString& path,
        const QString& target, const QByteArray& bytes, const QString& source, bool isPairFile)
    {
        auto failure = [](Stage stage, const QString& at, const QString& reason) {
            return std::unexpected(PairCommitError { stage, FileError { at, reason } });
        };
        std::unique_ptr<QFile> file
            = isPairFile && g_fileFactory ? g_fileFactory(path) : std::make_unique<QFile>(path);
        if (!allowed(PairStep::Create, path))
            return failure(Stage::Create, target, describe(QFileDevice::OpenError));
        if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return failure(Stage::Create, target, creationFailureReason(target, *file));
        // A replaced file keeps who may read it.
        if (isPairFile && isPresent(target))
            QFile::setPermissions(path, QFile::permissions(target));

        QCryptographicHash digest(QCryptographicHash::Sha256);
        auto put = [&](const QByteArray& chunk) {
            digest.addData(chunk);
            return allowed(PairStep::Write, path) && file->write(chunk) == chunk.size();
        };
        if (source.isEmpty()) {
            if (!put(bytes))
                return failure(Stage::Write, target, writeFailureReason(*file));
        } else {
            QFile in(source);
            if (!in.open(QIODevice::ReadOnly))
                return failure(Stage::Read, source, describe(in.error()));
            for (QByteArray chunk = in.read(kChunk); !chunk.isEmpty(); chunk = in.read(kChunk))
                if (!put(chunk))
                    return failure(Stage::Write, target, writeFailureReason(*file));
            if (in.error() != QFileDevice::NoError)
                return failure(Stage::Read, source, describe(in.error()));
        }
        if (!allowed(PairStep::Sync, path) || !syncToDisk(*file))
            return failure(Stage::Write, target, writeFailureReason(*file));
        file->close();
        if (file->error() != QFileDevice::NoError)
            return failure(Stage::Write, target, writeFailureReason(*file));
        return digest.result().toHex();
    }

    QString freeToken(const QString& folder, const QString& base)
    {
        for (;;) {
            const CommitNames names { folder, base,
                QStringLiteral("%1").arg(
                    QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')) };
            if (!isPresent(names.begun()) && !isPresent(names.ready())
                && !isPresent(names.part(u"stg")) && !isPresent(names.part(u"stt")))
                return names.token;
        }
    }
}

PairCommitResult commitPair(const PairFile& description, const PairFile& columns)
{
    auto failure = [](Stage stage, FileError cause, bool settled = true) {
        return std::unexpected(PairCommitError { stage, std::move(cause), settled });
    };
    const QFileInfo stgInfo(columns.target);
    const QFileInfo sttInfo(description.target);
    const QString folderPath = stgInfo.absolutePath();
    const QString base = pairBase(stgInfo.fileName());
    if (sttInfo.absolutePath() != folderPath || base.isEmpty()
        || pairBase(sttInfo.fileName()).compare(base, Qt::CaseInsensitive) != 0)
        return failure(Stage::Create,
            { description.target,
                QStringLiteral("la descrizione e le colonne devono avere lo stesso nome nella "
                               "stessa cartella") });
    if (!QFileInfo(folderPath).isDir()) {
        const QFile none;
        return failure(
            Stage::Create, { columns.target, creationFailureReason(columns.target, none) });
    }
    for (const PairFile* file : { &columns, &description })
        if (QFileInfo(file->target).isDir())
            return failure(
                Stage::Create, { file->target, QStringLiteral("al suo posto c'è una cartella") });

    Folder folder(folderPath);
    if (!folder.lock())
        return failure(Stage::Settle, { columns.target, kBusy });
    if (auto settled = settleLocked(folder, folderPath, base); !settled)
        return failure(Stage::Settle, settled.error(), false);

    const CommitNames names { folderPath, base, freeToken(folderPath, base) };
    auto undo = [&](PairCommitError error) {
        error.settled = rollBack(names);
        return std::unexpected(std::move(error));
    };
    auto folderNotSynced = [&] {
        return PairCommitError { Stage::Write,
            { columns.target, describe(QFileDevice::WriteError) } };
    };

    if (auto begun = writeWhole(names.begun(), columns.target, kBegun, {}, false); !begun)
        return undo(begun.error());
    if (!folder.sync())
        return undo(folderNotSynced());

    struct Part {
        const PairFile& file;
        QString extension;
        QString path;
        QByteArray digest;
    };
    std::array<Part, 2> parts { Part { columns, QStringLiteral("stg"), names.part(u"stg"), {} },
        Part { description, QStringLiteral("stt"), names.part(u"stt"), {} } };
    std::vector<ReadyEntry> entries;
    for (Part& part : parts) {
        auto written
            = writeWhole(part.path, part.file.target, part.file.bytes, part.file.source, true);
        if (!written)
            return undo(written.error());
        entries.push_back({ part.extension, QFileInfo(part.file.target).fileName(), *written });
    }
    if (!folder.sync())
        return undo(folderNotSynced());

    // From the moment this journal is whole, the new pair is the one that stands.
    if (auto ready = writeWhole(names.ready(), columns.target, readyJournal(entries), {}, false);
        !ready)
        return undo(ready.error());
    if (!folder.sync())
        return undo(folderNotSynced());
    removePresent(names.begun());

    bool replacedAny = false;
    for (const Part& part : parts) {
        if (replaceFile(part.path, part.file.target)) {
            replacedAny = true;
            continue;
        }
        // Tried once more as a settling would; when that fails too and no
        // target was touched yet, the earlier pair stays instead.
        if (settleLocked(folder, folderPath, base))
            return {};
        const FileError cause { part.file.target,
            QStringLiteral("il file non si può scrivere al suo posto") };
        if (!replacedAny)
            return failure(Stage::Place, cause, rollBack(names));
        return failure(Stage::Place, cause, false);
    }
    // A journal that cannot be removed now is removed by the next settling.
    if (folder.sync() && removePresent(names.ready()))
        removePresent(names.begun());
    return {};
}

FileResult<void> settlePair(const QString& path)
{
    const QFileInfo info(path);
    const QString base = pairBase(info.fileName());
    const QString folderPath = info.absolutePath();
    if (journalsOf(folderPath, base).empty())
        return {};
    Folder folder(folderPath);
    if (!folder.lock())
        return std::unexpected(FileError { path, kBusy });
    if (auto settled = settleLocked(folder, folderPath, base); !settled)
        return std::unexpected(FileError { path,
            QStringLiteral("un salvataggio o una copia interrotta non si può completare (%1: %2)")
                .arg(QDir::toNativeSeparators(settled.error().path), settled.error().reason) });
    return {};
}

void detail::setPairHooks(PairStepHook step, PairFileFactory files)
{
    g_stepHook = std::move(step);
    g_fileFactory = std::move(files);
}

} // namespace ottavario
