#include "format.h"

#include <cmath>

namespace ottavario {

QLocale withGrouping(QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale;
}

QString groupedInteger(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return QString();
    // Half away from zero, as amounts are rounded on a till.
    const double rounded = std::round(value);
    if (rounded == 0)
        return QString();
    if (std::fabs(rounded) < 9.0e18)
        return withGrouping(locale).toString(static_cast<qlonglong>(rounded));
    return withGrouping(locale).toString(rounded, 'f', 0);
}

QString euroAmount(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        value = 0;
    const double cents = std::round(value * 100) / 100;
    QString text = withGrouping(locale).toString(cents == 0 ? 0.0 : cents, 'f', 2);
    return text;
}

} // namespace ottavario
