#include "print_commands.h"

#include "core/file_error.h"
#include "print/document_renderer.h"
#include "print/print_job.h"
#include "print/printer_module.h"
#include "systems/pair_commit.h"
#include "systems/system_files.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLibrary>

#include <expected>
#include <optional>

namespace ottavario::print {

namespace {
    constexpr int kDone = 0;
    constexpr int kUsage = 1;
    constexpr int kFailed = 2;

    // What one command line asked for; a valued option absent is a null text.
    struct Arguments {
        QString file;
        QHash<QString, QString> values;
        QStringList switches;

        bool has(const QString& name) const { return switches.contains(name); }
        QString value(const QString& name) const { return values.value(name); }
    };

    // Options past those of the command, a repeated option or a missing value
    // are usage errors.
    std::optional<Arguments> parse(const QStringList& args, bool wantsFile,
        const QStringList& valued, const QStringList& switches)
    {
        Arguments parsed;
        for (qsizetype i = 0; i < args.size(); ++i) {
            const QString& arg = args[i];
            if (valued.contains(arg) && i + 1 < args.size() && !parsed.values.contains(arg))
                parsed.values.insert(arg, args[++i]);
            else if (switches.contains(arg) && !parsed.switches.contains(arg))
                parsed.switches << arg;
            else if (wantsFile && parsed.file.isEmpty() && !arg.startsWith(u'-') && !arg.isEmpty())
                parsed.file = arg;
            else
                return std::nullopt;
        }
        if (wantsFile && parsed.file.isEmpty())
            return std::nullopt;
        return parsed;
    }

    struct PrintSettings {
        Calibration calibration;
        QString columnPrice;
    };

    std::expected<PrintSettings, QString> readPrintSettings(const QString& path)
    {
        const auto settings = ottavario::readSettings(path);
        if (!settings)
            return std::unexpected(settings.error().message(QStringLiteral("leggere")));
        return PrintSettings { calibrationOf(*settings), settings->lirePrice };
    }

    const QString kPrinterModule = QStringLiteral(OTTAVARIO_PRINTER_MODULE);

    // Beside the program in the build tree, in the library folder once
    // installed; null when it is in neither or does not load.
    PrintOnDefaultPrinter printerModule()
    {
        const QDir programFolder(QCoreApplication::applicationDirPath());
        for (const QString& folder : { programFolder.path(),
                 programFolder.filePath(QStringLiteral(OTTAVARIO_PRINTER_MODULE_DIR)) }) {
            QLibrary module(QDir(folder).filePath(kPrinterModule));
            // Never unloaded: the printer's code stays until the program ends.
            if (const auto entry
                = reinterpret_cast<PrintOnDefaultPrinter>(module.resolve(kPrintOnDefaultPrinter)))
                return entry;
        }
        return nullptr;
    }

    // A PDF file whole on A4, or the default printer on its own paper.
    int deliver(const PageSource& pages, const QString& pdf, QTextStream& out, QTextStream& err)
    {
        if (!pdf.isNull()) {
            const QPageLayout a4 = defaultPageLayout();
            const PrintDocument document = pages(a4);
            if (const auto written = renderToPdfFile(pdf, document, a4); !written) {
                err << written.error().message(QStringLiteral("scrivere")) << '\n';
                return kFailed;
            }
            out << "pages " << document.pages.size() << '\n';
            return kDone;
        }
        const PrintOnDefaultPrinter printOnDefaultPrinter = printerModule();
        if (!printOnDefaultPrinter) {
            err << "la stampa su stampante non è disponibile (manca " << kPrinterModule
                << "): indicare --pdf FILE.pdf\n";
            return kFailed;
        }
        PrintDocument document;
        const PrinterJob job {
            [&](const QPageLayout& layout) {
                document = pages(layout);
                return document.name;
            },
            [&](QPagedPaintDevice& printer) { return renderDocument(printer, document); },
        };
        PrinterResult printed;
        printOnDefaultPrinter(job, printed);
        if (printed.outcome == PrinterOutcome::NoPrinter) {
            err << "nessuna stampante predefinita: installarne una, oppure indicare --pdf "
                   "FILE.pdf\n";
            return kFailed;
        }
        if (printed.outcome == PrinterOutcome::Refused) {
            err << "la stampante " << printed.printerName
                << " non ha accettato la stampa: controllare che sia accesa e pronta\n";
            return kFailed;
        }
        out << "pages " << document.pages.size() << " printer " << printed.printerName << '\n';
        return kDone;
    }

