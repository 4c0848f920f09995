#include "support/cli_run.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ottavario::testing;

namespace {
// Box 1 holds 1 and 2, boxes 2 to 8 hold 3 to 9: two developed columns that
// share 7 numbers; Sei punti keeps the first.
const QByteArray kDescription = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n[Fine]\r\n 6 \r\n"
                                " 2 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n";
const QByteArray kKept = " 1 3 4 5 6 7 8 9";
}

class TestWinsCli : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString path(const char* name) const { return m_dir.filePath(QLatin1StringView(name)); }

private slots:
    void initTestCase()
    {
        qputenv("OTTAVARIO_HOME", m_dir.filePath(QStringLiteral("home")).toLocal8Bit());
        QVERIFY(writeBytes(path("uno.stt"), kDescription));
        QVERIFY(writeBytes(path("uno.stg"), kKept));
        // Conditioned: the column holding 2 is out of play, so it never wins.
        QVERIFY(writeBytes(path("cond.stt"),
            kDescription + "[Condizioni]\r\nnumeri 2 da 0 a 0\r\n[Fine condizioni]\r\n"));
        QVERIFY(writeBytes(path("cond.stg"), kKept));
    }

    void tables_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out");
        // The kept column wins 8; the other developed column shares 7 with it.
        QTest::newRow("own columns")
            << QStringList { "wins", path("uno.stt") } << "8=1 7=0 6=0 1\n8=0 7=1 6=0 1\n";
        QTest::newRow("columns in play")
            << QStringList { "wins", path("cond.stt") } << "8=1 7=0 6=0 1\n";
        // One column: 8 x 24 winners share 7 with it, 28 x C(24, 2) share 6.
        QTest::newRow("every column") << QStringList { "wins", "--all", path("uno.stt") }
                                      << "8=1 7=0 6=0 1\n8=0 7=1 6=0 192\n8=0 7=0 6=1 7728\n"
                                         "8=0 7=0 6=0 10510379\n";
    }

    void tables()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        const CliRun r = runCli(arguments);
        QCOMPARE(r.err, QString());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, out);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("no column file")
            << QStringList { "wins", path("solo.stt") } << 2 << "solo.stg";
        QTest::newRow("not a description")
            << QStringList { "wins", path("uno.stg") } << 2 << ".stt";
        QTest::newRow("no file") << QStringList { "wins", "--all" } << 1 << "uso:";
        QTest::newRow("unknown option")
            << QStringList { "wins", "--tutte", path("uno.stt") } << 1 << "uso:";
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, said);
        QVERIFY(writeBytes(path("solo.stt"), kDescription));
        const CliRun r = runCli(arguments);
        QCOMPARE(r.status, status);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(said), qPrintable(r.err));
        if (status == 2)
            QCOMPARE(r.err.count(u'\n'), 1);
    }
};

QTEST_GUILESS_MAIN(TestWinsCli)
#include "test_wins_cli.moc"
