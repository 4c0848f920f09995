#include "main_form.h"

#include "engine/calculation.h"
#include "mainwin/system_draft.h"
#include "widgets/forms.h"
#include "widgets/grid_entry.h"
#include "widgets/icons.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace ottavario {

QString MainForm::quitCaption() { return QStringLiteral("Fine lavoro"); }
QString MainForm::quitTooltip() { return QStringLiteral("Chiude il lavoro."); }

void MainForm::build(QMainWindow* window, QAbstractItemModel* previewModel)
{
    auto* central = new QWidget(window);
    auto* layout = new QVBoxLayout(central);
    commandRow = buildCommandRow(central);
    layout->addWidget(commandRow);

    auto* middle = new QHBoxLayout;
    gridFrame = buildGrid(central);
    middle->addWidget(gridFrame);

    auto* right = new QVBoxLayout;
    auto* summaryRow = new QHBoxLayout;
    typeFrame = buildTypeChoice(central);
    summaryRow->addWidget(typeFrame);

    auto* summary = new QGridLayout;
    combinations = forms::namedLabel(QStringLiteral("Label2"), labels::kCombinations, central);
    price = forms::namedLabel(QStringLiteral("Label4"), labels::kPrice, central);
    euro = forms::namedLabel(QStringLiteral("Label5"), labels::kEuro, central);
    reducedColumns = forms::namedLabel(QStringLiteral("Label3"), labels::kReducedColumns, central);
    reducedPrice = forms::namedLabel(QStringLiteral("Label6"), labels::kReducedPrice, central);
    reducedEuro = forms::namedLabel(QStringLiteral("Label7"), labels::kEuro, central);
    // Under the reduced counts: what the kept columns were checked to guarantee.
    guarantee = forms::namedLabel(QStringLiteral("Label9"), QString(), central);
    const std::array<QLabel*, 6> summaryLabels
        = { combinations, price, euro, reducedColumns, reducedPrice, reducedEuro };
    for (int i = 0; i < 6; ++i)
        summary->addWidget(summaryLabels[i], i % 3, i / 3);
    summary->addWidget(guarantee, 3, 0, 1, 2);
    // Under it: whether only the columns that meet the conditions are played.
    conditions = forms::namedLabel(QStringLiteral("Label10"), QString(), central);
    summary->addWidget(conditions, 4, 0, 1, 2);
    auto* summaryBox = new QWidget(central);
    summaryBox->setLayout(summary);
    summaryRow->addWidget(summaryBox, 1);
    right->addLayout(summaryRow);
    right->addWidget(buildPreview(central, previewModel), 1);
    middle->addLayout(right, 1);
    layout->addLayout(middle, 1);

    auto* bottom = new QHBoxLayout;
    progress = new QProgressBar(central);
    progress->setObjectName(QStringLiteral("ProgressBar1"));
    // At its start value the bar is empty: no stub is left after a calculation.
    progress->setRange(CalculationProgress::kStartValue, 100);
    progress->setValue(CalculationProgress::kStartValue);
    progress->setTextVisible(false);
    bottom->addWidget(progress, 1);
    quitButton = new QPushButton(quitCaption(), central);
    quitButton->setObjectName(QStringLiteral("Command4"));
    quitButton->setToolTip(quitTooltip());
    bottom->addWidget(quitButton);
    layout->addLayout(bottom);

    systemName = forms::namedLabel(QStringLiteral("Label8"), QString(), central);
    systemName->setToolTip(QStringLiteral("Nome del sistema in uso."));
    systemName->setFrameShape(QFrame::StyledPanel);
    systemName->setFrameShadow(QFrame::Sunken);
    systemName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(systemName);

    window->setCentralWidget(central);
    buildMenus(window);
    buildTabOrder(window);
}

