#include "grid_check.h"

#include "core/grid.h"

namespace ottavario {

namespace {
    std::optional<GridProblem> invalidNumber(const Grid& grid)
    {
        for (int box = 0; box < kBoxes; ++box)
            for (int entry = 0; entry < kEntries; ++entry)
                if (grid.isFilled(box, entry) && !isValidMatchNumber(grid.value(box, entry)))
                    return GridProblem { GridProblem::Kind::InvalidNumber, box, entry };
        return std::nullopt;
    }

    // Entry i before entry j before box: the order players have always seen,
    // so the lower entry of the first pair found is the one selected.
    std::optional<GridProblem> repeatedNumber(const Grid& grid)
    {
        for (int i = 0; i < kEntries - 1; ++i)
            for (int j = 1; j < kEntries; ++j) {
                if (i == j)
                    continue;
                for (int box = 0; box < kBoxes; ++box)
                    if (grid.isFilled(box, i) && grid.value(box, j) == grid.value(box, i))
                        return GridProblem { GridProblem::Kind::RepeatedNumber, box, i };
            }
        return std::nullopt;
    }
}

std::optional<GridProblem> checkGrid(const Grid& grid)
{
    if (grid.combinations() == 0)
        return GridProblem { GridProblem::Kind::NoNumbers, 0, 0 };
    // Out-of-range values first: comparing them for repeats would be meaningless.
    if (auto problem = invalidNumber(grid))
        return problem;
    return repeatedNumber(grid);
}

QString problemMessage(GridProblem::Kind kind)
{
    switch (kind) {
    case GridProblem::Kind::NoNumbers:
        return QStringLiteral("Iserire i numeri per elaborare il sistema.");
    case GridProblem::Kind::InvalidNumber:
        return QStringLiteral("Numero non valido: inserire i numeri da 1 a 32.");
    case GridProblem::Kind::RepeatedNumber:
        return QStringLiteral("Numero doppio controllare ");
    }
    return QString();
}

QString problemTitle(GridProblem::Kind kind)
{
    return kind == GridProblem::Kind::NoNumbers ? QStringLiteral("Salva sistema Ottavario*")
                                                : QStringLiteral("Controllo");
}

} // namespace ottavario
