#include "core/conditions.h"
#include "support/columns.h"

#include <QTest>

using namespace ottavario;
using namespace ottavario::testing;
using namespace Qt::StringLiterals;

class TestConditions : public QObject {
    Q_OBJECT

private slots:
    // Values counted by hand on the column's numbers.
    void valueOnAColumn_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<ColumnMask>("column");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("accepted");
        const ColumnMask low = column({ 1, 2, 3, 4, 5, 6, 7, 8 });
        const ColumnMask spread = column({ 3, 7, 12, 15, 19, 24, 28, 31 });
        const ColumnMask high = column({ 25, 26, 27, 28, 29, 30, 31, 32 });
        const ColumnMask edges = column({ 1, 2, 10, 16, 17, 20, 31, 32 });
        QTest::newRow("group, two of it") << u"numeri 1 5 9 12 da 1 a 2"_s << low << 2 << true;
        QTest::newRow("group, one of it") << u"numeri 1 5 9 12 da 2 a 3"_s << spread << 1 << false;
        QTest::newRow("group, none of it") << u"numeri 9 10 da 0 a 0"_s << low << 0 << true;
        QTest::newRow("sum, lowest") << u"somma da 36 a 36"_s << low << 36 << true;
        QTest::newRow("sum, highest") << u"somma da 100 a 227"_s << high << 228 << false;
        QTest::newRow("sum, on the lower bound")
            << u"somma da 139 a 160"_s << spread << 139 << true;
        QTest::newRow("sum, below it") << u"somma da 140 a 160"_s << spread << 139 << false;
        QTest::newRow("odd, half") << u"dispari da 3 a 5"_s << low << 4 << true;
        QTest::newRow("odd, five") << u"dispari da 3 a 4"_s << spread << 5 << false;
        QTest::newRow("consecutive, a run") << u"consecutivi da 0 a 2"_s << low << 7 << false;
        QTest::newRow("consecutive, none") << u"consecutivi da 0 a 2"_s << spread << 0 << true;
        // 32 and 1 are no pair: the numbers do not wrap round.
        QTest::newRow("consecutive, at the ends")
            << u"consecutivi da 3 a 3"_s << edges << 3 << true;
    }
    void valueOnAColumn()
    {
        QFETCH(QString, line);
        QFETCH(ColumnMask, column);
        QFETCH(int, value);
        QFETCH(bool, accepted);
        const auto condition = parseConditionLine(line);
        QVERIFY2(condition, qPrintable(condition ? QString() : condition.error()));
        QCOMPARE(condition->valueOf(column), value);
        QCOMPARE(condition->accepts(column), accepted);
        // The count over many columns takes another road than one column.
        const std::vector<ColumnMask> columns(70, column);
        QCOMPARE(countInPlay(columns, { *condition }), accepted ? 70 : 0);
        QCOMPARE(keepInPlay(columns, { *condition }).size(), accepted ? 70u : 0u);
    }

    void everyConditionMustHold()
    {
        const Conditions both
            = { *parseConditionLine(u"dispari da 4 a 8"), *parseConditionLine(u"somma da 0 a 40") };
        const std::vector<ColumnMask> columns = { column({ 1, 2, 3, 4, 5, 6, 7, 8 }),
            column({ 1, 3, 5, 7, 9, 11, 13, 15 }), column({ 2, 4, 6, 8, 10, 12, 14, 16 }) };
        QCOMPARE(keepInPlay(columns, both), std::vector<ColumnMask> { columns[0] });
        QCOMPARE(countInPlay(columns, {}), 3);
    }

    void linesReadBackAsWritten_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("written");
        QTest::newRow("group") << u"numeri 1 5 9 12 da 1 a 2"_s << u"numeri 1 5 9 12 da 1 a 2"_s;
        QTest::newRow("blanks and tabs")
            << u"  somma\t da  100 a 160 "_s << u"somma da 100 a 160"_s;
        QTest::newRow("group in any order, repeats, leading zeros")
            << u"numeri 12 05 9 5 da 01 a 2"_s << u"numeri 5 9 12 da 1 a 2"_s;
        QStringList every;
        for (int n = 1; n <= 32; ++n)
            every << QString::number(n);
        QTest::newRow("every number") << u"numeri "_s + every.join(u"  ") + u" da 8 a 8"_s
                                      << u"numeri "_s + every.join(u' ') + u" da 8 a 8"_s;
    }
    void linesReadBackAsWritten()
    {
        QFETCH(QString, line);
        QFETCH(QString, written);
        const auto condition = parseConditionLine(line);
        QVERIFY2(condition, qPrintable(condition ? QString() : condition.error()));
        QCOMPARE(conditionLine(*condition), written);
        QCOMPARE(parseConditionLine(written), condition);
    }

    void faultyLinesAreRefused_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown keyword") << u"pari da 1 a 2"_s << u"\"pari\" non esiste"_s;
        QTest::newRow("keyword not in lower case")
            << u"Somma da 1 a 2"_s << u"\"Somma\" non esiste"_s;
        QTest::newRow("no numbers in the group")
            << u"numeri da 1 a 2"_s << u"non contiene numeri"_s;
        QTest::newRow("0 in the group") << u"numeri 0 5 da 1 a 2"_s << u"numero 0 del gruppo"_s;
        QTest::newRow("33 in the group") << u"numeri 5 33 da 1 a 2"_s << u"numero 33 del gruppo"_s;
        QTest::newRow("letter in the group")
            << u"numeri 5 x da 1 a 2"_s << u"\"x\" non è un numero"_s;
        QTest::newRow("no second number") << u"somma da 100 a"_s << u"dopo \"a\" manca un numero"_s;
        QTest::newRow("no first number") << u"somma da a 160"_s << u"\"a\" non è un numero"_s;
        QTest::newRow("range half written") << u"dispari da 3"_s << u"manca \"a\""_s;
        QTest::newRow("negative") << u"consecutivi da -1 a 2"_s << u"\"-1\" non è un numero"_s;
        QTest::newRow("decimal") << u"somma da 100.5 a 160"_s << u"\"100.5\" non è un numero"_s;
        QTest::newRow("huge") << u"somma da 1 a 99999999999"_s << u"troppo grande"_s;
        QTest::newRow("first exceeds second")
            << u"dispari da 5 a 3"_s << u"il primo valore supera"_s;
        QTest::newRow("more after the range") << u"dispari da 3 a 5 7"_s << u"c'è ancora \"7\""_s;
    }
    void faultyLinesAreRefused()
    {
        QFETCH(QString, line);
        QFETCH(QString, reason);
        const auto condition = parseConditionLine(line);
        QVERIFY(!condition);
        QVERIFY2(condition.error().contains(reason), qPrintable(condition.error()));
    }
};

QTEST_GUILESS_MAIN(TestConditions)
#include "test_conditions.moc"
