#include "wins_window.h"

#include "print/flow_pagination.h"
#include "widgets/dialog_services.h"
#include "widgets/forms.h"
#include "widgets/icons.h"
#include "widgets/print_service.h"
#include "wins/wins_chart.h"
#include "wins/wins_document.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace ottavario {

namespace {
    const QString kTitle = QStringLiteral("Prospetto vincite Ottavario*");
    constexpr int kShareColumn = 4;
    constexpr int kBarRole = Qt::UserRole; // the row's winners against the largest row's

    // Quota: a bar under the share, as long as the row's winners against the
    // row with the most.
    class ShareBarDelegate final : public QStyledItemDelegate {
    public:
        using QStyledItemDelegate::QStyledItemDelegate;

        void paint(QPainter* painter, const QStyleOptionViewItem& option,
            const QModelIndex& index) const override
        {
            const double scale = index.data(kBarRole).toDouble();
            if (scale > 0) {
                QRectF bar = QRectF(option.rect).adjusted(3, 4, -3, -4);
                bar.setWidth(std::max(2.0, bar.width() * scale));
                painter->fillRect(bar, QColor(160, 190, 230));
            }
            QStyledItemDelegate::paint(painter, option, index);
        }
    };

    QToolButton* pictureButton(
        const char* name, const QString& tip, icons::Picture picture, QWidget* parent)
    {
        auto* button = new QToolButton(parent);
        button->setObjectName(QLatin1StringView(name));
        button->setToolTip(tip);
        button->setIcon(icons::icon(picture));
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        return button;
    }

    QTableWidget* winTable(const char* name, QWidget* parent)
    {
        auto* table = new QTableWidget(0, 5, parent);
        table->setObjectName(QLatin1StringView(name));
        table->setHorizontalHeaderLabels(
            { QStringLiteral("8 punti"), QStringLiteral("7 punti"), QStringLiteral("6 punti"),
                QStringLiteral("Colonne vincenti"), QStringLiteral("Quota") });
        table->verticalHeader()->hide();
        // Rows as tight as a list's: a table can run to hundreds of them.
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setItemDelegateForColumn(kShareColumn, new ShareBarDelegate(table));
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table->horizontalHeader()->setStretchLastSection(true);
        table->setMinimumWidth(380);
        return table;
    }
}

WinsWindow::WinsWindow(const AppServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("frmVincite"));
    setWindowTitle(kTitle);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* top = new QHBoxLayout;
    QToolButton* openButton = pictureButton(
        "Command1", QStringLiteral("Apre un sistema"), icons::Picture::Open, central);
    QToolButton* printButton = pictureButton("Command2",
        QStringLiteral("Stampa il prospetto delle vincite"), icons::Picture::Print, central);
    top->addWidget(openButton);
    top->addWidget(printButton);
    m_nameLabel = forms::namedLabel(QStringLiteral("Label4"), {}, central);
    m_nameLabel->setFrameShape(QFrame::StyledPanel);
    m_nameLabel->setFrameShadow(QFrame::Sunken);
    top->addWidget(m_nameLabel, 1);
    layout->addLayout(top);

    m_summary = forms::namedLabel(
        QStringLiteral("Label1"), QStringLiteral("Aprire un sistema."), central);
    layout->addWidget(m_summary);
    m_chart = new WinsChart(central);
    m_chart->setObjectName(QStringLiteral("Picture1"));
    layout->addWidget(m_chart);

    auto* tables = new QHBoxLayout;
    m_ownFrame = new QGroupBox(QStringLiteral("Colonne del sistema"), central);
    QGroupBox* own = m_ownFrame;
    own->setObjectName(QStringLiteral("Frame1"));
    auto* ownLayout = new QVBoxLayout(own);
    m_guarantee = forms::namedLabel(QStringLiteral("Label2"), {}, own);
    QFont strong = m_guarantee->font();
    strong.setBold(true);
    m_guarantee->setFont(strong);
    m_ownTable = winTable("Table1", own);
    ownLayout->addWidget(m_guarantee);
    // Beside the other frame's three chances and the expectation.
    ownLayout->addStretch(0);
    ownLayout->addWidget(m_ownTable, 1);
    tables->addWidget(own, 1);

    auto* every = new QGroupBox(winsText::everyHeading(), central);
    every->setObjectName(QStringLiteral("Frame2"));
    auto* everyLayout = new QVBoxLayout(every);
    auto* chances = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        chances->addWidget(forms::namedLabel(forms::indexed("Label7", i),
                               winsText::atLeastOneCaption(8 - i), every),
            i, 0);
        m_atLeastOne[size_t(i)] = forms::namedLabel(forms::indexed("Label3", i), {}, every);
        chances->addWidget(m_atLeastOne[size_t(i)], i, 1);
    }
    chances->addWidget(
        forms::namedLabel(QStringLiteral("Label8"), winsText::expectedCaption(), every), 3, 0);
    m_expected = forms::namedLabel(QStringLiteral("Label5"), {}, every);
    chances->addWidget(m_expected, 3, 1);
    chances->setColumnStretch(1, 1);
    everyLayout->addLayout(chances);
    m_everyTable = winTable("Table2", every);
    everyLayout->addWidget(m_everyTable, 1);
    tables->addWidget(every, 1);
    layout->addLayout(tables, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto* quitButton = new QPushButton(QStringLiteral("Fine lavoro"), central);
    quitButton->setObjectName(QStringLiteral("Command3"));
    bottom->addWidget(quitButton);
    layout->addLayout(bottom);
    setCentralWidget(central);

    buildMenu(openButton, printButton, quitButton);
    connect(&m_watcher, &QFutureWatcherBase::finished, this, &WinsWindow::countingDone);
    for (QAction* action : m_printActions)
        action->setEnabled(false);

    resize(920, 680);
    forms::centreOnScreen(this);
}

