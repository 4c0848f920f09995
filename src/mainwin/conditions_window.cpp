#include "conditions_window.h"

#include "core/format.h"
#include "core/grid.h"
#include "engine/development.h"
#include "mainwin/forms.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QVBoxLayout>

namespace ottavario {

namespace {
    const std::array<QString, 4> kKindCaptions = { QStringLiteral("Numeri del gruppo"),
        QStringLiteral("Somma"), QStringLiteral("Dispari"), QStringLiteral("Consecutivi") };

    Condition::Kind kindAt(int index) { return static_cast<Condition::Kind>(index); }

    // Widths shared by the header and the rows, in digits of the window's font.
    constexpr int kRangeDigits = 5;
    constexpr int kRemoveDigits = 9;
    constexpr int kVisibleRows = 6;
}

ConditionsWindow::ConditionsWindow(const Grid& grid, const Conditions& conditions,
    double lirePerColumn, double euroPerColumn, QWidget* parent)
    : QWidget(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , m_developed(developMasks(grid))
    , m_lirePerColumn(lirePerColumn)
    , m_euroPerColumn(euroPerColumn)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Condizioni"));
    setAttribute(Qt::WA_DeleteOnClose);
    const int digit = fontMetrics().horizontalAdvance(u'0');
    QComboBox probe;
    probe.addItems({ kKindCaptions.begin(), kKindCaptions.end() });
    m_kindWidth = probe.sizeHint().width();

    auto* layout = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("Condizioni sulle colonne"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* frameLayout = new QVBoxLayout(frame);

    auto* header = new QHBoxLayout;
    const std::array<std::pair<QString, int>, 4> captions = { {
        { QStringLiteral("Condizione"), m_kindWidth },
        { QStringLiteral("Numeri del gruppo"), 0 },
        { QStringLiteral("da"), kRangeDigits * digit },
        { QStringLiteral("a"), kRangeDigits * digit },
    } };
    for (int i = 0; i < 4; ++i) {
        QLabel* caption = forms::namedLabel(forms::indexed("Label1", i), captions[i].first, frame);
        if (captions[i].second)
            caption->setFixedWidth(captions[i].second);
        header->addWidget(caption, captions[i].second ? 0 : 1);
    }
    header->addSpacing(kRemoveDigits * digit + header->spacing());
    frameLayout->addLayout(header);

    auto* rowsArea = new QScrollArea(frame);
    rowsArea->setObjectName(QStringLiteral("Frame3"));
    rowsArea->setWidgetResizable(true);
    rowsArea->setFrameShape(QFrame::NoFrame);
    rowsArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* rows = new QWidget(rowsArea);
    m_rowsLayout = new QVBoxLayout(rows);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->addStretch(1);
    rowsArea->setWidget(rows);
    rowsArea->setMinimumHeight(kVisibleRows * (QLineEdit().sizeHint().height() + 6));
    frameLayout->addWidget(rowsArea, 1);

    auto* addRowLayout = new QHBoxLayout;
    m_addButton = new QPushButton(QStringLiteral("&Aggiungi condizione"), frame);
    m_addButton->setObjectName(QStringLiteral("Command1"));
    m_addButton->setToolTip(QStringLiteral("Aggiunge una condizione che le colonne in gioco "
                                           "devono rispettare (al massimo %1).")
                                .arg(kMaxConditions));
    connect(m_addButton, &QPushButton::clicked, this, &ConditionsWindow::addRow);
    addRowLayout->addWidget(m_addButton);
    addRowLayout->addStretch(1);
    frameLayout->addLayout(addRowLayout);
    layout->addWidget(frame, 1);

    m_faultLabel = forms::namedLabel(QStringLiteral("Label6"), QString(), this);
    m_faultLabel->setStyleSheet(QStringLiteral("color: #a00000"));
    m_faultLabel->setWordWrap(true);
    layout->addWidget(m_faultLabel);

    auto* summary = new QGroupBox(QStringLiteral("Colonne in gioco"), this);
    summary->setObjectName(QStringLiteral("Frame2"));
    auto* summaryLayout = new QGridLayout(summary);
    m_developedLabel = forms::namedLabel(QStringLiteral("Label2"), QString(), summary);
    m_inPlayLabel = forms::namedLabel(QStringLiteral("Label3"), QString(), summary);
    m_priceLabel = forms::namedLabel(QStringLiteral("Label4"), QString(), summary);
    m_euroLabel = forms::namedLabel(QStringLiteral("Label5"), QString(), summary);
    summaryLayout->addWidget(m_developedLabel, 0, 0);
    summaryLayout->addWidget(m_inPlayLabel, 1, 0);
    summaryLayout->addWidget(m_priceLabel, 0, 1);
    summaryLayout->addWidget(m_euroLabel, 1, 1);
    layout->addWidget(summary);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("Command4"));
    m_cancelButton = new QPushButton(QStringLiteral("Annulla"), this);
    m_cancelButton->setObjectName(QStringLiteral("Command5"));
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
    connect(m_okButton, &QPushButton::clicked, this, &ConditionsWindow::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &ConditionsWindow::close);

    m_developedLabel->setText(
        QStringLiteral("Colonne sviluppate  ") + QLocale().toString(qlonglong(m_developed.size())));
    for (const Condition& condition : conditions)
        appendRow(condition);
    nameRows();
    recount();

    setMinimumWidth(digit * 80);
    adjustSize();
    forms::centreOnScreen(this);
    if (m_rows.empty())
        m_addButton->setFocus();
    else
        m_rows.front().kind->setFocus();
}

ConditionsWindow::Row& ConditionsWindow::appendRow(const Condition& condition)
{
    const int digit = fontMetrics().horizontalAdvance(u'0');
    Row row;
    row.widget = new QWidget(m_rowsLayout->parentWidget());
    auto* rowLayout = new QHBoxLayout(row.widget);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    row.kind = new QComboBox(row.widget);
    for (const QString& caption : kKindCaptions)
        row.kind->addItem(caption);
    row.kind->setCurrentIndex(int(condition.kind));
    row.kind->setFixedWidth(m_kindWidth);
    row.group = new QLineEdit(row.widget);
    row.group->setToolTip(QStringLiteral("I numeri del gruppo, da 1 a 32, separati da spazi."));
    // Numbers and what separates them; the reading tells what is wrong with them.
    row.group->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ,]*")), row.group));
    row.lowest = new QLineEdit(row.widget);
    row.highest = new QLineEdit(row.widget);
    for (QLineEdit* bound : { row.lowest, row.highest }) {
        bound->setFixedWidth(kRangeDigits * digit);
        bound->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,3}")), bound));
    }
    row.lowest->setToolTip(QStringLiteral("Il valore più basso ammesso."));
    row.highest->setToolTip(QStringLiteral("Il valore più alto ammesso."));
    row.remove = new QPushButton(QStringLiteral("Elimina"), row.widget);
    row.remove->setFixedWidth(kRemoveDigits * digit);
    row.remove->setToolTip(QStringLiteral("Toglie questa condizione."));

    if (condition.kind == Condition::Kind::Numbers)
        row.group->setText(numbersText(condition.group));
    else
        row.group->setEnabled(false);
    row.lowest->setText(QString::number(condition.lowest));
    row.highest->setText(QString::number(condition.highest));

    rowLayout->addWidget(row.kind);
    rowLayout->addWidget(row.group, 1);
    rowLayout->addWidget(row.lowest);
    rowLayout->addWidget(row.highest);
    rowLayout->addWidget(row.remove);
    // Before the stretch that keeps the rows at the top.
    m_rowsLayout->insertWidget(m_rowsLayout->count() - 1, row.widget);
    // A row added to the window on screen is not shown with it.
    row.widget->show();

    QWidget* rowWidget = row.widget;
    connect(row.kind, &QComboBox::currentIndexChanged, this,
        [this, rowWidget] { kindChosen(rowWidget); });
    for (QLineEdit* edit : { row.group, row.lowest, row.highest })
        connect(edit, &QLineEdit::textChanged, this, &ConditionsWindow::recount);
    connect(row.remove, &QPushButton::clicked, this, [this, rowWidget] {
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].widget == rowWidget) {
                removeRow(int(i));
                return;
            }
    });
    m_rows.push_back(row);
    return m_rows.back();
}

