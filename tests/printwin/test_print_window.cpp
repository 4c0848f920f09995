#include "printwin/print_window_fixture.h"

using namespace ottavario;
using namespace ottavario::print;

class TestPrintWindow : public QObject, testing::PrintWindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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
        QVERIFY(writeSettings(folder().settingsFile(), storedValues(vertical, horizontal)));
        openWindow();
        QCOMPARE(child<QScrollBar>("VScroll1")->value(), y);
        QCOMPARE(child<QScrollBar>("HScroll1")->value(), x);
        QCOMPARE(text("Label3(0)"), QStringLiteral("Asse y %1").arg(y));
        QCOMPARE(text("Label3(1)"), QStringLiteral("Asse x %1").arg(x));
    }

    void aMissingSettingsFileIsReported()
    {
        QVERIFY(QFile::remove(folder().settingsFile()));
        openWindow();
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Stampa sistemi Ottavario*"));
        QCOMPARE(m_messages.lastText(),
            QStringLiteral("Impossibile leggere il file %1: il file non esiste.")
                .arg(folder().settingsFile()));
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
        QVERIFY(QFile::remove(folder().settingsFile()));
        QVERIFY(QDir().mkdir(folder().settingsFile()));
        child<QPushButton>("Command6")->click();
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY(m_messages.lastText().startsWith(
            QStringLiteral("Impossibile aggiornare il file %1: ").arg(folder().settingsFile())));
        // Closing tells it again and closes all the same.
        m_window->close();
        QCOMPARE(m_messages.shown.size(), 2);
        QVERIFY(!m_window->isVisible());
    }
};

QTEST_MAIN(TestPrintWindow)
#include "test_print_window.moc"
