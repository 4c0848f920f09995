#include "settings/personalisation_window.h"
#include "support/recording_services.h"
#include "support/test_files.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ottavario;
using namespace ottavario::testing;

namespace {

const QStringList kStored = { "Circolo del Giovedì", "Via Garibaldi", "12", "40100", "Bologna",
    "Italia", "051 000000", "051 000001", "circolo@example.org", "800", "0.41", "120", "4999" };

}

class TestPersonalisationWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
    testing::RecordingMessageService m_messages;
    QPointer<PersonalisationWindow> m_window;

    void store(const QStringList& values) { QVERIFY(settings::writeAll(m_file, values)); }

    void open()
    {
        m_window = new PersonalisationWindow(&m_messages, m_file);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    QPushButton* button(const char* name) const
    {
        return m_window->findChild<QPushButton*>(QLatin1StringView(name));
    }

    void retype(int box, const QString& text)
    {
        QLineEdit* edit = m_window->box(box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        QCOMPARE(edit->text(), text);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_file = m_dir->filePath(QStringLiteral("sistema.ini"));
        store(kStored);
        m_messages.shown.clear();
    }

    void cleanup()
    {
        delete m_window;
        m_dir.reset();
    }

    void showsTheStoredValuesUnderTheirCaptions()
    {
        open();
        QCOMPARE(m_window->objectName(), QStringLiteral("Form5"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Personalizzazione programma"));
        QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(m_window->windowFlags() & Qt::WindowMinimizeButtonHint));
        const QStringList captions = { "Nome società", "Via", "N°", "C.A.P.", "Città", "Paese",
            "Telefono", "Fax", "E-Mail", "Colonna in lire", "Colonna in Euro" };
        for (int i = 0; i < PersonalisationWindow::kBoxes; ++i) {
            const QString name = QStringLiteral("Text1(%1)").arg(i);
            QCOMPARE(m_window->findChild<QLineEdit*>(name), m_window->box(i));
            QCOMPARE(m_window->box(i)->text(), kStored[i]);
            auto* caption = m_window->findChild<QLabel*>(QStringLiteral("Label1(%1)").arg(i));
            QVERIFY2(caption, qPrintable(name));
            QCOMPARE(caption->text(), captions[i]);
            QVERIFY(m_window->box(i)->isVisible());
        }
        // The offsets have no box at all.
        QVERIFY(!m_window->findChild<QObject*>(QStringLiteral("Text1(11)")));
        QVERIFY(!m_window->findChild<QObject*>(QStringLiteral("Text1(12)")));
        QCOMPARE(m_window->carriedOffsets(), (std::array<QString, 2> { "120", "4999" }));
        QCOMPARE(button("Command1")->text(), QStringLiteral("OK"));
        QCOMPARE(button("Command2")->text(), QStringLiteral("Annulla"));
        QVERIFY(m_messages.shown.isEmpty());
    }

    void okStoresTheEuroPriceWithAPoint_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("comma") << "0,41"
                               << "0.41";
        QTest::newRow("point") << "0.52"
                               << "0.52";
        QTest::newRow("every comma") << "1,2,3"
                                     << "1.2.3";
        QTest::newRow("not a number") << "gratis"
                                      << "gratis";
        QTest::newRow("empty") << ""
                               << "";
    }

    void okStoresTheEuroPriceWithAPoint()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        open();
        retype(9, QStringLiteral("1000"));
        retype(10, typed);
        QSignalSpy prices(m_window.data(), &PersonalisationWindow::pricesChanged);
        QSignalSpy closed(m_window.data(), &PersonalisationWindow::closed);
        // The box keeps what was typed until the window goes.
        connect(m_window.data(), &PersonalisationWindow::pricesChanged, this,
            [&] { QCOMPARE(m_window->box(10)->text(), typed); });

        QTest::mouseClick(button("Command1"), Qt::LeftButton);

        QCOMPARE(prices.size(), 1);
        QCOMPARE(prices.first(), (QVariantList { "1000", stored }));
        QCOMPARE(closed.size(), 1);
        QTRY_VERIFY(m_window.isNull());
        QStringList expected = kStored;
        expected[9] = QStringLiteral("1000");
        expected[10] = stored;
        QCOMPARE(contentsOf(m_file), settings::formatValues(expected));
        QVERIFY(contentsOf(m_file).contains(
            ("\r\n\"" + stored + "\"\r\n\"120\"\r\n\"4999\"\r\n").toUtf8()));
    }

    void valuesSurviveAWriteAndARead_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::newRow("comma in the street") << 1 << "Via Roma, 5";
        QTest::newRow("accented city") << 4 << "Forlì";
        QTest::newRow("blanks around") << 0 << "  Bar Sport  ";
        QTest::newRow("only a comma") << 7 << ",";
    }

    void valuesSurviveAWriteAndARead()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        open();
        m_window->box(box)->setText(text);
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QTRY_VERIFY(m_window.isNull());

        const auto values = settings::readAll(m_file);
        QVERIFY(values);
        QCOMPARE(values->size(), settings::kValueCount);
        QCOMPARE(values->at(box), text);
        open();
        QCOMPARE(m_window->box(box)->text(), text);
    }

    // The file cannot hold a double quote inside a value: it would come back cut.
    void aDoubleQuoteIsRefusedNamingItsBox_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("caption");
        QTest::newRow("company") << 0 << "Nome società";
        QTest::newRow("e-mail") << 8 << "E-Mail";
    }

    void aDoubleQuoteIsRefusedNamingItsBox()
    {
        QFETCH(int, box);
        QFETCH(QString, caption);
        const QByteArray before = contentsOf(m_file);
        open();
        m_window->box(box)->setText(QStringLiteral("Bar \"Sport\""));
        QSignalSpy prices(m_window.data(), &PersonalisationWindow::pricesChanged);
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY2(m_messages.lastText().contains(u'"' + caption + u'"'),
            qPrintable(m_messages.lastText()));
        QCOMPARE(contentsOf(m_file), before);
        QCOMPARE(prices.size(), 0);
        QVERIFY(m_window && m_window->isVisible());
        QTRY_VERIFY(m_window->box(box)->hasFocus());
    }

    void annullaAndTheTitleBarWriteNothing_data()
    {
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("Annulla") << false;
        QTest::newRow("title bar") << true;
    }

    void annullaAndTheTitleBarWriteNothing()
    {
        QFETCH(bool, titleBar);
        const QByteArray before = contentsOf(m_file);
        open();
        retype(10, QStringLiteral("9,99"));
        retype(0, QStringLiteral("Altro nome"));
        QSignalSpy prices(m_window.data(), &PersonalisationWindow::pricesChanged);
        QSignalSpy closed(m_window.data(), &PersonalisationWindow::closed);
        if (titleBar)
            m_window->close();
        else
            QTest::mouseClick(button("Command2"), Qt::LeftButton);
        QCOMPARE(closed.size(), 1);
        QCOMPARE(prices.size(), 0);
        QTRY_VERIFY(m_window.isNull());
        QCOMPARE(contentsOf(m_file), before);
    }

    void aShortFileIsWrittenBackWithThirteenValues()
    {
        store({ "Solo il nome", "Via Po" });
        open();
        QCOMPARE(m_window->box(1)->text(), QStringLiteral("Via Po"));
        QCOMPARE(m_window->box(2)->text(), QString());
        QTest::mouseClick(button("Command1"), Qt::LeftButton);
        QTRY_VERIFY(m_window.isNull());
        QStringList expected(settings::kValueCount);
        expected[0] = QStringLiteral("Solo il nome");
        expected[1] = QStringLiteral("Via Po");
        QCOMPARE(contentsOf(m_file), settings::formatValues(expected));
    }

    void failedWriteSaysWhyAndKeepsTheWindow()
    {
        open();
        // Something took the file's place after it was read.
        QVERIFY(QFile::remove(m_file));
        QVERIFY(QDir().mkdir(m_file));
        QSignalSpy prices(m_window.data(), &PersonalisationWindow::pricesChanged);
        QSignalSpy closed(m_window.data(), &PersonalisationWindow::closed);
        QTest::mouseClick(button("Command1"), Qt::LeftButton);

        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown.first().title, QStringLiteral("Personalizzazione programma"));
        QCOMPARE(m_messages.lastText(),
            QStringLiteral("Impossibile scrivere il file %1: al suo posto c'è una cartella.")
                .arg(m_file));
        QCOMPARE(prices.size(), 0);
        QCOMPARE(closed.size(), 0);
        QVERIFY(m_window);
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->box(0)->text(), kStored[0]);
    }

    void unreadableFileIsReportedAndNotOverwritten()
    {
        QVERIFY(QFile::remove(m_file));
        QVERIFY(QDir().mkdir(m_file));
        open();
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY2(m_messages.lastText().startsWith(QStringLiteral("Impossibile leggere il file ")),
            qPrintable(m_messages.lastText()));
        QVERIFY(!button("Command1")->isEnabled());
        QVERIFY(button("Command2")->isEnabled());
        QTest::mouseClick(button("Command2"), Qt::LeftButton);
        QTRY_VERIFY(m_window.isNull());
        QVERIFY(QFileInfo(m_file).isDir());
    }
};

QTEST_MAIN(TestPersonalisationWindow)
#include "test_personalisation_window.moc"
