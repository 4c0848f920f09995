#include "print_window.h"

#include "print/print_job.h"
#include "printwin/slip_picture.h"
#include "systems/pair_commit.h"
#include "systems/system_files.h"
#include "widgets/dialog_services.h"
#include "widgets/forms.h"
#include "widgets/icons.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace ottavario::print {

namespace {
    QPushButton* makeButton(
        const char* name, const QString& text, const QString& tooltip, QWidget* parent)
    {
        auto* button = new QPushButton(text, parent);
        button->setObjectName(QLatin1StringView(name));
        button->setToolTip(tooltip);
        button->setAutoDefault(false);
        return button;
    }

    QCheckBox* makeCheck(const char* name, const QString& text, QWidget* parent)
    {
        auto* check = new QCheckBox(text, parent);
        check->setObjectName(QLatin1StringView(name));
        check->setChecked(true);
        return check;
    }

    QScrollBar* makeBar(const char* name, Qt::Orientation orientation, QWidget* parent)
    {
        auto* bar = new QScrollBar(orientation, parent);
        bar->setObjectName(QLatin1StringView(name));
        bar->setRange(0, kMaxOffset);
        bar->setSingleStep(1);
        bar->setPageStep(50);
        return bar;
    }

    // The grey and the white rule under the menu bar.
    QFrame* makeRule(int index, const QColor& colour, QWidget* parent)
    {
        auto* rule = new QFrame(parent);
        rule->setObjectName(forms::indexed("Line1", index));
        rule->setFixedHeight(1);
        rule->setAutoFillBackground(true);
        QPalette palette = rule->palette();
        palette.setColor(QPalette::Window, colour);
        rule->setPalette(palette);
        return rule;
    }

    QString verticalCaption(int value)
    {
        return QStringLiteral("Asse y ") + QString::number(value);
    }
    QString horizontalCaption(int value)
    {
        return QStringLiteral("Asse x ") + QString::number(value);
    }
}

PrintWindow::PrintWindow(const AppServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(printWindowTitle());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setSpacing(6);
    auto* rules = new QVBoxLayout;
    rules->setSpacing(0);
    rules->addWidget(makeRule(0, QColor(128, 128, 128), central));
    rules->addWidget(makeRule(1, Qt::white, central));
    layout->setContentsMargins(8, 0, 8, 8);
    layout->addLayout(rules);

    auto* top = new QHBoxLayout;
    m_pathLabel = forms::namedLabel(QStringLiteral("Label4"), QString(), central);
    m_pathLabel->setFrameShape(QFrame::StyledPanel);
    m_pathLabel->setFrameShadow(QFrame::Sunken);
    m_pathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long path must not widen the window.
    m_pathLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_pathLabel->setMinimumHeight(m_pathLabel->fontMetrics().height() + 8);
    top->addWidget(m_pathLabel, 1);
    auto* open = new QToolButton(central);
    open->setObjectName(QStringLiteral("Command5"));
    open->setToolTip(QStringLiteral("Apre un sistema da stampare."));
    open->setIcon(icons::icon(icons::Picture::Open));
    open->setIconSize(QSize(32, 32));
    open->setAutoRaise(true);
    connect(open, &QToolButton::clicked, this, &PrintWindow::openSystem);
    top->addWidget(open);
    layout->addLayout(top);

    auto* middle = new QHBoxLayout;
    middle->addWidget(buildCalibrationFrame());
    auto* right = new QVBoxLayout;
    right->addWidget(buildSlipFrame());
    right->addWidget(buildTabulationFrame());
    middle->addLayout(right, 1);
    layout->addLayout(middle, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto* quit = makeButton("Command1", QStringLiteral("Fine lavoro"),
        QStringLiteral("Chiude la finestra di stampa e ritorna al menù principale."), central);
    connect(quit, &QPushButton::clicked, this, &PrintWindow::close);
    bottom->addWidget(quit);
    layout->addLayout(bottom);

    setCentralWidget(central);
    buildMenu();
    load();

    adjustSize();
    forms::centreOnScreen(this);
}

PrintWindow::~PrintWindow() = default;

QWidget* PrintWindow::buildCalibrationFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Taratura"), this);
    frame->setObjectName(QStringLiteral("Frame3"));
    auto* layout = new QVBoxLayout(frame);

    auto* pictureGrid = new QGridLayout;
    pictureGrid->setSpacing(0);
    m_verticalBar = makeBar("VScroll1", Qt::Vertical, frame);
    m_picture = new SlipPicture(frame);
    m_horizontalBar = makeBar("HScroll1", Qt::Horizontal, frame);
    m_verticalBar->setFixedHeight(SlipPicture::kHeight);
    m_horizontalBar->setFixedWidth(SlipPicture::kWidth);
    pictureGrid->addWidget(m_verticalBar, 0, 0);
    pictureGrid->addWidget(m_picture, 0, 1);
    pictureGrid->addWidget(m_horizontalBar, 1, 1);
    layout->addLayout(pictureGrid);
    connect(m_verticalBar, &QScrollBar::valueChanged, this, &PrintWindow::verticalMoved);
    connect(m_horizontalBar, &QScrollBar::valueChanged, this, &PrintWindow::horizontalMoved);

    auto* captionsAndButtons = new QGridLayout;
    m_verticalCaption = forms::namedLabel(forms::indexed("Label3", 0), verticalCaption(0), frame);
    m_horizontalCaption
        = forms::namedLabel(forms::indexed("Label3", 1), horizontalCaption(0), frame);
    auto* test = makeButton(
        "Command4", QStringLiteral("Prova la stampa"), QStringLiteral("Prova la taratura."), frame);
    auto* apply = makeButton("Command6", QStringLiteral("Applica"),
        QStringLiteral("Applica le impostazioni di taratura."), frame);
    captionsAndButtons->addWidget(m_verticalCaption, 0, 0);
    captionsAndButtons->addWidget(m_horizontalCaption, 1, 0);
    captionsAndButtons->addWidget(test, 0, 1);
    captionsAndButtons->addWidget(apply, 1, 1);
    layout->addLayout(captionsAndButtons);
    connect(test, &QPushButton::clicked, this, &PrintWindow::testPrint);
    connect(apply, &QPushButton::clicked, this, &PrintWindow::storeOffsets);

    m_firstColumnOnly
        = makeCheck("Check2", QStringLiteral("In taratura stampa solo un' asse."), frame);
    m_saveOnClose
        = makeCheck("Check1", QStringLiteral("Salva i dati alla fine del lavoro."), frame);
    layout->addWidget(m_firstColumnOnly);
    layout->addWidget(m_saveOnClose);
    layout->addStretch(1);
    return frame;
}

