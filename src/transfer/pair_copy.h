#pragma once

#include "core/file_error.h"

#include <QString>

#include <expected>

namespace ottavario {

// Folder + name; at a volume's root ("a:\", "/") the folder already ends with
// its separator and none is added.
QString composePath(const QString& folder, const QString& fileName);

// The description file of a column file: its last three characters become
// "stt", whatever their case (prova.stg, PROVA.STG give prova.stt, PROVA.stt).
QString descriptionFileName(const QString& columnFileName);

enum class PairCopyOutcome {
    Copied,
    AlreadyThere, // the destination is the source itself: nothing to do
};

struct PairCopyError {
    QString columnFileName; // the .stg chosen; empty when none was
    QString destinationFolder;
    FileError cause; // the file at fault and why
    // False when undoing a half-done copy failed too, so the destination may
    // hold one file of the pair or a leftover under a temporary name.
    bool destinationRestored = true;

    // In Italian, naming the system, where it was going and the reason.
    QString message() const;
};

using PairCopyResult = std::expected<PairCopyOutcome, PairCopyError>;

// Copies a saved system, its .stg file and the .stt file of the same name, from
// one folder into another as one unit (commitPair): the destination never
// holds one file of the pair without the other, nor a mix of two pairs. A
// copy of the source pair cut short earlier is settled before it is read.
// Files of the same name in the destination are replaced. On failure the
// destination is left as it was.
PairCopyResult copyPair(
    const QString& sourceFolder, const QString& destinationFolder, const QString& columnFileName);

} // namespace ottavario
