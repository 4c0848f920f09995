#include "transfer_window.h"

#include "transfer/pair_copy.h"
#include "widgets/dialog_services.h"
#include "widgets/forms.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ottavario {

namespace {
    const QString kTitle = QStringLiteral("Import export");
    const QStringList kColumnFiles = { QStringLiteral("*.stg") };
    constexpr int kPathRole = Qt::UserRole;

    // Image1: a folder handing a system over to a diskette.
    QPixmap transferPicture()
    {
        QPixmap pixmap(80, 80);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);

        p.setPen(QPen(QColor(140, 100, 20), 1.5));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(4, 12, 34, 24));
        p.drawRect(QRectF(4, 8, 12, 4));
        p.setBrush(QColor(250, 220, 120));
        QPainterPath flap;
        flap.moveTo(4, 36);
        flap.lineTo(10, 18);
        flap.lineTo(42, 18);
        flap.lineTo(38, 36);
        flap.closeSubpath();
        p.drawPath(flap);

        p.setPen(QPen(QColor(20, 40, 90), 1.5));
        p.setBrush(QColor(50, 90, 170));
        p.drawRoundedRect(QRectF(42, 42, 34, 34), 3, 3);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(49, 42, 20, 12));
        p.setBrush(QColor(210, 210, 210));
        p.drawRect(QRectF(49, 62, 20, 14));
        p.setBrush(QColor(20, 40, 90));
        p.drawRect(QRectF(62, 44, 4, 8));

        p.setPen(QPen(QColor(20, 120, 40), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(20, 44), QPointF(20, 62));
        p.drawLine(QPointF(20, 62), QPointF(34, 62));
        p.drawLine(QPointF(28, 56), QPointF(34, 62));
        p.drawLine(QPointF(28, 68), QPointF(34, 62));
        return pixmap;
    }
}

TransferWindow::TransferWindow(const AppServices& services, VolumeService& volumes, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_volumeService(volumes)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);

    m_volumes = m_volumeService.volumes();

    auto* layout = new QHBoxLayout(this);
    auto* sides = new QVBoxLayout;
    sides->addWidget(buildSide(Side::Source, QStringLiteral("Copia"), 1));
    sides->addWidget(buildSide(Side::Destination, QStringLiteral("Incolla"), 2));
    layout->addLayout(sides, 1);

    auto* right = new QVBoxLayout;
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(transferPicture());
    image->setFixedSize(80, 80);
    right->addWidget(image);
    right->addStretch(1);
    auto* copyButton = new QPushButton(QStringLiteral("Copia"), this);
    copyButton->setObjectName(QStringLiteral("Command1"));
    auto* closeButton = new QPushButton(QStringLiteral("Chiude"), this);
    closeButton->setObjectName(QStringLiteral("Command2"));
    right->addWidget(copyButton);
    right->addWidget(closeButton);
    layout->addLayout(right);
    connect(copyButton, &QPushButton::clicked, this, &TransferWindow::copySelected);
    connect(closeButton, &QPushButton::clicked, this, &TransferWindow::close);

    // Both sides open on the process's current volume and folder.
    int current = int(volumeHolding(m_volumes, QDir::currentPath()));
    if (current < 0 && !m_volumes.isEmpty())
        current = 0;
    for (Side side : { Side::Source, Side::Destination }) {
        setDriveQuietly(side, current);
        driveChanged(side, current);
    }

    adjustSize();
    forms::centreOnScreen(this);
}

TransferWindow::~TransferWindow() = default;

