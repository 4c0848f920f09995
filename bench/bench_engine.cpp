// Times the column engine on the reference grids against the classic method,
// in which every candidate re-reads the kept columns from the kept work file.
//
//   bench_engine [seconds of classic method per case, default 2]

#include "bench_timing.h"

#include "engine/calculation.h"
#include "engine/column_file.h"
#include "engine/development.h"
#include "engine/engine_grids.h"
#include "engine/reduction.h"

#include "core/grid.h"
#include "core/number.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace ottavario;
using bench::bestOf;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

SystemType typeOf(int t) { return static_cast<SystemType>(t); }

// How many kept records the classic method reads in all: a kept candidate is
// compared with every column kept before it, a rejected one up to the first
// kept column it is too close to, which is the earliest kept holder of one of
// its t-subsets.
qint64 classicComparisons(const std::vector<ColumnMask>& developed, int t)
{
    ColumnMask universe = 0;
    for (ColumnMask m : developed)
        universe |= m;
    const SubsetRanker ranker(universe, t);
    std::vector<quint32> firstHolder(ranker.subsetCount(), 0);
    qint64 comparisons = 0;
    quint32 kept = 0;
    for (ColumnMask m : developed) {
        quint32 first = 0;
        ranker.anySubset(m, [&](quint32 rank, ColumnMask) {
            const quint32 h = firstHolder[rank];
            if (h && (!first || h < first))
                first = h;
            return false;
        });
        if (first) {
            comparisons += first;
            continue;
        }
        comparisons += kept;
        ++kept;
        ranker.anySubset(m, [&](quint32 rank, ColumnMask) {
            if (!firstHolder[rank])
                firstHolder[rank] = kept;
            return false;
        });
    }
    return comparisons;
}

// The classic development: 8 nested loops over the entries, 28 pairwise
// comparisons per combination, each record written on its own.
qint64 classicDevelop(const Grid& grid, const QString& path)
{
    std::FILE* out = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!out)
        return 0;
    std::array<QStringList, kBoxes> texts;
    std::array<std::array<int, kEntries>, kBoxes> values {};
    std::array<int, kBoxes> counts {};
    for (int k = 0; k < kBoxes; ++k) {
        texts[k] = grid.numbersOfBox(k);
        counts[k] = static_cast<int>(texts[k].size());
        for (int e = 0; e < counts[k]; ++e)
            values[k][e] = static_cast<int>(readNumber(texts[k][e]));
    }
    qint64 n = 0;
    if (std::find(counts.begin(), counts.end(), 0) != counts.end()) {
        std::fclose(out);
        return n;
    }
    // An odometer over the entries, box 8 turning fastest.
    std::array<int, kBoxes> at {};
    for (;;) {
        int v[kBoxes];
        for (int k = 0; k < kBoxes; ++k)
            v[k] = values[k][at[k]];
        bool repeated = false;
        for (int i = 0; i < 7 && !repeated; ++i)
            for (int j = i + 1; j < 8 && !repeated; ++j)
                repeated = v[i] == v[j];
        if (!repeated) {
            char record[kRecordSize];
            for (int k = 0; k < kBoxes; ++k) {
                const QByteArray field = typedField(texts[k][at[k]]);
                record[2 * k] = field[0];
                record[2 * k + 1] = field[1];
            }
            std::fwrite(record, 1, kRecordSize, out); // record n + 1, right after record n
            ++n;
        }
        int k = kBoxes - 1;
        while (k >= 0 && ++at[k] == counts[k])
            at[k--] = 0;
        if (k < 0)
            break;
    }
    std::fclose(out);
    return n;
}

bool readRecord(std::FILE* file, char* record)
{
#ifdef __GLIBC__
    return fread_unlocked(record, 1, kRecordSize, file) == size_t(kRecordSize);
#else
    return std::fread(record, 1, kRecordSize, file) == size_t(kRecordSize);
#endif
}

int fieldValue(const char* f) { return (f[0] == ' ' ? 0 : (f[0] - '0') * 10) + (f[1] - '0'); }

struct ClassicRun {
    qint64 comparisons = 0;
    qint64 candidates = 0;
    double seconds = 0;
    bool finished = false;
    int bar = 1; // where the progress bar would stand
};

