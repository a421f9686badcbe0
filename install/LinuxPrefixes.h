#pragma once

#include "FolderListing.h"
#include "runtime/FileSystem.h"
#include "runtime/LinuxHome.h"

#include <string>
#include <vector>

// Where the player's Linux home keeps Steam and Wine prefixes: the folders Steam is installed in
// (native, Debian's, Flatpak, snap), and the prefixes of Lutris, Bottles and PlayOnLinux. Each
// folder is reached as the home says and written with a final separator.
class LinuxPrefixes final
{
public:
    LinuxPrefixes(FileSystem &fileSystem, const LinuxHome &home)
        : m_listing(fileSystem), m_home(home)
    {}

    std::vector<std::string> steamFolders();
    // Lutris', Bottles' and PlayOnLinux's prefixes, in that order.
    std::vector<std::string> prefixes();

private:
    std::vector<std::string> lutrisPrefixes();
    // The "prefix:" lines of Lutris' game files.
    std::vector<std::string> prefixesNamedIn(const std::string &gameFile);
    // The subfolders of each folder under the home.
    std::vector<std::string> subfoldersOf(const std::vector<std::string> &names);
    // A path under the home, "/"-separated, as the file system takes it, with a final separator.
    std::string underHome(const std::string &relativePath) const;

    FolderListing m_listing;
    const LinuxHome &m_home;
};
