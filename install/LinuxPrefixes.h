#pragma once

#include "FolderListing.h"
#include "runtime/FileSystem.h"
#include "runtime/LinuxHome.h"

#include <string>
#include <vector>

// Where the player's Linux home keeps Steam and Wine prefixes: the folders Steam is installed in
// (native, Debian's, Flatpak, snap), the prefixes of Lutris, Bottles and PlayOnLinux, and the
// folders of Lutris' games. Each folder is reached as the home says and written with a final
// separator.
class LinuxPrefixes final
{
public:
    LinuxPrefixes(FolderListing &listing, const LinuxHome &home) : m_listing(listing), m_home(home)
    {}

    std::vector<std::string> steamFolders();
    // Lutris', Bottles' and PlayOnLinux's prefixes, in that order.
    std::vector<std::string> prefixes();
    // The folders Lutris' game files name for the game itself.
    std::vector<std::string> lutrisGameFolders();

private:
    std::vector<std::string> lutrisPrefixes();
    std::vector<std::string> lutrisGameFiles();
    // The full paths in the lines "key: path" of a settings file of Lutris or Bottles.
    std::vector<std::string> pathsNamedIn(const std::string &file, const std::string &key);
    // The subfolders of each folder under the home.
    std::vector<std::string> subfoldersOf(const std::vector<std::string> &names);
    // A path under the home, "/"-separated, as the file system takes it, with a final separator.
    std::string underHome(const std::string &relativePath) const;

    FolderListing &m_listing;
    const LinuxHome &m_home;
};
