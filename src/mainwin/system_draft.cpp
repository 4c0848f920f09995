#include "system_draft.h"

#include "core/format.h"
#include "core/number.h"

namespace ottavario {

void SystemDraft::recount()
{
    counts = grid.counts();
    combinations = 1;
    for (int c : counts)
        combinations *= c;
}

void SystemDraft::setPrices(const QString& lire, const QString& euro)
{
    m_lirePrice = lire;
    m_euroPrice = euro;
    m_euroPrice.replace(u',', u'.');
}

double SystemDraft::lirePerColumn() const { return readNumber(m_lirePrice); }
double SystemDraft::euroPerColumn() const { return readNumber(m_euroPrice); }

QString SystemDraft::combinationsText(const QLocale& locale) const
{
    return QStringLiteral("Combinazioni  ") + groupedInteger(double(combinations), locale);
}

QString SystemDraft::priceText(const QLocale& locale) const
{
    return QStringLiteral("Prezzo   ") + groupedInteger(combinations * lirePerColumn(), locale);
}

QString SystemDraft::euroText(EuroPrefix prefix, const QLocale& locale) const
{
    return (prefix == EuroPrefix::Euro ? QStringLiteral("€ ") : QStringLiteral("In EURO "))
        + euroAmount(combinations * euroPerColumn(), locale);
}

QString SystemDraft::reducedColumnsText(long long kept, const QLocale& locale) const
{
    return QStringLiteral("Colonne ridotte  ") + groupedInteger(double(kept), locale);
}

QString SystemDraft::reducedPriceText(long long kept, const QLocale& locale) const
{
    return QStringLiteral("Prezzo ridotto  ") + groupedInteger(kept * lirePerColumn(), locale);
}

QString SystemDraft::reducedEuroText(long long kept, const QLocale& locale) const
{
    return QStringLiteral("€ ") + euroAmount(kept * euroPerColumn(), locale);
}

} // namespace ottavario
