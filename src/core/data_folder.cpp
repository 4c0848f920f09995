#include "data_folder.h"

#include "core/settings_file.h"

#include <QDir>
#include <QFileInfo>

namespace ottavario {

QString dataFolder()
{
    const QString overridden = qEnvironmentVariable("OTTAVARIO_HOME");
    if (!overridden.isEmpty())
        return QDir::cleanPath(overridden);
#ifdef Q_OS_WIN
    return QStringLiteral("c:/ottavario");
#else
    return QDir::homePath() + QStringLiteral("/ottavario");
#endif
}

QString systemsFolder() { return dataFolder() + QStringLiteral("/sistemi"); }
QString workFolder() { return systemsFolder() + QStringLiteral("/tmp"); }
QString settingsPath() { return dataFolder() + QStringLiteral("/sistema.ini"); }
QString developedWorkFile() { return workFolder() + QStringLiteral("/tmp"); }
QString keptWorkFile() { return workFolder() + QStringLiteral("/sistmp"); }

FileResult<void> prepareDataFolder()
{
    for (const QString& folder : { dataFolder(), systemsFolder(), workFolder() }) {
        const QFileInfo info(folder);
        if (info.isDir())
            continue;
        if (info.exists() || !QDir().mkpath(folder))
            return std::unexpected(FileError { folder,
                info.exists() ? QStringLiteral("esiste già un file con questo nome")
                              : QStringLiteral("la cartella non si può creare") });
    }
    const QString settings = settingsPath();
    if (QFileInfo::exists(settings) || QFileInfo(settings).isSymLink())
        return {};
    return writeSettings(settings, Settings::defaults());
}

} // namespace ottavario
