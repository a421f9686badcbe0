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
    QString file(const QString &name) const { return m_directory + name; }
    QString backupFolder() const { return m_directory + BackupFolderName; }
    QString backedUp(const QString &name) const { return backupFolder() + u'\\' + name; }

private:
    QString m_directory;
};
