#include "GameFinder.h"

#include "FolderListing.h"
#include "GameFolder.h"
#include "GameFolderCheck.h"
#include "LinuxPrefixes.h"
#include "runtime/LocalDrives.h"
#include "runtime/MachineRegistry.h"
#include "runtime/Text.h"
#include "runtime/WineRegistryFile.h"
#include "SteamLibraries.h"

#include <algorithm>
#include <cctype>

namespace {

const std::string Uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The values each of the game's installers writes: the first three, of the CD editions in
// English, German and French, name RA95.EXE itself; the others name the folder. The EA app has
// written its key in either view; CnCNet's installer is a 64-bit program.
const std::vector<RegistryValueName> RegisteredInstallations = {
    {"SOFTWARE\\Westwood\\Red Alert Windows 95 Edition", "InstallPath"},
    {"SOFTWARE\\Westwood\\Alarmstufe Rot Windows 95 Edition", "InstallPath"},
    {"SOFTWARE\\Westwood\\Alerte Rouge version Windows 95", "InstallPath"},
    {"SOFTWARE\\EA Games\\Command and Conquer Red Alert", "Install Dir"},
    {"SOFTWARE\\EA Games\\Command and Conquer Red Alert", "Install Dir", RegistryView::Bits64},
    {"SOFTWARE\\Electronic Arts\\EA Games\\Command and Conquer The First Decade", "ra_folder"},
    {Uninstall + "Steam App 2229840", "InstallLocation"},
    {Uninstall + "{73F3D3B5-4AC4-4D01-A65C-0A4B4D8723B5}_is1", "InstallLocation",
     RegistryView::Bits64},
};

// Where Steam itself is installed: the machine's record, and the user's, which Steam writes with
// forward slashes.
const std::vector<RegistryValueName> SteamInstallations = {
    {"SOFTWARE\\Valve\\Steam", "InstallPath"},
    {"Software\\Valve\\Steam", "SteamPath", RegistryView::Bits32, RegistryRoot::CurrentUser},
};

// Where players and repacks put games, below each drive's root; the programs' own folders hold
// a publisher's or a launcher's folder first: "Program Files\EA Games\Red Alert",
// "Program Files\CnCNet\Red Alert".
const std::vector<std::string> GameShelves = {"Games", "Westwood", "Origin Games", "EA Games"};
const std::vector<std::string> ProgramShelves = {"Program Files", "Program Files (x86)"};

// The game's main archive, whatever the edition: without it a folder is not the game's. The
// program's name differs from edition to edition (RA95.EXE, ra95.dat, RA95Launcher.exe) and the
// installation needs none of them.
const std::string MainArchive = "REDALERT.MIX";

std::vector<RegistryValueName> everyRecord()
{
    std::vector<RegistryValueName> values = RegisteredInstallations;
    values.insert(values.end(), SteamInstallations.begin(), SteamInstallations.end());
    return values;
}

void append(std::vector<std::string> &to, std::vector<std::string> more)
{
    for (std::string &item : more)
        to.push_back(std::move(item));
}

// The folder of a recorded path: the path itself when it names a folder, its folder when it names
// the program.
std::string folderOf(std::string path)
{
    const std::size_t lastSeparator = path.find_last_of("\\/");
    const std::string lastName =
        Text::toLowerAscii(lastSeparator == std::string::npos ? path : path.substr(lastSeparator));
    if (lastName.ends_with(".exe"))
        path.resize(lastSeparator == std::string::npos ? 0 : lastSeparator + 1);
    return path;
}

bool hasDriveLetter(const std::string &path)
{
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

} // namespace

std::vector<FoundGame> GameFinder::find()
{
    SteamLibraries steam(m_fileSystem);
    const auto fromHere = [this](const std::string &path) {
        return reachFromHere(path);
    };
    std::vector<std::string> candidates =
        registeredFolders(MachineRegistry::readStrings(everyRecord()), fromHere, steam);
    std::vector<std::string> prefixes;
    if (m_home) {
        LinuxPrefixes home(m_fileSystem, *m_home);
        for (const std::string &folder : home.steamFolders())
            steam.addSteam(folder, fromHere);
        prefixes = home.prefixes();
    }
    append(candidates, steam.gameFolders());
    for (const std::string &root : LocalDrives::roots())
        append(candidates, shelvedFolders(root));
    std::vector<std::string> proton = steam.protonPrefixes();
    prefixes.insert(prefixes.begin(), proton.begin(), proton.end());
    std::vector<FileIdentity> seenPrefixes;
    for (const std::string &prefix : prefixes) {
        const ErrorOr<FileIdentity> identity = m_fileSystem.identity(GameFolder(prefix).folder());
        if (identity.isError() || std::find(seenPrefixes.begin(), seenPrefixes.end(),
                                            identity.value()) != seenPrefixes.end())
            continue;
        seenPrefixes.push_back(identity.value());
        append(candidates, prefixFolders(prefix));
    }

    std::vector<FoundGame> found;
    std::vector<FileIdentity> seen;
    for (const std::string &directory : candidates) {
        if (!m_listing.mayHold(directory, MainArchive))
            continue;
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
    // Most folders looked at are some other program's, which the main archive tells at once.
    const ErrorOr<EntryKind> main = m_fileSystem.entryKind(directory + MainArchive);
    if (main.isError() || main.value() != EntryKind::File)
        return std::nullopt;
    GameFolderCheck check(m_fileSystem);
    for (const Edition edition : {Edition::Aftermath, Edition::Counterstrike})
        if (!check.checkInstallable(edition, GameFolder(directory)).isError())
            return edition;
    return std::nullopt;
}

std::vector<std::string>
GameFinder::registeredFolders(const std::vector<std::optional<std::string>> &values,
                              const RecordedPathReach &reach, SteamLibraries &steam)
{
    std::vector<std::string> folders;
    for (std::size_t index = 0; index < values.size(); ++index) {
        if (!values[index])
            continue;
        const std::optional<std::string> folder = reach(folderOf(*values[index]));
        if (folder && index < RegisteredInstallations.size())
            folders.push_back(*folder);
        else if (folder)
            steam.addSteam(*folder, reach);
    }
    return folders;
}

// Another prefix's registry names its own drive C, and Steam run in it lists its libraries in
// the same way.
std::vector<std::string> GameFinder::prefixFolders(const std::string &prefix)
{
    std::vector<std::string> folders;
    ErrorOr<std::string> registry = m_fileSystem.readFile(prefix + "system.reg");
    if (!registry.isError()) {
        SteamLibraries steam(m_fileSystem);
        const auto inPrefix = [&](const std::string &path) {
            return reachInPrefix(prefix, path);
        };
        folders = registeredFolders(
            WineRegistryFile(registry.releaseValue()).viewedStringValues(everyRecord()), inPrefix,
            steam);
        append(folders, steam.gameFolders());
    }
    if (const std::optional<std::string> driveC =
            FolderListing(m_fileSystem).folder(prefix, "drive_c"))
        append(folders, shelvedFolders(*driveC));
    return folders;
}

std::vector<std::string> GameFinder::shelvedFolders(const std::string &root)
{
    FolderListing &listing = m_listing;
    std::vector<std::string> folders = listing.subfolders(root);
    const auto shelf = [&](const std::string &name) -> std::optional<std::string> {
        if (!listing.folder(root, name))
            return std::nullopt;
        // Spelled as the drive has it, so that the player sees the folder he knows.
        const ErrorOr<std::string> stored = m_fileSystem.storedName(root + name);
        return root + (stored.isError() ? name : stored.value()) + root.back();
    };
    for (const std::string &name : GameShelves)
        if (const std::optional<std::string> games = shelf(name))
            append(folders, listing.subfolders(*games));
    for (const std::string &name : ProgramShelves) {
        const std::optional<std::string> programs = shelf(name);
        for (const std::string &program :
             programs ? listing.subfolders(*programs) : std::vector<std::string>()) {
            folders.push_back(program);
            append(folders, listing.subfolders(program));
        }
    }
    return folders;
}

std::optional<std::string> GameFinder::reachFromHere(const std::string &path) const
{
    if (path.starts_with('/'))
        return m_home ? m_home->reach(path) : std::nullopt;
    std::string folder = Text::replaceAll(path, "/", "\\");
    if (!folder.ends_with('\\'))
        folder += '\\';
    // A relative path would be taken from the package folder.
    if (!GameFolder(folder).isFullPath())
        return std::nullopt;
    return folder;
}

std::optional<std::string> GameFinder::reachInPrefix(const std::string &prefix,
                                                     const std::string &path) const
{
    if (path.starts_with('/'))
        return m_home ? m_home->reach(path) : std::nullopt;
    if (!hasDriveLetter(path) || Text::toUpperAscii(path.substr(0, 1)) != "C")
        return std::nullopt;
    const char separator = prefix.back();
    std::string folder = prefix + "drive_c";
    for (const std::string &name : Text::split(path.substr(2), '\\', Text::EmptyParts::Skip))
        for (const std::string &part : Text::split(name, '/', Text::EmptyParts::Skip))
            folder += separator + part;
    return folder + separator;
}
