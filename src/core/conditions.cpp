#include "conditions.h"

#include "core/grid.h"

#include <algorithm>
#include <array>

namespace ottavario {

namespace {
    // Bit n-1 stands for n: the odd numbers are the even bits.
    constexpr ColumnMask kOddNumbers = 0x5555'5555u;

    struct KindName {
        Condition::Kind kind;
        QStringView keyword; // in the description file
        QStringView caption; // for the player
    };
    constexpr std::array<KindName, 4> kKinds = { {
        { Condition::Kind::Numbers, u"numeri", u"Numeri" },
        { Condition::Kind::Sum, u"somma", u"Somma" },
        { Condition::Kind::Odd, u"dispari", u"Dispari" },
        { Condition::Kind::Consecutive, u"consecutivi", u"Consecutivi" },
    } };

    const KindName& nameOf(Condition::Kind kind)
    {
        return *std::find_if(
            kKinds.begin(), kKinds.end(), [kind](const KindName& k) { return k.kind == kind; });
    }

    // Without a popcount instruction in the target, std::popcount is a call
    // into the runtime; the live count makes millions of them.
    constexpr int bitCount(quint32 x)
    {
        x = x - (x >> 1 & 0x5555'5555u);
        x = (x & 0x3333'3333u) + (x >> 2 & 0x3333'3333u);
        x = (x + (x >> 4)) & 0x0f0f'0f0fu;
        return int(x * 0x0101'0101u >> 24);
    }

    bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
    bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

    QList<QStringView> wordsOf(QStringView line)
    {
        QList<QStringView> words;
        qsizetype i = 0;
        while (i < line.size()) {
            while (i < line.size() && isBlank(line[i]))
                ++i;
            const qsizetype from = i;
            while (i < line.size() && !isBlank(line[i]))
                ++i;
            if (i > from)
                words.append(line.sliced(from, i - from));
        }
        return words;
    }

    // A whole decimal number: digits only, few enough to hold in an int.
    std::expected<int, QString> wholeNumber(QStringView word)
    {
        const bool digits = !word.isEmpty() && std::all_of(word.begin(), word.end(), [](QChar c) {
            return c >= u'0' && c <= u'9';
        });
        if (!digits)
            return std::unexpected(
                QStringLiteral("\"%1\" non è un numero intero").arg(word.toString()));
        if (word.size() > 9)
            return std::unexpected(
                QStringLiteral("il numero %1 è troppo grande").arg(word.toString()));
        return word.toInt();
    }

    QString rangeText(const Condition& condition)
    {
        return QStringLiteral("da %1 a %2").arg(condition.lowest).arg(condition.highest);
    }
}

namespace {
    int sumOf(ColumnMask column)
    {
        // A table lookup per byte of the mask.
        static constexpr auto sums = [] {
            std::array<std::array<quint8, 256>, 4> table {};
            for (int byte = 0; byte < 4; ++byte)
                for (int bits = 0; bits < 256; ++bits)
                    for (int j = 0; j < 8; ++j)
                        if (bits >> j & 1)
                            table[byte][bits] += quint8(8 * byte + j + 1);
            return table;
        }();
        return sums[0][column & 0xff] + sums[1][column >> 8 & 0xff] + sums[2][column >> 16 & 0xff]
            + sums[3][column >> 24];
    }

    // Calls f with the function that takes the condition's value from a column.
    template <typename F> decltype(auto) withValue(const Condition& condition, F&& f)
    {
        const ColumnMask group = condition.group;
        switch (condition.kind) {
        case Condition::Kind::Numbers:
            return f([group](ColumnMask c) { return bitCount(c & group); });
        case Condition::Kind::Sum:
            return f([](ColumnMask c) { return sumOf(c); });
        case Condition::Kind::Odd:
            return f([](ColumnMask c) { return bitCount(c & kOddNumbers); });
        case Condition::Kind::Consecutive:
            break;
        }
        return f([](ColumnMask c) { return bitCount(c & (c >> 1)); });
    }

    // Whether each column meets every condition. The live count runs this on
    // every key typed: one pass a condition, each a tight loop without
    // branches on the outcome, is several times faster than asking the
    // conditions column by column.
    std::vector<quint8> inPlayFlags(
        std::span<const ColumnMask> columns, const Conditions& conditions)
    {
        std::vector<quint8> meets(columns.size(), 1);
        for (const Condition& condition : conditions)
            withValue(condition, [&](auto value) {
                const int lowest = condition.lowest;
                const int highest = condition.highest;
                for (size_t i = 0; i < columns.size(); ++i) {
                    const int v = value(columns[i]);
                    meets[i] &= quint8((v >= lowest) & (v <= highest));
                }
            });
        return meets;
    }
}

int Condition::valueOf(ColumnMask column) const
{
    return withValue(*this, [column](auto value) { return value(column); });
}

bool meetsAll(const Conditions& conditions, ColumnMask column)
{
    return std::all_of(conditions.begin(), conditions.end(),
        [column](const Condition& c) { return c.accepts(column); });
}

std::vector<ColumnMask> keepInPlay(
    std::span<const ColumnMask> columns, const Conditions& conditions)
{
    const std::vector<quint8> meets = inPlayFlags(columns, conditions);
    std::vector<ColumnMask> inPlay;
    inPlay.reserve(size_t(std::count(meets.begin(), meets.end(), quint8(1))));
    for (size_t i = 0; i < columns.size(); ++i)
        if (meets[i])
            inPlay.push_back(columns[i]);
    return inPlay;
}

qsizetype countInPlay(std::span<const ColumnMask> columns, const Conditions& conditions)
{
    if (conditions.empty())
        return qsizetype(columns.size());
    const std::vector<quint8> meets = inPlayFlags(columns, conditions);
    return std::count(meets.begin(), meets.end(), quint8(1));
}

std::pair<int, int> fullRange(Condition::Kind kind, ColumnMask group)
{
    switch (kind) {
    case Condition::Kind::Numbers:
        return { 0, group ? std::min(bitCount(group), kColumnSize) : kColumnSize };
    case Condition::Kind::Sum:
        // 1 + ... + 8 and 25 + ... + 32.
        return { 36, 228 };
    case Condition::Kind::Odd:
        return { 0, kColumnSize };
    case Condition::Kind::Consecutive:
        return { 0, kColumnSize - 1 };
    }
    return { 0, 0 };
}

QString keywordOf(Condition::Kind kind) { return nameOf(kind).keyword.toString(); }

QString numbersText(ColumnMask numbers)
{
    QStringList texts;
    for (ColumnMask m = numbers; m; m &= m - 1)
        texts.append(QString::number(std::countr_zero(m) + 1));
    return texts.join(u' ');
}

QString conditionLine(const Condition& condition)
{
    QString line = keywordOf(condition.kind);
    if (condition.kind == Condition::Kind::Numbers)
        line += u' ' + numbersText(condition.group);
    return line + u' ' + rangeText(condition);
}

std::expected<Condition, QString> parseConditionLine(QStringView line)
{
    const QList<QStringView> words = wordsOf(line);
    if (words.isEmpty())
        return std::unexpected(QStringLiteral("la riga è vuota"));
    const auto known = std::find_if(
        kKinds.begin(), kKinds.end(), [&](const KindName& k) { return k.keyword == words[0]; });
    if (known == kKinds.end())
        return std::unexpected(QStringLiteral("la condizione \"%1\" non esiste (si scrive numeri, "
                                              "somma, dispari o consecutivi)")
                                   .arg(words[0].toString()));
    Condition condition;
    condition.kind = known->kind;
    qsizetype next = 1;
    if (condition.kind == Condition::Kind::Numbers) {
        for (; next < words.size() && words[next] != u"da"; ++next) {
            const auto number = wholeNumber(words[next]);
            if (!number)
                return std::unexpected(number.error());
            if (*number < kLowestNumber || *number > kHighestNumber)
                return std::unexpected(QStringLiteral("il numero %1 del gruppo non è tra %2 e %3")
                                           .arg(words[next].toString())
                                           .arg(kLowestNumber)
                                           .arg(kHighestNumber));
            condition.group |= ColumnMask(1) << (*number - 1);
        }
        if (condition.group == 0)
            return std::unexpected(QStringLiteral("il gruppo non contiene numeri"));
    }
    // Then "da", a number, "a", a number, and nothing more.
    for (const auto& [word, value] : { std::pair<QStringView, int*> { u"da", &condition.lowest },
             std::pair<QStringView, int*> { u"a", &condition.highest } }) {
        if (next == words.size())
            return std::unexpected(QStringLiteral("manca \"%1\" con il suo numero").arg(word));
        if (words[next] != word)
            return std::unexpected(QStringLiteral("al posto di \"%1\" ci vuole \"%2\"")
                                       .arg(words[next].toString(), word.toString()));
        if (++next == words.size())
            return std::unexpected(QStringLiteral("dopo \"%1\" manca un numero").arg(word));
        const auto number = wholeNumber(words[next++]);
        if (!number)
            return std::unexpected(number.error());
        *value = *number;
    }
    if (next < words.size())
        return std::unexpected(
            QStringLiteral("dopo l'ultimo numero c'è ancora \"%1\"").arg(words[next].toString()));
    if (condition.lowest > condition.highest)
        return std::unexpected(
            QStringLiteral("%1: il primo valore supera il secondo").arg(rangeText(condition)));
    return condition;
}

QString conditionText(const Condition& condition)
{
    QString text = nameOf(condition.kind).caption.toString();
    if (condition.kind == Condition::Kind::Numbers)
        text += u' ' + numbersText(condition.group);
    return text + QStringLiteral(": ") + rangeText(condition);
}

QByteArray formatConditionsBlock(const Conditions& conditions)
{
    if (conditions.empty())
        return {};
    QByteArray bytes = kConditionsBegin.toLatin1() + "\r\n";
    for (const Condition& condition : conditions)
        bytes += conditionLine(condition).toLatin1() + "\r\n";
    return bytes + kConditionsEnd.toLatin1() + "\r\n";
}

std::expected<SplitDescription, QString> splitConditionsBlock(const QString& text)
{
    // Lines end as the values of a description do: CR LF, or a lone CR or LF.
    struct Line {
        qsizetype from;
        QStringView text;
    };
    auto lineAt = [&](qsizetype i) {
        qsizetype end = i;
        while (end < text.size() && !isLineEnd(text[end]))
            ++end;
        return Line { i, QStringView(text).sliced(i, end - i) };
    };
    auto after = [&](const Line& line) {
        qsizetype i = line.from + line.text.size();
        if (i < text.size() && text[i] == u'\r')
            ++i;
        if (i < text.size() && text[i] == u'\n')
            ++i;
        return i;
    };

    qsizetype i = 0;
    int number = 1;
    for (; i < text.size(); ++number) {
        const Line line = lineAt(i);
        if (line.text.trimmed() == kConditionsBegin)
            break;
        i = after(line);
    }
    SplitDescription split { text.left(i), {} };
    if (i == text.size())
        return split;

    const int begin = number;
    auto refusal = [](int line, const QString& reason) {
        return std::unexpected(QStringLiteral("riga %1: %2").arg(line).arg(reason));
    };
    bool ended = false;
    for (i = after(lineAt(i)), ++number; i < text.size(); ++number) {
        const Line line = lineAt(i);
        i = after(line);
        const QStringView content = line.text.trimmed();
        if (content.isEmpty())
            continue;
        if (ended)
            return refusal(
                number, QStringLiteral("dopo %1 il file contiene altre righe").arg(kConditionsEnd));
        if (content == kConditionsEnd) {
            ended = true;
            continue;
        }
        if (line.text.size() > kMaxConditionLine)
            return refusal(number, QStringLiteral("la riga è troppo lunga"));
        if (split.conditions.size() == size_t(kMaxConditions))
            return refusal(
                number, QStringLiteral("le condizioni sono al massimo %1").arg(kMaxConditions));
        const auto condition = parseConditionLine(content);
        if (!condition)
            return refusal(number, condition.error());
        split.conditions.push_back(*condition);
    }
    if (!ended)
        return refusal(begin,
            QStringLiteral("le condizioni che cominciano qui non finiscono con %1")
                .arg(kConditionsEnd));
    return split;
}

} // namespace ottavario
