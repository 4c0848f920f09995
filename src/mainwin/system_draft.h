#pragma once

#include "core/conditions.h"
#include "core/grid.h"

#include <QLocale>
#include <QString>

#include <array>

namespace ottavario {

// The state the main window keeps beside its widgets: the grid as typed, the
// counts and combinations derived from it, whether its columns are computed,
// and the price of one column.
class SystemDraft {
public:
    Grid grid;
    std::array<int, kBoxes> counts {};
    long long combinations = 0;
    Conditions conditions; // the columns in play; none, every column
    bool computed = false;

    // Recount from the grid: counts and combinations.
    void recount();

    // Prices as the settings file holds them; every "," of the euro price
    // becomes "." so that it reads with the number rule.
    void setPrices(const QString& lire, const QString& euro);
    const QString& lirePrice() const { return m_lirePrice; }
    const QString& euroPrice() const { return m_euroPrice; }
    double lirePerColumn() const;
    double euroPerColumn() const;

    enum class EuroPrefix { Euro, InEuro };

    QString combinationsText(const QLocale& locale = QLocale()) const;
    QString priceText(const QLocale& locale = QLocale()) const;
    QString euroText(EuroPrefix prefix, const QLocale& locale = QLocale()) const;

    QString reducedColumnsText(long long kept, const QLocale& locale = QLocale()) const;
    QString reducedPriceText(long long kept, const QLocale& locale = QLocale()) const;
    QString reducedEuroText(long long kept, const QLocale& locale = QLocale()) const;

private:
    QString m_lirePrice;
    QString m_euroPrice;
};

// Texts of the summary labels before any calculation.
namespace labels {
    inline const QString kCombinations = QStringLiteral("Combinazioni  ");
    inline const QString kPrice = QStringLiteral("Prezzo  ");
    inline const QString kEuro = QStringLiteral("€");
    inline const QString kReducedColumns = QStringLiteral("Colonne ridotte  ");
    inline const QString kReducedPrice = QStringLiteral("Prezzo ridotto  ");
    // After a new or opened system, without their trailing blanks.
    inline const QString kReducedColumnsReset = QStringLiteral("Colonne ridotte");
    inline const QString kReducedPriceReset = QStringLiteral("Prezzo ridotto");
    inline const QString kNewSystem = QStringLiteral("Nuovo sistema");
}

} // namespace ottavario
