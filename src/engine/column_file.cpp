#include "column_file.h"

#include "core/number.h"

#include <QFileInfo>

#include <array>
#include <bit>
#include <cstring>

namespace ottavario {

QByteArray typedField(QStringView text)
{
    QByteArray field = text.toLatin1();
    if (field.size() < 2)
        field.prepend(QByteArray(2 - field.size(), ' '));
    return field.left(2);
}

void appendCanonicalField(QByteArray& out, int number)
{
    out += number >= 10 ? char('0' + number / 10 % 10) : ' ';
    out += char('0' + number % 10);
}

void appendCanonicalRecord(QByteArray& out, const ColumnNumbers& numbers)
{
    for (int n : numbers)
        appendCanonicalField(out, n);
}

QByteArray canonicalRecord(const ColumnNumbers& numbers)
{
    QByteArray out;
    out.reserve(kRecordSize);
    appendCanonicalRecord(out, numbers);
    return out;
}

ColumnNumbers parseRecord(const char* record)
{
    ColumnNumbers numbers {};
    for (int k = 0; k < kColumnSize; ++k) {
        const char field[2] = { record[2 * k], record[2 * k + 1] };
        numbers[k] = static_cast<int>(readWholeNumber(QString::fromLatin1(field, 2)));
    }
    return numbers;
}

std::optional<ColumnMask> maskOfRecord(const char* record)
{
    ColumnMask mask = 0;
    for (int k = 0; k < kColumnSize; ++k) {
        const char hi = record[2 * k];
        const char lo = record[2 * k + 1];
        if (lo < '0' || lo > '9' || !(hi == ' ' || (hi >= '0' && hi <= '9')))
            return std::nullopt;
        const int n = (hi == ' ' ? 0 : (hi - '0') * 10) + (lo - '0');
        const ColumnMask bit = n >= 1 && n <= 32 ? ColumnMask(1) << (n - 1) : 0;
        if (!bit || (mask & bit))
            return std::nullopt;
        mask |= bit;
    }
    return mask;
}

QString previewLine(const ColumnNumbers& ascending)
{
    QString line;
    line.reserve(26);
    for (int n : ascending) {
        line += QString::number(n).rightJustified(n < 10 ? 3 : 2, u' ');
        line += u' ';
    }
    line.chop(1);
    return u' ' + line;
}

FileResult<std::vector<ColumnMask>> readColumnMasks(const QString& path)
{
    const QFileInfo info(path);
    if (info.isFile() && columnCount(info.size()) > kMaxColumns)
        return std::unexpected(FileError { path,
            QStringLiteral("contiene %1 colonne, più delle %2 che un sistema può avere")
                .arg(columnCount(info.size()))
                .arg(kMaxColumns) });
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return std::unexpected(bytes.error());
    const qint64 count = columnCount(bytes->size());
    std::vector<ColumnMask> masks;
    masks.reserve(static_cast<size_t>(count));
    for (qint64 r = 0; r < count; ++r) {
        const auto mask = maskOfRecord(bytes->constData() + r * kRecordSize);
        if (!mask)
            return std::unexpected(FileError { path,
                QStringLiteral("la colonna n° %1 non contiene 8 numeri diversi da 1 a 32")
                    .arg(r + 1) });
        masks.push_back(*mask);
    }
    return masks;
}

QByteArray formatColumnMasks(const std::vector<ColumnMask>& masks)
{
    // The field of the lowest bit left, by its count of trailing zeros; 32,
    // no bit left, is the field of 0.
    static constexpr auto fields = [] {
        std::array<std::array<char, 2>, 33> table {};
        for (int zeros = 0; zeros <= 32; ++zeros) {
            const int n = (zeros + 1) % 33;
            table[zeros] = { n >= 10 ? char('0' + n / 10) : ' ', char('0' + n % 10) };
        }
        return table;
    }();
    // Written in place: a system can hold 390,625 columns.
    QByteArray out(static_cast<qsizetype>(masks.size()) * kRecordSize, Qt::Uninitialized);
    char* field = out.data();
    for (ColumnMask m : masks) {
        for (int k = 0; k < kColumnSize; ++k, field += 2) {
            std::memcpy(field, fields[std::countr_zero(m)].data(), 2);
            m &= m - 1;
        }
    }
    return out;
}

} // namespace ottavario
