#include "core/data_folder.h"
#include "core/settings_file.h"
#include "engine/preview_model.h"
#include "mainwin/main_window.h"
#include "mainwin/window_opener.h"
#include "support/recording_print_service.h"
#include "support/recording_services.h"
#include "support/test_files.h"
#include "support/window_services.h"
#include "transfer/volumes.h"
#include "widgets/grid_entry.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace ottavario;

class TestSystemCommands : public QObject, private testing::WindowServices {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_window;

    QString label(const char* name) const
    {
        return m_window->findChild<QLabel*>(QLatin1StringView(name))->text();
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void fillWorkedExample()
    {
        m_window->entry(0, 0)->setText(QStringLiteral("1"));
        m_window->entry(0, 1)->setText(QStringLiteral("2"));
        for (int box = 1; box < kBoxes; ++box)
            m_window->entry(box, 0)->setText(QString::number(box + 2));
        m_window->entry(7, 0)->setText(QStringLiteral("09"));
    }

    void calculate()
    {
        QSignalSpy finished(m_window.get(), &MainWindow::calculationFinished);
        m_window->findChild<QAction*>(QStringLiteral("calcolo"))->trigger();
        if (finished.isEmpty())
            QVERIFY(finished.wait(60000));
    }

    void save(const QString& answer)
    {
        m_dialogs.answers = { answer };
        m_window->findChild<QToolButton*>(QStringLiteral("Command2"))->click();
    }

    void open(const QString& answer)
    {
        m_dialogs.answers = { answer };
        m_window->findChild<QAction*>(QStringLiteral("apri"))->trigger();
    }

    QString system(const char* name) const
    {
        return folder().systems() + u'/' + QLatin1StringView(name);
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }

    void init()
    {
        QVERIFY(folder().prepare().has_value());
        m_messages.shown.clear();
        m_dialogs.requests.clear();
        m_window = std::make_unique<MainWindow>(services(), m_windows, Settings::defaults());
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        QDir(folder().systems()).removeRecursively();
    }

    void savingNeedsACalculation()
    {
        fillWorkedExample();
        save(system("alfa.stt"));
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Salva sistema Ottavario*"));
        QCOMPARE(m_messages.shown[0].text,
            QStringLiteral("Prima di salvare il sistema bisogna elaborarlo."));
        QVERIFY(m_dialogs.requests.isEmpty());
        QCOMPARE(label("Label8"), QStringLiteral("Nuovo sistema"));
        QVERIFY(!QFile::exists(system("alfa.stt")));
    }

    void saveWritesThePair()
    {
        fillWorkedExample();
        m_window->setSystemType(SystemType::Integrale);
        calculate();
        save(system("alfa.stt"));
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(m_dialogs.requests.last().folder, folder().systems());
        QCOMPARE(m_dialogs.requests.last().defaultSuffix, QStringLiteral("stt"));
        QCOMPARE(contents(system("alfa.stg")), contents(folder().keptWorkFile()));
        QCOMPARE(contents(system("alfa.stg")), QByteArray(" 1 3 4 5 6 7 8 9 2 3 4 5 6 7 8 9"));
        QCOMPARE(contents(system("alfa.stt")),
            QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n09\r\n[Fine]\r\n 8 \r\n 2 \r\n 1 "
                       "\r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n"));
        QCOMPARE(label("Label8"), system("alfa.stt"));
        QVERIFY(m_window->draft().computed);
    }

    void aCancelledSaveKeepsTheName()
    {
        fillWorkedExample();
        calculate();
        save(QString());
        QCOMPARE(label("Label8"), QStringLiteral("Nuovo sistema"));
        QVERIFY(m_messages.shown.isEmpty());
    }

