#include "description_file.h"

#include "core/number.h"
#include "settings/settings_file.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace ottavario {

int SystemDescription::numberCount() const
{
    int n = 0;
    for (int c : counts)
        n += c;
    return n;
}

QByteArray printForm(int value)
{
    QByteArray text(1, value < 0 ? '-' : ' ');
    text += QByteArray::number(value < 0 ? -qint64(value) : qint64(value));
    text += ' ';
    return text;
}

QByteArray formatDescription(const Grid& grid, SystemType type, const Conditions& conditions)
{
    QByteArray bytes;
    for (int k = 0; k < kBoxes; ++k) {
        for (QString number : grid.numbersOfBox(k)) {
            // A line break inside an entry would shift every later value.
            number.remove(u'\r');
            number.remove(u'\n');
            bytes += number.toUtf8();
            bytes += "\r\n";
        }
    }
    bytes += kEndOfNumbers.toLatin1();
    bytes += "\r\n";
    bytes += printForm(code(type));
    bytes += "\r\n";
    for (int k = 0; k < kBoxes; ++k) {
        bytes += printForm(grid.count(k));
        bytes += "\r\n";
    }
    return bytes + formatConditionsBlock(conditions);
}

namespace {
    bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

    QString withoutBlanks(QStringView text)
    {
        qsizetype from = 0;
        qsizetype to = text.size();
        while (from < to && isBlank(text[from]))
            ++from;
        while (to > from && isBlank(text[to - 1]))
            --to;
        return text.sliced(from, to - from).toString();
    }

    bool onlyBlankLinesFrom(const QString& text, qsizetype i)
    {
        for (; i < text.size(); ++i)
            if (!isBlank(text[i]) && !isLineEnd(text[i]))
                return false;
        return true;
    }

    QString tooManyValues()
    {
        return QStringLiteral(
            "il file contiene più di %1 valori: non è la descrizione di un sistema")
            .arg(kMaxDescriptionValues);
    }

    bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

    // A count of the file: a whole number from 0 to kEntries, by the number
    // rule; a text without a number is no count, though the rule reads it as 0.
    std::optional<int> countOf(const QString& text)
    {
        QStringView digits(text);
        if (digits.startsWith(u'+') || digits.startsWith(u'-'))
            digits = digits.sliced(1);
        if (digits.startsWith(u'.'))
            digits = digits.sliced(1);
        if (digits.isEmpty() || !isDigit(digits.front()))
            return std::nullopt;
        const double value = readNumber(text);
        if (value < 0 || value > kEntries || value != std::floor(value))
            return std::nullopt;
        return static_cast<int>(value);
    }
}

std::expected<QStringList, QString> descriptionValues(const QString& text)
{
    QStringList values;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        if (values.size() == kMaxDescriptionValues) {
            // Blank lines after the last value are no values.
            if (!onlyBlankLinesFrom(text, i))
                return std::unexpected(tooManyValues());
            break;
        }
        qsizetype end = i;
        while (end < size && !isLineEnd(text[end]) && end - i <= kMaxDescriptionLine)
            ++end;
        if (end - i > kMaxDescriptionLine)
            return std::unexpected(QStringLiteral(
                "la riga %1 è troppo lunga: il file non è la descrizione di un sistema")
                                       .arg(values.size() + 1));
        values.append(withoutBlanks(QStringView(text).sliced(i, end - i)));
        i = end;
        // CR LF, or a lone CR or LF, ends a line.
        if (i < size && text[i] == u'\r')
            ++i;
        if (i < size && text[i] == u'\n')
            ++i;
    }
    while (!values.isEmpty() && values.last().isEmpty())
        values.removeLast();
    return values;
}

