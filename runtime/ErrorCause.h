#pragma once

#include <string>
#include <vector>

// Why an operation failed, as the engine knows it; the dialogue puts it into words.
enum class ErrorReason {
    // The code says it all.
    None,
    // Something already stands at the name a file or folder was to be given; the code says it.
    NameTaken,
    // The system's own message: the text.
    SystemMessage,
    // Something other than a plain file stands where one should.
    IsAFolder,
    IsANamedPipe,
    IsADevice,
    IsASocket,
    IsASymbolicLink,
    NotAPlainFile,
    // The file system.
    FolderMovedDuringWork,
    ParentFolderMissing,
    FileUnreadable,
    FolderNotEmpty,
    TooLargeForTextFile,
    // On Windows: another program holds the file open.
    FileHeldOpen,
    // A link at the name of the backup folder.
    BackupFolderIsALink,
    // The drive letter, and the Wine prefix without it.
    DriveNotMapped,
    // The two names.
    LetterCaseTwins,
    // The folder, and the system's message.
    FolderUnlistable,
    // The installer's checks on a game folder.
    GameFolderMissing,
    GameFolderIsAFile,
    PathNotFull,
    PathLacksDrive,
    PathStepsUp,
    IsThePackageFolder,
    NoExpandInFolder,
    NoExpand2InFolder,
    BackupFolderAlreadyThere,
    RelativeArchiveLink,
    // The cause beneath: what the folder lacks.
    NotAPlainFileLacking,
    // The cause beneath: the refusal; then the edition chosen, and for each game found its
    // directory and its edition.
    GamesFoundElsewhere,
    // The file's name, and the package folder as the player finds it (empty when unknown).
    PackageIncomplete,
    // The package folder as the player finds it (empty when unknown).
    StatusFileNotInPackage,
    StatusFileEmpty,
    StatusNamesNoFolder,
    // The edition chosen, and the edition the game folder holds.
    EditionMismatch,
    // The archive's name.
    KeptArchiveMissing,
    // The names of the files missing.
    EarlierInstallationIncomplete,
    PlacedFileUnreadable,
    // The file's name.
    KeptCopyMissing,
    KeptCopyDamaged,
    // The cause beneath: why the manifest could not be read.
    ManifestUnreadable,
    ManifestDamaged,
    // The name, and the edition.
    ManifestNamesUnknownFile,
    // The cause beneath: why Windows would take the name, given, for another.
    NameWindowsRewrites,
    NameEmpty,
    NameOfDotsOnly,
    NameEndsInDotOrBlank,
    NameHoldsColon,
    NameHoldsForbiddenCharacter,
    NameOfDevice,
    ControlCharacterInFolderName,
    AnotherInstallerWorking,
    JournalNotYetUndone,
    // The name the journal is kept under, and the package folder, the game directory and the
    // game folder on the host that it was written for.
    KeptJournalNamesFolder,
    // A kept journal of an unfinished transaction was written in this package folder for another
    // game folder, or under another Wine set-up: the name it is kept under, and the game directory
    // and the game folder on the host that it was written for.
    KeptJournalFromThisPackage,
    // A kept journal written here names this game folder, which was renamed or moved since: the
    // same details as KeptJournalNamesFolder.
    KeptJournalGameFolderMoved,
    ManifestNotAPlainFile,
    // No copy of the manifest can be read. The cause beneath, then the game's own files and the
    // player's own files found in the backup folder, then the mod's files found in the game folder
    // (their names); the backup folder, the game folder, and the name of the copy in the package
    // folder.
    NoManifestServes,
    GameFilesInBackup,
    PlayerFilesInBackup,
    ModFilesInGame,
    // Why a journal found at start-up is not this installer's to act on.
    JournalNotAPlainFile,
    JournalTooLarge,
    JournalNamesNoFolders,
    // The package folder it was written in, and this package's folder.
    JournalFromOtherPackageFolder,
    // This package's folder.
    PackageFolderReplaced,
    // The game directory it names, and the game folder on the host then and now.
    JournalGameFolderMoved,
    // The game folder on the host.
    JournalGameFolderGone,
    JournalGameFolderMadeAnew,
    // The path.
    JournalNamesPathOutside,
    JournalNamesFileNotWritten,
    JournalReplacesFileNotOwn,
    JournalDeletesFileNotOwn,
    // The backup folder.
    JournalBackupFolderLeadsOut,
    // A sentence the windows made themselves, about their own failure: the text.
    Sentence,
};

struct ErrorCause
{
    ErrorCause() = default;
    ErrorCause(ErrorReason why, std::vector<std::string> names = {},
               std::vector<ErrorCause> beneath = {})
        : reason(why), details(std::move(names)), underlying(std::move(beneath))
    {}

    ErrorReason reason = ErrorReason::None;
    // The names, paths and texts the reason needs, in the order listed with it.
    std::vector<std::string> details;
    // For a reason that wraps another cause.
    std::vector<ErrorCause> underlying;

    bool operator==(const ErrorCause &) const = default;
};
