#pragma once

#include "core/file_error.h"

#include <QByteArray>
#include <QString>

#include <expected>
#include <functional>
#include <memory>

class QFile;

namespace ottavario {

// One file of a saved pair on its way into its folder: the bytes it gets, or
// the file they are copied from.
struct PairFile {
    QString target;
    QByteArray bytes;
    QString source; // when set, the bytes are read from this file instead
};

struct PairCommitError {
    enum class Stage {
        Settle, // an earlier commit cut short cannot be settled, or the folder is busy
        Read, // a source file cannot be read; the cause names the source
        Create, // a file cannot be created beside its target
        Write, // a file beside its target cannot be written whole or synced
        Place, // the new files cannot take their names
    };
    Stage stage = Stage::Create;
    FileError cause;
    // False when the folder still holds an unfinished commit that the next
    // open, save or copy of the pair settles (what it leads to is whole).
    bool settled = true;
};

using PairCommitResult = std::expected<void, PairCommitError>;

// Puts a system's two files into their folder as one unit: both are written
// whole under hidden names and synced, a journal records that they are ready,
// then they take their targets' names and the files they replace go. A commit
// cut short anywhere, by a failure or a kill, leaves the earlier pair or the
// new one once settled, never one file alone or a mix. Any earlier commit of
// the pair that was cut short is settled first. The targets lie in one folder
// and share their name: the description ends in .stt, the columns in .stg.
PairCommitResult commitPair(const PairFile& description, const PairFile& columns);

// Settles a commit of the pair of `path` (either file, or any name of the
// pair) that was cut short: the earlier pair is put back, or the new one
// completed, as far as the commit had gone. Only files that a journal proves
// to be a commit's own are touched; any other file is left alone. An error
// when such a commit is there and cannot be settled (a read-only folder): the
// pair must not be read then.
FileResult<void> settlePair(const QString& path);

namespace detail {
    // The steps of a commit or a settling that change the disk.
    enum class PairStep { Create, Write, Sync, SyncFolder, Rename, Remove };
    // Asked before every step; false makes the step fail as a failing disk
    // would. Tests stop a commit there, or kill the process.
    using PairStepHook = std::function<bool(PairStep step, const QString& path)>;
    // Makes the object a new file is written through, unopened; tests hand in
    // a device that fails.
    using PairFileFactory = std::function<std::unique_ptr<QFile>(const QString& path)>;
    // For tests only; empty functions restore the plain behaviour.
    void setPairHooks(PairStepHook step, PairFileFactory files = {});
}

} // namespace ottavario
