// Times the tabulation of the largest column file a grid can give rise to
// (5 numbers in every box: 390,625 records), against reading and checking the
// same file, which every print has to do anyway.
//
//   bench_tabulation [runs, default 5]

#include "bench_timing.h"

#include "engine/column_file.h"
#include "print/flow_pagination.h"
#include "print/tabulation_document.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace ottavario;
using bench::bestOf;
using namespace ottavario::print;

namespace {

// 5^8 columns of 8 different numbers, each a little apart from the last.
std::vector<ColumnMask> largestSystem()
{
    std::vector<ColumnMask> masks;
    masks.reserve(390625);
    for (int r = 0; r < 390625; ++r) {
        ColumnNumbers numbers {};
        int digits = r;
        for (int k = 0; k < kColumnSize; ++k, digits /= 5)
            numbers[k] = 4 * k + digits % 5 % 4 + 1;
        masks.push_back(maskOf(numbers));
    }
    return masks;
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir dir;
    const QString stg = dir.filePath(QStringLiteral("grande.stg"));
    {
        QFile file(stg);
        if (!file.open(QIODevice::WriteOnly) || file.write(formatColumnMasks(largestSystem())) < 0)
            return 2;
    }

    qsizetype columns = 0;
    const double reading = bestOf(runs, [&] {
        const auto masks = readColumnMasks(stg);
        columns = masks ? qsizetype(masks->size()) : -1;
    });
    std::printf("columns %lld, best of %d runs\n", static_cast<long long>(columns), runs);
    std::printf("%-36s %9.1f ms  1.00\n", "read and check the column file", reading * 1000);

    qsizetype lines = 0;
    const double building = bestOf(runs, [&] {
        const auto flow = tabulationDocument(stg, TabulationLayout::Columns, QStringLiteral("800"));
        lines = flow ? flow->lines.size() : -1;
    });
    std::printf("%-36s %9.1f ms %5.2f  (%lld lines)\n", "build the listing (Colonne)",
        building * 1000, building / reading, static_cast<long long>(lines));

    const auto flow = tabulationDocument(stg, TabulationLayout::Columns, QStringLiteral("800"));
    if (!flow)
        return 2;
    qsizetype pages = 0;
    const double paginating
        = bestOf(runs, [&] { pages = paginate(*flow, defaultPageLayout()).pages.size(); });
    std::printf("%-36s %9.1f ms %5.2f  (%lld A4 pages)\n", "lay it out on pages", paginating * 1000,
        paginating / reading, static_cast<long long>(pages));
    std::printf("%-36s %9.1f ms %5.2f\n", "file to pages in all", (building + paginating) * 1000,
        (building + paginating) / reading);
    return 0;
}
