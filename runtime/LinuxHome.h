#pragma once

#include <optional>
#include <string>

// The home folder of the player on Linux, where Steam, Lutris, Bottles and PlayOnLinux keep their
// games and Wine prefixes, and how the installer reaches the host's paths: as they are from the
// Linux program, through the drive that Wine maps onto "/" (usually Z:) from the Windows program
// run under Wine or Proton.
class LinuxHome final
{
public:
    // The host path of the home folder, and the drive that maps "/", empty on Linux itself.
    LinuxHome(std::string hostFolder, std::string rootDrive)
        : m_hostFolder(std::move(hostFolder)), m_rootDrive(std::move(rootDrive))
    {}

    // The running installer's: $HOME on Linux; under Wine the same through its drive; nothing
    // on Windows itself, or when there is no home folder.
    static std::optional<LinuxHome> ofThisProcess();

    // A full path of the host ("/home/me/.steam") as the installer's file operations take it and
    // as a folder is written for the player, with a final separator: "/home/me/.steam/", or
    // "Z:\home\me\.steam\" under Wine. Nothing for a path that is not full.
    std::optional<std::string> reach(const std::string &hostPath) const;
    std::string folder() const { return reach(m_hostFolder).value_or(std::string()); }
    const std::string &hostFolder() const { return m_hostFolder; }

private:
    std::string m_hostFolder;
    std::string m_rootDrive;
};
