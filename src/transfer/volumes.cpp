#include "volumes.h"

#include "core/data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace ottavario {

namespace {
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

    QString withSlash(QString path)
    {
        if (!path.endsWith(u'/'))
            path += u'/';
        return path;
    }

    QString labelOf(const QString& root, const QString& name)
    {
        return name.isEmpty() || name == root
            ? QDir::toNativeSeparators(root)
            : QStringLiteral("%1 [%2]").arg(QDir::toNativeSeparators(root), name);
    }
}

bool isOnVolume(const QString& root, const QString& path)
{
    return !root.isEmpty() && withSlash(path).startsWith(withSlash(root), kPathCase);
}

qsizetype volumeHolding(const QList<Volume>& volumes, const QString& path)
{
    qsizetype best = -1;
    for (qsizetype i = 0; i < volumes.size(); ++i)
        if (isOnVolume(volumes[i].root, path)
            && (best < 0 || volumes[i].root.size() > volumes[best].root.size()))
            best = i;
    return best;
}

bool isUserVolume(const QByteArray& fileSystemType, const QByteArray& device, const QString& root)
{
    if (root == u'/')
        return true;
    static const QSet<QByteArray> systemTypes
        = { "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "ramfs", "cgroup", "cgroup2",
              "securityfs", "pstore", "debugfs", "tracefs", "mqueue", "hugetlbfs", "configfs",
              "fusectl", "bpf", "autofs", "binfmt_misc", "nsfs", "efivarfs", "squashfs",
              "rpc_pipefs", "selinuxfs", "overlay", "devfs", "fuse.portal", "fuse.gvfsd-fuse" };
    if (systemTypes.contains(fileSystemType))
        return false;
    for (const char* prefix :
        { "/proc", "/sys", "/dev", "/run", "/snap", "/boot", "/var/snap", "/var/lib", "/System" }) {
        if (isOnVolume(QLatin1StringView(prefix), root)
            && !isOnVolume(QStringLiteral("/run/media"), root))
            return false;
    }
    static const QSet<QByteArray> networkTypes
        = { "nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "fuse.sshfs", "fuseblk" };
    return device.startsWith("/dev/") || networkTypes.contains(fileSystemType);
}

QList<Volume> SystemVolumes::volumes()
{
    QList<Volume> result;
    // The saved systems first: what is exported starts there, what is
    // imported ends there.
    const QString systems = QDir::fromNativeSeparators(systemsFolder());
    if (QFileInfo(systems).isDir())
        result.append({ systems,
            QStringLiteral("%1 [sistemi Ottavario*]").arg(QDir::toNativeSeparators(systems)) });
#ifdef Q_OS_WIN
    // Every drive letter, ready or not: a drive without its disk is still offered.
    for (const QFileInfo& drive : QDir::drives()) {
        const QString root = drive.absoluteFilePath();
        const QStorageInfo storage(root);
        QString label = root.left(2).toLower();
        if (storage.isValid() && storage.isReady() && !storage.name().isEmpty())
            label += QStringLiteral(" [%1]").arg(storage.name());
        result.append({ root, label });
    }
#else
    const QString home = QDir::homePath();
    result.append({ home, QStringLiteral("%1 [cartella personale]").arg(home) });
    QList<Volume> mounted;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        const QString root = storage.rootPath();
        if (root == home || !QFileInfo(root).isDir()
            || !isUserVolume(storage.fileSystemType(), storage.device(), root))
            continue;
        mounted.append({ root, labelOf(root, storage.name()) });
    }
    std::sort(mounted.begin(), mounted.end(),
        [](const Volume& a, const Volume& b) { return a.root < b.root; });
    result.append(mounted);
#endif
    return result;
}

bool SystemVolumes::isReady(const QString& root)
{
    const QStorageInfo storage(root);
    return storage.isValid() && storage.isReady() && QFileInfo(root).isDir();
}

} // namespace ottavario
