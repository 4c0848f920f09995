#include "cli.h"

#include "check/scoring.h"
#include "core/file_error.h"
#include "core/number.h"
#include "core/version.h"
#include "engine/calculation.h"
#include "engine/column_file.h"
#include "engine/grid_check.h"
#include "print/print_commands.h"
#include "systems/system_files.h"
#include "transfer/pair_copy.h"
#include "wins/wins_report.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace ottavario::cli {

namespace {
    constexpr int kFailed = 2;
    constexpr int kUsage = 1;

    const char* const kUsageText
        = "uso:\n"
          "  ottavario-cli compute FILE.stt [--out FILE.stg] [--optimise]\n"
          "  ottavario-cli check --winning N1,N2,...,N8 FILE.stt...\n"
          "  ottavario-cli copy FILE.stg FOLDER\n"
          "  ottavario-cli wins [--all] FILE.stt\n";

    QString usageText() { return QLatin1StringView(kUsageText) + print::printCommandsUsage(); }

    int usage(QTextStream& err)
    {
        err << usageText();
        return kUsage;
    }

    QString problemLine(const GridProblem& problem)
    {
        QString line = problemMessage(problem.kind).trimmed();
        if (problem.kind != GridProblem::Kind::NoNumbers)
            line += QStringLiteral(" (casella %1, numero %2)")
                        .arg(problem.box + 1)
                        .arg(problem.entry + 1);
        return line;
    }

    int compute(const QStringList& args, QTextStream& out, QTextStream& err)
    {
        QString input;
        QString output;
        CalculationOptions options;
        for (qsizetype i = 0; i < args.size(); ++i) {
            if (args[i] == QStringLiteral("--out") && i + 1 < args.size())
                output = args[++i];
            else if (args[i] == QStringLiteral("--optimise"))
                options.optimised = true;
            else if (input.isEmpty() && !args[i].startsWith(QStringLiteral("--")))
                input = args[i];
            else
                return usage(err);
        }
        if (input.isEmpty())
            return usage(err);
        if (output.isEmpty())
            output = partnerPath(input);
        if (output.isEmpty()) {
            err << input << ": il nome del file deve finire con .stt, oppure indicare --out\n";
            return kFailed;
        }

        const auto description = openSystem(input);
        if (!description) {
            err << description.error().message(QStringLiteral("aprire")) << '\n';
            return kFailed;
        }
        if (const auto problem = checkGrid(description->grid)) {
            err << input << ": " << problemLine(*problem) << '\n';
            return kFailed;
        }
        // The work files of the windowed program are left alone; the result is
        // put in place whole, or not at all.
        QTemporaryDir work;
        if (!work.isValid()) {
            err << "impossibile creare una cartella di lavoro temporanea\n";
            return kFailed;
        }
        const WorkFiles files { work.filePath(QStringLiteral("tmp")),
            work.filePath(QStringLiteral("sistmp")) };
        options.conditions = description->conditions;
        const auto result
            = calculateColumns(description->grid, description->type, files, nullptr, options);
        if (!result) {
            err << result.error().message(QStringLiteral("scrivere")) << '\n';
            return kFailed;
        }
        if (!result->guaranteeVerified) {
            err << input << ": le colonne ridotte non garantiscono " << threshold(description->type)
                << " punti\n";
            return kFailed;
        }
        const auto bytes = readWholeFile(files.kept);
        if (!bytes) {
            err << bytes.error().message(QStringLiteral("leggere")) << '\n';
            return kFailed;
        }
        // The columns of the system's own pair are replaced with the pair as one
        // unit, the description kept byte for byte; another file alone.
        const bool ownPair = QFileInfo(output).absoluteFilePath()
            == QFileInfo(partnerPath(input)).absoluteFilePath();
        const auto descriptionBytes = ownPair ? readWholeFile(input) : FileResult<QByteArray> {};
        if (!descriptionBytes) {
            err << descriptionBytes.error().message(QStringLiteral("leggere")) << '\n';
            return kFailed;
        }
        FileResult<void> written;
        if (!ownPair)
            written = writeFileAtomically(output, *bytes);
        else if (auto committed
                 = commitPair({ input, *descriptionBytes, {} }, { output, *bytes, {} });
                 !committed)
            written = std::unexpected(committed.error().cause);
        if (!written) {
            err << written.error().message(QStringLiteral("scrivere")) << '\n';
            return kFailed;
        }
        out << "developed " << result->developedCount;
        if (result->conditioned)
            out << " conditioned " << result->inPlay.size();
        out << " kept " << result->kept.size() << '\n';
        return 0;
    }

