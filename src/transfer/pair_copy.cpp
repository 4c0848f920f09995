#include "pair_copy.h"

#include "systems/system_files.h"

#include <QDir>
#include <QFileInfo>

#include <array>

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
}

PairCopyResult copyPair(
    const QString& sourceFolder, const QString& destinationFolder, const QString& columnFileName)
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

    // The source is read as the last whole pair it held.
    const QString columnSource = composePath(sourceFolder, columnFileName);
    if (auto settled = settlePair(columnSource); !settled)
        return failure(settled.error());

    const QString description = sourceDescriptionName(sourceFolder, columnFileName);
    const std::array<PairFile, 2> files { PairFile { composePath(destinationFolder, columnFileName),
                                              {}, columnSource },
        PairFile { composePath(destinationFolder, description), {},
            composePath(sourceFolder, description) } };

    // Everything that can be checked beforehand, so that nothing is written
    // for a pair that cannot be copied whole.
    bool anythingToCopy = false;
    for (const PairFile& file : files) {
        const QFileInfo source(file.source);
        if (!source.exists())
            return failure({ file.source, QStringLiteral("il file non esiste") });
        if (!source.isFile())
            return failure({ file.source, QStringLiteral("non è un file") });
        if (QFileInfo(file.target).isDir())
            return failure({ file.target, QStringLiteral("al suo posto c'è una cartella") });
        if (!isSameFile(file.source, file.target))
            anythingToCopy = true;
    }
    if (!anythingToCopy)
        return PairCopyOutcome::AlreadyThere;

    const auto committed = commitPair(files[1], files[0]);
    if (committed)
        return PairCopyOutcome::Copied;
    const PairCommitError& error = committed.error();
    switch (error.stage) {
    case PairCommitError::Stage::Create:
        return failure({ destinationFolder,
                           QStringLiteral("nella cartella non si può scrivere (protetta da "
                                          "scrittura, piena o non pronta)") },
            error.settled);
    case PairCommitError::Stage::Place:
        return failure(
            { error.cause.path, QStringLiteral("il file non si può rinominare") }, error.settled);
    case PairCommitError::Stage::Settle:
    case PairCommitError::Stage::Read:
    case PairCommitError::Stage::Write:
        break;
    }
    return failure(error.cause, error.settled);
}

} // namespace ottavario
