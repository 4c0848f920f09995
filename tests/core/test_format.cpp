#include "core/format.h"

#include <QTest>

#include <limits>

using namespace ottavario;
using namespace Qt::StringLiterals;

namespace {
QLocale italian() { return QLocale(QLocale::Italian, QLocale::Italy); }
}

class FormatTest : public QObject {
    Q_OBJECT

private slots:
    void groupedInteger_data();
    void groupedInteger();
    void euroAmount_data();
    void euroAmount();
    void formatsGroupInEveryLocale_data();
    void formatsGroupInEveryLocale();
};

void FormatTest::groupedInteger_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("price of 4 columns") << 3200.0 << u"3.200"_s;
    QTest::newRow("zero is empty") << 0.0 << QString();
    QTest::newRow("negative zero is empty") << -0.0 << QString();
    QTest::newRow("below one half is empty") << 0.4 << QString();
    QTest::newRow("one half rounds up") << 0.5 << u"1"_s;
    QTest::newRow("small") << 987.0 << u"987"_s;
    QTest::newRow("six digits") << 987200.0 << u"987.200"_s;
    QTest::newRow("half away from zero") << 2.5 << u"3"_s;
    QTest::newRow("half away from zero, odd") << 3.5 << u"4"_s;
    QTest::newRow("below half") << 2.49 << u"2"_s;
    QTest::newRow("negative half") << -2.5 << u"-3"_s;
    QTest::newRow("rounding carries into a group") << 999.5 << u"1.000"_s;
    QTest::newRow("millions") << 1234567.0 << u"1.234.567"_s;
    QTest::newRow("largest system") << 390625.0 << u"390.625"_s;
    QTest::newRow("largest system at 800 lire") << 390625.0 * 800 << u"312.500.000"_s;
    QTest::newRow("beyond a long long") << 1e19 << u"10.000.000.000.000.000.000"_s;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << QString();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QString();
}

void FormatTest::groupedInteger()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(ottavario::groupedInteger(value, italian()), expected);
}

void FormatTest::euroAmount_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("4 columns at 0.41") << 4 * 0.41 << u"1,64"_s;
    QTest::newRow("literal 1.64") << 1.64 << u"1,64"_s;
    QTest::newRow("zero") << 0.0 << u"0,00"_s;
    QTest::newRow("under a cent") << 0.004 << u"0,00"_s;
    QTest::newRow("tiny negative is no minus zero") << -0.001 << u"0,00"_s;
    QTest::newRow("negative zero") << -0.0 << u"0,00"_s;
    QTest::newRow("one integer digit") << 0.41 << u"0,41"_s;
    QTest::newRow("two decimals") << 1234.5 << u"1.234,50"_s;
    QTest::newRow("rounds to the cent") << 0.999 << u"1,00"_s;
    QTest::newRow("sum of tenths") << 0.1 + 0.2 << u"0,30"_s;
    QTest::newRow("largest system at 0.41") << 390625 * 0.41 << u"160.156,25"_s;
    QTest::newRow("millions") << 1234567.891 << u"1.234.567,89"_s;
    QTest::newRow("negative") << -1234.5 << u"-1.234,50"_s;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << u"0,00"_s;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << u"0,00"_s;
}

void FormatTest::euroAmount()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(ottavario::euroAmount(value, italian()), expected);
}

// The C locale leaves out group separators unless asked; the formats group always.
void FormatTest::formatsGroupInEveryLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("integer");
    QTest::addColumn<QString>("euro");

    QTest::newRow("C") << QLocale::c() << u"1,234,567"_s << u"1,234,567.50"_s;
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << u"1,234,567"_s
                             << u"1,234,567.50"_s;
    QLocale omitting = italian();
    omitting.setNumberOptions(QLocale::OmitGroupSeparator);
    QTest::newRow("Italian told to omit") << omitting << u"1.234.567"_s << u"1.234.567,50"_s;
}

void FormatTest::formatsGroupInEveryLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, integer);
    QFETCH(QString, euro);
    QCOMPARE(ottavario::groupedInteger(1234567, locale), integer);
    QCOMPARE(ottavario::euroAmount(1234567.5, locale), euro);
}

QTEST_GUILESS_MAIN(FormatTest)
#include "test_format.moc"
