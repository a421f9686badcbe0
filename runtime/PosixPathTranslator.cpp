#include "PathTranslator.h"

#include "Text.h"
#include "WinePrefix.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string fromPath(const fs::path &path)
{
    return path.string();
}

ErrorOr<fs::path> driveRoot(char letter, const std::string &originalPath)
{
    // Wine keeps its drives as links in the prefix that Wine itself would use.
    const fs::path prefix = WinePrefix::folder();
    const fs::path link = prefix / "dosdevices" / (Text::toLowerAscii({letter}) + ':');
    std::error_code error;
    const fs::file_status status = fs::symlink_status(link, error);
    if (error && error != std::errc::no_such_file_or_directory &&
        error != std::errc::not_a_directory)
        return RuntimeError::fromErrorCode(error, originalPath);
    if (!fs::exists(status))
        return RuntimeError(RuntimeErrorCode::PathNotFound, originalPath,
                            Cause::DriveNotMapped{Text::toUpperAscii({letter}), fromPath(prefix)});
    return link;
}

// Whether the name of an entry on the disk is the name asked for, whatever its letter case. The
// comparison folds case by the characters alone, never by the locale; a name on the disk that is
// not UTF-8 has no letters to fold and must match byte for byte.
bool namesMatch(const std::string &onDisk, const std::string &asked)
{
    return onDisk == asked || Text::equalsIgnoringCase(onDisk, asked);
}

// The two names come in the order of their bytes, not of the folder's listing, which differs
// between file systems, so that the player reads the same message everywhere.
RuntimeError caseTwins(const fs::path &first, const fs::path &second,
                       const std::string &originalPath)
{
    return RuntimeError(
        RuntimeErrorCode::PathFileAccessError, originalPath,
        Cause::LetterCaseTwins{fromPath(first.filename()), fromPath(second.filename())});
}

// A folder as the player knows it: by its host path, except inside a held folder, which the
// lookup reaches through the system's handle on it but the player knows by the name they gave.
struct ShownFolders
{
    const fs::path &hostBase;
    const std::string &shownBase;

    std::string of(const fs::path &directory) const
    {
        const std::string host = fromPath(directory);
        const std::string base = fromPath(hostBase);
        if (shownBase.empty() || !host.starts_with(base))
            return host;
        return shownBase + host.substr(base.size());
    }
};

RuntimeError unlistable(std::error_code error, const std::string &shownDirectory,
                        const std::string &originalPath)
{
    return RuntimeError::fromErrorCode(error, originalPath,
                                       Cause::FolderUnlistable{shownDirectory, error.message()});
}

enum class Component { OnTheWay, Last };

// The one entry whose name differs at most in letter case from the name given; the name as
// given when none does, so that the operation on it reports what is missing. For the name an
// operation acts on, two such entries leave no way to tell which one is meant, the exact name
// included. A folder on the way that is spelled exactly is taken as it is without listing its
// parent: folders such as /home may be entered but not read.
ErrorOr<fs::path> matchComponent(const fs::path &directory, const std::string &asked,
                                 const std::string &originalPath, Component component,
                                 ListingCache *listings, const ShownFolders &shown)
{
    std::error_code error;
    if (component == Component::OnTheWay) {
        const fs::file_status status = fs::symlink_status(directory / asked, error);
        if (fs::exists(status))
            return directory / asked;
        if (error && error != std::errc::no_such_file_or_directory &&
            error != std::errc::not_a_directory)
            return RuntimeError::fromErrorCode(error, originalPath);
    }
    ListingCache unkept;
    std::vector<std::string> names;
    error = (listings ? listings : &unkept)->names(directory, names);
    // A missing folder, or a file where the folder should be, holds nothing to match.
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
        return directory / asked;
    if (error)
        return unlistable(error, shown.of(directory), originalPath);
    std::optional<fs::path> match;
    for (const std::string &name : names) {
        if (!namesMatch(name, asked))
            continue;
        if (match)
            return caseTwins(std::min(*match, directory / name), std::max(*match, directory / name),
                             originalPath);
        match = directory / name;
    }
    return match.value_or(directory / asked);
}

} // namespace

bool PathTranslator::isFullHostPath(const fs::path &path)
{
    return path.is_absolute();
}

ErrorOr<fs::path> PathTranslator::toHostPath(const std::string &path) const
{
    std::string rest = path;
    fs::path host;
    if (Text::startsWithDrive(path)) {
        host = TRY(driveRoot(path[0], path));
        rest = path.substr(2);
    } else if (path.starts_with('/') || path.starts_with('\\')) {
        host = "/";
    } else {
        host = m_baseDirectory;
    }
    rest = Text::replaceAll(rest, "\\", "/");
    const std::vector<std::string> components = Text::split(rest, '/', Text::EmptyParts::Skip);
    for (std::size_t index = 0; index < components.size(); ++index) {
        const std::string &component = components[index];
        if (component == "." || component == "..")
            host /= component;
        else
            host = TRY(matchComponent(host, component, path,
                                      index + 1 == components.size() ? Component::Last
                                                                     : Component::OnTheWay,
                                      m_listings, ShownFolders{m_baseDirectory, m_shownBase}));
    }
    // A trailing separator names a folder; keep it so that the system checks that it is one.
    if (!components.empty() && (rest.ends_with('/')))
        host /= "";
    return host;
}
