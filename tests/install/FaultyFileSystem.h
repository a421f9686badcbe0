#pragma once

#include "ChildProcess.h"
#include "runtime/FileSystem.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <csignal>
#include <functional>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

enum class Fault {
    DiskFull, // the chosen operation fails as a full disk would
    DeadDisk, // the chosen operation and every later one fail
    IoError,  // the chosen operation fails as on a failing disk (EIO)
    Kill,     // the process is killed, as by a crash or a power cut, once it has run
    NoRights, // every folder to be made is refused as for a user without the rights to it
    Change,   // the world is changed by the hook given to changeBefore(), just before the chosen
              // operation runs
    Pause,    // once it has run, the action given to pauseWith() runs, as another process would
              // while this one is mid-way
    Throw,    // every digest read and every copy throw, as when memory runs out, on the threads
              // that run them
};

// Dies at once, with no destructor run and nothing flushed, as in a crash.
[[noreturn]] inline void killThisProcess()
{
#ifdef _WIN32
    ::TerminateProcess(::GetCurrentProcess(), KilledExitCode);
#else
    std::raise(SIGKILL);
#endif
    std::abort();
}

// Passes every operation on to another file system, numbering them from 1, and brings the chosen
// fault upon the chosen one.
class FaultyFileSystem final : public FileSystem
{
public:
    explicit FaultyFileSystem(FileSystem &target, int chosen = 0, Fault fault = Fault::DiskFull)
        : m_target(target), m_chosen(chosen), m_fault(fault)
    {}

    void changeBefore(std::function<void()> change) { m_change = std::move(change); }

    int operationCount() const { return static_cast<int>(m_operations.size()); }
    // "<operation> <path>" for each operation so far, in order.
    const std::vector<std::string> &operations() const { return m_operations; }
    // The path named by the first operation that was made to fail.
    const std::string &failedPath() const { return m_failedPath; }
    void pauseWith(std::function<void()> action) { m_pause = std::move(action); }

// Each operation goes to the target through pass(), under the name that operations() lists it by
// and with the path it concerns.
#define BEXOM_FORWARD(Result, name, label, logged, parameters, ...)                                \
    Result name parameters override                                                                \
    {                                                                                              \
        return pass(label, logged, [&] { return m_target.name(__VA_ARGS__); });                    \
    }
    using Path = const std::string &;
    BEXOM_FORWARD(ErrorOr<EntryKind>, entryKind, "entryKind", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<bool>, isFreeName, "isFreeName", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<std::string>, storedName, "storedName", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<bool>, isSameEntry, "isSameEntry", path, (Path path, Path other), path,
                  other)
    BEXOM_FORWARD(ErrorOr<void>, deleteFile, "deleteFile", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<void>, rename, "rename", to, (Path from, Path to, Overwrite overwrite),
                  from, to, overwrite)
    using FileSystem::copyFile;
    BEXOM_FORWARD(ErrorOr<void>, copyFile, "copyFile", to, (Path from, Path to, Flush flush), from,
                  to, flush)
    BEXOM_FORWARD(ErrorOr<void>, clearCutShortMove, "clearCutShortMove", to, (Path from, Path to),
                  from, to)
    BEXOM_FORWARD(ErrorOr<void>, renameFolder, "renameFolder", to, (Path from, Path to), from, to)
    BEXOM_FORWARD(ErrorOr<void>, makeDirectory, "makeDirectory", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<void>, removeDirectory, "removeDirectory", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<std::vector<std::string>>, entryNames, "entryNames", path, (Path path),
                  path)
    BEXOM_FORWARD(ErrorOr<std::string>, readFile, "readFile", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<void>, writeFileAtomically, "writeFileAtomically", path,
                  (Path path, Path bytes), path, bytes)
    BEXOM_FORWARD(ErrorOr<void>, appendDurably, "appendDurably", path, (Path path, Path bytes),
                  path, bytes)
    BEXOM_FORWARD(ErrorOr<std::filesystem::path>, hostPath, "hostPath", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<FileIdentity>, identity, "identity", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<FileStamp>, stamp, "stamp", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<LinkKind>, linkKind, "linkKind", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<void>, syncFolder, "syncFolder", path, (Path path), path)
    BEXOM_FORWARD(ErrorOr<void>, flushFileSystem, "flushFileSystem", path, (Path path), path)
    ErrorOr<std::unique_ptr<DigestReader>> openForDigest(Path path) override
    {
        struct Throwing final : DigestReader
        {
            ErrorOr<std::size_t> readSome(char *, std::size_t) override { throw std::bad_alloc(); }
        };
        if (m_fault == Fault::Throw)
            return std::unique_ptr<DigestReader>(std::make_unique<Throwing>());
        return pass("digest", path, [&] { return m_target.openForDigest(path); });
    }
    BEXOM_FORWARD(ErrorOr<void>, createFileDurably, "createFileDurably", path,
                  (Path path, Path bytes), path, bytes)
#undef BEXOM_FORWARD

    ErrorOr<void> holdFolder(const std::string &path, HeldFolder::OwnName ownName) override
    {
        return pass("holdFolder", path, [&] { return m_target.holdFolder(path, ownName); });
    }
    ErrorOr<void> checkHeldFolders() override
    {
        return pass("checkHeldFolders", {}, [&] { return m_target.checkHeldFolders(); });
    }
    void releaseFolders() override
    {
        m_target.releaseFolders();
    }

private:
    template <typename Call>
    std::invoke_result_t<Call> pass(const char *operation, const std::string &path, Call call)
    {
        m_operations.push_back(operation + (' ' + path));
        if (m_fault == Fault::Throw && std::string(operation) == "copyFile")
            throw std::bad_alloc();
        if (m_fault == Fault::NoRights && std::string(operation) == "makeDirectory")
#ifdef _WIN32
            return RuntimeError::fromErrorCode({ERROR_ACCESS_DENIED, std::system_category()}, path);
#else
            return RuntimeError::fromErrorCode(std::make_error_code(std::errc::permission_denied),
                                               path);
#endif
        const int number = operationCount();
        const bool chosen = m_chosen != 0 && (number == m_chosen ||
                                              (m_fault == Fault::DeadDisk && number > m_chosen));
        if (!chosen)
            return call();
        if (m_fault == Fault::Change) {
            m_change();
            return call();
        }
        if (m_fault == Fault::Kill || m_fault == Fault::Pause) {
            auto result = call();
            if (m_fault == Fault::Kill)
                killThisProcess();
            m_pause();
            return result;
        }
        if (m_failedPath.empty())
            m_failedPath = path;
        if (m_fault == Fault::IoError)
            return RuntimeError::fromErrorCode(std::make_error_code(std::errc::io_error), path);
        return RuntimeError(RuntimeErrorCode::DiskFull, path,
                            Cause::SystemMessage{"Injected fault"});
    }

    FileSystem &m_target;
    int m_chosen;
    Fault m_fault;
    std::vector<std::string> m_operations;
    std::string m_failedPath;
    std::function<void()> m_change;
    std::function<void()> m_pause;
};

// The position of an operation in a list of them; -1 when it is not there.
inline int indexOf(const std::vector<std::string> &operations, const std::string &operation)
{
    const auto found = std::find(operations.begin(), operations.end(), operation);
    return found == operations.end() ? -1 : static_cast<int>(found - operations.begin());
}

inline int lastIndexOf(const std::vector<std::string> &operations, const std::string &operation)
{
    const auto found = std::find(operations.rbegin(), operations.rend(), operation);
    return found == operations.rend() ? -1 : static_cast<int>(operations.rend() - found) - 1;
}
