// The number rule, against the C library reading the same leading number:
// equal where the digits fit a double, close elsewhere, never NaN.
#include "fuzz_support.h"

#include "core/number.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>

using namespace ottavario;

namespace {

void checkAgainstLibrary(const QString& text)
{
    const double value = readNumber(text);
    fuzz::require(!std::isnan(value), "NaN");

    static const QRegularExpression leading(
        QStringLiteral("^[ \\t]*([+-]?)([0-9]*)(?:\\.([0-9]*))?"));
    // The leading number is ASCII; other characters, lone surrogates
    // included, only end it.
    QString ascii = text;
    for (QChar& c : ascii)
        if (c.unicode() > 0x7F)
            c = u'?';
    const auto match = leading.match(ascii);
    const QString integer = match.captured(2);
    const QString fraction = match.captured(3);
    if (integer.isEmpty() && fraction.isEmpty()) {
        fuzz::require(value == 0, "a text without digits is not 0");
    } else {
        const QByteArray number = (match.captured(1) + integer + u'.' + fraction + u'0').toLatin1();
        const double expected = std::strtod(number.constData(), nullptr);
        QString digits = integer + fraction;
        while (digits.startsWith(u'0'))
            digits.remove(0, 1);
        if (digits.size() <= 15 && fraction.size() <= 22) {
            fuzz::require(value == expected, "not the double of the literal");
        } else if (std::isinf(value) || std::isinf(expected)) {
            fuzz::require(std::fabs(value) >= 1e300 && std::fabs(expected) >= 1e300,
                "infinite against a finite number");
            fuzz::require(std::signbit(value) == std::signbit(expected), "sign lost");
        } else {
            // Digits past 17 are dropped and tiny fractions fall to 0.
            fuzz::require(std::fabs(value - expected) <= 1e-14 * std::fabs(expected)
                    || std::fabs(value - expected) < 1e-280,
                "far from the number written");
        }
    }

    const long long whole = readWholeNumber(text);
    fuzz::require(whole >= -9'000'000'000'000'000'000LL && whole <= 9'000'000'000'000'000'000LL,
        "whole number out of range");
    if (std::fabs(value) < 9.0e18)
        fuzz::require(std::fabs(value - double(whole)) < 1, "whole number not the truncation");
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    checkAgainstLibrary(QString::fromUtf8(bytes));
    // The same bytes as UTF-16 code units, lone surrogates included.
    checkAgainstLibrary(
        QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2));
    return 0;
}
