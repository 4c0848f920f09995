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
        bool withRecords = true;
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
                    if (withRecords) {
                        std::memcpy(next, record, kRecordSize);
                        next += kRecordSize;
                    }
                } else {
                    run(box + 1, mask | c.bit);
                }
            }
        }
    };
}

namespace {
    DevelopedColumns develop(const Grid& grid, bool withRecords)
    {
        Developer developer;
        developer.withRecords = withRecords;
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
        if (withRecords) {
            developer.out.records.resize(static_cast<qsizetype>(combinations) * kRecordSize);
            developer.next = developer.out.records.data();
        }
        developer.run(0, 0);
        developer.out.records.truncate(developer.out.count() * kRecordSize);
        return std::move(developer.out);
    }
}

DevelopedColumns developColumns(const Grid& grid) { return develop(grid, true); }

void dropOutOfPlay(DevelopedColumns& developed, const Conditions& conditions)
{
    if (conditions.empty())
        return;
    char* records = developed.records.data();
    size_t kept = 0;
    for (size_t i = 0; i < developed.masks.size(); ++i) {
        if (!meetsAll(conditions, developed.masks[i]))
            continue;
        developed.masks[kept] = developed.masks[i];
        std::memmove(records + kept * kRecordSize, records + i * kRecordSize, kRecordSize);
        ++kept;
    }
    developed.masks.resize(kept);
    developed.records.truncate(qsizetype(kept) * kRecordSize);
}

std::vector<ColumnMask> developMasks(const Grid& grid) { return develop(grid, false).masks; }

std::vector<ColumnMask> columnsInPlay(const Grid& grid, const Conditions& conditions)
{
    std::vector<ColumnMask> developed = developMasks(grid);
    if (conditions.empty())
        return developed;
    return keepInPlay(developed, conditions);
}

} // namespace ottavario
