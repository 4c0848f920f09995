#include "about/about_box.h"
#include "core/settings_file.h"
#include "support/recording_print_service.h"
#include "support/recording_services.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ottavario;

namespace {
const QString kNoTool
    = QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili.");
}

class TestAboutBox : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
    testing::RecordingMessageService m_messages;
    testing::ScriptedFileDialogs m_dialogs;
    testing::RecordingPrintService m_printer;
    QPointer<AboutBox> m_box;
    QStringList m_started;

    void open(SystemInfoTool tool = {})
    {
        m_box = new AboutBox(
            { m_messages, m_dialogs, m_printer, DataFolder(m_dir->path()) }, std::move(tool));
        m_box->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_box));
    }

    QString text(const char* name) const
    {
        auto* label = m_box->findChild<QLabel*>(QLatin1StringView(name));
        return label ? label->text() : QStringLiteral("<missing>");
    }

    QPushButton* button(const char* name) const
    {
        return m_box->findChild<QPushButton*>(QLatin1StringView(name));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_file = m_dir->filePath(QStringLiteral("sistema.ini"));
        Settings settings = Settings::defaults();
        settings.companyName = QStringLiteral("Ricevitoria Centrale");
        settings.street = QStringLiteral("Via Roma, 5");
        settings.city = QStringLiteral("Forlì");
        QVERIFY(writeSettings(m_file, settings));
        m_messages.shown.clear();
        m_started.clear();
    }

    void cleanup()
    {
        delete m_box;
        m_dir.reset();
    }

    void showsTitleVersionAndTheUsersNameAndCity()
    {
        open();
        QCOMPARE(m_box->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(m_box->windowTitle(), QStringLiteral("Informazioni su Ottavario"));
        QCOMPARE(text("lblVersion"), QStringLiteral("Versione 1.0.0"));
        const QStringList title = text("lblTitle").split(u'\n');
        QCOMPARE(title.size(), 2);
        QCOMPARE(title[0], QStringLiteral("Ottavario"));
        QVERIFY(!title[1].isEmpty());
        QCOMPARE(text("lblDescription"), QStringLiteral("Ricevitoria Centrale\nForlì"));
        QVERIFY(!text("lblDisclaimer").isEmpty());
        QVERIFY(m_box->findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().width() > 0);
        QCOMPARE(button("cmdOK")->text(), QStringLiteral("OK"));
        QCOMPARE(button("cmdSysInfo")->text(), QStringLiteral("&System Info..."));
        QVERIFY(m_messages.shown.isEmpty());
    }

    void aFileWithoutTheCityShowsTheNameAlone()
    {
        QVERIFY(settings::writeAll(m_file, { QStringLiteral("Solo nome") }));
        open();
        QCOMPARE(text("lblDescription"), QStringLiteral("Solo nome\n"));
        QVERIFY(m_messages.shown.isEmpty());
    }

    void unreadableSettingsAreReportedAndTheBoxStillOpens()
    {
        QVERIFY(QFile::remove(m_file));
        open();
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY2(m_messages.lastText().startsWith(QStringLiteral("Impossibile leggere il file ")),
            qPrintable(m_messages.lastText()));
        QCOMPARE(text("lblVersion"), QStringLiteral("Versione 1.0.0"));
        QCOMPARE(text("lblDescription"), QString());
    }

    void systemInfoStartsTheToolOrSaysThereIsNone_data()
    {
        QTest::addColumn<QString>("found");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<bool>("message");
        QTest::newRow("no tool") << QString() << true << true;
        QTest::newRow("tool starts") << "/opt/strumenti/info" << true << false;
        QTest::newRow("tool fails to start") << "/opt/strumenti/info" << false << true;
    }

    void systemInfoStartsTheToolOrSaysThereIsNone()
    {
        QFETCH(QString, found);
        QFETCH(bool, starts);
        QFETCH(bool, message);
        open({ [&] { return found; },
            [&](const QString& path) {
                m_started.append(path);
                return starts;
            } });
        QTest::mouseClick(button("cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(m_started, found.isEmpty() ? QStringList() : QStringList { found });
        QCOMPARE(m_messages.shown.size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(m_messages.lastText(), kNoTool);
            QCOMPARE(m_messages.shown.first().title, QStringLiteral("Ottavario"));
        }
        QVERIFY(m_box);
    }

#ifdef Q_OS_LINUX
    // The tool is the program the environment names, by path or on the PATH.
    void findsTheNamedTool_data()
    {
        QTest::addColumn<QString>("program"); // put in a folder that is the whole PATH
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("found");
        QTest::newRow("none named") << "infosistema"
                                    << "" << false;
        QTest::newRow("named on the PATH") << "infosistema"
                                           << "infosistema" << true;
        QTest::newRow("named by path") << "infosistema"
                                       << "<bin>/infosistema" << true;
        QTest::newRow("named but missing") << ""
                                           << "infosistema" << false;
    }

    void findsTheNamedTool()
    {
        QFETCH(QString, program);
        QFETCH(QString, named);
        QFETCH(bool, found);
        const QString bin = m_dir->filePath(QStringLiteral("bin"));
        QDir(bin).removeRecursively();
        QVERIFY(QDir().mkpath(bin));
        if (!program.isEmpty()) {
            QFile file(bin + u'/' + program);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n");
            file.close();
            QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        named.replace(QStringLiteral("<bin>"), bin);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit());
        qputenv("OTTAVARIO_SYSTEM_INFO", named.toLocal8Bit());
        const QString tool = findSystemInfoTool();
        qputenv("PATH", path);
        qunsetenv("OTTAVARIO_SYSTEM_INFO");
        QCOMPARE(tool, found ? bin + QStringLiteral("/infosistema") : QString());
    }
#endif

    void okAndClosingBothTellTheMainWindow_data()
    {
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("OK") << false;
        QTest::newRow("title bar") << true;
    }

    void okAndClosingBothTellTheMainWindow()
    {
        QFETCH(bool, titleBar);
        open();
        QSignalSpy closed(m_box.data(), &AboutBox::closed);
        if (titleBar)
            m_box->close();
        else
            QTest::mouseClick(button("cmdOK"), Qt::LeftButton);
        QCOMPARE(closed.size(), 1);
        QTRY_VERIFY(m_box.isNull());
    }
};

QTEST_MAIN(TestAboutBox)
#include "test_about_box.moc"
