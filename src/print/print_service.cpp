#include "print_service.h"

#include "core/data_folder.h"
#include "mainwin/services.h"
#include "print/document_renderer.h"
#include "print/slip_document.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace ottavario::print {

FileDialogRequest pdfFileRequest(const QString& documentName)
{
    QString fileName = documentName.isEmpty() ? QStringLiteral("stampa") : documentName;
    fileName.replace(u'/', u'_').replace(u'\\', u'_');
    // Replacing a file is asked by the print itself, in the program's words.
    return { dataFolder(), fileName + QStringLiteral(".pdf"), QStringLiteral("File PDF (*.pdf)"),
        QStringLiteral("pdf"), false };
}

QString writtenMessage(const PrintOutcome& outcome)
{
    return QStringLiteral("Le pagine sono nel file %1: %2.")
        .arg(QDir::toNativeSeparators(outcome.file),
            outcome.pages == 1 ? QStringLiteral("1 pagina")
                               : QStringLiteral("%1 pagine").arg(outcome.pages));
}

PrintOutcome printToPdfFile(QWidget* parent, const PrintDocument& document, const QPageLayout& page,
    MessageService& messages, FileDialogService& dialogs)
{
    if (document.pages.isEmpty())
        return {};
    FileDialogRequest request = pdfFileRequest(document.name);
    QString path;
    for (;;) {
        path = dialogs.saveFileName(parent, request);
        if (path.isEmpty())
            return PrintOutcome::cancelled();
        const QFileInfo chosen(path);
        if (!chosen.exists()
            || messages.question(parent, printWindowTitle(),
                QStringLiteral("Il file %1 esiste già. Sostituirlo?")
                    .arg(QDir::toNativeSeparators(path))))
            break;
        request.folder = chosen.absolutePath();
        request.fileName = chosen.fileName();
    }
    if (const auto written = renderToPdfFile(path, document, page); !written)
        return PrintOutcome::failed(written.error().message(QStringLiteral("scrivere")));
    return PrintOutcome::toFile(path, document.pages.size());
}

QtPrintService::QtPrintService(MessageService& messages, FileDialogService& dialogs)
    : m_messages(messages)
    , m_dialogs(dialogs)
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
}

QtPrintService::~QtPrintService() = default;

bool QtPrintService::hasNoPrinter() const
{
    return m_printer->outputFormat() == QPrinter::PdfFormat
        && m_printer->outputFileName().isEmpty();
}

bool QtPrintService::printsToFile() const
{
    return m_printer->outputFormat() == QPrinter::PdfFormat
        || !m_printer->outputFileName().isEmpty();
}

PrintOutcome QtPrintService::print(QWidget* parent, const PrintDocument& document)
{
    if (document.pages.isEmpty())
        return {};
    if (printsToFile()) {
        if (hasNoPrinter())
            m_messages.information(parent, printWindowTitle(),
                QStringLiteral(
                    "Nessuna stampante è installata: le pagine saranno salvate in un file PDF."));
        return printToPdfFile(parent, document, m_printer->pageLayout(), m_messages, m_dialogs);
    }
    m_printer->setDocName(document.name);
    if (!renderDocument(*m_printer, document))
        return PrintOutcome::failed(
            QStringLiteral("La stampante non ha accettato la stampa: controllare che sia "
                           "accesa e pronta."));
    return {};
}

QPageLayout PrintService::pageLayout() const { return defaultPageLayout(); }

QPageLayout QtPrintService::pageLayout() const { return m_printer->pageLayout(); }

PrintOutcome QtPrintService::preview(QWidget* parent, const PageSource& pages)
{
    QPrintPreviewDialog dialog(m_printer.get(), parent);
    // Asked again whenever the preview changes the paper.
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&pages](QPrinter* printer) {
            const PrintDocument document = pages(printer->pageLayout());
            printer->setDocName(document.name);
            renderDocument(*printer, document);
        });
    // The preview's own print button would print to the file of the printer
    // set-up without a word: it goes through print() like every other print.
    PrintOutcome outcome = PrintOutcome::cancelled();
    const QString printText = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction* action : dialog.findChildren<QAction*>()) {
        if (action->text() != printText)
            continue;
        action->disconnect(&dialog);
        QObject::connect(action, &QAction::triggered, &dialog, [&] {
            QPrintDialog printDialog(m_printer.get(), &dialog);
            if (printDialog.exec() != QDialog::Accepted)
                return;
            outcome = print(&dialog, pages(m_printer->pageLayout()));
            if (outcome.status != PrintStatus::Cancelled)
                dialog.accept();
        });
    }
    dialog.exec();
    return outcome;
}

void QtPrintService::setup(QWidget* parent)
{
    QPrintDialog dialog(m_printer.get(), parent);
    dialog.exec();
}

} // namespace ottavario::print
