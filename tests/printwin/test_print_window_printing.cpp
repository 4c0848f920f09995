#include "printwin/print_window_fixture.h"

using namespace ottavario;
using namespace ottavario::print;

class TestPrintWindowPrinting : public QObject, testing::PrintWindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void openingASystemOffersItsSlips()
    {
        const QString path = saveSystem(QStringLiteral("prova"), 37);
        openSystem(path);
        QCOMPARE(m_dialogs.requests.size(), 1);
        QCOMPARE(m_dialogs.requests[0].folder, folder().systems());
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

        // The description file typed instead opens the same system.
        openSystem(QString(path).replace(QStringLiteral(".stg"), QStringLiteral(".stt")));
        QCOMPARE(m_window->systemPath(), path);
        QCOMPARE(m_window->slipCount(), 7);
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
        const QString path = folder().systems() + QStringLiteral("/sparito.stg");
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
        QCOMPARE(m_dialogs.requests[1].folder, folder().root());
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

QTEST_MAIN(TestPrintWindowPrinting)
#include "test_print_window_printing.moc"
