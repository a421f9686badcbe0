#pragma once

#include <QString>

// Paths in the game folder. The directory ends in a backslash and names are joined to it
// directly, as the status file and the install dialog give it.
class GameFolder final
{
public:
    static inline const QString BackupFolderName = QStringLiteral("BEXOMv2");

    explicit GameFolder(QString directory) : m_directory(std::move(directory)) {}

    const QString &directory() const { return m_directory; }
    // The folder itself: without the final separator, which would make a file look missing
    // rather than not a folder, unless the separator is all there is.
    QString folder() const;
    // Whether the directory names one folder wherever the installer runs: "C:\" or "C:/" with a
    // drive letter, a UNC path "\\server\share\", or a POSIX path from the root. Anything
    // else would be taken relative to the package folder.
    bool isFullPath() const;
    QString file(const QString &name) const { return m_directory + name; }
    QString backupFolder() const { return m_directory + BackupFolderName; }
    QString backedUp(const QString &name) const { return backupFolder() + u'\\' + name; }

private:
    QString m_directory;
};