QWidget* MainForm::buildPreview(QWidget* parent, QAbstractItemModel* model)
{
    auto* frame = new QGroupBox(QStringLiteral("Anteprima"), parent);
    frame->setObjectName(QStringLiteral("Frame3"));
    auto* layout = new QVBoxLayout(frame);
    // A list of one column of rows all alike: unlike a list view, which lays
    // out every row of a new result (15 ms for 234,256 columns), a table
    // places them by their number.
    preview = new QTableView(frame);
    preview->setObjectName(QStringLiteral("List1"));
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->setSelectionBehavior(QAbstractItemView::SelectRows);
    preview->setSelectionMode(QAbstractItemView::SingleSelection);
    preview->setShowGrid(false);
    preview->setWordWrap(false);
    preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    preview->horizontalHeader()->hide();
    preview->horizontalHeader()->setStretchLastSection(true);
    preview->verticalHeader()->hide();
    QFont mono = preview->font();
    mono.setFamily(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    preview->setFont(mono);
    // Rows as close as those of a list.
    QHeaderView* rows = preview->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(QFontMetrics(mono).height());
    rows->setDefaultSectionSize(QFontMetrics(mono).height());
    preview->setModel(model);
    layout->addWidget(preview);
    return frame;
}

void MainForm::buildMenus(QMainWindow* window)
{
    const auto addAction = &forms::namedAction;
    auto addSeparator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1StringView(name));
    };

    QMenu* file = window->menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file"));
    actions.nuovo = addAction(file, "nuovo", QStringLiteral("&Nuovo sistema"));
    actions.apri = addAction(file, "apri", QStringLiteral("&Apri sistema"));
    addSeparator(file, "l1");
    actions.calcolo = addAction(file, "calcolo", QStringLiteral("&Calcolo delle colonne"));
    actions.condizioni = addAction(file, "condizioni", QStringLiteral("Con&dizioni..."));
    // Only columns whose guarantee was verified are worth a win table.
    actions.vincite = addAction(file, "vincite", QStringLiteral("Prospetto &vincite"));
    actions.vincite->setEnabled(false);
    addSeparator(file, "l2");
    actions.salva = addAction(file, "salva", QStringLiteral("&Salva sistema con nome"));
    actions.importa = addAction(file, "importa", QStringLiteral("&Importa esporta i sistemi."));
    addSeparator(file, "l3");
    actions.fine = addAction(file, "fine", QStringLiteral("&Fine lavoro "));

    QMenu* options = window->menuBar()->addMenu(QStringLiteral("&Dati e info"));
    options->setObjectName(QStringLiteral("opzioni"));
    actions.inserimento = addAction(options, "inserimento", QStringLiteral("&Personalizzazione"));
    addSeparator(options, "li");
    actions.info = addAction(options, "info", QStringLiteral("&Informazioni su Ottavario..."));

    // A button runs its menu item's handler; Command3 and Command7 have no menu item.
    const std::array<std::pair<const char*, QAction*>, 7> same = { {
        { "Command5", actions.nuovo },
        { "Command6", actions.apri },
        { "Command2", actions.salva },
        { "Command9", actions.importa },
        { "Command1", actions.calcolo },
        { "Command10", actions.condizioni },
        { "Command8", actions.vincite },
    } };
    for (const auto& [name, action] : same) {
        auto* button = commandRow->findChild<QToolButton*>(QLatin1StringView(name));
        QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
        button->setEnabled(action->isEnabled());
        QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    }
    printButton = commandRow->findChild<QToolButton*>(QStringLiteral("Command3"));
    checkButton = commandRow->findChild<QToolButton*>(QStringLiteral("Command7"));
}

QWidget* MainForm::buildCommandRow(QWidget* parent)
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
    auto* row = new QWidget(parent);
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

QWidget* MainForm::buildGrid(QWidget* parent)
{
    auto* frame = new QGroupBox(QStringLiteral("Pronostico"), parent);
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
            entries[box][i] = entry;
        }
    }
    return frame;
}

QWidget* MainForm::buildTypeChoice(QWidget* parent)
{
    auto* frame = new QGroupBox(QStringLiteral("Riduzione"), parent);
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* layout = new QVBoxLayout(frame);
    const std::array<QString, 4> captions = { QStringLiteral("Sette punti"),
        QStringLiteral("Sei punti"), QStringLiteral("Cinque punti"), QStringLiteral("Integrale") };
    for (int i = 0; i < 4; ++i) {
        options[i] = new QRadioButton(captions[i], frame);
        options[i]->setObjectName(forms::indexed("Option1", i));
    }
    // Top to bottom: Integrale, Cinque punti, Sei punti, Sette punti.
    for (int i : { 3, 2, 1, 0 })
        layout->addWidget(options[i]);
    options[optionIndex(kDefaultSystemType)]->setChecked(true);

    // Unticked at start: the described greedy reduction stays the default.
    optimised = new QCheckBox(QStringLiteral("Riduzione ottimizzata"), frame);
    optimised->setObjectName(QStringLiteral("Check1"));
    optimised->setToolTip(QStringLiteral(
        "Cerca per circa due secondi un sistema con molte meno colonne e la stessa garanzia."));
    layout->addSpacing(layout->spacing());
    layout->addWidget(optimised);
    // Integrale keeps every column: there is nothing to optimise.
    QObject::connect(options[optionIndex(SystemType::Integrale)], &QRadioButton::toggled, optimised,
        &QCheckBox::setDisabled);
    return frame;
}

void MainForm::buildTabOrder(QMainWindow* window)
{
    // Entries 0 to 3 box by box, then the buttons and the options, then the
    // fifth entries: the player fills four numbers a box before a fifth.
    QList<QWidget*> order;
    for (int box = 0; box < kBoxes; ++box)
        for (int i = 0; i < kEntries - 1; ++i)
            order.append(entries[box][i]);
    for (QToolButton* button : m_commandButtons)
        order.append(button);
    order.append(quitButton);
    for (int i : { 3, 2, 1, 0 })
        order.append(options[i]);
    order.append(optimised);
    order.append(preview);
    for (int box = 0; box < kBoxes; ++box)
        order.append(entries[box][kEntries - 1]);
    for (qsizetype i = 1; i < order.size(); ++i)
        window->setTabOrder(order[i - 1], order[i]);
}

} // namespace ottavario
