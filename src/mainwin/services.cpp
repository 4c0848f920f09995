#include "services.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace ottavario {

void QtMessageService::information(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtMessageService::question(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

namespace {
    QString runDialog(
        QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(
            mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setDirectory(request.folder);
        if (!request.filter.isEmpty())
            dialog.setNameFilter(request.filter);
        if (!request.defaultSuffix.isEmpty())
            dialog.setDefaultSuffix(request.defaultSuffix);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmReplace);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    }
}

QString QtFileDialogService::openFileName(QWidget* parent, const FileDialogRequest& request)
{
    return runDialog(parent, request, QFileDialog::AcceptOpen);
}

QString QtFileDialogService::saveFileName(QWidget* parent, const FileDialogRequest& request)
{
    return runDialog(parent, request, QFileDialog::AcceptSave);
}

} // namespace ottavario
