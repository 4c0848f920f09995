#include "pair_copy.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <array>
#include <optional>

namespace ottavario {

QString composePath(const QString& folder, const QString& fileName)
{
    if (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder + fileName;
    // A folder written the native Windows way keeps its backslashes.
    const QChar separator = folder.contains(u'\\') && !folder.contains(u'/') ? u'\\' : u'/';
    return folder + separator + fileName;
}

QString descriptionFileName(const QString& columnFileName)
{
    return columnFileName.left(std::max<qsizetype>(0, columnFileName.size() - 3))
        + QStringLiteral("stt");
}

QString PairCopyError::message() const
{
    if (columnFileName.isEmpty())
        return QStringLiteral(
            "Nessun sistema copiato: scegliere nell'elenco \"Contenuto\" il file .stg da copiare.");
    const QString file = cause.path.isEmpty()
        ? QString()
        : QStringLiteral("%1: ").arg(QDir::toNativeSeparators(cause.path));
    QString text
        = QStringLiteral("Il sistema %1 non è stato copiato in %2.\n%3%4.")
              .arg(columnFileName, QDir::toNativeSeparators(destinationFolder), file, cause.reason);
    if (!destinationRestored)
        text += QStringLiteral("\nLa cartella di destinazione potrebbe contenere file incompleti.");
    return text;
}

namespace {
    constexpr qint64 kChunk = 64 * 1024;

    // One file of the pair on its way from the source to the destination.
    struct Transfer {
        QString source;
        QString target;
        QString part; // the copy under its temporary name, until it is in place
        QString backup; // the file it replaces, moved aside until the pair is in place
        bool placed = false;
    };

#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

    bool isSameFile(const QString& a, const QString& b)
    {
        const QString canonicalA = QFileInfo(a).canonicalFilePath();
        const QString canonicalB = QFileInfo(b).canonicalFilePath();
        return !canonicalA.isEmpty() && canonicalA.compare(canonicalB, kPathCase) == 0;
    }

    bool occupied(const QString& path)
    {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    }

    // A hidden name beside the target that no list of *.stg files shows.
    QString sideName(const QString& folder, const QString& fileName, const char* tag)
    {
        QString candidate;
        do {
            candidate = composePath(folder,
                QStringLiteral(".%1.%2.%3")
                    .arg(fileName)
                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                    .arg(QLatin1StringView(tag)));
        } while (occupied(candidate));
        return candidate;
    }

    // The source's description file: the name given by the rule, or, where
    // names are case-sensitive, the one file that differs from it only in case.
    QString sourceDescriptionName(const QString& folder, const QString& columnFileName)
    {
        const QString name = descriptionFileName(columnFileName);
        if (occupied(composePath(folder, name)))
            return name;
        const QStringList entries
            = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& entry : entries)
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return entry;
        return name;
    }

    std::optional<FileError> copyInto(const Transfer& transfer, QFile& part)
    {
        QFile in(transfer.source);
        if (!in.open(QIODevice::ReadOnly))
            return FileError { transfer.source, describe(in.error()) };
        while (true) {
            const QByteArray chunk = in.read(kChunk);
            if (chunk.isEmpty())
                break;
            if (part.write(chunk) != chunk.size())
                return FileError { transfer.target, writeFailureReason(part) };
        }
        if (in.error() != QFileDevice::NoError)
            return FileError { transfer.source, describe(in.error()) };
        if (!part.flush())
            return FileError { transfer.target, writeFailureReason(part) };
        part.close();
        if (part.error() != QFileDevice::NoError)
            return FileError { transfer.target, writeFailureReason(part) };
        if (QFileInfo(transfer.part).size() != in.size())
            return FileError { transfer.target,
                QStringLiteral("la copia è incompleta (il disco potrebbe essere pieno)") };
        return std::nullopt;
    }

    // Puts the destination back as it was; false when some step of it failed.
    template <std::size_t N> bool undo(std::array<Transfer, N>& transfers)
    {
        bool restored = true;
        for (Transfer& t : transfers) {
            if (!t.part.isEmpty() && occupied(t.part) && !QFile::remove(t.part))
                restored = false;
            if (t.placed && !QFile::remove(t.target))
                restored = false;
            if (!t.backup.isEmpty() && !QFile::rename(t.backup, t.target))
                restored = false;
        }
        return restored;
    }
}

PairCopyResult copyPair(const QString& sourceFolder, const QString& destinationFolder,
    const QString& columnFileName, const PartFileFactory& makePartFile)
{
    auto failure = [&](FileError cause, bool restored = true) {
        return std::unexpected(
            PairCopyError { columnFileName, destinationFolder, std::move(cause), restored });
    };
    if (columnFileName.isEmpty())
        return failure({ QString(), QStringLiteral("nessun file scelto") });

    const QFileInfo destination(destinationFolder);
    if (destinationFolder.isEmpty() || !destination.exists())
        return failure({ destinationFolder, QStringLiteral("la cartella non esiste") });
    if (!destination.isDir())
        return failure({ destinationFolder, QStringLiteral("non è una cartella") });

    const QString description = sourceDescriptionName(sourceFolder, columnFileName);
    std::array<Transfer, 2> transfers;
    transfers[0].source = composePath(sourceFolder, columnFileName);
    transfers[0].target = composePath(destinationFolder, columnFileName);
    transfers[1].source = composePath(sourceFolder, description);
    transfers[1].target = composePath(destinationFolder, description);

    // Everything that can be checked beforehand, so that nothing is written
    // for a pair that cannot be copied whole.
    bool anythingToCopy = false;
    for (const Transfer& t : transfers) {
        const QFileInfo source(t.source);
        if (!source.exists())
            return failure({ t.source, QStringLiteral("il file non esiste") });
        if (!source.isFile())
            return failure({ t.source, QStringLiteral("non è un file") });
        if (QFileInfo(t.target).isDir())
            return failure({ t.target, QStringLiteral("al suo posto c'è una cartella") });
        if (!isSameFile(t.source, t.target))
            anythingToCopy = true;
    }
    if (!anythingToCopy)
        return PairCopyOutcome::AlreadyThere;

    for (Transfer& t : transfers) {
        if (isSameFile(t.source, t.target))
            continue;
        const QString name = QFileInfo(t.target).fileName();
        const QString partPath = sideName(destinationFolder, name, "tmp");
        std::unique_ptr<QFile> part
            = makePartFile ? makePartFile(partPath) : std::make_unique<QFile>(partPath);
        if (!part->open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return failure({ destinationFolder,
                               QStringLiteral("nella cartella non si può scrivere (protetta da "
                                              "scrittura, piena o non pronta)") },
                undo(transfers));
        t.part = partPath;
        if (auto error = copyInto(t, *part)) {
            part.reset();
            return failure(*error, undo(transfers));
        }
    }

    // Both copies are whole: the files they replace step aside, then the
    // copies take their names.
    for (Transfer& t : transfers) {
        if (t.part.isEmpty() || !occupied(t.target))
            continue;
        const QString backup = sideName(destinationFolder, QFileInfo(t.target).fileName(), "old");
        if (!QFile::rename(t.target, backup))
            return failure({ t.target, QStringLiteral("il file esistente non si può sostituire") },
                undo(transfers));
        t.backup = backup;
    }
    for (Transfer& t : transfers) {
        if (t.part.isEmpty())
            continue;
        if (!QFile::rename(t.part, t.target))
            return failure(
                { t.target, QStringLiteral("il file non si può rinominare") }, undo(transfers));
        t.part.clear();
        t.placed = true;
    }
    for (const Transfer& t : transfers)
        if (!t.backup.isEmpty())
            QFile::remove(t.backup);
    return PairCopyOutcome::Copied;
}

} // namespace ottavario
