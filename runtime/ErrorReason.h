#pragma once

// Why an operation failed, as the engine knows it; the dialogue puts it into words. A reason that
// needs names or paths to be told carries them in its own struct (see ErrorCause.h).
enum class ErrorReason {
    // The code says it all.
    None,
    // Something already stands at the name a file or folder was to be given; the code says it.
    NameTaken,
    // The system's own message.
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
    // The translation of a path on Linux.
    DriveNotMapped,
    LetterCaseTwins,
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
    NotAPlainFileLacking,
    GamesFoundElsewhere,
    // The installer's checks on its package and on an installation.
    PackageIncomplete,
    StatusFileNotInPackage,
    StatusFileEmpty,
    StatusNamesNoFolder,
    EditionMismatch,
    KeptArchiveMissing,
    EarlierInstallationIncomplete,
    PlacedFileUnreadable,
    KeptCopyMissing,
    KeptCopyDamaged,
    ManifestUnreadable,
    ManifestDamaged,
    ManifestNamesUnknownFile,
    ManifestNotAPlainFile,
    NoManifestServes,
    // A folder name that Windows would take for another, and why.
    NameWindowsRewrites,
    NameEmpty,
    NameOfDotsOnly,
    NameEndsInDotOrBlank,
    NameHoldsColon,
    NameHoldsForbiddenCharacter,
    NameOfDevice,
    ControlCharacterInFolderName,
    // Another procedure, running or cut short, stands in the way.
    AnotherInstallerWorking,
    JournalNotYetUndone,
    KeptJournalNamesFolder,
    KeptJournalFromThisPackage,
    KeptJournalGameFolderMoved,
    // Why a journal found at start-up is not this installer's to act on.
    JournalNotAPlainFile,
    JournalTooLarge,
    JournalNamesNoFolders,
    JournalFromOtherPackageFolder,
    PackageFolderReplaced,
    JournalGameFolderMoved,
    JournalGameFolderGone,
    JournalGameFolderMadeAnew,
    JournalNamesPathOutside,
    JournalNamesFileNotWritten,
    JournalReplacesFileNotOwn,
    JournalDeletesFileNotOwn,
    JournalBackupFolderLeadsOut,
    // A sentence the windows made themselves, about their own failure.
    Sentence,
};
