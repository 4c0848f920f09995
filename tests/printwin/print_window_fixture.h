#pragma once

#include "core/data_folder.h"
#include "core/settings_file.h"
#include "engine/column_file.h"
#include "printwin/print_window.h"
#include "printwin/slip_picture.h"
#include "support/pdf_pages.h"
#include "support/recording_print_service.h"
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

namespace ottavario::testing {

using namespace ottavario::print;

// A print window over a data folder of its own, with recorded services and
// the helpers its tests share.
class PrintWindowFixture {
protected:
    std::unique_ptr<QTemporaryDir> m_home;
    DataFolder folder() const { return DataFolder(m_home->path()); }
    testing::RecordingMessageService m_messages;
    testing::ScriptedFileDialogs m_dialogs;
    AppServices services() { return { m_messages, m_dialogs, m_printer, folder() }; }
    testing::RecordingPrintService m_printer;
    std::unique_ptr<PrintWindow> m_window;

    static Settings storedValues(const QString& vertical, const QString& horizontal)
    {
        Settings settings = Settings::defaults();
        settings.companyName = QStringLiteral("Rossi, Mario");
        settings.street = QStringLiteral("Via Roma, 5");
        settings.verticalOffset = vertical;
        settings.horizontalOffset = horizontal;
        return settings;
    }

    QByteArray settingsBytes() const
    {
        QFile file(folder().settingsFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void openWindow()
    {
        m_window = std::make_unique<PrintWindow>(services());
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
        const QString path = folder().systems() + u'/' + name + QStringLiteral(".stg");
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

    // A fresh data folder, its settings stored, and the window open on it.
    void setUp()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(folder().systems()));
        QVERIFY(writeSettings(folder().settingsFile(), storedValues("120", "45")));
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

    void tearDown()
    {
        m_window.reset();
        m_home.reset();
    }
};

} // namespace ottavario::testing
