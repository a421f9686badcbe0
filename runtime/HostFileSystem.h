#pragma once

#include "FileSystem.h"
#include "PathTranslator.h"

// The file system of the machine the installer runs on.
class HostFileSystem final : public FileSystem
{
public:
    // Relative paths, such as the status file's, resolve against packageDirectory.
    explicit HostFileSystem(std::filesystem::path packageDirectory);

    ErrorOr<EntryKind> entryKind(const QString &path) override;
    ErrorOr<QString> storedName(const QString &path) override;
    ErrorOr<bool> isSameEntry(const QString &first, const QString &second) override;
    ErrorOr<void> deleteFile(const QString &path) override;
    ErrorOr<void> rename(const QString &from, const QString &to, Overwrite overwrite) override;
    ErrorOr<void> copyFile(const QString &from, const QString &to) override;
    ErrorOr<void> makeDirectory(const QString &path) override;
    ErrorOr<void> removeDirectory(const QString &path) override;
    ErrorOr<QByteArray> readFile(const QString &path) override;
    ErrorOr<void> writeFileAtomically(const QString &path, const QByteArray &bytes) override;
    ErrorOr<void> appendDurably(const QString &path, const QByteArray &bytes) override;

    ErrorOr<std::filesystem::path> hostPath(const QString &path) override;
    ErrorOr<FileIdentity> identity(const QString &path) override;
    // Links and folder durability.
    ErrorOr<LinkKind> linkKind(const QString &path) override;
    ErrorOr<void> syncFolder(const QString &path) override;
    ErrorOr<FileDigest> digest(const QString &path) override;
    ErrorOr<void> createFileDurably(const QString &path, const QByteArray &bytes) override;

private:
    PathTranslator m_translator;
};
