#pragma once

#include <QStringList>
#include <QTextStream>

namespace ottavario::cli {

// Runs one command line of the companion (arguments without the program
// name) and returns its exit status: 0 done, 2 refused or failed, 1 usage.
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

} // namespace ottavario::cli