    // The system name is cut from the path by the length of the systems
    // folder; a file given here may lie anywhere, so its own folder stands
    // in for it and the name is the file's.
    int slips(
        const Arguments& args, const PrintSettings& settings, QTextStream& out, QTextStream& err)
    {
        const QString path = QFileInfo(columnFilePath(args.file)).absoluteFilePath();
        if (const auto settled = settlePair(path); !settled) {
            err << settled.error().message(QStringLiteral("leggere")) << '\n';
            return kFailed;
        }
        const auto columns = columnsInFile(path);
        if (!columns) {
            err << columns.error().message(QStringLiteral("leggere")) << '\n';
            return kFailed;
        }
        const QString from = args.value(QStringLiteral("--from"));
        const QString to = args.value(QStringLiteral("--to"));
        PrintJobRequest request;
        request.kind = PrintJobKind::Slips;
        request.systemPath = path;
        request.systemsFolder = QFileInfo(path).absolutePath();
        request.columnPrice = settings.columnPrice;
        request.calibration = settings.calibration;
        request.firstSlip = from.isNull() ? QStringLiteral("1") : from;
        request.lastSlip = to.isNull() ? QString::number(slipCountOf(*columns)) : to;
        request.nameLine = !args.has(QStringLiteral("--no-name"));
        request.informationSlip = !args.has(QStringLiteral("--no-info"));
        const auto pages = buildPrintJob(request);
        if (!pages) {
            err << args.file << ": " << pages.error().text << '\n';
            return kFailed;
        }
        return deliver(*pages, args.value(QStringLiteral("--pdf")), out, err);
    }

    int testPrint(
        const Arguments& args, const PrintSettings& settings, QTextStream& out, QTextStream& err)
    {
        PrintJobRequest request;
        request.calibration = settings.calibration;
        request.firstColumnOnly = args.has(QStringLiteral("--first-column-only"));
        // Made of the calibration alone: nothing can refuse it.
        const auto pages = buildPrintJob(request);
        return deliver(*pages, args.value(QStringLiteral("--pdf")), out, err);
    }

    int tabulation(
        const Arguments& args, const PrintSettings& settings, QTextStream& out, QTextStream& err)
    {
        static const QHash<QString, TabulationLayout> layouts = {
            { QStringLiteral("prospetto"), TabulationLayout::Prospectus },
            { QStringLiteral("colonne"), TabulationLayout::Columns },
            { QStringLiteral("entrambi"), TabulationLayout::ProspectusAndColumns },
        };
        const QString chosen = args.value(QStringLiteral("--layout"));
        if (!chosen.isNull() && !layouts.contains(chosen)) {
            err << "tabulato sconosciuto: \"" << chosen
                << "\" (scegliere prospetto, colonne o entrambi)\n";
            return kFailed;
        }
        const QString path = QFileInfo(columnFilePath(args.file)).absoluteFilePath();
        if (const auto settled = settlePair(path); !settled) {
            err << settled.error().message(QStringLiteral("leggere")) << '\n';
            return kFailed;
        }
        PrintJobRequest request;
        request.kind = PrintJobKind::Tabulation;
        request.systemPath = path;
        request.columnPrice = settings.columnPrice;
        request.layout = layouts.value(chosen, TabulationLayout::Prospectus);
        const auto pages = buildPrintJob(request);
        if (!pages) {
            err << pages.error().text << '\n';
            return kFailed;
        }
        return deliver(*pages, args.value(QStringLiteral("--pdf")), out, err);
    }
}

QString printCommandsUsage()
{
    return QStringLiteral(
        "  ottavario-cli print slips FILE.stg [--from F] [--to L] [--no-name] [--no-info] "
        "[--pdf OUT.pdf]\n"
        "  ottavario-cli print test [--first-column-only] [--pdf OUT.pdf]\n"
        "  ottavario-cli print tabulation FILE.stg [--layout prospetto|colonne|entrambi] "
        "[--pdf OUT.pdf]\n");
}

int runPrintCommand(
    const QStringList& arguments, const QString& settingsFile, QTextStream& out, QTextStream& err)
{
    using Command = int (*)(const Arguments&, const PrintSettings&, QTextStream&, QTextStream&);
    struct Syntax {
        bool wantsFile;
        QStringList valued;
        QStringList switches;
        Command run;
    };
    const QString pdf = QStringLiteral("--pdf");
    const QHash<QString, Syntax> commands = {
        { QStringLiteral("slips"),
            { true, { QStringLiteral("--from"), QStringLiteral("--to"), pdf },
                { QStringLiteral("--no-name"), QStringLiteral("--no-info") }, &slips } },
        { QStringLiteral("test"),
            { false, { pdf }, { QStringLiteral("--first-column-only") }, &testPrint } },
        { QStringLiteral("tabulation"),
            { true, { QStringLiteral("--layout"), pdf }, {}, &tabulation } },
    };
    if (arguments.isEmpty() || !commands.contains(arguments.first()))
        return kUsage;
    const Syntax& syntax = commands[arguments.first()];
    const auto args = parse(arguments.mid(1), syntax.wantsFile, syntax.valued, syntax.switches);
    if (!args)
        return kUsage;

    // A slip of the fingers must not overwrite the system with a PDF.
    const QString output = args->value(pdf);
    if (!output.isNull() && !output.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        err << output << ": il nome del file PDF deve finire con .pdf\n";
        return kFailed;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        err << "la stampa richiede un'applicazione grafica\n";
        return kFailed;
    }
    const auto settings = readPrintSettings(settingsFile);
    if (!settings) {
        err << settings.error() << '\n';
        return kFailed;
    }
    return syntax.run(*args, *settings, out, err);
}

} // namespace ottavario::print
