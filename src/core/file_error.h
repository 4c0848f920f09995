#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <expected>

namespace ottavario {

// What went wrong with a file, in words a player understands.
struct FileError {
    QString path;
    QString reason;

    // "Impossibile <action> il file <path>: <reason>."
    QString message(const QString& action) const;
};

template <typename T> using FileResult = std::expected<T, FileError>;

QString describe(QFileDevice::FileError error);

// Why `file` could not be created as, or beside, `target`: a folder in its
// place, a missing or protected folder, or what the system said. Asked only
// after the failure: a folder's flags do not always tell whether it takes files.
QString creationFailureReason(const QString& target, const QFileDevice& file);

// Why a write to `file` failed; a short write that left no error code is a
// write error all the same.
QString writeFailureReason(const QFileDevice& file);

// Reads a whole file; a missing file, a folder, a device or a file that
// cannot be opened is an error with its reason.
FileResult<QByteArray> readWholeFile(const QString& path);

// Replaces the file only once every byte is on disk: a failed write leaves the
// previous file whole.
FileResult<void> writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace ottavario
