#include "core/data_folder.h"
#include "core/settings_file.h"
#include "core/version.h"
#include "mainwin/main_window.h"
#include "mainwin/window_opener.h"
#include "transfer/volumes.h"
#include "widgets/dialog_services.h"
#include "widgets/icons.h"
#include "widgets/print_service.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace ottavario;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ottavario"));
    QApplication::setApplicationVersion(QStringLiteral(OTTAVARIO_VERSION));
    // The desktop matches the windows to the installed menu entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.ottavario.Ottavario"));
    QApplication::setWindowIcon(icons::programIcon());

    // Qt's own buttons and dialogs speak Italian, as the program does.
    QTranslator qtTranslator;
    if (qtTranslator.load(
            QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtMessageService messages;
    QtFileDialogService dialogs;
    const DataFolder folder = DataFolder::fromEnvironment();

    const auto prepared = folder.prepare();
    if (!prepared) {
        messages.information(nullptr, QStringLiteral("Ottavario*"),
            prepared.error().message(QStringLiteral("preparare")));
        return 1;
    }
    const auto settings = readSettings(folder.settingsFile());
    if (!settings) {
        messages.information(nullptr, QStringLiteral("Ottavario*"),
            settings.error().message(QStringLiteral("leggere")));
        return 1;
    }

    // Every service the windows use is made here, and only here.
    print::QtPrintService printer(messages, dialogs, folder.root());
    const AppServices services { messages, dialogs, printer, folder };
    SystemVolumes volumes(folder.systems());
    WindowOpener windows(services, volumes, SystemInfoTool {});
    MainWindow window(services, windows, *settings);
    window.show();
    return app.exec();
}
