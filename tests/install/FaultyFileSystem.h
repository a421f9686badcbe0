#pragma once

#include "runtime/FileSystem.h"

#include <type_traits>

enum class FaultSpan { OneOperation, EveryLaterOperation };

// Passes every operation on to another file system, numbering them from 1, and makes the chosen
// one fail as a full disk would, or that one and every later one, as a disk that has died.
class FaultyFileSystem final : public FileSystem
{
public:
    explicit FaultyFileSystem(FileSystem &target, int failing = 0,
                              FaultSpan span = FaultSpan::OneOperation)
        : m_target(target), m_failing(failing), m_span(span)
    {}

    int operationCount() const { return m_count; }
    // The path named by the first operation that was made to fail.
    const QString &failedPath() const { return m_failedPath; }

    ErrorOr<EntryKind> entryKind(const QString &path) override
    {
        return pass(path, [&] { return m_target.entryKind(path); });
    }
    ErrorOr<QString> storedName(const QString &path) override
    {
        return pass(path, [&] { return m_target.storedName(path); });
    }
    ErrorOr<bool> isSameEntry(const QString &path, const QString &other) override
    {
        return pass(path, [&] { return m_target.isSameEntry(path, other); });
    }
    ErrorOr<void> deleteFile(const QString &path) override
    {
        return pass(path, [&] { return m_target.deleteFile(path); });
    }
    ErrorOr<void> rename(const QString &from, const QString &to, Overwrite overwrite) override
    {
        return pass(to, [&] { return m_target.rename(from, to, overwrite); });
    }
    ErrorOr<void> copyFile(const QString &from, const QString &to) override
    {
        return pass(to, [&] { return m_target.copyFile(from, to); });
    }
    ErrorOr<void> makeDirectory(const QString &path) override
    {
        return pass(path, [&] { return m_target.makeDirectory(path); });
    }
    ErrorOr<void> removeDirectory(const QString &path) override
    {
        return pass(path, [&] { return m_target.removeDirectory(path); });
    }
    ErrorOr<QByteArray> readFile(const QString &path) override
    {
        return pass(path, [&] { return m_target.readFile(path); });
    }
    ErrorOr<void> writeFileAtomically(const QString &path, const QByteArray &bytes) override
    {
        return pass(path, [&] { return m_target.writeFileAtomically(path, bytes); });
    }

private:
    template <typename Call> std::invoke_result_t<Call> pass(const QString &path, Call call)
    {
        ++m_count;
        const bool fails = m_count == m_failing ||
                           (m_span == FaultSpan::EveryLaterOperation && m_count > m_failing);
        if (m_failing == 0 || !fails)
            return call();
        if (m_failedPath.isEmpty())
            m_failedPath = path;
        return RuntimeError(RuntimeErrorCode::DiskFull, path, QStringLiteral("Injected fault"));
    }

    FileSystem &m_target;
    int m_failing;
    FaultSpan m_span;
    int m_count = 0;
    QString m_failedPath;
};
