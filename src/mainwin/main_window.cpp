#include "main_window.h"

#include "core/format.h"
#include "core/number.h"
#include "core/settings_file.h"
#include "engine/column_file.h"
#include "engine/development.h"
#include "engine/grid_check.h"
#include "engine/preview_model.h"
#include "mainwin/window_opener.h"
#include "systems/system_files.h"
#include "widgets/dialog_services.h"
#include "widgets/forms.h"
#include "widgets/grid_entry.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <utility>

namespace ottavario {

namespace {
    const QString kCalculationTitle = QStringLiteral("Calcolo delle colonne");
}

MainWindow::MainWindow(
    const AppServices& services, WindowOpener& windows, const Settings& settings, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_windows(windows)
    , m_runner({ services.folder.developedWorkFile(), services.folder.keptWorkFile() })
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ottavario*"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_previewModel = new PreviewModel(this);
    m_form.build(this, m_previewModel);
    connectCommands();
    connect(&m_runner, &CalculationRunner::progressed, this, &MainWindow::showProgress);
    connect(&m_runner, &CalculationRunner::finished, this, &MainWindow::calculationDone);
    m_stopAction = new QAction(this);
    m_stopAction->setShortcut(Qt::Key_Escape);
    m_stopAction->setEnabled(false);
    addAction(m_stopAction);
    connect(m_stopAction, &QAction::triggered, this, &MainWindow::stopSearch);

    setPrices(settings.lirePrice, settings.euroPrice);
    m_form.systemName->setText(labels::kNewSystem);

    adjustSize();
    forms::centreOnScreen(this);
    m_form.entries[0][0]->focusAndSelect();
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (isCalculating()) {
        // A search can take seconds: closing ends it, and the window closes
        // once its columns are written. A short calculation just runs out.
        if (isSearching()) {
            m_closeWhenDone = true;
            stopSearch();
        }
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::connectCommands()
{
    for (int box = 0; box < kBoxes; ++box)
        for (int i = 0; i < kEntries; ++i) {
            GridEntry* entry = m_form.entries[box][i];
            connect(entry, &QLineEdit::textChanged, this, [this, box, i] { entryChanged(box, i); });
            connect(
                entry, &QLineEdit::returnPressed, this, [this, box, i] { entryEntered(box, i); });
        }
    const MainForm::Actions& actions = m_form.actions;
    connect(actions.nuovo, &QAction::triggered, this, &MainWindow::newSystem);
    connect(actions.apri, &QAction::triggered, this, &MainWindow::openSystem);
    connect(actions.calcolo, &QAction::triggered, this, &MainWindow::calculate);
    connect(actions.condizioni, &QAction::triggered, this, &MainWindow::openConditions);
    connect(actions.vincite, &QAction::triggered, this, &MainWindow::openWinsWindow);
    connect(actions.salva, &QAction::triggered, this, &MainWindow::saveSystem);
    connect(actions.importa, &QAction::triggered, this, [this] { m_windows.openTransfer(); });
    connect(actions.fine, &QAction::triggered, this, &MainWindow::close);
    connect(actions.inserimento, &QAction::triggered, this, &MainWindow::openPersonalisation);
    connect(actions.info, &QAction::triggered, this, &MainWindow::openAbout);
    connect(m_form.printButton, &QToolButton::clicked, this, [this] { m_windows.openPrint(); });
    connect(m_form.checkButton, &QToolButton::clicked, this, [this] { m_windows.openCheck(this); });
    connect(m_form.quitButton, &QPushButton::clicked, this, &MainWindow::quitOrStop);
}

SystemType MainWindow::systemType() const
{
    for (int i = 0; i < 4; ++i)
        if (m_form.options[i]->isChecked())
            return typeOfOption(i);
    return kDefaultSystemType;
}

void MainWindow::setSystemType(SystemType type)
{
    m_form.options[optionIndex(type)]->setChecked(true);
}

bool MainWindow::isOptimised() const { return m_form.optimised->isChecked(); }

void MainWindow::setOptimised(bool optimised) { m_form.optimised->setChecked(optimised); }

void MainWindow::setPrices(const QString& lire, const QString& euro)
{
    m_draft.setPrices(lire, euro);
    sizeSummaryForLargestAmounts();
}

void MainWindow::sizeSummaryForLargestAmounts()
{
    // The largest amounts are those of the largest system at these prices;
    // labels that wide keep every amount whole and the window its size.
    SystemDraft largest = m_draft;
    largest.combinations = kMaxColumns;
    const QStringList longest = { largest.combinationsText(), largest.priceText(),
        largest.euroText(SystemDraft::EuroPrefix::Euro),
        largest.euroText(SystemDraft::EuroPrefix::InEuro), largest.reducedColumnsText(kMaxColumns),
        largest.reducedPriceText(kMaxColumns), largest.reducedEuroText(kMaxColumns),
        QStringLiteral("Garanzia verificata: 8 punti") };
    const QFontMetrics metrics = m_form.guarantee->fontMetrics();
    int width = 0;
    for (const QString& text : longest)
        width = std::max(width, metrics.horizontalAdvance(text));
    for (QLabel* label : { m_form.combinations, m_form.price, m_form.euro, m_form.reducedColumns,
             m_form.reducedPrice, m_form.reducedEuro, m_form.guarantee })
        label->setMinimumWidth(width);
}

void MainWindow::entryChanged(int box, int index)
{
    GridEntry* entry = m_form.entries[box][index];
    m_draft.grid.entries[box][index] = entry->text();
    m_draft.computed = false;
    clearGuarantee();
    showFullSummary(SystemDraft::EuroPrefix::Euro);
    showConditions();
    if (entry->text().size() == 2 && index < kEntries - 1)
        m_form.entries[box][index + 1]->focusAndSelect();
    const double value = readNumber(entry->text());
    if (value < kLowestNumber || value > kHighestNumber)
        entry->focusAndSelect();
}

void MainWindow::entryEntered(int box, int index)
{
    if (index == kEntries - 1)
        m_form.entries[(box + 1) % kBoxes][0]->focusAndSelect();
    showFullSummary(SystemDraft::EuroPrefix::InEuro);
    if (index < kEntries - 1)
        m_form.entries[box][index + 1]->focusAndSelect();
}

void MainWindow::showFullSummary(SystemDraft::EuroPrefix prefix)
{
    m_draft.recount();
    m_form.combinations->setText(m_draft.combinationsText());
    m_form.price->setText(m_draft.priceText());
    m_form.euro->setText(m_draft.euroText(prefix));
}

void MainWindow::resetReducedSummary()
{
    m_form.reducedColumns->setText(labels::kReducedColumnsReset);
    m_form.reducedPrice->setText(labels::kReducedPriceReset);
    m_form.reducedEuro->setText(labels::kEuro);
    clearGuarantee();
}

void MainWindow::clearGuarantee()
{
    m_form.guarantee->clear();
    m_form.actions.vincite->setEnabled(false);
}

void MainWindow::clearGrid()
{
    // Entry by entry, as a player would, so each change recounts.
    for (int i = 0; i < kEntries; ++i)
        for (int box = 0; box < kBoxes; ++box)
            m_form.entries[box][i]->clear();
}

void MainWindow::newSystem()
{
    setConditions({});
    clearGrid();
    setSystemType(SystemType::SeiPunti);
    m_form.entries[0][0]->focusAndSelect();
    m_draft.computed = false;
    m_form.systemName->setText(labels::kNewSystem);
    resetReducedSummary();
    m_previewModel->clear();
}

void MainWindow::calculate()
{
    if (isCalculating())
        return;
    m_previewModel->clear();
    m_form.progress->setValue(CalculationProgress::kStartValue);
    if (const auto problem = checkGrid(m_draft.grid)) {
        m_services.messages.information(
            this, problemTitle(problem->kind), problemMessage(problem->kind));
        if (problem->kind != GridProblem::Kind::NoNumbers)
            m_form.entries[problem->box][problem->entry]->focusAndSelect();
        emit calculationFinished();
        return;
    }
    // A system of no column, with a guarantee over nothing, is no system.
    if (!m_draft.conditions.empty()
        && countInPlay(developMasks(m_draft.grid), m_draft.conditions) == 0) {
        m_services.messages.information(this, kCalculationTitle,
            QStringLiteral("Nessuna colonna rispetta le condizioni: cambiarle per avere colonne "
                           "in gioco."));
        emit calculationFinished();
        return;
    }
    // The figures of the last result would pass for those of this one.
    resetReducedSummary();
    m_runner.start(m_draft.grid, systemType(), isOptimised(), m_draft.conditions);
    setBusy(true);
}

void MainWindow::stopSearch()
{
    // Taken: the search ends at its next step and the result follows.
    if (m_runner.stop())
        m_form.quitButton->setEnabled(false);
}

void MainWindow::quitOrStop()
{
    if (isSearching())
        stopSearch();
    else
        close();
}

void MainWindow::showProgress(int value, int maximum)
{
    if (m_form.progress->maximum() != maximum)
        m_form.progress->setRange(CalculationProgress::kStartValue, maximum);
    m_form.progress->setValue(value);
}

void MainWindow::calculationDone()
{
    m_form.progress->setValue(CalculationProgress::kStartValue);
    setBusy(false);
    // A message about the result keeps the window open for the user to read.
    const bool closeNow = std::exchange(m_closeWhenDone, false);
    auto result = m_runner.takeResult();
    if (!result) {
        m_services.messages.information(
            this, kCalculationTitle, result.error().message(QStringLiteral("scrivere")));
        emit calculationFinished();
        return;
    }
    const auto kept = static_cast<long long>(result->kept.size());
    // Saving writes these, whatever the shared work file holds by then.
    m_computedColumns = result->kept;
    m_previewModel->setColumns(std::move(result->kept));
    m_form.reducedColumns->setText(m_draft.reducedColumnsText(kept));
    m_form.reducedPrice->setText(m_draft.reducedPriceText(kept));
    m_form.reducedEuro->setText(m_draft.reducedEuroText(kept));
    const int points = threshold(m_runner.type());
    if (result->developedCount == 0) {
        m_draft.computed = true;
        m_computedType = m_runner.type();
        m_services.messages.information(this, kCalculationTitle,
            QStringLiteral("Nessuna colonna valida: in ogni combinazione del sistema uno stesso "
                           "numero compare in più caselle. Correggere i numeri ripetuti."));
        emit calculationFinished();
        return;
    }
    if (!result->guaranteeVerified) {
        // Columns that do not keep their promise must not be saved or played.
        m_services.messages.information(this, kCalculationTitle,
            QStringLiteral("Le colonne ridotte non garantiscono %1 punti: il sistema non è "
                           "elaborato. Ripetere il calcolo senza la riduzione ottimizzata.")
                .arg(points));
        emit calculationFinished();
        return;
    }
    m_form.guarantee->setText(result->conditioned
            ? QStringLiteral("Garanzia verificata: %1 punti sulle colonne condizionate").arg(points)
            : QStringLiteral("Garanzia verificata: %1 punti").arg(points));
    m_draft.computed = true;
    m_computedType = m_runner.type();
    m_form.actions.vincite->setEnabled(true);
    emit calculationFinished();
    if (closeNow)
        close();
}

void MainWindow::setBusy(bool busy)
{
    // Only the progress bar lives while the columns are computed, and the
    // button that ends an optimised search early.
    for (QWidget* w :
        { static_cast<QWidget*>(menuBar()), m_form.commandRow, m_form.gridFrame, m_form.typeFrame })
        w->setEnabled(!busy);
    const bool stoppable = busy && isSearching();
    m_form.quitButton->setEnabled(!busy || stoppable);
    m_form.quitButton->setText(stoppable ? QStringLiteral("Interrompi") : MainForm::quitCaption());
    m_form.quitButton->setToolTip(stoppable
            ? QStringLiteral("Ferma la ricerca e tiene le colonne migliori trovate finora (Esc).")
            : MainForm::quitTooltip());
    m_stopAction->setEnabled(stoppable);
}

namespace {
    const QString kSaveTitle = QStringLiteral("Salva sistema Ottavario*");
    const QString kOpenTitle = QStringLiteral("Apri sistema Ottavario*");
    const QString kSystemFilter = QStringLiteral("File Ottavario* (*.stt)");
}

QString MainWindow::systemName() const { return m_form.systemName->text(); }

void MainWindow::saveSystem()
{
    if (isCalculating())
        return;
    if (!m_draft.computed) {
        m_services.messages.information(
            this, kSaveTitle, QStringLiteral("Prima di salvare il sistema bisogna elaborarlo."));
        return;
    }
    if (m_previewModel->rowCount() == 0) {
        m_services.messages.information(this, kSaveTitle,
            QStringLiteral("Il sistema non ha nessuna colonna valida: non c'è nulla da salvare."));
        return;
    }
    QString path = m_services.dialogs.saveFileName(
        this, { m_services.folder.systems(), QString(), kSystemFilter, QStringLiteral("stt") });
    if (path.isEmpty())
        return;
    if (!isDescriptionPath(path))
        path += QStringLiteral(".stt");
    const auto saved = ottavario::saveSystem(path, m_draft.grid, m_computedType,
        formatColumnMasks(m_computedColumns), m_draft.conditions);
    if (!saved) {
        m_services.messages.information(
            this, kSaveTitle, saved.error().message(QStringLiteral("salvare")));
        return;
    }
    m_form.systemName->setText(path);
}

void MainWindow::openSystem()
{
    if (isCalculating())
        return;
    const QString path = m_services.dialogs.openFileName(
        this, { m_services.folder.systems(), QString(), kSystemFilter, QStringLiteral("stt") });
    if (!path.isEmpty())
        openSystemAt(path);
}

void MainWindow::openSystemAt(const QString& path)
{
    // The whole file is read and checked before the grid is touched.
    const auto description = ottavario::openSystem(path);
    if (!description) {
        m_services.messages.information(
            this, kOpenTitle, description.error().message(QStringLiteral("aprire")));
        return;
    }
    // Without conditions while the grid is filled: nothing to recount at each entry.
    setConditions({});
    clearGrid();
    m_previewModel->clear();
    setSystemType(description->type);
    for (int box = 0; box < kBoxes; ++box)
        for (int i = 0; i < kEntries; ++i)
            if (!description->grid.entries[box][i].isEmpty())
                m_form.entries[box][i]->setText(description->grid.entries[box][i]);
    setConditions(description->conditions);
    m_form.entries[0][0]->focusAndSelect();
    m_draft.computed = false;
    m_form.systemName->setText(path);
    resetReducedSummary();
}

void MainWindow::openWinsWindow()
{
    if (!m_draft.computed || isCalculating())
        return;
    const QString name = m_form.systemName->text();
    m_windows.showWins({ isDescriptionPath(name) ? ottavario::systemName(name) : name, m_draft.grid,
        m_computedType, m_computedColumns,
        m_draft.conditions.empty() ? std::nullopt : std::optional(columnsInPlay()) });
}

void MainWindow::openPersonalisation()
{
    m_windows.openPersonalisation(
        this, [this](const QString& lire, const QString& euro) { setPrices(lire, euro); });
}

void MainWindow::openConditions()
{
    if (isCalculating())
        return;
    m_windows.openConditions(this, m_draft.grid, m_draft.conditions, m_draft.lirePerColumn(),
        m_draft.euroPerColumn(),
        [this](const Conditions& conditions) { setConditions(conditions); });
}

void MainWindow::setConditions(const Conditions& conditions)
{
    if (conditions == m_draft.conditions)
        return;
    m_draft.conditions = conditions;
    // The columns computed were those of other conditions.
    m_draft.computed = false;
    clearGuarantee();
    showConditions();
}

std::vector<ColumnMask> MainWindow::columnsInPlay() const
{
    return ottavario::columnsInPlay(m_draft.grid, m_draft.conditions);
}

void MainWindow::showConditions()
{
    if (m_draft.conditions.empty()) {
        m_form.conditions->clear();
        return;
    }
    const qsizetype inPlay = countInPlay(developMasks(m_draft.grid), m_draft.conditions);
    m_form.conditions->setText(QStringLiteral("Sistema condizionato: %1 colonne in gioco")
                                   .arg(QLocale().toString(qlonglong(inPlay))));
}

void MainWindow::openAbout() { m_windows.openAbout(this); }

} // namespace ottavario
