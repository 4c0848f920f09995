#pragma once

#include <QtGlobal>

#include <vector>

namespace ottavario {

// Words of `length` symbols from 0 to q-1 (q = 2, 3 or 4, length at most 8)
// such that every word differs from one of them in at most `radius` places.
// Each code is a union of cosets of a linear code over the field of q
// elements: a check matrix H of r rows and a set S of syndromes such that
// every syndrome is within `radius` columns of H from S; the code is every
// word whose syndrome is in S, |S| q^(length - r) words. A few matrices known
// to give small codes come first, then random matrices are tried for every r,
// a bounded number of steps in all; the same arguments
// always give the same code. A word is its number in base q, symbol j the
// digit of q^j. Empty when no such code is smaller than all the words. The
// steps taken are added to `spent` when given.
std::vector<quint32> linearCoveringCode(
    int q, int length, int radius, qint64 work, qint64* spent = nullptr);

} // namespace ottavario
