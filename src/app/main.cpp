#include "core/data_folder.h"
#include "core/version.h"
#include "mainwin/icons.h"
#include "mainwin/main_window.h"
#include "mainwin/services.h"
#include "print/print_service.h"
#include "settings/settings_file.h"

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

    const auto prepared = prepareDataFolder();
    if (!prepared) {
        messages.information(nullptr, QStringLiteral("Ottavario*"),
            prepared.error().message(QStringLiteral("preparare")));
        return 1;
    }
    const auto values = settings::readAll(settingsPath());
    if (!values) {
        messages.information(nullptr, QStringLiteral("Ottavario*"),
            values.error().message(QStringLiteral("leggere")));
        return 1;
    }

    print::QtPrintService printer(messages, dialogs);
    MainWindow window({ &messages, &dialogs, &printer }, *values);
    window.show();
    return app.exec();
}
