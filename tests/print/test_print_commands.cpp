#include "app/cli.h"
#include "core/data_folder.h"
#include "core/settings_file.h"
#include "engine/column_file.h"
#include "support/cli_run.h"
#include "support/pdf_pages.h"
#include "support/test_files.h"
#include "systems/system_files.h"

#include <QDir>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ottavario;
using namespace ottavario::testing;

namespace {

// `count` different columns: box 1 of the system holds 1 to 5, and so on.
QByteArray columns(int count)
{
    QByteArray bytes;
    for (int r = 0; r < count; ++r)
        appendCanonicalRecord(
            bytes, { 1 + r % 5, 6 + r / 5 % 5, 11 + r / 25 % 5, 16, 17, 18, 19, 20 + r / 125 % 5 });
    return bytes;
}

// The description of a system that plays the numbers of columns().
QByteArray description()
{
    QByteArray text;
    for (int n : { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21 })
        text += QByteArray::number(n) + "\r\n";
    return text + "[Fine]\r\n 8 \r\n 5 \r\n 5 \r\n 5 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 2 \r\n";
}

// Where pdftotext finds a word on page 1, in points from the paper's corner.
QPointF wordPosition(const QString& pdf, const QString& word)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-bbox"), QStringLiteral("-l"), QStringLiteral("1"), pdf,
            QStringLiteral("-") });
    process.waitForFinished();
    const auto match = QRegularExpression(
        QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>%1<").arg(word))
                           .match(QString::fromUtf8(process.readAllStandardOutput()));
    return match.hasMatch() ? QPointF(match.captured(1).toDouble(), match.captured(2).toDouble())
                            : QPointF(-1, -1);
}

QString textOfPage(const QString& pdf, int page)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
            QStringLiteral("-l"), QString::number(page), pdf, QStringLiteral("-") });
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}

}

