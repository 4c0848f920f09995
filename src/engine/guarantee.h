#pragma once

#include "core/column.h"

#include <QtGlobal>

#include <span>

namespace ottavario {

// Whether every developed column keeps its points in a kept set.
struct GuaranteeCheck {
    qsizetype firstUncovered = -1; // index in the developed columns, -1 when none

    bool holds() const { return firstUncovered < 0; }
    explicit operator bool() const { return holds(); }
};

// Every developed column must share at least `threshold` numbers with some
// kept column (with 8 or more: the same set must be kept). Works through the
// t-subsets of the kept columns, as the reduction does, so a calculation of
// 390,625 columns is checked in milliseconds.
GuaranteeCheck verifyGuarantee(
    std::span<const ColumnMask> developed, std::span<const ColumnMask> kept, int threshold);

} // namespace ottavario