QWidget* TransferWindow::buildSide(Side side, const QString& title, int index)
{
    Panel& p = panel(side);
    auto* frame = new QGroupBox(title, this);
    frame->setObjectName(QStringLiteral("Frame%1").arg(index));
    auto* layout = new QHBoxLayout(frame);

    auto* left = new QVBoxLayout;
    p.drives = new QComboBox(frame);
    p.drives->setObjectName(QStringLiteral("Drive%1").arg(index));
    for (const Volume& volume : m_volumes)
        p.drives->addItem(volume.label, volume.root);
    left->addWidget(p.drives);
    p.folders = new QTreeWidget(frame);
    p.folders->setObjectName(QStringLiteral("Dir%1").arg(index));
    p.folders->setHeaderHidden(true);
    p.folders->setRootIsDecorated(false);
    p.folders->setItemsExpandable(false);
    p.folders->setIndentation(12);
    // A way down to the folder, not a tree to fold: no branch marks.
    p.folders->setStyleSheet(
        QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    p.folders->setMinimumSize(220, 150);
    left->addWidget(p.folders, 1);
    layout->addLayout(left, 3);

    auto* right = new QVBoxLayout;
    auto* heading = new QLabel(QStringLiteral("Contenuto"), frame);
    heading->setObjectName(forms::indexed("Label1", index - 1));
    right->addWidget(heading);
    p.files = new QListWidget(frame);
    p.files->setObjectName(QStringLiteral("File%1").arg(index));
    p.files->setMinimumWidth(170);
    p.files->setUniformItemSizes(true);
    heading->setBuddy(p.files);
    right->addWidget(p.files, 1);
    layout->addLayout(right, 2);

    connect(p.drives, &QComboBox::currentIndexChanged, this,
        [this, side](int i) { driveChanged(side, i); });
    connect(p.folders, &QTreeWidget::itemActivated, this,
        [this, side](QTreeWidgetItem* item) { folderActivated(side, item); });
    return frame;
}

int TransferWindow::volumeIndex(Side side) const { return panel(side).volume; }

QString TransferWindow::folder(Side side) const { return panel(side).folder; }

void TransferWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

int TransferWindow::fallbackVolume(Side side) const
{
    if (side == Side::Destination && m_source.volume >= 0)
        return m_source.volume;
    // The volume the program's own files live on, as c:\ was.
    const auto holding = volumeHolding(m_volumes, m_services.folder.root());
    return holding >= 0 ? int(holding) : 0;
}

void TransferWindow::setDriveQuietly(Side side, int index)
{
    const QSignalBlocker blocker(panel(side).drives);
    panel(side).drives->setCurrentIndex(index);
}

void TransferWindow::driveChanged(Side side, int index)
{
    while (index >= 0 && index < m_volumes.size()) {
        if (showVolume(side, index))
            return;
        if (m_services.messages.request(this, QStringLiteral("Informazione."),
                QStringLiteral("Inserire il disco nell'unità.")))
            continue;
        const int fallback = fallbackVolume(side);
        // Cancelled on the fallback itself: nothing else to try.
        if (fallback == index)
            break;
        index = fallback;
        setDriveQuietly(side, index);
    }
    // The lists still show the volume they showed before; so does the drive list.
    setDriveQuietly(side, panel(side).volume);
}

bool TransferWindow::showVolume(Side side, int index)
{
    const QString& root = m_volumes[index].root;
    if (!m_volumeService.isReady(root))
        return false;
    // A volume opens on the current folder when it holds it, as a drive does.
    const QString current = QDir::currentPath();
    const QString start = volumeHolding(m_volumes, current) == index ? current : root;
    return showFolder(side, index, start) || (start != root && showFolder(side, index, root));
}

bool TransferWindow::showFolder(Side side, int volume, const QString& folder)
{
    const QFileInfo info(folder);
    const QDir dir(folder);
    if (volume < 0 || !info.isDir() || !dir.isReadable())
        return false;
    const QString root = m_volumes[volume].root;
    if (!isOnVolume(root, folder))
        return false;
    Panel& p = panel(side);

    p.folders->clear();
    const QStyle* style = this->style();
    const QIcon open = style->standardIcon(QStyle::SP_DirOpenIcon);
    auto* item = new QTreeWidgetItem(p.folders, { QDir::toNativeSeparators(root) });
    item->setIcon(0, open);
    item->setData(0, kPathRole, root);
    // The folders from the volume's root down to this one, then its subfolders.
    QString path = root;
    const QString relative = QDir(root).relativeFilePath(folder);
    for (const QString& part : relative.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u'.')
            continue;
        path = composePath(path, part);
        item = new QTreeWidgetItem(item, { part });
        item->setIcon(0, open);
        item->setData(0, kPathRole, path);
    }
    QTreeWidgetItem* current = item;
    const QIcon closed = style->standardIcon(QStyle::SP_DirIcon);
    for (const QString& name :
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* child = new QTreeWidgetItem(current, { name });
        child->setIcon(0, closed);
        child->setData(0, kPathRole, composePath(path, name));
    }
    p.folders->expandAll();
    p.folders->setCurrentItem(current);
    p.folders->scrollToItem(current);

    p.volume = volume;
    p.folder = path;
    fillFiles(side);
    return true;
}

void TransferWindow::fillFiles(Side side)
{
    Panel& p = panel(side);
    p.files->clear();
    if (!p.folder.isEmpty())
        p.files->addItems(
            QDir(p.folder).entryList(kColumnFiles, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void TransferWindow::folderActivated(Side side, QTreeWidgetItem* item)
{
    Panel& p = panel(side);
    const QString chosen = item->data(0, kPathRole).toString();
    if (showFolder(side, p.volume, chosen))
        return;
    m_services.messages.information(this, kTitle,
        QStringLiteral("Impossibile aprire la cartella %1: non esiste più o non si può leggere.")
            .arg(QDir::toNativeSeparators(chosen)));
    showFolder(side, p.volume, p.folder);
}

void TransferWindow::copySelected()
{
    const QList<QListWidgetItem*> selected = m_source.files->selectedItems();
    const QString name = selected.isEmpty() ? QString() : selected.constFirst()->text();
    const auto result = copyPair(m_source.folder, m_destination.folder, name);
    fillFiles(Side::Destination);
    if (!result)
        m_services.messages.information(this, kTitle, result.error().message());
}

} // namespace ottavario