    void savingElsewhereKeepsThePairTogether()
    {
        QTemporaryDir elsewhere;
        fillWorkedExample();
        calculate();
        save(elsewhere.filePath(QStringLiteral("beta.stt")));
        QVERIFY(m_messages.shown.isEmpty());
        QVERIFY(QFile::exists(elsewhere.filePath(QStringLiteral("beta.stt"))));
        QCOMPARE(contents(elsewhere.filePath(QStringLiteral("beta.stg"))),
            contents(folder().keptWorkFile()));
    }

    // Another copy of the program computing beside this one rewrites the work
    // files; each saves the columns it computed itself.
    void saveWritesItsOwnColumnsWhateverTheWorkFileHolds()
    {
        fillWorkedExample();
        m_window->setSystemType(SystemType::Integrale);
        calculate();
        const QByteArray computed = contents(folder().keptWorkFile());
        QVERIFY(testing::writeBytes(folder().keptWorkFile(), " 9101112131415161718192021222324"));
        save(system("alfa.stt"));
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(contents(system("alfa.stg")), computed);
    }

    void aFailedSaveIsToldAndKeepsTheEarlierPair()
    {
        fillWorkedExample();
        calculate();
        save(system("alfa.stt"));
        const QByteArray stt = contents(system("alfa.stt"));
        QVERIFY(QFile::remove(system("alfa.stg")));
        QVERIFY(QDir().mkdir(system("alfa.stg"))); // a folder where the columns go
        save(system("alfa.stt"));
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY2(m_messages.lastText().contains(QStringLiteral("alfa.stg")),
            qPrintable(m_messages.lastText()));
        QCOMPARE(contents(system("alfa.stt")), stt);
    }

    void openRestoresTheGrid()
    {
        fillWorkedExample();
        m_window->setSystemType(SystemType::SettePunti);
        calculate();
        save(system("alfa.stt"));
        m_window->newSystem();
        open(system("alfa.stt"));
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(m_window->entry(0, 0)->text(), QStringLiteral("1"));
        QCOMPARE(m_window->entry(0, 1)->text(), QStringLiteral("2"));
        QCOMPARE(m_window->entry(7, 0)->text(), QStringLiteral("09"));
        QCOMPARE(m_window->systemType(), SystemType::SettePunti);
        QCOMPARE(m_window->draft().combinations, 2);
        QCOMPARE(label("Label2"), QStringLiteral("Combinazioni  2"));
        QCOMPARE(label("Label8"), system("alfa.stt"));
        QCOMPARE(label("Label3"), QStringLiteral("Colonne ridotte"));
        QCOMPARE(m_window->preview().rowCount(), 0);
        QVERIFY(!m_window->draft().computed);
        QVERIFY(m_window->entry(0, 0)->hasFocus());

        save(system("gamma.stt"));
        QCOMPARE(m_messages.lastText(),
            QStringLiteral("Prima di salvare il sistema bisogna elaborarlo."));
    }

    void anInvalidFileLeavesTheGridAlone()
    {
        fillWorkedExample();
        m_window->setSystemType(SystemType::CinquePunti);
        QFile bad(system("rotto.stt"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("1\r\n2\r\n3\r\n");
        bad.close();
        open(system("rotto.stt"));
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("Apri sistema Ottavario*"));
        QVERIFY(m_messages.lastText().contains(QStringLiteral("[Fine]")));
        QCOMPARE(m_window->entry(0, 1)->text(), QStringLiteral("2"));
        QCOMPARE(m_window->systemType(), SystemType::CinquePunti);
        QCOMPARE(label("Label8"), QStringLiteral("Nuovo sistema"));
    }

    void theSavedTypeIsTheCalculatedOne()
    {
        fillWorkedExample();
        m_window->setSystemType(SystemType::Integrale);
        calculate();
        m_window->setSystemType(SystemType::CinquePunti);
        save(system("alfa.stt"));
        QVERIFY(contents(system("alfa.stt")).contains("[Fine]\r\n 8 \r\n"));
    }
};

QTEST_MAIN(TestSystemCommands)
#include "test_system_commands.moc"
