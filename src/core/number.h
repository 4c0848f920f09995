#pragma once

#include <QStringView>

namespace ottavario {

// The one rule by which every number is taken from a text: the leading decimal
// number, leading blanks ignored, "." as decimal point; a text without one is 0.
double readNumber(QStringView text);

// readNumber() when the text holds a whole number; used where a fraction
// would make no sense (counts, offsets), truncated toward zero.
long long readWholeNumber(QStringView text);

} // namespace ottavario