WinsWindow::~WinsWindow()
{
    // The count reads the system held here.
    m_watcher.waitForFinished();
}

void WinsWindow::buildMenu(QWidget* openButton, QWidget* printButton, QWidget* quitButton)
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file"));
    auto addAction = [file](const char* name, const QString& caption) {
        return forms::namedAction(file, name, caption);
    };
    QAction* apri = addAction("apri", QStringLiteral("A&pri sistema"));
    file->addSeparator();
    QAction* stampa = addAction("stampa", QStringLiteral("&Stampa prospetto"));
    QAction* anteprima = addAction("anteprima", QStringLiteral("&Anteprima di stampa"));
    QAction* pdf = addAction("pdf", QStringLiteral("Stampa su file P&DF"));
    file->addSeparator();
    QAction* fine = addAction("fine", QStringLiteral("&Fine lavoro"));
    m_printActions = { stampa, anteprima, pdf };

    connect(apri, &QAction::triggered, this, &WinsWindow::openSystem);
    connect(stampa, &QAction::triggered, this, &WinsWindow::print);
    connect(anteprima, &QAction::triggered, this, &WinsWindow::preview);
    connect(pdf, &QAction::triggered, this, &WinsWindow::saveAsPdf);
    connect(fine, &QAction::triggered, this, &WinsWindow::close);
    connect(static_cast<QToolButton*>(openButton), &QToolButton::clicked, apri, &QAction::trigger);
    connect(
        static_cast<QToolButton*>(printButton), &QToolButton::clicked, stampa, &QAction::trigger);
    connect(stampa, &QAction::enabledChanged, printButton, &QWidget::setEnabled);
    connect(static_cast<QPushButton*>(quitButton), &QPushButton::clicked, fine, &QAction::trigger);
}

void WinsWindow::showSystem(WinsSystem system)
{
    if (m_counting) {
        m_next = std::move(system);
        return;
    }
    m_system = std::move(system);
    startCounting();
}

void WinsWindow::startCounting()
{
    m_counting = true;
    m_report.reset();
    m_nameLabel->setText(m_system.name);
    m_summary->setText(QStringLiteral("Calcolo delle vincite in corso..."));
    m_chart->setTables({}, {});
    for (QTableWidget* table : { m_ownTable, m_everyTable })
        table->setRowCount(0);
    m_ownFrame->setTitle(QStringLiteral("Colonne del sistema"));
    for (QLabel* label : { m_guarantee, m_expected })
        label->clear();
    for (QLabel* label : m_atLeastOne)
        label->clear();
    for (QAction* action : m_printActions)
        action->setEnabled(false);
    m_watcher.setFuture(QtConcurrent::run([system = m_system] { return computeWins(system); }));
}

void WinsWindow::countingDone()
{
    m_counting = false;
    if (m_next) {
        m_system = std::move(*m_next);
        m_next.reset();
        startCounting();
        return;
    }
    m_report = m_watcher.result();
    showReport();
    emit reportShown();
}

