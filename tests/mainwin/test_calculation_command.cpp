#include "core/data_folder.h"
#include "core/settings_file.h"
#include "engine/calculation.h"
#include "engine/preview_model.h"
#include "mainwin/main_window.h"
#include "mainwin/window_opener.h"
#include "support/recording_print_service.h"
#include "support/recording_services.h"
#include "support/window_services.h"
#include "transfer/volumes.h"
#include "widgets/grid_entry.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace ottavario;

using BoxTexts = QList<QStringList>;
Q_DECLARE_METATYPE(BoxTexts)
Q_DECLARE_METATYPE(SystemType)

class TestCalculationCommand : public QObject, private testing::WindowServices {
    Q_OBJECT

private:
    WorkFiles workFiles() const
    {
        return { folder().developedWorkFile(), folder().keptWorkFile() };
    }
    std::unique_ptr<MainWindow> m_window;

    QString labelText(const char* name) const
    {
        return m_window->findChild<QLabel*>(QLatin1StringView(name))->text();
    }

    void fill(const BoxTexts& boxes)
    {
        for (int box = 0; box < boxes.size(); ++box)
            for (int i = 0; i < boxes[box].size(); ++i)
                m_window->entry(box, i)->setText(boxes[box][i]);
    }

    // Runs the command from its button and waits for the worker.
    void calculate()
    {
        QSignalSpy finished(m_window.get(), &MainWindow::calculationFinished);
        m_window->findChild<QToolButton*>(QStringLiteral("Command1"))->click();
        if (finished.isEmpty())
            QVERIFY(finished.wait(60000));
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static BoxTexts workedExampleGrid()
    {
        return { { "1", "2" }, { "3" }, { "4" }, { "5" }, { "6" }, { "7" }, { "8" }, { "9" } };
    }

    // 6561 columns; the greedy keeps 198 of them for six points, 81 suffice.
    static BoxTexts threeEachGrid()
    {
        BoxTexts boxes;
        for (int box = 0; box < kBoxes; ++box)
            boxes.append({ QString::number(3 * box + 1), QString::number(3 * box + 2),
                QString::number(3 * box + 3) });
        return boxes;
    }

    QPushButton* quitButton() const
    {
        return m_window->findChild<QPushButton*>(QStringLiteral("Command4"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    }

    void init()
    {
        QVERIFY(folder().prepare().has_value());
        m_messages.shown.clear();
        m_window = std::make_unique<MainWindow>(services(), m_windows, Settings::defaults());
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        QDir(folder().work()).removeRecursively();
    }

    void workedExample_data()
    {
        QTest::addColumn<SystemType>("type");
        QTest::addColumn<int>("kept");
        QTest::newRow("Integrale") << SystemType::Integrale << 2;
        QTest::newRow("Sette punti") << SystemType::SettePunti << 1;
        QTest::newRow("Sei punti") << SystemType::SeiPunti << 1;
        QTest::newRow("Cinque punti") << SystemType::CinquePunti << 1;
    }

    void workedExample()
    {
        QFETCH(SystemType, type);
        QFETCH(int, kept);
        fill(workedExampleGrid());
        m_window->setSystemType(type);
        calculate();
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(m_window->preview().rowCount(), kept);
        QCOMPARE(m_window->preview().index(0).data().toString(),
            QStringLiteral("   1   3   4   5   6   7   8   9"));
        QCOMPARE(labelText("Label3"), QStringLiteral("Colonne ridotte  %1").arg(kept));
        QCOMPARE(labelText("Label6"),
            kept == 2 ? QStringLiteral("Prezzo ridotto  1.600")
                      : QStringLiteral("Prezzo ridotto  800"));
        QCOMPARE(
            labelText("Label7"), kept == 2 ? QStringLiteral("€ 0,82") : QStringLiteral("€ 0,41"));
        QVERIFY(m_window->draft().computed);
        QCOMPARE(
            contents(folder().developedWorkFile()), QByteArray(" 1 3 4 5 6 7 8 9 2 3 4 5 6 7 8 9"));
        QCOMPARE(contents(folder().keptWorkFile()).size(), kept * 16);
        QCOMPARE(m_window->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->value(), 1);
    }

    void nothingDevelopedIsToldAndCannotBeSaved()
    {
        fill({ { "5" }, { "5" }, { "4" }, { "6" }, { "7" }, { "8" }, { "9" }, { "10" } });
        calculate();
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Calcolo delle colonne"));
        QVERIFY(m_messages.lastText().startsWith(QStringLiteral("Nessuna colonna valida")));
        QCOMPARE(m_window->preview().rowCount(), 0);
        QCOMPARE(labelText("Label3"), QStringLiteral("Colonne ridotte  "));
        QCOMPARE(labelText("Label7"), QStringLiteral("€ 0,00"));
        QCOMPARE(labelText("Label9"), QString());
        QCOMPARE(contents(folder().developedWorkFile()), QByteArray());
        QCOMPARE(contents(folder().keptWorkFile()), QByteArray());

        m_dialogs.answers = QStringList { folder().systems() + QStringLiteral("/vuoto.stt") };
        m_window->saveSystem();
        QCOMPARE(m_messages.shown.size(), 2);
        QCOMPARE(m_messages.shown[1].title, QStringLiteral("Salva sistema Ottavario*"));
        QVERIFY(m_dialogs.answers.size() == 1); // refused before the dialog
        QVERIFY(!QFile::exists(folder().systems() + QStringLiteral("/vuoto.stg")));
    }

    // An optimised search takes seconds: the figures of the last result must
    // not stand beside it, nor a stub of the bar after it.
    void aNewCalculationClearsTheLastFiguresAndLeavesAnEmptyBar()
    {
        fill(threeEachGrid());
        calculate();
        QCOMPARE(labelText("Label3"), QStringLiteral("Colonne ridotte  198"));
        m_window->setOptimised(true);
        QSignalSpy finished(m_window.get(), &MainWindow::calculationFinished);
        m_window->calculate();
        QVERIFY(m_window->isSearching());
        QCOMPARE(labelText("Label3"), QStringLiteral("Colonne ridotte"));
        QCOMPARE(labelText("Label6"), QStringLiteral("Prezzo ridotto"));
        QCOMPARE(labelText("Label7"), QStringLiteral("€"));
        QCOMPARE(labelText("Label9"), QString());
        m_window->stopSearch();
        QVERIFY(finished.wait(60000));
        const auto* bar = m_window->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
        QCOMPARE(bar->value(), bar->minimum());
    }

    void refusals_data()
    {
        QTest::addColumn<BoxTexts>("boxes");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        const BoxTexts ones = { { "1" }, { "2" }, { "3" }, { "4" }, { "5" }, { "6" }, { "7" }, {} };
        QTest::newRow("an empty box") << ones << "Salva sistema Ottavario*"
                                      << "Iserire i numeri per elaborare il sistema."
                                      << "";
        QTest::newRow("repeat in box 6") << BoxTexts { { "1" }, { "2" }, { "3" }, { "4" }, { "5" },
            { "6", "11", "12", "6" }, { "7" }, { "8" } }
                                         << "Controllo"
                                         << "Numero doppio controllare "
                                         << "Text6(0)";
        QTest::newRow("repeat in box 2 on the lower entry") << BoxTexts { { "1" },
            { "9", "2", "2" }, { "3" }, { "4" }, { "5" }, { "6" }, { "7" }, { "8" } }
                                                            << "Controllo"
                                                            << "Numero doppio controllare "
                                                            << "Text2(1)";
        QTest::newRow("45 cannot be marked") << BoxTexts { { "1" }, { "2" }, { "3", "45" }, { "4" },
            { "5" }, { "6" }, { "7" }, { "8" } }
                                             << "Controllo"
                                             << "Numero non valido: inserire i numeri da 1 a 32."
                                             << "Text3(1)";
        QTest::newRow("a fraction cannot be marked")
            << BoxTexts { { "1" }, { "2" }, { "3" }, { "4" }, { ".5" }, { "6" }, { "7" }, { "8" } }
            << "Controllo"
            << "Numero non valido: inserire i numeri da 1 a 32."
            << "Text5(0)";
    }

    void refusals()
    {
        QFETCH(BoxTexts, boxes);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        QFile old(folder().developedWorkFile());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous");
        old.close();
        fill(boxes);
        QString focusWhileShown;
        m_messages.onShow = [&] {
            focusWhileShown = QApplication::focusWidget()
                ? QApplication::focusWidget()->objectName()
                : QString();
        };
        calculate();
        m_messages.onShow = nullptr;
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, title);
        QCOMPARE(m_messages.shown[0].text, text);
        if (!focus.isEmpty()) {
            auto* entry = m_window->findChild<GridEntry*>(focus);
            QVERIFY(entry->hasFocus());
            QCOMPARE(entry->selectedText(), entry->text());
        }
        QVERIFY(!m_window->draft().computed);
        QCOMPARE(contents(folder().developedWorkFile()), QByteArray("previous"));
    }

    void aMissingWorkFolderIsCreated()
    {
        QVERIFY(QDir(folder().work()).removeRecursively());
        fill(workedExampleGrid());
        calculate();
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(contents(folder().keptWorkFile()), QByteArray(" 1 3 4 5 6 7 8 9"));
    }

    void anUnwritableWorkFileIsTold()
    {
        QVERIFY(QDir().mkpath(folder().keptWorkFile())); // a folder where the file belongs
        fill(workedExampleGrid());
        calculate();
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY2(m_messages.lastText().contains(QDir::toNativeSeparators(folder().keptWorkFile()))
                || m_messages.lastText().contains(folder().keptWorkFile()),
            qPrintable(m_messages.lastText()));
        QVERIFY(!m_window->draft().computed);
    }

    void theWindowTakesNoCommandWhileCalculating()
    {
        fill({ { "1", "2", "3", "4", "5" }, { "1", "2", "6", "7", "8" },
            { "9", "10", "11", "12", "13" }, { "9", "10", "14", "15", "16" },
            { "17", "18", "19", "20", "21" }, { "17", "18", "22", "23", "24" },
            { "25", "26", "27", "28", "29" }, { "25", "26", "30", "31", "32" } });
        m_window->setSystemType(SystemType::Integrale);
        QSignalSpy finished(m_window.get(), &MainWindow::calculationFinished);
        m_window->calculate();
        QVERIFY(m_window->isCalculating());
        QVERIFY(!m_window->menuBar()->isEnabled());
        QVERIFY(!m_window->entry(0, 0)->isEnabled());
        m_window->calculate(); // ignored
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.size(), 1);
        QVERIFY(m_window->entry(0, 0)->isEnabled());
        QCOMPARE(m_window->preview().rowCount(), 234256);
        QCOMPARE(labelText("Label3"), QStringLiteral("Colonne ridotte  234.256"));
        QCOMPARE(labelText("Label6"), QStringLiteral("Prezzo ridotto  187.404.800"));
        // Nine digits and more are shown whole.
        QApplication::processEvents();
        for (const char* name : { "Label2", "Label4", "Label5", "Label3", "Label6", "Label7" }) {
            const auto* label = m_window->findChild<QLabel*>(QLatin1StringView(name));
            QVERIFY2(label->contentsRect().width()
                    >= label->fontMetrics().horizontalAdvance(label->text()),
                name);
        }
    }

    void aChangeAfterTheCalculationClearsTheMarker()
    {
        fill(workedExampleGrid());
        calculate();
        QVERIFY(m_window->draft().computed);
        m_window->entry(7, 0)->setText(QStringLiteral("10"));
        QVERIFY(!m_window->draft().computed);
    }

    void theGuaranteeIsShown_data()
    {
        QTest::addColumn<SystemType>("type");
        QTest::addColumn<bool>("optimised");
        QTest::addColumn<QString>("guarantee");
        QTest::newRow("Integrale")
            << SystemType::Integrale << false << "Garanzia verificata: 8 punti";
        QTest::newRow("Integrale, box ticked")
            << SystemType::Integrale << true << "Garanzia verificata: 8 punti";
        QTest::newRow("Sette punti")
            << SystemType::SettePunti << false << "Garanzia verificata: 7 punti";
        QTest::newRow("Sei punti, optimised")
            << SystemType::SeiPunti << true << "Garanzia verificata: 6 punti";
        QTest::newRow("Cinque punti, optimised")
            << SystemType::CinquePunti << true << "Garanzia verificata: 5 punti";
    }

    void theGuaranteeIsShown()
    {
        QFETCH(SystemType, type);
        QFETCH(bool, optimised);
        QFETCH(QString, guarantee);
        fill(workedExampleGrid());
        m_window->setSystemType(type);
        m_window->setOptimised(optimised);
        calculate();
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(labelText("Label9"), guarantee);
        QCOMPARE(m_window->preview().rowCount(), type == SystemType::Integrale ? 2 : 1);
        QVERIFY(m_window->draft().computed);
    }

    void theOptimisedReductionKeepsFarFewerColumns()
    {
        fill(threeEachGrid());
        calculate();
        const int greedy = m_window->preview().rowCount();
        QCOMPARE(greedy, 198);

        auto* check = m_window->findChild<QCheckBox*>(QStringLiteral("Check1"));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
        QVERIFY(m_window->isOptimised());
        calculate();
        QVERIFY(m_messages.shown.isEmpty());
        const int kept = m_window->preview().rowCount();
        QVERIFY2(kept <= greedy * 6 / 10, qPrintable(QString::number(kept)));
        QCOMPARE(labelText("Label3"), QStringLiteral("Colonne ridotte  %1").arg(kept));
        QCOMPARE(labelText("Label6"), QStringLiteral("Prezzo ridotto  %L1").arg(kept * 800));
        QCOMPARE(labelText("Label9"), QStringLiteral("Garanzia verificata: 6 punti"));
        QCOMPARE(contents(folder().keptWorkFile()).size(), kept * 16);
        QVERIFY(m_window->draft().computed);
        QCOMPARE(quitButton()->text(), QStringLiteral("Fine lavoro"));
        QVERIFY(quitButton()->isEnabled());
    }

    void stoppingTheSearchKeepsAValidSet_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Interrompi") << "button";
        QTest::newRow("Esc") << "escape";
        QTest::newRow("closing the window") << "close";
    }

