#include "StepReversal.h"

#include <QStringList>

#include <optional>

using Kind = TransactionStep::Kind;

namespace {

// The journal stays on the disk while anything is left, and the next start tries again.
const QString RetryNote =
    QStringLiteral("The installer will try again to put this right when it is next started.");

QString quoted(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(path);
}

// What is left on disk when the undo of a step failed, in words for the player.
QString describeUndone(const TransactionStep &step)
{
    switch (step.kind) {
    case Kind::MakeDirectory:
        return QStringLiteral("The folder %1 could not be removed again").arg(quoted(step.target));
    case Kind::RemoveDirectory:
        return QStringLiteral("The folder %1 could not be made again").arg(quoted(step.target));
    case Kind::Move:
        return QStringLiteral("%1 could not be moved back to %2")
            .arg(quoted(step.target), quoted(step.source));
    case Kind::Copy:
        return QStringLiteral("The copy %1 could not be deleted").arg(quoted(step.target));
    case Kind::SetAside:
        return QStringLiteral("%1 could not be put back; it is kept as %2")
            .arg(quoted(step.target), quoted(step.aside));
    case Kind::Rewrite:
        return QStringLiteral("%1 could not be given back its former content, which is kept as %2")
            .arg(quoted(step.target), quoted(step.aside));
    case Kind::Create:
        return QStringLiteral("The new file %1 could not be deleted").arg(quoted(step.target));
    }
    return {};
}

bool keepsAside(const TransactionStep &step)
{
    return step.kind == Kind::SetAside || step.kind == Kind::Rewrite;
}

RuntimeError withChangesLeft(RuntimeError error, const QString &failure, qsizetype stillDone)
{
    QStringList left{QStringLiteral("%1: %2").arg(failure, error.description())};
    if (stillDone > 0)
        left.append(QStringLiteral("%1 earlier changes are still in place.").arg(stillDone));
    left.append(RetryNote);
    error.setChangesLeft(left.join(u'\n'));
    return error;
}

} // namespace

ErrorOr<void> StepReversal::undo(const QList<TransactionStep> &steps, Journal &journal)
{
    for (qsizetype index = steps.size() - 1; index >= 0; --index) {
        if (ErrorOr<void> undone = undo(steps[index]); undone.isError())
            return withChangesLeft(undone.releaseError(), describeUndone(steps[index]), index);
        if (ErrorOr<void> recorded = journal.recordUndone(); recorded.isError())
            return withChangesLeft(recorded.releaseError(),
                                   QStringLiteral("The journal %1 could not record the undoing")
                                       .arg(quoted(Journal::FileName)),
                                   index);
    }
    return {};
}

// Every aside is tried even when an earlier one could not be deleted: the fewer remain, the
// fewer the next start has to clear.
ErrorOr<void> StepReversal::dropAsides(const QList<TransactionStep> &steps)
{
    std::optional<RuntimeError> firstFailure;
    QStringList left;
    for (const TransactionStep &step : steps) {
        if (!keepsAside(step))
            continue;
        ErrorOr<void> dropped = deleteIfPresent(step.aside);
        if (!dropped.isError())
            continue;
        left.append(QStringLiteral("The work is done, but the former file kept as %1 could not "
                                   "be deleted: %2")
                        .arg(quoted(step.aside), dropped.error().description()));
        if (!firstFailure)
            firstFailure = dropped.releaseError();
    }
    if (!firstFailure)
        return {};
    left.append(RetryNote);
    firstFailure->setChangesLeft(left.join(u'\n'));
    return *firstFailure;
}

ErrorOr<void> StepReversal::undo(const TransactionStep &step)
{
    switch (step.kind) {
    case Kind::MakeDirectory:
        // The transaction makes only folders that were missing. One that is not empty now holds
        // something that could not be put back, and its removal fails and is reported.
        if (TRY(m_fileSystem.entryKind(step.target)) != EntryKind::Directory)
            return {};
        return m_fileSystem.removeDirectory(step.target);
    case Kind::RemoveDirectory:
        if (TRY(m_fileSystem.exists(step.target)))
            return {};
        return m_fileSystem.makeDirectory(step.target);
    case Kind::Move:
        if (!TRY(m_fileSystem.exists(step.target)) || TRY(m_fileSystem.exists(step.source)))
            return {};
        return m_fileSystem.rename(step.target, step.source, Overwrite::No);
    case Kind::Copy:
    case Kind::Create:
        // The target was missing before the copy or the creation, so whatever stands there now
        // is the new file, whole or cut short.
        return deleteIfPresent(step.target);
    case Kind::SetAside:
        // A file in the way at the target is reported rather than replaced.
        if (!TRY(m_fileSystem.exists(step.aside)))
            return {};
        return m_fileSystem.rename(step.aside, step.target, Overwrite::No);
    case Kind::Rewrite:
        // The aside holds the former bytes whether or not the new ones had been written.
        if (!TRY(m_fileSystem.exists(step.aside)))
            return {};
        return m_fileSystem.rename(step.aside, step.target, Overwrite::Yes);
    }
    return {};
}

ErrorOr<void> StepReversal::deleteIfPresent(const QString &path)
{
    if (!TRY(m_fileSystem.exists(path)))
        return {};
    return m_fileSystem.deleteFile(path);
}
