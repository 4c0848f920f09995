#include "system_files.h"

#include <QFileInfo>

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

QString columnFilePath(const QString& path)
{
    return isDescriptionPath(path) ? partnerPath(path) : path;
}

QString systemName(const QString& path) { return QFileInfo(path).completeBaseName(); }

FileResult<SystemDescription> openSystem(const QString& path)
{
    if (auto settled = settlePair(path); !settled)
        return std::unexpected(settled.error());
    return readDescription(path);
}

FileResult<void> saveSystem(const QString& sttPath, const Grid& grid, SystemType type,
    const QByteArray& columns, const Conditions& conditions)
{
    // The pair is found again by its extensions; another ending would leave
    // the column file under a name nobody looks for.
    if (!isDescriptionPath(sttPath))
        return std::unexpected(
            FileError { sttPath, QStringLiteral("il nome del file deve finire con .stt") });
    const auto committed = commitPair({ sttPath, formatDescription(grid, type, conditions), {} },
        { partnerPath(sttPath), columns, {} });
    if (committed)
        return {};
    FileError error = committed.error().cause;
    if (!committed.error().settled)
        error.reason += QStringLiteral(
            "; il sistema sarà sistemato alla prossima apertura, con i file precedenti o con i "
            "nuovi");
    return std::unexpected(error);
}

} // namespace ottavario
