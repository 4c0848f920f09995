#include "data_folder.h"

#include "core/settings_file.h"

#include <QDir>
#include <QFileInfo>

namespace ottavario {

DataFolder::DataFolder(const QString& root)
    : m_root(QDir::cleanPath(root))
{
}

DataFolder DataFolder::fromEnvironment()
{
    const QString overridden = qEnvironmentVariable("OTTAVARIO_HOME");
    if (!overridden.isEmpty())
        return DataFolder(overridden);
#ifdef Q_OS_WIN
    return DataFolder(QStringLiteral("c:/ottavario"));
#else
    return DataFolder(QDir::homePath() + QStringLiteral("/ottavario"));
#endif
}

QString DataFolder::systems() const { return m_root + QStringLiteral("/sistemi"); }
QString DataFolder::work() const { return systems() + QStringLiteral("/tmp"); }
QString DataFolder::settingsFile() const { return m_root + QStringLiteral("/sistema.ini"); }
QString DataFolder::developedWorkFile() const { return work() + QStringLiteral("/tmp"); }
QString DataFolder::keptWorkFile() const { return work() + QStringLiteral("/sistmp"); }

FileResult<void> DataFolder::prepare() const
{
    for (const QString& folder : { m_root, systems(), work() }) {
        const QFileInfo info(folder);
        if (info.isDir())
            continue;
        if (info.exists() || !QDir().mkpath(folder))
            return std::unexpected(FileError { folder,
                info.exists() ? QStringLiteral("esiste già un file con questo nome")
                              : QStringLiteral("la cartella non si può creare") });
    }
    const QString settings = settingsFile();
    if (QFileInfo::exists(settings) || QFileInfo(settings).isSymLink())
        return {};
    return writeSettings(settings, Settings::defaults());
}

} // namespace ottavario