QWidget* PrintWindow::buildSlipFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Stampa delle schede"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* layout = new QGridLayout(frame);
    auto makeRange = [frame](const char* name, const QString& tooltip) {
        auto* combo = new QComboBox(frame);
        combo->setObjectName(QLatin1StringView(name));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setToolTip(tooltip);
        combo->setMinimumContentsLength(5);
        return combo;
    };
    m_firstSlip = makeRange("Combo1", QStringLiteral("Prima scheda da stampare."));
    m_lastSlip = makeRange("Combo2", QStringLiteral("Ultima scheda da stampare."));
    layout->addWidget(
        forms::namedLabel(forms::indexed("Label1", 0), QStringLiteral("Dalla"), frame), 0, 0);
    layout->addWidget(m_firstSlip, 0, 1);
    layout->addWidget(
        forms::namedLabel(forms::indexed("Label1", 1), QStringLiteral("Alla"), frame), 0, 2);
    layout->addWidget(m_lastSlip, 0, 3);
    auto* print = makeButton("Command2", QStringLiteral("Stampa schede"),
        QStringLiteral("Stampa le schede richieste."), frame);
    connect(print, &QPushButton::clicked, this, &PrintWindow::printSlips);
    layout->addWidget(print, 0, 4);
    m_nameLine
        = makeCheck("Check3", QStringLiteral("Stampa il nome e il numero della scheda."), frame);
    m_informationSlip
        = makeCheck("Check4", QStringLiteral("Alla fine, stampa la scheda informativa."), frame);
    layout->addWidget(m_nameLine, 1, 0, 1, 5);
    layout->addWidget(m_informationSlip, 2, 0, 1, 5);
    layout->setColumnStretch(4, 1);
    return frame;
}

