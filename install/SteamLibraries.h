#pragma once

#include "FolderListing.h"
#include "RecordedPath.h"
#include "runtime/FileIdentity.h"
#include "runtime/FileSystem.h"

#include <set>
#include <string>
#include <vector>

// Steam's game libraries: the folder Steam is installed in and those its libraryfolders.vdf
// lists, each once however many links lead to it, with Red Alert's folder in each and the Wine
// prefixes Proton made there.
class SteamLibraries final
{
public:
    // Past the listing's deadline no more libraries are added.
    SteamLibraries(FileSystem &fileSystem, FolderListing &listing)
        : m_fileSystem(fileSystem), m_listing(listing), m_deadline(listing.deadline())
    {}

    // Adds the libraries of a Steam folder, with a final separator; the paths in its list are
    // reached as the reach says.
    void addSteam(const std::string &steamFolder, const RecordedPathReach &reach);

    // Where each library's manifest of Red Alert says the game is; a folder that is gone is
    // still named, the finder checks each.
    std::vector<std::string> gameFolders();
    // The Wine prefix of each game run through Proton: steamapps/compatdata/<app>/pfx.
    std::vector<std::string> protonPrefixes();

private:
    void addListed(const std::string &listFile, const RecordedPathReach &reach);
    void addLibrary(const std::string &library);
    std::optional<std::string> gameFolder(const std::string &library);

    FileSystem &m_fileSystem;
    FolderListing &m_listing;
    SearchDeadline m_deadline;
    std::vector<std::string> m_libraries;
    // A list of tens of thousands of libraries, each compared with every other, would keep the
    // player waiting for minutes.
    std::set<FileIdentity> m_seen;
};
