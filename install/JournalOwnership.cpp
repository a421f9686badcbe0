#include "JournalOwnership.h"

#include "EditedFileName.h"
#include "GameFolder.h"
#include "InstallationManifest.h"
#include "PackageFolder.h"
#include "runtime/Text.h"
#include "StatusFile.h"
#include "WindowsFileName.h"

#include <cctype>
#include <optional>
#include <string_view>

namespace {

using Mismatch = ErrorOr<std::optional<ErrorCause>>;

Mismatch mismatchFor(ErrorCause why)
{
    return std::optional<ErrorCause>(std::move(why));
}

Mismatch noMismatch()
{
    return std::optional<ErrorCause>();
}

// A name that stays in the folder it is joined to: no separator, no drive, no step up, and nothing
// that Windows would rewrite into another name ("...", "Rules.ini.", "NUL", "Rules.ini:stream").
bool isPlainName(std::string_view name)
{
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos &&
           WindowsFileName::isTakenAsWritten(name);
}

bool isNamed(std::string_view name, const std::string &expected)
{
    return Text::equalsIgnoringCase(name, expected);
}

// The text after the digits it begins with and the dash that follows them; nothing unless there
// are exactly that many digits (any number of them for a count of 0).
std::optional<std::string_view> afterField(std::string_view text, std::size_t count,
                                           int (*isDigit)(int))
{
    std::size_t digits = 0;
    while (digits < text.size() && isDigit(static_cast<unsigned char>(text[digits])))
        ++digits;
    if (digits == 0 || (count != 0 && digits != count) || text.substr(digits, 1) != "-")
        return std::nullopt;
    return text.substr(digits + 1);
}

bool isWrittenName(std::string_view name);

// How the transaction names what it keeps aside: the prefix, eight hexadecimal digits, a number,
// then the name of the file that was there, each part ended by a dash.
bool isHiddenName(std::string_view name)
{
    if (!name.starts_with(TransactionStep::HiddenNamePrefix))
        return false;
    const std::optional<std::string_view> afterTag =
        afterField(name.substr(TransactionStep::HiddenNamePrefix.size()), 8, std::isxdigit);
    const std::optional<std::string_view> original =
        afterTag ? afterField(*afterTag, 0, std::isdigit) : std::nullopt;
    return original && !original->starts_with(TransactionStep::HiddenNamePrefix) &&
           isWrittenName(*original);
}

// The names the procedures give files and folders, in any letter case.
bool isWrittenName(std::string_view name)
{
    const std::string text(name);
    return InstallationManifest::isKnownName(text) || isNamed(name, StatusFile::FileName) ||
           isNamed(name, InstallationManifest::FileName) ||
           isNamed(name, GameFolder::BackupFolderName) || isHiddenName(name) ||
           EditedFileName::isOne(name);
}

std::string backupPrefix()
{
    return GameFolder::BackupFolderName + '\\';
}

// The name of a file in the game folder, its backup folder included, as the step gives it;
// nothing for a path anywhere else.
std::optional<std::string_view> nameInGameFolder(const TransactionScope &scope,
                                                 const std::string &path)
{
    const std::string &directory = scope.gameDirectory;
    if (!(directory.ends_with('\\') || directory.ends_with('/')) || !path.starts_with(directory))
        return std::nullopt;
    return std::string_view(path).substr(directory.size());
}

bool isInBackupFolder(const TransactionScope &scope, const std::string &path)
{
    const std::optional<std::string_view> name = nameInGameFolder(scope, path);
    return name && name->starts_with(backupPrefix()) &&
           isPlainName(name->substr(backupPrefix().size()));
}

// The status file and the package's own files are named plainly, relative to the package folder.
bool isInside(const TransactionScope &scope, const std::string &path)
{
    const std::optional<std::string_view> name = nameInGameFolder(scope, path);
    return isPlainName(path) || (name && isPlainName(*name)) || isInBackupFolder(scope, path);
}

std::string_view nameOf(const std::string &path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return std::string_view(path).substr(separator == std::string::npos ? 0 : separator + 1);
}

// Where a step of each kind may act when it is undone: a folder made or removed is only ever the
// backup folder, a file created only the manifest, a file rewritten only the status file. Any
// other target could make the undo delete or replace a file the transaction never wrote.
bool isTargetOfItsKind(const TransactionScope &scope, const TransactionStep &step)
{
    switch (step.kind) {
    case TransactionStep::Kind::MakeDirectory:
    case TransactionStep::Kind::RemoveDirectory:
        return step.target == GameFolder(scope.gameDirectory).backupFolder();
    case TransactionStep::Kind::Create:
        return isNamed(nameOf(step.target), InstallationManifest::FileName);
    case TransactionStep::Kind::Rewrite:
        return isNamed(step.target, StatusFile::FileName);
    default:
        return true;
    }
}

// The file that undoing the step, or dropping what it kept aside, deletes or replaces for good:
// always one under a hidden name of the transaction's own.
std::string discardedBy(const TransactionStep &step)
{
    switch (step.kind) {
    case TransactionStep::Kind::Copy:
        return step.target;
    case TransactionStep::Kind::SetAside:
    case TransactionStep::Kind::Rewrite:
        return step.aside;
    default:
        return std::string();
    }
}

bool isHidden(const std::string &path)
{
    return isHiddenName(nameOf(path));
}

std::vector<std::string> pathsOf(const TransactionStep &step)
{
    std::vector<std::string> paths;
    for (const std::string &path : {step.source, step.target, step.aside})
        if (!path.empty())
            paths.push_back(path);
    return paths;
}

} // namespace

