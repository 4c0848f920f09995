// Times the calculation command as the user feels it, in the real main window:
// from the command to the preview shown and the labels set, for the largest
// grid at every system type, against the engine alone (the same calculation,
// work files included, called directly) measured in the same run.
//
//   bench_main_window [runs, default 7]
//
// Medians, since the machine may be shared.

#include "core/data_folder.h"
#include "engine/calculation.h"
#include "engine/engine_grids.h"
#include "mainwin/grid_entry.h"
#include "mainwin/main_window.h"
#include "settings/settings_file.h"
#include "support/recording_services.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace ottavario;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The command from its button, until the window has shown its result.
double timeCommand(MainWindow& window)
{
    QEventLoop loop;
    QObject::connect(&window, &MainWindow::calculationFinished, &loop, &QEventLoop::quit);
    auto* button = window.findChild<QToolButton*>(QStringLiteral("Command1"));
    const auto start = Clock::now();
    button->click();
    if (window.isCalculating())
        loop.exec();
    // The list and the labels paint with the next pass of the event loop.
    window.findChild<QAbstractItemView*>(QStringLiteral("List1"))->repaint();
    QCoreApplication::processEvents();
    return msSince(start);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("OTTAVARIO_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    if (!prepareDataFolder()) {
        std::fprintf(stderr, "no data folder\n");
        return 2;
    }

    testing::RecordingMessageService messages;
    testing::ScriptedFileDialogs dialogs;
    MainWindow window(MainWindowServices { &messages, &dialogs }, settings::defaultValues());
    window.show();
    const Grid grid = testing::largestGrid();
    for (int box = 0; box < kBoxes; ++box)
        for (int i = 0; i < kEntries; ++i)
            window.entry(box, i)->setText(grid.entries[box][i]);

    const WorkFiles alone { home.filePath(QStringLiteral("tmp")),
        home.filePath(QStringLiteral("sistmp")) };
    std::printf("Largest grid, median of %d runs\n", runs);
    std::printf("%-13s %8s %11s %11s %7s\n", "type", "kept", "engine ms", "window ms", "ratio");
    const std::pair<SystemType, const char*> types[]
        = { { SystemType::Integrale, "Integrale" }, { SystemType::SettePunti, "Sette punti" },
              { SystemType::SeiPunti, "Sei punti" }, { SystemType::CinquePunti, "Cinque punti" } };
    for (const auto& [type, name] : types) {
        window.setSystemType(type);
        std::vector<double> engine;
        std::vector<double> shown;
        qsizetype kept = 0;
        for (int r = 0; r < runs; ++r) {
            const auto start = Clock::now();
            const auto result = calculateColumns(grid, type, alone);
            engine.push_back(msSince(start));
            kept = result ? qsizetype(result->kept.size()) : -1;
            shown.push_back(timeCommand(window));
        }
        if (!messages.shown.isEmpty()) {
            std::fprintf(stderr, "the window said: %s\n", qPrintable(messages.lastText()));
            return 2;
        }
        const double e = median(engine);
        const double w = median(shown);
        std::printf(
            "%-13s %8lld %11.1f %11.1f %7.2f\n", name, static_cast<long long>(kept), e, w, w / e);
    }
    return 0;
}
