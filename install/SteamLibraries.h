#pragma once

#include "FolderListing.h"
#include "RecordedPath.h"
#include "runtime/FileIdentity.h"
#include "runtime/FileSystem.h"

#include <string>
#include <vector>

// Steam's game libraries: the folder Steam is installed in and those its libraryfolders.vdf
// lists, each once however many links lead to it, with Red Alert's folder in each and the Wine
// prefixes Proton made there.
class SteamLibraries final
{
public:
    explicit SteamLibraries(FileSystem &fileSystem)
        : m_fileSystem(fileSystem), m_listing(fileSystem)
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
    void addLibrary(const std::string &library);
    std::optional<std::string> gameFolder(const std::string &library);

    FileSystem &m_fileSystem;
    FolderListing m_listing;
    std::vector<std::string> m_libraries;
    std::vector<FileIdentity> m_seen;
};
