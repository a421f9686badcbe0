#include "InstanceLock.h"

#include "NativeFileOperations.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string LockFileName = ".bexom-lock";
// A record is written at once after its file is made; a file older than that without one was
// left by a crash in between.
constexpr std::time_t RecordWrittenWithin = 60;
// Each attempt finds the lock file made by another process, or a takeover under way; past that
// many, it is held.
constexpr int MostAttempts = 8;
constexpr std::chrono::milliseconds TakeoverPause{25};

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

// Whether the process named in a lock file may still hold it, and which file was judged: the
// same name may stand for another file a moment later.
struct Judged
{
    Owner owner = Owner::Running;
    dev_t device = 0;
    ino_t inode = 0;
};

bool isSameFile(const struct stat &one, const struct stat &other)
{
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// The record is read without following a link or waiting on a pipe, and a process id is taken only
// as a single process's, never as a group's. A record without a start time is judged by the
// process id alone. A file replaced while it was read is judged running: it is judged again.
Judged judge(const fs::path &lockFile)
{
    struct stat status
    {};
    if (::lstat(lockFile.c_str(), &status) != 0)
        return {Owner::Gone};
    const Judged running{Owner::Running, status.st_dev, status.st_ino};
    std::string record(128, '\0');
    ssize_t length = -1;
    const int descriptor = ::open(lockFile.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor >= 0) {
        struct stat opened
        {};
        if (::fstat(descriptor, &opened) != 0 || !isSameFile(opened, status)) {
            ::close(descriptor);
            return running;
        }
        if (S_ISREG(status.st_mode))
            length = ::read(descriptor, record.data(), record.size());
        ::close(descriptor);
    }
    const Judged gone{Owner::Gone, status.st_dev, status.st_ino};
    record.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    long process = 0;
    std::string boot, start;
    std::istringstream(record) >> process >> boot >> start;
    if (process <= 0 || process > INT_MAX || boot.empty())
        return std::time(nullptr) - status.st_mtime > RecordWrittenWithin ? gone : running;
    if (boot != bootIdentity())
        return gone;
    if (::kill(static_cast<pid_t>(process), 0) != 0 && errno != EPERM)
        return gone;
    const std::string startedAt = startTimeOf(process);
    return start.empty() || startedAt.empty() || startedAt == start ? running : gone;
}

// A unique name beside the lock file, for one taken over.
fs::path asideName(const fs::path &lockFile)
{
    static std::atomic<unsigned> counter = 0;
    return lockFile.string() + ".gone-" + std::to_string(::getpid()) + '-' +
           std::to_string(counter++);
}

// Renames the file judged gone to a name of its own, and deletes it there if it is the very file
// judged; another, made at the name since, goes back. A folder of that name is none of ours:
// empty, it goes; anything in it stays, set aside.
std::error_code removeJudged(const fs::path &file, const Judged &judged)
{
    const fs::path aside = asideName(file);
    if (const std::error_code error = NativeFileOperations::renameNoReplace(file, aside))
        return error == std::errc::no_such_file_or_directory ? std::error_code() : error;
    struct stat moved
    {};
    if (::lstat(aside.c_str(), &moved) != 0)
        return lastError();
    if (moved.st_dev != judged.device || moved.st_ino != judged.inode)
        return NativeFileOperations::renameNoReplace(aside, file);
    if (S_ISDIR(moved.st_mode)) {
        ::rmdir(aside.c_str());
        return {};
    }
    if (::unlink(aside.c_str()) != 0)
        return lastError();
    return {};
}

// A file made only where none stands, holding its owner's record; removed by its owner only while
// it is still the file made.
class OwnedFile final
{
public:
    static std::error_code make(const fs::path &path, std::optional<OwnedFile> &made)
    {
        const int descriptor =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (descriptor < 0)
            return lastError();
        made.emplace(descriptor, path);
        const std::string record = ownerRecord();
        const ssize_t written = ::write(descriptor, record.data(), record.size());
        if (written == static_cast<ssize_t>(record.size()))
            return {};
        const std::error_code error =
            written < 0 ? lastError() : std::make_error_code(std::errc::io_error);
        made.reset();
        return error;
    }

    OwnedFile(int descriptor, fs::path path) : m_descriptor(descriptor), m_path(std::move(path)) {}
    OwnedFile(const OwnedFile &) = delete;
    OwnedFile &operator=(const OwnedFile &) = delete;
    ~OwnedFile()
    {
        if (m_descriptor < 0)
            return;
        struct stat held
        {};
        struct stat standing
        {};
        if (::fstat(m_descriptor, &held) == 0 && ::lstat(m_path.c_str(), &standing) == 0 &&
            isSameFile(held, standing))
            ::unlink(m_path.c_str());
        ::close(m_descriptor);
    }

    int release() { return std::exchange(m_descriptor, -1); }

private:
    int m_descriptor;
    fs::path m_path;
};

enum class Takeover { Done, Busy };

// Takes a lock file whose owner is gone out of the way, one process at a time. Judged and moved by
// two processes at once, a stale lock file could be moved by the slower one after the faster one
// had made its own in its place: two would then hold the lock. So the takeover is itself a file
// made only where none stands; inside it, the lock file cannot change but by its owner, and it is
// judged again before it is moved. A takeover left by a crash is cleared as a stale lock is.
std::error_code takeOverIfGone(const fs::path &lockFile, Takeover &outcome)
{
    const fs::path guardFile = lockFile.string() + ".takeover";
    std::optional<OwnedFile> guard;
    outcome = Takeover::Busy;
    if (const std::error_code error = OwnedFile::make(guardFile, guard)) {
        if (error != std::errc::file_exists)
            return error;
        const Judged taker = judge(guardFile);
        return taker.owner == Owner::Gone ? removeJudged(guardFile, taker) : std::error_code();
    }
    outcome = Takeover::Done;
    const Judged judged = judge(lockFile);
    return judged.owner == Owner::Gone ? removeJudged(lockFile, judged) : std::error_code();
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
        std::optional<OwnedFile> made;
        const std::error_code error = OwnedFile::make(lockFile, made);
        if (!error)
            return std::optional<InstanceLock>(InstanceLock(made->release(), lockFile));
        if (error != std::errc::file_exists)
            return RuntimeError::fromErrorCode(error, path);
        if (judge(lockFile).owner == Owner::Running)
            return std::optional<InstanceLock>();
        Takeover takeover = Takeover::Busy;
        if (const std::error_code failed = takeOverIfGone(lockFile, takeover))
            return RuntimeError::fromErrorCode(failed, path);
        // Another process is taking the stale lock over; it is done within moments.
        if (takeover == Takeover::Busy)
            std::this_thread::sleep_for(TakeoverPause);
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
