#pragma once

#include "widgets/app_services.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace ottavario {

// The platform's system-information tool: its path, or an empty text where
// there is none.
QString findSystemInfoTool();
// Starts the tool in a window of its own; false when it could not be started.
bool startSystemInfoTool(const QString& path);

// How the about box finds and starts the tool: these two, or a test's own.
struct SystemInfoTool {
    std::function<QString()> find = findSystemInfoTool;
    std::function<bool(const QString&)> start = startSystemInfoTool;
};

// frmAbout: title, version, the user's name and city from the settings file,
// a legal notice, and the system-information button. Deletes itself when
// closed and emits closed() first, however it was closed.
class AboutBox : public QWidget {
    Q_OBJECT
public:
    AboutBox(const AppServices& services, SystemInfoTool tool, QWidget* parent = nullptr);

    // cmdSysInfo: starts the tool, or says that there is none.
    void showSystemInfo();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppServices m_services;
    SystemInfoTool m_tool;
};

} // namespace ottavario
