#pragma once

#include "runtime/FileSystem.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

enum class Fault {
    DiskFull, // the chosen operation fails as a full disk would
    DeadDisk, // the chosen operation and every later one fail
    Kill,     // the process is killed, as by a crash or a power cut, once it has run
    Hold,     // once it has run, the process says "held" on its output and waits for a line on
              // its input, so that another process can be started while this one is mid-way
    NoRights, // every folder to be made is refused as for a user without the rights to it
    Change,   // the world is changed by the hook given, just before the chosen operation runs
};

// What a process killed by killThisProcess() exits with on Windows, which has no signals.
inline constexpr unsigned KilledExitCode = 137;

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

    ErrorOr<EntryKind> entryKind(const std::string &path) override
    {
        return pass("entryKind", path, [&] { return m_target.entryKind(path); });
    }
    ErrorOr<std::string> storedName(const std::string &path) override
    {
        return pass("storedName", path, [&] { return m_target.storedName(path); });
    }
    ErrorOr<bool> isSameEntry(const std::string &path, const std::string &other) override
    {
        return pass("isSameEntry", path, [&] { return m_target.isSameEntry(path, other); });
    }
    ErrorOr<void> deleteFile(const std::string &path) override
    {
        return pass("deleteFile", path, [&] { return m_target.deleteFile(path); });
    }
    ErrorOr<void> rename(const std::string &from, const std::string &to,
                         Overwrite overwrite) override
    {
        return pass("rename", to, [&] { return m_target.rename(from, to, overwrite); });
    }
    using FileSystem::copyFile;
    ErrorOr<void> copyFile(const std::string &from, const std::string &to, Flush flush) override
    {
        return pass("copyFile", to, [&] { return m_target.copyFile(from, to, flush); });
    }
    ErrorOr<void> makeDirectory(const std::string &path) override
    {
        return pass("makeDirectory", path, [&] { return m_target.makeDirectory(path); });
    }
    ErrorOr<void> removeDirectory(const std::string &path) override
    {
        return pass("removeDirectory", path, [&] { return m_target.removeDirectory(path); });
    }
    ErrorOr<std::string> readFile(const std::string &path) override
    {
        return pass("readFile", path, [&] { return m_target.readFile(path); });
    }
    ErrorOr<void> writeFileAtomically(const std::string &path, const std::string &bytes) override
    {
        return pass("writeFileAtomically", path,
                    [&] { return m_target.writeFileAtomically(path, bytes); });
    }
    ErrorOr<void> appendDurably(const std::string &path, const std::string &bytes) override
    {
        return pass("appendDurably", path, [&] { return m_target.appendDurably(path, bytes); });
    }

    ErrorOr<std::filesystem::path> hostPath(const std::string &path) override
    {
        return pass("hostPath", path, [&] { return m_target.hostPath(path); });
    }
    ErrorOr<FileIdentity> identity(const std::string &path) override
    {
        return pass("identity", path, [&] { return m_target.identity(path); });
    }
    // Links and folder durability.
    ErrorOr<LinkKind> linkKind(const std::string &path) override
    {
        return pass("linkKind", path, [&] { return m_target.linkKind(path); });
    }
    ErrorOr<void> syncFolder(const std::string &path) override
    {
        return pass("syncFolder", path, [&] { return m_target.syncFolder(path); });
    }
    ErrorOr<void> flushFileSystem(const std::string &folder) override
    {
        return pass("flushFileSystem", folder, [&] { return m_target.flushFileSystem(folder); });
    }
    ErrorOr<std::unique_ptr<DigestReader>> openForDigest(const std::string &path) override
    {
        return pass("digest", path, [&] { return m_target.openForDigest(path); });
    }
    ErrorOr<void> createFileDurably(const std::string &path, const std::string &bytes) override
    {
        return pass("createFileDurably", path,
                    [&] { return m_target.createFileDurably(path, bytes); });
    }

    ErrorOr<void> holdFolder(const std::string &path, HeldFolder::OwnName ownName) override
    {
        return pass("holdFolder", path, [&] { return m_target.holdFolder(path, ownName); });
    }
    ErrorOr<void> checkHeldFolders() override
    {
        return pass("checkHeldFolders", {}, [&] { return m_target.checkHeldFolders(); });
    }
    void releaseFolders() override { m_target.releaseFolders(); }

private:
    template <typename Call>
    std::invoke_result_t<Call> pass(const char *operation, const std::string &path, Call call)
    {
        m_operations.push_back(operation + (' ' + path));
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
        if (m_fault == Fault::Kill || m_fault == Fault::Hold) {
            auto result = call();
            if (m_fault == Fault::Kill)
                killThisProcess();
            hold();
            return result;
        }
        if (m_failedPath.empty())
            m_failedPath = path;
        return RuntimeError(RuntimeErrorCode::DiskFull, path, "Injected fault");
    }

    static void hold()
    {
        std::puts("held");
        std::fflush(stdout);
        char line[2];
        (void)std::fgets(line, sizeof line, stdin);
    }

    FileSystem &m_target;
    int m_chosen;
    Fault m_fault;
    std::vector<std::string> m_operations;
    std::string m_failedPath;
    std::function<void()> m_change;
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
