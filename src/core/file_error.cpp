#include "file_error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ottavario {

QString FileError::message(const QString& action) const
{
    return QStringLiteral("Impossibile %1 il file %2: %3.").arg(action, path, reason);
}

QString describe(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::NoError:
        return QStringLiteral("nessun errore");
    case QFileDevice::ReadError:
        return QStringLiteral("errore di lettura del disco");
    case QFileDevice::WriteError:
        return QStringLiteral("errore di scrittura (il disco potrebbe essere pieno o protetto)");
    case QFileDevice::FatalError:
        return QStringLiteral("errore grave del disco");
    case QFileDevice::ResourceError:
        return QStringLiteral("spazio su disco esaurito o risorse insufficienti");
    case QFileDevice::OpenError:
        return QStringLiteral("il file non si può aprire");
    case QFileDevice::AbortError:
        return QStringLiteral("operazione interrotta");
    case QFileDevice::TimeOutError:
        return QStringLiteral("tempo scaduto");
    case QFileDevice::UnspecifiedError:
        return QStringLiteral("errore sconosciuto");
    case QFileDevice::RemoveError:
        return QStringLiteral("il file non si può cancellare");
    case QFileDevice::RenameError:
        return QStringLiteral("il file non si può rinominare");
    case QFileDevice::PositionError:
        return QStringLiteral("errore di posizionamento nel file");
    case QFileDevice::ResizeError:
        return QStringLiteral("il file non si può ridimensionare");
    case QFileDevice::PermissionsError:
        return QStringLiteral("accesso negato");
    case QFileDevice::CopyError:
        return QStringLiteral("il file non si può copiare");
    }
    return QStringLiteral("errore sconosciuto");
}

namespace {
    QString openFailureReason(const QString& path, const QFile& file)
    {
        const QFileInfo info(path);
        if (!info.exists())
            return QStringLiteral("il file non esiste");
        if (info.isDir())
            return QStringLiteral("è una cartella, non un file");
        if (!info.isFile())
            return QStringLiteral("non è un file normale");
        if (!info.isReadable())
            return QStringLiteral("accesso negato");
        return describe(file.error());
    }

}

QString creationFailureReason(const QString& target, const QFileDevice& file)
{
    const QFileInfo info(target);
    if (info.isDir())
        return QStringLiteral("al suo posto c'è una cartella");
    const QString folder = info.absolutePath();
    const QFileInfo folderInfo(folder);
    if (!folderInfo.exists())
        return QStringLiteral("la cartella %1 non esiste").arg(folder);
    if (!folderInfo.isDir())
        return QStringLiteral("%1 non è una cartella").arg(folder);
    if (!folderInfo.isWritable())
        return QStringLiteral("la cartella %1 è protetta da scrittura").arg(folder);
    return describe(file.error());
}

QString writeFailureReason(const QFileDevice& file)
{
    return describe(file.error() != QFileDevice::NoError ? file.error() : QFileDevice::WriteError);
}

FileResult<QByteArray> readWholeFile(const QString& path)
{
    QFile file(path);
    // A folder or a device is refused before it is opened: a pipe would block
    // and a device might never end.
    const QFileInfo info(path);
    if ((info.exists() && !info.isFile()) || !file.open(QIODevice::ReadOnly))
        return std::unexpected(FileError { path, openFailureReason(path, file) });
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::unexpected(FileError { path, describe(file.error()) });
    return bytes;
}

FileResult<void> writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly))
        return std::unexpected(FileError { path, creationFailureReason(path, file) });
    if (file.write(bytes) != bytes.size()) {
        const QString reason = writeFailureReason(file);
        file.cancelWriting();
        return std::unexpected(FileError { path, reason });
    }
    if (!file.commit())
        return std::unexpected(FileError { path, describe(file.error()) });
    return {};
}

} // namespace ottavario
