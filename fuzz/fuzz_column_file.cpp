// The .stg column file: any bytes give the columns or the number of the first
// record that is not one; the three ways of reading a record agree.
#include "fuzz_support.h"

#include "engine/column_file.h"

#include <algorithm>
#include <bit>

using namespace ottavario;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const qint64 records = columnCount(bytes.size());

    qint64 firstBad = 0;
    for (qint64 r = 0; r < records; ++r) {
        const char* record = bytes.constData() + r * kRecordSize;
        // The field reader takes any bytes; on a column it reads its numbers.
        ColumnNumbers numbers = parseRecord(record);
        const auto mask = maskOfRecord(record);
        if (!mask) {
            if (!firstBad)
                firstBad = r + 1;
            continue;
        }
        fuzz::require(std::popcount(*mask) == kColumnSize, "a column without 8 numbers");
        std::sort(numbers.begin(), numbers.end());
        fuzz::require(numbers == numbersOf(*mask), "field reader and mask reader disagree");
        const QByteArray canonical = canonicalRecord(numbers);
        fuzz::require(maskOfRecord(canonical.constData()) == mask, "canonical record misread");
        fuzz::require(formatColumnMasks({ *mask }) == canonical, "two canonical forms");
    }

    const auto read = readColumnMasks(fuzz::asFile(bytes, QStringLiteral("sistema.stg")));
    if (firstBad) {
        fuzz::require(!read.has_value(), "a record that is no column accepted");
        fuzz::require(read.error().reason.contains(QStringLiteral("n° %1 ").arg(firstBad)),
            "the refusal names another record");
        return 0;
    }
    fuzz::require(read.has_value(), "a file of columns refused");
    fuzz::require(qint64(read->size()) == records, "not one column a record");
    for (qint64 r = 0; r < records; ++r)
        fuzz::require((*read)[size_t(r)] == maskOfRecord(bytes.constData() + r * kRecordSize),
            "columns out of order");
    return 0;
}
