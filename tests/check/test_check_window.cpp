#include "check/check_window.h"
#include "core/data_folder.h"
#include "engine/column_file.h"
#include "mainwin/grid_entry.h"
#include "support/recording_services.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace ottavario;

namespace {
ColumnNumbers numbers(std::initializer_list<int> list)
{
    ColumnNumbers n {};
    std::copy(list.begin(), list.end(), n.begin());
    return n;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
}

class TestCheckWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    testing::RecordingMessageService m_messages;
    testing::ScriptedFileDialogs m_dialogs;
    std::unique_ptr<CheckWindow> m_window;

    QString sttPath() const { return systemsFolder() + QStringLiteral("/prova.stt"); }
    QString stgPath() const { return systemsFolder() + QStringLiteral("/prova.stg"); }

    QString result(int i) const
    {
        return m_window->findChild<QLabel*>(QStringLiteral("Label3(%1)").arg(i))->text();
    }

    void writeSystem()
    {
        // 5 and 7 in box 1, 12 in box 2, one number in each other box.
        writeFile(sttPath(),
            "5\r\n7\r\n12\r\n3\r\n4\r\n6\r\n8\r\n9\r\n10\r\n[Fine]\r\n 6 \r\n 2 \r\n 1 \r\n 1 \r\n "
            "1 "
            "\r\n 1 \r\n 1 \r\n 1 \r\n 1 \r\n");
        QByteArray columns;
        appendCanonicalRecord(columns, numbers({ 1, 2, 3, 4, 5, 6, 7, 8 }));
        appendCanonicalRecord(columns, numbers({ 1, 2, 3, 4, 5, 6, 7, 9 }));
        appendCanonicalRecord(columns, numbers({ 1, 2, 3, 4, 5, 6, 10, 11 }));
        writeFile(stgPath(), columns);
    }

    void typeWinning(const QStringList& boxes)
    {
        for (int i = 0; i < boxes.size(); ++i)
            m_window->winningEntry(i)->setText(boxes[i]);
    }

    QString focusName() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

private slots:
    void initTestCase()
    {
        qputenv("OTTAVARIO_HOME", m_home.path().toLocal8Bit());
        QVERIFY(prepareDataFolder().has_value());
    }

    void init()
    {
        QFile::remove(sttPath());
        QFile::remove(stgPath());
        m_messages.shown.clear();
        m_window = std::make_unique<CheckWindow>(&m_messages, &m_dialogs);
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void startsWithNoSystem()
    {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Spoglio sitemi Ottavario*"));
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QString());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(result(i), QStringLiteral("0"));
        QCOMPARE(m_window->findChild<QToolButton*>(QStringLiteral("Command1"))->toolTip(),
            QStringLiteral("Apre un sistema"));
        QCOMPARE(m_window->findChild<QToolButton*>(QStringLiteral("Command2"))->toolTip(),
            QStringLiteral("Spoglio sistema"));
        QStringList items;
        for (QAction* a : m_window->findChild<QMenu*>(QStringLiteral("file"))->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + u':' + a->text());
        QCOMPARE(items,
            QStringList({ "apri:A&pri sistema", "-", "spoglio:&Spoglio",
                "vincite:Prospetto &vincite", "-", "fine:&Fine lavoro" }));
    }

