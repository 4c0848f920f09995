#include "page_ink.h"
#include "pdf_pages.h"
#include "print/document_renderer.h"
#include "print/print_service.h"
#include "print/slip_document.h"
#include "support/recording_services.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace ottavario;
using namespace ottavario::print;
using namespace ottavario::testing;

namespace {

int pageCount(const QString& path) { return testing::pdfPageCount(path); }

// Where pdftotext finds a word, in points from the paper's corner.
QPointF wordPosition(const QString& path, int page, const QString& word)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        return { -1, -1 };
    QProcess process;
    process.start(pdftotext,
        { QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
            QStringLiteral("-l"), QString::number(page), path, QStringLiteral("-") });
    process.waitForFinished();
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    const auto match = QRegularExpression(
        QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>%1<").arg(word))
                           .match(html);
    return match.hasMatch() ? QPointF(match.captured(1).toDouble(), match.captured(2).toDouble())
                            : QPointF(-1, -1);
}

PrintDocument threePages()
{
    PrintDocument document = testPrintDocument({ 120, 45 }, true);
    PrintPage text;
    text.addText({ 0, 0 }, QStringLiteral("Alto"), slipTextFont(8));
    document.pages.append(text);
    PrintPage info;
    info.addText({ 2000, 1500 }, QStringLiteral("Sistema   prova"), slipTextFont(26));
    document.pages.append(info);
    return document;
}

bool markFontInstalled()
{
    QFont font(markFont().family);
    return QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0;
}

}