std::expected<SystemDescription, QString> parseDescription(const QByteArray& bytes)
{
    if (bytes.size() > kMaxDescriptionBytes)
        return std::unexpected(
            QStringLiteral("il file è troppo grande per essere la descrizione di un sistema"));
    QString text = settings::decodeText(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    auto split = splitConditionsBlock(text);
    if (!split)
        return std::unexpected(split.error());
    const auto read = descriptionValues(split->values);
    if (!read)
        return std::unexpected(read.error());
    const QStringList& values = *read;
    if (values.isEmpty())
        return std::unexpected(QStringLiteral("il file è vuoto"));

    // First reading: the numbers are passed over up to "[Fine]"; then the
    // first value that is a code 5 to 8 gives the type, and the next values
    // are the counts of boxes 1 to 8.
    SystemDescription description;
    int state = 0;
    int markers = 0;
    qsizetype numbersBeforeMarker = 0;
    QStringList countTexts;
    for (qsizetype v = 0; v < values.size(); ++v) {
        const QString& value = values[v];
        if (value == kEndOfNumbers) {
            if (++markers == 1)
                numbersBeforeMarker = v;
            state = 1;
            continue;
        }
        if (state == 1) {
            const double number = readNumber(value);
            const auto type = number == std::floor(number) && std::fabs(number) < 100
                ? typeOfCode(static_cast<int>(number))
                : std::nullopt;
            if (type) {
                description.type = *type;
                state = 2;
            }
        } else if (state >= 2) {
            countTexts.append(value);
        }
    }

    if (markers == 0)
        return std::unexpected(
            QStringLiteral("il file non contiene la descrizione di un sistema (manca [Fine])"));
    if (markers > 1)
        return std::unexpected(QStringLiteral("il file contiene [Fine] più di una volta"));
    if (state < 2)
        return std::unexpected(
            QStringLiteral("dopo [Fine] manca il tipo di sistema (8, 7, 6 o 5)"));
    if (countTexts.size() < kBoxes)
        return std::unexpected(QStringLiteral(
            "mancano dei conteggi delle caselle: ne servono %1, il file ne contiene %2")
                                   .arg(kBoxes)
                                   .arg(countTexts.size()));
    if (countTexts.size() > kBoxes)
        return std::unexpected(
            QStringLiteral("dopo gli %1 conteggi delle caselle il file contiene altri valori")
                .arg(kBoxes));
    for (int k = 0; k < kBoxes; ++k) {
        const auto count = countOf(countTexts[k]);
        if (!count)
            return std::unexpected(
                QStringLiteral("il conteggio della casella %1 vale \"%2\", ma deve essere un "
                               "numero intero da 0 a %3")
                    .arg(QString::number(k + 1), countTexts[k], QString::number(kEntries)));
        description.counts[k] = *count;
    }
    if (numbersBeforeMarker != description.numberCount())
        return std::unexpected(QStringLiteral(
            "prima di [Fine] il file contiene %1 numeri, ma i conteggi delle caselle "
            "ne indicano %2")
                                   .arg(numbersBeforeMarker)
                                   .arg(description.numberCount()));

    // Second reading: box by box, the next c_k values are its numbers.
    qsizetype next = 0;
    for (int k = 0; k < kBoxes; ++k)
        for (int j = 0; j < description.counts[k]; ++j)
            description.grid.entries[k][j] = values[next++];
    description.conditions = std::move(split->conditions);
    return description;
}

namespace {
    QString openFailureReason(const QString& path, const QFile& file)
    {
        const QFileInfo info(path);
        if (!info.exists())
            return QStringLiteral("il file non esiste");
        if (info.isDir())
            return QStringLiteral("è una cartella, non un file");
        if (!info.isFile())
            return QStringLiteral("non è un file normale");
        if (!info.isReadable())
            return QStringLiteral("accesso negato");
        return describe(file.error());
    }
}

FileResult<SystemDescription> readDescription(const QString& path)
{
    QFile file(path);
    const QFileInfo info(path);
    // A folder or a device is refused before it is opened: a pipe would block.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return std::unexpected(FileError { path, openFailureReason(path, file) });
    // One byte past the limit tells a file that is too large.
    const QByteArray bytes = file.read(kMaxDescriptionBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return std::unexpected(FileError { path, describe(file.error()) });
    auto description = parseDescription(bytes);
    if (!description)
        return std::unexpected(FileError { path, description.error() });
    return *description;
}

} // namespace ottavario
