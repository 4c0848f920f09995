#pragma once

#include "mainwin/services.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace ottavario::testing {

// Records every message instead of showing it.
class RecordingMessageService final : public MessageService {
public:
    struct Message {
        QString title;
        QString text;
    };
    QList<Message> shown;
    // Runs while the message would be on screen, e.g. to check the focus.
    std::function<void()> onShow;

    void information(QWidget*, const QString& title, const QString& text) override
    {
        shown.append({ title, text });
        if (onShow)
            onShow();
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }

    // Questions asked, answered from `answers` in turn, then with `answer`.
    QList<Message> asked;
    QList<bool> answers;
    bool answer = true;

    bool question(QWidget*, const QString& title, const QString& text) override
    {
        asked.append({ title, text });
        return answers.isEmpty() ? answer : answers.takeFirst();
    }
};

// Answers file dialogs from a queue; an empty answer is a cancel.
class ScriptedFileDialogs final : public FileDialogService {
public:
    QStringList answers;
    QList<FileDialogRequest> requests;

    QString openFileName(QWidget*, const FileDialogRequest& request) override
    {
        return next(request);
    }
    QString saveFileName(QWidget*, const FileDialogRequest& request) override
    {
        return next(request);
    }

private:
    QString next(const FileDialogRequest& request)
    {
        requests.append(request);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

} // namespace ottavario::testing
