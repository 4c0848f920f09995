#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace ottavario::print {

// The companion's print commands, the arguments after "print":
//   slips FILE.stg [--from F] [--to L] [--no-name] [--no-info] [--pdf OUT.pdf]
//   test [--first-column-only] [--pdf OUT.pdf]
//   tabulation FILE.stg [--layout prospetto|colonne|entrambi] [--pdf OUT.pdf]
// The offsets and the column price come from the settings file. Without
// --pdf the pages go to the default printer. Returns 0 done, 1 usage, 2
// refused or failed, with one line on `err` and nothing written. Needs a
// QGuiApplication: fonts and painting.
int runPrintCommand(
    const QStringList& arguments, const QString& settingsFile, QTextStream& out, QTextStream& err);

// The usage lines of those commands.
QString printCommandsUsage();

} // namespace ottavario::print
