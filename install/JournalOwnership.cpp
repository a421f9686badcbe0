#include "JournalOwnership.h"

#include "GameFolder.h"

#include <optional>
#include <string_view>

namespace {

const std::string PackageFolder = ".";

std::string quoted(const std::string &path)
{
    return "\"" + path + "\"";
}

std::string quoted(const std::filesystem::path &path)
{
    const std::u8string name = path.u8string();
    return quoted(std::string(name.begin(), name.end()));
}

// A name that stays in the folder it is joined to: no separator, no drive, no step up.
bool isPlainName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\:\0", 4)) == std::string_view::npos;
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
    const std::size_t separator = path.find_last_of("\\/");
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    return std::string_view(path).substr(nameStart).starts_with(TransactionStep::HiddenNamePrefix);
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

ErrorOr<std::string> JournalOwnership::mismatch(const JournalContents &contents)
{
    if (!contents.scope)
        return std::string("it does not begin with a record that names them");
    if (const std::string why = TRY(packageMismatch(*contents.scope)); !why.empty())
        return why;
    if (const std::string why = TRY(gameMismatch(*contents.scope)); !why.empty())
        return why;
    return stepMismatch(*contents.scope, contents.steps);
}

ErrorOr<std::string> JournalOwnership::packageMismatch(const TransactionScope &scope)
{
    const std::filesystem::path here = TRY(m_fileSystem.hostPath(PackageFolder));
    if (here != scope.packageFolder)
        return "it was written in the package folder " + quoted(scope.packageFolder) +
               ", and this package is in " + quoted(here);
    if (TRY(m_fileSystem.identity(PackageFolder)) != scope.packageIdentity)
        return "the package folder " + quoted(here) + " has been replaced since it was written";
    return std::string();
}

ErrorOr<std::string> JournalOwnership::gameMismatch(const TransactionScope &scope)
{
    const std::string folder = GameFolder(scope.gameDirectory).folder();
    const std::filesystem::path now = TRY(m_fileSystem.hostPath(folder));
    if (now != scope.gameFolder)
        return "its game folder " + quoted(scope.gameDirectory) + " was " +
               quoted(scope.gameFolder) + " when it was written and is " + quoted(now) + " now";
    if (!TRY(m_fileSystem.exists(folder)))
        return "its game folder " + quoted(scope.gameFolder) + " no longer exists";
    if (TRY(m_fileSystem.identity(folder)) != scope.gameIdentity)
        return "its game folder " + quoted(scope.gameFolder) +
               " has been deleted and made anew since it was written";
    return std::string();
}

ErrorOr<std::string> JournalOwnership::stepMismatch(const TransactionScope &scope,
                                                    const std::vector<TransactionStep> &steps)
{
    bool usesBackupFolder = false;
    for (const TransactionStep &step : steps) {
        for (const std::string &path : pathsOf(step)) {
            if (!isInside(scope, path))
                return "it names " + quoted(path) +
                       ", which lies outside the package folder and the game folder";
            usesBackupFolder = usesBackupFolder || isInBackupFolder(scope, path);
        }
        if (const std::string discarded = discardedBy(step);
            !discarded.empty() && !isHidden(discarded))
            return "it would delete " + quoted(discarded) + ", which is not a file of its own";
    }
    if (!usesBackupFolder)
        return std::string();
    // A link in place of the backup folder would lead the steps out of the game folder.
    const std::string backupFolder = GameFolder(scope.gameDirectory).backupFolder();
    if (TRY(m_fileSystem.hostPath(backupFolder)).parent_path() != scope.gameFolder)
        return "its backup folder " + quoted(backupFolder) + " leads out of the game folder";
    return std::string();
}
