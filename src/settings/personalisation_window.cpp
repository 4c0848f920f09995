#include "personalisation_window.h"

#include "mainwin/forms.h"
#include "mainwin/services.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ottavario {

namespace {
    const QString kTitle = QStringLiteral("Personalizzazione programma");

    const std::array<QString, PersonalisationWindow::kBoxes>& boxCaptions()
    {
        static const std::array<QString, PersonalisationWindow::kBoxes> captions
            = { QStringLiteral("Nome società"), QStringLiteral("Via"), QStringLiteral("N°"),
                  QStringLiteral("C.A.P."), QStringLiteral("Città"), QStringLiteral("Paese"),
                  QStringLiteral("Telefono"), QStringLiteral("Fax"), QStringLiteral("E-Mail"),
                  QStringLiteral("Colonna in lire"), QStringLiteral("Colonna in Euro") };
        return captions;
    }

    QFrame* line(QWidget* parent, int index)
    {
        auto* frame = new QFrame(parent);
        frame->setObjectName(forms::indexed("Line1", index));
        frame->setFrameShape(QFrame::HLine);
        frame->setFrameShadow(QFrame::Sunken);
        return frame;
    }
}

PersonalisationWindow::PersonalisationWindow(
    MessageService* messages, const QString& settingsFile, QWidget* parent)
    : QWidget(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , m_messages(messages)
    , m_settingsFile(settingsFile)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);

    const auto& captions = boxCaptions();
    std::array<QWidget*, kBoxes> fields {};
    for (int i = 0; i < kBoxes; ++i) {
        auto* field = new QWidget(this);
        auto* fieldLayout = new QVBoxLayout(field);
        fieldLayout->setContentsMargins(0, 0, 0, 0);
        fieldLayout->setSpacing(2);
        auto* caption = new QLabel(captions[i], field);
        caption->setObjectName(forms::indexed("Label1", i));
        m_boxes[i] = new QLineEdit(field);
        m_boxes[i]->setObjectName(forms::indexed("Text1", i));
        caption->setBuddy(m_boxes[i]);
        fieldLayout->addWidget(caption);
        fieldLayout->addWidget(m_boxes[i]);
        fields[i] = field;
    }
    const int digit = fontMetrics().horizontalAdvance(u'0');
    fields[2]->setFixedWidth(digit * 8); // N°
    fields[3]->setFixedWidth(digit * 9); // C.A.P.

    auto* layout = new QVBoxLayout(this);
    // Rows of boxes, each with its stretch; 0 keeps a box at its own width.
    const QList<QList<std::pair<int, int>>> rows = {
        { { 0, 1 } },
        { { 1, 1 }, { 2, 0 } },
        { { 3, 0 }, { 4, 1 } },
        { { 5, 1 } },
        { { 6, 1 }, { 7, 1 } },
        { { 8, 1 } },
    };
    for (const auto& row : rows) {
        auto* rowLayout = new QHBoxLayout;
        for (const auto& [index, stretch] : row)
            rowLayout->addWidget(fields[index], stretch);
        layout->addLayout(rowLayout);
    }
    layout->addWidget(line(this, 0));
    auto* prices = new QHBoxLayout;
    prices->addWidget(fields[9], 1);
    prices->addWidget(fields[10], 1);
    layout->addLayout(prices);
    layout->addWidget(line(this, 1));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("Command1"));
    auto* cancelButton = new QPushButton(QStringLiteral("Annulla"), this);
    cancelButton->setObjectName(QStringLiteral("Command2"));
    buttons->addWidget(m_okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);
    connect(m_okButton, &QPushButton::clicked, this, &PersonalisationWindow::accept);
    connect(cancelButton, &QPushButton::clicked, this, &PersonalisationWindow::close);

    setMinimumWidth(digit * 60);
    adjustSize();
    setFixedHeight(height());
    forms::centreOnScreen(this);

    const auto values = settings::readAll(m_settingsFile);
    if (!values) {
        m_okButton->setEnabled(false);
        m_messages->information(this, kTitle, values.error().message(QStringLiteral("leggere")));
        return;
    }
    for (int i = 0; i < kBoxes; ++i)
        m_boxes[i]->setText(settings::value(*values, i + 1));
    m_offsets = { settings::value(*values, settings::VerticalOffset),
        settings::value(*values, settings::HorizontalOffset) };
}

void PersonalisationWindow::accept()
{
    // The file keeps every value between double quotes and has no way to hold
    // one inside a value: it would come back cut there.
    for (int i = 0; i < kBoxes; ++i) {
        if (!m_boxes[i]->text().contains(u'"'))
            continue;
        m_messages->information(this, kTitle,
            QStringLiteral("Il campo \"%1\" contiene le virgolette (\"), che il file delle "
                           "impostazioni non può conservare: toglierle o usare l'apostrofo (').")
                .arg(boxCaptions()[i]));
        m_boxes[i]->setFocus();
        m_boxes[i]->selectAll();
        return;
    }
    QStringList values;
    values.reserve(settings::kValueCount);
    for (const QLineEdit* box : m_boxes)
        values.append(box->text());
    values[settings::EuroPrice - 1].replace(u',', u'.');
    values.append(m_offsets[0]);
    values.append(m_offsets[1]);

    const auto written = settings::writeAll(m_settingsFile, values);
    if (!written) {
        m_messages->information(this, kTitle, written.error().message(QStringLiteral("scrivere")));
        return;
    }
    emit pricesChanged(values[settings::LirePrice - 1], values[settings::EuroPrice - 1]);
    close();
}

void PersonalisationWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

} // namespace ottavario
