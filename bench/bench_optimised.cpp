// Kept columns of the optimised reduction on the reference grids, for 7, 6
// and 5 points: the greedy, the sizes this program reached before the
// structured codes, the sizes now, the best known, and the time.
// Usage: bench_optimised [work [threads [grid name]]]
//        bench_optimised --cbc [seconds]   mixed grids against an exact solver
// The second form runs `cbc` (Debian package coinor-cbc) on each cover
// problem with a time limit and compares the two sets, both verified.
#include "core/grid.h"
#include "engine/cover_problem.h"
#include "engine/development.h"
#include "engine/guarantee.h"
#include "engine/optimised_reduction.h"
#include "engine/reduction.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace ottavario;

namespace {
using Boxes = std::array<std::vector<int>, kBoxes>;

struct BenchGrid {
    const char* name;
    Boxes boxes;
    std::array<int, 3> before; // t = 7, 6, 5, kept before the structured codes
    std::array<int, 3> bestKnown; // 0 when none is known
};

Grid gridOf(const Boxes& boxes)
{
    Grid grid;
    for (int k = 0; k < kBoxes; ++k)
        for (size_t e = 0; e < boxes[k].size(); ++e)
            grid.entries[k][e] = QString::number(boxes[k][e]);
    return grid;
}

Boxes disjoint(int perBox)
{
    Boxes boxes;
    for (int k = 0; k < kBoxes; ++k)
        for (int i = 1; i <= perBox; ++i)
            boxes[k].push_back(perBox * k + i);
    return boxes;
}

const std::vector<BenchGrid>& referenceGrids()
{
    static const std::vector<BenchGrid> all {
        { "disjoint 2", disjoint(2), { 32, 12, 4 }, { 32, 12, 4 } },
        { "disjoint 3", disjoint(3), { 486, 81, 27 }, { 486, 81, 27 } },
        { "disjoint 4", disjoint(4), { 4096, 448, 128 }, { 3456, 352, 96 } },
        { "medium",
            { { { 1, 7, 26 }, { 8, 21, 27 }, { 3, 9, 28 }, { 2, 5 }, { 20, 22 }, { 18, 24 }, { 13 },
                { 19 } } },
            { 24, 8, 3 }, { 0, 8, 3 } },
        // Sizes 2 to 5, three numbers shared between boxes.
        { "mixed",
            { { { 1, 2, 3, 4 }, { 2, 5, 6 }, { 7, 8, 9, 10, 11 }, { 12, 13 }, { 13, 14, 15, 16 },
                { 17, 18, 19 }, { 20, 21, 22, 23, 24 }, { 24, 25, 26 } } },
            { 1196, 170, 33 }, { 0, 0, 0 } },
        { "largest",
            { { { 1, 2, 3, 4, 5 }, { 1, 2, 6, 7, 8 }, { 9, 10, 11, 12, 13 }, { 9, 10, 14, 15, 16 },
                { 17, 18, 19, 20, 21 }, { 17, 18, 22, 23, 24 }, { 25, 26, 27, 28, 29 },
                { 25, 26, 30, 31, 32 } } },
            { 12422, 1283, 195 }, { 0, 0, 0 } },
    };
    return all;
}

// A few thousand columns at most: boxes of 1 to 5 numbers, some shared.
const std::vector<Boxes>& mixedGrids()
{
    static const std::vector<Boxes> all {
        { { { 1, 2, 3 }, { 4, 5, 6 }, { 7, 8 }, { 9, 10, 11 }, { 12, 13 }, { 14 }, { 15, 16, 17 },
            { 18, 19 } } },
        { { { 1, 2, 3, 4 }, { 3, 4, 5, 6 }, { 7, 8, 9 }, { 9, 10, 11 }, { 12 }, { 13, 14 },
            { 15, 16, 17, 18 }, { 19, 20 } } },
        { { { 1, 2, 3, 4, 5 }, { 6, 7 }, { 8, 9, 10 }, { 11, 12, 13 }, { 14, 15 }, { 16 },
            { 17, 18, 19 }, { 20, 21 } } },
        { { { 1, 2, 3 }, { 2, 3, 4 }, { 3, 4, 5 }, { 6, 7, 8 }, { 9, 10 }, { 11, 12, 13 },
            { 14, 15 }, { 16, 17, 18, 19 } } },
        { { { 1, 2 }, { 3, 4 }, { 5, 6, 7, 8, 9 }, { 10, 11, 12 }, { 13, 14, 15 }, { 16, 17 },
            { 18, 19, 20 }, { 21, 22 } } },
    };
    return all;
}

double cpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

QByteArray sizeText(int size)
{
    return size > 0 ? QByteArray::number(size) : QByteArrayLiteral("-");
}

int runReferenceGrids(int argc, char** argv)
{
    OptimisationOptions options;
    if (argc > 1)
        options.work = std::atoll(argv[1]);
    if (argc > 2)
        options.threads = std::atoi(argv[2]);
    std::printf("work bound %lld steps, %d thread(s)\n\n", static_cast<long long>(options.work),
        options.threads);
    // On a machine shared with other work, the processor time tells more than the clock.
    std::printf("%-11s %8s %2s %8s %7s %7s %7s %8s %8s %s\n", "grid", "columns", "t", "greedy",
        "before", "now", "known", "ms", "cpu ms", "guarantee");
    for (const BenchGrid& g : referenceGrids()) {
        if (argc > 3 && QByteArray(g.name) != argv[3])
            continue;
        const DevelopedColumns developed = developColumns(gridOf(g.boxes));
        for (int t = 7; t >= 5; --t) {
            const std::vector<ColumnMask> greedy = reduceColumns(developed.masks, t);
            QElapsedTimer clock;
            clock.start();
            const double cpuBefore = cpuSeconds();
            const std::vector<ColumnMask> kept = optimiseReduction(developed.masks, t, options);
            const qint64 ms = clock.elapsed();
            const double cpuMs = (cpuSeconds() - cpuBefore) * 1e3;
            const bool holds = verifyGuarantee(developed.masks, kept, t).holds()
                && verifyGuarantee(developed.masks, greedy, t).holds();
            const size_t row = static_cast<size_t>(7 - t);
            std::printf("%-11s %8lld %2d %8zu %7d %7zu %7s %8lld %8.0f %s\n", g.name,
                static_cast<long long>(developed.count()), t, greedy.size(), g.before[row],
                kept.size(), sizeText(g.bestKnown[row]).constData(), static_cast<long long>(ms),
                cpuMs, holds ? "verified" : "FAILED");
            std::fflush(stdout);
        }
    }
    return 0;
}

// The cover problem as a 0-1 program: one variable per distinct column, one
// row per column saying that something close to it is kept.
bool writeProgram(const CoverProblem& problem, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&file);
    out << "Minimize\n obj:";
    for (int i = 0; i < problem.count(); ++i)
        out << " + x" << i;
    out << "\nSubject To\n";
    for (int i = 0; i < problem.count(); ++i) {
        out << " c" << i << ":";
        problem.forCovered(i, [&](int d) { out << " + x" << d; });
        out << " >= 1\n";
    }
    out << "Binary\n";
    for (int i = 0; i < problem.count(); ++i)
        out << " x" << i << "\n";
    out << "End\n";
    return out.status() == QTextStream::Ok;
}

