#include "check_window.h"

#include "core/number.h"
#include "engine/column_file.h"
#include "systems/description_file.h"
#include "systems/system_files.h"
#include "widgets/dialog_services.h"
#include "widgets/forms.h"
#include "widgets/grid_entry.h"
#include "widgets/icons.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace ottavario {

namespace {
    const QString kCheckTitle = QStringLiteral("Spoglio sistema Ottavario*");
    const QString kResultAtStart = QStringLiteral("0");
    const QString kCrLf = QStringLiteral("\r\n");
}

CheckWindow::CheckWindow(const AppServices& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Spoglio sitemi Ottavario*"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* top = new QHBoxLayout;
    auto* openButton = new QToolButton(central);
    openButton->setObjectName(QStringLiteral("Command1"));
    openButton->setToolTip(QStringLiteral("Apre un sistema"));
    openButton->setIcon(icons::icon(icons::Picture::Open));
    openButton->setIconSize(QSize(32, 32));
    openButton->setAutoRaise(true);
    auto* checkButton = new QToolButton(central);
    checkButton->setObjectName(QStringLiteral("Command2"));
    checkButton->setToolTip(QStringLiteral("Spoglio sistema"));
    checkButton->setIcon(icons::icon(icons::Picture::Check));
    checkButton->setIconSize(QSize(32, 32));
    checkButton->setAutoRaise(true);
    auto* winsButton = new QToolButton(central);
    winsButton->setObjectName(QStringLiteral("Command4"));
    winsButton->setToolTip(QStringLiteral("Prospetto vincite"));
    winsButton->setIcon(icons::icon(icons::Picture::Wins));
    winsButton->setIconSize(QSize(32, 32));
    winsButton->setAutoRaise(true);
    top->addWidget(openButton);
    top->addWidget(checkButton);
    top->addWidget(winsButton);
    m_pathLabel = new QLabel(central);
    m_pathLabel->setObjectName(QStringLiteral("Label4"));
    m_pathLabel->setFrameShape(QFrame::StyledPanel);
    m_pathLabel->setFrameShadow(QFrame::Sunken);
    top->addWidget(m_pathLabel, 1);
    layout->addLayout(top);

    auto* middle = new QHBoxLayout;
    m_text = new QPlainTextEdit(central);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    QFont mono = m_text->font();
    mono.setFamily(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    m_text->setFont(mono);
    m_text->setMinimumSize(
        m_text->fontMetrics().horizontalAdvance(QStringLiteral("Casella 8 :  32 32 32 32 32 "))
            + 30,
        m_text->fontMetrics().lineSpacing() * 12);
    middle->addWidget(m_text, 1);

    auto* frame = new QGroupBox(QStringLiteral("Contollo colonne"), central);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(frame);
    auto* winningHeading = new QLabel(QStringLiteral("Colonna vincente"), frame);
    winningHeading->setObjectName(forms::indexed("Label1", 1));
    frameLayout->addWidget(winningHeading);
    auto* winningRow = new QHBoxLayout;
    for (int box = 0; box < kWinningBoxes; ++box) {
        auto* entry = new GridEntry(frame);
        entry->setObjectName(forms::indexed("Text2", box + 1));
        m_winning[box] = entry;
        winningRow->addWidget(entry);
        connect(entry, &QLineEdit::textChanged, this, [this, box] { winningChanged(box); });
        connect(entry, &QLineEdit::returnPressed, this, [this, box] { checkWinningEntry(box); });
    }
    frameLayout->addLayout(winningRow);
    auto* resultsHeading = new QLabel(QStringLiteral("Punteggio ottenuto"), frame);
    resultsHeading->setObjectName(forms::indexed("Label1", 0));
    frameLayout->addWidget(resultsHeading);
    auto* results = new QGridLayout;
    const std::array<QString, 3> captions = { QStringLiteral("Otto punti"),
        QStringLiteral("Sette punti"), QStringLiteral("Sei punti") };
    for (int i = 0; i < 3; ++i) {
        auto* caption = new QLabel(captions[i], frame);
        caption->setObjectName(forms::indexed("Label2", i));
        m_results[i] = new QLabel(kResultAtStart, frame);
        m_results[i]->setObjectName(forms::indexed("Label3", i));
        m_results[i]->setFrameShape(QFrame::StyledPanel);
        m_results[i]->setFrameShadow(QFrame::Sunken);
        m_results[i]->setMinimumWidth(
            m_results[i]->fontMetrics().horizontalAdvance(QStringLiteral("3900000")));
        m_results[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        results->addWidget(caption, i, 0);
        results->addWidget(m_results[i], i, 1);
    }
    results->setColumnStretch(2, 1);
    frameLayout->addLayout(results);
    auto* winnersHeading = new QLabel(QStringLiteral("Colonne vincenti"), frame);
    winnersHeading->setObjectName(QStringLiteral("winningColumnsHeading"));
    frameLayout->addWidget(winnersHeading);
    m_winners = new QListWidget(frame);
    m_winners->setObjectName(QStringLiteral("winningColumns"));
    m_winners->setToolTip(QStringLiteral("Le colonne del sistema con 6, 7 e 8 punti."));
    m_winners->setUniformItemSizes(true);
    m_winners->setFont(mono);
    // Wide enough for the lines of a system of up to 99,999 columns.
    m_winners->setMinimumWidth(m_winners->fontMetrics().horizontalAdvance(winningColumnLine(
                                   { 99999, maskOf({ 1, 2, 3, 4, 5, 6, 7, 8 }), 8 }, 99999))
        + m_winners->verticalScrollBar()->sizeHint().width() + 2 * m_winners->frameWidth() + 8);
    frameLayout->addWidget(m_winners, 1);
    middle->addWidget(frame);
    layout->addLayout(middle, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto* quitButton = new QPushButton(QStringLiteral("Fine lavoro"), central);
    quitButton->setObjectName(QStringLiteral("Command3"));
    bottom->addWidget(quitButton);
    layout->addLayout(bottom);
    setCentralWidget(central);

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("file"));
    QAction* apri = forms::namedAction(file, "apri", QStringLiteral("A&pri sistema"));
    file->addSeparator();
    QAction* spoglio = forms::namedAction(file, "spoglio", QStringLiteral("&Spoglio"));
    QAction* vincite = forms::namedAction(file, "vincite", QStringLiteral("Prospetto &vincite"));
    file->addSeparator();
    QAction* fine = forms::namedAction(file, "fine", QStringLiteral("&Fine lavoro"));

    connect(apri, &QAction::triggered, this, &CheckWindow::openSystem);
    connect(openButton, &QToolButton::clicked, apri, &QAction::trigger);
    connect(spoglio, &QAction::triggered, this, &CheckWindow::check);
    connect(checkButton, &QToolButton::clicked, spoglio, &QAction::trigger);
    connect(vincite, &QAction::triggered, this, &CheckWindow::requestWins);
    connect(winsButton, &QToolButton::clicked, vincite, &QAction::trigger);
    connect(fine, &QAction::triggered, this, &CheckWindow::close);
    connect(quitButton, &QPushButton::clicked, fine, &QAction::trigger);

    adjustSize();
    forms::centreOnScreen(this);
}

void CheckWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closed();
}

void CheckWindow::setDescription(const QString& text)
{
    m_description = text;
    QString shown = text;
    shown.replace(kCrLf, QStringLiteral("\n"));
    m_text->setPlainText(shown);
}

void CheckWindow::openSystem()
{
    const QString path = m_services.dialogs.openFileName(
        this, descriptionFileRequest(m_services.folder.systems()));
    if (!path.isEmpty())
        openSystemAt(path);
}

void CheckWindow::openSystemAt(const QString& path)
{
    const auto description = ottavario::openSystem(path);
    if (!description) {
        m_services.messages.information(
            this, kCheckTitle, description.error().message(QStringLiteral("aprire")));
        return;
    }
    QString text = QStringLiteral("Numeri in gioco ") + kCrLf;
    for (int box = 0; box < kBoxes; ++box) {
        text += QStringLiteral("Casella %1 : ").arg(box + 1);
        for (const QString& number : description->grid.numbersOfBox(box))
            text += u' ' + number;
        text += kCrLf;
    }
    m_winning[0]->focusAndSelect();
    // The counts and the winning columns listed belong to the system checked last.
    for (QLabel* result : m_results)
        result->setText(kResultAtStart);
    m_winners->clear();
    m_openedPath = path;
    m_pathLabel->setText(path);
    m_columnFile = partnerPath(path);

    // Opening reads the column file's length only; a missing file is told,
    // never created.
    const QFileInfo columns(m_columnFile);
    const qint64 count = columns.isFile() ? columnCount(columns.size()) : 0;
    text += kCrLf + QStringLiteral("Colonne in gioco : ") + QString::number(count);
    setDescription(text);
    if (!columns.isFile())
        m_services.messages.information(this, kCheckTitle,
            QStringLiteral(
                "Il file delle colonne %1 non esiste: il sistema non si può controllare.")
                .arg(m_columnFile));
}

void CheckWindow::winningChanged(int box)
{
    if (m_winning[box]->text().size() == 2)
        checkWinningEntry(box);
}

void CheckWindow::checkWinningEntry(int box)
{
    if (!isValidMatchNumber(readNumber(m_winning[box]->text()))) {
        m_winning[box]->focusAndSelect();
        return;
    }
    if (box < kWinningBoxes - 1)
        m_winning[box + 1]->focusAndSelect();
}

void CheckWindow::check()
{
    WinningValues values {};
    for (int box = 0; box < kWinningBoxes; ++box)
        values[box] = readNumber(m_winning[box]->text());
    if (const auto repeated = repeatedWinningBox(values)) {
        m_services.messages.information(
            this, QStringLiteral("Controllo"), QStringLiteral("Numero doppio controllare "));
        m_winning[*repeated]->focusAndSelect();
        return;
    }
    if (m_openedPath.isEmpty()) {
        m_services.messages.information(this, kCheckTitle, QStringLiteral("Aprire un sistema."));
        return;
    }
    if (!QFileInfo(m_columnFile).isFile()) {
        m_services.messages.information(this, kCheckTitle,
            QStringLiteral(
                "Il file delle colonne %1 non esiste: il sistema non si può controllare.")
                .arg(m_columnFile));
        return;
    }
    const auto columns = readColumnMasks(m_columnFile);
    if (!columns) {
        m_services.messages.information(
            this, kCheckTitle, columns.error().message(QStringLiteral("controllare")));
        return;
    }
    const Score result = score(*columns, winningMask(values));
    m_results[0]->setText(counterText(result.eight));
    m_results[1]->setText(counterText(result.seven));
    m_results[2]->setText(counterText(result.six));
    m_winners->clear();
    const qint64 count = qint64(columns->size());
    for (const WinningColumn& winner : winningColumns(*columns, winningMask(values)))
        m_winners->addItem(winningColumnLine(winner, count));
}

void CheckWindow::requestWins()
{
    if (m_openedPath.isEmpty()) {
        m_services.messages.information(this, kCheckTitle, QStringLiteral("Aprire un sistema."));
        return;
    }
    emit winsRequested(m_openedPath);
}

QStringList CheckWindow::winningLines() const
{
    QStringList lines;
    for (int i = 0; i < m_winners->count(); ++i)
        lines << m_winners->item(i)->text();
    return lines;
}

} // namespace ottavario
