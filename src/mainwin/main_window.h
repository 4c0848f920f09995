#pragma once

#include "core/system_type.h"
#include "engine/calculation.h"
#include "mainwin/system_draft.h"

#include <QFutureWatcher>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QTableView;
class QProgressBar;
class QRadioButton;
class QToolButton;
class QPushButton;
class QTimer;

namespace ottavario {

class GridEntry;
class PreviewModel;
class MessageService;
class FileDialogService;

namespace print {
    class PrintService;
    class PrintWindow;
}
class WinsWindow;

struct MainWindowServices {
    MessageService* messages = nullptr;
    FileDialogService* dialogs = nullptr;
    print::PrintService* printer = nullptr; // the one printer of all printing
    // The column calculation, run on a worker thread; calculateColumns() when empty.
    std::function<FileResult<ColumnCalculation>(
        const Grid&, SystemType, CalculationProgress*, const CalculationOptions&)>
        calculation {};
};

// Form1: the prediction grid, the system type, the summary, the preview and
// the commands that open every other window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(
        MainWindowServices services, const QStringList& settingsValues, QWidget* parent = nullptr);
    ~MainWindow() override;

    const SystemDraft& draft() const { return m_draft; }
    GridEntry* entry(int box, int index) const { return m_entries[box][index]; }
    SystemType systemType() const;
    void setSystemType(SystemType type);
    // Riduzione ottimizzata: the smallest set the search finds with the same
    // guarantee, instead of the greedy one.
    bool isOptimised() const;
    void setOptimised(bool optimised);

    // The euro price of one column, "," turned into "."; from the settings.
    void setPrices(const QString& lire, const QString& euro);

    void newSystem();
    // Calcolo delle colonne: checks the grid, then develops and reduces it off
    // the interface thread; the window takes no command meanwhile.
    void calculate();
    // Salva sistema con nome: the computed system as a .stt and .stg pair.
    void saveSystem();
    // Apri sistema: a saved description back into the grid.
    void openSystem();
    void openSystemAt(const QString& path);
    QString systemName() const;

    // Condizioni: only the developed columns that meet them are played,
    // computed and covered. Changing them asks for a new calculation.
    const Conditions& conditions() const { return m_draft.conditions; }
    void setConditions(const Conditions& conditions);
    void openConditions();
    // The developed columns of the grid that meet the conditions, in
    // development order: the columns a draw can be won with.
    std::vector<ColumnMask> columnsInPlay() const;

    bool isCalculating() const { return m_busy; }
    // An optimised search under way can be ended early: it keeps the smallest
    // set found so far, whose guarantee is verified as always.
    bool isSearching() const { return m_busy && m_searching; }
    void stopSearch();
    // Kept columns of the last calculation, as the preview shows them.
    const PreviewModel& preview() const { return *m_previewModel; }

signals:
    // The calculation command has ended, refused or done.
    void calculationFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    QWidget* buildCommandRow();
    QWidget* buildGrid();
    QWidget* buildTypeChoice();
    void buildTabOrder();

    void entryChanged(int box, int index);
    void entryEntered(int box, int index);
    void showFullSummary(SystemDraft::EuroPrefix prefix);
    void showConditions();
    void sizeSummaryForLargestAmounts();
    void resetReducedSummary();
    void clearGuarantee();
    void quitOrStop();
    void clearGrid();

    // A window that keeps the user in it: the main window takes no input
    // until it closes.
    void showBlocking(QWidget* window);
    void openCheckWindow();
    void openPrintWindow();
    void openTransferWindow();
    // Prospetto vincite of the computed columns; the window is shared with
    // the checking window's request for a saved system.
    void openWinsWindow();
    WinsWindow* winsWindow();
    void openPersonalisation();
    void openAbout();
    void setBusy(bool busy);
    void showProgress();
    void calculationDone();

    MainWindowServices m_services;
    SystemDraft m_draft;
    // The type the last calculation reduced with: what the columns guarantee.
    SystemType m_computedType = kDefaultSystemType;
    SystemType m_calculatedType = kDefaultSystemType; // of the calculation under way
    // The columns of the last calculation, saved from here: the work files
    // are shared with any other copy of the program that runs.
    std::vector<ColumnMask> m_computedColumns;

    std::array<std::array<GridEntry*, kEntries>, kBoxes> m_entries {};
    std::array<QRadioButton*, 4> m_options {};
    QCheckBox* m_optimised = nullptr; // Check1
    QLabel* m_combinations = nullptr; // Label2
    QLabel* m_price = nullptr; // Label4
    QLabel* m_euro = nullptr; // Label5
    QLabel* m_reducedColumns = nullptr; // Label3
    QLabel* m_reducedPrice = nullptr; // Label6
    QLabel* m_reducedEuro = nullptr; // Label7
    QLabel* m_systemName = nullptr; // Label8
    QLabel* m_guarantee = nullptr; // Label9: the guarantee checked after the calculation
    QLabel* m_conditionsLabel = nullptr; // Label10: the count of the columns in play
    QTableView* m_preview = nullptr; // List1
    QProgressBar* m_progress = nullptr; // ProgressBar1
    QList<QToolButton*> m_commandButtons;
    QPushButton* m_quitButton = nullptr; // Command4
    QWidget* m_commandRow = nullptr;
    QWidget* m_gridFrame = nullptr;
    QWidget* m_typeFrame = nullptr;

    PreviewModel* m_previewModel = nullptr;
    std::unique_ptr<CalculationProgress> m_calculationProgress;
    QFutureWatcher<FileResult<ColumnCalculation>> m_calculation;
    QTimer* m_progressTimer = nullptr;
    bool m_busy = false; // from the start of a calculation until its result is shown
    bool m_searching = false; // the calculation under way is an optimised search
    bool m_closeWhenDone = false; // the window was closed during a search
    std::atomic<bool> m_stop { false }; // read by the search on the worker thread
    QAction* m_stopAction = nullptr; // Esc while searching

    // Windows that run beside this one: opening them again only shows them.
    QPointer<print::PrintWindow> m_printWindow;
    QPointer<QWidget> m_transferWindow;
    QPointer<WinsWindow> m_winsWindow;
    QAction* m_winsAction = nullptr; // vincite, with Command8
};

} // namespace ottavario
