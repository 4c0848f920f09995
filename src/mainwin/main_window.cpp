#include "main_window.h"

#include "about/about_box.h"
#include "check/check_window.h"
#include "core/data_folder.h"
#include "core/format.h"
#include "core/number.h"
#include "engine/calculation.h"
#include "engine/column_file.h"
#include "engine/development.h"
#include "engine/grid_check.h"
#include "engine/preview_model.h"
#include "mainwin/conditions_window.h"
#include "mainwin/forms.h"
#include "mainwin/grid_entry.h"
#include "mainwin/icons.h"
#include "mainwin/services.h"
#include "print/print_window.h"
#include "settings/personalisation_window.h"
#include "settings/settings_file.h"
#include "systems/system_files.h"
#include "transfer/transfer_window.h"
#include "wins/wins_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace ottavario {

namespace {
    void showAgain(QWidget* window)
    {
        window->show();
        window->raise();
        window->activateWindow();
    }

    const QString kCalculationTitle = QStringLiteral("Calcolo delle colonne");
    const QString kQuitCaption = QStringLiteral("Fine lavoro");
    const QString kQuitTooltip = QStringLiteral("Chiude il lavoro.");
}

MainWindow::MainWindow(
    MainWindowServices services, const QStringList& settingsValues, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ottavario*"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_commandRow = buildCommandRow();
    layout->addWidget(m_commandRow);

    auto* middle = new QHBoxLayout;
    m_gridFrame = buildGrid();
    middle->addWidget(m_gridFrame);

    auto* right = new QVBoxLayout;
    auto* summaryRow = new QHBoxLayout;
    m_typeFrame = buildTypeChoice();
    summaryRow->addWidget(m_typeFrame);

    auto* summary = new QGridLayout;
    m_combinations = forms::namedLabel(QStringLiteral("Label2"), labels::kCombinations, central);
    m_price = forms::namedLabel(QStringLiteral("Label4"), labels::kPrice, central);
    m_euro = forms::namedLabel(QStringLiteral("Label5"), labels::kEuro, central);
    m_reducedColumns
        = forms::namedLabel(QStringLiteral("Label3"), labels::kReducedColumns, central);
    m_reducedPrice = forms::namedLabel(QStringLiteral("Label6"), labels::kReducedPrice, central);
    m_reducedEuro = forms::namedLabel(QStringLiteral("Label7"), labels::kEuro, central);
    // Under the reduced counts: what the kept columns were checked to guarantee.
    m_guarantee = forms::namedLabel(QStringLiteral("Label9"), QString(), central);
    const std::array<QLabel*, 6> summaryLabels
        = { m_combinations, m_price, m_euro, m_reducedColumns, m_reducedPrice, m_reducedEuro };
    for (int i = 0; i < 6; ++i)
        summary->addWidget(summaryLabels[i], i % 3, i / 3);
    summary->addWidget(m_guarantee, 3, 0, 1, 2);
    // Under it: whether only the columns that meet the conditions are played.
    m_conditionsLabel = forms::namedLabel(QStringLiteral("Label10"), QString(), central);
    summary->addWidget(m_conditionsLabel, 4, 0, 1, 2);
    auto* summaryBox = new QWidget(central);
    summaryBox->setLayout(summary);
    summaryRow->addWidget(summaryBox, 1);
    right->addLayout(summaryRow);

    auto* previewFrame = new QGroupBox(QStringLiteral("Anteprima"), central);
    previewFrame->setObjectName(QStringLiteral("Frame3"));
    auto* previewLayout = new QVBoxLayout(previewFrame);
    // A list of one column of rows all alike: unlike a list view, which lays
    // out every row of a new result (15 ms for 234,256 columns), a table
    // places them by their number.
    m_preview = new QTableView(previewFrame);
    m_preview->setObjectName(QStringLiteral("List1"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_preview->setSelectionMode(QAbstractItemView::SingleSelection);
    m_preview->setShowGrid(false);
    m_preview->setWordWrap(false);
    m_preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_preview->horizontalHeader()->hide();
    m_preview->horizontalHeader()->setStretchLastSection(true);
    m_preview->verticalHeader()->hide();
    QFont mono = m_preview->font();
    mono.setFamily(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    m_preview->setFont(mono);
    // Rows as close as those of a list.
    QHeaderView* rows = m_preview->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(QFontMetrics(mono).height());
    rows->setDefaultSectionSize(QFontMetrics(mono).height());
    m_previewModel = new PreviewModel(this);
    m_preview->setModel(m_previewModel);
    previewLayout->addWidget(m_preview);
    right->addWidget(previewFrame, 1);
    middle->addLayout(right, 1);
    layout->addLayout(middle, 1);

    auto* bottom = new QHBoxLayout;
    m_progress = new QProgressBar(central);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    // At its start value the bar is empty: no stub is left after a calculation.
    m_progress->setRange(CalculationProgress::kStartValue, 100);
    m_progress->setValue(CalculationProgress::kStartValue);
    m_progress->setTextVisible(false);
    bottom->addWidget(m_progress, 1);
    m_quitButton = new QPushButton(kQuitCaption, central);
    m_quitButton->setObjectName(QStringLiteral("Command4"));
    m_quitButton->setToolTip(kQuitTooltip);
    connect(m_quitButton, &QPushButton::clicked, this, &MainWindow::quitOrStop);
    bottom->addWidget(m_quitButton);
    layout->addLayout(bottom);

    m_systemName = forms::namedLabel(QStringLiteral("Label8"), QString(), central);
    m_systemName->setToolTip(QStringLiteral("Nome del sistema in uso."));
    m_systemName->setFrameShape(QFrame::StyledPanel);
    m_systemName->setFrameShadow(QFrame::Sunken);
    m_systemName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_systemName);

    setCentralWidget(central);
    m_calculationProgress = std::make_unique<CalculationProgress>();
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(30);
    connect(m_progressTimer, &QTimer::timeout, this, &MainWindow::showProgress);
    connect(&m_calculation, &QFutureWatcherBase::finished, this, &MainWindow::calculationDone);
    m_stopAction = new QAction(this);
    m_stopAction->setShortcut(Qt::Key_Escape);
    m_stopAction->setEnabled(false);
    addAction(m_stopAction);
    connect(m_stopAction, &QAction::triggered, this, &MainWindow::stopSearch);
    buildMenus();
    buildTabOrder();

    setPrices(settings::value(settingsValues, settings::LirePrice),
        settings::value(settingsValues, settings::EuroPrice));
    m_systemName->setText(labels::kNewSystem);

    adjustSize();
    forms::centreOnScreen(this);
    m_entries[0][0]->focusAndSelect();
}

MainWindow::~MainWindow()
{
    // The worker writes into members; let it end before they go.
    m_stop = true;
    m_calculation.waitForFinished();
}

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

void MainWindow::buildMenus()
{
    auto addAction = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1StringView(name));
        return action;
    };
    auto addSeparator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1StringView(name));
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file"));
    QAction* nuovo = addAction(file, "nuovo", QStringLiteral("&Nuovo sistema"));
    QAction* apri = addAction(file, "apri", QStringLiteral("&Apri sistema"));
    addSeparator(file, "l1");
    QAction* calcolo = addAction(file, "calcolo", QStringLiteral("&Calcolo delle colonne"));
    QAction* condizioni = addAction(file, "condizioni", QStringLiteral("Con&dizioni..."));
    // Only columns whose guarantee was verified are worth a win table.
    m_winsAction = addAction(file, "vincite", QStringLiteral("Prospetto &vincite"));
    m_winsAction->setEnabled(false);
    addSeparator(file, "l2");
    QAction* salva = addAction(file, "salva", QStringLiteral("&Salva sistema con nome"));
    QAction* importa = addAction(file, "importa", QStringLiteral("&Importa esporta i sistemi."));
    addSeparator(file, "l3");
    QAction* fine = addAction(file, "fine", QStringLiteral("&Fine lavoro "));

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Dati e info"));
    options->setObjectName(QStringLiteral("opzioni"));
    QAction* inserimento = addAction(options, "inserimento", QStringLiteral("&Personalizzazione"));
    addSeparator(options, "li");
    QAction* info = addAction(options, "info", QStringLiteral("&Informazioni su Ottavario..."));

    connect(nuovo, &QAction::triggered, this, &MainWindow::newSystem);
    connect(apri, &QAction::triggered, this, &MainWindow::openSystem);
    connect(calcolo, &QAction::triggered, this, &MainWindow::calculate);
    connect(condizioni, &QAction::triggered, this, &MainWindow::openConditions);
    connect(salva, &QAction::triggered, this, &MainWindow::saveSystem);
    connect(importa, &QAction::triggered, this, &MainWindow::openTransferWindow);
    connect(fine, &QAction::triggered, this, &MainWindow::close);
    connect(inserimento, &QAction::triggered, this, &MainWindow::openPersonalisation);
    connect(info, &QAction::triggered, this, &MainWindow::openAbout);

    // A button runs its menu item's handler; the others have no menu item.
    const std::array<std::pair<const char*, QAction*>, 6> same = { {
        { "Command5", nuovo },
        { "Command6", apri },
        { "Command2", salva },
        { "Command9", importa },
        { "Command1", calcolo },
        { "Command10", condizioni },
    } };
    for (const auto& [name, action] : same) {
        QToolButton* button = findChild<QToolButton*>(QLatin1StringView(name));
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
    }
    connect(findChild<QToolButton*>(QStringLiteral("Command3")), &QToolButton::clicked, this,
        &MainWindow::openPrintWindow);
    connect(findChild<QToolButton*>(QStringLiteral("Command7")), &QToolButton::clicked, this,
        &MainWindow::openCheckWindow);
    auto* winsButton = findChild<QToolButton*>(QStringLiteral("Command8"));
    winsButton->setEnabled(false);
    connect(winsButton, &QToolButton::clicked, m_winsAction, &QAction::trigger);
    connect(m_winsAction, &QAction::enabledChanged, winsButton, &QWidget::setEnabled);
    connect(m_winsAction, &QAction::triggered, this, &MainWindow::openWinsWindow);
}

