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

// Bottles keeps its bottles elsewhere when the player chose a folder for them in its settings.
const std::vector<std::string> BottlesSettings = {
    ".local/share/bottles/data.yml",
    ".var/app/com.usebottles.bottles/data/bottles/data.yml",
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
    for (const std::string &name : BottlesSettings) {
        std::string settings = underHome(name);
        settings.pop_back();
        for (const std::string &bottles : pathsNamedIn(settings, "custom_bottles_path"))
            for (std::string &prefix : m_listing.subfolders(bottles))
                found.push_back(std::move(prefix));
    }
    return found;
}

std::vector<std::string> LinuxPrefixes::lutrisPrefixes()
{
    std::vector<std::string> found = subfoldersOf({LutrisGames});
    for (const std::string &gameFile : lutrisGameFiles())
        for (std::string &prefix : pathsNamedIn(gameFile, "prefix"))
            found.push_back(std::move(prefix));
    return found;
}

// A game that needs no prefix of its own, or whose files the player unpacked beside it, is named
// by the folder Lutris starts it in, or by its program.
std::vector<std::string> LinuxPrefixes::lutrisGameFolders()
{
    std::vector<std::string> found;
    for (const std::string &gameFile : lutrisGameFiles()) {
        for (std::string &folder : pathsNamedIn(gameFile, "working_dir"))
            found.push_back(std::move(folder));
        for (const std::string &program : pathsNamedIn(gameFile, "exe")) {
            const std::size_t end = program.find_last_not_of("\\/");
            const std::size_t separator = program.find_last_of("\\/", end);
            if (end != std::string::npos && separator != std::string::npos)
                found.push_back(program.substr(0, separator + 1));
        }
    }
    return found;
}

std::vector<std::string> LinuxPrefixes::lutrisGameFiles()
{
    std::vector<std::string> found;
    for (const std::string &name : LutrisGameFiles)
        for (std::string &gameFile : m_listing.files(underHome(name), ".yml"))
            found.push_back(std::move(gameFile));
    return found;
}

std::vector<std::string> LinuxPrefixes::pathsNamedIn(const std::string &file,
                                                     const std::string &key)
{
    const std::optional<std::string> text = m_listing.smallFile(file, LargestGameFile);
    if (!text)
        return {};
    std::vector<std::string> found;
    for (const std::string &line : Text::split(*text, '\n', Text::EmptyParts::Skip)) {
        std::string_view entry = trimmed(line);
        if (!entry.starts_with(key + ':'))
            continue;
        entry = trimmed(entry.substr(key.size() + 1));
        if (entry.size() >= 2 && (entry.front() == '"' || entry.front() == '\'') &&
            entry.back() == entry.front())
            entry = entry.substr(1, entry.size() - 2);
        std::string path(entry);
        // Lutris and Bottles write full paths, but a player editing the file may start with ~.
        if (path.starts_with("~/"))
            path = m_home.hostFolder() + '/' + path.substr(2);
        if (const std::optional<std::string> reached = m_home.reach(path))
            found.push_back(*reached);
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
