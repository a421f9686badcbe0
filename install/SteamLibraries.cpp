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
    const char separator = steamFolder.back();
    const std::optional<std::string> list = m_listing.smallFile(
        steamFolder + "steamapps" + separator + "libraryfolders.vdf", LargestList);
    if (list) {
        // Today's list gives each library a block with its "path"; older lists gave the path
        // itself under the library's number, beside a few numbers of Steam's own.
        std::vector<std::string> paths =
            KeyValuesText::valuesAt(*list, {"libraryfolders", "*", "path"});
        for (std::string &path : KeyValuesText::valuesAt(*list, {"libraryfolders", "*"}))
            paths.push_back(std::move(path));
        for (const std::string &path : paths)
            if (const std::optional<std::string> library = reach(path))
                addLibrary(*library);
    }
    // The list names the Steam folder too, as Steam itself spells it; the folder comes after, for
    // a list that is missing or damaged.
    addLibrary(steamFolder);
}

void SteamLibraries::addLibrary(const std::string &library)
{
    const ErrorOr<FileIdentity> identity = m_fileSystem.identity(library);
    if (identity.isError() ||
        std::find(m_seen.begin(), m_seen.end(), identity.value()) != m_seen.end())
        return;
    m_seen.push_back(identity.value());
    m_libraries.push_back(library);
}

std::vector<std::string> SteamLibraries::gameFolders()
{
    std::vector<std::string> folders;
    for (const std::string &library : m_libraries)
        if (const std::optional<std::string> folder = gameFolder(library))
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
        for (const std::string &game : m_listing.subfolders(compatData))
            if (const std::optional<std::string> prefix = m_listing.folder(game, "pfx"))
                prefixes.push_back(*prefix);
    }
    return prefixes;
}