QWidget* MainWindow::buildCommandRow()
{
    struct CommandButton {
        const char* name;
        const char* tooltip;
        icons::Picture picture;
    };
    const std::array<CommandButton, 9> buttons = { {
        { "Command5", "Nuovo sistemaOttavario*", icons::Picture::NewSystem },
        { "Command6", "Apri Ottavario*", icons::Picture::Open },
        { "Command2", "Salva il sistema elaborato", icons::Picture::Save },
        { "Command9", "Importa ed esporta i sistemi.", icons::Picture::ImportExport },
        { "Command1", "Calcolo delle colonne", icons::Picture::Calculate },
        { "Command10", "Condizioni sulle colonne da giocare", icons::Picture::Conditions },
        { "Command3", "Stampa le schede e i tabulati", icons::Picture::Print },
        { "Command7", "Spoglio sistemi", icons::Picture::Check },
        { "Command8", "Prospetto vincite", icons::Picture::Wins },
    } };
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const CommandButton& wanted : buttons) {
        auto* button = new QToolButton(row);
        button->setObjectName(QLatin1StringView(wanted.name));
        button->setToolTip(QString::fromUtf8(wanted.tooltip));
        button->setIcon(icons::icon(wanted.picture));
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        layout->addWidget(button);
        m_commandButtons.append(button);
    }
    layout->addStretch(1);
    return row;
}

