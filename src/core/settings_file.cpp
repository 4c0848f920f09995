#include "settings_file.h"

#include "core/text_decoding.h"

#include <array>

namespace ottavario {

namespace {
    // The fields in the order the file holds them.
    constexpr std::array<QString Settings::*, settings::kValueCount> kFileOrder = {
        &Settings::companyName,
        &Settings::street,
        &Settings::streetNumber,
        &Settings::postcode,
        &Settings::city,
        &Settings::country,
        &Settings::telephone,
        &Settings::fax,
        &Settings::email,
        &Settings::lirePrice,
        &Settings::euroPrice,
        &Settings::verticalOffset,
        &Settings::horizontalOffset,
    };

    bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }
}

Settings Settings::defaults()
{
    Settings settings;
    settings.lirePrice = QStringLiteral("800");
    settings.euroPrice = QStringLiteral("0.41");
    settings.verticalOffset = QStringLiteral("0");
    settings.horizontalOffset = QStringLiteral("0");
    return settings;
}

FileResult<Settings> readSettings(const QString& path)
{
    const auto values = settings::readAll(path);
    if (!values)
        return std::unexpected(values.error());
    return settings::fromValues(*values);
}

FileResult<void> writeSettings(const QString& path, const Settings& settings)
{
    return settings::writeAll(path, settings::toValues(settings));
}

namespace settings {

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

    Settings fromValues(const QStringList& values)
    {
        Settings settings;
        for (qsizetype i = 0; i < kValueCount && i < values.size(); ++i)
            settings.*kFileOrder[size_t(i)] = values[i];
        settings.extra = values.mid(kValueCount);
        return settings;
    }

    QStringList toValues(const Settings& settings)
    {
        QStringList values;
        values.reserve(kValueCount + settings.extra.size());
        for (QString Settings::*field : kFileOrder)
            values.append(settings.*field);
        values.append(settings.extra);
        return values;
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

} // namespace settings

} // namespace ottavario
