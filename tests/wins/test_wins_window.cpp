#include "check/check_window.h"
#include "core/data_folder.h"
#include "mainwin/grid_entry.h"
#include "mainwin/main_window.h"
#include "print/flow_pagination.h"
#include "print/recording_print_service.h"
#include "settings/settings_file.h"
#include "support/recording_services.h"
#include "support/test_files.h"
#include "wins/wins_document.h"
#include "wins/wins_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ottavario;
using namespace ottavario::testing;

namespace {
// Box 1 holds 1 and 2, boxes 2 to 8 hold 3 to 9; Sei punti keeps the first
// column, which the second misses by one number.
const QByteArray kDescription = "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n[Fine]\r\n 6 \r\n"
                                " 2 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n";

void trigger(QWidget* window, const char* name)
{
    auto* action = window->findChild<QAction*>(QLatin1StringView(name));
    QVERIFY2(action, name);
    action->trigger();
}

WinsWindow* shownWinsWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* wins = qobject_cast<WinsWindow*>(w); wins && wins->isVisible())
            return wins;
    return nullptr;
}

QStringList rowTexts(const QTableWidget* table, int row)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c)
        texts << table->item(row, c)->text();
    return texts;
}
}

class TestWinsWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;
    RecordingMessageService m_messages;
    ScriptedFileDialogs m_dialogs;
    RecordingPrintService m_printer;
    std::unique_ptr<WinsWindow> m_window;

    QString path(const char* name) const { return m_home.filePath(QLatin1StringView(name)); }

    // Opens the saved system through the window's own command.
    bool openAndWait(const QString& sttPath)
    {
        QSignalSpy shown(m_window.get(), &WinsWindow::reportShown);
        m_dialogs.answers << sttPath;
        trigger(m_window.get(), "apri");
        return shown.wait(20000);
    }

