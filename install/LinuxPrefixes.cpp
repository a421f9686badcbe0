#include "LinuxPrefixes.h"

#include "runtime/Text.h"

namespace {

const std::vector<std::string> SteamFolders = {
    ".steam/root",
    ".steam/steam",
    ".steam/debian-installation",
    ".local/share/Steam",
    ".var/app/com.valvesoftware.Steam/.local/share/Steam",
    ".var/app/com.valvesoftware.Steam/data/Steam",
    "snap/steam/common/.local/share/Steam",
};

// Lutris puts each game's prefix in a folder of its own under ~/Games unless the player chose
// another place, which the game's file then names; it has kept those files in four places, the
// older of each pair for installations that predate the newer.
const std::string LutrisGames = "Games";
const std::vector<std::string> LutrisGameFiles = {
    ".local/share/lutris/games",
    ".config/lutris/games",
    ".var/app/net.lutris.Lutris/data/lutris/games",
    ".var/app/net.lutris.Lutris/config/lutris/games",
};

const std::vector<std::string> OtherPrefixFolders = {
    ".local/share/bottles/bottles",
    ".var/app/com.usebottles.bottles/data/bottles/bottles",
    ".PlayOnLinux/wineprefix",
};

// A game file of Lutris is a few kilobytes.
constexpr std::size_t LargestGameFile = 1024 * 1024;

std::string_view trimmed(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string_view::npos)
        return {};
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

} // namespace

std::vector<std::string> LinuxPrefixes::steamFolders()
{
    std::vector<std::string> folders;
    for (const std::string &name : SteamFolders)
        if (const std::optional<std::string> folder = m_listing.folder(underHome(name), ""))
            folders.push_back(*folder);
    return folders;
}

std::vector<std::string> LinuxPrefixes::prefixes()
{
    std::vector<std::string> found = lutrisPrefixes();
    for (std::string &prefix : subfoldersOf(OtherPrefixFolders))
        found.push_back(std::move(prefix));
    return found;
}

std::vector<std::string> LinuxPrefixes::lutrisPrefixes()
{
    std::vector<std::string> found = subfoldersOf({LutrisGames});
    for (const std::string &name : LutrisGameFiles)
        for (const std::string &gameFile : m_listing.files(underHome(name), ".yml"))
            for (std::string &prefix : prefixesNamedIn(gameFile))
                found.push_back(std::move(prefix));
    return found;
}

std::vector<std::string> LinuxPrefixes::prefixesNamedIn(const std::string &gameFile)
{
    const std::optional<std::string> text = m_listing.smallFile(gameFile, LargestGameFile);
    if (!text)
        return {};
    std::vector<std::string> found;
    for (const std::string &line : Text::split(*text, '\n', Text::EmptyParts::Skip)) {
        std::string_view entry = trimmed(line);
        if (!entry.starts_with("prefix:"))
            continue;
        entry = trimmed(entry.substr(7));
        if (entry.size() >= 2 && (entry.front() == '"' || entry.front() == '\'') &&
            entry.back() == entry.front())
            entry = entry.substr(1, entry.size() - 2);
        std::string path(entry);
        // Lutris writes full paths, but a player editing the file may start with ~.
        if (path.starts_with("~/"))
            path = m_home.hostFolder() + '/' + path.substr(2);
        if (const std::optional<std::string> prefix = m_home.reach(path))
            found.push_back(*prefix);
    }
    return found;
}

std::vector<std::string> LinuxPrefixes::subfoldersOf(const std::vector<std::string> &names)
{
    std::vector<std::string> found;
    for (const std::string &name : names)
        for (std::string &folder : m_listing.subfolders(underHome(name)))
            found.push_back(std::move(folder));
    return found;
}

std::string LinuxPrefixes::underHome(const std::string &relativePath) const
{
    const std::string home = m_home.folder();
    return home + Text::replaceAll(relativePath, "/", std::string(1, home.back())) + home.back();
}
