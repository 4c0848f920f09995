#include "core/data_folder.h"
#include "core/settings_file.h"
#include "engine/engine_grids.h"
#include "mainwin/conditions_window.h"
#include "mainwin/main_window.h"
#include "mainwin/window_opener.h"
#include "support/recording_print_service.h"
#include "support/recording_services.h"
#include "support/window_services.h"
#include "systems/description_file.h"
#include "transfer/volumes.h"
#include "widgets/grid_entry.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace ottavario;
using namespace Qt::StringLiterals;

// The medium grid: 216 columns. Boxes 7 and 8 hold the odd 13 and 19, boxes
// 5 and 6 two even numbers each, and boxes 1 to 4 two odd numbers of three,
// of three, of three and one of two: 32 columns hold 6 odd numbers, 16 of
// them with 1 in box 1.
class TestConditionsWindow : public QObject, private testing::WindowServices {
    Q_OBJECT

private:
    template <typename T> static T* child(QWidget* w, const QString& name)
    {
        T* found = w->findChild<T*>(name);
        if (!found)
            qWarning("no %s", qPrintable(name));
        return found;
    }
    static QString text(QWidget* w, const char* label)
    {
        return child<QLabel>(w, QLatin1StringView(label))->text();
    }
    // Replaces the text of a field key by key, as the player would.
    static void retype(QLineEdit* edit, const QString& keys)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, keys);
    }

    QWidget* shownWindow(const QString& name) const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible())
                return w;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        QVERIFY(folder().prepare().has_value());
    }

    void countFollowsTheRowsAsTyped()
    {
        ConditionsWindow window(testing::mediumGrid(), {}, 800, 0.41);
        window.show();
        QCOMPARE(text(&window, "Label2"), u"Colonne sviluppate  216"_s);
        QCOMPARE(text(&window, "Label3"), u"Colonne in gioco  216"_s);

        child<QPushButton>(&window, u"Command1"_s)->click();
        auto* ok = child<QPushButton>(&window, u"Command4"_s);
        // A group to fill: told, and OK waits for it.
        QVERIFY(text(&window, "Label6").contains(u"Condizione 1: il gruppo non contiene numeri"));
        QVERIFY(!ok->isEnabled());

        child<QComboBox>(&window, u"Combo1(0)"_s)->setCurrentIndex(2); // Dispari, 0 to 8
        QCOMPARE(window.inPlayCount(), 216);
        QVERIFY(ok->isEnabled());
        retype(window.lowestBox(0), u"6"_s);
        QCOMPARE(text(&window, "Label3"), u"Colonne in gioco  32"_s);
        QCOMPARE(text(&window, "Label4"), u"Prezzo  25.600"_s);
        QCOMPARE(text(&window, "Label5"), u"€ 13,12"_s);

        child<QPushButton>(&window, u"Command1"_s)->click();
        QTest::keyClicks(window.groupBox(1), u"1"_s);
        retype(window.lowestBox(1), u"1"_s);
        QCOMPARE(window.inPlayCount(), 16);
        // Tab goes along a row and on to the next one.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.highestBox(0)->setFocus();
        QTest::keyClick(window.highestBox(0), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window.kindBox(1));

        retype(window.highestBox(1), u"0"_s);
        QVERIFY(text(&window, "Label6").contains(u"Condizione 2: da 1 a 0"));
        QVERIFY(!ok->isEnabled());
        // The rows that are conditions still count.
        QCOMPARE(window.inPlayCount(), 32);
        retype(window.highestBox(1), u"8"_s);

        // The first row goes, the second takes its names.
        child<QPushButton>(&window, u"Command3(0)"_s)->click();
        QCOMPARE(window.rowCount(), 1);
        QCOMPARE(child<QLineEdit>(&window, u"Text1(0)"_s)->text(), u"1"_s);
        QCOMPARE(window.inPlayCount(), 72);

        QSignalSpy accepted(&window, &ConditionsWindow::conditionsAccepted);
        ok->click();
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(conditionLine(accepted[0][0].value<Conditions>().at(0)), u"numeri 1 da 1 a 8"_s);
    }

    // Condition, compute, save, start anew, open again: the conditions go
    // along, and the guarantee is told over the columns in play.
    void mainWindowCarriesTheConditions()
    {
        MainWindow window(services(), m_windows, Settings::defaults());
        window.show();
        const Grid grid = testing::mediumGrid();
        for (int box = 0; box < kBoxes; ++box)
            for (int i = 0; i < kEntries; ++i)
                window.entry(box, i)->setText(grid.entries[box][i]);
        QCOMPARE(text(&window, "Label10"), QString());

        child<QToolButton>(&window, u"Command10"_s)->click();
        auto* conditions = qobject_cast<ConditionsWindow*>(shownWindow(u"Form6"_s));
        QVERIFY(conditions);
        QVERIFY(!window.isEnabled());
        child<QPushButton>(conditions, u"Command1"_s)->click();
        conditions->kindBox(0)->setCurrentIndex(2);
        retype(conditions->lowestBox(0), u"6"_s);
        child<QPushButton>(conditions, u"Command4"_s)->click();
        QTRY_VERIFY(window.isEnabled());
        QCOMPARE(text(&window, "Label10"), u"Sistema condizionato: 32 colonne in gioco"_s);
        QCOMPARE(window.columnsInPlay().size(), 32u);

        QSignalSpy finished(&window, &MainWindow::calculationFinished);
        window.calculate();
        QVERIFY(finished.wait(60000));
        QCOMPARE(
            text(&window, "Label9"), u"Garanzia verificata: 6 punti sulle colonne condizionate"_s);

        const QString path = folder().systems() + u"/condizionato.stt"_s;
        m_dialogs.answers = { path };
        window.saveSystem();
        QVERIFY2(m_messages.shown.isEmpty(), qPrintable(m_messages.lastText()));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(
            saved.readAll().endsWith("[Condizioni]\r\ndispari da 6 a 8\r\n[Fine condizioni]\r\n"));

        window.newSystem();
        QVERIFY(window.conditions().empty());
        QCOMPARE(text(&window, "Label10"), QString());
        window.openSystemAt(path);
        QCOMPARE(window.conditions().size(), 1u);
        QCOMPARE(text(&window, "Label10"), u"Sistema condizionato: 32 colonne in gioco"_s);

        // A faulty block refuses the whole file and leaves the window as it was.
        QFile faulty(folder().systems() + u"/rotto.stt"_s);
        QVERIFY(faulty.open(QIODevice::WriteOnly));
        faulty.write(formatDescription(testing::singles(), SystemType::SeiPunti)
            + "[Condizioni]\r\nsomma da 100\r\n[Fine condizioni]\r\n");
        faulty.close();
        window.openSystemAt(faulty.fileName());
        QVERIFY(m_messages.lastText().contains(u"riga 20: manca \"a\""));
        QCOMPARE(window.entry(0, 2)->text(), u"26"_s);
        QCOMPARE(text(&window, "Label10"), u"Sistema condizionato: 32 colonne in gioco"_s);

        // The count follows the grid; with no column in play there is nothing to compute.
        window.entry(3, 1)->clear();
        QCOMPARE(text(&window, "Label10"), u"Sistema condizionato: 0 colonne in gioco"_s);
        window.calculate();
        QVERIFY(m_messages.lastText().startsWith(u"Nessuna colonna rispetta le condizioni"));
        QVERIFY(!window.draft().computed);
    }
};

QTEST_MAIN(TestConditionsWindow)
#include "test_conditions_window.moc"
