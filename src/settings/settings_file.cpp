#include "settings_file.h"

#include <QStringDecoder>

#include <array>

namespace ottavario::settings {

QStringList defaultValues()
{
    QStringList values(kValueCount);
    values[LirePrice - 1] = QStringLiteral("800");
    values[EuroPrice - 1] = QStringLiteral("0.41");
    values[VerticalOffset - 1] = QStringLiteral("0");
    values[HorizontalOffset - 1] = QStringLiteral("0");
    return values;
}

QString value(const QStringList& values, int number)
{
    return number >= 1 && number <= values.size() ? values[number - 1] : QString();
}

namespace {
    // Bytes 0x80-0x9F of Windows-1252; the rest match Latin-1.
    constexpr std::array<char16_t, 32> kCp1252High = {
        0x20AC,
        0x0081,
        0x201A,
        0x0192,
        0x201E,
        0x2026,
        0x2020,
        0x2021, //
        0x02C6,
        0x2030,
        0x0160,
        0x2039,
        0x0152,
        0x008D,
        0x017D,
        0x008F, //
        0x0090,
        0x2018,
        0x2019,
        0x201C,
        0x201D,
        0x2022,
        0x2013,
        0x2014, //
        0x02DC,
        0x2122,
        0x0161,
        0x203A,
        0x0153,
        0x009D,
        0x017E,
        0x0178,
    };

    bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
}

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text.append(QChar(b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : char16_t(b)));
    }
    return text;
}

QStringList parseValues(const QString& text)
{
    QStringList values;
    const qsizetype size = text.size();
    qsizetype i = 0;
    // Moves past the separator that ends a value: a comma, or a line end.
    auto skipSeparator = [&] {
        while (i < size && isBlank(text[i]))
            ++i;
        if (i < size && text[i] == u',') {
            ++i;
        } else if (i < size && text[i] == u'\r') {
            ++i;
            if (i < size && text[i] == u'\n')
                ++i;
        } else if (i < size && text[i] == u'\n') {
            ++i;
        }
    };
    while (values.size() < kMaxValues) {
        while (i < size && isBlank(text[i]))
            ++i;
        if (i >= size)
            break;
        if (text[i] == u'"') {
            // No value holds a line end, so a quote left open ends with its line
            // instead of swallowing the next one and moving every later value.
            qsizetype close = i + 1;
            while (close < size && text[close] != u'"' && !isLineEnd(text[close]))
                ++close;
            values.append(text.mid(i + 1, close - i - 1));
            i = close < size && text[close] == u'"' ? close + 1 : close;
            // Anything between the closing quote and the separator is dropped.
            while (i < size && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
            skipSeparator();
        } else {
            qsizetype end = i;
            while (end < size && text[end] != u',' && !isLineEnd(text[end]))
                ++end;
            values.append(text.mid(i, end - i).trimmed());
            i = end;
            skipSeparator();
        }
    }
    return values;
}

QByteArray formatValues(const QStringList& values)
{
    QByteArray bytes;
    for (const QString& v : values) {
        bytes += '"';
        bytes += v.toUtf8();
        bytes += "\"\r\n";
    }
    return bytes;
}

FileResult<QStringList> readAll(const QString& path)
{
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return std::unexpected(bytes.error());
    return parseValues(decodeText(*bytes));
}

FileResult<void> writeAll(const QString& path, const QStringList& values)
{
    return writeFileAtomically(path, formatValues(values));
}

FileResult<void> rewriteCalibration(
    const QString& path, const QString& verticalOffset, const QString& horizontalOffset)
{
    auto values = readAll(path);
    if (!values)
        return std::unexpected(values.error());
    if (values->size() >= VerticalOffset)
        (*values)[VerticalOffset - 1] = verticalOffset;
    if (values->size() >= HorizontalOffset)
        (*values)[HorizontalOffset - 1] = horizontalOffset;
    return writeAll(path, *values);
}

} // namespace ottavario::settings
