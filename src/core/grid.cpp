#include "grid.h"

#include "number.h"

namespace ottavario {

double Grid::value(int box, int entry) const { return readNumber(entries[box][entry]); }

int Grid::count(int box) const
{
    int c = 0;
    for (int i = 0; i < kEntries; ++i)
        c += isFilled(box, i) ? 1 : 0;
    return c;
}

std::array<int, kBoxes> Grid::counts() const
{
    std::array<int, kBoxes> c {};
    for (int k = 0; k < kBoxes; ++k)
        c[k] = count(k);
    return c;
}

long long Grid::combinations() const
{
    long long n = 1;
    for (int c : counts())
        n *= c;
    return n;
}

QStringList Grid::numbersOfBox(int box) const
{
    QStringList numbers;
    for (int i = 0; i < kEntries; ++i)
        if (isFilled(box, i))
            numbers.append(entries[box][i]);
    return numbers;
}

int Grid::entryOfNumber(int box, int j) const
{
    for (int i = 0; i < kEntries; ++i)
        if (isFilled(box, i) && j-- == 0)
            return i;
    return -1;
}

bool isValidMatchNumber(double value)
{
    return value >= kLowestNumber && value <= kHighestNumber && value == static_cast<int>(value);
}

} // namespace ottavario