    void stoppingTheSearchKeepsAValidSet()
    {
        QFETCH(QString, how);
        fill(threeEachGrid());
        m_window->setSystemType(SystemType::SettePunti);
        m_window->setOptimised(true);
        QSignalSpy finished(m_window.get(), &MainWindow::calculationFinished);
        m_window->calculate();
        QVERIFY(m_window->isSearching());
        QVERIFY(!m_window->menuBar()->isEnabled());
        QVERIFY(!m_window->entry(0, 0)->isEnabled());
        QVERIFY(quitButton()->isEnabled());
        QCOMPARE(quitButton()->text(), QStringLiteral("Interrompi"));
        if (how == u"escape")
            QTest::keyClick(m_window.get(), Qt::Key_Escape);
        else if (how == u"button")
            quitButton()->click();
        else
            QVERIFY(!m_window->close());
        QVERIFY(m_window->isSearching());
        QVERIFY(!quitButton()->isEnabled()); // taken; the result follows
        // The search ends at its next step, long before its bound.
        QVERIFY(finished.wait(60000));
        QCOMPARE(m_window->isVisible(), how != u"close");
        QVERIFY(m_messages.shown.isEmpty());
        const int kept = m_window->preview().rowCount();
        QVERIFY(kept > 0 && kept <= 1641);
        QCOMPARE(labelText("Label9"), QStringLiteral("Garanzia verificata: 7 punti"));
        QVERIFY(m_window->draft().computed);
        QCOMPARE(quitButton()->text(), QStringLiteral("Fine lavoro"));
        QVERIFY(quitButton()->isEnabled());
        QVERIFY(m_window->entry(0, 0)->isEnabled());
    }

