#pragma once

#include "ErrorReason.h"

#include <string>

// Journals that stand in the way of a procedure, and why a journal found at start-up is not this
// installer's to act on. Host paths are in UTF-8; game directories as the player typed them.
namespace Cause {

// A kept journal of a procedure cut short names the game folder asked for.
struct KeptJournalNamesFolder
{
    static constexpr ErrorReason reason = ErrorReason::KeptJournalNamesFolder;
    // The name the journal is kept under.
    std::string journal;
    // What it was written for: the package folder, the game directory and the game folder, the
    // last two on the host.
    std::string packageFolder;
    std::string gameDirectory;
    std::string gameFolder;
    bool operator==(const KeptJournalNamesFolder &) const = default;
};

// A kept journal written here names this game folder, which was renamed or moved since.
struct KeptJournalGameFolderMoved
{
    static constexpr ErrorReason reason = ErrorReason::KeptJournalGameFolderMoved;
    // The name the journal is kept under, and the game directory and game folder on the host
    // that it was written for.
    std::string journal;
    std::string gameDirectory;
    std::string gameFolder;
    bool operator==(const KeptJournalGameFolderMoved &) const = default;
};

// A kept journal of a procedure cut short was written in this package folder for another game
// folder, or under another Wine set-up.
struct KeptJournalFromThisPackage
{
    static constexpr ErrorReason reason = ErrorReason::KeptJournalFromThisPackage;
    // The name the journal is kept under, and the game directory and game folder on the host
    // that it was written for.
    std::string journal;
    std::string gameDirectory;
    std::string gameFolder;
    bool operator==(const KeptJournalFromThisPackage &) const = default;
};

struct JournalFromOtherPackageFolder
{
    static constexpr ErrorReason reason = ErrorReason::JournalFromOtherPackageFolder;
    // The package folder the journal was written in, and this package's folder.
    std::string writtenIn;
    std::string packageFolder;
    bool operator==(const JournalFromOtherPackageFolder &) const = default;
};

struct PackageFolderReplaced
{
    static constexpr ErrorReason reason = ErrorReason::PackageFolderReplaced;
    // This package's folder.
    std::string packageFolder;
    bool operator==(const PackageFolderReplaced &) const = default;
};

struct JournalGameFolderMoved
{
    static constexpr ErrorReason reason = ErrorReason::JournalGameFolderMoved;
    // The game directory the journal names, and the game folder on the host then and now.
    std::string gameDirectory;
    std::string then;
    std::string now;
    bool operator==(const JournalGameFolderMoved &) const = default;
};

struct JournalGameFolderGone
{
    static constexpr ErrorReason reason = ErrorReason::JournalGameFolderGone;
    // The game folder on the host.
    std::string gameFolder;
    bool operator==(const JournalGameFolderGone &) const = default;
};

struct JournalGameFolderMadeAnew
{
    static constexpr ErrorReason reason = ErrorReason::JournalGameFolderMadeAnew;
    // The game folder on the host.
    std::string gameFolder;
    bool operator==(const JournalGameFolderMadeAnew &) const = default;
};

struct JournalNamesPathOutside
{
    static constexpr ErrorReason reason = ErrorReason::JournalNamesPathOutside;
    // The path a step names, as the journal writes it.
    std::string path;
    bool operator==(const JournalNamesPathOutside &) const = default;
};

struct JournalNamesFileNotWritten
{
    static constexpr ErrorReason reason = ErrorReason::JournalNamesFileNotWritten;
    // The path a step names, as the journal writes it.
    std::string path;
    bool operator==(const JournalNamesFileNotWritten &) const = default;
};

struct JournalReplacesFileNotOwn
{
    static constexpr ErrorReason reason = ErrorReason::JournalReplacesFileNotOwn;
    // The path the step would delete or replace.
    std::string path;
    bool operator==(const JournalReplacesFileNotOwn &) const = default;
};

struct JournalDeletesFileNotOwn
{
    static constexpr ErrorReason reason = ErrorReason::JournalDeletesFileNotOwn;
    // The path the step would delete.
    std::string path;
    bool operator==(const JournalDeletesFileNotOwn &) const = default;
};

struct JournalBackupFolderLeadsOut
{
    static constexpr ErrorReason reason = ErrorReason::JournalBackupFolderLeadsOut;
    std::string backupFolder;
    bool operator==(const JournalBackupFolderLeadsOut &) const = default;
};

} // namespace Cause
