#pragma once

#include "core/column.h"

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

} // namespace ottavario
