// Stands between the program and the C library's file calls, so that a test can make any one of
// them fail, down to a status check or a folder listing deep inside std::filesystem. Linked ahead
// of the C library, each wrapper passes its call on to the real one found with dlsym(RTLD_NEXT).
//
// Nothing is counted until systemFaultsArm(), so that loading and starting the program never
// shift the numbers. Once armed, the Nth call fails without doing anything (none for 0): -1 or
// NULL, with ENOSPC for a write and EIO for anything else; and one line per call goes to the log:
// "index<TAB>function<TAB>path", the path of a descriptor as it was opened, and "<TAB>FAILED"
// after the failed one.

#undef _FORTIFY_SOURCE
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

enum { KnownDescriptors = 1024 };

// The installer reads digests on a second thread; the numbering and the log stay whole.
static pthread_mutex_t bookkeeping = PTHREAD_MUTEX_INITIALIZER;
static int armed;
static long callCount;
static long failingCall;
static int logDescriptor = -1;
static char *descriptorPaths[KnownDescriptors];
static char descriptorWrites[KnownDescriptors];

static void *real(const char *name)
{
    return dlsym(RTLD_NEXT, name);
}

#define REAL(name) ((__typeof__(&name))real(#name))

static const char *descriptorPath(int descriptor)
{
    if (descriptor >= 0 && descriptor < KnownDescriptors && descriptorPaths[descriptor])
        return descriptorPaths[descriptor];
    return "(descriptor)";
}

// "/proc/self/fd/N/name", a name looked up in a folder held open, as the folder's own path.
static const char *heldPath(const char *path, char *buffer, size_t size)
{
    static const char prefix[] = "/proc/self/fd/";
    char *rest = NULL;
    if (!path || strncmp(path, prefix, sizeof prefix - 1) != 0)
        return path;
    const long descriptor = strtol(path + sizeof prefix - 1, &rest, 10);
    snprintf(buffer, size, "%s%s", descriptorPath((int)descriptor), rest);
    return buffer;
}

static void rememberPath(int descriptor, int folder, const char *path, int flags)
{
    char held[4096];
    if (descriptor < 0 || descriptor >= KnownDescriptors || !path)
        return;
    pthread_mutex_lock(&bookkeeping);
    free(descriptorPaths[descriptor]);
    descriptorWrites[descriptor] = (flags & O_ACCMODE) != O_RDONLY;
    char *joined = NULL;
    if (path[0] != '/' && folder != AT_FDCWD &&
        asprintf(&joined, "%s/%s", descriptorPath(folder), path) >= 0)
        descriptorPaths[descriptor] = joined;
    else
        descriptorPaths[descriptor] = strdup(heldPath(path, held, sizeof held));
    pthread_mutex_unlock(&bookkeeping);
}

// Counts the call and logs it, with the bookkeeping held: the digest thread may be opening or
// closing a descriptor whose path this reads.
static int failsLocked(const char *function, const char *path)
{
    if (!armed)
        return 0;
    const int fails = ++callCount == failingCall;
    if (logDescriptor >= 0) {
        char line[4096], held[4096];
        path = heldPath(path, held, sizeof held);
        const int length = snprintf(line, sizeof line, "%ld\t%s\t%s%s\n", callCount, function,
                                    path ? path : "", fails ? "\tFAILED" : "");
        if (length > 0)
            REAL(write)
        (logDescriptor, line, (size_t)length < sizeof line ? (size_t)length : sizeof line - 1);
    }
    return fails;
}

// Counts the call, logs it, and tells whether it is the one to fail; errno is then set. A call on
// a descriptor (and no path) has its path looked up only under the lock.
static int failsNow(const char *function, const char *path, int descriptor, int error)
{
    if (!__atomic_load_n(&armed, __ATOMIC_ACQUIRE))
        return 0;
    pthread_mutex_lock(&bookkeeping);
    const int fails =
        failsLocked(function, path || descriptor < 0 ? path : descriptorPath(descriptor));
    pthread_mutex_unlock(&bookkeeping);
    if (fails)
        errno = error;
    return fails;
}

