#pragma once

#include "transfer/volumes.h"
#include "widgets/app_services.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace ottavario {

// Form4: copies a saved system, its .stg and .stt files, from the source side
// ("Copia") into the folder of the destination side ("Incolla"). Runs beside
// the main window; deletes itself when closed and emits closed() first.
class TransferWindow : public QWidget {
    Q_OBJECT
public:
    enum class Side { Source, Destination };

    // A drive that is not ready is asked for ("Inserire il disco nell'unità."):
    // OK tries it again, Annulla goes back to another.
    TransferWindow(const AppServices& services, VolumeService& volumes, QWidget* parent = nullptr);
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

    AppServices m_services;
    VolumeService& m_volumeService;

    QList<Volume> m_volumes;
    Panel m_source;
    Panel m_destination;
};

} // namespace ottavario
