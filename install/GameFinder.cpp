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
#include <set>

namespace {

// The game's number on Steam, which names its Proton prefix.
const std::string SteamApp = "2229840";

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
    {Uninstall + "Steam App " + SteamApp, "InstallLocation"},
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

} // namespace

// Each source's folders are looked into as soon as they are known, so that what was found stays
// found when the time is up.
std::vector<FoundGame> GameFinder::find()
{
    m_found.clear();
    m_seen.clear();
    SteamLibraries steam(m_fileSystem, m_listing);
    const auto fromHere = [this](const std::string &path) {
        return reachFromHere(path);
    };
    consider(registeredFolders(MachineRegistry::readStrings(everyRecord()), fromHere, steam));
    // A drive's shelves are a few folders; a list of Steam's libraries may be of megabytes.
    for (const std::string &root : LocalDrives::roots())
        consider(shelvedFolders(root));
    std::optional<LinuxPrefixes> home;
    if (m_home)
        home.emplace(m_listing, *m_home);
    for (const std::string &folder : home ? home->steamFolders() : std::vector<std::string>())
        steam.addSteam(folder, fromHere);
    consider(steam.gameFolders());
    std::vector<std::string> prefixes;
    if (home) {
        consider(home->lutrisGameFolders());
        prefixes = home->prefixes();
    }
    // A home of thousands of folders leaves time for the prefixes.
    consider(homeFolders(), m_deadline.halfOfWhatRemains());
    // Proton makes a prefix for every game played, the player one for each program he set up
    // himself: the player's come first.
    append(prefixes, steam.protonPrefixes());
    searchPrefixes(std::move(prefixes));
    return m_found;
}

void GameFinder::searchPrefixes(std::vector<std::string> prefixes)
{
    std::stable_partition(prefixes.begin(), prefixes.end(), [](const std::string &prefix) {
        return FolderListing::isLikely(prefix) || prefix.find(SteamApp) != std::string::npos;
    });
    // Drive C of every prefix first: a prefix's registry is a file of megabytes, and the game is
    // seldom anywhere but on drive C's shelves.
    std::set<FileIdentity> seenPrefixes;
    std::vector<std::string> eachOnce;
    for (const std::string &prefix : prefixes) {
        if (m_deadline.passed())
            break;
        const ErrorOr<FileIdentity> identity = m_listing.identity(prefix);
        if (identity.isError() || !seenPrefixes.insert(identity.value()).second)
            continue;
        eachOnce.push_back(prefix);
        if (const std::optional<std::string> driveC = m_listing.folder(prefix, "drive_c"))
            consider(shelvedFolders(*driveC));
    }
    for (const std::string &prefix : eachOnce) {
        if (m_deadline.passed())
            break;
        consider(registeredInPrefix(prefix));
    }
}

void GameFinder::consider(const std::vector<std::string> &candidates,
                          const SearchDeadline &deadline)
{
    for (const std::string &directory : candidates) {
        if (deadline.passed())
            return;
        if (!m_listing.mayHold(directory, MainArchive))
            continue;
        const std::optional<Edition> edition = gameIn(directory);
        if (!edition)
            continue;
        const ErrorOr<FileIdentity> identity = m_listing.identity(directory);
        if (identity.isError() || !m_seen.insert(identity.value()).second)
            continue;
        m_found.push_back({directory, *edition});
    }
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

std::vector<std::string> GameFinder::registeredInPrefix(const std::string &prefix)
{
    ErrorOr<std::string> registry = m_fileSystem.readFile(prefix + "system.reg");
    if (registry.isError())
        return {};
    SteamLibraries steam(m_fileSystem, m_listing);
    const auto inPrefix = [&](const std::string &path) {
        return reachInPrefix(prefix, path);
    };
    std::vector<std::string> folders = registeredFolders(
        WineRegistryFile(registry.releaseValue()).viewedStringValues(everyRecord()), inPrefix,
        steam);
    append(folders, steam.gameFolders());
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
            // The First Decade puts each game a level further down:
            // "EA Games\Command & Conquer The First Decade\Command & Conquer Red Alert(tm)".
            for (const std::string &product : listing.subfolders(program)) {
                folders.push_back(product);
                if (FolderListing::isLikely(program) && FolderListing::isLikely(product))
                    append(folders, listing.subfolders(product));
            }
        }
    }
    return folders;
}

std::vector<std::string> GameFinder::homeFolders()
{
    if (!m_home)
        return {};
    std::vector<std::string> folders = shelvedFolders(m_home->folder());
    const std::string hidden = m_home->folder() + '.';
    std::erase_if(folders,
                  [&hidden](const std::string &folder) { return folder.starts_with(hidden); });
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
    if (!Text::startsWithDrive(folder))
        return folder;
    return asStored(Text::toUpperAscii(folder.substr(0, 2)) + '\\',
                    Text::split(folder.substr(2), '\\', Text::EmptyParts::Skip));
}

// Steam records its folder in lower case ("c:\program files (x86)\steam"); the player knows it
// as the drive spells it. A name that is not there stays as written.
std::string GameFinder::asStored(std::string folder, const std::vector<std::string> &names) const
{
    const char separator = folder.back();
    for (const std::string &name : names) {
        const ErrorOr<std::string> stored = m_fileSystem.storedName(folder + name);
        folder += (stored.isError() ? name : stored.value()) + separator;
    }
    return folder;
}

std::optional<std::string> GameFinder::reachInPrefix(const std::string &prefix,
                                                     const std::string &path) const
{
    if (path.starts_with('/'))
        return m_home ? m_home->reach(path) : std::nullopt;
    if (!Text::startsWithDrive(path) || Text::toUpperAscii(path.substr(0, 1)) != "C")
        return std::nullopt;
    std::vector<std::string> names;
    for (const std::string &name : Text::split(path.substr(2), '\\', Text::EmptyParts::Skip))
        for (std::string &part : Text::split(name, '/', Text::EmptyParts::Skip))
            names.push_back(std::move(part));
    return asStored(prefix + "drive_c" + prefix.back(), names);
}
