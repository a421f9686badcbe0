#include "HostFileSystem.h"

#include "NativeFileOperations.h"
#include "Sha256.h"

#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

// The status file is a few dozen bytes; anything far larger is not one of the installer's files,
// and reading it whole would only waste memory.
constexpr std::uintmax_t MaximumTextFileSize = 16 * 1024 * 1024;
// Large reads keep the system calls few; the hash, not the reading, sets the pace.
constexpr std::size_t DigestBufferSize = 1024 * 1024;

QString notAFileCause()
{
    return QStringLiteral("This is a folder, not a file.");
}

ErrorOr<fs::file_status> statusOf(const fs::path &host, const QString &path)
{
    std::error_code error;
    const fs::file_status status = fs::status(host, error);
    if (error && error != std::errc::no_such_file_or_directory &&
        error != std::errc::not_a_directory)
        return RuntimeError::fromErrorCode(error, path);
    return status;
}

ErrorOr<void> checkIsFile(const fs::path &host, const QString &path)
{
    const fs::file_status status = TRY(statusOf(host, path));
    if (!fs::exists(status))
        return RuntimeError(RuntimeErrorCode::FileNotFound, path);
    if (fs::is_directory(status))
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path, notAFileCause());
    return {};
}

ErrorOr<void> checkAbsent(const fs::path &host, const QString &path)
{
    std::error_code error;
    if (fs::exists(fs::symlink_status(host, error)))
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, path);
    return {};
}

ErrorOr<void> fromSystem(std::error_code error, const QString &path)
{
    if (error)
        return RuntimeError::fromErrorCode(error, path);
    return {};
}

RuntimeError missingParent(const QString &path)
{
    return RuntimeError(RuntimeErrorCode::PathNotFound, path,
                        QStringLiteral("The folder that should hold it does not exist."));
}

fs::path siblingWithPrefix(const fs::path &host, const char *prefix)
{
    fs::path name(prefix);
    name += host.filename();
    return host.parent_path() / name;
}

} // namespace

HostFileSystem::HostFileSystem(fs::path packageDirectory)
    : m_translator(std::move(packageDirectory))
{}

ErrorOr<EntryKind> HostFileSystem::entryKind(const QString &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    const fs::file_status status = TRY(statusOf(host, path));
    if (!fs::exists(status))
        return EntryKind::Missing;
    if (fs::is_directory(status))
        return EntryKind::Directory;
    if (fs::is_regular_file(status))
        return EntryKind::File;
    return EntryKind::Other;
}

ErrorOr<QString> HostFileSystem::storedName(const QString &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    return QString::fromStdString(host.filename().string());
}

ErrorOr<bool> HostFileSystem::isSameEntry(const QString &first, const QString &second)
{
    const fs::path firstHost = TRY(m_translator.toHostPath(first));
    const fs::path secondHost = TRY(m_translator.toHostPath(second));
    std::error_code error;
    const bool same = fs::equivalent(firstHost, secondHost, error);
    return !error && same;
}

ErrorOr<void> HostFileSystem::deleteFile(const QString &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    TRY(checkIsFile(host, path));
    std::error_code error;
    fs::remove(host, error);
    return fromSystem(error, path);
}

ErrorOr<void> HostFileSystem::rename(const QString &from, const QString &to, Overwrite overwrite)
{
    const fs::path fromHost = TRY(m_translator.toHostPath(from));
    const fs::path toHost = TRY(m_translator.toHostPath(to));
    TRY(checkIsFile(fromHost, from));
    std::error_code error;
    if (overwrite == Overwrite::No)
        error = NativeFileOperations::renameNoReplace(fromHost, toHost);
    else
        fs::rename(fromHost, toHost, error);
    if (error == std::errc::cross_device_link) {
        // Only a move to another file system copies; the source goes once the copy is whole.
        if (overwrite == Overwrite::No)
            TRY(checkAbsent(toHost, to));
        TRY(fromSystem(NativeFileOperations::copyContents(fromHost, toHost), to));
        fs::remove(fromHost, error);
    }
    if (error == std::errc::file_exists)
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, to);
    if (error == std::errc::no_such_file_or_directory)
        return missingParent(to);
    return fromSystem(error, from);
}

