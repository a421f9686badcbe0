#include "SteamLibraries.h"

#include "runtime/KeyValuesText.h"

#include <algorithm>

namespace {

// "Command & Conquer Red Alert, Counterstrike and The Aftermath" on Steam.
const std::string Manifest = "appmanifest_2229840.acf";

// Steam's lists are a few kilobytes, a library list with thousands of games some hundred.
constexpr std::size_t LargestList = 4 * 1024 * 1024;

} // namespace

void SteamLibraries::addSteam(const std::string &steamFolder, const RecordedPathReach &reach)
{
    // Steam keeps its list in both places, and has been seen to update only the second.
    const char separator = steamFolder.back();
    for (const char *folder : {"steamapps", "config"})
        addListed(steamFolder + folder + separator + "libraryfolders.vdf", reach);
    // The list names the Steam folder too, as Steam itself spells it; the folder comes after, for
    // a list that is missing or damaged.
    addLibrary(steamFolder);
}

void SteamLibraries::addListed(const std::string &listFile, const RecordedPathReach &reach)
{
    const std::optional<std::string> list = m_listing.smallFile(listFile, LargestList);
    if (!list)
        return;
    // Today's list gives each library a block with its "path"; older lists gave the path itself
    // under the library's number, beside a few numbers of Steam's own. A list of megabytes is
    // read once when it is of today's form.
    std::vector<std::string> paths =
        KeyValuesText::valuesAt(*list, {"libraryfolders", "*", "path"});
    if (paths.empty())
        paths = KeyValuesText::valuesAt(*list, {"libraryfolders", "*"});
    // A list of thousands of libraries, damaged or not, leaves time for the places after it.
    const SearchDeadline deadline = m_deadline.halfOfWhatRemains();
    for (const std::string &path : paths) {
        if (deadline.passed())
            return;
        if (const std::optional<std::string> library = reach(path))
            addLibrary(*library);
    }
}

void SteamLibraries::addLibrary(const std::string &library)
{
    const ErrorOr<FileIdentity> identity = m_fileSystem.identity(library);
    if (identity.isError())
        return;
    if (m_seen.insert(identity.value()).second)
        m_libraries.push_back(library);
}

std::vector<std::string> SteamLibraries::gameFolders()
{
    std::vector<std::string> folders;
    for (std::size_t index = 0; index < m_libraries.size() && !m_deadline.passed(); ++index)
        if (const std::optional<std::string> folder = gameFolder(m_libraries[index]))
            folders.push_back(*folder);
    return folders;
}

std::optional<std::string> SteamLibraries::gameFolder(const std::string &library)
{
    const char separator = library.back();
    const std::string steamApps = library + "steamapps" + separator;
    const std::optional<std::string> manifest =
        m_listing.smallFile(steamApps + Manifest, LargestList);
    if (!manifest)
        return std::nullopt;
    const std::vector<std::string> installDir =
        KeyValuesText::valuesAt(*manifest, {"AppState", "installdir"});
    // One name below steamapps/common; anything else would lead elsewhere.
    if (installDir.size() != 1 || installDir.front().empty() || installDir.front() == "." ||
        installDir.front() == ".." || installDir.front().find_first_of("\\/:") != std::string::npos)
        return std::nullopt;
    return steamApps + "common" + separator + installDir.front() + separator;
}

std::vector<std::string> SteamLibraries::protonPrefixes()
{
    std::vector<std::string> prefixes;
    for (const std::string &library : m_libraries) {
        const char separator = library.back();
        const std::string compatData = library + "steamapps" + separator + "compatdata" + separator;
        for (const std::string &game : m_listing.subfolders(compatData)) {
            if (m_deadline.passed())
                return prefixes;
            if (const std::optional<std::string> prefix = m_listing.folder(game, "pfx"))
                prefixes.push_back(*prefix);
        }
    }
    return prefixes;
}
