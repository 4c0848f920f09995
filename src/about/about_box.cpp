#include "about_box.h"

#include "core/version.h"
#include "mainwin/forms.h"
#include "mainwin/icons.h"
#include "mainwin/services.h"
#include "settings/settings_file.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace ottavario {

namespace {
    const QString kProgramTitle = QStringLiteral("Ottavario");
    const QString kCredit = QStringLiteral("Sistemi per il gioco a pronostici");
    const QString kDisclaimer = QStringLiteral(
        "Attenzione: questo programma è tutelato dalle leggi sul diritto d'autore. La "
        "riproduzione o la distribuzione non autorizzata del programma, o di parte di esso, è "
        "vietata e sarà perseguita a norma di legge.");
    const QString kNoSystemInfo
        = QStringLiteral("Le informazioni sul sistema non sono attualmente disponibili.");
}

QString findSystemInfoTool()
{
    // The system-information program of this machine, as the user or the
    // installation names it: a path, or a program name looked up on the PATH.
    const QString named = qEnvironmentVariable("OTTAVARIO_SYSTEM_INFO").trimmed();
    if (named.isEmpty())
        return QString();
    if (QFileInfo(named).isAbsolute())
        return QFileInfo(named).isExecutable() ? named : QString();
    return QStandardPaths::findExecutable(named);
}

bool startSystemInfoTool(const QString& path) { return QProcess::startDetached(path, {}); }

AboutBox::AboutBox(
    MessageService* messages, const QString& settingsFile, SystemInfoTool tool, QWidget* parent)
    : QWidget(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , m_messages(messages)
    , m_tool(std::move(tool))
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* picture = forms::namedLabel(QStringLiteral("picIcon"), QString(), this);
    picture->setPixmap(icons::programIcon().pixmap(64, 64));
    picture->setFixedSize(64, 64);
    auto* title = forms::namedLabel(QStringLiteral("lblTitle"), QString(), this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    title->setFont(titleFont);
    auto* version = forms::namedLabel(QStringLiteral("lblVersion"), QString(), this);
    auto* description = forms::namedLabel(QStringLiteral("lblDescription"), QString(), this);
    description->setWordWrap(true);
    auto* disclaimer = forms::namedLabel(QStringLiteral("lblDisclaimer"), QString(), this);
    disclaimer->setWordWrap(true);
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("cmdOK"));
    auto* infoButton = new QPushButton(QStringLiteral("&System Info..."), this);
    infoButton->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(okButton, &QPushButton::clicked, this, &AboutBox::close);
    connect(infoButton, &QPushButton::clicked, this, &AboutBox::showSystemInfo);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(version);
    texts->addSpacing(8);
    texts->addWidget(description);
    texts->addStretch(1);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    auto* rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Line1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(disclaimer, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(infoButton);
    buttons->addStretch(1);
    bottom->addLayout(buttons);
    layout->addLayout(bottom);

    const auto values = settings::readAll(settingsFile);
    setWindowTitle(QStringLiteral("Informazioni su ") + kProgramTitle);
    version->setText(QStringLiteral("Versione %1.%2.%3")
                         .arg(OTTAVARIO_VERSION_MAJOR)
                         .arg(OTTAVARIO_VERSION_MINOR)
                         .arg(OTTAVARIO_VERSION_PATCH));
    title->setText(kProgramTitle + u'\n' + kCredit);
    disclaimer->setText(kDisclaimer);
    if (values) {
        description->setText(settings::value(*values, settings::CompanyName) + u'\n'
            + settings::value(*values, settings::City));
    } else {
        m_messages->information(
            this, windowTitle(), values.error().message(QStringLiteral("leggere")));
    }

    setMinimumWidth(fontMetrics().horizontalAdvance(u'0') * 58);
    adjustSize();
    setFixedSize(size());
    okButton->setFocus();
    forms::centreOnScreen(this);
}

void AboutBox::showSystemInfo()
{
    const QString path = m_tool.find ? m_tool.find() : QString();
    if (path.isEmpty() || !m_tool.start || !m_tool.start(path))
        m_messages->information(this, kProgramTitle, kNoSystemInfo);
}

void AboutBox::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

} // namespace ottavario
