#pragma once

#include "core/file_error.h"
#include "core/grid.h"
#include "core/system_type.h"
#include "systems/description_file.h"

#include <QFile>
#include <QString>

#include <functional>

namespace ottavario {

// The other file of a saved pair: the last 3 characters "stt" become "stg"
// and "stg" become "stt", whatever their case. Empty for any other path.
QString partnerPath(const QString& path);

// A description file's path ends in ".stt", whatever its case.
bool isDescriptionPath(const QString& path);

// The name a system is known by: its file's name without the extension.
QString systemName(const QString& path);

// Saves a computed system as a pair: the description at sttPath and, beside
// it with the same name, a copy of the column work file. Both files are
// written in full under temporary names first and only then put in place, so
// on any failure an earlier pair of that name stays as it was; the error
// names the file and the reason. The description holds the conditions when
// there are any.
FileResult<void> saveSystem(const QString& sttPath, const Grid& grid, SystemType type,
    const QString& keptWorkFile, const Conditions& conditions = {});

// Reads and checks a description file; only a complete, consistent
// description is returned. A save of this pair cut short is settled first.
FileResult<SystemDescription> openSystem(const QString& path);

// A save stopped part way (the program killed, the machine off) leaves hidden
// files beside the pair; this puts back the earlier pair or completes the new
// one, whichever the save had reached, and removes them. Either file of the
// pair may be named.
void recoverInterruptedSave(const QString& path);

namespace detail {
    // How a finished temporary file is moved to its name; tests make it fail.
    using RenameFile = std::function<bool(const QString& from, const QString& to)>;
    // How a temporary file gets its bytes, the count written returned; tests
    // stop it part way. Empty: QFile::write.
    using WriteFile = std::function<qint64(QFile& file, const QByteArray& bytes)>;

    FileResult<void> saveSystem(const QString& sttPath, const Grid& grid, SystemType type,
        const QString& keptWorkFile, const RenameFile& rename, const WriteFile& write = {},
        const Conditions& conditions = {});
}

} // namespace ottavario