QWidget* PrintWindow::buildTabulationFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Stampa tabulato"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* layout = new QGridLayout(frame);
    const std::array<QString, 3> captions = { QStringLiteral("Prospetto"),
        QStringLiteral("Colonne"), QStringLiteral("Prospetto e colonne") };
    for (int i = 0; i < 3; ++i) {
        m_layouts[i] = new QRadioButton(captions[i], frame);
        m_layouts[i]->setObjectName(forms::indexed("Option1", i));
    }
    // Top to bottom: Prospetto, Prospetto e colonne, Colonne.
    layout->addWidget(m_layouts[0], 0, 0);
    layout->addWidget(m_layouts[2], 1, 0);
    layout->addWidget(m_layouts[1], 2, 0);
    m_layouts[0]->setChecked(true);

    auto* copies = new QHBoxLayout;
    copies->addWidget(forms::namedLabel(QStringLiteral("Label2"), QStringLiteral("Copie"), frame));
    m_copies = new QComboBox(frame);
    m_copies->setObjectName(QStringLiteral("Combo3"));
    m_copies->setToolTip(QStringLiteral("Numero di copie da stampare."));
    for (int i = 1; i <= 100; ++i)
        m_copies->addItem(QString::number(i));
    m_copies->setCurrentIndex(0);
    copies->addWidget(m_copies);
    copies->addStretch(1);
    layout->addLayout(copies, 0, 1);
    auto* print = makeButton("Command3", QStringLiteral("Stampa tabulato"),
        QStringLiteral("Stampa il tabulato."), frame);
    connect(print, &QPushButton::clicked, this, &PrintWindow::printTabulation);
    layout->addWidget(print, 2, 1);
    layout->setColumnStretch(1, 1);
    return frame;
}

void PrintWindow::buildMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file"));
    auto addAction = [file](const char* name, const QString& caption) {
        return forms::namedAction(file, name, caption);
    };
    QAction* impo = addAction("impo", QStringLiteral("I&mpostazioni stampante"));
    QAction* stampa = addAction("stampa", QStringLiteral("&Stampa schede"));
    QAction* tabu = addAction("tabu", QStringLiteral("S&tampa tabulato"));
    // Each for what the window prints: the slips of the chosen range, the
    // tabulation in the chosen layout, the test print.
    auto addJobMenu = [this, file](const char* name, const QString& caption, const char* prefix,
                          void (PrintWindow::*run)(PrintJob)) {
        QMenu* menu = file->addMenu(caption);
        menu->setObjectName(QLatin1StringView(name));
        menu->menuAction()->setObjectName(QLatin1StringView(name));
        struct Item {
            const char* name;
            QString caption;
            PrintJob job;
        };
        const std::array<Item, 3> items = { {
            { "schede", QStringLiteral("&Schede"), PrintJob::Slips },
            { "tabulato", QStringLiteral("&Tabulato"), PrintJob::Tabulation },
            { "prova", QStringLiteral("Stampa di &prova"), PrintJob::TestPrint },
        } };
        for (const Item& item : items) {
            QAction* action = menu->addAction(item.caption);
            action->setObjectName(QLatin1StringView(prefix) + QLatin1StringView(item.name));
            connect(action, &QAction::triggered, this,
                [this, run, job = item.job] { (this->*run)(job); });
        }
    };
    addJobMenu(
        "anteprima", QStringLiteral("&Anteprima di stampa"), "anteprima", &PrintWindow::previewJob);
    addJobMenu("filepdf", QStringLiteral("Stampa su file P&DF"), "pdf", &PrintWindow::saveAsPdf);
    file->addSeparator()->setObjectName(QStringLiteral("li1"));
    QAction* fine = addAction("fine", QStringLiteral("&Fine lavoro"));
    connect(impo, &QAction::triggered, this, &PrintWindow::setUpPrinter);
    connect(stampa, &QAction::triggered, this, &PrintWindow::printSlips);
    connect(tabu, &QAction::triggered, this, &PrintWindow::printTabulation);
    connect(fine, &QAction::triggered, this, &PrintWindow::close);
}

void PrintWindow::load()
{
    Settings settings;
    if (auto read = readSettings(m_services.folder.settingsFile()))
        settings = *read;
    else
        m_services.messages.information(
            this, printWindowTitle(), read.error().message(QStringLiteral("leggere")));
    m_columnPrice = settings.lirePrice;
    const Calibration stored = calibrationOf(settings);
    m_verticalBar->setValue(stored.vertical);
    m_horizontalBar->setValue(stored.horizontal);
    // Set again: a bar already at the value sends no change.
    verticalMoved(stored.vertical);
    horizontalMoved(stored.horizontal);
    m_firstSlip->setEditText(QStringLiteral("0"));
    m_lastSlip->setEditText(QStringLiteral("0"));
}

void PrintWindow::verticalMoved(int value)
{
    m_calibration.vertical = value;
    m_verticalCaption->setText(verticalCaption(value));
    m_picture->setCalibration(m_calibration);
}

void PrintWindow::horizontalMoved(int value)
{
    m_calibration.horizontal = value;
    m_horizontalCaption->setText(horizontalCaption(value));
    m_picture->setCalibration(m_calibration);
}

PrintWindow::TabulationLayout PrintWindow::tabulationLayout() const
{
    if (m_layouts[2]->isChecked())
        return TabulationLayout::ProspectusAndColumns;
    if (m_layouts[1]->isChecked())
        return TabulationLayout::Columns;
    return TabulationLayout::Prospectus;
}

