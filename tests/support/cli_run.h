#pragma once

#include "app/cli.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace ottavario::testing {

// What one call of the command-line companion printed and returned.
struct CliRun {
    int status = 0;
    QString out;
    QString err;
};

// The data folder is the one OTTAVARIO_HOME names, as for the program itself.
inline CliRun runCli(const QStringList& arguments)
{
    CliRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = cli::run(arguments, DataFolder::fromEnvironment(), out, err);
    return r;
}

} // namespace ottavario::testing
