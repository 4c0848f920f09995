#include "window_opener.h"

#include "check/check_window.h"
#include "mainwin/conditions_window.h"
#include "printwin/print_window.h"
#include "settings/personalisation_window.h"
#include "transfer/transfer_window.h"
#include "wins/wins_window.h"

#include <utility>

namespace ottavario {

namespace {
    void showAgain(QWidget* window)
    {
        window->show();
        window->raise();
        window->activateWindow();
    }
}

WindowOpener::WindowOpener(
    const AppServices& services, VolumeService& volumes, SystemInfoTool systemInfo)
    : m_services(services)
    , m_volumes(volumes)
    , m_systemInfo(std::move(systemInfo))
{
}

WindowOpener::~WindowOpener() = default;

void WindowOpener::showBlocking(QWidget* owner, QWidget* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    owner->setEnabled(false);
    QObject::connect(window, &QObject::destroyed, owner, [owner] {
        owner->setEnabled(true);
        owner->activateWindow();
    });
    showAgain(window);
}

void WindowOpener::openCheck(QWidget* owner)
{
    auto* window = new CheckWindow(m_services);
    QObject::connect(window, &CheckWindow::winsRequested, owner,
        [this](const QString& sttPath) { winsWindow()->openSystemAt(sttPath); });
    showBlocking(owner, window);
}

void WindowOpener::openPersonalisation(
    QWidget* owner, std::function<void(const QString&, const QString&)> pricesChanged)
{
    auto* window = new PersonalisationWindow(m_services);
    QObject::connect(
        window, &PersonalisationWindow::pricesChanged, owner, std::move(pricesChanged));
    showBlocking(owner, window);
}

void WindowOpener::openConditions(QWidget* owner, const Grid& grid, const Conditions& conditions,
    double lirePerColumn, double euroPerColumn, std::function<void(const Conditions&)> accepted)
{
    auto* window = new ConditionsWindow(grid, conditions, lirePerColumn, euroPerColumn);
    QObject::connect(window, &ConditionsWindow::conditionsAccepted, owner, std::move(accepted));
    showBlocking(owner, window);
}

void WindowOpener::openAbout(QWidget* owner)
{
    showBlocking(owner, new AboutBox(m_services, m_systemInfo));
}

void WindowOpener::openPrint()
{
    if (!m_printWindow) {
        m_printWindow = new print::PrintWindow(m_services);
        m_printWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    showAgain(m_printWindow);
}

void WindowOpener::openTransfer()
{
    if (!m_transferWindow) {
        m_transferWindow = new TransferWindow(m_services, m_volumes);
        m_transferWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    showAgain(m_transferWindow);
}

WinsWindow* WindowOpener::winsWindow()
{
    if (!m_winsWindow) {
        // It stays open beside the checking window and the main one.
        m_winsWindow = new WinsWindow(m_services);
        m_winsWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    showAgain(m_winsWindow);
    return m_winsWindow;
}

void WindowOpener::showWins(WinsSystem system) { winsWindow()->showSystem(std::move(system)); }

} // namespace ottavario