    void theGuaranteeGoesWithTheMarker_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("a grid change") << "change";
        QTest::newRow("nuovo") << "nuovo";
    }

    void theGuaranteeGoesWithTheMarker()
    {
        QFETCH(QString, action);
        fill(workedExampleGrid());
        calculate();
        QCOMPARE(labelText("Label9"), QStringLiteral("Garanzia verificata: 6 punti"));
        if (action == QStringLiteral("change")) {
            m_window->entry(7, 0)->setText(QStringLiteral("10"));
        } else {
            m_window->findChild<QAction*>(QStringLiteral("nuovo"))->trigger();
        }
        QCOMPARE(labelText("Label9"), QString());
        QVERIFY(!m_window->draft().computed);
    }

    void aGuaranteeThatFailsItsCheckIsNotMarked()
    {
        m_window->calculationRunner().setCalculation(
            [files = workFiles()](const Grid& grid, SystemType type, CalculationProgress* progress,
                const CalculationOptions& options) {
                auto result = calculateColumns(grid, type, files, progress, options);
                if (result)
                    result->guaranteeVerified = false;
                return result;
            });
        fill(workedExampleGrid());
        calculate();
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Calcolo delle colonne"));
        QVERIFY2(m_messages.lastText().contains(QStringLiteral("6 punti")),
            qPrintable(m_messages.lastText()));
        QCOMPARE(labelText("Label9"), QString());
        QVERIFY(!m_window->draft().computed);
        m_window->saveSystem();
        QCOMPARE(m_messages.lastText(),
            QStringLiteral("Prima di salvare il sistema bisogna elaborarlo."));
    }

    void newSystemEmptiesThePreview()
    {
        fill(workedExampleGrid());
        calculate();
        m_window->findChild<QAction*>(QStringLiteral("nuovo"))->trigger();
        QCOMPARE(m_window->preview().rowCount(), 0);
        QCOMPARE(labelText("Label3"), QStringLiteral("Colonne ridotte"));
    }
};

QTEST_MAIN(TestCalculationCommand)
#include "test_calculation_command.moc"