    int check(const QStringList& args, QTextStream& out, QTextStream& err)
    {
        QString winningText;
        QStringList files;
        for (qsizetype i = 0; i < args.size(); ++i) {
            if (args[i] == QStringLiteral("--winning") && i + 1 < args.size())
                winningText = args[++i];
            else if (!args[i].startsWith(QStringLiteral("--")))
                files << args[i];
            else
                return usage(err);
        }
        if (winningText.isEmpty() || files.isEmpty())
            return usage(err);

        const QStringList parts = winningText.split(u',');
        WinningValues values {};
        if (parts.size() != kWinningBoxes) {
            err << "la colonna vincente deve avere 8 numeri separati da virgole\n";
            return kFailed;
        }
        for (int i = 0; i < kWinningBoxes; ++i) {
            values[i] = readNumber(parts[i]);
            if (!isValidMatchNumber(values[i]) || parts[i].trimmed().size() > 2) {
                err << "numero vincente non valido: \"" << parts[i]
                    << "\" (inserire i numeri da 1 a 32)\n";
                return kFailed;
            }
        }
        if (const auto repeated = repeatedWinningBox(values)) {
            err << "Numero doppio controllare: " << parts[*repeated] << '\n';
            return kFailed;
        }

        const ColumnMask winning = winningMask(values);
        int status = 0;
        for (const QString& file : files) {
            const auto description = openSystem(file);
            if (!description) {
                err << description.error().message(QStringLiteral("aprire")) << '\n';
                status = kFailed;
                continue;
            }
            const auto columns = readColumnMasks(partnerPath(file));
            if (!columns) {
                err << columns.error().message(QStringLiteral("leggere")) << '\n';
                status = kFailed;
                continue;
            }
            const Score s = score(*columns, winning);
            out << systemName(file) << " 8=" << s.eight << " 7=" << s.seven << " 6=" << s.six
                << '\n';
        }
        return status;
    }

    // The pair of FILE.stg into FOLDER, as the import/export window copies it.
    int copy(const QStringList& args, QTextStream& out, QTextStream& err)
    {
        if (args.size() != 2 || args[0].startsWith(QStringLiteral("--"))
            || args[1].startsWith(QStringLiteral("--")))
            return usage(err);
        const QFileInfo file(args[0]);
        if (!file.fileName().endsWith(QStringLiteral(".stg"), Qt::CaseInsensitive)) {
            err << args[0] << ": il file da copiare deve finire con .stg\n";
            return kFailed;
        }
        const auto copied = copyPair(file.absolutePath(), args[1], file.fileName());
        if (!copied) {
            err << copied.error().message().replace(u'\n', u' ') << '\n';
            return kFailed;
        }
        out << "copied " << systemName(file.fileName()) << '\n';
        return 0;
    }
}

namespace {
    // What the system wins: over its own developed columns, or with --all
    // over every winning column; one line a combination of prizes, best first.
    int wins(const QStringList& args, QTextStream& out, QTextStream& err)
    {
        bool every = false;
        QString input;
        for (const QString& arg : args) {
            if (arg == QStringLiteral("--all"))
                every = true;
            else if (input.isEmpty() && !arg.startsWith(QStringLiteral("--")))
                input = arg;
            else
                return usage(err);
        }
        if (input.isEmpty())
            return usage(err);
        const auto system = readWinsSystem(input);
        if (!system) {
            err << system.error().message(QStringLiteral("aprire")) << '\n';
            return kFailed;
        }
        const WinCounter counter(system->kept);
        const WinTable table
            = every ? counter.overEveryWinningColumn() : counter.over(winnersInPlay(*system));
        for (const WinRow& row : table.rows)
            out << winRowLine(row) << '\n';
        return 0;
    }
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.isEmpty())
        return usage(err);
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    int status = kUsage;
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h")) {
        out << usageText();
        status = 0;
    } else if (command == QStringLiteral("--version")) {
        out << "ottavario-cli " OTTAVARIO_VERSION "\n";
        status = 0;
    } else if (command == QStringLiteral("compute"))
        status = compute(rest, out, err);
    else if (command == QStringLiteral("check"))
        status = check(rest, out, err);
    else if (command == QStringLiteral("copy"))
        status = copy(rest, out, err);
    else if (command == QStringLiteral("wins"))
        status = wins(rest, out, err);
    else if (command == QStringLiteral("print")) {
        status = print::runPrintCommand(rest, out, err);
        if (status == kUsage)
            usage(err);
    } else
        status = usage(err);
    out.flush();
    err.flush();
    return status;
}

} // namespace ottavario::cli
