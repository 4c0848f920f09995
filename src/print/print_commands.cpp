#include "print_commands.h"

#include "core/data_folder.h"
#include "core/file_error.h"
#include "engine/column_file.h"
#include "print/document_renderer.h"
#include "print/flow_pagination.h"
#include "print/print_service.h"
#include "print/slip_document.h"
#include "print/tabulation_document.h"
#include "settings/settings_file.h"
#include "systems/pair_commit.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QPrinter>
#include <QPrinterInfo>

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

    std::expected<PrintSettings, QString> readSettings()
    {
        const auto values = settings::readAll(settingsPath());
        if (!values)
            return std::unexpected(values.error().message(QStringLiteral("leggere")));
        return PrintSettings { calibrationOf(*values),
            settings::value(*values, settings::LirePrice) };
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
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            err << "nessuna stampante predefinita: installarne una, oppure indicare --pdf "
                   "FILE.pdf\n";
            return kFailed;
        }
        QPrinter printer(info, QPrinter::HighResolution);
        const PrintDocument document = pages(printer.pageLayout());
        printer.setDocName(document.name);
        if (!renderDocument(printer, document)) {
            err << "la stampante " << info.printerName()
                << " non ha accettato la stampa: controllare che sia accesa e pronta\n";
            return kFailed;
        }
        out << "pages " << document.pages.size() << " printer " << info.printerName() << '\n';
        return kDone;
    }

    // The system name is cut from the path by the length of the systems
    // folder; a file given here may lie anywhere, so its own folder stands
    // in for it and the name is the file's.
    int slips(
        const Arguments& args, const PrintSettings& settings, QTextStream& out, QTextStream& err)
    {
        const QString path = QFileInfo(args.file).absoluteFilePath();
        if (const auto settled = settlePair(path); !settled) {
            err << settled.error().message(QStringLiteral("leggere")) << '\n';
            return kFailed;
        }
        const auto bytes = readWholeFile(path);
        if (!bytes) {
            err << bytes.error().message(QStringLiteral("leggere")) << '\n';
            return kFailed;
        }
        const qint64 slipCount = slipCountOf(columnCount(bytes->size()));
        const QString from = args.value(QStringLiteral("--from"));
        const QString to = args.value(QStringLiteral("--to"));
        const SlipRequest request { path, from.isNull() ? QStringLiteral("1") : from,
            to.isNull() ? QString::number(slipCount) : to, !args.has(QStringLiteral("--no-name")),
            !args.has(QStringLiteral("--no-info")), settings.columnPrice, settings.calibration };
        auto document = layOutSlips(request, *bytes, QFileInfo(path).absolutePath());
        if (!document) {
            err << args.file << ": " << document.error().text << '\n';
            return kFailed;
        }
        return deliver(
            fixedPages(std::move(*document)), args.value(QStringLiteral("--pdf")), out, err);
    }

    int testPrint(
        const Arguments& args, const PrintSettings& settings, QTextStream& out, QTextStream& err)
    {
        return deliver(fixedPages(testPrintDocument(
                           settings.calibration, args.has(QStringLiteral("--first-column-only")))),
            args.value(QStringLiteral("--pdf")), out, err);
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
        const TabulationLayout layout = layouts.value(chosen, TabulationLayout::Prospectus);
        const QString path = QFileInfo(args.file).absoluteFilePath();
        if (const auto settled = settlePair(path); !settled) {
            err << settled.error().message(QStringLiteral("leggere")) << '\n';
            return kFailed;
        }
        auto flow = tabulationDocument(path, layout, settings.columnPrice);
        if (!flow) {
            err << flow.error().message(QStringLiteral("leggere")) << '\n';
            return kFailed;
        }
        return deliver(
            [flow = std::move(*flow)](const QPageLayout& page) { return paginate(flow, page); },
            args.value(QStringLiteral("--pdf")), out, err);
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

int runPrintCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
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
    const auto settings = readSettings();
    if (!settings) {
        err << settings.error() << '\n';
        return kFailed;
    }
    return syntax.run(*args, *settings, out, err);
}

} // namespace ottavario::print
