#include "FolderListing.h"

#include "GameFolder.h"
#include "runtime/NativeFileOperations.h"
#include "runtime/Text.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

// Parts of the names that the game's folders, its prefixes and its launchers' folders have: "Red
// Alert", "CnC", "Westwood", "EA Games", "Command & Conquer The First Decade", and the folder
// Steam names after the game's number.
const std::vector<std::string> LikelyNameParts = {"red", "alert",   "cnc",    "westwood",
                                                  "ea",  "conquer", "decade", "2229840"};

// The name in UTF-8, as the player would type it into the install dialog; nothing for a POSIX
// name that holds a backslash, which would split it in two, or a Windows name that is not valid
// UTF-16, which has no UTF-8 form (the conversion throws).
std::optional<std::string> typeableName(const fs::path &name)
{
    try {
        std::string text = Text::utf8(name);
        if (text.find('\\') != std::string::npos)
            return std::nullopt;
        return text;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

} // namespace

bool FolderListing::isLikely(const std::string &path)
{
    const std::string name = Text::toLowerAscii(path);
    const std::size_t end = name.find_last_not_of("\\/");
    if (end == std::string::npos)
        return false;
    const std::size_t start = name.find_last_of("\\/", end);
    const std::string_view last =
        std::string_view(name).substr(start == std::string::npos ? 0 : start + 1, end - start);
    return std::any_of(LikelyNameParts.begin(), LikelyNameParts.end(),
                       [last](const std::string &part) { return last.find(part) != last.npos; });
}

std::vector<std::string> FolderListing::subfolders(const std::string &directory)
{
    return entries(directory, Wanted::Folders, {});
}

std::vector<std::string> FolderListing::files(const std::string &directory,
                                              const std::string &suffix)
{
    return entries(directory, Wanted::Files, Text::toLowerAscii(suffix));
}

std::optional<std::string> FolderListing::folder(const std::string &directory,
                                                 const std::string &name)
{
    const std::string path = name.empty() ? directory : directory + name + directory.back();
    const auto known = m_hostPaths.find(directory);
    if (!name.empty() && known != m_hostPaths.end())
        return listedFolder(known->second, name, path);
    const ErrorOr<EntryKind> kind = m_fileSystem.entryKind(GameFolder(path).folder());
    if (kind.isError() || kind.value() != EntryKind::Directory)
        return std::nullopt;
    return path;
}

// In a folder listed before, the name is matched in one more listing of it, as the file system
// would match it, rather than by a walk of the whole path from the root: thousands of Proton
// prefixes are each looked into for their drive C.
std::optional<std::string>
FolderListing::listedFolder(const fs::path &host, const std::string &name, const std::string &path)
{
    std::optional<fs::path> match;
    std::error_code error;
    fs::directory_iterator entry(host, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::optional<std::string> entryName = typeableName(entry->path().filename());
        if (!entryName || !Text::equalsIgnoringCase(*entryName, name))
            continue;
        // Two names that differ only in letter case leave no way to tell which one is meant.
        if (match)
            return std::nullopt;
        match = entry->path();
    }
    std::error_code kindError;
    if (error || !match || !fs::is_directory(*match, kindError))
        return std::nullopt;
    m_hostPaths.emplace(path, *match);
    return path;
}

ErrorOr<FileIdentity> FolderListing::identity(const std::string &directory)
{
    const auto known = m_hostPaths.find(directory);
    if (known == m_hostPaths.end())
        return m_fileSystem.identity(GameFolder(directory).folder());
    FileIdentity identity;
    if (const std::error_code error = NativeFileOperations::identify(known->second, identity))
        return RuntimeError::fromErrorCode(error, directory);
    return identity;
}

std::vector<std::string> FolderListing::entries(const std::string &directory, Wanted wanted,
                                                const std::string &suffix)
{
    const std::optional<fs::path> host = hostPathOf(directory);
    if (!host)
        return {};
    std::vector<std::string> found;
    std::error_code error;
    fs::directory_iterator entry(*host, error);
    // A folder of thousands of entries is listed while time remains, not cut at a count: the
    // system's order is no order, and the game may be the last one.
    for (; !error && entry != fs::directory_iterator() && !m_deadline.passed();
         entry.increment(error)) {
        const std::optional<std::string> name = typeableName(entry->path().filename());
        if (!name)
            continue;
        // A link loop or an unreadable entry is neither a folder nor a file.
        if (wanted == Wanted::Folders && entry->is_directory(error)) {
            found.push_back(directory + *name + directory.back());
            m_hostPaths.emplace(found.back(), entry->path());
        } else if (wanted == Wanted::Files && Text::toLowerAscii(*name).ends_with(suffix) &&
                   entry->is_regular_file(error))
            found.push_back(directory + *name);
        error.clear();
    }
    // The system lists a folder in no particular order. Those likeliest to be the game's come
    // first, so that they are looked into before time runs out.
    std::sort(found.begin(), found.end());
    std::stable_partition(found.begin(), found.end(), &FolderListing::isLikely);
    return found;
}

bool FolderListing::mayHold(const std::string &directory, const std::string &name)
{
    const auto known = m_hostPaths.find(directory);
    if (known == m_hostPaths.end())
        return true;
    std::error_code error;
    fs::directory_iterator entry(known->second, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::optional<std::string> entryName = typeableName(entry->path().filename());
        if (entryName && Text::equalsIgnoringCase(*entryName, name))
            return true;
    }
    // A folder that could not be read is left to the full check, which says why.
    return static_cast<bool>(error);
}

std::optional<std::string> FolderListing::smallFile(const std::string &path, std::size_t limit)
{
    const ErrorOr<fs::path> host = m_fileSystem.hostPath(path);
    std::string bytes;
    if (host.isError() || NativeFileOperations::readContents(host.value(), limit, bytes))
        return std::nullopt;
    return bytes;
}

std::optional<fs::path> FolderListing::hostPathOf(const std::string &directory)
{
    if (directory.empty())
        return std::nullopt;
    if (const auto known = m_hostPaths.find(directory); known != m_hostPaths.end())
        return known->second;
    const ErrorOr<fs::path> host = m_fileSystem.hostPath(directory);
    if (host.isError())
        return std::nullopt;
    return host.value();
}
