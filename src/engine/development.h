#pragma once

#include "core/column.h"
#include "core/conditions.h"

#include <QByteArray>

#include <vector>

namespace ottavario {

struct Grid;

// Every combination of one number per box whose 8 numbers differ, in the
// classic order: box 1 slowest, box 8 fastest.
struct DevelopedColumns {
    std::vector<ColumnMask> masks; // one per column, development order
    QByteArray records; // the developed work file: typed fields in box order

    qsizetype count() const { return static_cast<qsizetype>(masks.size()); }
};

// The filled entries of each box are taken in index order (gaps closed). The
// grid should pass checkGrid(); an entry that is not a valid match number is
// left out rather than developed.
DevelopedColumns developColumns(const Grid& grid);

// Drops the columns, masks and records alike, that miss a condition; the
// others keep their order.
void dropOutOfPlay(DevelopedColumns& developed, const Conditions& conditions);

// The same columns as masks alone, without the work file's records.
std::vector<ColumnMask> developMasks(const Grid& grid);

// The developed columns that meet every condition, in development order: the
// columns a conditioned system covers and can win with; every developed
// column when there are no conditions.
std::vector<ColumnMask> columnsInPlay(const Grid& grid, const Conditions& conditions);

} // namespace ottavario
