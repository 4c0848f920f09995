#pragma once

#include "core/data_folder.h"

#include <QStringList>
#include <QTextStream>

namespace ottavario::cli {

// Runs one command line of the companion (arguments without the program
// name) and returns its exit status: 0 done, 2 refused or failed, 1 usage.
// The print commands read their settings in `folder`.
int run(const QStringList& arguments, const DataFolder& folder, QTextStream& out, QTextStream& err);

} // namespace ottavario::cli