class TestPrintCommands : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_home;
    // OTTAVARIO_HOME names it too: the companion finds its settings there.
    DataFolder folder() const { return DataFolder(m_home->path()); }

    QString path(const QString& name) const { return m_home->filePath(name); }
    QString pdf() const { return path(QStringLiteral("uscita.pdf")); }

    void writeSettings(const QString& vertical, const QString& horizontal)
    {
        Settings settings = Settings::defaults();
        settings.verticalOffset = vertical;
        settings.horizontalOffset = horizontal;
        QVERIFY(ottavario::writeSettings(folder().settingsFile(), settings));
    }

    // A system pair of `count` columns in the systems folder; the column file.
    QString saveSystem(const QString& name, int count)
    {
        const QString stg = folder().systems() + u'/' + name + QStringLiteral(".stg");
        if (!testing::writeBytes(stg, columns(count))
            || !testing::writeBytes(partnerPath(stg), description()))
            return {};
        return stg;
    }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("OTTAVARIO_HOME", m_home->path().toLocal8Bit());
        QVERIFY(QDir().mkpath(folder().systems()));
        writeSettings(QStringLiteral("120"), QStringLiteral("45"));
    }

    void cleanup()
    {
        m_home.reset();
        qunsetenv("OTTAVARIO_HOME");
    }

    void writesAPdf_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("pages");
        const QString stg = QStringLiteral("STG");
        QTest::newRow("slips 2 to 3")
            << QStringList { "slips", stg, "--from", "2", "--to", "3" } << 36 << 2;
        QTest::newRow("slips, whole, information slip") << QStringList { "slips", stg } << 37 << 8;
        QTest::newRow("slips, no information slip")
            << QStringList { "slips", stg, "--no-info", "--no-name" } << 37 << 7;
        QTest::newRow("test print") << QStringList { "test" } << 0 << 1;
        QTest::newRow("test print, first column")
            << QStringList { "test", "--first-column-only" } << 0 << 1;
        QTest::newRow("prospectus") << QStringList { "tabulation", stg } << 250 << 1;
        QTest::newRow("prospetto")
            << QStringList { "tabulation", stg, "--layout", "prospetto" } << 250 << 1;
        QTest::newRow("colonne, one page")
            << QStringList { "tabulation", stg, "--layout", "colonne" } << 250 << 1;
        QTest::newRow("entrambi, two pages")
            << QStringList { "tabulation", stg, "--layout", "entrambi" } << 250 << 2;
    }

    void writesAPdf()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, columns);
        QFETCH(int, pages);
        arguments.replaceInStrings(
            QStringLiteral("STG"), saveSystem(QStringLiteral("prova"), columns));
        const CliRun r
            = runCli(QStringList { "print" } + arguments + QStringList { "--pdf", pdf() });
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("pages %1\n").arg(pages));
        QCOMPARE(testing::pdfPageCount(pdf()), pages);
    }

    // The description file names the same system as its column file.
    void slipsOfADescriptionFile()
    {
        QString stt = saveSystem(QStringLiteral("prova"), 37);
        stt.replace(QStringLiteral(".stg"), QStringLiteral(".stt"));
        const CliRun r = runCli({ "print", "slips", stt, "--pdf", pdf() });
        QCOMPARE(r.err, QString());
        QCOMPARE(r.out, QStringLiteral("pages 8\n"));
    }

    // The offsets and the column price of the settings file, not defaults.
    void slipsFollowTheSettings()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        writeSettings(QStringLiteral("400"), QStringLiteral("200"));
        const QString stg = saveSystem(QStringLiteral("campionato2000"), 6);
        const CliRun r = runCli({ "print", "slips", stg, "--pdf", pdf() });
        QCOMPARE(r.status, 0);
        // The name line: 3805 twips below the grid's origin, 20 twips a point,
        // on A4 with margins of 10 points.
        const QPointF name = wordPosition(pdf(), QStringLiteral("campionato2000"));
        QVERIFY2(qAbs(name.x() - (10 + 200 / 20.0)) < 1, qPrintable(QString::number(name.x())));
        QVERIFY2(
            qAbs(name.y() - (10 + (400 + 3805) / 20.0)) < 3, qPrintable(QString::number(name.y())));
        QVERIFY(textOfPage(pdf(), 2).contains(QStringLiteral("Prezzo 4800")));
    }

    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        const QString stg = QStringLiteral("STG");
        QTest::newRow("missing column file")
            << QStringList { "slips", "SISTEMI/assente.stg" } << "il file non esiste";
        QTest::newRow("first after last")
            << QStringList { "slips", stg, "--from", "3", "--to", "2" }
            << "prova.stg: La prima scheda (3) viene dopo l'ultima (2): scegliere le schede da "
               "stampare, da 1 a 7.";
        QTest::newRow("past the last slip") << QStringList { "slips", stg, "--to", "8" }
                                            << "Scegliere le schede da stampare, da 1 a 7.";
        QTest::newRow("number off the slip")
            << QStringList { "slips", "SISTEMI/rotto.stg" }
            << "La colonna 2 del sistema ha il numero \"33\", che non è sulla scheda";
        QTest::newRow("unknown layout") << QStringList { "tabulation", stg, "--layout", "tutto" }
                                        << "tabulato sconosciuto: \"tutto\"";
        QTest::newRow("prospectus without description")
            << QStringList { "tabulation", "SISTEMI/rotto.stg" } << "rotto.stt";
        QTest::newRow("missing column file, listing")
            << QStringList { "tabulation", "SISTEMI/assente.stg", "--layout", "colonne" }
            << "assente.stg: il file non esiste";
        QTest::newRow("no settings file") << QStringList { "test", "NOSETTINGS" } << "sistema.ini";
        QTest::newRow("output folder missing")
            << QStringList { "test", "--pdf", "HOME/manca/uscita.pdf" } << "manca/uscita.pdf";
        QTest::newRow("output not a PDF name") << QStringList { "slips", stg, "--pdf",
            "SISTEMI/prova.stg" } << "il nome del file PDF deve finire con .pdf";
    }

    void refusalsWriteNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        const QString stg = saveSystem(QStringLiteral("prova"), 37);
        const QByteArray system = columns(37);
        QByteArray damaged = columns(3);
        damaged.replace(16 + 14, 2, "33");
        QVERIFY(testing::writeBytes(folder().systems() + QStringLiteral("/rotto.stg"), damaged));
        if (arguments.removeAll(QStringLiteral("NOSETTINGS")) > 0)
            QVERIFY(QFile::remove(folder().settingsFile()));
        arguments.replaceInStrings(QStringLiteral("STG"), stg);
        arguments.replaceInStrings(QStringLiteral("SISTEMI"), folder().systems());
        arguments.replaceInStrings(QStringLiteral("HOME"), m_home->path());
        if (!arguments.contains(QStringLiteral("--pdf")))
            arguments << QStringLiteral("--pdf") << pdf();
        const QStringList before = testing::namesIn(m_home->path());

        const CliRun r = runCli(QStringList { "print" } + arguments);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        QCOMPARE(r.err.count(u'\n'), 1);
        QVERIFY(r.err.endsWith(u'\n'));
        QCOMPARE(r.out, QString());
        QVERIFY(!QFile::exists(pdf()));
        QCOMPARE(testing::namesIn(m_home->path()), before);
        QCOMPARE(testing::contentsOf(stg), system);
    }

    // The program itself: the default printer is reached through the module
    // beside it; a copy without the module says so and prints nothing.
    void withoutAPrinterOnlyAPdfCanBeWritten_data()
    {
        QTest::addColumn<bool>("alone");
        QTest::addColumn<QString>("said");
        QTest::newRow("beside its module")
            << false
            << "nessuna stampante predefinita: installarne una, oppure indicare --pdf FILE.pdf\n";
        QTest::newRow("without its module")
            << true
            << "la stampa su stampante non è disponibile (manca ottavario_printer.so): indicare "
               "--pdf FILE.pdf\n";
    }

    void withoutAPrinterOnlyAPdfCanBeWritten()
    {
        QFETCH(bool, alone);
        QFETCH(QString, said);
        if (!alone && !QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a default printer is installed");
        QString program = QStringLiteral(OTTAVARIO_CLI);
        if (alone) {
            program = path(QStringLiteral("ottavario-cli"));
            QVERIFY(QFile::copy(QStringLiteral(OTTAVARIO_CLI), program));
        }
        QProcess process;
        process.start(program, { "print", "test" });
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), said);
        QCOMPARE(process.readAllStandardOutput(), QByteArray());
        QCOMPARE(process.exitCode(), 2);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing to print") << QStringList { "print" };
        QTest::newRow("unknown print") << QStringList { "print", "schede" };
        QTest::newRow("slips without a file") << QStringList { "print", "slips", "--pdf", "a.pdf" };
        QTest::newRow("two files") << QStringList { "print", "slips", "a.stg", "b.stg" };
        QTest::newRow("pdf without its name") << QStringList { "print", "test", "--pdf" };
        QTest::newRow("repeated option")
            << QStringList { "print", "test", "--pdf", "a.pdf", "--pdf", "b.pdf" };
        QTest::newRow("another command's option")
            << QStringList { "print", "test", "--layout", "colonne" };
        QTest::newRow("test takes no file") << QStringList { "print", "test", "a.stg" };
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const CliRun r = runCli(arguments);
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.startsWith(QStringLiteral("uso:")));
        QVERIFY(r.err.contains(QStringLiteral("ottavario-cli print tabulation FILE.stg")));
        QCOMPARE(r.out, QString());
    }

    // The program itself, as a shell starts it on a machine without a display:
    // it must find a way to draw, and say nothing but its result.
    void theProgramPrintsWithoutADisplay()
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name :
            { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR" })
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(OTTAVARIO_CLI),
            { "print", "slips", saveSystem(QStringLiteral("prova"), 7), "--pdf", pdf() });
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(QString::fromLocal8Bit(process.readAllStandardError()), QString());
        QCOMPARE(
            QString::fromLocal8Bit(process.readAllStandardOutput()), QStringLiteral("pages 3\n"));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(testing::pdfPageCount(pdf()), 3);
    }
};

QTEST_MAIN(TestPrintCommands)
#include "test_print_commands.moc"