int PrintWindow::copies() const { return m_copies->currentIndex() + 1; }

bool PrintWindow::storeOffsets()
{
    const auto stored = storeCalibration(m_services.folder.settingsFile(), m_calibration);
    if (!stored) {
        m_services.messages.information(
            this, printWindowTitle(), stored.error().message(QStringLiteral("aggiornare")));
        return false;
    }
    return true;
}

void PrintWindow::testPrint()
{
    if (const auto pages = pagesOf(PrintJob::TestPrint))
        send((*pages)(m_services.printer.pageLayout()));
}

void PrintWindow::openSystem()
{
    m_firstSlip->clear();
    m_firstSlip->clearEditText();
    m_lastSlip->clear();
    m_lastSlip->clearEditText();
    const QString chosen = m_services.dialogs.openFileName(this,
        { m_services.folder.systems(), QStringLiteral("*.stg"),
            QStringLiteral("File ottavario* (*.stg)"), QStringLiteral("stg") });
    if (chosen.isEmpty())
        return;
    // A description file typed into the dialog stands for its system: read
    // as columns it would be refused as a column with numbers off the slip.
    const QString path = columnFilePath(chosen);
    if (const auto settled = settlePair(path); !settled) {
        m_services.messages.information(
            this, printWindowTitle(), settled.error().message(QStringLiteral("aprire")));
        return;
    }
    const auto columns = columnsInFile(path);
    if (!columns) {
        m_services.messages.information(
            this, printWindowTitle(), columns.error().message(QStringLiteral("aprire")));
        return;
    }
    m_systemPath = path;
    m_pathLabel->setText(path);
    m_slipCount = slipCountOf(*columns);
    for (qint64 slip = 1; slip <= m_slipCount; ++slip) {
        m_firstSlip->addItem(QString::number(slip));
        m_lastSlip->addItem(QString::number(slip));
    }
    m_firstSlip->setEditText(QStringLiteral("1"));
    m_lastSlip->setEditText(QString::number(m_slipCount));
}

void PrintWindow::setUpPrinter() { m_services.printer.setup(this); }

void PrintWindow::printSlips()
{
    if (const auto pages = pagesOf(PrintJob::Slips))
        send((*pages)(m_services.printer.pageLayout()));
}

void PrintWindow::printTabulation()
{
    if (const auto pages = pagesOf(PrintJob::Tabulation))
        send((*pages)(m_services.printer.pageLayout()));
}

void PrintWindow::previewJob(PrintJob job)
{
    if (const auto pages = pagesOf(job))
        report(m_services.printer.preview(this, *pages));
}

void PrintWindow::saveAsPdf(PrintJob job)
{
    const auto pages = pagesOf(job);
    if (!pages)
        return;
    const QPageLayout page = m_services.printer.pageLayout();
    report(printToPdfFile(this, (*pages)(page), page, m_services.messages, m_services.dialogs,
        m_services.folder.root()));
}

std::optional<PageSource> PrintWindow::pagesOf(PrintJob job)
{
    PrintJobRequest request { .kind = job,
        .systemPath = m_systemPath,
        .systemsFolder = m_services.folder.systems(),
        .columnPrice = m_columnPrice,
        .calibration = m_calibration,
        .firstSlip = m_firstSlip->currentText(),
        .lastSlip = m_lastSlip->currentText(),
        .nameLine = m_nameLine->isChecked(),
        .informationSlip = m_informationSlip->isChecked(),
        .layout = tabulationLayout(),
        // "Copie" counts for the tabulation, whichever way it is printed.
        .copies = copies(),
        .firstColumnOnly = m_firstColumnOnly->isChecked() };
    auto pages = buildPrintJob(request);
    if (!pages) {
        refuse(pages.error().title, pages.error().text);
        return std::nullopt;
    }
    return std::move(*pages);
}

void PrintWindow::refuse(const QString& title, const QString& text)
{
    m_services.messages.information(this, title, text);
}

void PrintWindow::send(const PrintDocument& document)
{
    report(m_services.printer.print(this, document));
}

void PrintWindow::report(const PrintOutcome& outcome)
{
    if (outcome.status == PrintStatus::Failed)
        refuse(printWindowTitle(), outcome.reason);
    else if (outcome.printed() && !outcome.file.isEmpty())
        m_services.messages.information(this, printWindowTitle(), writtenMessage(outcome));
}

void PrintWindow::closeEvent(QCloseEvent* event)
{
    // A failed store has been reported; the window closes all the same.
    if (m_saveOnClose->isChecked())
        storeOffsets();
    QMainWindow::closeEvent(event);
}

} // namespace ottavario::print
