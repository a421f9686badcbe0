#include "GameFinder.h"

#include "GameFolder.h"
#include "GameFolderCheck.h"
#include "runtime/LocalDrives.h"
#include "runtime/MachineRegistry.h"
#include "runtime/Text.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

// The value each of the game's installers writes: the first three, of the CD editions in
// English, German and French, name RA95.EXE itself; The Ultimate Collection names the folder.
const std::vector<RegistryValueName> RegisteredInstallations = {
    {"SOFTWARE\\Westwood\\Red Alert Windows 95 Edition", "InstallPath"},
    {"SOFTWARE\\Westwood\\Alarmstufe Rot Windows 95 Edition", "InstallPath"},
    {"SOFTWARE\\Westwood\\Alerte Rouge version Windows 95", "InstallPath"},
    {"SOFTWARE\\EA Games\\Command and Conquer Red Alert", "Install Dir"},
};

// Where players and repacks put games, below each drive's root.
const std::vector<std::string> GameShelves = {"Games", "Program Files", "Program Files (x86)",
                                              "Westwood"};

// The game's main archive, whatever the edition: without it a folder is not the game's. The
// program's name differs from edition to edition (RA95.EXE, ra95.dat, RA95Launcher.exe) and the
// installation needs none of them.
const std::string MainArchive = "REDALERT.MIX";

// More subfolders than that in one folder is not a shelf of games, and listing them all would
// keep the player waiting.
constexpr std::size_t MostSubfolders = 256;

bool isSeparator(char character)
{
    return character == '\\' || character == '/';
}

// The folder of a registered path as a game directory, with a final backslash: the path itself
// when it names a folder, its folder when it names the program.
std::optional<std::string> directoryOf(std::string path)
{
    const std::size_t lastSeparator = path.find_last_of("\\/");
    const std::string lastName =
        Text::toLowerAscii(lastSeparator == std::string::npos ? path : path.substr(lastSeparator));
    if (lastName.ends_with(".exe"))
        path.resize(lastSeparator == std::string::npos ? 0 : lastSeparator + 1);
    if (!path.empty() && !isSeparator(path.back()))
        path += '\\';
    // A relative path would be taken from the package folder.
    if (!GameFolder(path).isFullPath())
        return std::nullopt;
    return path;
}

// The name in UTF-8, as the player would type it into the install dialog; nothing for a POSIX
// name that holds a backslash, which would split it in two, or a Windows name that is not valid
// UTF-16, which has no UTF-8 form (the conversion throws).
std::optional<std::string> typeableName(const fs::path &name)
{
    try {
        const std::u8string text = name.u8string();
        if (text.find(u8'\\') != std::u8string::npos)
            return std::nullopt;
        return std::string(text.begin(), text.end());
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

} // namespace

std::vector<FoundGame> GameFinder::find()
{
    std::vector<std::string> candidates = registeredFolders();
    for (std::string &directory : likelyFolders())
        candidates.push_back(std::move(directory));
    std::vector<FoundGame> found;
    std::vector<FileIdentity> seen;
    for (const std::string &directory : candidates) {
        const std::optional<Edition> edition = gameIn(directory);
        if (!edition)
            continue;
        const ErrorOr<FileIdentity> identity =
            m_fileSystem.identity(GameFolder(directory).folder());
        if (identity.isError() ||
            std::find(seen.begin(), seen.end(), identity.value()) != seen.end())
            continue;
        seen.push_back(identity.value());
        found.push_back({directory, *edition});
    }
    return found;
}

std::optional<Edition> GameFinder::gameIn(const std::string &directory)
{
    const ErrorOr<EntryKind> main = m_fileSystem.entryKind(directory + MainArchive);
    if (main.isError() || main.value() != EntryKind::File)
        return std::nullopt;
    GameFolderCheck check(m_fileSystem);
    for (const Edition edition : {Edition::Aftermath, Edition::Counterstrike})
        if (!check.checkInstallable(edition, GameFolder(directory)).isError())
            return edition;
    return std::nullopt;
}

std::vector<std::string> GameFinder::registeredFolders()
{
    std::vector<std::string> folders;
    for (const std::optional<std::string> &path :
         MachineRegistry::readStrings(RegisteredInstallations)) {
        if (!path)
            continue;
        if (const std::optional<std::string> directory = directoryOf(*path))
            folders.push_back(*directory);
    }
    return folders;
}

std::vector<std::string> GameFinder::likelyFolders()
{
    std::vector<std::string> shelves;
    for (const std::string &root : LocalDrives::roots()) {
        shelves.push_back(root);
        for (const std::string &name : GameShelves) {
            const ErrorOr<EntryKind> kind = m_fileSystem.entryKind(root + name);
            if (kind.isError() || kind.value() != EntryKind::Directory)
                continue;
            // Spelled as the drive has it, so that the player sees the folder he knows.
            const ErrorOr<std::string> stored = m_fileSystem.storedName(root + name);
            shelves.push_back(root + (stored.isError() ? name : stored.value()) + '\\');
        }
    }
    std::vector<std::string> folders;
    for (const std::string &shelf : shelves)
        for (std::string &folder : subfolders(shelf))
            folders.push_back(std::move(folder));
    return folders;
}

std::vector<std::string> GameFinder::subfolders(const std::string &directory)
{
    const ErrorOr<fs::path> host = m_fileSystem.hostPath(directory);
    if (host.isError())
        return {};
    std::vector<std::string> folders;
    std::error_code error;
    fs::directory_iterator entry(host.value(), error);
    for (; !error && entry != fs::directory_iterator() && folders.size() < MostSubfolders;
         entry.increment(error)) {
        const std::optional<std::string> name = typeableName(entry->path().filename());
        if (name && entry->is_directory(error))
            folders.push_back(directory + *name + '\\');
        error.clear();
    }
    // The system lists a folder in no particular order; the player reads them best sorted.
    std::sort(folders.begin(), folders.end());
    return folders;
}
