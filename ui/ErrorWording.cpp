#include "ErrorWording.h"

#include "install/Edition.h"
#include "install/Journal.h"
#include "install/StatusFile.h"
#include "runtime/Text.h"

#include <vector>

namespace {

using ErrorWording::quoted;

std::string wordsFor(const ErrorCause &cause, RuntimeErrorCode code);

const std::string RetryNote =
    "The installer will try again to put this right when it is next started.";

// What is left on disk when the undo of a step failed.
std::string undoneStep(const ChangesLeft::StuckUndo &stuck)
{
    if (!stuck.kind)
        return "The journal " + quoted(Journal::FileName) + " could not record the undoing";
    switch (*stuck.kind) {
    case StepKind::MakeDirectory:
        return "The folder " + quoted(stuck.target) + " could not be removed again";
    case StepKind::RemoveDirectory:
        return "The folder " + quoted(stuck.target) + " could not be made again";
    case StepKind::Move:
        return quoted(stuck.target) + " could not be moved back to " + quoted(stuck.source);
    case StepKind::Copy:
        return "The copy " + quoted(stuck.target) + " could not be deleted";
    case StepKind::SetAside:
        return quoted(stuck.target) + " could not be put back; it is kept as " +
               quoted(stuck.aside);
    case StepKind::Rewrite:
        return quoted(stuck.target) +
               " could not be given back its former content, which is kept as " +
               quoted(stuck.aside);
    case StepKind::Create:
        return "The new file " + quoted(stuck.target) + " could not be deleted";
    }
    return {};
}

// "the folder the installer was started from, C:\BEXOM"; without the path when it is unknown.
std::string packageFolder(const std::string &shownPath)
{
    const std::string folder = "the folder the installer was started from";
    return shownPath.empty() ? folder : folder + ", " + shownPath;
}

// Each game found with the expansion it has and the option that the player chooses for it.
std::string expansionOf(Edition found)
{
    if (found == Edition::Aftermath)
        return "with Aftermath: choose the Aftermath option";
    return "with Counterstrike only: choose the Counterstrike option";
}

std::string gamesFoundList(const Cause::GamesFoundElsewhere &found)
{
    std::vector<std::string> lines;
    for (const Cause::GamesFoundElsewhere::Game &game : found.games)
        lines.push_back(game.directory + " (" + expansionOf(game.edition) + ")");
    return "Red Alert was found in:\n" + Text::join(lines, "\n");
}

// "A", "A and B", "A, B and C".
std::string listed(const std::vector<std::string> &names)
{
    if (names.size() < 2)
        return Text::join(names, "");
    const std::vector<std::string> allButLast(names.begin(), names.end() - 1);
    return Text::join(allButLast, ", ") + " and " + names.back();
}

// The words for a reason that needs nothing but itself; empty when the code says it all.
std::string bareWords(ErrorReason reason)
{
    switch (reason) {
    case ErrorReason::IsAFolder:
        return "This is a folder, not a file.";
    case ErrorReason::IsANamedPipe:
        return "This is a named pipe (FIFO), not a plain file.";
    case ErrorReason::IsADevice:
        return "This is a device, not a plain file.";
    case ErrorReason::IsASocket:
        return "This is a socket, not a plain file.";
    case ErrorReason::IsASymbolicLink:
        return "This is a symbolic link, not a plain file.";
    case ErrorReason::NotAPlainFile:
        return "This is not a plain file.";
    case ErrorReason::FolderMovedDuringWork:
        return "The folder was moved, or replaced by a link, while BEXOM was working in it. BEXOM "
               "follows no such change, and does nothing in whatever now stands at its name.";
    case ErrorReason::ParentFolderMissing:
        return "The folder that should hold it does not exist.";
    case ErrorReason::FileUnreadable:
        return "The file could not be read.";
    case ErrorReason::FolderNotEmpty:
        return "The folder is not empty.";
    case ErrorReason::TooLargeForTextFile:
        return "The file is too large to be a text file of the installer.";
    case ErrorReason::FileHeldOpen:
        return "Another program has the file open; the game may be running. Close it and try "
               "again.";
    case ErrorReason::BackupFolderIsALink:
        return "This is a link (a symbolic link, or on Windows a junction) that leads to another "
               "folder. BEXOM's backup folder must be a folder of its own inside the game folder, "
               "so BEXOM does nothing through it. Remove the link, or put back the folder it "
               "replaced.";
    case ErrorReason::GameFolderMissing:
        return "The game folder does not exist.";
    case ErrorReason::GameFolderIsAFile:
        return "This is a file, not the game folder.";
    case ErrorReason::PathNotFull:
        return "The game folder must be given as a full path, such as C:\\WESTWOOD\\REDALERT\\.";
    case ErrorReason::PathLacksDrive:
        return "The game folder's path begins with a separator but names no drive, so Windows "
               "would look for it on whichever drive the installer was started from. Type the "
               "folder with its drive, such as C:\\WESTWOOD\\REDALERT\\.";
    case ErrorReason::PathStepsUp:
        return "The game folder's path holds \"..\", which leads to the folder above the one "
               "before it. Type the game folder itself, such as C:\\WESTWOOD\\REDALERT\\.";
    case ErrorReason::IsThePackageFolder:
        return "This is the folder of the BEXOM package, not the game folder.";
    case ErrorReason::NoExpandInFolder:
        return "There is no Expand.mix in this folder, so it is not the folder of Red Alert with "
               "an expansion.";
    case ErrorReason::NoExpand2InFolder:
        return "There is no Expand2.mix in this folder, so Aftermath is not installed there. For "
               "a game without Aftermath, choose the Counterstrike option.";
    case ErrorReason::BackupFolderAlreadyThere:
        return "BEXOM's backup folder is already there, but this package's status file says "
               "BEXOM is not installed, so Uninstall will not use the folder either. If BEXOM was "
               "installed from another copy of its package, uninstall it from there. Otherwise "
               "move the game's archives in the folder back into the game folder, replacing those "
               "there, delete the folder and install again.";
    case ErrorReason::RelativeArchiveLink:
        return "This is a symbolic link whose target is named relative to the game folder; moved "
               "into BEXOM's backup folder it would point elsewhere. Replace it with the file "
               "itself or with a link that names the full path.";
    case ErrorReason::StatusFileEmpty:
        return "The status file is empty.";
    case ErrorReason::StatusNamesNoFolder:
        return "The status file names no game folder.";
    case ErrorReason::PlacedFileUnreadable:
        return "BEXOM could not read its file to tell whether you changed it: another program may "
               "have it open (the game may be running), or it may not be readable. Close the game "
               "and try again.";
    case ErrorReason::ManifestNotAPlainFile:
        return "it is not a plain file";
    case ErrorReason::NameEmpty:
        return "it is empty";
    case ErrorReason::NameOfDotsOnly:
        return "it is made of dots only, which Windows takes as this folder or the one above";
    case ErrorReason::NameEndsInDotOrBlank:
        return "it ends in a dot or a blank, which Windows drops";
    case ErrorReason::NameHoldsColon:
        return "it holds a colon, which Windows takes as a drive or a stream inside a file";
    case ErrorReason::NameHoldsForbiddenCharacter:
        return "it holds a character that Windows allows in no name (a control character or one "
               "of < > \" | ? *)";
    case ErrorReason::NameOfDevice:
        return "it is the name of a device (such as CON, NUL, AUX or COM1), which Windows opens "
               "instead of a file";
    case ErrorReason::ControlCharacterInFolderName:
        return "The game folder's name holds a line break or another control character, which no "
               "folder of the game has. Type the folder again, such as C:\\WESTWOOD\\REDALERT\\.";
    case ErrorReason::AnotherInstallerWorking:
        return "Another BEXOM installer is working on this game folder. Wait until it has "
               "finished, then try again.";
    case ErrorReason::JournalNotYetUndone:
        return "An earlier installation or removal of BEXOM was cut short and has not been undone "
               "yet. Start the installer again: it puts things right before anything else.";
    case ErrorReason::ManifestDamaged:
        return "BEXOM's list of the files it installed is damaged, so the removal cannot tell what "
               "to take out.";
    default:
        return {};
    }
}

// One function per kind of cause, each reading the fields it needs; std::visit picks it.
std::string words(const ReasonOnly &cause, RuntimeErrorCode)
{
    return bareWords(cause.reason);
}

std::string words(const Cause::SystemMessage &message, RuntimeErrorCode)
{
    return message.text;
}

std::string words(const Cause::Sentence &sentence, RuntimeErrorCode)
{
    return sentence.text;
}

std::string words(const Cause::DriveNotMapped &drive, RuntimeErrorCode)
{
    return "Drive " + drive.letter + ": is not mapped in the Wine prefix " + drive.prefix + ".";
}

std::string words(const Cause::LetterCaseTwins &twins, RuntimeErrorCode)
{
    return "The folder holds both " + quoted(twins.first) + " and " + quoted(twins.second) +
           ", which differ only in letter case; the installer cannot tell which one is "
           "meant. Rename or remove one of them.";
}

std::string words(const Cause::FolderUnlistable &unlistable, RuntimeErrorCode)
{
    return "The folder " + quoted(unlistable.folder) +
           " could not be read to match the letter case of its names: " + unlistable.message + ".";
}

std::string words(const Cause::NotAPlainFileLacking &notPlain, RuntimeErrorCode code)
{
    return "This is not a plain file. " + wordsFor(*notPlain.lacking, code);
}

std::string words(const Cause::GamesFoundElsewhere &found, RuntimeErrorCode code)
{
    return wordsFor(*found.refusal, code) + "\n" + gamesFoundList(found);
}

std::string words(const Cause::PackageIncomplete &incomplete, RuntimeErrorCode)
{
    const std::string missing =
        incomplete.file == StatusFile::FileName ? "the status file" : incomplete.file;
    return "The BEXOM package is incomplete: " + missing + " must stand in " +
           packageFolder(incomplete.packageFolder) + ".";
}

std::string words(const Cause::StatusFileNotInPackage &notThere, RuntimeErrorCode)
{
    return "The status file of the BEXOM package must stand in " +
           packageFolder(notThere.packageFolder) +
           ". Start the installer from the folder that holds the BEXOM package.";
}

std::string words(const Cause::EditionMismatch &mismatch, RuntimeErrorCode)
{
    return "The status file says BEXOM was installed for " + editionName(mismatch.chosen) +
           ", but the game folder holds the " + editionName(mismatch.installed) + " installation.";
}

std::string words(const Cause::KeptArchiveMissing &missing, RuntimeErrorCode)
{
    return "BEXOM's backup folder does not hold the game's own " + missing.archive +
           ", so it could not be given back.";
}

std::string words(const Cause::EarlierInstallationIncomplete &incomplete, RuntimeErrorCode)
{
    return "BEXOM's backup folder holds no list of the files BEXOM installed, and the game "
           "folder lacks " +
           Text::join(incomplete.missing, ", ") +
           ", which an earlier version's installation leaves, so the removal cannot tell what "
           "to take out. If you deleted them yourself, copy them back from the BEXOM package "
           "and try again.";
}

std::string words(const Cause::KeptCopyMissing &missing, RuntimeErrorCode)
{
    return "BEXOM's backup copy of the game's own " + missing.file +
           " is missing, so the game could not be given back.";
}

std::string words(const Cause::KeptCopyDamaged &damaged, RuntimeErrorCode)
{
    return "BEXOM's backup copy of the game's own " + damaged.file +
           " is damaged (it is not the file the installation kept), so the game could not be "
           "given back.";
}

std::string words(const Cause::ManifestUnreadable &unreadable, RuntimeErrorCode code)
{
    std::string why = wordsFor(*unreadable.why, code);
    if (why.empty())
        why = ErrorWording::description(code);
    return "BEXOM's list of the files it installed could not be read (" + why +
           "), so the removal cannot tell what to take out.";
}

std::string words(const Cause::ManifestNamesUnknownFile &unknown, RuntimeErrorCode)
{
    return "BEXOM's list of the files it installed names " + quoted(unknown.name) +
           ", which is not a file BEXOM's installation for " + editionName(unknown.edition) +
           " handles in that way, so the list cannot be trusted.";
}

// Followed word for word, the way by hand leaves the game folder as it was before the
// installation: the mod's files go first, so that none stands in the way of a game's file whose
// name differs from it only in letter case, then everything in the backup folder goes back.
std::string words(const Cause::NoManifestServes &way, RuntimeErrorCode code)
{
    std::vector<std::string> placed;
    for (const std::string &name : way.modFiles)
        placed.push_back(quoted(name));
    std::vector<std::string> kinds;
    if (!way.gameFiles.empty())
        kinds.push_back("the game's own " + listed(way.gameFiles));
    if (!way.playerFiles.empty())
        kinds.push_back("your own " + listed(way.playerFiles));
    std::string text = wordsFor(*way.why, code) + " To finish the removal by hand,";
    if (!placed.empty())
        text += " delete BEXOM's files " + listed(placed) + " in the game folder " +
                quoted(way.gameFolder) +
                " (first copy elsewhere any you changed and want to keep);";
    if (!kinds.empty())
        text += " move the files in " + quoted(way.backupFolder) + ", " + listed(kinds) +
                ", back into the game folder " + quoted(way.gameFolder) + ";";
    return text + " then delete the folder " + quoted(way.backupFolder) + " and " +
           quoted(way.copyInPackage) + " in the package folder, and write \"" +
           StatusFile::Uninstalled + "\" as the first line of " + StatusFile::FileName + ".";
}

std::string words(const Cause::NameWindowsRewrites &rewritten, RuntimeErrorCode code)
{
    return "The game folder's path holds the name " + quoted(rewritten.name) +
           ", which Windows does not take as written: " + wordsFor(*rewritten.problem, code) +
           ". Type the folder as it is named, such as C:\\WESTWOOD\\REDALERT\\.";
}

std::string words(const Cause::KeptJournalNamesFolder &kept, RuntimeErrorCode)
{
    return "An installation or removal of BEXOM on this game folder was cut short, and its "
           "journal, kept as " +
           quoted(kept.journal) +
           ", could not be undone here: it was written in the package "
           "folder " +
           quoted(kept.packageFolder) + " for the game folder " + quoted(kept.gameDirectory) +
           " (" + quoted(kept.gameFolder) +
           "). Start the installer from that package folder, under the same Wine set-up if it "
           "ran under Wine, and it will put the game folder right.";
}

std::string words(const Cause::KeptJournalFromThisPackage &kept, RuntimeErrorCode)
{
    return "An installation or removal of BEXOM from this package folder was cut short, and "
           "its journal, kept as " +
           quoted(kept.journal) + ", has not been undone yet: it was written for the game folder " +
           quoted(kept.gameDirectory) + " (" + quoted(kept.gameFolder) +
           "), under another Wine set-up or while that folder was elsewhere. Until it is "
           "undone, no installation or removal is made from this package "
           "folder, whose status file and manifest that journal may still have to put back. "
           "Start the installer from this package folder under the Wine set-up it ran under, "
           "with that game folder where it was, and it will put it right.";
}

std::string words(const Cause::KeptJournalGameFolderMoved &kept, RuntimeErrorCode)
{
    return "An installation or removal of BEXOM on this game folder was cut short, and its "
           "journal, kept as " +
           quoted(kept.journal) + ", could not be undone: it was written for the game folder " +
           quoted(kept.gameDirectory) + " (" + quoted(kept.gameFolder) +
           "), which has been renamed or moved since. Rename or move the game folder back to " +
           quoted(kept.gameFolder) +
           " and start the installer again: it will put the game folder right.";
}

// Why a journal found at start-up was set aside is told by the recovery notice, never as the
// cause of an error. Any other cause without words of its own here does not compile.
constexpr bool isJournalMismatch(ErrorReason reason)
{
    switch (reason) {
    case ErrorReason::JournalFromOtherPackageFolder:
    case ErrorReason::PackageFolderReplaced:
    case ErrorReason::JournalGameFolderMoved:
    case ErrorReason::JournalGameFolderGone:
    case ErrorReason::JournalGameFolderMadeAnew:
    case ErrorReason::JournalNamesPathOutside:
    case ErrorReason::JournalNamesFileNotWritten:
    case ErrorReason::JournalReplacesFileNotOwn:
    case ErrorReason::JournalDeletesFileNotOwn:
    case ErrorReason::JournalBackupFolderLeadsOut:
        return true;
    default:
        return false;
    }
}

template <typename Details>
concept JournalMismatch = isJournalMismatch(Details::reason);

template <JournalMismatch Details> std::string words(const Details &, RuntimeErrorCode)
{
    return {};
}

std::string wordsFor(const ErrorCause &cause, RuntimeErrorCode code)
{
    return std::visit([code](const auto &details) { return words(details, code); },
                      cause.details());
}

std::string journalLeft(const ChangesLeft::JournalLeft &journal)
{
    const std::string before = journal.after == ChangesLeft::JournalLeft::After::WorkDone
                                   ? "The work is done"
                                   : "Everything is as before";
    return before + ", but the journal " + quoted(Journal::FileName) +
           " could not be deleted: " + ErrorWording::description(journal.failure) +
           ". The installer will clear it when it is next started.";
}

// The installer's own temporary names (".bexom-aside-7d6f759b-3-Expand2.mix") mean nothing to
// the player: the folder that holds one is named instead.
std::string shownPath(const std::string &path)
{
    const std::size_t separator = path.find_last_of("\\/");
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    if (path.compare(nameStart, 7, ".bexom-") != 0)
        return path;
    return path.substr(0, nameStart);
}

// What happened, with what to do where the player can do something.
std::string leadSentence(const RuntimeError &error)
{
    const std::string why = ErrorWording::cause(error);
    switch (error.code()) {
    case RuntimeErrorCode::DiskFull:
        return "The disk is full. Make room on it, then try again.";
    case RuntimeErrorCode::PermissionDenied:
        if (why.empty() || error.cause().reason() == ErrorReason::SystemMessage)
            return "BEXOM was not allowed to change this folder or file. Let your user change it, "
                   "or start the installer as a user who may, then try again.";
        break;
    default:
        break;
    }
    return why.empty() ? ErrorWording::description(error.code()) + "." : why;
}

} // namespace