// The classic reduction, stopped once the budget is spent: each candidate read
// from the developed file, each kept column read back from the kept file for
// every candidate, 64 pairs counted with an exit at t, one progress step per
// comparison.
ClassicRun classicReduce(
    const QString& developedPath, const QString& keptPath, qint64 n, int t, double budget)
{
    // C streams: the lightest record access there is, so the figures favour
    // the classic method rather than this program.
    std::FILE* developed = std::fopen(QFile::encodeName(developedPath).constData(), "rb");
    std::FILE* kept = std::fopen(QFile::encodeName(keptPath).constData(), "w+b");
    ClassicRun run;
    if (!developed || !kept)
        return run;
    std::setvbuf(developed, nullptr, _IOFBF, 1 << 16);
    std::setvbuf(kept, nullptr, _IOFBF, 1 << 16);
    const qint64 stepSize = n / 30;
    const int maximum = progressMaximum(n, typeOf(t));
    int bar = 1;
    qint64 step = 0;
    qint64 keptCount = 0;
    const auto start = Clock::now();
    char record[kRecordSize];
    for (qint64 c = 0; c < n; ++c) {
        if ((c & 15) == 0 && secondsSince(start) > budget)
            break;
        if (!readRecord(developed, record))
            break;
        int candidate[8];
        for (int j = 0; j < 8; ++j)
            candidate[j] = fieldValue(record + 2 * j);
        bool rejected = false;
        // Records 1 to K in turn: one seek, then reads that follow each other.
        std::fseek(kept, 0, SEEK_SET);
        for (qint64 r = 0; r < keptCount && !rejected; ++r) {
            if (!readRecord(kept, record))
                break;
            int column[8];
            for (int i = 0; i < 8; ++i)
                column[i] = fieldValue(record + 2 * i);
            ++run.comparisons;
            if (++step >= stepSize) {
                if (bar + 1 <= maximum)
                    ++bar;
                step = 0;
            }
            int common = 0;
            for (int i = 0; i < 8 && !rejected; ++i)
                for (int j = 0; j < 8; ++j)
                    if (column[i] == candidate[j] && ++common >= t) {
                        rejected = true;
                        break;
                    }
        }
        run.candidates = c + 1;
        if (rejected)
            continue;
        bool swapped = true;
        while (swapped) {
            swapped = false;
            for (int i = 0; i < 7; ++i)
                if (candidate[i + 1] < candidate[i]) {
                    std::swap(candidate[i], candidate[i + 1]);
                    swapped = true;
                }
        }
        QByteArray out;
        for (int v : candidate)
            appendCanonicalField(out, v);
        std::fseek(kept, static_cast<long>(keptCount * kRecordSize), SEEK_SET);
        std::fwrite(out.constData(), 1, kRecordSize, kept);
        ++keptCount;
    }
    run.seconds = secondsSince(start);
    run.finished = run.candidates == n;
    run.bar = bar;
    std::fclose(developed);
    std::fclose(kept);
    return run;
}

void benchGrid(const char* name, const Grid& grid, double budget)
{
    QTemporaryDir folder;
    const WorkFiles files { folder.filePath(QStringLiteral("tmp")),
        folder.filePath(QStringLiteral("sistmp")) };
    const WorkFiles classicFiles { folder.filePath(QStringLiteral("classic-tmp")),
        folder.filePath(QStringLiteral("classic-sistmp")) };

    DevelopedColumns developed;
    const double developSeconds = bestOf(5, [&] { developed = developColumns(grid); });
    qint64 classicN = 0;
    const double classicDevelopSeconds
        = bestOf(3, [&] { classicN = classicDevelop(grid, classicFiles.developed); });
    QFile classicDeveloped(classicFiles.developed);
    classicDeveloped.open(QIODevice::ReadOnly);
    const bool sameRecords
        = classicN == developed.count() && classicDeveloped.readAll() == developed.records;

    std::printf("\n%s grid: n = %lld developed columns; development %.2f ms (classic, record by "
                "record: %.2f ms)%s\n",
        name, static_cast<long long>(developed.count()), developSeconds * 1e3,
        classicDevelopSeconds * 1e3, sameRecords ? "" : "  RECORDS DIFFER");
    std::printf("%2s %8s %11s %11s %14s %11s %11s  %s\n", "t", "kept", "reduce ms", "whole ms",
        "classic s", "x reduce", "x whole", "check");

    for (int t : { 8, 7, 6, 5 }) {
        std::vector<ColumnMask> kept;
        const double reduceSeconds = bestOf(9, [&] { kept = reduceColumns(developed.masks, t); });
        const double wholeSeconds
            = bestOf(5, [&] { (void)calculateColumns(grid, typeOf(t), files); });

        const qint64 total = classicComparisons(developed.masks, t);
        const ClassicRun run
            = classicReduce(classicFiles.developed, classicFiles.kept, classicN, t, budget);
        // Every comparison costs about the same, so the rest of the work is
        // reckoned from the comparisons done; a run that finished is its own figure.
        double classicSeconds = run.seconds;
        if (!run.finished && run.comparisons > 0)
            classicSeconds = run.seconds * static_cast<double>(total) / run.comparisons;

        QFile keptFile(classicFiles.kept);
        keptFile.open(QIODevice::ReadOnly);
        const QByteArray classicKept = keptFile.readAll();
        const QByteArray fastKept = formatColumnMasks(kept);
        bool ok = fastKept.startsWith(classicKept);
        if (run.finished)
            ok = ok && classicKept == fastKept && run.comparisons == total;

        const double classicWhole = classicDevelopSeconds + classicSeconds;
        std::printf("%2d %8zu %11.2f %11.2f %13.2f%s %11.0f %11.0f  %s (%lld of %lld comparisons "
                    "run)\n",
            t, kept.size(), reduceSeconds * 1e3, wholeSeconds * 1e3, classicSeconds,
            run.finished ? " " : "~", classicSeconds / reduceSeconds, classicWhole / wholeSeconds,
            ok ? "ok" : "MISMATCH", static_cast<long long>(run.comparisons),
            static_cast<long long>(total));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const double budget = argc > 1 ? std::atof(argv[1]) : 2.0;
    std::printf(
        "Column engine against the classic method (~ = extrapolated from %.1f s of it)\n", budget);
    benchGrid("Largest", testing::largestGrid(), budget);
    benchGrid("Medium", testing::mediumGrid(), budget);
    return 0;
}