    void openShowsTheDescription()
    {
        writeSystem();
        m_dialogs.answers = { sttPath() };
        m_window->findChild<QToolButton*>(QStringLiteral("Command1"))->click();
        QCOMPARE(m_dialogs.requests.last().fileName, QStringLiteral("*.stt"));
        QCOMPARE(m_dialogs.requests.last().folder, systemsFolder());
        QCOMPARE(m_window->descriptionText(),
            QStringLiteral(
                "Numeri in gioco \r\nCasella 1 :  5 7\r\nCasella 2 :  12\r\n"
                "Casella 3 :  3\r\nCasella 4 :  4\r\nCasella 5 :  6\r\nCasella 6 :  8\r\n"
                "Casella 7 :  9\r\nCasella 8 :  10\r\n\r\nColonne in gioco : 3"));
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("Label4"))->text(), sttPath());
        QCOMPARE(m_window->columnFilePath(), stgPath());
        QCOMPARE(focusName(), QStringLiteral("Text2(1)"));
        QVERIFY(m_messages.shown.isEmpty());
    }

    void scoring_data()
    {
        QTest::addColumn<QStringList>("winning");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("winners");
        QTest::newRow("8 7 6")
            << QStringList { "1", "2", "3", "4", "5", "6", "7", "8" }
            << QStringList { "1", "1", "1" }
            << QStringList { "8 punti  colonna 1 (scheda 1, 1ª)    1   2   3   4   5   6   7   8",
                   "7 punti  colonna 2 (scheda 1, 2ª)    1   2   3   4   5   6   7   9",
                   "6 punti  colonna 3 (scheda 1, 3ª)    1   2   3   4   5   6 10 11" };
        QTest::newRow("7 7 6")
            << QStringList { "1", "2", "3", "4", "5", "6", "7", "20" }
            << QStringList { "", "2", "1" }
            << QStringList { "7 punti  colonna 1 (scheda 1, 1ª)    1   2   3   4   5   6   7   8",
                   "7 punti  colonna 2 (scheda 1, 2ª)    1   2   3   4   5   6   7   9",
                   "6 punti  colonna 3 (scheda 1, 3ª)    1   2   3   4   5   6 10 11" };
        QTest::newRow("all empty")
            << QStringList {} << QStringList { "", "", "" } << QStringList {};
        QTest::newRow("seven typed")
            << QStringList { "1", "2", "3", "4", "5", "6", "7" } << QStringList { "", "2", "1" }
            << QStringList { "7 punti  colonna 1 (scheda 1, 1ª)    1   2   3   4   5   6   7   8",
                   "7 punti  colonna 2 (scheda 1, 2ª)    1   2   3   4   5   6   7   9",
                   "6 punti  colonna 3 (scheda 1, 3ª)    1   2   3   4   5   6 10 11" };
    }

    void scoring()
    {
        QFETCH(QStringList, winning);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, winners);
        writeSystem();
        m_window->openSystemAt(sttPath());
        typeWinning(winning);
        m_window->findChild<QToolButton*>(QStringLiteral("Command2"))->click();
        QVERIFY(m_messages.shown.isEmpty());
        QCOMPARE(QStringList({ result(0), result(1), result(2) }), labels);
        QCOMPARE(m_window->winningLines(), winners);
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QStringList>("winning");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        QTest::newRow("repeat in boxes 3 and 6")
            << true << QStringList { "1", "2", "12", "4", "5", "12", "7", "8" }
            << "Numero doppio controllare "
            << "Text2(6)";
        QTest::newRow("no system") << false << QStringList { "1", "2", "3" } << "Aprire un sistema."
                                   << "";
        QTest::newRow("a repeat is told before the missing system")
            << false << QStringList { "1", "1" } << "Numero doppio controllare "
            << "Text2(2)";
    }

    void refusals()
    {
        QFETCH(bool, open);
        QFETCH(QStringList, winning);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        if (open) {
            writeSystem();
            m_window->openSystemAt(sttPath());
        }
        typeWinning(winning);
        m_window->check();
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_messages.lastText(), text);
        if (!focus.isEmpty()) {
            QCOMPARE(focusName(), focus);
            QCOMPARE(m_window->winningEntry(focus.mid(6, 1).toInt() - 1)->selectedText(),
                m_window->winningEntry(focus.mid(6, 1).toInt() - 1)->text());
        }
        for (int i = 0; i < 3; ++i)
            QCOMPARE(result(i), QStringLiteral("0"));
    }

    void aMissingColumnFileIsToldAndNotCreated()
    {
        writeSystem();
        QFile::remove(stgPath());
        m_window->openSystemAt(sttPath());
        QVERIFY(m_window->descriptionText().endsWith(QStringLiteral("Colonne in gioco : 0")));
        QCOMPARE(m_messages.shown.size(), 1);
        QVERIFY(m_messages.lastText().contains(stgPath()));
        typeWinning({ "1", "2", "3", "4", "5", "6", "7", "8" });
        m_window->check();
        QCOMPARE(m_messages.shown.size(), 2);
        QVERIFY(!QFile::exists(stgPath()));
        QCOMPARE(result(0), QStringLiteral("0"));
    }

    void badColumnFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("empty") << QByteArray() << "" << QStringList { "", "", "" };
        QTest::newRow("trailing partial record")
            << QByteArray(" 1 2 3 4 5 6 7 8 1 2") << "" << QStringList { "1", "", "" };
        QTest::newRow("record 2 is not a column") << QByteArray(" 1 2 3 4 5 6 7 8 1 2 3 4 5 6 7 7")
                                                  << "n° 2" << QStringList { "0", "0", "0" };
        QTest::newRow("number 40")
            << QByteArray("40 2 3 4 5 6 7 8") << "n° 1" << QStringList { "0", "0", "0" };
        QTest::newRow("binary") << QByteArray("\x00\xff\x01\x80xxxxxxxxxxxx", 16) << "n° 1"
                                << QStringList { "0", "0", "0" };
    }

    void badColumnFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QStringList, labels);
        writeSystem();
        writeFile(stgPath(), bytes);
        m_window->openSystemAt(sttPath());
        typeWinning({ "1", "2", "3", "4", "5", "6", "7", "8" });
        m_window->check();
        if (message.isEmpty()) {
            QVERIFY(m_messages.shown.isEmpty());
        } else {
            QCOMPARE(m_messages.shown.size(), 1);
            QVERIFY2(m_messages.lastText().contains(message), qPrintable(m_messages.lastText()));
        }
        QCOMPARE(QStringList({ result(0), result(1), result(2) }), labels);
    }

    void openingAnotherSystemEmptiesTheWinningColumns()
    {
        writeSystem();
        m_window->openSystemAt(sttPath());
        typeWinning({ "1", "2", "3", "4", "5", "6", "7", "8" });
        m_window->check();
        QCOMPARE(m_window->winningLines().size(), 3);
        m_window->openSystemAt(sttPath());
        QVERIFY(m_window->winningLines().isEmpty());
    }

    void anInvalidDescriptionKeepsWhatWasShown()
    {
        writeSystem();
        m_window->openSystemAt(sttPath());
        const QString before = m_window->descriptionText();
        const QString other = systemsFolder() + QStringLiteral("/rotto.stt");
        writeFile(other, "1\r\n2\r\n");
        m_window->openSystemAt(other);
        QCOMPARE(m_messages.shown.size(), 1);
        QCOMPARE(m_window->descriptionText(), before);
        QCOMPARE(m_window->openedPath(), sttPath());
    }

    void winningEntry_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("selection");
        QTest::newRow("15 in box 3 moves on") << 2 << "15"
                                              << "Text2(4)"
                                              << "";
        QTest::newRow("45 in box 3 stays selected") << 2 << "45"
                                                    << "Text2(3)"
                                                    << "45";
        QTest::newRow("7 then Enter in box 2") << 1 << "7\n"
                                               << "Text2(3)"
                                               << "";
        QTest::newRow("Enter in an empty box") << 1 << "\n"
                                               << "Text2(2)"
                                               << "";
        QTest::newRow("a valid number in box 8 stays") << 7 << "21"
                                                       << "Text2(8)"
                                                       << "";
        QTest::newRow("one character waits") << 4 << "3"
                                             << "Text2(5)"
                                             << "";
    }

    void winningEntry()
    {
        QFETCH(int, box);
        QFETCH(QString, keys);
        QFETCH(QString, focus);
        QFETCH(QString, selection);
        GridEntry* entry = m_window->winningEntry(box);
        entry->focusAndSelect();
        for (QChar c : keys) {
            if (c == u'\n')
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            else
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
        QCOMPARE(focusName(), focus);
        auto* focused = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QCOMPARE(focused->selectedText(), selection);
    }

    void closingIsSignalled()
    {
        bool closed = false;
        connect(m_window.get(), &CheckWindow::closed, this, [&] { closed = true; });
        m_window->findChild<QAction*>(QStringLiteral("fine"))->trigger();
        QVERIFY(closed);
        QVERIFY(!m_window->isVisible());
    }
};

QTEST_MAIN(TestCheckWindow)
#include "test_check_window.moc"
