#pragma once

#include "Journal.h"
#include "runtime/ErrorCause.h"
#include "runtime/FileSystem.h"

#include <optional>

// Whether a journal found at start-up was written here: by a transaction on this package folder
// and on a game folder that is still the one it worked on, with every step inside the two. A
// package folder may have been zipped after a crash and unpacked by another player, a game folder
// reinstalled, a Wine prefix changed, or the journal written by hand; acting on such a journal
// would delete or replace files that were never the transaction's.
class JournalOwnership final
{
public:
    explicit JournalOwnership(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    // Why the journal is not this installer's to act on; nothing when it is.
    ErrorOr<std::optional<ErrorCause>> mismatch(const JournalContents &contents);
    // Why the journal was not written in this package folder; nothing when it was.
    ErrorOr<std::optional<ErrorCause>> packageMismatch(const TransactionScope &scope);

private:
    ErrorOr<std::optional<ErrorCause>> gameMismatch(const TransactionScope &scope);
    ErrorOr<std::optional<ErrorCause>> stepMismatch(const TransactionScope &scope,
                                                    const std::vector<TransactionStep> &steps);

    FileSystem &m_fileSystem;
};
