#pragma once

#include "about/about_box.h"
#include "core/conditions.h"
#include "widgets/app_services.h"
#include "wins/wins_report.h"

#include <QPointer>

#include <functional>

class QWidget;

namespace ottavario {

class VolumeService;
class WinsWindow;
struct Grid;
namespace print {
    class PrintWindow;
}

// The other windows as the main window opens them, each given the program's
// services: the one place that knows them all. What only one of them uses
// (the drives, the system-information tool) comes with the rest from main().
class WindowOpener {
public:
    WindowOpener(const AppServices& services, VolumeService& volumes, SystemInfoTool systemInfo);
    ~WindowOpener();

    WindowOpener(const WindowOpener&) = delete;
    WindowOpener& operator=(const WindowOpener&) = delete;

    // Windows that keep the user in them: `owner` takes no input until they
    // close. What they hand back reaches `owner` through the callback.
    void openCheck(QWidget* owner);
    void openPersonalisation(QWidget* owner,
        std::function<void(const QString& lire, const QString& euro)> pricesChanged);
    void openConditions(QWidget* owner, const Grid& grid, const Conditions& conditions,
        double lirePerColumn, double euroPerColumn,
        std::function<void(const Conditions&)> accepted);
    void openAbout(QWidget* owner);

    // Windows that run beside the main one, without a parent: they stay open
    // when it closes, and opening one again only shows it.
    void openPrint();
    void openTransfer();
    // Prospetto vincite of the given system; the window is shared with the
    // checking window's request for a saved system.
    void showWins(WinsSystem system);

private:
    void showBlocking(QWidget* owner, QWidget* window);
    WinsWindow* winsWindow();

    AppServices m_services;
    VolumeService& m_volumes;
    SystemInfoTool m_systemInfo;
    QPointer<print::PrintWindow> m_printWindow;
    QPointer<QWidget> m_transferWindow;
    QPointer<WinsWindow> m_winsWindow;
};

} // namespace ottavario
