#include "NativeFileOperations.h"

#include <windows.h>

namespace fs = std::filesystem;

namespace {

std::error_code lastError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// Closes the handle when it goes out of scope.
class FileHandle final
{
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle()
    {
        if (isValid())
            ::CloseHandle(m_handle);
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;

    HANDLE get() const { return m_handle; }
    bool isValid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

// Opens only a plain file: a folder gives is_a_directory, and a device or a pipe gives
// not_supported. A file name that ends in a separator is missing.
HANDLE openPlainFile(const fs::path &path, DWORD access, DWORD share, DWORD disposition,
                     std::error_code &error)
{
    const HANDLE file = ::CreateFileW(path.c_str(), access, share, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = lastError();
        // Windows refuses to open a folder as a file with a denied access.
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            error = std::make_error_code(std::errc::is_a_directory);
        return file;
    }
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);
        error = std::make_error_code(std::errc::not_supported);
        return INVALID_HANDLE_VALUE;
    }
    error = {};
    return file;
}

// Writes every byte into the file, opened as asked, and waits until they are on the disk.
std::error_code writeAndFlush(const fs::path &path, DWORD access, DWORD share, DWORD disposition,
                              const std::string &bytes)
{
    std::error_code error;
    const FileHandle file(openPlainFile(path, access, share, disposition, error));
    if (error)
        return error;
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != static_cast<DWORD>(bytes.size()))
        return lastError();
    if (!::FlushFileBuffers(file.get()))
        return lastError();
    return {};
}

// A file copied from a CD is read-only, and so would be its copy, which the removal could then
// not delete.
std::error_code makeWritable(const fs::path &path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    if ((attributes & FILE_ATTRIBUTE_READONLY) &&
        !::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return lastError();
    return {};
}

std::error_code flush(const fs::path &path)
{
    const FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.isValid() || !::FlushFileBuffers(file.get()))
        return lastError();
    return {};
}

} // namespace

namespace NativeFileOperations {

std::error_code status(const fs::path &path, Links links, fs::file_status &status)
{
    // The C runtime's stat, which std::filesystem uses, fails on "\\?\C:\".
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        status = fs::file_status(fs::file_type::not_found);
        return lastError();
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        std::error_code error;
        status = links == Links::Follow ? fs::status(path, error) : fs::symlink_status(path, error);
        return error;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        status = fs::file_status(fs::file_type::directory);
    else if (attributes & FILE_ATTRIBUTE_DEVICE)
        status = fs::file_status(fs::file_type::unknown);
    else
        status = fs::file_status(fs::file_type::regular);
    return {};
}

std::error_code copyContents(const fs::path &from, const fs::path &to, Flush)
{
    // CopyFileEx lets the system pick its fastest path, removes a partial destination itself and
    // refuses a taken destination rather than replace it.
    if (!::CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr,
                       COPY_FILE_FAIL_IF_EXISTS))
        return lastError();
    std::error_code error = makeWritable(to);
    if (!error)
        error = flush(to);
    if (error)
        ::DeleteFileW(to.c_str());
    return error;
}

// Without MOVEFILE_COPY_ALLOWED: the system's copy to another volume could be cut short by a crash
// at the destination's own name. ERROR_NOT_SAME_DEVICE compares equal to cross_device_link.
std::error_code renameNoReplace(const fs::path &from, const fs::path &to)
{
    if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
        return lastError();
    return {};
}

std::error_code resolve(const fs::path &path, fs::path &resolved)
{
    // std::filesystem takes the "?" of "\\?\C:\" for a server name, so it cannot be asked.
    resolved = path.has_filename() || !path.has_relative_path() ? path : path.parent_path();
    return {};
}

std::error_code replace(const fs::path &from, const fs::path &to)
{
    if (::GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES)
        if (const std::error_code error = makeWritable(to))
            return error;
    if (!::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastError();
    return {};
}

std::error_code writeDurably(const fs::path &path, const std::string &bytes)
{
    return writeAndFlush(path, GENERIC_WRITE, 0, CREATE_ALWAYS, bytes);
}

std::error_code appendDurably(const fs::path &path, const std::string &bytes)
{
    // With FILE_APPEND_DATA alone, every write goes to the end of the file.
    return writeAndFlush(path, FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS, bytes);
}

// Shared for deletion too, so that the file can be moved while it is read.
std::error_code openForReading(const fs::path &path, ReadHandle &handle)
{
    std::error_code error;
    const HANDLE file =
        openPlainFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      OPEN_EXISTING, error);
    if (error)
        return error;
    handle = reinterpret_cast<ReadHandle>(file);
    return {};
}

std::error_code readSome(ReadHandle handle, char *buffer, std::size_t size, std::size_t &count)
{
    DWORD read = 0;
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle), buffer, static_cast<DWORD>(size), &read,
                    nullptr))
        return lastError();
    count = read;
    return {};
}

void closeReading(ReadHandle handle)
{
    ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

std::error_code readContents(const fs::path &path, std::size_t limit, std::string &bytes)
{
    std::error_code error;
    const FileHandle file(openPlainFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, error));
    if (error)
        return error;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size))
        return lastError();
    if (static_cast<unsigned long long>(size.QuadPart) > limit)
        return std::make_error_code(std::errc::file_too_large);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return lastError();
    bytes.resize(read);
    return {};
}

FolderOwner owner(const fs::path &)
{
    return {};
}

std::error_code createDurably(const fs::path &path, const std::string &bytes)
{
    return writeAndFlush(path, GENERIC_WRITE, 0, CREATE_NEW, bytes);
}

std::error_code isUnseenNameFree(const fs::path &path, bool &free)
{
    const FileHandle probe(::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                         CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    const DWORD error = probe.isValid() ? ERROR_SUCCESS : ::GetLastError();
    // Any other refusal is the move's to report, which would meet it too.
    free = error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS;
    return {};
}

std::error_code storedName(const fs::path &path, fs::path &name)
{
    name = path.filename();
    // A name with a wildcard would be a pattern to FindFirstFile, and no entry can have one.
    if (name.empty() || name.native().find_first_of(L"*?") != std::wstring::npos)
        return {};
    WIN32_FIND_DATAW entry{};
    const HANDLE search = ::FindFirstFileW(path.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {};
        return {static_cast<int>(error), std::system_category()};
    }
    ::FindClose(search);
    name = entry.cFileName;
    return {};
}

std::error_code syncDirectory(const fs::path &directory)
{
    // NTFS journals its own metadata; a rename is durable once MoveFileEx returns. The folder
    // must still be there.
    const DWORD attributes = ::GetFileAttributesW(directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return lastError();
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::make_error_code(std::errc::not_a_directory);
    return {};
}

// Every copy was flushed as it was made.
std::error_code syncFileSystem(const fs::path &folder)
{
    return syncDirectory(folder);
}

} // namespace NativeFileOperations
