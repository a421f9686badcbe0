#include "InstanceLock.h"

#include "NativeFileOperations.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string LockFileName = ".bexom-lock";
// A record is written at once after its file is made; a file older than that without one was
// left by a crash in between.
constexpr std::time_t RecordWrittenWithin = 60;
// Each attempt finds the lock file made by another process; past that many, it is held.
constexpr int MostAttempts = 8;

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

std::string bootIdentity()
{
    std::ifstream stream("/proc/sys/kernel/random/boot_id");
    std::string identity;
    stream >> identity;
    return identity;
}

// When the process started, in clock ticks since the boot; empty where /proc does not tell. With
// the process id it names one process, even once the id has gone to another.
std::string startTimeOf(long process)
{
    std::string stat;
    std::getline(std::ifstream("/proc/" + std::to_string(process) + "/stat"), stat);
    // The command name, in parentheses, may hold blanks and parentheses of its own: the fields
    // are counted from the last parenthesis on, the state being the third and the start the 22nd.
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return {};
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    for (int index = 3; index <= 22; ++index)
        if (!(fields >> field))
            return {};
    return field;
}

// "<process id> <boot identity> <start time>": enough to tell, later, whether the owner still
// runs.
std::string ownerRecord()
{
    return std::to_string(::getpid()) + ' ' + bootIdentity() + ' ' + startTimeOf(::getpid()) + '\n';
}

enum class Owner { Running, Gone };

// Whether the process named in the lock file may still hold the lock. The record is read without
// following a link or waiting on a pipe, and a process id is taken only as a single process's,
// never as a group's. A record without a start time is judged by the process id alone.
Owner ownerOf(const fs::path &lockFile)
{
    struct stat status
    {};
    if (::lstat(lockFile.c_str(), &status) != 0)
        return Owner::Gone;
    std::string record(128, '\0');
    ssize_t length = -1;
    const int descriptor = ::open(lockFile.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor >= 0) {
        if (S_ISREG(status.st_mode))
            length = ::read(descriptor, record.data(), record.size());
        ::close(descriptor);
    }
    record.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    long process = 0;
    std::string boot, start;
    std::istringstream(record) >> process >> boot >> start;
    if (process <= 0 || process > INT_MAX || boot.empty())
        return std::time(nullptr) - status.st_mtime > RecordWrittenWithin ? Owner::Gone
                                                                          : Owner::Running;
    if (boot != bootIdentity())
        return Owner::Gone;
    if (::kill(static_cast<pid_t>(process), 0) != 0 && errno != EPERM)
        return Owner::Gone;
    const std::string running = startTimeOf(process);
    return start.empty() || running.empty() || running == start ? Owner::Running : Owner::Gone;
}

// A unique name beside the lock file, for one taken over.
fs::path asideName(const fs::path &lockFile)
{
    static std::atomic<unsigned> counter = 0;
    return lockFile.string() + ".gone-" + std::to_string(::getpid()) + '-' +
           std::to_string(counter++);
}

// Takes a lock file whose owner is gone out of the way. Two processes may find the same one gone
// at once, and the other one may already have made its own lock file in its place: the file is
// first renamed aside, so that only one of them moves it, and judged again there. A lock file
// another process has just made goes back; only the stale one is deleted.
std::error_code clearIfGone(const fs::path &lockFile, Owner &owner)
{
    owner = ownerOf(lockFile);
    if (owner == Owner::Running)
        return {};
    const fs::path aside = asideName(lockFile);
    if (const std::error_code error = NativeFileOperations::renameNoReplace(lockFile, aside))
        return error == std::errc::no_such_file_or_directory ? std::error_code() : error;
    owner = ownerOf(aside);
    if (owner == Owner::Running)
        return NativeFileOperations::renameNoReplace(aside, lockFile);
    // A folder of that name is none of ours: empty, it goes; anything in it stays, set aside.
    struct stat status
    {};
    if (::lstat(aside.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        ::rmdir(aside.c_str());
        return {};
    }
    if (::unlink(aside.c_str()) != 0)
        return lastError();
    return {};
}

} // namespace

ErrorOr<std::optional<InstanceLock>> InstanceLock::acquire(const std::filesystem::path &folder,
                                                           const std::string &path, Means means)
{
    if (means == Means::LockFile)
        return acquireLockFile(folder, path);
    // The lock belongs to the folder itself, so no lock file is left in the player's folders.
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return RuntimeError::fromErrorCode(lastError(), path);
    InstanceLock lock(descriptor);
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        return std::optional<InstanceLock>(std::move(lock));
    if (errno == EWOULDBLOCK)
        return std::optional<InstanceLock>();
    if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOTSUP)
        return acquireLockFile(folder, path);
    return RuntimeError::fromErrorCode(lastError(), path);
}

ErrorOr<std::optional<InstanceLock>> InstanceLock::acquireLockFile(const fs::path &folder,
                                                                   const std::string &path)
{
    const fs::path lockFile = folder / LockFileName;
    for (int attempt = 0; attempt < MostAttempts; ++attempt) {
        const int descriptor =
            ::open(lockFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (descriptor >= 0) {
            InstanceLock lock(descriptor, lockFile);
            const std::string record = ownerRecord();
            const ssize_t written = ::write(descriptor, record.data(), record.size());
            if (written != static_cast<ssize_t>(record.size()))
                return RuntimeError::fromErrorCode(
                    written < 0 ? lastError() : std::make_error_code(std::errc::io_error), path);
            return std::optional<InstanceLock>(std::move(lock));
        }
        if (errno != EEXIST)
            return RuntimeError::fromErrorCode(lastError(), path);
        Owner owner = Owner::Running;
        if (const std::error_code error = clearIfGone(lockFile, owner))
            return RuntimeError::fromErrorCode(error, path);
        if (owner == Owner::Running)
            return std::optional<InstanceLock>();
    }
    return std::optional<InstanceLock>();
}

InstanceLock::~InstanceLock()
{
    if (m_handle == Released)
        return;
    // Only the lock file this lock made is removed, should another process have taken it over.
    struct stat held
    {};
    struct stat standing
    {};
    if (!m_lockFile.empty() && ::fstat(static_cast<int>(m_handle), &held) == 0 &&
        ::lstat(m_lockFile.c_str(), &standing) == 0 && held.st_dev == standing.st_dev &&
        held.st_ino == standing.st_ino)
        ::unlink(m_lockFile.c_str());
    ::close(static_cast<int>(m_handle));
}