namespace ErrorWording {

std::string quoted(const std::string &text)
{
    return '"' + text + '"';
}

std::string description(RuntimeErrorCode code)
{
    switch (code) {
    case RuntimeErrorCode::InvalidProcedureCall:
        return "Invalid procedure call or argument";
    case RuntimeErrorCode::OutOfMemory:
        return "Out of memory";
    case RuntimeErrorCode::InternalError:
        return "Internal error";
    case RuntimeErrorCode::FileNotFound:
        return "File not found";
    case RuntimeErrorCode::FileAlreadyExists:
        return "File already exists";
    case RuntimeErrorCode::DiskFull:
        return "Disk full";
    case RuntimeErrorCode::InputPastEndOfFile:
        return "Input past end of file";
    case RuntimeErrorCode::PermissionDenied:
        return "Permission denied";
    case RuntimeErrorCode::PathFileAccessError:
        return "Path/File access error";
    case RuntimeErrorCode::PathNotFound:
        return "Path not found";
    }
    return {};
}

std::string cause(const RuntimeError &error)
{
    return wordsFor(error.cause(), error.code());
}

std::string report(const RuntimeError &error)
{
    // The games found elsewhere come after the folder given, which the sentence is about.
    const auto *found = error.cause().detailsAs<Cause::GamesFoundElsewhere>();
    std::string text = found ? wordsFor(*found->refusal, error.code()) : leadSentence(error);
    if (const std::string path = shownPath(error.path()); !path.empty())
        text += "\n" + path;
    if (found)
        text += "\n\n" + gamesFoundList(*found);
    return text;
}

std::string codeLine(const RuntimeError &error)
{
    return "Run-time error '" + std::to_string(error.number()) + "': " + description(error.code());
}

std::string changesLeft(const ChangesLeft &changes)
{
    if (changes.journalLeft)
        return journalLeft(*changes.journalLeft);
    std::vector<std::string> lines;
    if (changes.origin == ChangesLeft::Origin::InterruptedProcedure)
        lines.push_back("The last installation or removal of BEXOM was interrupted, and not all "
                        "of it could be undone.");
    if (const std::optional<ChangesLeft::StuckUndo> &stuck = changes.stuckUndo) {
        lines.push_back(undoneStep(*stuck) + ": " + description(stuck->failure));
        if (stuck->stepsStillDone > 0)
            lines.push_back(std::to_string(stuck->stepsStillDone) +
                            " earlier changes are still in place.");
    }
    for (const ChangesLeft::AsideLeft &aside : changes.asidesLeft)
        lines.push_back("The work is done, but the former file kept as " + quoted(aside.path) +
                        " could not be deleted: " + description(aside.failure));
    lines.push_back(RetryNote);
    return Text::join(lines, "\n");
}

} // namespace ErrorWording
