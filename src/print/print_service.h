#pragma once

#include "print/print_document.h"

#include <QPageLayout>
#include <QString>

#include <functional>
#include <memory>
#include <utility>

class QPrinter;
class QWidget;

namespace ottavario {

class MessageService;
class FileDialogService;
struct FileDialogRequest;

} // namespace ottavario

namespace ottavario::print {

enum class PrintStatus {
    Printed,
    Cancelled, // the user gave up, e.g. on the PDF file's name
    Failed,
};

struct PrintOutcome {
    PrintStatus status = PrintStatus::Printed;
    QString reason; // a sentence for the user when the print failed
    QString file; // the PDF file the pages went to; empty for a printer
    qsizetype pages = 0; // written to that file

    bool printed() const { return status == PrintStatus::Printed; }

    static PrintOutcome cancelled() { return withStatus(PrintStatus::Cancelled, {}); }
    static PrintOutcome failed(QString reason)
    {
        return withStatus(PrintStatus::Failed, std::move(reason));
    }
    static PrintOutcome toFile(QString file, qsizetype pages)
    {
        PrintOutcome outcome;
        outcome.file = std::move(file);
        outcome.pages = pages;
        return outcome;
    }

private:
    static PrintOutcome withStatus(PrintStatus status, QString reason)
    {
        PrintOutcome outcome;
        outcome.status = status;
        outcome.reason = std::move(reason);
        return outcome;
    }
};

// What the user is told once a PDF file is written: where, and how many pages.
QString writtenMessage(const PrintOutcome& outcome);

// The pages of a print laid out on the page they will go on: a preview may
// change the paper, and lines that run from page to page must follow it.
// Documents of fixed positions ignore the page.
using PageSource = std::function<PrintDocument(const QPageLayout&)>;

// The same pages on any paper.
inline PageSource fixedPages(PrintDocument document)
{
    return [document = std::move(document)](const QPageLayout&) { return document; };
}

// The save dialog of a PDF file named after the document, in the data folder.
FileDialogRequest pdfFileRequest(const QString& documentName);

// Every print that goes to a file: asks for the file, offering the document's
// name, asks before replacing one that exists (No asks for the file again),
// then writes the pages whole or not at all.
PrintOutcome printToPdfFile(QWidget* parent, const PrintDocument& document, const QPageLayout& page,
    MessageService& messages, FileDialogService& dialogs);

// The program's one printer.
class PrintService {
public:
    virtual ~PrintService() = default;
    // Hands the pages to the printer; a document without pages prints nothing.
    virtual PrintOutcome print(QWidget* parent, const PrintDocument& document) = 0;
    // The platform's printer set-up; what is chosen there serves every
    // later print. A cancelled dialog changes nothing.
    virtual void setup(QWidget* parent) = 0;
    // The pages as the printer would print them, in the platform's print
    // preview, from which they can also be printed: what that print came to,
    // Cancelled when the preview was closed without printing.
    virtual PrintOutcome preview(QWidget* parent, const PageSource& pages) = 0;
    // The page the next print goes on, for documents whose lines run from
    // page to page; A4 unless the printer says otherwise.
    virtual QPageLayout pageLayout() const;
};

// The system's printer through Qt. A print that goes to a file, because no
// printer is installed (after telling the user why a file is asked for) or
// because printing to a file was chosen in the set-up or from the preview,
// asks for its file every time: the file named in the set-up would be
// overwritten by every later print.
class QtPrintService final : public PrintService {
public:
    QtPrintService(MessageService& messages, FileDialogService& dialogs);
    ~QtPrintService() override;

    PrintOutcome print(QWidget* parent, const PrintDocument& document) override;
    void setup(QWidget* parent) override;
    PrintOutcome preview(QWidget* parent, const PageSource& pages) override;
    QPageLayout pageLayout() const override;

    QPrinter& printer() { return *m_printer; }
    // No printer to print on: Qt's PDF output without a file name.
    bool hasNoPrinter() const;
    // The pages would go to a file rather than to a printer.
    bool printsToFile() const;

private:
    MessageService& m_messages;
    FileDialogService& m_dialogs;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace ottavario::print