class TestDocumentRenderer : public QObject {
    Q_OBJECT

private slots:
    void aDocumentBecomesAPdfWithItsPages()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("stampa.pdf"));
        QVERIFY(renderToPdfFile(path, threePages()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QCOMPARE(pageCount(path), 3);
    }

    void textsStandWhereTheyArePut()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("stampa.pdf"));
        QVERIFY(renderToPdfFile(path, threePages()));
        // 20 twips a point, plus the 10 point margin.
        const QPointF top = wordPosition(path, 2, QStringLiteral("Alto"));
        QVERIFY2(qAbs(top.x() - 10) < 0.6 && qAbs(top.y() - 10) < 0.6,
            qPrintable(QString::number(top.y())));
        const QPointF info = wordPosition(path, 3, QStringLiteral("Sistema"));
        QVERIFY2(qAbs(info.x() - 110) < 0.6 && qAbs(info.y() - 85) < 0.6,
            qPrintable(QStringLiteral("%1 %2").arg(info.x()).arg(info.y())));
    }

    void aDocumentWithoutPagesMakesNoFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vuoto.pdf"));
        const auto written = renderToPdfFile(path, PrintDocument {});
        QVERIFY(!written);
        QCOMPARE(written.error().path, path);
        QVERIFY(!QFile::exists(path));
    }

    void aFailedWriteSaysWhyAndLeavesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("manca/stampa.pdf"));
        const auto written = renderToPdfFile(path, threePages());
        QVERIFY(!written);
        QVERIFY(written.error().reason.contains(dir.filePath(QStringLiteral("manca"))));
        QVERIFY(!QFile::exists(path));
    }

    void theMarkIsDrawnInItsCell()
    {
        if (markFontInstalled())
            QSKIP("the mark font is installed: its own glyph is printed");
        PrintPage page;
        page.addMark({ 450, 1200 });
        const QRect ink = inkOf(page, QSize(600, 600));
        const QRectF expected = handDrawnMark().translated(450, 1200);
        QVERIFY2(qAbs(ink.left() - expected.left() / 10) <= 1
                && qAbs(ink.top() - expected.top() / 10) <= 1
                && qAbs(ink.width() - expected.width() / 10) <= 1
                && qAbs(ink.height() - expected.height() / 10) <= 1,
            qPrintable(QStringLiteral("%1,%2 %3x%4")
                           .arg(ink.left())
                           .arg(ink.top())
                           .arg(ink.width())
                           .arg(ink.height())));
        // Inside the 9 point line box, within the cell before the next one.
        QVERIFY(handDrawnMark().bottom() <= 180);
        QVERIFY(handDrawnMark().right() < 260);
    }

    void aTextHangsFromItsPosition()
    {
        PrintPage page;
        page.addText({ 1000, 1000 }, QStringLiteral("HP"), slipTextFont(26));
        const QRect ink = inkOf(page, QSize(600, 600));
        // The line box starts at the position: the capitals begin a little below it.
        QVERIFY2(ink.top() >= 100 && ink.top() < 100 + 26 * 2 / 2,
            qPrintable(QString::number(ink.top())));
        QVERIFY2(ink.left() >= 100 && ink.left() <= 106, qPrintable(QString::number(ink.left())));
    }

    void picturesAreDrawnByName()
    {
        QImage logo(10, 4, QImage::Format_RGB32);
        logo.fill(Qt::black);
        PrintPage page;
        page.addPicture({ 500, 600 }, QStringLiteral("logo"));
        page.addPicture({ 3000, 3000 }, QStringLiteral("unknown"));
        QImage image(600, 600, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.scale(0.1, 0.1);
            paintPage(painter, page, { { QStringLiteral("logo"), logo } });
        }
        // 15 twips a pixel of the picture.
        QCOMPARE(qGray(image.pixel(51, 61)), 0);
        QCOMPARE(qGray(image.pixel(50 + 14, 60 + 5)), 0);
        QCOMPARE(qGray(image.pixel(50 + 16, 60 + 7)), 255);
        QCOMPARE(qGray(image.pixel(305, 305)), 255);
    }

    void withoutAPrinterThePagesGoToAPdfFile()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed; this machine would print for real");
        QTemporaryDir home;
        qputenv("OTTAVARIO_HOME", home.path().toLocal8Bit());
        testing::RecordingMessageService messages;
        testing::ScriptedFileDialogs dialogs;
        QtPrintService service(messages, dialogs);
        QVERIFY(service.hasNoPrinter());

        const QString path = home.filePath(QStringLiteral("taratura.pdf"));
        dialogs.answers = QStringList { path };
        const PrintOutcome outcome = service.print(nullptr, threePages());
        QCOMPARE(outcome.status, PrintStatus::Printed);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.lastText(),
            QStringLiteral(
                "Nessuna stampante è installata: le pagine saranno salvate in un file PDF."));
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(dialogs.requests[0].folder, home.path());
        QCOMPARE(dialogs.requests[0].fileName, QStringLiteral("Prova di taratura.pdf"));
        QCOMPARE(dialogs.requests[0].filter, QStringLiteral("File PDF (*.pdf)"));
        QCOMPARE(pageCount(path), 3);

        // Cancelling the file's name prints nothing and is no failure.
        QVERIFY(QFile::remove(path));
        const PrintOutcome cancelled = service.print(nullptr, threePages());
        QCOMPARE(cancelled.status, PrintStatus::Cancelled);
        QVERIFY(!QFile::exists(path));

        // A file that cannot be written is a failure with its reason.
        dialogs.answers = QStringList { home.filePath(QStringLiteral("manca/x.pdf")) };
        const PrintOutcome failed = service.print(nullptr, threePages());
        QCOMPARE(failed.status, PrintStatus::Failed);
        QVERIFY(failed.reason.startsWith(QStringLiteral("Impossibile scrivere il file ")));

        // Nothing to print asks nothing.
        messages.shown.clear();
        dialogs.requests.clear();
        QCOMPARE(service.print(nullptr, PrintDocument {}).status, PrintStatus::Printed);
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(dialogs.requests.isEmpty());
        qunsetenv("OTTAVARIO_HOME");
    }

    // "Stampa su file (PDF)" chosen in the set-up names a file: every later
    // print would overwrite it without a word. Each asks for its own file.
    void aFileChosenInTheSetUpIsAskedForAtEveryPrint()
    {
        QTemporaryDir home;
        qputenv("OTTAVARIO_HOME", home.path().toLocal8Bit());
        testing::RecordingMessageService messages;
        testing::ScriptedFileDialogs dialogs;
        QtPrintService service(messages, dialogs);
        const QString setUp = home.filePath(QStringLiteral("impostata.pdf"));
        service.printer().setOutputFileName(setUp);
        QVERIFY(service.printsToFile());

        const QString first = home.filePath(QStringLiteral("schede.pdf"));
        dialogs.answers = QStringList { first };
        const PrintOutcome outcome = service.print(nullptr, threePages());
        QVERIFY(outcome.printed());
        QCOMPARE(outcome.file, first);
        QCOMPARE(outcome.pages, 3);
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(dialogs.requests[0].folder, home.path());
        QCOMPARE(dialogs.requests[0].fileName, QStringLiteral("Prova di taratura.pdf"));
        QVERIFY(!dialogs.requests[0].confirmReplace); // asked below, in the program's words
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(messages.asked.isEmpty());
        QCOMPARE(pageCount(first), 3);
        QVERIFY(!QFile::exists(setUp));
        qunsetenv("OTTAVARIO_HOME");
    }

    // The preview's own print button prints through the same asking.
    void printingFromThePreviewAsksForTheFile()
    {
        QTemporaryDir home;
        qputenv("OTTAVARIO_HOME", home.path().toLocal8Bit());
        testing::RecordingMessageService messages;
        testing::ScriptedFileDialogs dialogs;
        QtPrintService service(messages, dialogs);
        service.printer().setOutputFileName(home.filePath(QStringLiteral("impostata.pdf")));
        const QString chosen = home.filePath(QStringLiteral("anteprima.pdf"));
        dialogs.answers = QStringList { chosen };
        bool printTriggered = false;
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!preview)
                return;
            const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
            for (QAction* action : preview->findChildren<QAction*>()) {
                if (action->text() != print)
                    continue;
                // The platform's print dialog comes first: accept it as it is.
                QTimer::singleShot(0, [] {
                    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                        dialog->accept();
                });
                printTriggered = true;
                action->trigger();
                return;
            }
            preview->reject();
        });
        const PrintOutcome outcome
            = service.preview(nullptr, [](const QPageLayout&) { return threePages(); });
        QVERIFY(printTriggered);
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(outcome.file, chosen);
        QCOMPARE(pageCount(chosen), 3);
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("impostata.pdf"))));
        qunsetenv("OTTAVARIO_HOME");
    }

    void aNameWithFoldersMakesAPlainFileName()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed; this machine would print for real");
        testing::RecordingMessageService messages;
        testing::ScriptedFileDialogs dialogs;
        QtPrintService service(messages, dialogs);
        PrintDocument document = threePages();
        document.name = QStringLiteral("vecchi/prova");
        QCOMPARE(service.print(nullptr, document).status, PrintStatus::Cancelled);
        QCOMPARE(dialogs.requests[0].fileName, QStringLiteral("vecchi_prova.pdf"));
    }

    // The platform's preview lays the pages out on the printer's page and
    // shows every one of them; nothing reaches the printer.
    void thePreviewShowsEveryPage()
    {
        testing::RecordingMessageService messages;
        testing::ScriptedFileDialogs dialogs;
        QtPrintService service(messages, dialogs);
        int shown = -1;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) {
                preview->updatePreview();
                shown = preview->pageCount();
            }
            dialog->reject();
        });
        QList<QPageLayout> asked;
        service.preview(nullptr, [&asked](const QPageLayout& page) {
            asked << page;
            return threePages();
        });
        QCOMPARE(shown, 3);
        QVERIFY(!asked.isEmpty());
        QCOMPARE(asked.last().pageSize(), service.pageLayout().pageSize());
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(dialogs.requests.isEmpty());
    }
};

QTEST_MAIN(TestDocumentRenderer)
#include "test_document_renderer.moc"
