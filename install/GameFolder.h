#pragma once

#include <string>
#include <utility>

// Paths in the game folder. The directory ends in a backslash and names are joined to it
// directly, as the status file and the install dialog give it.
class GameFolder final
{
public:
    static inline const std::string BackupFolderName = "BEXOMv2";

    explicit GameFolder(std::string directory) : m_directory(std::move(directory)) {}

    const std::string &directory() const { return m_directory; }
    // The folder itself: without the final separator, which would make a file look missing
    // rather than not a folder, unless the separator is all there is.
    std::string folder() const;
    // Whether the directory names one folder wherever the installer runs: "C:\" or "C:/" with a
    // drive letter, a UNC path "\\server\share\", or a POSIX path from the root. Anything
    // else would be taken relative to the package folder.
    bool isFullPath() const;
    // Whether the directory begins at the root of a drive it does not name, as "\WESTWOOD\" does:
    // Windows takes the drive the installer was started from.
    bool lacksDrive() const;
    // Whether one of the directory's names is "..", which leads to the folder above.
    bool stepsUp() const;
    std::string file(const std::string &name) const { return m_directory + name; }
    std::string backupFolder() const { return m_directory + BackupFolderName; }
    std::string backedUp(const std::string &name) const { return backupFolder() + '\\' + name; }

private:
    std::string m_directory;
};