ErrorOr<std::optional<ErrorCause>> JournalOwnership::mismatch(const JournalContents &contents)
{
    if (!contents.scope)
        return mismatchFor(ErrorReason::JournalNamesNoFolders);
    if (std::optional<ErrorCause> why = TRY(packageMismatch(*contents.scope)))
        return why;
    if (std::optional<ErrorCause> why = TRY(gameMismatch(*contents.scope)))
        return why;
    return stepMismatch(*contents.scope, contents.steps);
}

// A package folder moved or renamed as a whole is still the one the journal was written in: its
// steps name the status file and the package's files relative to it.
ErrorOr<std::optional<ErrorCause>> JournalOwnership::packageMismatch(const TransactionScope &scope)
{
    if (TRY(m_fileSystem.identity(PackageFolder::Itself)).isSameAs(scope.packageIdentity))
        return noMismatch();
    const std::filesystem::path here = TRY(m_fileSystem.hostPath(PackageFolder::Itself));
    if (here != scope.packageFolder)
        return mismatchFor(Cause::JournalFromOtherPackageFolder{Text::utf8(scope.packageFolder),
                                                                Text::utf8(here)});
    return mismatchFor(Cause::PackageFolderReplaced{Text::utf8(here)});
}

// The steps name the game's files through the game directory as the player gave it; where that
// leads to the very folder the journal names, reached through another Wine prefix's drive
// mapping or a link, the steps act on it as they are.
ErrorOr<std::optional<ErrorCause>> JournalOwnership::gameMismatch(const TransactionScope &scope)
{
    const std::string folder = GameFolder(scope.gameDirectory).folder();
    const std::filesystem::path now = TRY(m_fileSystem.hostPath(folder));
    const bool there = TRY(m_fileSystem.entryKind(folder)) == EntryKind::Directory;
    if (there && TRY(m_fileSystem.identity(folder)).isSameAs(scope.gameIdentity))
        return noMismatch();
    if (now != scope.gameFolder)
        return mismatchFor(Cause::JournalGameFolderMoved{
            scope.gameDirectory, Text::utf8(scope.gameFolder), Text::utf8(now)});
    if (!there)
        return mismatchFor(Cause::JournalGameFolderGone{Text::utf8(scope.gameFolder)});
    return mismatchFor(Cause::JournalGameFolderMadeAnew{Text::utf8(scope.gameFolder)});
}

ErrorOr<std::optional<ErrorCause>>
JournalOwnership::stepMismatch(const TransactionScope &scope,
                               const std::vector<TransactionStep> &steps)
{
    bool usesBackupFolder = false;
    for (const TransactionStep &step : steps) {
        for (const std::string &path : pathsOf(step)) {
            if (!isInside(scope, path))
                return mismatchFor(Cause::JournalNamesPathOutside{path});
            if (!isWrittenName(nameOf(path)))
                return mismatchFor(Cause::JournalNamesFileNotWritten{path});
            usesBackupFolder = usesBackupFolder || isInBackupFolder(scope, path);
        }
        if (!isTargetOfItsKind(scope, step))
            return mismatchFor(Cause::JournalReplacesFileNotOwn{step.target});
        if (const std::string discarded = discardedBy(step);
            !discarded.empty() && !isHidden(discarded))
            return mismatchFor(Cause::JournalDeletesFileNotOwn{discarded});
    }
    if (!usesBackupFolder)
        return noMismatch();
    // A link in place of the backup folder would lead the steps out of the game folder.
    const GameFolder game(scope.gameDirectory);
    const std::string backupFolder = game.backupFolder();
    if (TRY(m_fileSystem.hostPath(backupFolder)).parent_path() !=
        TRY(m_fileSystem.hostPath(game.folder())))
        return mismatchFor(Cause::JournalBackupFolderLeadsOut{backupFolder});
    return noMismatch();
}
