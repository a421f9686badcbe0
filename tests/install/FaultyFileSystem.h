#pragma once

#include "runtime/FileSystem.h"

#include <QStringList>

#include <csignal>
#include <cstdio>
#include <type_traits>

enum class Fault {
    DiskFull, // the chosen operation fails as a full disk would
    DeadDisk, // the chosen operation and every later one fail
    Kill,     // the process is killed, as by a crash or a power cut, once it has run
    Hold,     // once it has run, the process says "held" on its output and waits for a line on
              // its input, so that another process can be started while this one is mid-way
};

// Passes every operation on to another file system, numbering them from 1, and brings the chosen
// fault upon the chosen one.
class FaultyFileSystem final : public FileSystem
{
public:
    explicit FaultyFileSystem(FileSystem &target, int chosen = 0, Fault fault = Fault::DiskFull)
        : m_target(target), m_chosen(chosen), m_fault(fault)
    {}

    int operationCount() const { return m_operations.size(); }
    // "<operation> <path>" for each operation so far, in order.
    const QStringList &operations() const { return m_operations; }
    // The path named by the first operation that was made to fail.
    const QString &failedPath() const { return m_failedPath; }

    ErrorOr<EntryKind> entryKind(const QString &path) override
    {
        return pass("entryKind", path, [&] { return m_target.entryKind(path); });
    }
    ErrorOr<QString> storedName(const QString &path) override
    {
        return pass("storedName", path, [&] { return m_target.storedName(path); });
    }
    ErrorOr<bool> isSameEntry(const QString &path, const QString &other) override
    {
        return pass("isSameEntry", path, [&] { return m_target.isSameEntry(path, other); });
    }
    ErrorOr<void> deleteFile(const QString &path) override
    {
        return pass("deleteFile", path, [&] { return m_target.deleteFile(path); });
    }
    ErrorOr<void> rename(const QString &from, const QString &to, Overwrite overwrite) override
    {
        return pass("rename", to, [&] { return m_target.rename(from, to, overwrite); });
    }
    ErrorOr<void> copyFile(const QString &from, const QString &to) override
    {
        return pass("copyFile", to, [&] { return m_target.copyFile(from, to); });
    }
    ErrorOr<void> makeDirectory(const QString &path) override
    {
        return pass("makeDirectory", path, [&] { return m_target.makeDirectory(path); });
    }
    ErrorOr<void> removeDirectory(const QString &path) override
    {
        return pass("removeDirectory", path, [&] { return m_target.removeDirectory(path); });
    }
    ErrorOr<QByteArray> readFile(const QString &path) override
    {
        return pass("readFile", path, [&] { return m_target.readFile(path); });
    }
    ErrorOr<void> writeFileAtomically(const QString &path, const QByteArray &bytes) override
    {
        return pass("writeFileAtomically", path,
                    [&] { return m_target.writeFileAtomically(path, bytes); });
    }
    ErrorOr<void> appendDurably(const QString &path, const QByteArray &bytes) override
    {
        return pass("appendDurably", path, [&] { return m_target.appendDurably(path, bytes); });
    }

    ErrorOr<std::filesystem::path> hostPath(const QString &path) override
    {
        return pass("hostPath", path, [&] { return m_target.hostPath(path); });
    }
    ErrorOr<FileIdentity> identity(const QString &path) override
    {
        return pass("identity", path, [&] { return m_target.identity(path); });
    }
    // Links and folder durability.
    ErrorOr<LinkKind> linkKind(const QString &path) override
    {
        return pass("linkKind", path, [&] { return m_target.linkKind(path); });
    }
    ErrorOr<void> syncFolder(const QString &path) override
    {
        return pass("syncFolder", path, [&] { return m_target.syncFolder(path); });
    }
    ErrorOr<FileDigest> digest(const QString &path) override
    {
        return pass("digest", path, [&] { return m_target.digest(path); });
    }
    ErrorOr<void> createFileDurably(const QString &path, const QByteArray &bytes) override
    {
        return pass("createFileDurably", path,
                    [&] { return m_target.createFileDurably(path, bytes); });
    }

private:
    template <typename Call>
    std::invoke_result_t<Call> pass(const char *operation, const QString &path, Call call)
    {
        m_operations.append(QStringLiteral("%1 %2").arg(QLatin1String(operation), path));
        const int number = m_operations.size();
        const bool chosen = m_chosen != 0 && (number == m_chosen ||
                                              (m_fault == Fault::DeadDisk && number > m_chosen));
        if (!chosen)
            return call();
        if (m_fault == Fault::Kill || m_fault == Fault::Hold) {
            auto result = call();
            if (m_fault == Fault::Kill)
                std::raise(SIGKILL);
            hold();
            return result;
        }
        if (m_failedPath.isEmpty())
            m_failedPath = path;
        return RuntimeError(RuntimeErrorCode::DiskFull, path, QStringLiteral("Injected fault"));
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
    QStringList m_operations;
    QString m_failedPath;
};
