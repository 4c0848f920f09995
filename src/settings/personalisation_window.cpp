#include "personalisation_window.h"

#include "widgets/dialog_services.h"
#include "widgets/forms.h"

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

    struct Box {
        const char16_t* caption;
        QString Settings::*field;
    };
    constexpr std::array<Box, PersonalisationWindow::kBoxes> kFields = { {
        { u"Nome società", &Settings::companyName },
        { u"Via", &Settings::street },
        { u"N°", &Settings::streetNumber },
        { u"C.A.P.", &Settings::postcode },
        { u"Città", &Settings::city },
        { u"Paese", &Settings::country },
        { u"Telefono", &Settings::telephone },
        { u"Fax", &Settings::fax },
        { u"E-Mail", &Settings::email },
        { u"Colonna in lire", &Settings::lirePrice },
        { u"Colonna in Euro", &Settings::euroPrice },
    } };

    QFrame* line(QWidget* parent, int index)
    {
        auto* frame = new QFrame(parent);
        frame->setObjectName(forms::indexed("Line1", index));
        frame->setFrameShape(QFrame::HLine);
        frame->setFrameShadow(QFrame::Sunken);
        return frame;
    }
}

PersonalisationWindow::PersonalisationWindow(const AppServices& services, QWidget* parent)
    : QWidget(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , m_services(services)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(kTitle);
    setAttribute(Qt::WA_DeleteOnClose);

    std::array<QWidget*, kBoxes> fields {};
    for (int i = 0; i < kBoxes; ++i) {
        auto* field = new QWidget(this);
        auto* fieldLayout = new QVBoxLayout(field);
        fieldLayout->setContentsMargins(0, 0, 0, 0);
        fieldLayout->setSpacing(2);
        auto* caption = new QLabel(QString::fromUtf16(kFields[i].caption), field);
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

    const auto read = readSettings(m_services.folder.settingsFile());
    if (!read) {
        m_okButton->setEnabled(false);
        m_services.messages.information(
            this, kTitle, read.error().message(QStringLiteral("leggere")));
        return;
    }
    m_read = *read;
    for (int i = 0; i < kBoxes; ++i)
        m_boxes[i]->setText(m_read.*kFields[i].field);
}

void PersonalisationWindow::accept()
{
    // The file keeps every value between double quotes and has no way to hold
    // one inside a value: it would come back cut there.
    for (int i = 0; i < kBoxes; ++i) {
        if (!m_boxes[i]->text().contains(u'"'))
            continue;
        m_services.messages.information(this, kTitle,
            QStringLiteral("Il campo \"%1\" contiene le virgolette (\"), che il file delle "
                           "impostazioni non può conservare: toglierle o usare l'apostrofo (').")
                .arg(QString::fromUtf16(kFields[i].caption)));
        m_boxes[i]->setFocus();
        m_boxes[i]->selectAll();
        return;
    }
    Settings settings = m_read;
    for (int i = 0; i < kBoxes; ++i)
        settings.*kFields[i].field = m_boxes[i]->text();
    settings.euroPrice.replace(u',', u'.');

    const auto written = writeSettings(m_services.folder.settingsFile(), settings);
    if (!written) {
        m_services.messages.information(
            this, kTitle, written.error().message(QStringLiteral("scrivere")));
        return;
    }
    emit pricesChanged(settings.lirePrice, settings.euroPrice);
    close();
}

void PersonalisationWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

} // namespace ottavario
