#pragma once

#include <string>

// The message boxes that the windows' routines show, as ScriptedMessageBox records them: "title |
// style | prompt".
inline std::string runtimeError(int number, const std::string &description)
{
    return "BEXOM | C | ...\n\nNothing was changed.\n\nRun-time error '" + std::to_string(number) +
           "': " + description;
}

inline std::string confirmInstall(const std::string &directory)
{
    return "Install BEXOM? | YN Q | Are you sure you wish to install BEXOM to the directory: " +
           directory;
}

// A status file for the install dialog's own game directory.
inline std::string statusFor(const std::string &edition)
{
    return "Status=" + edition + "\r\nPath=C:\\WESTWOOD\\REDALERT\\\r\n";
}

// The notices of a finished installation and removal, for the game folder given.
inline std::string installedIn(const std::string &directory)
{
    return "BEXOM | I | BEXOM has been installed in " + directory + ".";
}

inline std::string uninstalledFrom(const std::string &directory)
{
    return "BEXOM | I | BEXOM has been uninstalled from " + directory + ".";
}
