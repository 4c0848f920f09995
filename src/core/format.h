#pragma once

#include <QLocale>
#include <QString>

namespace ottavario {

// The locale with its thousands separator on, whatever the caller's options.
QLocale withGrouping(QLocale locale);

// "##,##": rounded to a whole number, thousands grouped, and 0 shown as nothing.
QString groupedInteger(double value, const QLocale& locale = QLocale());

// "##,##0.00": at least one integer digit, thousands grouped, two decimals.
QString euroAmount(double value, const QLocale& locale = QLocale());

} // namespace ottavario
