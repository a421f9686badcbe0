#include "InstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

ErrorOr<std::optional<InstanceLock>> InstanceLock::acquire(const std::filesystem::path &folder,
                                                           const std::string &path)
{
    // The lock belongs to the folder itself, so no lock file is left in the player's folders.
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return RuntimeError::fromErrorCode({errno, std::generic_category()}, path);
    InstanceLock lock(descriptor);
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        return std::optional<InstanceLock>(std::move(lock));
    if (errno == EWOULDBLOCK)
        return std::optional<InstanceLock>();
    return RuntimeError::fromErrorCode({errno, std::generic_category()}, path);
}

InstanceLock::~InstanceLock()
{
    if (m_handle != Released)
        ::close(static_cast<int>(m_handle));
}
