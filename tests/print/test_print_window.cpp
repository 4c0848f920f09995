#include "core/data_folder.h"
#include "engine/column_file.h"
#include "pdf_pages.h"
#include "print/print_window.h"
#include "print/slip_picture.h"
#include "recording_print_service.h"
#include "settings/settings_file.h"
#include "support/recording_services.h"
#include "support/test_files.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace ottavario;
using namespace ottavario::print;

class TestPrintWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;
    testing::RecordingMessageService m_messages;
    testing::ScriptedFileDialogs m_dialogs;
    testing::RecordingPrintService m_printer;
    std::unique_ptr<PrintWindow> m_window;

    static QStringList storedValues(const QString& vertical, const QString& horizontal)
    {
        QStringList values = settings::defaultValues();
        values[settings::CompanyName - 1] = QStringLiteral("Rossi, Mario");
        values[settings::Street - 1] = QStringLiteral("Via Roma, 5");
        values[settings::VerticalOffset - 1] = vertical;
        values[settings::HorizontalOffset - 1] = horizontal;
        return values;
    }

    static QByteArray settingsBytes()
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void openWindow()
    {
        m_window = std::make_unique<PrintWindow>(
            PrintWindowServices { &m_messages, &m_dialogs, &m_printer });
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    // A saved system of `columns` columns; its path.
    QString saveSystem(const QString& name, int columns)
    {
        QByteArray bytes;
        for (int r = 0; r < columns; ++r)
            appendCanonicalRecord(bytes, { 1, 2, 3, 4, 5, 6, 7, 8 + r % 20 });
        const QString path = systemsFolder() + u'/' + name + QStringLiteral(".stg");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(bytes);
        return path;
    }

    void openSystem(const QString& path)
    {
        m_dialogs.answers = QStringList { path };
        m_window->findChild<QToolButton*>(QStringLiteral("Command5"))->click();
    }

    template <typename T> T* child(const char* name) const
    {
        T* found = m_window->findChild<T*>(QLatin1StringView(name));
        if (!found)
            qWarning() << "no control" << name;
        return found;
    }
    // A command button by its name, or a menu item.
    void run(const QString& command) const
    {
        if (auto* button = m_window->findChild<QAbstractButton*>(command))
            button->click();
        else if (auto* action = m_window->findChild<QAction*>(command))
            action->trigger();
        else
            qWarning() << "no command" << command;
    }

    // Slips 2 and 3 of six, the listing alone, two copies: every choice of
    // the window that shapes a print differs from what it is at the start.
    void chooseEverything(const QString& stg)
    {
        openSystem(stg);
        child<QComboBox>("Combo1")->setEditText(QStringLiteral("2"));
        child<QComboBox>("Combo2")->setEditText(QStringLiteral("3"));
        child<QRadioButton>("Option1(1)")->click();
        child<QComboBox>("Combo3")->setCurrentIndex(1);
        child<QCheckBox>("Check2")->setChecked(false);
    }

    static QList<QList<PrintItem>> pagesOf(const PrintDocument& document)
    {
        QList<QList<PrintItem>> pages;
        for (const PrintPage& page : document.pages)
            pages << page.items;
        return pages;
    }

    QString text(const char* name) const { return child<QLabel>(name)->text(); }
    QStringList items(const char* name) const
    {
        auto* combo = child<QComboBox>(name);
        QStringList list;
        for (int i = 0; i < combo->count(); ++i)
            list << combo->itemText(i);
        return list;
    }
    static QStringList numbers(int from, int to)
    {
        QStringList list;
        for (int i = from; i <= to; ++i)
            list << QString::number(i);
        return list;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("OTTAVARIO_HOME", m_home->path().toLocal8Bit());
        QVERIFY(QDir().mkpath(systemsFolder()));
        QVERIFY(settings::writeAll(settingsPath(), storedValues("120", "45")));
        m_messages.shown.clear();
        m_dialogs.answers.clear();
        m_dialogs.requests.clear();
        m_printer.printed.clear();
        m_printer.previewed.clear();
        m_printer.setups = 0;
        m_printer.answer = {};
        m_printer.previewAnswer = PrintOutcome::cancelled();
        m_messages.asked.clear();
        m_messages.answers.clear();
        openWindow();
    }

    void cleanup()
    {
        m_window.reset();
        m_home.reset();
        qunsetenv("OTTAVARIO_HOME");
    }

    void opensWithTheStoredCalibration()
    {
        QCOMPARE(m_window->objectName(), QStringLiteral("Form2"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Stampa sistemi Ottavario*"));
        QCOMPARE(text("Label3(0)"), QStringLiteral("Asse y 120"));
        QCOMPARE(text("Label3(1)"), QStringLiteral("Asse x 45"));
        for (const char* name : { "VScroll1", "HScroll1" }) {
            auto* bar = child<QScrollBar>(name);
            QCOMPARE(bar->minimum(), 0);
            QCOMPARE(bar->maximum(), 5000);
            QCOMPARE(bar->singleStep(), 1);
            QCOMPARE(bar->pageStep(), 50);
        }
        QCOMPARE(child<QScrollBar>("VScroll1")->value(), 120);
        QCOMPARE(child<QScrollBar>("HScroll1")->value(), 45);
        QCOMPARE(child<QScrollBar>("VScroll1")->orientation(), Qt::Vertical);
        QCOMPARE(child<QScrollBar>("HScroll1")->orientation(), Qt::Horizontal);
        QCOMPARE(m_window->calibration(), (Calibration { 120, 45 }));
        QCOMPARE(m_window->columnPrice(), QStringLiteral("800"));
        QCOMPARE(text("Label4"), QString());
        QCOMPARE(child<QComboBox>("Combo1")->currentText(), QStringLiteral("0"));
        QCOMPARE(child<QComboBox>("Combo2")->currentText(), QStringLiteral("0"));
        QVERIFY(child<QComboBox>("Combo1")->isEditable());
        QVERIFY(child<QComboBox>("Combo2")->isEditable());
        QCOMPARE(items("Combo3"), numbers(1, 100));
        QCOMPARE(child<QComboBox>("Combo3")->currentText(), QStringLiteral("1"));
        for (const char* name : { "Check1", "Check2", "Check3", "Check4" })
            QVERIFY2(child<QCheckBox>(name)->isChecked(), name);
        QVERIFY(child<QRadioButton>("Option1(0)")->isChecked());
        QCOMPARE(m_window->tabulationLayout(), PrintWindow::TabulationLayout::Prospectus);
        QCOMPARE(m_window->copies(), 1);
        QVERIFY(m_messages.shown.isEmpty());
    }

    void everyControlCarriesItsTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tooltip");
        const QList<std::array<const char*, 3>> rows = {
            { "Command5", "", "Apre un sistema da stampare." },
            { "Frame3", "Taratura", "" },
            { "Command4", "Prova la stampa", "Prova la taratura." },
            { "Command6", "Applica", "Applica le impostazioni di taratura." },
            { "Check2", "In taratura stampa solo un' asse.", "" },
            { "Check1", "Salva i dati alla fine del lavoro.", "" },
            { "Frame1", "Stampa delle schede", "" },
            { "Label1(0)", "Dalla", "" },
            { "Combo1", "", "Prima scheda da stampare." },
            { "Label1(1)", "Alla", "" },
            { "Combo2", "", "Ultima scheda da stampare." },
            { "Command2", "Stampa schede", "Stampa le schede richieste." },
            { "Check3", "Stampa il nome e il numero della scheda.", "" },
            { "Check4", "Alla fine, stampa la scheda informativa.", "" },
            { "Frame2", "Stampa tabulato", "" },
            { "Option1(0)", "Prospetto", "" },
            { "Option1(2)", "Prospetto e colonne", "" },
            { "Option1(1)", "Colonne", "" },
            { "Label2", "Copie", "" },
            { "Combo3", "", "Numero di copie da stampare." },
            { "Command3", "Stampa tabulato", "Stampa il tabulato." },
            { "Command1", "Fine lavoro",
                "Chiude la finestra di stampa e ritorna al menù principale." },
        };
        for (const auto& [name, caption, tooltip] : rows)
            QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(caption)
                                << QString::fromUtf8(tooltip);
    }

    void everyControlCarriesItsTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tooltip);
        auto* widget = m_window->findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        if (!caption.isEmpty()) {
            const char* property = widget->property("title").isValid() ? "title" : "text";
            QCOMPARE(widget->property(property).toString(), caption);
        }
        QCOMPARE(widget->toolTip(), tooltip);
        QVERIFY(widget->isVisible());
    }

    void theMenuListsItsItemsInOrder()
    {
        auto* menu = child<QMenu>("file");
        QCOMPARE(menu->title(), QStringLiteral("&File"));
        QStringList actual;
        for (QAction* action : menu->actions())
            actual << action->objectName() + u':' + action->text();
        QCOMPARE(actual,
            (QStringList { QStringLiteral("impo:I&mpostazioni stampante"),
                QStringLiteral("stampa:&Stampa schede"), QStringLiteral("tabu:S&tampa tabulato"),
                QStringLiteral("anteprima:&Anteprima di stampa"),
                QStringLiteral("filepdf:Stampa su file P&DF"), QStringLiteral("li1:"),
                QStringLiteral("fine:&Fine lavoro") }));
        for (const char* sub : { "anteprima", "pdf" }) {
            QStringList items;
            for (QAction* action :
                child<QAction>(sub == QByteArray("pdf") ? "filepdf" : sub)->menu()->actions())
                items << action->objectName() + u':' + action->text();
            const QString prefix = QString::fromLatin1(sub);
            QCOMPARE(items,
                (QStringList { prefix + QStringLiteral("schede:&Schede"),
                    prefix + QStringLiteral("tabulato:&Tabulato"),
                    prefix + QStringLiteral("prova:Stampa di &prova") }));
        }
    }

    void layoutChoicesStandTopToBottom()
    {
        const int top = child<QRadioButton>("Option1(0)")->y();
        const int middle = child<QRadioButton>("Option1(2)")->y();
        const int bottom = child<QRadioButton>("Option1(1)")->y();
        QVERIFY(top < middle && middle < bottom);
        child<QRadioButton>("Option1(2)")->click();
        QCOMPARE(m_window->tabulationLayout(), PrintWindow::TabulationLayout::ProspectusAndColumns);
        child<QRadioButton>("Option1(1)")->click();
        QCOMPARE(m_window->tabulationLayout(), PrintWindow::TabulationLayout::Columns);
    }

    void theSlipPictureSitsBetweenTheBars()
    {
        auto* picture = child<SlipPicture>("Image1");
        QCOMPARE(picture->size(), QSize(180, 167));
        auto* vertical = child<QScrollBar>("VScroll1");
        auto* horizontal = child<QScrollBar>("HScroll1");
        QCOMPARE(vertical->height(), 167);
        QCOMPARE(horizontal->width(), 180);
        QVERIFY(vertical->geometry().right() < picture->geometry().left());
        QVERIFY(horizontal->geometry().top() > picture->geometry().bottom());
    }

    void storedOffsetsOutOfRangeAreBroughtIn_data()
    {
        QTest::addColumn<QString>("vertical");
        QTest::addColumn<QString>("horizontal");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("x");
        QTest::newRow("too large") << "9999"
                                   << "5001" << 5000 << 5000;
        QTest::newRow("not numbers") << "abc"
                                     << "" << 0 << 0;
        QTest::newRow("negative and fraction") << "-20"
                                               << "12.7" << 0 << 12;
    }

    void storedOffsetsOutOfRangeAreBroughtIn()
    {
        QFETCH(QString, vertical);
        QFETCH(QString, horizontal);
        QFETCH(int, y);
        QFETCH(int, x);
        QVERIFY(settings::writeAll(settingsPath(), storedValues(vertical, horizontal)));
        openWindow();
        QCOMPARE(child<QScrollBar>("VScroll1")->value(), y);
        QCOMPARE(child<QScrollBar>("HScroll1")->value(), x);
        QCOMPARE(text("Label3(0)"), QStringLiteral("Asse y %1").arg(y));
        QCOMPARE(text("Label3(1)"), QStringLiteral("Asse x %1").arg(x));
    }

    void aMissingSettingsFileIsReported()
    {
        QVERIFY(QFile::remove(settingsPath()));
        openWindow();
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Stampa sistemi Ottavario*"));
        QCOMPARE(m_messages.lastText(),
            QStringLiteral("Impossibile leggere il file %1: il file non esiste.")
                .arg(settingsPath()));
        QCOMPARE(m_window->calibration(), (Calibration { 0, 0 }));
    }

    void movingABarRenewsOnlyItsCaption()
    {
        child<QScrollBar>("HScroll1")->setValue(300);
        QCOMPARE(text("Label3(1)"), QStringLiteral("Asse x 300"));
        QCOMPARE(text("Label3(0)"), QStringLiteral("Asse y 120"));
        QCOMPARE(m_window->calibration(), (Calibration { 120, 300 }));
        QTest::keyClick(child<QScrollBar>("VScroll1"), Qt::Key_PageDown);
        QCOMPARE(text("Label3(0)"), QStringLiteral("Asse y 170"));
        QCOMPARE(child<SlipPicture>("Image1")->calibration(), (Calibration { 170, 300 }));
    }

    void thePictureShowsTheMarksWhereTheOffsetsPutThem()
    {
        // At offsets 0 and 0 the grid is printed where the slip's cells are
        // taken to be: every mark stands in its cell.
        for (int line = 1; line <= kSlipLines; ++line)
            for (int row = 1; row <= kSlipRows; ++row)
                QVERIFY(SlipPicture::cellRect(line, row).contains(
                    SlipPicture::markRect({}, line, row)));
        auto* picture = child<SlipPicture>("Image1");
        const QImage before = picture->grab().toImage();
        child<QScrollBar>("VScroll1")->setValue(300);
        child<QScrollBar>("HScroll1")->setValue(200);
        QVERIFY(picture->grab().toImage() != before);
        // To scale, 20 twips a pixel: the marks move as the printed ones do.
        const QRectF mark = SlipPicture::markRect({}, 1, 1);
        const QRectF moved = SlipPicture::markRect(picture->calibration(), 1, 1);
        QCOMPARE(moved.center() - mark.center(), QPointF(10, 15));
        QVERIFY(!SlipPicture::cellRect(1, 1).intersects(moved));
    }

    void applicaStoresOnlyTheOffsets()
    {
        const QByteArray before = settingsBytes();
        child<QScrollBar>("HScroll1")->setValue(300);
        child<QPushButton>("Command6")->click();
        QByteArray expected = before;
        expected.replace("\"120\"\r\n\"45\"\r\n", "\"120\"\r\n\"300\"\r\n");
        QCOMPARE(settingsBytes(), expected);
        QVERIFY(m_messages.shown.isEmpty());
    }

    void closingStoresTheOffsetsOnlyWhenAsked_data()
    {
        QTest::addColumn<bool>("saveOnClose");
        QTest::addColumn<QString>("how");
        for (const char* how : { "Command1", "fine", "close" }) {
            QTest::addRow("kept, %s", how) << true << QString::fromLatin1(how);
            QTest::addRow("cleared, %s", how) << false << QString::fromLatin1(how);
        }
    }

    void closingStoresTheOffsetsOnlyWhenAsked()
    {
        QFETCH(bool, saveOnClose);
        QFETCH(QString, how);
        const QByteArray before = settingsBytes();
        child<QCheckBox>("Check1")->setChecked(saveOnClose);
        child<QScrollBar>("VScroll1")->setValue(700);
        child<QScrollBar>("HScroll1")->setValue(30);
        if (how == QStringLiteral("Command1"))
            child<QPushButton>("Command1")->click();
        else if (how == QStringLiteral("fine"))
            child<QAction>("fine")->trigger();
        else
            m_window->close();
        QVERIFY(!m_window->isVisible());
        QByteArray expected = before;
        if (saveOnClose)
            expected.replace("\"120\"\r\n\"45\"\r\n", "\"700\"\r\n\"30\"\r\n");
        QCOMPARE(settingsBytes(), expected);
    }

    void aFailedStoreNamesTheFile()
    {
        QVERIFY(QFile::remove(settingsPath()));
        QVERIFY(QDir().mkdir(settingsPath()));
        child<QPushButton>("Command6")->click();
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY(m_messages.lastText().startsWith(
            QStringLiteral("Impossibile aggiornare il file %1: ").arg(settingsPath())));
        // Closing tells it again and closes all the same.
        m_window->close();
        QCOMPARE(m_messages.shown.size(), 2);
        QVERIFY(!m_window->isVisible());
    }

    void openingASystemOffersItsSlips()
    {
        const QString path = saveSystem(QStringLiteral("prova"), 37);
        openSystem(path);
        QCOMPARE(m_dialogs.requests.size(), 1);
        QCOMPARE(m_dialogs.requests[0].folder, systemsFolder());
        QCOMPARE(m_dialogs.requests[0].fileName, QStringLiteral("*.stg"));
        QCOMPARE(m_dialogs.requests[0].filter, QStringLiteral("File ottavario* (*.stg)"));
        QCOMPARE(text("Label4"), path);
        QCOMPARE(m_window->systemPath(), path);
        QCOMPARE(m_window->slipCount(), 7);
        QCOMPARE(items("Combo1"), numbers(1, 7));
        QCOMPARE(items("Combo2"), numbers(1, 7));
        QCOMPARE(child<QComboBox>("Combo1")->currentText(), QStringLiteral("1"));
        QCOMPARE(child<QComboBox>("Combo2")->currentText(), QStringLiteral("7"));

        openSystem(saveSystem(QStringLiteral("sei"), 36));
        QCOMPARE(items("Combo2"), numbers(1, 6));
        QCOMPARE(child<QComboBox>("Combo2")->currentText(), QStringLiteral("6"));
    }

    void aCancelledOpenKeepsThePathAndEmptiesTheLists()
    {
        const QString path = saveSystem(QStringLiteral("prova"), 37);
        openSystem(path);
        openSystem(QString());
        QCOMPARE(text("Label4"), path);
        QCOMPARE(m_window->slipCount(), 7);
        QVERIFY(items("Combo1").isEmpty());
        QVERIFY(items("Combo2").isEmpty());
        QCOMPARE(child<QComboBox>("Combo1")->currentText(), QString());
        QCOMPARE(child<QComboBox>("Combo2")->currentText(), QString());
        QVERIFY(m_messages.shown.isEmpty());

        // The emptied range is refused rather than guessed.
        child<QPushButton>("Command2")->click();
        QVERIFY(m_printer.printed.isEmpty());
        QCOMPARE(
            m_messages.lastText(), QStringLiteral("Scegliere le schede da stampare, da 1 a 7."));
    }

    void aFileThatCannotBeOpenedIsReported()
    {
        const QString path = systemsFolder() + QStringLiteral("/sparito.stg");
        openSystem(path);
        QCOMPARE(text("Label4"), QString());
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.lastText(),
            QStringLiteral("Impossibile aprire il file %1: il file non esiste.").arg(path));
    }

    void printingWithoutASystemAsksForOne_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("button") << "Command2";
        QTest::newRow("menu") << "stampa";
        QTest::newRow("preview") << "anteprimaschede";
        QTest::newRow("pdf") << "pdfschede";
    }

    void printingWithoutASystemAsksForOne()
    {
        QFETCH(QString, command);
        run(command);
        QVERIFY(m_printer.printed.isEmpty());
        QVERIFY(m_printer.previewed.isEmpty());
        QVERIFY(m_dialogs.requests.isEmpty());
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Spoglio sistema Ottavario*"));
        QCOMPARE(m_messages.shown[0].text, QStringLiteral("Aprire un sistema."));
    }

    void slipsFollowTheRangeAndTheOptions_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<bool>("nameLine");
        QTest::addColumn<bool>("informationSlip");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("firstText");
        QTest::newRow("middle") << "2"
                                << "3" << true << true << 2 << "campionato2000 Scheda n° 2";
        QTest::newRow("whole") << "1"
                               << "6" << true << true << 7 << "campionato2000 Scheda n° 1";
        QTest::newRow("typed, no name") << "6"
                                        << "6" << false << true << 2 << "Sistema   campionato2000";
        QTest::newRow("no information")
            << "5"
            << "6" << true << false << 2 << "campionato2000 Scheda n° 5";
    }

    void slipsFollowTheRangeAndTheOptions()
    {
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(bool, nameLine);
        QFETCH(bool, informationSlip);
        QFETCH(int, pages);
        QFETCH(QString, firstText);
        openSystem(saveSystem(QStringLiteral("campionato2000"), 36));
        child<QComboBox>("Combo1")->setEditText(first);
        child<QComboBox>("Combo2")->setEditText(last);
        child<QCheckBox>("Check3")->setChecked(nameLine);
        child<QCheckBox>("Check4")->setChecked(informationSlip);
        child<QAction>("stampa")->trigger();
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(m_printer.printed.size(), 1);
        const PrintDocument& document = m_printer.printed[0];
        QCOMPARE(document.pages.size(), pages);
        QString firstTextPrinted;
        for (const PrintPage& page : document.pages)
            if (const auto texts = page.itemsOf(ItemKind::Text); !texts.isEmpty()) {
                firstTextPrinted = texts[0].text;
                break;
            }
        QCOMPARE(firstTextPrinted, firstText);
        // The marks follow the window's calibration.
        QCOMPARE(document.pages[0].items[0].position.y(), 120);
    }

    void theTestPrintFollowsCheck2()
    {
        child<QPushButton>("Command4")->click();
        child<QCheckBox>("Check2")->setChecked(false);
        child<QPushButton>("Command4")->click();
        QCOMPARE(m_printer.printed.size(), 2);
        QCOMPARE(m_printer.printed[0].pages.size(), 1);
        QCOMPARE(m_printer.printed[0].pages[0].items.size(), 32);
        QCOMPARE(m_printer.printed[1].pages[0].items.size(), 192);
        QCOMPARE(m_printer.printed[0].pages[0].items[0].position, QPoint(45, 120));
    }

    void whatAPrintCameToIsReported()
    {
        m_printer.answer = PrintOutcome::failed(QStringLiteral("La stampante è spenta."));
        child<QPushButton>("Command4")->click();
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Stampa sistemi Ottavario*"));
        QCOMPARE(m_messages.lastText(), QStringLiteral("La stampante è spenta."));
        m_printer.answer = PrintOutcome::cancelled();
        child<QPushButton>("Command4")->click();
        QCOMPARE(m_messages.shown.size(), 1);
        // A print that went to a file, from a command or from the preview.
        m_printer.answer = PrintOutcome::toFile(QStringLiteral("/carta/prova.pdf"), 1);
        child<QPushButton>("Command4")->click();
        QCOMPARE(m_messages.lastText(),
            QStringLiteral("Le pagine sono nel file %1: 1 pagina.")
                .arg(QDir::toNativeSeparators(QStringLiteral("/carta/prova.pdf"))));
        m_printer.previewAnswer = PrintOutcome::toFile(QStringLiteral("/carta/prova.pdf"), 4);
        run(QStringLiteral("anteprimaprova"));
        QCOMPARE(m_messages.shown.size(), 3);
        QVERIFY(m_messages.lastText().endsWith(QStringLiteral(": 4 pagine.")));
    }

    void printerSetUpGoesToThePrinter()
    {
        child<QAction>("impo")->trigger();
        QCOMPARE(m_printer.setups, 1);
        QVERIFY(m_printer.printed.isEmpty());
    }

    void theTabulationNeedsAnOpenSystem_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("button") << "Command3";
        QTest::newRow("menu") << "tabu";
        QTest::newRow("preview") << "anteprimatabulato";
        QTest::newRow("pdf") << "pdftabulato";
    }

    void theTabulationNeedsAnOpenSystem()
    {
        QFETCH(QString, command);
        run(command);
        QVERIFY(m_printer.previewed.isEmpty());
        QVERIFY(m_dialogs.requests.isEmpty());
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Spoglio sistema Ottavario*"));
        QCOMPARE(m_messages.lastText(), QStringLiteral("Aprire un sistema."));
        QVERIFY(m_printer.printed.isEmpty());
    }

    void previewShowsWhatTheCommandPrints_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("pages");
        QTest::newRow("slips") << "Command2"
                               << "anteprimaschede" << 2;
        QTest::newRow("tabulation, two copies") << "Command3"
                                                << "anteprimatabulato" << 2;
        QTest::newRow("test print") << "Command4"
                                    << "anteprimaprova" << 1;
    }

    void previewShowsWhatTheCommandPrints()
    {
        QFETCH(QString, command);
        QFETCH(QString, item);
        QFETCH(int, pages);
        chooseEverything(saveSystem(QStringLiteral("campionato2000"), 36));
        run(command);
        run(item);
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(m_printer.printed.size(), 1);
        QCOMPARE(m_printer.previewed.size(), 1);
        QCOMPARE(m_printer.previewed[0].pages.size(), pages);
        QCOMPARE(m_printer.previewed[0].name, m_printer.printed[0].name);
        QCOMPARE(pagesOf(m_printer.previewed[0]), pagesOf(m_printer.printed[0]));
    }

    void aPdfFileHoldsWhatTheCommandPrints_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<int>("pages");
        QTest::newRow("slips") << "pdfschede"
                               << "campionato2000.pdf" << 2;
        QTest::newRow("tabulation, two copies") << "pdftabulato"
                                                << "Tabulato campionato2000.pdf" << 2;
        QTest::newRow("test print") << "pdfprova"
                                    << "Prova di taratura.pdf" << 1;
    }

    void aPdfFileHoldsWhatTheCommandPrints()
    {
        QFETCH(QString, item);
        QFETCH(QString, offered);
        QFETCH(int, pages);
        chooseEverything(saveSystem(QStringLiteral("campionato2000"), 36));
        const QString pdf = m_home->filePath(QStringLiteral("uscita.pdf"));
        m_dialogs.answers = QStringList { pdf };
        run(item);
        QCOMPARE(m_dialogs.requests.size(), 2);
        QCOMPARE(m_dialogs.requests[1].folder, dataFolder());
        QCOMPARE(m_dialogs.requests[1].fileName, offered);
        QCOMPARE(m_dialogs.requests[1].filter, QStringLiteral("File PDF (*.pdf)"));
        QCOMPARE(testing::pdfPageCount(pdf), pages);
        QVERIFY(m_printer.printed.isEmpty());
        // Where the pages went, and how many.
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.lastText(),
            QStringLiteral("Le pagine sono nel file %1: %2 %3.")
                .arg(pdf)
                .arg(pages)
                .arg(pages == 1 ? QStringLiteral("pagina") : QStringLiteral("pagine")));

        // Cancelled: no file, no word.
        QVERIFY(QFile::remove(pdf));
        run(item);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(m_messages.shown.size(), 1);

        const QString nowhere = m_home->filePath(QStringLiteral("manca/uscita.pdf"));
        m_dialogs.answers = QStringList { nowhere };
        run(item);
        QCOMPARE(m_messages.shown.size(), 2);
        QCOMPARE(m_messages.shown[1].title, QStringLiteral("Stampa sistemi Ottavario*"));
        QVERIFY2(m_messages.lastText().startsWith(
                     QStringLiteral("Impossibile scrivere il file %1: ").arg(nowhere)),
            qPrintable(m_messages.lastText()));
    }

    // An existing file is replaced only when the user says so; No asks for
    // the file again, offering the one refused.
    void anExistingPdfFileIsReplacedOnlyOnYes()
    {
        openSystem(saveSystem(QStringLiteral("prova"), 12));
        const QString pdf = m_home->filePath(QStringLiteral("schede.pdf"));
        QVERIFY(testing::writeBytes(pdf, "earlier"));
        const QString other = m_home->filePath(QStringLiteral("altre.pdf"));
        m_dialogs.answers = QStringList { pdf, pdf, other };
        m_messages.answers = { false, true };
        run(QStringLiteral("pdfschede")); // No, then another choice: Yes
        QCOMPARE(m_messages.asked.size(), 2);
        QCOMPARE(m_messages.asked[0].title, QStringLiteral("Stampa sistemi Ottavario*"));
        QCOMPARE(m_messages.asked[0].text,
            QStringLiteral("Il file %1 esiste già. Sostituirlo?").arg(pdf));
        QCOMPARE(m_dialogs.requests.size(), 3);
        QCOMPARE(m_dialogs.requests[2].fileName, QStringLiteral("schede.pdf"));
        QCOMPARE(testing::pdfPageCount(pdf), 3); // two slips and the information slip
        QCOMPARE(m_dialogs.answers, QStringList { other });

        QVERIFY(testing::writeBytes(pdf, "earlier"));
        m_dialogs.answers = QStringList { pdf, QString() };
        m_messages.answers = { false };
        run(QStringLiteral("pdfschede")); // No, then cancelled
        QCOMPARE(testing::contentsOf(pdf), QByteArray("earlier"));
    }

    void refusedSlipRunsPrintNothingAnywhere_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<QString>("said");
        const QString reversed = QStringLiteral(
            "La prima scheda (3) viene dopo l'ultima (2): scegliere le schede da stampare, da 1 "
            "a 6.");
        const QString offSlip = QStringLiteral("La colonna 8 del sistema ha il numero \"40\", "
                                               "che non è sulla scheda (numeri da 1 a 32): "
                                               "nessuna scheda stampata.");
        for (const char* command : { "Command2", "anteprimaschede", "pdfschede" }) {
            QTest::addRow("%s, first after last", command)
                << QString::fromLatin1(command) << "3" << QByteArray() << reversed;
            QTest::addRow("%s, number 40", command)
                << QString::fromLatin1(command) << "1" << QByteArray(" 1 2 3 4 5 6 740") << offSlip;
        }
    }

    void refusedSlipRunsPrintNothingAnywhere()
    {
        QFETCH(QString, command);
        QFETCH(QString, first);
        QFETCH(QByteArray, damaged);
        QFETCH(QString, said);
        const QString stg = saveSystem(QStringLiteral("prova"), 36);
        if (!damaged.isEmpty()) {
            QFile file(stg);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(7 * 16));
            QCOMPARE(file.write(damaged), 16);
        }
        openSystem(stg);
        child<QComboBox>("Combo1")->setEditText(first);
        child<QComboBox>("Combo2")->setEditText(QStringLiteral("2"));
        m_dialogs.answers = QStringList { m_home->filePath(QStringLiteral("schede.pdf")) };
        run(command);
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Stampa sistemi Ottavario*"));
        QCOMPARE(m_messages.lastText(), said);
        QVERIFY(m_printer.printed.isEmpty());
        QVERIFY(m_printer.previewed.isEmpty());
        QCOMPARE(m_dialogs.requests.size(), 1); // the open dialog only
        QVERIFY(!QFile::exists(m_home->filePath(QStringLiteral("schede.pdf"))));
    }
};

QTEST_MAIN(TestPrintWindow)
#include "test_print_window.moc"
