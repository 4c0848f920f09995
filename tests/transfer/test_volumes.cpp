#include "core/data_folder.h"
#include "transfer/volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace ottavario;

class TestVolumes : public QObject {
    Q_OBJECT

private slots:
    void offersOnlyVolumesThatHoldUserFiles_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("device");
        QTest::addColumn<QString>("root");
        QTest::addColumn<bool>("offered");
        QTest::newRow("system disk")
            << QByteArray("ext4") << QByteArray("/dev/sda1") << "/" << true;
        QTest::newRow("container root")
            << QByteArray("overlay") << QByteArray("overlay") << "/" << true;
        QTest::newRow("usb key") << QByteArray("vfat") << QByteArray("/dev/sdb1")
                                 << "/media/anna/CHIAVE" << true;
        QTest::newRow("usb key, run/media")
            << QByteArray("vfat") << QByteArray("/dev/sdc1") << "/run/media/anna/CHIAVE" << true;
        QTest::newRow("home partition")
            << QByteArray("ext4") << QByteArray("/dev/sda3") << "/home" << true;
        QTest::newRow("network share")
            << QByteArray("nfs4") << QByteArray("server:/export") << "/mnt/rete" << true;
        QTest::newRow("ntfs disk")
            << QByteArray("fuseblk") << QByteArray("/dev/sdd1") << "/mnt/dati" << true;
        QTest::newRow("shared memory")
            << QByteArray("tmpfs") << QByteArray("tmpfs") << "/dev/shm" << false;
        QTest::newRow("tmpfs elsewhere")
            << QByteArray("tmpfs") << QByteArray("none") << "/mnt/ram" << false;
        QTest::newRow("proc") << QByteArray("proc") << QByteArray("proc") << "/proc" << false;
        QTest::newRow("boot partition")
            << QByteArray("ext4") << QByteArray("/dev/sda2") << "/boot" << false;
        QTest::newRow("efi partition")
            << QByteArray("vfat") << QByteArray("/dev/sda4") << "/boot/efi" << false;
        QTest::newRow("snap") << QByteArray("squashfs") << QByteArray("/dev/loop3")
                              << "/snap/core/1" << false;
        QTest::newRow("runtime folder")
            << QByteArray("ext4") << QByteArray("/dev/sda1") << "/run/user/1000" << false;
        QTest::newRow("bootstrap is not boot")
            << QByteArray("ext4") << QByteArray("/dev/sdb1") << "/bootstrap" << true;
    }

    void offersOnlyVolumesThatHoldUserFiles()
    {
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, device);
        QFETCH(QString, root);
        QFETCH(bool, offered);
        QCOMPARE(isUserVolume(type, device, root), offered);
    }

    void findsTheVolumeHoldingAPath_data()
    {
        QTest::addColumn<QStringList>("roots");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("expected");
        const QStringList mounts = { "/", "/home/anna", "/media/usb" };
        QTest::newRow("deepest root wins") << mounts << "/home/anna/ottavario" << 1;
        QTest::newRow("the root itself") << mounts << "/media/usb" << 2;
        QTest::newRow("a longer name is not below") << mounts << "/media/usbkey/x" << 0;
        QTest::newRow("elsewhere") << mounts << "/tmp" << 0;
        QTest::newRow("drive letters")
            << QStringList { "A:/", "C:/", "D:/" } << "C:/ottavario" << 1;
        QTest::newRow("no volume") << QStringList {} << "/tmp" << -1;
        QTest::newRow("not on any") << QStringList { "C:/" } << "/tmp" << -1;
    }

    void findsTheVolumeHoldingAPath()
    {
        QFETCH(QStringList, roots);
        QFETCH(QString, path);
        QFETCH(int, expected);
        QList<Volume> volumes;
        for (const QString& root : roots)
            volumes.append({ root, root });
        QCOMPARE(volumeHolding(volumes, path), qsizetype(expected));
    }

    // The real list offers the saved systems first, then the home folder and
    // the root.
    void systemListStartsWithTheSavedSystems()
    {
        QTemporaryDir home;
        qputenv("OTTAVARIO_HOME", home.path().toLocal8Bit());
        QVERIFY(prepareDataFolder());
        const QString systems = systemsFolder();
        SystemVolumes system;
        const QList<Volume> volumes = system.volumes();
        qunsetenv("OTTAVARIO_HOME");
        QVERIFY(volumes.size() > 1);
        QCOMPARE(volumes.first().root, QDir::fromNativeSeparators(systems));
        QVERIFY(volumes.first().label.startsWith(QDir::toNativeSeparators(systems)));
#ifndef Q_OS_WIN
        QCOMPARE(volumes[1].root, QDir::homePath());
        QVERIFY(volumeHolding(volumes, QStringLiteral("/")) >= 0);
        for (const Volume& v : volumes)
            QVERIFY2(QFileInfo(v.root).isDir(), qPrintable(v.root));
#endif
        QVERIFY(system.isReady(volumes.first().root));
        QVERIFY(!system.isReady(QStringLiteral("/nessun/volume/qui")));
    }
};

QTEST_GUILESS_MAIN(TestVolumes)
#include "test_volumes.moc"