void ConditionsWindow::addRow()
{
    if (rowCount() >= kMaxConditions)
        return;
    // The widest range: a new condition leaves out nothing until narrowed.
    Condition condition;
    std::tie(condition.lowest, condition.highest) = fullRange(condition.kind);
    Row& row = appendRow(condition);
    row.group->clear();
    nameRows();
    recount();
    row.kind->setFocus();
}

void ConditionsWindow::removeRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    // Its button may be the one being clicked: the row goes once the click
    // is over, and meanwhile gives up its names to the rows that follow.
    QWidget* gone = m_rows[size_t(row)].widget;
    gone->hide();
    for (QObject* control : gone->findChildren<QObject*>())
        control->setObjectName(QString());
    gone->deleteLater();
    m_rows.erase(m_rows.begin() + row);
    nameRows();
    recount();
    if (!m_rows.empty())
        m_rows[size_t(std::min(row, rowCount() - 1))].kind->setFocus();
    else
        m_addButton->setFocus();
}

void ConditionsWindow::kindChosen(QObject* rowWidget)
{
    for (Row& row : m_rows) {
        if (row.widget != rowWidget)
            continue;
        const Condition::Kind kind = kindAt(row.kind->currentIndex());
        const bool numbers = kind == Condition::Kind::Numbers;
        if (!numbers)
            row.group->clear();
        row.group->setEnabled(numbers);
        const auto [lowest, highest] = fullRange(kind);
        row.lowest->setText(QString::number(lowest));
        row.highest->setText(QString::number(highest));
    }
    recount();
}

