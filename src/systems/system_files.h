#pragma once

#include "core/file_error.h"
#include "core/grid.h"
#include "core/system_type.h"
#include "systems/description_file.h"
#include "systems/pair_commit.h"

#include <QByteArray>
#include <QString>

namespace ottavario {

// The other file of a saved pair: the last 3 characters "stt" become "stg"
// and "stg" become "stt", whatever their case. Empty for any other path.
QString partnerPath(const QString& path);

// A description file's path ends in ".stt", whatever its case.
bool isDescriptionPath(const QString& path);
// The column file of the system a path names, whichever file of the pair it names.
QString columnFilePath(const QString& path);

// The name a system is known by: its file's name without the extension.
QString systemName(const QString& path);

// Saves a computed system as a pair: the description at sttPath and, beside
// it with the same name, its column file holding `columns`, both put in
// place as one unit (commitPair): on any failure an earlier pair of that name
// stays as it was, and the error names the file and the reason. The
// description holds the conditions when there are any.
FileResult<void> saveSystem(const QString& sttPath, const Grid& grid, SystemType type,
    const QByteArray& columns, const Conditions& conditions = {});

// Reads and checks a description file; only a complete, consistent
// description is returned. A save or copy of this pair cut short is settled
// first (settlePair); one that cannot be is an error.
FileResult<SystemDescription> openSystem(const QString& path);

} // namespace ottavario