struct SolverResult {
    std::vector<ColumnMask> kept;
    QString status;
    bool ran = false;
};

SolverResult runSolver(const CoverProblem& problem, int seconds, const QString& folder)
{
    SolverResult result;
    const QString program = folder + QStringLiteral("/cover.lp");
    const QString solution = folder + QStringLiteral("/cover.sol");
    QFile::remove(solution);
    if (!writeProgram(problem, program))
        return result;
    QProcess solver;
    solver.start(QStringLiteral("cbc"),
        { program, QStringLiteral("-sec"), QString::number(seconds), QStringLiteral("-solve"),
            QStringLiteral("-solu"), solution });
    if (!solver.waitForFinished(-1) || solver.exitStatus() != QProcess::NormalExit)
        return result;
    result.ran = true;
    for (const QString& line : QString::fromUtf8(solver.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(QStringLiteral("Result - ")))
            result.status = line.mid(9).trimmed();
        else if (line.startsWith(QStringLiteral("Lower bound:")))
            result.status += QStringLiteral(", bound ") + line.section(u':', 1).trimmed();
    }
    QFile file(solution);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    // Lines "index name value cost" after a status line.
    while (!file.atEnd()) {
        const QStringList fields = QString::fromUtf8(file.readLine()).simplified().split(u' ');
        if (fields.size() >= 3 && fields[1].startsWith(u'x') && fields[2].toDouble() > 0.5)
            result.kept.push_back(problem.column(fields[1].mid(1).toInt()));
    }
    return result;
}

int runSolverComparison(int seconds)
{
    QTemporaryDir folder;
    std::printf("exact solver (cbc) with %d s per problem\n\n", seconds);
    std::printf("%-5s %8s %2s %8s %6s %8s %6s %s\n", "grid", "columns", "t", "greedy", "now", "ms",
        "cbc", "cbc status");
    int number = 0;
    for (const Boxes& boxes : mixedGrids()) {
        ++number;
        const DevelopedColumns developed = developColumns(gridOf(boxes));
        const std::vector<ColumnMask> distinct = distinctInOrder(developed.masks);
        for (int t = 7; t >= 5; --t) {
            const std::vector<ColumnMask> greedy = reduceColumns(developed.masks, t);
            QElapsedTimer clock;
            clock.start();
            const std::vector<ColumnMask> kept = optimiseReduction(developed.masks, t);
            const qint64 ms = clock.elapsed();
            const SolverResult exact = runSolver(CoverProblem(distinct, t), seconds, folder.path());
            if (!exact.ran) {
                std::fprintf(stderr, "cbc did not run: install coinor-cbc\n");
                return 2;
            }
            const bool solverHolds = verifyGuarantee(developed.masks, exact.kept, t).holds();
            std::printf("%-5d %8zu %2d %8zu %6zu %8lld %6s %s%s\n", number, distinct.size(), t,
                greedy.size(), kept.size(), static_cast<long long>(ms),
                solverHolds ? QByteArray::number(qsizetype(exact.kept.size())).constData() : "-",
                qPrintable(exact.status),
                verifyGuarantee(developed.masks, kept, t).holds() ? "" : " (ours FAILED)");
            std::fflush(stdout);
        }
    }
    return 0;
}
}

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--cbc")
        return runSolverComparison(argc > 2 ? std::atoi(argv[2]) : 60);
    return runReferenceGrids(argc, argv);
}
