#include "check/scoring.h"

#include "support/columns.h"

#include <QTest>

using namespace ottavario;
using namespace ottavario::testing;

Q_DECLARE_METATYPE(WinningValues)

class TestScoring : public QObject {
    Q_OBJECT
private slots:
    void repeatedBox_data()
    {
        QTest::addColumn<WinningValues>("values");
        QTest::addColumn<int>("box");
        QTest::newRow("none") << WinningValues { 1, 2, 3, 4, 5, 6, 7, 8 } << -1;
        QTest::newRow("3 and 6 hold 12: the later box")
            << WinningValues { 1, 2, 12, 4, 5, 12, 7, 8 } << 5;
        QTest::newRow("empty boxes repeat nothing")
            << WinningValues { 0, 0, 0, 0, 0, 0, 0, 0 } << -1;
        QTest::newRow("first pair in search order")
            << WinningValues { 9, 9, 3, 3, 5, 6, 7, 8 } << 1;
        QTest::newRow("box 8 repeats box 1") << WinningValues { 4, 2, 3, 5, 6, 7, 8, 4 } << 7;
        // Box 8 is never the first of a pair; box 1 and 8 still meet as (1, 8).
        QTest::newRow("repeat found from the later box")
            << WinningValues { 1, 20, 3, 4, 5, 6, 7, 20 } << 7;
    }

    void repeatedBox()
    {
        QFETCH(WinningValues, values);
        QFETCH(int, box);
        QCOMPARE(repeatedWinningBox(values).value_or(-1), box);
    }

    void workedExample_data()
    {
        QTest::addColumn<WinningValues>("values");
        QTest::addColumn<QString>("eight");
        QTest::addColumn<QString>("seven");
        QTest::addColumn<QString>("six");
        QTest::newRow("8 7 6") << WinningValues { 1, 2, 3, 4, 5, 6, 7, 8 } << "1"
                               << "1"
                               << "1";
        QTest::newRow("7 7 6") << WinningValues { 1, 2, 3, 4, 5, 6, 7, 20 } << ""
                               << "2"
                               << "1";
        QTest::newRow("all empty") << WinningValues {} << ""
                                   << ""
                                   << "";
        QTest::newRow("only 7 typed") << WinningValues { 1, 2, 3, 4, 5, 6, 7, 0 } << ""
                                      << "2"
                                      << "1";
        QTest::newRow("out of range and fractions match nothing")
            << WinningValues { 1, 2, 3, 4, 5, 6, 7.5, 40 } << ""
            << ""
            << "3";
    }

    void workedExample()
    {
        QFETCH(WinningValues, values);
        QFETCH(QString, eight);
        QFETCH(QString, seven);
        QFETCH(QString, six);
        const std::vector<ColumnMask> columns = { column({ 1, 2, 3, 4, 5, 6, 7, 8 }),
            column({ 1, 2, 3, 4, 5, 6, 7, 9 }), column({ 1, 2, 3, 4, 5, 6, 10, 11 }) };
        const Score s = score(columns, winningMask(values));
        QCOMPARE(counterText(s.eight), eight);
        QCOMPARE(counterText(s.seven), seven);
        QCOMPARE(counterText(s.six), six);
    }

    // The slip and the place on it, six columns a slip, numbers lined up
    // for the largest of the system.
    void aWinningLineTellsTheColumnAndItsSlip_data()
    {
        QTest::addColumn<qint64>("record");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("start");
        QTest::newRow("first") << qint64(1) << qint64(3) << "7 punti  colonna 1 (scheda 1, 1ª) ";
        QTest::newRow("last of the first slip")
            << qint64(6) << qint64(13) << "7 punti  colonna  6 (scheda 1, 6ª) ";
        QTest::newRow("first of the second slip")
            << qint64(7) << qint64(13) << "7 punti  colonna  7 (scheda 2, 1ª) ";
        QTest::newRow("13 of 13, alone on slip 3")
            << qint64(13) << qint64(13) << "7 punti  colonna 13 (scheda 3, 1ª) ";
        QTest::newRow("a large system")
            << qint64(390625) << qint64(390625) << "7 punti  colonna 390625 (scheda 65105, 1ª) ";
    }

    void aWinningLineTellsTheColumnAndItsSlip()
    {
        QFETCH(qint64, record);
        QFETCH(qint64, count);
        QFETCH(QString, start);
        const ColumnMask numbers = column({ 2, 7, 9, 14, 20, 25, 28, 31 });
        QCOMPARE(winningColumnLine({ record, numbers, 7 }, count),
            start + QStringLiteral("   2   7   9 14 20 25 28 31"));
    }

    void noColumnsCountNothing()
    {
        const Score s = score({}, winningMask({ 1, 2, 3, 4, 5, 6, 7, 8 }));
        QCOMPARE(s.eight + s.seven + s.six, 0);
    }
};

QTEST_GUILESS_MAIN(TestScoring)
#include "test_scoring.moc"
