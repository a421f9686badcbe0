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

// Writes every byte through the opened handle and waits until they are on the disk.
std::error_code writeAndFlush(const FileHandle &file, const std::string &bytes)
{
    if (!file.isValid())
        return lastError();
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) ||
        written != static_cast<DWORD>(bytes.size()))
        return lastError();
    if (!::FlushFileBuffers(file.get()))
        return lastError();
    return {};
}

} // namespace

namespace NativeFileOperations {

std::error_code copyContents(const fs::path &from, const fs::path &to)
{
    // CopyFile lets the system pick its fastest path and removes a partial destination itself;
    // it refuses a taken destination rather than replace it.
    if (!::CopyFileW(from.c_str(), to.c_str(), TRUE))
        return lastError();
    return {};
}

std::error_code renameNoReplace(const fs::path &from, const fs::path &to)
{
    if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return lastError();
    return {};
}

std::error_code writeDurably(const fs::path &path, const std::string &bytes)
{
    return writeAndFlush(FileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)),
                         bytes);
}

std::error_code appendDurably(const fs::path &path, const std::string &bytes)
{
    // With FILE_APPEND_DATA alone, every write goes to the end of the file.
    return writeAndFlush(
        FileHandle(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)),
        bytes);
}

std::error_code readContents(const fs::path &path, qsizetype limit, QByteArray &bytes)
{
    const FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.isValid() || !::GetFileSizeEx(file.get(), &size))
        return lastError();
    if (size.QuadPart > limit)
        return std::make_error_code(std::errc::file_too_large);
    bytes.resize(static_cast<qsizetype>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return lastError();
    bytes.truncate(read);
    return {};
}

std::error_code createDurably(const fs::path &path, const QByteArray &bytes)
{
    return writeAndFlush(FileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)),
                         bytes);
}

std::error_code syncDirectory(const fs::path &)
{
    // NTFS journals its own metadata; a rename is durable once MoveFileEx returns.
    return {};
}

} // namespace NativeFileOperations
