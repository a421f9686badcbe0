#pragma once

#include "runtime/FileSystem.h"
#include "runtime/InstanceLock.h"

#include <filesystem>
#include <string>

// The two folders a transaction works in, as they were on the host when it began: the package
// folder, which holds the status file and the journal, and the game folder. The journal opens
// with them, so that it is acted on only where it was written: not in a copy of the package, not
// under another Wine prefix, not in a game folder made anew since.
struct TransactionScope
{
    std::filesystem::path packageFolder;
    FileIdentity packageIdentity;
    // As the player gave it, with its final separator: the steps name files by joining to it.
    std::string gameDirectory;
    std::filesystem::path gameFolder;
    FileIdentity gameIdentity;

    static ErrorOr<TransactionScope> resolve(FileSystem &fileSystem,
                                             const std::string &gameDirectory);
    // Held while a transaction or its recovery works on the game folder, so that an installer
    // started from another copy of the package cannot work on it at the same time.
    ErrorOr<InstanceLock> lockGameFolder() const;

    bool operator==(const TransactionScope &) const = default;
};
