#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ottavario {

// A place the drive lists offer: the folder of saved systems, a drive on
// Windows, a mounted volume or the home folder elsewhere.
struct Volume {
    QString root; // with "/" separators; a drive's root ends with one ("C:/", "/")
    QString label; // as the drive list shows it

    bool operator==(const Volume&) const = default;
};

class VolumeService {
public:
    virtual ~VolumeService() = default;
    virtual QList<Volume> volumes() = 0;
    // False for a drive without its disk or a volume that has gone away.
    virtual bool isReady(const QString& root) = 0;
};

// The folder of saved systems, then the platform's drives and volumes.
class SystemVolumes final : public VolumeService {
public:
    QList<Volume> volumes() override;
    bool isReady(const QString& root) override;
};

// Whether a mounted file system is one a user keeps files on, not one of the
// system's own (proc, sysfs, tmpfs, snaps and the like).
bool isUserVolume(const QByteArray& fileSystemType, const QByteArray& device, const QString& root);

// The volume that holds `path`: the one with the longest root that starts it; -1 if none.
qsizetype volumeHolding(const QList<Volume>& volumes, const QString& path);

// Whether `path` is `root` or lies below it.
bool isOnVolume(const QString& root, const QString& path);

} // namespace ottavario