void WinsWindow::showReport()
{
    const WinsReport& report = *m_report;
    const QLocale locale;
    m_summary->setText(QStringLiteral("%1  -  Colonne in gioco %2  -  Colonne sviluppate %3")
                           .arg(winsText::typeName(m_system.type),
                               winsText::count(qint64(m_system.kept.size()), locale),
                               winsText::count(report.developed, locale)));
    m_chart->setTables({ QStringLiteral("Colonne sviluppate"), QStringLiteral("Tutte le colonne") },
        { &report.own, &report.every });
    m_ownFrame->setTitle(winsText::ownHeading(report, locale));
    m_guarantee->setText(winsText::guarantee(report.own.guarantee));
    const WinTable& every = report.every;
    for (size_t i = 0; i < m_atLeastOne.size(); ++i)
        m_atLeastOne[i]->setText(winsText::percent(every.share(every.atLeastOne[i]), locale)
            + QStringLiteral("   (") + winsText::odds(every.atLeastOne[i], every.winners, locale)
            + u')');
    m_expected->setText(winsText::expected(every, locale));
    fillTable(m_ownTable, report.own);
    fillTable(m_everyTable, report.every);
    for (QAction* action : m_printActions)
        action->setEnabled(true);
}

void WinsWindow::fillTable(QTableWidget* table, const WinTable& wins)
{
    const QLocale locale;
    qint64 largest = 0;
    for (const WinRow& row : wins.rows)
        largest = std::max(largest, row.winners);
    table->setRowCount(int(wins.rows.size()));
    for (int r = 0; r < int(wins.rows.size()); ++r) {
        const WinRow& row = wins.rows[size_t(r)];
        const int best = row.prizes.eight ? 0 : row.prizes.seven ? 1 : row.prizes.six ? 2 : 3;
        const std::array<QString, 5> texts = { winsText::count(row.prizes.eight, locale),
            winsText::count(row.prizes.seven, locale), winsText::count(row.prizes.six, locale),
            winsText::count(row.winners, locale),
            winsText::percent(wins.share(row.winners), locale) };
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(texts[size_t(c)]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // The prizes wear the colour of the best one, as in the chart.
            if (c < 3) {
                const QColor colour = bestPrizeColour(best);
                item->setBackground(QColor::fromRgbF(0.6 + 0.4 * colour.redF(),
                    0.6 + 0.4 * colour.greenF(), 0.6 + 0.4 * colour.blueF()));
            }
            if (c == kShareColumn)
                item->setData(kBarRole, largest ? double(row.winners) / double(largest) : 0.0);
            table->setItem(r, c, item);
        }
    }
}

void WinsWindow::openSystem()
{
    const QString path = m_services.dialogs.openFileName(
        this, descriptionFileRequest(m_services.folder.systems()));
    if (!path.isEmpty())
        openSystemAt(path);
}

void WinsWindow::openSystemAt(const QString& sttPath)
{
    auto system = readWinsSystem(sttPath);
    if (!system) {
        m_services.messages.information(
            this, kTitle, system.error().message(QStringLiteral("aprire")));
        return;
    }
    showSystem(std::move(*system));
}

std::optional<print::FlowDocument> WinsWindow::document()
{
    if (!m_report) {
        m_services.messages.information(this, kTitle,
            m_counting ? QStringLiteral("Attendere la fine del calcolo delle vincite.")
                       : QStringLiteral("Aprire un sistema."));
        return std::nullopt;
    }
    return print::layOutWins(m_system, *m_report);
}

void WinsWindow::print()
{
    const auto flow = document();
    if (!flow)
        return;
    const print::PrintOutcome outcome
        = m_services.printer.print(this, print::paginate(*flow, m_services.printer.pageLayout()));
    if (outcome.status == print::PrintStatus::Failed)
        m_services.messages.information(this, kTitle, outcome.reason);
}

void WinsWindow::preview()
{
    if (auto flow = document())
        m_services.printer.preview(this, [flow = std::move(*flow)](const QPageLayout& page) {
            return print::paginate(flow, page);
        });
}

void WinsWindow::saveAsPdf()
{
    const auto flow = document();
    if (!flow)
        return;
    const QString path = m_services.dialogs.saveFileName(
        this, print::pdfFileRequest(flow->name, m_services.folder.root()));
    if (path.isEmpty())
        return;
    if (const auto written
        = print::renderFlowToPdfFile(path, *flow, 1, m_services.printer.pageLayout());
        !written)
        m_services.messages.information(
            this, kTitle, written.error().message(QStringLiteral("scrivere")));
}

} // namespace ottavario