ErrorOr<void> HostFileSystem::copyFile(const QString &from, const QString &to)
{
    const fs::path fromHost = TRY(m_translator.toHostPath(from));
    const fs::path toHost = TRY(m_translator.toHostPath(to));
    TRY(checkIsFile(fromHost, from));
    std::error_code error;
    // Opening the destination truncates it, which would destroy a file copied onto itself.
    if (fs::equivalent(fromHost, toHost, error))
        return RuntimeError(RuntimeErrorCode::InvalidProcedureCall, to,
                            QStringLiteral("The file would be copied onto itself."));
    error = NativeFileOperations::copyContents(fromHost, toHost);
    if (error == std::errc::no_such_file_or_directory)
        return missingParent(to);
    return fromSystem(error, to);
}

ErrorOr<void> HostFileSystem::makeDirectory(const QString &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    std::error_code error;
    if (fs::create_directory(host, error))
        return {};
    if (!error)
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, path);
    if (error == std::errc::no_such_file_or_directory)
        return missingParent(path);
    return fromSystem(error, path);
}

ErrorOr<void> HostFileSystem::removeDirectory(const QString &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    const fs::file_status status = TRY(statusOf(host, path));
    if (!fs::is_directory(status))
        return RuntimeError(RuntimeErrorCode::PathNotFound, path);
    std::error_code error;
    fs::remove(host, error);
    if (error == std::errc::directory_not_empty)
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            QStringLiteral("The folder is not empty."));
    return fromSystem(error, path);
}

ErrorOr<QByteArray> HostFileSystem::readFile(const QString &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    TRY(checkIsFile(host, path));
    std::error_code error;
    const std::uintmax_t size = fs::file_size(host, error);
    if (error)
        return RuntimeError::fromErrorCode(error, path);
    if (size > MaximumTextFileSize)
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            QStringLiteral("The file is too large to be a text file of the "
                                           "installer."));
    std::ifstream stream(host, std::ios::binary);
    if (!stream)
        return RuntimeError::fromErrorCode({errno, std::generic_category()}, path);
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    stream.read(bytes.data(), bytes.size());
    bytes.truncate(stream.gcount());
    if (stream.bad())
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            QStringLiteral("The file could not be read."));
    return bytes;
}

ErrorOr<void> HostFileSystem::writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    const fs::path temporary = siblingWithPrefix(host, ".bexom-new-");
    if (const std::error_code error = NativeFileOperations::writeDurably(temporary, bytes)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return RuntimeError::fromErrorCode(error, path);
    }
    std::error_code error;
    fs::rename(temporary, host, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return RuntimeError::fromErrorCode(error, path);
    }
    return fromSystem(NativeFileOperations::syncDirectory(host.parent_path()), path);
}

ErrorOr<void> HostFileSystem::appendDurably(const QString &path, const QByteArray &bytes)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    std::error_code error;
    const bool created = !fs::exists(fs::symlink_status(host, error));
    TRY(fromSystem(NativeFileOperations::appendDurably(host, bytes), path));
    // A new file's name is on the disk only once its folder is.
    if (created)
        return fromSystem(NativeFileOperations::syncDirectory(host.parent_path()), path);
    return {};
}

ErrorOr<FileDigest> HostFileSystem::digest(const QString &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    TRY(checkIsFile(host, path));
    std::ifstream stream(host, std::ios::binary);
    if (!stream)
        return RuntimeError::fromErrorCode({errno, std::generic_category()}, path);
    const std::unique_ptr<char[]> buffer(new char[DigestBufferSize]);
    Sha256 hash;
    FileDigest digest;
    while (stream) {
        stream.read(buffer.get(), DigestBufferSize);
        hash.update(buffer.get(), static_cast<std::size_t>(stream.gcount()));
        digest.size += stream.gcount();
    }
    if (stream.bad())
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            QStringLiteral("The file could not be read."));
    const Sha256::Digest sha256 = hash.finish();
    digest.sha256 = QByteArray(reinterpret_cast<const char *>(sha256.data()), sha256.size());
    return digest;
}

ErrorOr<void> HostFileSystem::createFileDurably(const QString &path, const QByteArray &bytes)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    const std::error_code error = NativeFileOperations::createDurably(host, bytes);
    if (error == std::errc::file_exists)
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, path);
    if (error == std::errc::no_such_file_or_directory)
        return missingParent(path);
    TRY(fromSystem(error, path));
    return fromSystem(NativeFileOperations::syncDirectory(host.parent_path()), path);
}