QWidget* MainWindow::buildGrid()
{
    auto* frame = new QGroupBox(QStringLiteral("Pronostico"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* layout = new QGridLayout(frame);
    for (int box = 0; box < kBoxes; ++box) {
        auto* caption = new QLabel(QStringLiteral("Casella %1").arg(box + 1), frame);
        caption->setObjectName(forms::indexed("Label1", box));
        layout->addWidget(caption, box, 0);
        for (int i = 0; i < kEntries; ++i) {
            auto* entry = new GridEntry(frame);
            entry->setObjectName(
                forms::indexed(QStringLiteral("Text%1").arg(box + 1).toLatin1(), i));
            layout->addWidget(entry, box, i + 1);
            m_entries[box][i] = entry;
            connect(entry, &QLineEdit::textChanged, this, [this, box, i] { entryChanged(box, i); });
            connect(
                entry, &QLineEdit::returnPressed, this, [this, box, i] { entryEntered(box, i); });
        }
    }
    return frame;
}

QWidget* MainWindow::buildTypeChoice()
{
    auto* frame = new QGroupBox(QStringLiteral("Riduzione"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* layout = new QVBoxLayout(frame);
    const std::array<QString, 4> captions = { QStringLiteral("Sette punti"),
        QStringLiteral("Sei punti"), QStringLiteral("Cinque punti"), QStringLiteral("Integrale") };
    for (int i = 0; i < 4; ++i) {
        m_options[i] = new QRadioButton(captions[i], frame);
        m_options[i]->setObjectName(forms::indexed("Option1", i));
    }
    // Top to bottom: Integrale, Cinque punti, Sei punti, Sette punti.
    for (int i : { 3, 2, 1, 0 })
        layout->addWidget(m_options[i]);
    m_options[optionIndex(kDefaultSystemType)]->setChecked(true);

    // Unticked at start: the described greedy reduction stays the default.
    m_optimised = new QCheckBox(QStringLiteral("Riduzione ottimizzata"), frame);
    m_optimised->setObjectName(QStringLiteral("Check1"));
    m_optimised->setToolTip(QStringLiteral(
        "Cerca per circa due secondi un sistema con molte meno colonne e la stessa garanzia."));
    layout->addSpacing(layout->spacing());
    layout->addWidget(m_optimised);
    // Integrale keeps every column: there is nothing to optimise.
    connect(m_options[optionIndex(SystemType::Integrale)], &QRadioButton::toggled, m_optimised,
        &QCheckBox::setDisabled);
    return frame;
}

void MainWindow::buildTabOrder()
{
    // Entries 0 to 3 box by box, then the buttons and the options, then the
    // fifth entries: the player fills four numbers a box before a fifth.
    QList<QWidget*> order;
    for (int box = 0; box < kBoxes; ++box)
        for (int i = 0; i < kEntries - 1; ++i)
            order.append(m_entries[box][i]);
    for (QToolButton* button : m_commandButtons)
        order.append(button);
    order.append(m_quitButton);
    for (int i : { 3, 2, 1, 0 })
        order.append(m_options[i]);
    order.append(m_optimised);
    order.append(m_preview);
    for (int box = 0; box < kBoxes; ++box)
        order.append(m_entries[box][kEntries - 1]);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

SystemType MainWindow::systemType() const
{
    for (int i = 0; i < 4; ++i)
        if (m_options[i]->isChecked())
            return typeOfOption(i);
    return kDefaultSystemType;
}

void MainWindow::setSystemType(SystemType type) { m_options[optionIndex(type)]->setChecked(true); }

bool MainWindow::isOptimised() const { return m_optimised->isChecked(); }

void MainWindow::setOptimised(bool optimised) { m_optimised->setChecked(optimised); }

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
    const QFontMetrics metrics = m_guarantee->fontMetrics();
    int width = 0;
    for (const QString& text : longest)
        width = std::max(width, metrics.horizontalAdvance(text));
    for (QLabel* label : { m_combinations, m_price, m_euro, m_reducedColumns, m_reducedPrice,
             m_reducedEuro, m_guarantee })
        label->setMinimumWidth(width);
}

void MainWindow::entryChanged(int box, int index)
{
    GridEntry* entry = m_entries[box][index];
    m_draft.grid.entries[box][index] = entry->text();
    m_draft.computed = false;
    clearGuarantee();
    showFullSummary(SystemDraft::EuroPrefix::Euro);
    showConditions();
    if (entry->text().size() == 2 && index < kEntries - 1)
        m_entries[box][index + 1]->focusAndSelect();
    const double value = readNumber(entry->text());
    if (value < kLowestNumber || value > kHighestNumber)
        entry->focusAndSelect();
}

void MainWindow::entryEntered(int box, int index)
{
    if (index == kEntries - 1)
        m_entries[(box + 1) % kBoxes][0]->focusAndSelect();
    showFullSummary(SystemDraft::EuroPrefix::InEuro);
    if (index < kEntries - 1)
        m_entries[box][index + 1]->focusAndSelect();
}

void MainWindow::showFullSummary(SystemDraft::EuroPrefix prefix)
{
    m_draft.recount();
    m_combinations->setText(m_draft.combinationsText());
    m_price->setText(m_draft.priceText());
    m_euro->setText(m_draft.euroText(prefix));
}

void MainWindow::resetReducedSummary()
{
    m_reducedColumns->setText(labels::kReducedColumnsReset);
    m_reducedPrice->setText(labels::kReducedPriceReset);
    m_reducedEuro->setText(labels::kEuro);
    clearGuarantee();
}

void MainWindow::clearGuarantee()
{
    m_guarantee->clear();
    if (m_winsAction)
        m_winsAction->setEnabled(false);
}

void MainWindow::clearGrid()
{
    // Entry by entry, as a player would, so each change recounts.
    for (int i = 0; i < kEntries; ++i)
        for (int box = 0; box < kBoxes; ++box)
            m_entries[box][i]->clear();
}

void MainWindow::newSystem()
{
    setConditions({});
    clearGrid();
    setSystemType(SystemType::SeiPunti);
    m_entries[0][0]->focusAndSelect();
    m_draft.computed = false;
    m_systemName->setText(labels::kNewSystem);
    resetReducedSummary();
    m_previewModel->clear();
}

void MainWindow::calculate()
{
    if (isCalculating())
        return;
    m_previewModel->clear();
    m_progress->setValue(CalculationProgress::kStartValue);
    if (const auto problem = checkGrid(m_draft.grid)) {
        m_services.messages->information(
            this, problemTitle(problem->kind), problemMessage(problem->kind));
        if (problem->kind != GridProblem::Kind::NoNumbers)
            m_entries[problem->box][problem->entry]->focusAndSelect();
        emit calculationFinished();
        return;
    }
    // A system of no column, with a guarantee over nothing, is no system.
    if (!m_draft.conditions.empty()
        && countInPlay(developMasks(m_draft.grid), m_draft.conditions) == 0) {
        m_services.messages->information(this, kCalculationTitle,
            QStringLiteral("Nessuna colonna rispetta le condizioni: cambiarle per avere colonne "
                           "in gioco."));
        emit calculationFinished();
        return;
    }
    m_calculationProgress->maximum = 100;
    m_calculationProgress->value = CalculationProgress::kStartValue;
    m_calculatedType = systemType();
    m_searching = isOptimised() && m_calculatedType != SystemType::Integrale;
    m_stop = false;
    // The figures of the last result would pass for those of this one.
    resetReducedSummary();
    setBusy(true);
    const CalculationOptions options {
        .optimised = m_searching, .stop = &m_stop, .conditions = m_draft.conditions
    };
    m_calculation.setFuture(QtConcurrent::run(
        [calculation = m_services.calculation, grid = m_draft.grid, type = m_calculatedType,
            progress = m_calculationProgress.get(), options] {
            if (calculation)
                return calculation(grid, type, progress, options);
            return calculateColumns(grid, type, WorkFiles::standard(), progress, options);
        }));
    m_progressTimer->start();
}

void MainWindow::stopSearch()
{
    if (!isSearching() || m_stop)
        return;
    m_stop = true;
    // Taken: the search ends at its next step and the result follows.
    m_quitButton->setEnabled(false);
}

void MainWindow::quitOrStop()
{
    if (isSearching())
        stopSearch();
    else
        close();
}

void MainWindow::showProgress()
{
    const int maximum = m_calculationProgress->maximum;
    if (m_progress->maximum() != maximum)
        m_progress->setRange(CalculationProgress::kStartValue, maximum);
    m_progress->setValue(std::min(int(m_calculationProgress->value), maximum));
}

void MainWindow::calculationDone()
{
    m_progressTimer->stop();
    showProgress();
    m_progress->setValue(CalculationProgress::kStartValue);
    setBusy(false);
    // A message about the result keeps the window open for the user to read.
    const bool closeNow = std::exchange(m_closeWhenDone, false);
    auto result = m_calculation.result();
    if (!result) {
        m_services.messages->information(
            this, kCalculationTitle, result.error().message(QStringLiteral("scrivere")));
        emit calculationFinished();
        return;
    }
    const auto kept = static_cast<long long>(result->kept.size());
    // Saving writes these, whatever the shared work file holds by then.
    m_computedColumns = result->kept;
    m_previewModel->setColumns(std::move(result->kept));
    m_reducedColumns->setText(m_draft.reducedColumnsText(kept));
    m_reducedPrice->setText(m_draft.reducedPriceText(kept));
    m_reducedEuro->setText(m_draft.reducedEuroText(kept));
    const int points = threshold(m_calculatedType);
    if (result->developedCount == 0) {
        m_draft.computed = true;
        m_computedType = m_calculatedType;
        m_services.messages->information(this, kCalculationTitle,
            QStringLiteral("Nessuna colonna valida: in ogni combinazione del sistema uno stesso "
                           "numero compare in più caselle. Correggere i numeri ripetuti."));
        emit calculationFinished();
        return;
    }
    if (!result->guaranteeVerified) {
        // Columns that do not keep their promise must not be saved or played.
        m_services.messages->information(this, kCalculationTitle,
            QStringLiteral("Le colonne ridotte non garantiscono %1 punti: il sistema non è "
                           "elaborato. Ripetere il calcolo senza la riduzione ottimizzata.")
                .arg(points));
        emit calculationFinished();
        return;
    }
    m_guarantee->setText(result->conditioned
            ? QStringLiteral("Garanzia verificata: %1 punti sulle colonne condizionate").arg(points)
            : QStringLiteral("Garanzia verificata: %1 punti").arg(points));
    m_draft.computed = true;
    m_computedType = m_calculatedType;
    m_winsAction->setEnabled(true);
    emit calculationFinished();
    if (closeNow)
        close();
}

void MainWindow::setBusy(bool busy)
{
    m_busy = busy;
    // Only the progress bar lives while the columns are computed, and the
    // button that ends an optimised search early.
    for (QWidget* w : { static_cast<QWidget*>(menuBar()), m_commandRow, m_gridFrame, m_typeFrame })
        w->setEnabled(!busy);
    const bool stoppable = busy && m_searching;
    m_quitButton->setEnabled(!busy || stoppable);
    m_quitButton->setText(stoppable ? QStringLiteral("Interrompi") : kQuitCaption);
    m_quitButton->setToolTip(stoppable
            ? QStringLiteral("Ferma la ricerca e tiene le colonne migliori trovate finora (Esc).")
            : kQuitTooltip);
    m_stopAction->setEnabled(stoppable);
}

namespace {
    const QString kSaveTitle = QStringLiteral("Salva sistema Ottavario*");
    const QString kOpenTitle = QStringLiteral("Apri sistema Ottavario*");
    const QString kSystemFilter = QStringLiteral("File Ottavario* (*.stt)");
}

QString MainWindow::systemName() const { return m_systemName->text(); }

void MainWindow::saveSystem()
{
    if (isCalculating())
        return;
    if (!m_draft.computed) {
        m_services.messages->information(
            this, kSaveTitle, QStringLiteral("Prima di salvare il sistema bisogna elaborarlo."));
        return;
    }
    if (m_previewModel->rowCount() == 0) {
        m_services.messages->information(this, kSaveTitle,
            QStringLiteral("Il sistema non ha nessuna colonna valida: non c'è nulla da salvare."));
        return;
    }
    QString path = m_services.dialogs->saveFileName(
        this, { systemsFolder(), QString(), kSystemFilter, QStringLiteral("stt") });
    if (path.isEmpty())
        return;
    if (!isDescriptionPath(path))
        path += QStringLiteral(".stt");
    const auto saved = ottavario::saveSystem(path, m_draft.grid, m_computedType,
        formatColumnMasks(m_computedColumns), m_draft.conditions);
    if (!saved) {
        m_services.messages->information(
            this, kSaveTitle, saved.error().message(QStringLiteral("salvare")));
        return;
    }
    m_systemName->setText(path);
}

void MainWindow::openSystem()
{
    if (isCalculating())
        return;
    const QString path = m_services.dialogs->openFileName(
        this, { systemsFolder(), QString(), kSystemFilter, QStringLiteral("stt") });
    if (!path.isEmpty())
        openSystemAt(path);
}

void MainWindow::openSystemAt(const QString& path)
{
    // The whole file is read and checked before the grid is touched.
    const auto description = ottavario::openSystem(path);
    if (!description) {
        m_services.messages->information(
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
                m_entries[box][i]->setText(description->grid.entries[box][i]);
    setConditions(description->conditions);
    m_entries[0][0]->focusAndSelect();
    m_draft.computed = false;
    m_systemName->setText(path);
    resetReducedSummary();
}

void MainWindow::showBlocking(QWidget* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    setEnabled(false);
    connect(window, &QObject::destroyed, this, [this] {
        setEnabled(true);
        activateWindow();
    });
    showAgain(window);
}

void MainWindow::openCheckWindow()
{
    auto* window = new CheckWindow(m_services.messages, m_services.dialogs);
    connect(window, &CheckWindow::winsRequested, this,
        [this](const QString& sttPath) { winsWindow()->openSystemAt(sttPath); });
    showBlocking(window);
}

WinsWindow* MainWindow::winsWindow()
{
    if (!m_winsWindow) {
        // No parent: it stays open beside the checking window and the main one.
        m_winsWindow
            = new WinsWindow({ m_services.messages, m_services.dialogs, m_services.printer });
        m_winsWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    showAgain(m_winsWindow);
    return m_winsWindow;
}

void MainWindow::openWinsWindow()
{
    if (!m_draft.computed || isCalculating())
        return;
    const QString name = m_systemName->text();
    winsWindow()->showSystem({ isDescriptionPath(name) ? ottavario::systemName(name) : name,
        m_draft.grid, m_computedType, m_computedColumns,
        m_draft.conditions.empty() ? std::nullopt : std::optional(columnsInPlay()) });
}

void MainWindow::openPrintWindow()
{
    if (!m_printWindow) {
        // No parent: it stays open when the main window closes.
        m_printWindow = new print::PrintWindow(
            { m_services.messages, m_services.dialogs, m_services.printer });
        m_printWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    showAgain(m_printWindow);
}

void MainWindow::openTransferWindow()
{
    if (!m_transferWindow) {
        m_transferWindow = new TransferWindow({ m_services.messages });
        m_transferWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    showAgain(m_transferWindow);
}

void MainWindow::openPersonalisation()
{
    auto* window = new PersonalisationWindow(m_services.messages, settingsPath());
    connect(window, &PersonalisationWindow::pricesChanged, this, &MainWindow::setPrices);
    showBlocking(window);
}

void MainWindow::openConditions()
{
    if (isCalculating())
        return;
    auto* window = new ConditionsWindow(
        m_draft.grid, m_draft.conditions, m_draft.lirePerColumn(), m_draft.euroPerColumn());
    connect(window, &ConditionsWindow::conditionsAccepted, this, &MainWindow::setConditions);
    showBlocking(window);
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
        m_conditionsLabel->clear();
        return;
    }
    const qsizetype inPlay = countInPlay(developMasks(m_draft.grid), m_draft.conditions);
    m_conditionsLabel->setText(QStringLiteral("Sistema condizionato: %1 colonne in gioco")
                                   .arg(QLocale().toString(qlonglong(inPlay))));
}

void MainWindow::openAbout() { showBlocking(new AboutBox(m_services.messages, settingsPath())); }

} // namespace ottavario
