#include "development.h"

#include "column_file.h"
#include "core/grid.h"
#include "core/number.h"

#include <array>
#include <cstring>

namespace ottavario {

namespace {
    struct Choice {
        ColumnMask bit = 0;
        char field[2] = { ' ', ' ' };
    };

    struct Box {
        std::array<Choice, kEntries> choices {};
        int size = 0;
    };

    struct Developer {
        std::array<Box, kBoxes> boxes {};
        char record[kRecordSize] {};
        char* next = nullptr; // where the next record goes in out.records
        DevelopedColumns out;

        void run(int box, ColumnMask mask)
        {
            const Box& b = boxes[box];
            for (int e = 0; e < b.size; ++e) {
                const Choice& c = b.choices[e];
                // A number already taken by an earlier box drops the combination.
                if (mask & c.bit)
                    continue;
                record[2 * box] = c.field[0];
                record[2 * box + 1] = c.field[1];
                if (box == kBoxes - 1) {
                    out.masks.push_back(mask | c.bit);
                    std::memcpy(next, record, kRecordSize);
                    next += kRecordSize;
                } else {
                    run(box + 1, mask | c.bit);
                }
            }
        }
    };
}

DevelopedColumns developColumns(const Grid& grid)
{
    Developer developer;
    long long combinations = 1;
    for (int k = 0; k < kBoxes; ++k) {
        Box& box = developer.boxes[k];
        for (const QString& text : grid.numbersOfBox(k)) {
            const double value = readNumber(text);
            if (!isValidMatchNumber(value))
                continue;
            Choice& c = box.choices[box.size++];
            c.bit = ColumnMask(1) << (static_cast<int>(value) - 1);
            const QByteArray field = typedField(text);
            c.field[0] = field[0];
            c.field[1] = field[1];
        }
        combinations *= box.size;
    }
    if (combinations == 0)
        return {};
    developer.out.masks.reserve(static_cast<size_t>(combinations));
    developer.out.records.resize(static_cast<qsizetype>(combinations) * kRecordSize);
    developer.next = developer.out.records.data();
    developer.run(0, 0);
    developer.out.records.truncate(developer.out.count() * kRecordSize);
    return std::move(developer.out);
}

} // namespace ottavario
