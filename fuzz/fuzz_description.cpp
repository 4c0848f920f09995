// The .stt description: any bytes give a description or a reason, a
// description is consistent with its counts, and writing it back reads the
// same grid and conditions.
#include "fuzz_support.h"

#include "systems/description_file.h"

using namespace ottavario;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const auto parsed = parseDescription(bytes);

    const auto read = readDescription(fuzz::asFile(bytes, QStringLiteral("sistema.stt")));
    fuzz::require(
        read.has_value() == parsed.has_value(), "the file reader and the parser disagree");
    if (!parsed) {
        fuzz::require(!parsed.error().isEmpty(), "a refusal without a reason");
        fuzz::require(read.error().reason == parsed.error(), "different reasons for one file");
        return 0;
    }
    fuzz::require(read->grid.entries == parsed->grid.entries, "different grids for one file");

    int numbers = 0;
    for (int k = 0; k < kBoxes; ++k) {
        const int count = parsed->counts[k];
        fuzz::require(count >= 0 && count <= kEntries, "a count out of range");
        numbers += count;
        for (int j = count; j < kEntries; ++j)
            fuzz::require(parsed->grid.entries[k][j].isEmpty(), "an entry past the count");
        for (int j = 0; j < count; ++j) {
            const QString& entry = parsed->grid.entries[k][j];
            fuzz::require(
                !entry.contains(u'\r') && !entry.contains(u'\n'), "a line end in an entry");
            fuzz::require(entry.size() <= kMaxDescriptionLine, "an entry longer than a line");
            fuzz::require(entry != kEndOfNumbers, "the end marker taken for a number");
        }
    }
    fuzz::require(numbers == parsed->numberCount(), "numberCount disagrees with the counts");
    fuzz::require(threshold(parsed->type) >= 5 && threshold(parsed->type) <= 8, "no system type");

    // Saving writes the filled entries with gaps closed: that is what comes back.
    fuzz::require(parsed->conditions.size() <= size_t(kMaxConditions), "too many conditions");
    for (const Condition& condition : parsed->conditions)
        fuzz::require(condition.lowest <= condition.highest
                && (condition.kind != Condition::Kind::Numbers || condition.group != 0),
            "a condition the reader should have refused");

    const auto again
        = parseDescription(formatDescription(parsed->grid, parsed->type, parsed->conditions));
    fuzz::require(again.has_value(), "a written description refused");
    fuzz::require(again->type == parsed->type, "the type changed by a rewrite");
    fuzz::require(again->conditions == parsed->conditions, "the conditions changed by a rewrite");
    for (int k = 0; k < kBoxes; ++k) {
        const QStringList kept = parsed->grid.numbersOfBox(k);
        fuzz::require(again->counts[k] == kept.size(), "a count changed by a rewrite");
        for (int j = 0; j < kept.size(); ++j)
            fuzz::require(again->grid.entries[k][j] == kept[j], "a number changed by a rewrite");
    }
    return 0;
}
