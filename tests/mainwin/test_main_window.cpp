#include "core/data_folder.h"
#include "core/settings_file.h"
#include "mainwin/main_window.h"
#include "mainwin/window_opener.h"
#include "support/recording_print_service.h"
#include "support/recording_services.h"
#include "support/window_services.h"
#include "transfer/volumes.h"
#include "widgets/grid_entry.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace ottavario;

namespace {

// A step typed into the grid: text typed (keys) or Enter into entry (box, index).
struct Step {
    int box;
    int index;
    QString keys; // "\n" stands for Enter
};

}

Q_DECLARE_METATYPE(QList<Step>)

class TestMainWindow : public QObject, private testing::WindowServices {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_window;

    QLabel* label(const char* name) const
    {
        return m_window->findChild<QLabel*>(QLatin1StringView(name));
    }

    void type(const QList<Step>& steps)
    {
        for (const Step& step : steps) {
            GridEntry* entry = m_window->entry(step.box, step.index);
            if (QApplication::focusWidget() != entry)
                entry->focusAndSelect();
            for (QChar c : step.keys) {
                if (c == u'\n')
                    QTest::keyClick(entry, Qt::Key_Return);
                else
                    QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            }
        }
    }

    QWidget* shownWindow(const QString& name) const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible())
                return w;
        return nullptr;
    }

    QString focusName() const
    {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

    QString selected() const
    {
        auto* entry = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        return entry ? entry->selectedText() : QString();
    }

    void fillOneEach(int fromBox)
    {
        for (int box = fromBox; box < kBoxes; ++box)
            m_window->entry(box, 0)->setText(QString::number(box + 3));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder().prepare().has_value());
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    }

    void init()
    {
        m_messages.shown.clear();
        m_window = std::make_unique<MainWindow>(services(), m_windows, Settings::defaults());
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void startsEmptyWithSixPointsAndFocusOnFirstEntry()
    {
        QCOMPARE(m_window->objectName(), QStringLiteral("Form1"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Ottavario*"));
        QCOMPARE(label("Label8")->text(), QStringLiteral("Nuovo sistema"));
        QCOMPARE(label("Label8")->toolTip(), QStringLiteral("Nome del sistema in uso."));
        QCOMPARE(label("Label2")->text(), QStringLiteral("Combinazioni  "));
        QCOMPARE(label("Label4")->text(), QStringLiteral("Prezzo  "));
        QCOMPARE(label("Label5")->text(), QStringLiteral("€"));
        QCOMPARE(label("Label3")->text(), QStringLiteral("Colonne ridotte  "));
        QCOMPARE(label("Label6")->text(), QStringLiteral("Prezzo ridotto  "));
        QCOMPARE(label("Label7")->text(), QStringLiteral("€"));
        QVERIFY(m_window->findChild<QRadioButton*>(QStringLiteral("Option1(1)"))->isChecked());
        QCOMPARE(m_window->systemType(), SystemType::SeiPunti);
        QTRY_COMPARE(focusName(), QStringLiteral("Text1(0)"));
        const SystemDraft& draft = m_window->draft();
        QCOMPARE(draft.combinations, 0);
        QCOMPARE(draft.computed, false);
        for (int c : draft.counts)
            QCOMPARE(c, 0);
        QCOMPARE(draft.euroPrice(), QStringLiteral("0.41"));
        QCOMPARE(draft.lirePrice(), QStringLiteral("800"));
    }

    void everyNamedControlExists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const QList<std::pair<const char*, const char*>> rows = {
            { "Frame1", "Pronostico" },
            { "Frame2", "Riduzione" },
            { "Frame3", "Anteprima" },
            { "Label1(0)", "Casella 1" },
            { "Label1(7)", "Casella 8" },
            { "Option1(0)", "Sette punti" },
            { "Option1(1)", "Sei punti" },
            { "Option1(2)", "Cinque punti" },
            { "Option1(3)", "Integrale" },
            { "Command4", "Fine lavoro" },
            { "Check1", "Riduzione ottimizzata" },
        };
        for (const auto& [name, text] : rows)
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(text);
    }

    void everyNamedControlExists()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QObject* object = m_window->findChild<QObject*>(name);
        QVERIFY2(object, qPrintable(name));
        QCOMPARE(
            object->property(object->property("title").isValid() ? "title" : "text").toString(),
            text);
    }

    void buttonsCarryTheirTooltips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("new") << "Command5"
                             << "Nuovo sistemaOttavario*";
        QTest::newRow("open") << "Command6"
                              << "Apri Ottavario*";
        QTest::newRow("save") << "Command2"
                              << "Salva il sistema elaborato";
        QTest::newRow("import") << "Command9"
                                << "Importa ed esporta i sistemi.";
        QTest::newRow("calc") << "Command1"
                              << "Calcolo delle colonne";
        QTest::newRow("conditions") << "Command10"
                                    << "Condizioni sulle colonne da giocare";
        QTest::newRow("print") << "Command3"
                               << "Stampa le schede e i tabulati";
        QTest::newRow("check") << "Command7"
                               << "Spoglio sistemi";
        QTest::newRow("quit") << "Command4"
                              << "Chiude il lavoro.";
    }

    void buttonsCarryTheirTooltips()
    {
        QFETCH(QString, name);
        QFETCH(QString, tooltip);
        auto* button = m_window->findChild<QAbstractButton*>(name);
        QVERIFY2(button, qPrintable(name));
        QCOMPARE(button->toolTip(), tooltip);
        // The picture comes from the program's resources, which a static
        // library can silently leave out.
        if (name != u"Command4")
            QVERIFY(!button->icon().pixmap(32, 32).isNull());
    }

    void menusListTheirItemsInOrder()
    {
        const QStringList expected = { QStringLiteral("nuovo:&Nuovo sistema"),
            QStringLiteral("apri:&Apri sistema"), QStringLiteral("l1:"),
            QStringLiteral("calcolo:&Calcolo delle colonne"),
            QStringLiteral("condizioni:Con&dizioni..."),
            QStringLiteral("vincite:Prospetto &vincite"), QStringLiteral("l2:"),
            QStringLiteral("salva:&Salva sistema con nome"),
            QStringLiteral("importa:&Importa esporta i sistemi."), QStringLiteral("l3:"),
            QStringLiteral("fine:&Fine lavoro "), QStringLiteral("inserimento:&Personalizzazione"),
            QStringLiteral("li:"), QStringLiteral("info:&Informazioni su Ottavario...") };
        QStringList actual;
        for (const char* menuName : { "file", "opzioni" }) {
            auto* menu = m_window->findChild<QMenu*>(QLatin1StringView(menuName));
            QVERIFY(menu);
            for (QAction* action : menu->actions())
                actual << action->objectName() + u':' + action->text();
        }
        QCOMPARE(actual, expected);
        QCOMPARE(
            m_window->findChild<QMenu*>(QStringLiteral("file"))->title(), QStringLiteral("&File"));
        QCOMPARE(m_window->findChild<QMenu*>(QStringLiteral("opzioni"))->title(),
            QStringLiteral("&Dati e info"));
    }

    void typing_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<int>("count1");

        QTest::newRow("12 moves to the next entry")
            << QList<Step> { { 0, 0, QStringLiteral("12") } } << "Text1(1)"
            << "" << 1;
        QTest::newRow("one digit stays")
            << QList<Step> { { 0, 0, QStringLiteral("7") } } << "Text1(0)"
            << "" << 1;
        QTest::newRow("45 is pulled back and selected")
            << QList<Step> { { 0, 0, QStringLiteral("45") } } << "Text1(0)"
            << "45" << 1;
        QTest::newRow("0 stays selected")
            << QList<Step> { { 0, 0, QStringLiteral("0") } } << "Text1(0)"
            << "0" << 0;
        QTest::newRow("letters stay selected")
            << QList<Step> { { 0, 0, QStringLiteral("x") } } << "Text1(0)"
            << "x" << 0;
        QTest::newRow("entry 4 with two characters keeps the focus")
            << QList<Step> { { 0, 0, QStringLiteral("1011121314") } } << "Text1(4)"
            << "" << 5;
        QTest::newRow("Enter moves along the box")
            << QList<Step> { { 0, 0, QStringLiteral("7\n") } } << "Text1(1)"
            << "" << 1;
        QTest::newRow("Enter on entry 4 of box 1 goes to box 2")
            << QList<Step> { { 0, 0, QStringLiteral("1011121314") },
                   { 0, 4, QStringLiteral("\n") } }
            << "Text2(0)"
            << "" << 5;
        QTest::newRow("Enter on entry 4 of box 8 goes to box 1")
            << QList<Step> { { 7, 4, QStringLiteral("\n") } } << "Text1(0)"
            << "" << 0;
        QTest::newRow("Enter keeps an out-of-range value")
            << QList<Step> { { 0, 0, QStringLiteral("9") }, { 0, 1, QStringLiteral("\n") } }
            << "Text1(2)"
            << "" << 1;
    }

    void typing()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(QString, focus);
        QFETCH(QString, selection);
        QFETCH(int, count1);
        type(steps);
        QCOMPARE(focusName(), focus);
        QCOMPARE(selected(), selection);
        QCOMPARE(m_window->draft().counts[0], count1);
    }

    void deletingTheTextKeepsTheFocus()
    {
        GridEntry* entry = m_window->entry(2, 1);
        entry->focusAndSelect();
        QTest::keyClicks(entry, QStringLiteral("7"));
        QTest::keyClick(entry, Qt::Key_Backspace);
        QCOMPARE(focusName(), QStringLiteral("Text3(1)"));
        QCOMPARE(m_window->draft().counts[2], 0);
    }

    void pricesFollowTheGrid()
    {
        m_window->entry(0, 0)->setText(QStringLiteral("1"));
        m_window->entry(0, 1)->setText(QStringLiteral("2"));
        m_window->entry(1, 0)->setText(QStringLiteral("13"));
        m_window->entry(1, 1)->setText(QStringLiteral("14"));
        fillOneEach(2);
        QCOMPARE(m_window->draft().combinations, 4);
        QCOMPARE(label("Label2")->text(), QStringLiteral("Combinazioni  4"));
        QCOMPARE(label("Label4")->text(), QStringLiteral("Prezzo   3.200"));
        QCOMPARE(label("Label5")->text(), QStringLiteral("€ 1,64"));

        m_window->entry(3, 1)->focusAndSelect();
        QTest::keyClick(m_window->entry(3, 1), Qt::Key_Return);
        QCOMPARE(label("Label5")->text(), QStringLiteral("In EURO 1,64"));
        m_window->entry(3, 1)->setText(QStringLiteral("x"));
        QCOMPARE(label("Label5")->text(), QStringLiteral("€ 1,64"));
    }

    void anEmptyBoxZeroesEverything()
    {
        fillOneEach(0);
        QCOMPARE(label("Label2")->text(), QStringLiteral("Combinazioni  1"));
        m_window->entry(7, 0)->clear();
        QCOMPARE(label("Label2")->text(), QStringLiteral("Combinazioni  "));
        QCOMPARE(label("Label4")->text(), QStringLiteral("Prezzo   "));
        QCOMPARE(label("Label5")->text(), QStringLiteral("€ 0,00"));
    }

    void outOfRangeValuesStillCount()
    {
        m_window->entry(4, 0)->setText(QStringLiteral("45"));
        m_window->entry(4, 1)->setText(QStringLiteral("-3"));
        QCOMPARE(m_window->draft().counts[4], 2);
    }

    void everyChangeClearsTheComputedMarker()
    {
        fillOneEach(0);
        // The marker is only ever set by a calculation; a change clears it.
        const_cast<SystemDraft&>(m_window->draft()).computed = true;
        m_window->entry(0, 0)->setText(QStringLiteral("4"));
        QCOMPARE(m_window->draft().computed, false);
    }

    void tabOrderTakesFourEntriesABoxFirst()
    {
        QStringList visited;
        m_window->entry(0, 0)->focusAndSelect();
        for (int i = 0; i < 32; ++i) {
            visited << focusName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited.at(0), QStringLiteral("Text1(0)"));
        QCOMPARE(visited.at(3), QStringLiteral("Text1(3)"));
        QCOMPARE(visited.at(4), QStringLiteral("Text2(0)"));
        QCOMPARE(visited.at(31), QStringLiteral("Text8(3)"));
        QCOMPARE(focusName(), QStringLiteral("Command5"));
        for (int i = 0; i < 40 && focusName() != QStringLiteral("Text1(4)"); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Text1(4)"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("Text2(4)"));
    }

    void clickSelectsTheWholeText()
    {
        GridEntry* entry = m_window->entry(5, 2);
        entry->setText(QStringLiteral("21"));
        QTest::mouseClick(entry, Qt::LeftButton, {}, QPoint(2, entry->height() / 2));
        QCOMPARE(entry->selectedText(), QStringLiteral("21"));
    }

    void entriesTakeTwoCharactersInBold()
    {
        GridEntry* entry = m_window->entry(0, 0);
        QCOMPARE(entry->maxLength(), 2);
        QVERIFY(entry->font().bold());
        QCOMPARE(entry->font().pointSizeF(), 9.75);
    }

    void anyTextTypedIsSafe()
    {
        const QString keys = QStringLiteral("a1-.9 ,x07+3e");
        for (int box = 0; box < kBoxes; ++box)
            for (int i = 0; i < kEntries; ++i) {
                m_window->entry(box, i)->focusAndSelect();
                for (QChar c : keys)
                    QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            }
        QVERIFY(m_window->draft().combinations >= 0);
    }

    void theOptimisedReductionIsOffAtStartAndNotForIntegrale()
    {
        auto* check = m_window->findChild<QCheckBox*>(QStringLiteral("Check1"));
        QCOMPARE(check->parent()->objectName(), QStringLiteral("Frame2"));
        QVERIFY(!check->isChecked());
        QVERIFY(!m_window->isOptimised());
        QCOMPARE(label("Label9")->text(), QString());
        m_window->setSystemType(SystemType::Integrale);
        QVERIFY(!check->isEnabled());
        m_window->setSystemType(SystemType::CinquePunti);
        QVERIFY(check->isEnabled());
    }

    void newSystemClearsEverything()
    {
        fillOneEach(0);
        m_window->setSystemType(SystemType::Integrale);
        m_window->findChild<QToolButton*>(QStringLiteral("Command5"))->click();
        for (int box = 0; box < kBoxes; ++box)
            QVERIFY(m_window->entry(box, 0)->text().isEmpty());
        QCOMPARE(m_window->systemType(), SystemType::SeiPunti);
        QCOMPARE(label("Label8")->text(), QStringLiteral("Nuovo sistema"));
        QCOMPARE(label("Label3")->text(), QStringLiteral("Colonne ridotte"));
        QCOMPARE(label("Label6")->text(), QStringLiteral("Prezzo ridotto"));
        QCOMPARE(label("Label7")->text(), QStringLiteral("€"));
        QCOMPARE(m_window->draft().combinations, 0);
        QCOMPARE(focusName(), QStringLiteral("Text1(0)"));
        QVERIFY(m_messages.shown.isEmpty());
    }

    void quitClosesTheWindow_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("button") << false;
        QTest::newRow("menu") << true;
    }

    void quitClosesTheWindow()
    {
        QFETCH(bool, fromMenu);
        if (fromMenu)
            m_window->findChild<QAction*>(QStringLiteral("fine"))->trigger();
        else
            m_window->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
        QVERIFY(!m_window->isVisible());
    }

    void windowsOpenAsTheyShould_data()
    {
        QTest::addColumn<QString>("command"); // a button or a menu item
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("blocking");
        QTest::newRow("print") << "Command3"
                               << "Form2" << false;
        QTest::newRow("check") << "Command7"
                               << "Form3" << true;
        QTest::newRow("import/export button") << "Command9"
                                              << "Form4" << false;
        QTest::newRow("import/export menu") << "importa"
                                            << "Form4" << false;
        QTest::newRow("personalisation") << "inserimento"
                                         << "Form5" << true;
        QTest::newRow("about") << "info"
                               << "frmAbout" << true;
    }

    void windowsOpenAsTheyShould()
    {
        QFETCH(QString, command);
        QFETCH(QString, window);
        QFETCH(bool, blocking);
        auto run = [&] {
            if (auto* button = m_window->findChild<QAbstractButton*>(command))
                button->click();
            else
                m_window->findChild<QAction*>(command)->trigger();
        };
        run();
        QWidget* shown = shownWindow(window);
        QVERIFY2(shown, qPrintable(window));
        QCOMPARE(m_window->isEnabled(), !blocking);
        QVERIFY(shown->isEnabled());
        if (!blocking) {
            // Opening again only shows the same window.
            run();
            QCOMPARE(shownWindow(window), shown);
            int count = 0;
            for (QWidget* w : QApplication::topLevelWidgets())
                count += w->objectName() == window ? 1 : 0;
            QCOMPARE(count, 1);
        }
        QPointer<QWidget> guard(shown);
        shown->close();
        QTRY_VERIFY(guard.isNull());
        QTRY_VERIFY(m_window->isEnabled());
    }

    void personalisationUpdatesThePrices()
    {
        m_window->findChild<QAction*>(QStringLiteral("inserimento"))->trigger();
        QWidget* form = shownWindow(QStringLiteral("Form5"));
        QVERIFY(form);
        form->findChild<QLineEdit*>(QStringLiteral("Text1(10)"))->setText(QStringLiteral("0,5"));
        form->findChild<QAbstractButton*>(QStringLiteral("Command1"))->click();
        QTRY_VERIFY(m_window->isEnabled());
        QCOMPARE(m_window->draft().euroPrice(), QStringLiteral("0.5"));
        QCOMPARE(readSettings(folder().settingsFile())->euroPrice, QStringLiteral("0.5"));
        QVERIFY(writeSettings(folder().settingsFile(), Settings::defaults()).has_value());
    }

    void settingsWithoutPricesShowZero()
    {
        Settings settings;
        settings.companyName = QStringLiteral("Rossi");
        MainWindow window(services(), m_windows, settings);
        window.entry(0, 0)->setText(QStringLiteral("1"));
        for (int box = 1; box < kBoxes; ++box)
            window.entry(box, 0)->setText(QString::number(box + 1));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label4"))->text(),
            QStringLiteral("Prezzo   "));
        QCOMPARE(
            window.findChild<QLabel*>(QStringLiteral("Label5"))->text(), QStringLiteral("€ 0,00"));
    }

    void euroPriceWithCommaReadsAsDecimal()
    {
        Settings settings = Settings::defaults();
        settings.euroPrice = QStringLiteral("1.234,5");
        MainWindow window(services(), m_windows, settings);
        QCOMPARE(window.draft().euroPrice(), QStringLiteral("1.234.5"));
        QCOMPARE(window.draft().euroPerColumn(), 1.234);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
