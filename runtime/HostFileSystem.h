#pragma once

#include "FileSystem.h"
#include "PathTranslator.h"

// The file system of the machine the installer runs on.
class HostFileSystem final : public FileSystem
{
public:
    // Relative paths, such as the status file's, resolve against packageDirectory.
    explicit HostFileSystem(std::filesystem::path packageDirectory);

    ErrorOr<EntryKind> entryKind(const std::string &path) override;
    ErrorOr<std::string> storedName(const std::string &path) override;
    ErrorOr<bool> isSameEntry(const std::string &first, const std::string &second) override;
    ErrorOr<void> deleteFile(const std::string &path) override;
    ErrorOr<void> rename(const std::string &from, const std::string &to,
                         Overwrite overwrite) override;
    ErrorOr<void> copyFile(const std::string &from, const std::string &to) override;
    ErrorOr<void> makeDirectory(const std::string &path) override;
    ErrorOr<void> removeDirectory(const std::string &path) override;
    ErrorOr<std::string> readFile(const std::string &path) override;
    ErrorOr<void> writeFileAtomically(const std::string &path, const std::string &bytes) override;
    ErrorOr<void> appendDurably(const std::string &path, const std::string &bytes) override;

    ErrorOr<std::filesystem::path> hostPath(const std::string &path) override;
    ErrorOr<FileIdentity> identity(const std::string &path) override;
    // Links and folder durability.
    ErrorOr<LinkKind> linkKind(const std::string &path) override;
    ErrorOr<void> syncFolder(const std::string &path) override;
    ErrorOr<FileDigest> digest(const std::string &path) override;
    ErrorOr<void> createFileDurably(const std::string &path, const std::string &bytes) override;

private:
    PathTranslator m_translator;
};
