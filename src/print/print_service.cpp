#include "print_service.h"

#include "core/data_folder.h"
#include "mainwin/services.h"
#include "print/document_renderer.h"
#include "print/slip_document.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace ottavario::print {

FileDialogRequest pdfFileRequest(const QString& documentName)
{
    QString fileName = documentName.isEmpty() ? QStringLiteral("stampa") : documentName;
    fileName.replace(u'/', u'_').replace(u'\\', u'_');
    return { dataFolder(), fileName + QStringLiteral(".pdf"), QStringLiteral("File PDF (*.pdf)"),
        QStringLiteral("pdf") };
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

PrintOutcome QtPrintService::print(QWidget* parent, const PrintDocument& document)
{
    if (document.pages.isEmpty())
        return {};
    if (hasNoPrinter())
        return printToFile(parent, document);
    m_printer->setDocName(document.name);
    if (!renderDocument(*m_printer, document))
        return { PrintStatus::Failed,
            QStringLiteral("La stampante non ha accettato la stampa: controllare che sia "
                           "accesa e pronta.") };
    return {};
}

PrintOutcome QtPrintService::printToFile(QWidget* parent, const PrintDocument& document)
{
    m_messages.information(parent, printWindowTitle(),
        QStringLiteral(
            "Nessuna stampante è installata: le pagine saranno salvate in un file PDF."));
    const QString path = m_dialogs.saveFileName(parent, pdfFileRequest(document.name));
    if (path.isEmpty())
        return { PrintStatus::Cancelled, {} };
    const auto written = renderToPdfFile(path, document, m_printer->pageLayout());
    if (!written)
        return { PrintStatus::Failed, written.error().message(QStringLiteral("scrivere")) };
    return {};
}

QPageLayout PrintService::pageLayout() const { return defaultPageLayout(); }

QPageLayout QtPrintService::pageLayout() const { return m_printer->pageLayout(); }

void QtPrintService::preview(QWidget* parent, const PageSource& pages)
{
    QPrintPreviewDialog dialog(m_printer.get(), parent);
    // Asked again whenever the preview changes the paper or prints.
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&pages](QPrinter* printer) {
            const PrintDocument document = pages(printer->pageLayout());
            printer->setDocName(document.name);
            renderDocument(*printer, document);
        });
    dialog.exec();
}

void QtPrintService::setup(QWidget* parent)
{
    QPrintDialog dialog(m_printer.get(), parent);
    dialog.exec();
}

} // namespace ottavario::print
