#pragma once

#include "print/flow_document.h"
#include "wins/wins_report.h"

#include <QFutureWatcher>
#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class QGroupBox;
class QLabel;
class QTableWidget;

namespace ottavario {

class MessageService;
class FileDialogService;
class WinsChart;

namespace print {
    class PrintService;
}

struct WinsWindowServices {
    MessageService* messages = nullptr;
    FileDialogService* dialogs = nullptr;
    print::PrintService* printer = nullptr;
};

// Prospetto vincite: what a system wins, exactly, if one of its own developed
// columns wins and over every possible winning column; printable in the
// manner of the tabulation. The tables are counted off the interface thread.
class WinsWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit WinsWindow(WinsWindowServices services, QWidget* parent = nullptr);
    ~WinsWindow() override;

    // Counts the tables of the system and shows them; a system given while
    // another is counted follows it.
    void showSystem(WinsSystem system);
    // Apri sistema: a saved system by its description file.
    void openSystem();
    void openSystemAt(const QString& sttPath);

    bool isCounting() const { return m_counting; }
    const WinsSystem& system() const { return m_system; }
    // The tables on screen; none while counting or before a system.
    const std::optional<WinsReport>& report() const { return m_report; }

    void print(); // stampa
    void preview(); // anteprima
    void saveAsPdf(); // pdf

signals:
    // The tables of the system last given are on screen.
    void reportShown();

private:
    void buildMenu(QWidget* openButton, QWidget* printButton, QWidget* quitButton);
    void startCounting();
    void countingDone();
    void showReport();
    void fillTable(QTableWidget* table, const WinTable& wins);
    std::optional<print::FlowDocument> document();

    WinsWindowServices m_services;
    WinsSystem m_system;
    std::optional<WinsSystem> m_next;
    std::optional<WinsReport> m_report;
    QFutureWatcher<WinsReport> m_watcher;
    bool m_counting = false;

    QLabel* m_nameLabel = nullptr; // Label4
    QLabel* m_summary = nullptr; // Label1
    WinsChart* m_chart = nullptr; // Picture1
    QGroupBox* m_ownFrame = nullptr; // Frame1, titled by its winners
    QLabel* m_guarantee = nullptr; // Label2
    std::array<QLabel*, 3> m_atLeastOne {}; // Label3(0..2)
    QLabel* m_expected = nullptr; // Label5
    QTableWidget* m_ownTable = nullptr; // Table1
    QTableWidget* m_everyTable = nullptr; // Table2
    QList<QAction*> m_printActions;
};

} // namespace ottavario
