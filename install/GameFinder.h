#pragma once

#include "Edition.h"
#include "FolderListing.h"
#include "RecordedPath.h"
#include "runtime/FileIdentity.h"
#include "runtime/FileSystem.h"
#include "runtime/LinuxHome.h"

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <vector>

class SteamLibraries;

// A folder that holds Red Alert with an expansion.
struct FoundGame
{
    // As the player types it into the install dialog, with a final separator: "C:\Games\RA\",
    // or a Linux path "/home/me/Games/ra/" for a folder outside the player's own Wine prefix.
    std::string directory;
    // The edition the installation accepts the folder for.
    Edition edition;
};

// Looks for Red Alert where players have it, for a player whose game is not in the folder given:
// the folders that the game's installers, Steam, CnCNet, the EA app and The First Decade recorded
// in the registry; the folders below each local drive's root and its shelves of games; each Steam
// library. On Linux, and from the Windows program run under Wine, also Steam's libraries in the
// home folder, the folders Lutris' games name, the home's own shelves, and every Wine prefix that
// Proton, Lutris, Bottles and PlayOnLinux made there: the folders on its drive C, then those its
// registry names. It only reads, lists no folder deeper than two levels below a shelf (three for
// the folders likeliest to hold the game), and never fails: a place that cannot be read holds
// nothing it could offer. It stops looking when its time is up, the places likeliest to hold the
// game looked at first.
class GameFinder final
{
public:
    // Well below what a player notices between a click and its answer, on an idle machine.
    static constexpr std::chrono::milliseconds SearchTime{50};

    // The time starts now.
    explicit GameFinder(FileSystem &fileSystem,
                        std::optional<LinuxHome> home = LinuxHome::ofThisProcess(),
                        std::chrono::milliseconds searchTime = SearchTime)
        : m_fileSystem(fileSystem), m_deadline(searchTime), m_listing(fileSystem, m_deadline),
          m_home(std::move(home))
    {}

    // Each folder once, however many ways lead to it, in the order above.
    std::vector<FoundGame> find();

    // The edition the installation would accept the folder for, Aftermath before Counterstrike:
    // nothing when it is not Red Alert with an expansion that BEXOM can be installed into. The
    // folder is checked anew, however it was listed before.
    std::optional<Edition> gameIn(const std::string &directory);

private:
    // Adds those of the folders that hold a game, each once.
    void consider(const std::vector<std::string> &candidates) { consider(candidates, m_deadline); }
    void consider(const std::vector<std::string> &candidates, const SearchDeadline &deadline);
    // The folders recorded in a registry; the Steam folders it names go to the libraries.
    std::vector<std::string>
    registeredFolders(const std::vector<std::optional<std::string>> &values,
                      const RecordedPathReach &reach, SteamLibraries &steam);
    // Each once, those whose names are likeliest first.
    void searchPrefixes(std::vector<std::string> prefixes);
    // Another prefix's registry names its own drive C, and Steam run in it lists its libraries in
    // the same way.
    std::vector<std::string> registeredInPrefix(const std::string &prefix);
    // The folders a drive's root holds, and those on its shelves of games.
    std::vector<std::string> shelvedFolders(const std::string &root);
    // The home's own shelves of games and the folders it holds, but not its hidden ones.
    std::vector<std::string> homeFolders();
    std::optional<std::string> reachFromHere(const std::string &path) const;
    // The folder followed by the names, each in the letter case the disk has it in.
    std::string asStored(std::string folder, const std::vector<std::string> &names) const;
    std::optional<std::string> reachInPrefix(const std::string &prefix,
                                             const std::string &path) const;

    FileSystem &m_fileSystem;
    SearchDeadline m_deadline;
    FolderListing m_listing;
    std::optional<LinuxHome> m_home;
    std::vector<FoundGame> m_found;
    std::set<FileIdentity> m_seen;
};
