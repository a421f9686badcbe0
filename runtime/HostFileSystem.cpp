#include "HostFileSystem.h"

#include "NativeFileOperations.h"

#include <fstream>

namespace fs = std::filesystem;

namespace {

// The status file is a few dozen bytes; anything far larger is not one of the installer's files,
// and reading it whole would only waste memory.
constexpr std::uintmax_t MaximumTextFileSize = 16 * 1024 * 1024;

std::string notAFileCause()
{
    return "This is a folder, not a file.";
}

ErrorOr<fs::file_status> statusOf(const fs::path &host, const std::string &path)
{
    fs::file_status status;
    const std::error_code error = NativeFileOperations::status(host, status);
    if (error && error != std::errc::no_such_file_or_directory &&
        error != std::errc::not_a_directory)
        return RuntimeError::fromErrorCode(error, path);
    return status;
}

ErrorOr<void> checkIsFile(const fs::path &host, const std::string &path)
{
    const fs::file_status status = TRY(statusOf(host, path));
    if (!fs::exists(status))
        return RuntimeError(RuntimeErrorCode::FileNotFound, path);
    if (fs::is_directory(status))
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path, notAFileCause());
    return {};
}

ErrorOr<void> checkAbsent(const fs::path &host, const std::string &path)
{
    std::error_code error;
    if (fs::exists(fs::symlink_status(host, error)))
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, path);
    return {};
}

ErrorOr<void> fromSystem(std::error_code error, const std::string &path)
{
    if (error)
        return RuntimeError::fromErrorCode(error, path);
    return {};
}

RuntimeError missingParent(const std::string &path)
{
    return RuntimeError(RuntimeErrorCode::PathNotFound, path,
                        "The folder that should hold it does not exist.");
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

ErrorOr<EntryKind> HostFileSystem::entryKind(const std::string &path)
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

ErrorOr<std::string> HostFileSystem::storedName(const std::string &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    fs::path stored;
    TRY(fromSystem(NativeFileOperations::storedName(host, stored), path));
    // As UTF-8 on every platform; on POSIX these are the very bytes of the name.
    const std::u8string name = stored.u8string();
    return std::string(name.begin(), name.end());
}

ErrorOr<bool> HostFileSystem::isSameEntry(const std::string &first, const std::string &second)
{
    const fs::path firstHost = TRY(m_translator.toHostPath(first));
    const fs::path secondHost = TRY(m_translator.toHostPath(second));
    std::error_code error;
    const bool same = fs::equivalent(firstHost, secondHost, error);
    return !error && same;
}

ErrorOr<void> HostFileSystem::deleteFile(const std::string &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    TRY(checkIsFile(host, path));
    std::error_code error;
    fs::remove(host, error);
    return fromSystem(error, path);
}

ErrorOr<void> HostFileSystem::rename(const std::string &from, const std::string &to,
                                     Overwrite overwrite)
{
    const fs::path fromHost = TRY(m_translator.toHostPath(from));
    const fs::path toHost = TRY(m_translator.toHostPath(to));
    TRY(checkIsFile(fromHost, from));
    std::error_code error;
    if (overwrite == Overwrite::No)
        error = NativeFileOperations::renameNoReplace(fromHost, toHost);
    else
        error = NativeFileOperations::replace(fromHost, toHost);
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

ErrorOr<void> HostFileSystem::copyFile(const std::string &from, const std::string &to)
{
    const fs::path fromHost = TRY(m_translator.toHostPath(from));
    const fs::path toHost = TRY(m_translator.toHostPath(to));
    TRY(checkIsFile(fromHost, from));
    std::error_code error;
    // Opening the destination truncates it, which would destroy a file copied onto itself.
    if (fs::equivalent(fromHost, toHost, error))
        return RuntimeError(RuntimeErrorCode::InvalidProcedureCall, to,
                            "The file would be copied onto itself.");
    error = NativeFileOperations::copyContents(fromHost, toHost);
    if (error == std::errc::no_such_file_or_directory)
        return missingParent(to);
    return fromSystem(error, to);
}

ErrorOr<void> HostFileSystem::makeDirectory(const std::string &path)
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

ErrorOr<void> HostFileSystem::removeDirectory(const std::string &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    const fs::file_status status = TRY(statusOf(host, path));
    if (!fs::is_directory(status))
        return RuntimeError(RuntimeErrorCode::PathNotFound, path);
    std::error_code error;
    fs::remove(host, error);
    // Windows may call a folder that is not empty a denied access.
    std::error_code ignored;
    if (error && !fs::is_empty(host, ignored) && !ignored)
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            "The folder is not empty.");
    return fromSystem(error, path);
}

ErrorOr<std::string> HostFileSystem::readFile(const std::string &path)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    TRY(checkIsFile(host, path));
    std::error_code error;
    const std::uintmax_t size = fs::file_size(host, error);
    if (error)
        return RuntimeError::fromErrorCode(error, path);
    if (size > MaximumTextFileSize)
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            "The file is too large to be a text file of the installer.");
    std::ifstream stream(host, std::ios::binary);
    if (!stream)
        return RuntimeError::fromErrorCode({errno, std::generic_category()}, path);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    if (stream.bad())
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            "The file could not be read.");
    return bytes;
}

ErrorOr<void> HostFileSystem::writeFileAtomically(const std::string &path, const std::string &bytes)
{
    const fs::path host = TRY(m_translator.toHostPath(path));
    const fs::path temporary = siblingWithPrefix(host, ".bexom-new-");
    if (const std::error_code error = NativeFileOperations::writeDurably(temporary, bytes)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return RuntimeError::fromErrorCode(error, path);
    }
    if (const std::error_code error = NativeFileOperations::replace(temporary, host)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return RuntimeError::fromErrorCode(error, path);
    }
    return fromSystem(NativeFileOperations::syncDirectory(host.parent_path()), path);
}

ErrorOr<void> HostFileSystem::appendDurably(const std::string &path, const std::string &bytes)
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
