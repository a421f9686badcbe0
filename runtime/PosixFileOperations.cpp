#include "NativeFileOperations.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor final
{
public:
    explicit FileDescriptor(int descriptor) : m_descriptor(descriptor) {}
    ~FileDescriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_descriptor; }
    bool isValid() const { return m_descriptor >= 0; }
    int release() { return std::exchange(m_descriptor, -1); }
    // Closing can report a write error that the writes themselves did not.
    std::error_code close()
    {
        const int result = ::close(m_descriptor);
        m_descriptor = -1;
        return result == 0 ? std::error_code{} : lastError();
    }

private:
    int m_descriptor;
};

// Opens the entry only if it is a plain file. Opening a named pipe or a device could block, or
// have effects of its own, so the opening never waits and the type is checked on what was opened.
std::error_code openPlainFile(const fs::path &path, int flags, mode_t mode, int &descriptor)
{
    FileDescriptor file(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, mode));
    if (!file.isValid())
        return lastError();
    struct stat status
    {};
    if (::fstat(file.get(), &status) != 0)
        return lastError();
    if (!S_ISREG(status.st_mode))
        return std::make_error_code(S_ISDIR(status.st_mode) ? std::errc::is_a_directory
                                                            : std::errc::not_supported);
    const int statusFlags = ::fcntl(file.get(), F_GETFL);
    if (statusFlags < 0 || ::fcntl(file.get(), F_SETFL, statusFlags & ~O_NONBLOCK) != 0)
        return lastError();
    descriptor = file.release();
    return {};
}

bool kernelCopyUnsupported(int error)
{
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP;
}

std::error_code copyByReading(int from, int to)
{
    // Small enough to stay in the cache, large enough to keep the system calls few.
    std::array<char, 256 * 1024> buffer;
    while (true) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return lastError();
        if (got == 0)
            return {};
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(to, buffer.data() + written, got - written);
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                return lastError();
            written += put;
        }
    }
}

std::error_code copyDescriptors(int from, int to)
{
    while (true) {
        const ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (copied > 0)
            continue;
        if (copied == 0)
            return {};
        if (errno == EINTR)
            continue;
        if (kernelCopyUnsupported(errno) && ::lseek(to, 0, SEEK_CUR) == 0)
            return copyByReading(from, to);
        return lastError();
    }
}

// Opens the file with the given mode, creating it when missing but never through a link, writes
// every byte and waits until they are on the disk.
std::error_code writeAndSync(const fs::path &path, int mode, const std::string &bytes)
{
    int descriptor = -1;
    if (const std::error_code error =
            openPlainFile(path, O_WRONLY | O_CREAT | O_NOFOLLOW | mode, 0644, descriptor))
        return error;
    FileDescriptor file(descriptor);
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t put = ::write(file.get(), bytes.data() + written, bytes.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return lastError();
        written += put;
    }
    // The bytes and the size that reaches them, without the file's times: a journal record costs
    // one flush of its data. A name that is new reaches the disk with its folder's flush.
    if (::fdatasync(file.get()) != 0)
        return lastError();
    return file.close();
}

// Opens the folder for the flush, which takes a descriptor.
std::error_code onFolder(const fs::path &path, int (*flush)(int))
{
    FileDescriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.isValid())
        return lastError();
    if (flush(folder.get()) != 0)
        return lastError();
    return {};
}

} // namespace

