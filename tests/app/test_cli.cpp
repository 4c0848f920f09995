#include "app/cli.h"
#include "core/version.h"
#include "support/cli_run.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ottavario;
using namespace ottavario::testing;

namespace {
void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Box 1 holds 1 and 2, boxes 2 to 8 hold 3 to 9; the type code follows.
QByteArray workedExample(const char* code)
{
    return QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n[Fine]\r\n ") + code
        + " \r\n 2 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n";
}
}

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const char* name) const { return m_dir.filePath(QLatin1StringView(name)); }

private slots:
    void initTestCase()
    {
        // The companion never touches the windowed program's work files.
        qputenv("OTTAVARIO_HOME", m_dir.filePath(QStringLiteral("home")).toLocal8Bit());
    }

    void computeWritesThePartner_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("columns");
        QTest::newRow("Integrale") << QByteArray("8") << "developed 2 kept 2\n"
                                   << QByteArray(" 1 3 4 5 6 7 8 9 2 3 4 5 6 7 8 9");
        QTest::newRow("Sei punti") << QByteArray("6") << "developed 2 kept 1\n"
                                   << QByteArray(" 1 3 4 5 6 7 8 9");
    }

    void computeWritesThePartner()
    {
        QFETCH(QByteArray, code);
        QFETCH(QString, line);
        QFETCH(QByteArray, columns);
        writeFile(path("a.stt"), workedExample(code.constData()));
        const CliRun r = runCli({ "compute", path("a.stt") });
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, line);
        QCOMPARE(r.err, QString());
        QCOMPARE(contents(path("a.stg")), columns);
        QCOMPARE(contents(path("a.stt")), workedExample(code.constData()));
        QVERIFY(!QDir(m_dir.filePath(QStringLiteral("home"))).exists());
    }

    void computeConditioned()
    {
        // Of (1,3,...,9) and (2,3,...,9) only the second has 4 odd numbers:
        // Sei punti keeps it, not the first one developed.
        writeFile(path("d.stt"),
            workedExample("6") + "[Condizioni]\r\ndispari da 4 a 4\r\n[Fine condizioni]\r\n");
        const CliRun r = runCli({ "compute", path("d.stt") });
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringLiteral("developed 2 conditioned 1 kept 1\n"));
        QCOMPARE(contents(path("d.stg")), QByteArray(" 2 3 4 5 6 7 8 9"));
    }

    void computeToAnotherFile()
    {
        writeFile(path("b.stt"), workedExample("7"));
        const CliRun r = runCli({ "compute", path("b.stt"), "--out", path("altro.stg") });
        QCOMPARE(r.status, 0);
        QCOMPARE(contents(path("altro.stg")), QByteArray(" 1 3 4 5 6 7 8 9"));
    }

    void computeOptimisedKeepsFewerColumns()
    {
        // Three numbers in every box, 1 to 24; Sei punti.
        QByteArray description;
        for (int n = 1; n <= 24; ++n)
            description += QByteArray::number(n) + "\r\n";
        description += "[Fine]\r\n 6 \r\n";
        for (int box = 0; box < 8; ++box)
            description += " 3 \r\n";
        writeFile(path("tre.stt"), description);
        QCOMPARE(runCli({ "compute", path("tre.stt") }).out,
            QStringLiteral("developed 6561 kept 198\n"));

        const CliRun r = runCli({ "compute", "--optimise", path("tre.stt") });
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QString());
        const QStringList words = r.out.split(u' ');
        QCOMPARE(words.size(), 4);
        QCOMPARE(words[1], QStringLiteral("6561"));
        const int kept = words[3].toInt();
        QVERIFY2(kept > 0 && kept <= 198 * 6 / 10, qPrintable(r.out));
        QCOMPARE(contents(path("tre.stg")).size(), kept * 16);
    }

    void computeRefusals_data()
    {
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing file") << QByteArray() << "non esiste";
        QTest::newRow("not a description") << QByteArray("1\r\n2\r\n") << "[Fine]";
        QTest::newRow("repeated number")
            << QByteArray("1\r\n1\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n[Fine]\r\n 6 \r\n 2 \r\n 1 "
                          "\r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n")
            << "Numero doppio";
        QTest::newRow("invalid number") << QByteArray(
            "1\r\n40\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n[Fine]\r\n 6 \r\n 2 \r\n 1 "
            "\r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n")
                                        << "Numero non valido";
        QTest::newRow("faulty condition")
            << workedExample("6") + "[Condizioni]\r\npari da 1 a 2\r\n[Fine condizioni]\r\n"
            << "riga 21: la condizione \"pari\" non esiste";
    }

    void computeRefusals()
    {
        QFETCH(QByteArray, description);
        QFETCH(QString, said);
        QFile::remove(path("c.stt"));
        QFile::remove(path("c.stg"));
        if (!description.isEmpty())
            writeFile(path("c.stt"), description);
        const CliRun r = runCli({ "compute", path("c.stt") });
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        QCOMPARE(r.err.count(u'\n'), 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFile::exists(path("c.stg")));
    }

    void checkManySystems()
    {
        writeFile(path("uno.stt"), workedExample("8"));
        QCOMPARE(runCli({ "compute", path("uno.stt") }).status, 0);
        writeFile(path("due.stt"), workedExample("6"));
        QCOMPARE(runCli({ "compute", path("due.stt") }).status, 0);
        const CliRun r = runCli({ "check", "--winning", "2,3,4,5,6,7,8,9", path("uno.stt"),
            path("assente.stt"), path("due.stt") });
        QCOMPARE(r.out, QStringLiteral("uno 8=1 7=1 6=0\ndue 8=0 7=1 6=0\n"));
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.contains(QStringLiteral("assente.stt")));
    }

    void checkRefusesBadWinningColumns_data()
    {
        QTest::addColumn<QString>("winning");
        QTest::newRow("repeated") << "1,2,3,4,5,6,7,7";
        QTest::newRow("seven numbers") << "1,2,3,4,5,6,7";
        QTest::newRow("out of range") << "1,2,3,4,5,6,7,33";
        QTest::newRow("letters") << "1,2,3,4,5,6,7,x";
    }

    void checkRefusesBadWinningColumns()
    {
        QFETCH(QString, winning);
        writeFile(path("uno.stt"), workedExample("8"));
        const CliRun r = runCli({ "check", "--winning", winning, path("uno.stt") });
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(!r.err.isEmpty());
    }

    // Asked for, the usage and the version are the answer: stdout, status 0.
    void helpAndVersion_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("--help") << "--help"
                                << "uso:";
        QTest::newRow("-h") << "-h"
                            << "uso:";
        QTest::newRow("--version") << "--version"
                                   << "ottavario-cli " OTTAVARIO_VERSION;
    }

    void helpAndVersion()
    {
        QFETCH(QString, option);
        QFETCH(QString, firstLine);
        const CliRun r = runCli({ option });
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.section(u'\n', 0, 0), firstLine);
        QVERIFY(r.out.endsWith(u'\n'));
        QCOMPARE(r.err, QString());
    }

    // The pair of a .stg file into a folder, refused as the import/export
    // window refuses it, in one line.
    void copyPair_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errStart");
        QTest::newRow("copied") << "da/prova.stg"
                                << "a" << 0 << "copied prova\n"
                                << "";
        QTest::newRow("not a column file") << "da/prova.stt"
                                           << "a" << 2 << ""
                                           << "<dir>/da/prova.stt: il file da copiare";
        QTest::newRow("description missing") << "da/solo.stg"
                                             << "a" << 2 << ""
                                             << "Il sistema solo.stg non è stato copiato in a. "
                                                "<dir>/da/solo.stt: il file non esiste.";
        QTest::newRow("no such folder") << "da/prova.stg"
                                        << "manca" << 2 << ""
                                        << "Il sistema prova.stg non è stato copiato in manca.";
    }
    void copyPair()
    {
        QFETCH(QString, file);
        QFETCH(QString, folder);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, errStart);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("da")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a")));
        writeFile(dir.filePath(QStringLiteral("da/prova.stg")), " 1 2 3 4 5 6 7 8");
        writeFile(dir.filePath(QStringLiteral("da/prova.stt")), workedExample("8"));
        writeFile(dir.filePath(QStringLiteral("da/solo.stg")), " 1 2 3 4 5 6 7 8");
        const QString current = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const CliRun r = runCli({ "copy", dir.filePath(file), folder });
        QDir::setCurrent(current);
        QCOMPARE(r.status, status);
        QCOMPARE(r.out, out);
        const QString expectedErr = errStart.replace(QStringLiteral("<dir>"), dir.path());
        QVERIFY2(expectedErr.isEmpty() ? r.err.isEmpty() : r.err.startsWith(expectedErr),
            qPrintable(r.err));
        QCOMPARE(r.err.count(u'\n'), status == 0 ? 0 : 1);
        const bool copied = status == 0;
        QCOMPARE(contents(dir.filePath(QStringLiteral("a/prova.stt"))),
            copied ? workedExample("8") : QByteArray("<missing>"));
        QCOMPARE(contents(dir.filePath(QStringLiteral("a/prova.stg"))),
            copied ? QByteArray(" 1 2 3 4 5 6 7 8") : QByteArray("<missing>"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList {};
        QTest::newRow("copy without a folder") << QStringList { "copy", "a.stg" };
        QTest::newRow("unknown command") << QStringList { "fly" };
        QTest::newRow("compute without a file") << QStringList { "compute" };
        QTest::newRow("check without winning") << QStringList { "check", "a.stt" };
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        const CliRun r = runCli(arguments);
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.contains(QStringLiteral("uso:")));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
