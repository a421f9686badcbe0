#include "HeldFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace fs = std::filesystem;

namespace {

bool isSameEntry(const struct stat &first, const struct stat &second)
{
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The kernel resolves /proc/self/fd/N to the open folder itself, whatever its path is now, so
// every name joined to it is looked up against the descriptor, as openat would. Without /proc the
// folder's path serves, and the check before each step still finds a folder that was swapped.
std::error_code pathThrough(int descriptor, const struct stat &held, fs::path &inside)
{
    const fs::path through = "/proc/self/fd/" + std::to_string(descriptor);
    struct stat seen
    {};
    if (::stat(through.c_str(), &seen) != 0)
        return errno == ENOENT ? std::error_code()
                               : std::error_code(errno, std::generic_category());
    if (isSameEntry(held, seen))
        inside = through;
    return {};
}

} // namespace

HeldFolder::~HeldFolder()
{
    ::close(static_cast<int>(m_handle));
}

std::error_code HeldFolder::open(const fs::path &path, OwnName ownName,
                                 std::unique_ptr<HeldFolder> &held)
{
    const int flags =
        O_RDONLY | O_DIRECTORY | O_CLOEXEC | (ownName == OwnName::NoLink ? O_NOFOLLOW : 0);
    const int descriptor = ::open(path.c_str(), flags);
    if (descriptor < 0)
        return {errno, std::generic_category()};
    held.reset(new HeldFolder(descriptor, path, ownName));
    struct stat status
    {};
    const std::error_code error = ::fstat(descriptor, &status) != 0
                                      ? std::error_code(errno, std::generic_category())
                                      : pathThrough(descriptor, status, held->m_inside);
    if (error)
        held.reset();
    return error;
}

bool HeldFolder::isStillAt(const fs::path &path) const
{
    struct stat held
    {
    }, seen{};
    const int looked =
        m_ownName == OwnName::NoLink ? ::lstat(path.c_str(), &seen) : ::stat(path.c_str(), &seen);
    return looked == 0 && ::fstat(static_cast<int>(m_handle), &held) == 0 &&
           isSameEntry(held, seen);
}

bool HeldFolder::reachesInside(const fs::path &) const
{
    return true;
}

// Since Linux 5.8 the flush reports the write errors on the file system since the descriptor was
// opened, background writes of earlier copies included.
std::error_code HeldFolder::syncFileSystem() const
{
    if (::syncfs(static_cast<int>(m_handle)) != 0)
        return {errno, std::generic_category()};
    return {};
}

std::error_code HeldFolder::sync() const
{
    if (::fsync(static_cast<int>(m_handle)) != 0)
        return {errno, std::generic_category()};
    return {};
}
