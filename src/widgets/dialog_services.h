#pragma once

#include <QString>

class QWidget;

namespace ottavario {

// Message boxes: Italian text, the information icon and an OK button; a
// question has the buttons Sì and No instead, a request OK and Annulla and
// no icon.
class MessageService {
public:
    virtual ~MessageService() = default;
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    // True for Sì.
    virtual bool question(QWidget* parent, const QString& title, const QString& text) = 0;
    // True for OK: the user did what was asked ("Inserire il disco nell'unità.").
    virtual bool request(QWidget* parent, const QString& title, const QString& text) = 0;
};

struct FileDialogRequest {
    QString folder; // where the dialog starts
    QString fileName; // preset name, may be empty
    QString filter; // "File Ottavario* (*.stt)"
    QString defaultSuffix; // "stt"
    // The save dialog asks before an existing file is chosen; false where the
    // caller asks itself.
    bool confirmReplace = true;
};

// What the windows that read a saved system by its description ask for.
inline FileDialogRequest descriptionFileRequest(const QString& systemsFolder)
{
    return { systemsFolder, QStringLiteral("*.stt"),
        QStringLiteral("File sistemi ottavario* (*.stt)"), QStringLiteral("stt") };
}

// The platform's file dialogs; an empty result means the user cancelled.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    virtual QString openFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString saveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The real dialogs of the platform.
class QtMessageService final : public MessageService {
public:
    void information(QWidget* parent, const QString& title, const QString& text) override;
    bool question(QWidget* parent, const QString& title, const QString& text) override;
    bool request(QWidget* parent, const QString& title, const QString& text) override;
};

class QtFileDialogService final : public FileDialogService {
public:
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const FileDialogRequest& request) override;
};

} // namespace ottavario
