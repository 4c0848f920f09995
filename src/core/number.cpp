#include "number.h"

#include <cmath>

namespace ottavario {

namespace {
    bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
}

double readNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && isBlank(text[i]))
        ++i;

    bool negative = false;
    if (i < size && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }

    // Digits are accumulated as an integer and scaled once, so "0.41" reads
    // as the same double as the literal 0.41. Digits past what a double holds
    // are dropped (integer ones still scale), so a long run never gives inf / inf.
    constexpr double kFullMantissa = 1e17;
    double mantissa = 0;
    int fractionDigits = 0;
    int droppedIntegerDigits = 0;
    bool seenDigit = false;
    while (i < size && isDigit(text[i])) {
        if (mantissa < kFullMantissa)
            mantissa = mantissa * 10 + (text[i].unicode() - u'0');
        else
            ++droppedIntegerDigits;
        seenDigit = true;
        ++i;
    }
    if (i < size && text[i] == u'.') {
        ++i;
        while (i < size && isDigit(text[i])) {
            if (mantissa < kFullMantissa) {
                mantissa = mantissa * 10 + (text[i].unicode() - u'0');
                ++fractionDigits;
            }
            seenDigit = true;
            ++i;
        }
    }
    if (!seenDigit)
        return 0;
    double value = fractionDigits ? mantissa / std::pow(10.0, fractionDigits) : mantissa;
    if (droppedIntegerDigits)
        value *= std::pow(10.0, droppedIntegerDigits);
    return negative ? -value : value;
}

long long readWholeNumber(QStringView text)
{
    const double value = readNumber(text);
    // Too many digits read as infinite: clamped like any other huge number.
    if (std::isnan(value))
        return 0;
    if (value >= 9.0e18)
        return 9'000'000'000'000'000'000LL;
    if (value <= -9.0e18)
        return -9'000'000'000'000'000'000LL;
    return static_cast<long long>(value);
}

} // namespace ottavario
