#pragma once

#include "ErrorReason.h"
#include "NestedCause.h"

#include <string>
#include <vector>

// The edition, as install/Edition.h defines it: the runtime carries it without knowing its values.
enum class Edition;

// The refusals of the installer's checks on a game folder, its package and an installation, with
// the names and paths their words need. Paths are as the player gave them or finds them.
namespace Cause {

struct NotAPlainFileLacking
{
    static constexpr ErrorReason reason = ErrorReason::NotAPlainFileLacking;
    // What the folder lacks because something other than a plain file stands at the name.
    NestedCause lacking;
    bool operator==(const NotAPlainFileLacking &) const = default;
};

struct GamesFoundElsewhere
{
    static constexpr ErrorReason reason = ErrorReason::GamesFoundElsewhere;
    struct Game
    {
        // As the player types it into the install dialog.
        std::string directory;
        Edition edition;
        bool operator==(const Game &) const = default;
    };
    // Why the folder given was refused.
    NestedCause refusal;
    Edition chosen;
    // Never empty: those with the edition chosen first.
    std::vector<Game> games;
    bool operator==(const GamesFoundElsewhere &) const = default;
};

struct PackageIncomplete
{
    static constexpr ErrorReason reason = ErrorReason::PackageIncomplete;
    // The name of the file missing from the package.
    std::string file;
    // As the player finds it; empty when unknown.
    std::string packageFolder;
    bool operator==(const PackageIncomplete &) const = default;
};

struct StatusFileNotInPackage
{
    static constexpr ErrorReason reason = ErrorReason::StatusFileNotInPackage;
    // As the player finds it; empty when unknown.
    std::string packageFolder;
    bool operator==(const StatusFileNotInPackage &) const = default;
};

struct EditionMismatch
{
    static constexpr ErrorReason reason = ErrorReason::EditionMismatch;
    Edition chosen;
    // The edition the game folder's installation was made for.
    Edition installed;
    bool operator==(const EditionMismatch &) const = default;
};

struct KeptArchiveMissing
{
    static constexpr ErrorReason reason = ErrorReason::KeptArchiveMissing;
    // The name of the game's archive that the backup folder lacks.
    std::string archive;
    bool operator==(const KeptArchiveMissing &) const = default;
};

struct EarlierInstallationIncomplete
{
    static constexpr ErrorReason reason = ErrorReason::EarlierInstallationIncomplete;
    // The names of the mod's files that the game folder lacks.
    std::vector<std::string> missing;
    bool operator==(const EarlierInstallationIncomplete &) const = default;
};

struct KeptCopyMissing
{
    static constexpr ErrorReason reason = ErrorReason::KeptCopyMissing;
    // The name of the game's file whose backup copy is missing.
    std::string file;
    bool operator==(const KeptCopyMissing &) const = default;
};

struct KeptCopyDamaged
{
    static constexpr ErrorReason reason = ErrorReason::KeptCopyDamaged;
    // The name of the game's file whose backup copy is not the one kept.
    std::string file;
    bool operator==(const KeptCopyDamaged &) const = default;
};

struct ManifestUnreadable
{
    static constexpr ErrorReason reason = ErrorReason::ManifestUnreadable;
    // Why the manifest could not be read.
    NestedCause why;
    bool operator==(const ManifestUnreadable &) const = default;
};

struct ManifestNamesUnknownFile
{
    static constexpr ErrorReason reason = ErrorReason::ManifestNamesUnknownFile;
    // The name the manifest lists, and the edition whose installation never handles it so.
    std::string name;
    Edition edition;
    bool operator==(const ManifestNamesUnknownFile &) const = default;
};

// No copy of the manifest can be read; what the player needs to finish the removal by hand.
struct NoManifestServes
{
    static constexpr ErrorReason reason = ErrorReason::NoManifestServes;
    // Why the copy that was damaged could not be read.
    NestedCause why;
    std::string backupFolder;
    std::string gameFolder;
    // The name of the manifest's copy in the package folder.
    std::string copyInPackage;
    // The names of the files found: the game's own and the player's own in the backup folder,
    // and the mod's in the game folder.
    std::vector<std::string> gameFiles;
    std::vector<std::string> playerFiles;
    std::vector<std::string> modFiles;
    bool operator==(const NoManifestServes &) const = default;
};

struct NameWindowsRewrites
{
    static constexpr ErrorReason reason = ErrorReason::NameWindowsRewrites;
    // The folder name in the path, and why Windows would take it for another.
    std::string name;
    NestedCause problem;
    bool operator==(const NameWindowsRewrites &) const = default;
};

} // namespace Cause
