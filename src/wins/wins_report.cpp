#include "wins_report.h"

#include "core/format.h"
#include "engine/column_file.h"
#include "engine/development.h"
#include "systems/system_files.h"

#include <cmath>

namespace ottavario {

FileResult<WinsSystem> readWinsSystem(const QString& sttPath)
{
    if (partnerPath(sttPath).isEmpty() || !isDescriptionPath(sttPath))
        return std::unexpected(
            FileError { sttPath, QStringLiteral("il nome del file deve finire con .stt") });
    const auto description = openSystem(sttPath);
    if (!description)
        return std::unexpected(description.error());
    auto columns = readColumnMasks(partnerPath(sttPath));
    if (!columns)
        return std::unexpected(columns.error());
    // A conditioned system wins only with the columns in play.
    std::optional<std::vector<ColumnMask>> inPlay;
    if (!description->conditions.empty())
        inPlay = columnsInPlay(description->grid, description->conditions);
    return WinsSystem { systemName(sttPath), description->grid, description->type,
        std::move(*columns), std::move(inPlay) };
}

std::vector<ColumnMask> winnersInPlay(const WinsSystem& system)
{
    return system.inPlay ? *system.inPlay : developColumns(system.grid).masks;
}

WinsReport computeWins(const WinsSystem& system, int threads)
{
    WinsReport report;
    const WinCounter counter(system.kept);
    const std::vector<ColumnMask> winners = winnersInPlay(system);
    report.developed = qint64(winners.size());
    report.own = counter.over(winners);
    report.every = counter.overEveryWinningColumn(threads);
    return report;
}

std::array<qint64, 4> winnersByBestPrize(const WinTable& table)
{
    std::array<qint64, 4> best {};
    for (const WinRow& row : table.rows) {
        const int kind = row.prizes.eight ? 0 : row.prizes.seven ? 1 : row.prizes.six ? 2 : 3;
        best[size_t(kind)] += row.winners;
    }
    return best;
}

QString winRowLine(const WinRow& row)
{
    return QStringLiteral("8=%1 7=%2 6=%3 %4")
        .arg(row.prizes.eight)
        .arg(row.prizes.seven)
        .arg(row.prizes.six)
        .arg(row.winners);
}

namespace winsText {

    QString count(qint64 value, const QLocale& locale)
    {
        return withGrouping(locale).toString(qlonglong(value));
    }

    QString percent(double share, const QLocale& locale)
    {
        const double value = share * 100;
        int decimals = 2;
        if (value > 0 && value < 10)
            decimals = std::min(6, 3 - int(std::floor(std::log10(value))));
        return withGrouping(locale).toString(value, 'f', decimals) + QStringLiteral(" %");
    }

    QString odds(qint64 count, qint64 total, const QLocale& locale)
    {
        if (count <= 0)
            return QStringLiteral("mai");
        const double every = double(total) / double(count);
        return QStringLiteral("1 su ")
            + withGrouping(locale).toString(every, 'f', every < 10 ? 2 : 0);
    }

    QString points(qint64 points)
    {
        return points == 1 ? QStringLiteral("1 punto") : QStringLiteral("%1 punti").arg(points);
    }

    QString guarantee(int best)
    {
        if (best < 0)
            return QStringLiteral("Nessuna colonna sviluppata: nessuna garanzia.");
        if (best == 0)
            return QStringLiteral("Nessun punto garantito.");
        return QStringLiteral("La colonna migliore fa sempre almeno %1.").arg(points(best));
    }

    QString typeName(SystemType type)
    {
        switch (type) {
        case SystemType::Integrale:
            return QStringLiteral("Integrale");
        case SystemType::SettePunti:
            return QStringLiteral("Sette punti");
        case SystemType::SeiPunti:
            return QStringLiteral("Sei punti");
        case SystemType::CinquePunti:
            return QStringLiteral("Cinque punti");
        }
        return {};
    }

    QString ownHeading(const WinsReport& report, const QLocale& locale)
    {
        return QStringLiteral("Se vince una delle %1 colonne sviluppate diverse")
            .arg(count(report.own.winners, locale));
    }

    QString everyHeading(const QLocale& locale)
    {
        return QStringLiteral("Su tutte le %1 colonne vincenti possibili")
            .arg(count(kEveryWinningColumn, locale));
    }

    QString atLeastOneCaption(int points)
    {
        return QStringLiteral("Almeno una colonna da %1 punti").arg(points);
    }

    QString expectedCaption() { return QStringLiteral("Colonne premiate attese per concorso"); }

    QString expected(const WinTable& table, const QLocale& locale)
    {
        return withGrouping(locale).toString(table.expectedPrizeColumns(), 'f', 4);
    }

} // namespace winsText

} // namespace ottavario