namespace NativeFileOperations {

std::error_code status(const fs::path &path, Links links, fs::file_status &status)
{
    std::error_code error;
    status = links == Links::Follow ? fs::status(path, error) : fs::symlink_status(path, error);
    return error;
}

std::error_code copyContents(const fs::path &from, const fs::path &to, Flush flush)
{
    int sourceDescriptor = -1;
    if (const std::error_code error = openPlainFile(from, O_RDONLY, 0, sourceDescriptor))
        return error;
    FileDescriptor source(sourceDescriptor);
    struct stat sourceStatus
    {};
    if (::fstat(source.get(), &sourceStatus) != 0)
        return lastError();
    // Created here and now, so that nothing standing at the name, a link least of all, is
    // written through or truncated.
    FileDescriptor destination(::open(to.c_str(),
                                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                      sourceStatus.st_mode & 0777));
    if (!destination.isValid())
        return lastError();
    std::error_code error = copyDescriptors(source.get(), destination.get());
    if (!error && flush == Flush::Now && ::fdatasync(destination.get()) != 0)
        error = lastError();
    // The bytes start on their way to the disk now, while other work goes on, and the flush of
    // the file system later only waits for them.
    if (!error && flush == Flush::WithFileSystem &&
        ::sync_file_range(destination.get(), 0, 0, SYNC_FILE_RANGE_WRITE) != 0)
        error = lastError();
    if (const std::error_code closeError = destination.close(); !error)
        error = closeError;
    if (error)
        ::unlink(to.c_str());
    return error;
}

std::error_code renameNoReplace(const fs::path &from, const fs::path &to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS)
        return lastError();
    // Some file systems cannot rename without replacing; a link refuses a taken name just as
    // well, and the unlink that follows only drops the old name.
    if (::link(from.c_str(), to.c_str()) != 0)
        return lastError();
    if (::unlink(from.c_str()) != 0)
        return lastError();
    return {};
}

std::error_code resolve(const fs::path &path, fs::path &resolved)
{
    std::error_code error;
    resolved = fs::weakly_canonical(fs::absolute(path, error), error);
    return error;
}

std::error_code replace(const fs::path &from, const fs::path &to)
{
    std::error_code error;
    fs::rename(from, to, error);
    return error;
}

std::error_code writeDurably(const fs::path &path, const std::string &bytes)
{
    return writeAndSync(path, O_TRUNC, bytes);
}

std::error_code appendDurably(const fs::path &path, const std::string &bytes)
{
    return writeAndSync(path, O_APPEND, bytes);
}

std::error_code isUnseenNameFree(const fs::path &, bool &free)
{
    free = true;
    return {};
}

std::error_code storedName(const fs::path &path, fs::path &name)
{
    // The path translator has already matched every component against its folder's listing.
    name = path.filename();
    return {};
}

std::error_code openForReading(const fs::path &path, ReadHandle &handle)
{
    int descriptor = -1;
    if (const std::error_code error = openPlainFile(path, O_RDONLY, 0, descriptor))
        return error;
    handle = descriptor;
    return {};
}

std::error_code readSome(ReadHandle handle, char *buffer, std::size_t size, std::size_t &count)
{
    while (true) {
        const ssize_t got = ::read(static_cast<int>(handle), buffer, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return lastError();
        count = static_cast<std::size_t>(got);
        return {};
    }
}

void closeReading(ReadHandle handle)
{
    ::close(static_cast<int>(handle));
}

std::error_code readContents(const fs::path &path, std::size_t limit, std::string &bytes)
{
    int descriptor = -1;
    if (const std::error_code error = openPlainFile(path, O_RDONLY, 0, descriptor))
        return error;
    FileDescriptor file(descriptor);
    struct stat status
    {};
    if (::fstat(file.get(), &status) != 0)
        return lastError();
    if (static_cast<std::size_t>(status.st_size) > limit)
        return std::make_error_code(std::errc::file_too_large);
    bytes.resize(static_cast<std::size_t>(status.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t read = ::read(file.get(), bytes.data() + got, bytes.size() - got);
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return lastError();
        if (read == 0)
            break;
        got += static_cast<std::size_t>(read);
    }
    bytes.resize(got);
    return {};
}

std::error_code createDurably(const fs::path &path, const std::string &bytes)
{
    return writeAndSync(path, O_EXCL, bytes);
}

FolderOwner owner(const fs::path &path)
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) != 0)
        return {};
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(status.st_uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {{}, status.st_uid};
    return {found->pw_name, std::nullopt};
}

std::error_code syncDirectory(const fs::path &directory)
{
    return onFolder(directory, ::fsync);
}

// Reports the failed writes on the file system only from the opening of the folder on.
std::error_code syncFileSystem(const fs::path &folder)
{
    return onFolder(folder, ::syncfs);
}

} // namespace NativeFileOperations
