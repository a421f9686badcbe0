#pragma once

#include "FileSystem.h"
#include "PathTranslator.h"

#include <vector>

// The file system of the machine the installer runs on.
class HostFileSystem final : public FileSystem
{
public:
    // Relative paths, such as the status file's, resolve against packageDirectory.
    explicit HostFileSystem(std::filesystem::path packageDirectory);
    // The translators refer to the listings of this very object.
    HostFileSystem(const HostFileSystem &) = delete;
    HostFileSystem &operator=(const HostFileSystem &) = delete;

    ErrorOr<EntryKind> entryKind(const std::string &path) override;
    ErrorOr<bool> isFreeName(const std::string &path) override;
    ErrorOr<std::string> storedName(const std::string &path) override;
    ErrorOr<bool> isSameEntry(const std::string &first, const std::string &second) override;
    ErrorOr<void> deleteFile(const std::string &path) override;
    ErrorOr<void> rename(const std::string &from, const std::string &to,
                         Overwrite overwrite) override;
    using FileSystem::copyFile;
    ErrorOr<void> copyFile(const std::string &from, const std::string &to, Flush flush) override;
    ErrorOr<void> clearCutShortMove(const std::string &from, const std::string &to) override;
    ErrorOr<void> renameFolder(const std::string &from, const std::string &to) override;
    ErrorOr<void> makeDirectory(const std::string &path) override;
    ErrorOr<void> removeDirectory(const std::string &path) override;
    ErrorOr<std::vector<std::string>> entryNames(const std::string &folder) override;
    ErrorOr<std::string> readFile(const std::string &path) override;
    ErrorOr<void> writeFileAtomically(const std::string &path, const std::string &bytes) override;
    ErrorOr<void> appendDurably(const std::string &path, const std::string &bytes) override;

    ErrorOr<std::filesystem::path> hostPath(const std::string &path) override;
    ErrorOr<FileIdentity> identity(const std::string &path) override;
    ErrorOr<FileStamp> stamp(const std::string &path) override;
    // Links and folder durability.
    ErrorOr<LinkKind> linkKind(const std::string &path) override;
    ErrorOr<void> syncFolder(const std::string &path) override;
    ErrorOr<void> flushFileSystem(const std::string &folder) override;
    ErrorOr<std::unique_ptr<DigestReader>> openForDigest(const std::string &path) override;
    ErrorOr<void> createFileDurably(const std::string &path, const std::string &bytes) override;

    ErrorOr<void> holdFolder(const std::string &path, HeldFolder::OwnName ownName) override;
    ErrorOr<void> checkHeldFolders() override;
    void releaseFolders() override;

private:
    enum class Listed { Added, Removed };

    struct Hold
    {
        // As the caller names it, and where it was on the host when it was opened.
        std::string path;
        std::filesystem::path host;
        std::unique_ptr<HeldFolder> folder;
        PathTranslator inside;
    };

    // The host path, looked up inside the innermost held folder that holds it.
    ErrorOr<std::filesystem::path> toHost(const std::string &path) const;
    std::vector<Hold>::iterator holdOf(const std::string &path);
    ErrorOr<void> removeFolder(const std::string &path);
    ErrorOr<void> renameEntry(const std::string &from, const std::filesystem::path &fromHost,
                              const std::string &to, const std::filesystem::path &destination,
                              Overwrite overwrite);
    // Keeps the listing of the entry's folder as the change left it, or drops it when the change
    // failed, since it may have gone half way.
    ErrorOr<void> noted(ErrorOr<void> change, const std::filesystem::path &host, Listed listed);

    // Kept while folders are held, that is while a transaction works in them.
    ListingCache m_listings;
    PathTranslator m_translator;
    std::vector<Hold> m_holds;
};
