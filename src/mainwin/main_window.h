#pragma once

#include "core/system_type.h"
#include "mainwin/calculation_runner.h"
#include "mainwin/main_form.h"
#include "mainwin/system_draft.h"
#include "widgets/app_services.h"

#include <QMainWindow>

#include <vector>

class QAction;

namespace ottavario {

class GridEntry;
class PreviewModel;
class WindowOpener;
struct Settings;

// Form1: the prediction grid, the system type, the summary, the preview and
// the commands that open every other window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Every other window is opened through `windows`.
    MainWindow(const AppServices& services, WindowOpener& windows, const Settings& settings,
        QWidget* parent = nullptr);
    ~MainWindow() override;

    const SystemDraft& draft() const { return m_draft; }
    // The calculation runs here, writing the data folder's work files.
    CalculationRunner& calculationRunner() { return m_runner; }
    GridEntry* entry(int box, int index) const { return m_form.entries[box][index]; }
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

    bool isCalculating() const { return m_runner.isRunning(); }
    // An optimised search under way can be ended early: it keeps the smallest
    // set found so far, whose guarantee is verified as always.
    bool isSearching() const { return m_runner.isSearching(); }
    void stopSearch();
    // Kept columns of the last calculation, as the preview shows them.
    const PreviewModel& preview() const { return *m_previewModel; }

signals:
    // The calculation command has ended, refused or done.
    void calculationFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void connectCommands();
    void entryChanged(int box, int index);
    void entryEntered(int box, int index);
    void showFullSummary(SystemDraft::EuroPrefix prefix);
    void showConditions();
    void sizeSummaryForLargestAmounts();
    void resetReducedSummary();
    void clearGuarantee();
    void quitOrStop();
    void clearGrid();

    // Prospetto vincite of the computed columns.
    void openWinsWindow();
    void openPersonalisation();
    void openAbout();
    void setBusy(bool busy);
    void showProgress(int value, int maximum);
    void calculationDone();

    AppServices m_services;
    WindowOpener& m_windows;
    MainForm m_form;
    PreviewModel* m_previewModel = nullptr;
    CalculationRunner m_runner;
    SystemDraft m_draft;
    // The type the last calculation reduced with: what the columns guarantee.
    SystemType m_computedType = kDefaultSystemType;
    // The columns of the last calculation, saved from here: the work files
    // are shared with any other copy of the program that runs.
    std::vector<ColumnMask> m_computedColumns;
    bool m_closeWhenDone = false; // the window was closed during a search
    QAction* m_stopAction = nullptr; // Esc while searching
};

} // namespace ottavario
