#pragma once

#include "transfer/volumes.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace ottavario {

class MessageService;

// Asked when a drive is not ready: true for OK (try again), false for Cancel.
class DiskQuestion {
public:
    virtual ~DiskQuestion() = default;
    virtual bool askInsertDisk(QWidget* parent) = 0;
};

// "Inserire il disco nell'unità." with OK and Cancel and no icon.
class QtDiskQuestion final : public DiskQuestion {
public:
    bool askInsertDisk(QWidget* parent) override;
};

struct TransferServices {
    MessageService* messages = nullptr;
    DiskQuestion* disk = nullptr; // null: QtDiskQuestion
    VolumeService* volumes = nullptr; // null: SystemVolumes
};

// Form4: copies a saved system, its .stg and .stt files, from the source side
// ("Copia") into the folder of the destination side ("Incolla"). Runs beside
// the main window; deletes itself when closed and emits closed() first.
class TransferWindow : public QWidget {
    Q_OBJECT
public:
    enum class Side { Source, Destination };

    explicit TransferWindow(TransferServices services, QWidget* parent = nullptr);
    ~TransferWindow() override;

    const QList<Volume>& volumes() const { return m_volumes; }
    // The volume (index into volumes(), -1 for none) and folder a side shows.
    int volumeIndex(Side side) const;
    QString folder(Side side) const;

    // Copia: the system selected in File1 into the destination folder.
    void copySelected();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct Panel {
        QComboBox* drives = nullptr;
        QTreeWidget* folders = nullptr;
        QListWidget* files = nullptr;
        int volume = -1;
        QString folder;
    };

    QWidget* buildSide(Side side, const QString& title, int index);
    Panel& panel(Side side) { return side == Side::Source ? m_source : m_destination; }
    const Panel& panel(Side side) const { return side == Side::Source ? m_source : m_destination; }

    void driveChanged(Side side, int index);
    void folderActivated(Side side, QTreeWidgetItem* item);
    bool showVolume(Side side, int index);
    bool showFolder(Side side, int volume, const QString& folder);
    void fillFiles(Side side);
    void setDriveQuietly(Side side, int index);
    int fallbackVolume(Side side) const;

    MessageService* m_messages;
    DiskQuestion* m_disk;
    VolumeService* m_volumeService;
    std::unique_ptr<DiskQuestion> m_ownDisk;
    std::unique_ptr<VolumeService> m_ownVolumes;

    QList<Volume> m_volumes;
    Panel m_source;
    Panel m_destination;
};

} // namespace ottavario