private slots:
    void initTestCase()
    {
        qputenv("OTTAVARIO_HOME", m_home.path().toLocal8Bit());
        QVERIFY(prepareDataFolder().has_value());
        QVERIFY(writeBytes(path("uno.stt"), kDescription));
        QVERIFY(writeBytes(path("uno.stg"), " 1 3 4 5 6 7 8 9"));
        QVERIFY(writeBytes(path("solo.stt"), kDescription));
    }

    void init()
    {
        m_messages.shown.clear();
        m_printer = {};
        m_window = std::make_unique<WinsWindow>(
            WinsWindowServices { &m_messages, &m_dialogs, &m_printer });
        m_window->show();
    }

    void cleanup() { m_window.reset(); }

    void showsBothTablesOfASavedSystem()
    {
        QVERIFY(openAndWait(path("uno.stt")));
        const QLocale locale;
        auto* own = m_window->findChild<QTableWidget*>(QStringLiteral("Table1"));
        QCOMPARE(own->rowCount(), 2);
        QCOMPARE(
            rowTexts(own, 0), QStringList({ "1", "0", "0", "1", winsText::percent(0.5, locale) }));
        QCOMPARE(
            rowTexts(own, 1), QStringList({ "0", "1", "0", "1", winsText::percent(0.5, locale) }));
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
            QStringLiteral("La colonna migliore fa sempre almeno 7 punti."));
        auto* every = m_window->findChild<QTableWidget*>(QStringLiteral("Table2"));
        QCOMPARE(every->rowCount(), 4);
        QCOMPARE(every->item(3, 3)->text(), winsText::count(10'510'379, locale));
        QVERIFY(m_window->findChild<QLabel*>(QStringLiteral("Label3(1)"))
                    ->text()
                    .contains(winsText::odds(192, kEveryWinningColumn, locale)));
    }

    void printsPreviewsAndWritesPdf()
    {
        QVERIFY(openAndWait(path("uno.stt")));
        trigger(m_window.get(), "anteprima");
        QCOMPARE(m_printer.previewed.size(), 1);
        const print::PrintDocument& document = m_printer.previewed.first();
        QStringList texts;
        qsizetype bars = 0;
        for (const print::PrintPage& page : document.pages) {
            for (const print::PrintItem& item : page.itemsOf(print::ItemKind::Text))
                texts << item.text;
            bars += page.itemsOf(print::ItemKind::Bar).size();
        }
        QVERIFY(texts.contains(QStringLiteral("Nome sistema uno")));
        // A bar for each row of the two tables: 2 and 4.
        QCOMPARE(bars, 6);

        trigger(m_window.get(), "stampa");
        QCOMPARE(m_printer.printed.size(), 1);
        QCOMPARE(m_printer.printed.first().pages.size(), document.pages.size());

        m_dialogs.answers << path("uno.pdf");
        trigger(m_window.get(), "pdf");
        QVERIFY(contentsOf(path("uno.pdf")).startsWith("%PDF"));
        QVERIFY(m_messages.shown.isEmpty());
    }

    void longTablesKeepTheirHeadingsOnEveryPage()
    {
        QVERIFY(openAndWait(path("uno.stt")));
        const print::FlowDocument flow = print::layOutWins(m_window->system(), *m_window->report());
        // Pages of a few lines: the tables run over many of them.
        const print::PrintDocument document = print::paginate(flow, 1500);
        QVERIFY(document.pages.size() > 5);
        for (const print::PrintPage& page : document.pages.mid(1)) {
            if (page.itemsOf(print::ItemKind::Bar).isEmpty())
                continue;
            const auto texts = page.itemsOf(print::ItemKind::Text);
            QVERIFY(texts.first().text == print::winTableHeader()
                || !texts.first().text.startsWith(u' '));
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("said");
        QTest::newRow("nothing opened") << QString() << "Aprire un sistema.";
        QTest::newRow("no column file") << path("solo.stt") << "solo.stg";
    }

    void refusals()
    {
        QFETCH(QString, opened);
        QFETCH(QString, said);
        if (!opened.isEmpty()) {
            m_dialogs.answers << opened;
            trigger(m_window.get(), "apri");
        }
        QVERIFY(!m_window->findChild<QAction*>(QStringLiteral("stampa"))->isEnabled());
        m_window->print();
        QVERIFY(!m_messages.shown.isEmpty());
        QVERIFY2(m_messages.shown.first().text.contains(said), qPrintable(m_messages.lastText()));
        QVERIFY(m_printer.printed.isEmpty());
    }

    void mainWindowOffersTheComputedSystem()
    {
        m_window.reset();
        MainWindow main({ &m_messages, &m_dialogs, &m_printer }, settings::defaultValues());
        main.show();
        auto* vincite = main.findChild<QAction*>(QStringLiteral("vincite"));
        QVERIFY(!vincite->isEnabled());
        for (int box = 0; box < kBoxes; ++box)
            main.entry(box, 0)->setText(QString::number(box + 2));
        main.entry(0, 1)->setText(QStringLiteral("1"));
        QSignalSpy finished(&main, &MainWindow::calculationFinished);
        trigger(&main, "calcolo");
        QVERIFY(finished.wait(20000));
        QVERIFY(vincite->isEnabled());

        vincite->trigger();
        WinsWindow* wins = shownWinsWindow();
        QVERIFY(wins);
        QTRY_VERIFY_WITH_TIMEOUT(wins->report().has_value(), 20000);
        QCOMPARE(wins->system().kept.size(), size_t(1));
        QCOMPARE(wins->report()->own.guarantee, 7);

        // A changed grid is no longer the computed one.
        main.entry(7, 1)->setText(QStringLiteral("20"));
        QVERIFY(!vincite->isEnabled());
        delete wins;
    }

    void checkWindowOffersItsOpenedSystem()
    {
        m_window.reset();
        MainWindow main({ &m_messages, &m_dialogs, &m_printer }, settings::defaultValues());
        main.show();
        main.findChild<QAbstractButton*>(QStringLiteral("Command7"))->click();
        auto* check = main.findChild<CheckWindow*>();
        if (!check)
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<CheckWindow*>(w))
                    check = found;
        QVERIFY(check);
        trigger(check, "vincite");
        QCOMPARE(m_messages.lastText(), QStringLiteral("Aprire un sistema."));
        QVERIFY(!shownWinsWindow());

        check->openSystemAt(path("uno.stt"));
        trigger(check, "vincite");
        WinsWindow* wins = shownWinsWindow();
        QVERIFY(wins);
        QCOMPARE(wins->system().name, QStringLiteral("uno"));
        QTRY_VERIFY_WITH_TIMEOUT(wins->report().has_value(), 20000);
        check->close();
        delete wins;
    }
};

QTEST_MAIN(TestWinsWindow)
#include "test_wins_window.moc"