void systemFaultsArm(long failing, const char *logPath)
{
    pthread_mutex_lock(&bookkeeping);
    failingCall = failing;
    logDescriptor = REAL(open)(logPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    callCount = 0;
    __atomic_store_n(&armed, 1, __ATOMIC_RELEASE);
    pthread_mutex_unlock(&bookkeeping);
}

void systemFaultsDisarm(void)
{
    pthread_mutex_lock(&bookkeeping);
    __atomic_store_n(&armed, 0, __ATOMIC_RELEASE);
    if (logDescriptor >= 0)
        REAL(close)(logDescriptor);
    logDescriptor = -1;
    pthread_mutex_unlock(&bookkeeping);
}

#define FAIL_ON(function, path, error, failed)                                                     \
    if (failsNow(#function, path, -1, error))                                                      \
    return failed

#define FAIL_ON_DESCRIPTOR(function, descriptor, error, failed)                                    \
    if (failsNow(#function, NULL, descriptor, error))                                              \
    return failed

// A call that names its file by path.
#define BY_PATH(result, function, failed, parameters, path, ...)                                   \
    result function parameters                                                                     \
    {                                                                                              \
        FAIL_ON(function, path, EIO, failed);                                                      \
        return REAL(function)(__VA_ARGS__);                                                        \
    }

// A call on an open descriptor.
#define BY_DESCRIPTOR(result, function, error, parameters, descriptor, ...)                        \
    result function parameters                                                                     \
    {                                                                                              \
        FAIL_ON_DESCRIPTOR(function, descriptor, error, -1);                                       \
        return REAL(function)(__VA_ARGS__);                                                        \
    }

static mode_t modeArgument(int flags, va_list arguments)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? va_arg(arguments, mode_t) : 0;
}

static int opened(int descriptor, int folder, const char *path, int flags)
{
    rememberPath(descriptor, folder, path, flags);
    return descriptor;
}

// The mode comes only with a file to create.
#define OPENING(function, parameters, folder, ...)                                                 \
    int function parameters                                                                        \
    {                                                                                              \
        va_list arguments;                                                                         \
        va_start(arguments, flags);                                                                \
        const mode_t mode = modeArgument(flags, arguments);                                        \
        va_end(arguments);                                                                         \
        FAIL_ON(function, path, EIO, -1);                                                          \
        return opened(REAL(function)(__VA_ARGS__, mode), folder, path, flags);                     \
    }
OPENING(open, (const char *path, int flags, ...), AT_FDCWD, path, flags)
OPENING(open64, (const char *path, int flags, ...), AT_FDCWD, path, flags)
OPENING(openat, (int folder, const char *path, int flags, ...), folder, folder, path, flags)
OPENING(openat64, (int folder, const char *path, int flags, ...), folder, folder, path, flags)

BY_PATH(FILE *, fopen, NULL, (const char *path, const char *mode), path, path, mode)
BY_PATH(FILE *, fopen64, NULL, (const char *path, const char *mode), path, path, mode)
BY_PATH(int, rename, -1, (const char *from, const char *to), to, from, to)
BY_PATH(int, renameat, -1, (int fromFolder, const char *from, int toFolder, const char *to), to,
        fromFolder, from, toFolder, to)
BY_PATH(int, renameat2, -1,
        (int fromFolder, const char *from, int toFolder, const char *to, unsigned flags), to,
        fromFolder, from, toFolder, to, flags)
BY_PATH(int, link, -1, (const char *from, const char *to), to, from, to)
BY_PATH(int, linkat, -1,
        (int fromFolder, const char *from, int toFolder, const char *to, int flags), to, fromFolder,
        from, toFolder, to, flags)
BY_PATH(int, unlink, -1, (const char *path), path, path)
BY_PATH(int, unlinkat, -1, (int folder, const char *path, int flags), path, folder, path, flags)
BY_PATH(int, remove, -1, (const char *path), path, path)
BY_PATH(int, mkdir, -1, (const char *path, mode_t mode), path, path, mode)
BY_PATH(int, mkdirat, -1, (int folder, const char *path, mode_t mode), path, folder, path, mode)
BY_PATH(int, rmdir, -1, (const char *path), path, path)
BY_PATH(int, stat, -1, (const char *path, struct stat *status), path, path, status)
BY_PATH(int, lstat, -1, (const char *path, struct stat *status), path, path, status)
BY_PATH(int, stat64, -1, (const char *path, struct stat64 *status), path, path, status)
BY_PATH(int, lstat64, -1, (const char *path, struct stat64 *status), path, path, status)
BY_PATH(int, fstatat, -1, (int folder, const char *path, struct stat *status, int flags), path,
        folder, path, status, flags)
BY_PATH(int, fstatat64, -1, (int folder, const char *path, struct stat64 *status, int flags), path,
        folder, path, status, flags)
BY_PATH(int, statx, -1,
        (int folder, const char *path, int flags, unsigned mask, struct statx *status), path,
        folder, path, flags, mask, status)
BY_PATH(int, truncate, -1, (const char *path, off_t length), path, path, length)

BY_DESCRIPTOR(ssize_t, read, EIO, (int file, void *buffer, size_t size), file, file, buffer, size)
BY_DESCRIPTOR(ssize_t, write, ENOSPC, (int file, const void *buffer, size_t size), file, file,
              buffer, size)
BY_DESCRIPTOR(ssize_t, pwrite, ENOSPC, (int file, const void *buffer, size_t size, off_t at), file,
              file, buffer, size, at)
BY_DESCRIPTOR(ssize_t, pwrite64, ENOSPC, (int file, const void *buffer, size_t size, off64_t at),
              file, file, buffer, size, at)
BY_DESCRIPTOR(int, fsync, EIO, (int file), file, file)
BY_DESCRIPTOR(int, fdatasync, EIO, (int file), file, file)
BY_DESCRIPTOR(int, syncfs, EIO, (int file), file, file)
BY_DESCRIPTOR(int, sync_file_range, EIO, (int file, off64_t at, off64_t size, unsigned flags), file,
              file, at, size, flags)
BY_DESCRIPTOR(int, ftruncate, EIO, (int file, off_t length), file, file, length)
BY_DESCRIPTOR(int, fstat, EIO, (int file, struct stat *status), file, file, status)
BY_DESCRIPTOR(int, fstat64, EIO, (int file, struct stat64 *status), file, file, status)
BY_DESCRIPTOR(off_t, lseek, EIO, (int file, off_t offset, int whence), file, file, offset, whence)
BY_DESCRIPTOR(off64_t, lseek64, EIO, (int file, off64_t offset, int whence), file, file, offset,
              whence)
BY_DESCRIPTOR(int, flock, EIO, (int file, int operation), file, file, operation)
BY_DESCRIPTOR(ssize_t, copy_file_range, ENOSPC,
              (int from, off64_t *fromOffset, int to, off64_t *toOffset, size_t size,
               unsigned flags),
              to, from, fromOffset, to, toOffset, size, flags)
BY_DESCRIPTOR(ssize_t, sendfile, ENOSPC, (int to, int from, off_t *offset, size_t size), to, to,
              from, offset, size)

#define FCNTL(function)                                                                            \
    int function(int file, int command, ...)                                                       \
    {                                                                                              \
        va_list arguments;                                                                         \
        va_start(arguments, command);                                                              \
        void *argument = va_arg(arguments, void *);                                                \
        va_end(arguments);                                                                         \
        FAIL_ON_DESCRIPTOR(function, file, EIO, -1);                                               \
        return REAL(function)(file, command, argument);                                            \
    }
FCNTL(fcntl)
FCNTL(fcntl64)

DIR *opendir(const char *path)
{
    FAIL_ON(opendir, path, EIO, NULL);
    DIR *folder = REAL(opendir)(path);
    if (folder)
        rememberPath(dirfd(folder), AT_FDCWD, path, O_RDONLY);
    return folder;
}

DIR *fdopendir(int folder)
{
    FAIL_ON_DESCRIPTOR(fdopendir, folder, EIO, NULL);
    return REAL(fdopendir)(folder);
}

struct dirent *readdir(DIR *folder)
{
    FAIL_ON_DESCRIPTOR(readdir, dirfd(folder), EIO, NULL);
    return REAL(readdir)(folder);
}

struct dirent64 *readdir64(DIR *folder)
{
    FAIL_ON_DESCRIPTOR(readdir64, dirfd(folder), EIO, NULL);
    return REAL(readdir64)(folder);
}

// Only a close after writing can report a write that never reached the disk; after reading there is
// nothing to lose, so such a close is not counted at all. On Linux the descriptor is gone even
// when close reports an error, so it is closed all the same.
int close(int file)
{
    int fails = 0;
    if (__atomic_load_n(&armed, __ATOMIC_ACQUIRE) && file >= 0 && file < KnownDescriptors) {
        pthread_mutex_lock(&bookkeeping);
        fails = descriptorWrites[file] && failsLocked("close", descriptorPath(file));
        pthread_mutex_unlock(&bookkeeping);
    }
    const int result = REAL(close)(file);
    if (!fails)
        return result;
    errno = EIO;
    return -1;
}
