#include "core/number.h"

#include <QTest>

#include <cmath>

using namespace ottavario;
using namespace Qt::StringLiterals;

class NumberTest : public QObject {
    Q_OBJECT

private slots:
    void readNumber_data();
    void readNumber();
    void readNumber_longDigitRunsStayFinite_data();
    void readNumber_longDigitRunsStayFinite();
    void readWholeNumber_data();
    void readWholeNumber();
};

void NumberTest::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain") << u"7"_s << 7.0;
    QTest::newRow("leading zero") << u"07"_s << 7.0;
    QTest::newRow("leading blank") << u" 7"_s << 7.0;
    QTest::newRow("leading tab") << u"\t7"_s << 7.0;
    QTest::newRow("blanks and tabs") << u" \t \t12"_s << 12.0;
    QTest::newRow("trailing letter") << u"3x"_s << 3.0;
    QTest::newRow("trailing blank") << u"3 "_s << 3.0;
    QTest::newRow("letter only") << u"x"_s << 0.0;
    QTest::newRow("letter first") << u"x7"_s << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("blanks only") << u"  \t "_s << 0.0;
    QTest::newRow("zero") << u"0"_s << 0.0;
    QTest::newRow("no integer digit") << u".5"_s << 0.5;
    QTest::newRow("negative") << u"-3"_s << -3.0;
    QTest::newRow("negative fraction") << u"-.5"_s << -0.5;
    QTest::newRow("plus sign") << u"+4"_s << 4.0;
    QTest::newRow("sign alone") << u"-"_s << 0.0;
    QTest::newRow("double sign") << u"--3"_s << 0.0;
    QTest::newRow("sign after number stops it") << u"4-2"_s << 4.0;
    QTest::newRow("point alone") << u"."_s << 0.0;
    QTest::newRow("trailing point") << u"7."_s << 7.0;
    QTest::newRow("second point stops") << u"1.234.5"_s << 1.234;
    QTest::newRow("comma is no decimal point") << u"0,41"_s << 0.0;
    QTest::newRow("comma after integer") << u"1,5"_s << 1.0;
    QTest::newRow("euro price") << u"0.41"_s << 0.41;
    QTest::newRow("lire price") << u"800"_s << 800.0;
    QTest::newRow("offset") << u"5000"_s << 5000.0;
    QTest::newRow("quote stops") << u"12\""_s << 12.0;
}

// Exact comparison: 0.41 read from a settings file must be the literal 0.41,
// or N x price would round differently from the same price typed in code.
void NumberTest::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double actual = ottavario::readNumber(text);
    QVERIFY2(actual == expected, qPrintable(u"%1 read as %2"_s.arg(text).arg(actual, 0, 'g', 17)));
}

void NumberTest::readNumber_longDigitRunsStayFinite_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("long fraction") << u"0."_s + QString(400, u'3') << 1.0 / 3;
    QTest::newRow("long fraction after integer")
        << u"2."_s + QString(400, u'5') << 2.5555555555555554;
    QTest::newRow("long integer") << u"1"_s + QString(30, u'0') << 1e30;
    QTest::newRow("long integer with fraction") << u"1"_s + QString(30, u'0') + u".25"_s << 1e30;
    QTest::newRow("many leading zeros") << QString(400, u'0') + u"7"_s << 7.0;
    QTest::newRow("many fraction zeros") << u"0."_s + QString(400, u'0') + u"7"_s << 0.0;
}

void NumberTest::readNumber_longDigitRunsStayFinite()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double actual = ottavario::readNumber(text);
    QVERIFY2(std::isfinite(actual), qPrintable(QString::number(actual)));
    if (expected == 0)
        QVERIFY(std::fabs(actual) < 1e-300);
    else
        QVERIFY2(std::fabs(actual - expected) <= std::fabs(expected) * 1e-12,
            qPrintable(QString::number(actual, 'g', 17)));
}

void NumberTest::readWholeNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qlonglong>("expected");

    QTest::newRow("whole") << u"2500"_s << 2500LL;
    QTest::newRow("fraction truncated") << u"12.9"_s << 12LL;
    QTest::newRow("negative truncated toward zero") << u"-12.9"_s << -12LL;
    QTest::newRow("no number") << u"Asse"_s << 0LL;
    QTest::newRow("leading blanks") << u"  300 twips"_s << 300LL;
    QTest::newRow("too large is clamped") << QString(40, u'9') << 9'000'000'000'000'000'000LL;
    QTest::newRow("too small is clamped")
        << u"-"_s + QString(40, u'9') << -9'000'000'000'000'000'000LL;
    QTest::newRow("endless digits") << QString(400, u'9') << 9'000'000'000'000'000'000LL;
}

void NumberTest::readWholeNumber()
{
    QFETCH(QString, text);
    QFETCH(qlonglong, expected);
    QCOMPARE(ottavario::readWholeNumber(text), expected);
}

QTEST_GUILESS_MAIN(NumberTest)
#include "test_number.moc"