void ConditionsWindow::nameRows()
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const int index = int(i);
        m_rows[i].kind->setObjectName(forms::indexed("Combo1", index));
        m_rows[i].group->setObjectName(forms::indexed("Text1", index));
        m_rows[i].lowest->setObjectName(forms::indexed("Text2", index));
        m_rows[i].highest->setObjectName(forms::indexed("Text3", index));
        m_rows[i].remove->setObjectName(forms::indexed("Command3", index));
    }
    m_addButton->setEnabled(rowCount() < kMaxConditions);
    // Tab runs through the rows in their order, then to the buttons.
    QWidget* previous = nullptr;
    auto follow = [&](QWidget* next) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    };
    for (const Row& row : m_rows)
        for (QWidget* w : { static_cast<QWidget*>(row.kind), static_cast<QWidget*>(row.group),
                 static_cast<QWidget*>(row.lowest), static_cast<QWidget*>(row.highest),
                 static_cast<QWidget*>(row.remove) })
            follow(w);
    for (QWidget* w : { m_addButton, m_okButton, m_cancelButton })
        follow(w);
}

std::expected<Condition, QString> ConditionsWindow::rowCondition(int index) const
{
    const Row& row = m_rows[size_t(index)];
    auto fault = [index](const QString& reason) {
        return std::unexpected(QStringLiteral("Condizione %1: %2.").arg(index + 1).arg(reason));
    };
    const Condition::Kind kind = kindAt(row.kind->currentIndex());
    if (row.lowest->text().isEmpty())
        return fault(QStringLiteral("manca il valore \"da\""));
    if (row.highest->text().isEmpty())
        return fault(QStringLiteral("manca il valore \"a\""));
    // Written as the description file holds it, and read by the same rule.
    QString line = keywordOf(kind);
    if (kind == Condition::Kind::Numbers)
        line += u' ' + QString(row.group->text()).replace(u',', u' ');
    line += QStringLiteral(" da %1 a %2").arg(row.lowest->text(), row.highest->text());
    auto condition = parseConditionLine(line);
    if (!condition)
        return fault(condition.error());
    return condition;
}

std::expected<Conditions, QString> ConditionsWindow::conditions() const
{
    Conditions conditions;
    for (int i = 0; i < rowCount(); ++i) {
        const auto condition = rowCondition(i);
        if (!condition)
            return std::unexpected(condition.error());
        conditions.push_back(*condition);
    }
    return conditions;
}

void ConditionsWindow::recount()
{
    // The rows that are conditions count; the first faulty one is told and
    // holds OK back.
    Conditions complete;
    QString fault;
    for (int i = 0; i < rowCount(); ++i) {
        const auto condition = rowCondition(i);
        if (condition)
            complete.push_back(*condition);
        else if (fault.isEmpty())
            fault = condition.error();
    }
    m_faultLabel->setText(fault);
    m_okButton->setEnabled(fault.isEmpty());
    m_inPlay = countInPlay(m_developed, complete);
    m_inPlayLabel->setText(
        QStringLiteral("Colonne in gioco  ") + QLocale().toString(qlonglong(m_inPlay)));
    m_priceLabel->setText(
        QStringLiteral("Prezzo  ") + groupedInteger(double(m_inPlay) * m_lirePerColumn));
    m_euroLabel->setText(QStringLiteral("€ ") + euroAmount(double(m_inPlay) * m_euroPerColumn));
}

void ConditionsWindow::accept()
{
    const auto all = conditions();
    if (!all)
        return;
    emit conditionsAccepted(*all);
    close();
}

} // namespace ottavario
