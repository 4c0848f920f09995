#include "mainwin/system_draft.h"

#include <QTest>

using namespace ottavario;

class TestSystemDraft : public QObject {
    Q_OBJECT
    const QLocale m_italian { QLocale::Italian, QLocale::Italy };

private slots:
    void reducedTexts_data()
    {
        QTest::addColumn<long long>("kept");
        QTest::addColumn<QString>("lire");
        QTest::addColumn<QString>("euro");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("euroText");
        QTest::newRow("1234 at 800") << 1234LL << "800"
                                     << "0.41"
                                     << "Colonne ridotte  1.234"
                                     << "Prezzo ridotto  987.200"
                                     << "€ 505,94";
        QTest::newRow("none") << 0LL << "800"
                              << "0.41"
                              << "Colonne ridotte  "
                              << "Prezzo ridotto  "
                              << "€ 0,00";
        QTest::newRow("comma in the euro price") << 2LL << "800"
                                                 << "0,5"
                                                 << "Colonne ridotte  2"
                                                 << "Prezzo ridotto  1.600"
                                                 << "€ 1,00";
        QTest::newRow("no prices") << 7LL << ""
                                   << ""
                                   << "Colonne ridotte  7"
                                   << "Prezzo ridotto  "
                                   << "€ 0,00";
    }

    void reducedTexts()
    {
        QFETCH(long long, kept);
        QFETCH(QString, lire);
        QFETCH(QString, euro);
        SystemDraft draft;
        draft.setPrices(lire, euro);
        QTEST(draft.reducedColumnsText(kept, m_italian), "columns");
        QTEST(draft.reducedPriceText(kept, m_italian), "price");
        QTEST(draft.reducedEuroText(kept, m_italian), "euroText");
    }

    void largestSystemPrice()
    {
        SystemDraft draft;
        draft.setPrices(QStringLiteral("800"), QStringLiteral("0.41"));
        for (int box = 0; box < kBoxes; ++box)
            for (int i = 0; i < kEntries; ++i)
                draft.grid.entries[box][i] = QString::number(box * 4 + i + 1);
        draft.recount();
        QCOMPARE(draft.combinations, 390625);
        QCOMPARE(draft.combinationsText(m_italian), QStringLiteral("Combinazioni  390.625"));
        QCOMPARE(draft.priceText(m_italian), QStringLiteral("Prezzo   312.500.000"));
        QCOMPARE(draft.euroText(SystemDraft::EuroPrefix::Euro, m_italian),
            QStringLiteral("€ 160.156,25"));
        QCOMPARE(draft.euroText(SystemDraft::EuroPrefix::InEuro, m_italian),
            QStringLiteral("In EURO 160.156,25"));
    }
};

QTEST_GUILESS_MAIN(TestSystemDraft)
#include "test_system_draft.moc"
