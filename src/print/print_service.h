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

    bool printed() const { return status == PrintStatus::Printed; }
};

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
    // preview, from which they can also be printed.
    virtual void preview(QWidget* parent, const PageSource& pages) = 0;
    // The page the next print goes on, for documents whose lines run from
    // page to page; A4 unless the printer says otherwise.
    virtual QPageLayout pageLayout() const;
};

// The system's printer through Qt. Where no printer is installed, Qt can
// only write PDF: the pages are then offered as a PDF file, after telling
// the user why a file is asked for.
class QtPrintService final : public PrintService {
public:
    QtPrintService(MessageService& messages, FileDialogService& dialogs);
    ~QtPrintService() override;

    PrintOutcome print(QWidget* parent, const PrintDocument& document) override;
    void setup(QWidget* parent) override;
    void preview(QWidget* parent, const PageSource& pages) override;
    QPageLayout pageLayout() const override;

    QPrinter& printer() { return *m_printer; }
    // No printer to print on: Qt's PDF output without a file name.
    bool hasNoPrinter() const;

private:
    PrintOutcome printToFile(QWidget* parent, const PrintDocument& document);

    MessageService& m_messages;
    FileDialogService& m_dialogs;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace ottavario::print
