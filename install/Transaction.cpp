#include "Transaction.h"

#include <QRandomGenerator>

#include <ranges>

using Kind = TransactionStep::Kind;

namespace {

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
    }
    return {};
}

bool keepsAside(const TransactionStep &step)
{
    return step.kind == Kind::SetAside || step.kind == Kind::Rewrite;
}

} // namespace

Transaction::Transaction(FileSystem &fileSystem)
    : m_fileSystem(fileSystem),
      m_asidePrefix(QStringLiteral(".bexom-aside-%1-")
                        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')))
{}

Transaction::~Transaction()
{
    if (!m_completed)
        rollBack();
}

ErrorOr<void> Transaction::makeDirectory(const QString &path)
{
    TRY(m_fileSystem.makeDirectory(path));
    m_steps.append({Kind::MakeDirectory, {}, path, {}});
    return {};
}

ErrorOr<void> Transaction::removeDirectory(const QString &path)
{
    TRY(m_fileSystem.removeDirectory(path));
    m_steps.append({Kind::RemoveDirectory, {}, path, {}});
    return {};
}

ErrorOr<void> Transaction::move(const QString &from, const QString &to)
{
    TRY(m_fileSystem.rename(from, to, Overwrite::No));
    m_steps.append({Kind::Move, from, to, {}});
    return {};
}

ErrorOr<void> Transaction::copy(const QString &from, const QString &to)
{
    if (TRY(m_fileSystem.entryKind(to)) != EntryKind::Missing)
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, to);
    // Recorded before the copy starts, so that a copy cut short is deleted with the rest.
    m_steps.append({Kind::Copy, from, to, {}});
    return m_fileSystem.copyFile(from, to);
}

ErrorOr<void> Transaction::deleteFile(const QString &path)
{
    const QString aside = asidePathFor(path);
    TRY(m_fileSystem.rename(path, aside, Overwrite::No));
    m_steps.append({Kind::SetAside, {}, path, aside});
    return {};
}

ErrorOr<void> Transaction::rewrite(const QString &path, const QByteArray &bytes)
{
    const QString aside = asidePathFor(path);
    TRY(copy(path, aside));
    // The file is replaced by a rename, so it is whole and either old or new at every moment,
    // and putting the former bytes back is a rename too.
    m_steps.append({Kind::Rewrite, {}, path, aside});
    return m_fileSystem.writeFileAtomically(path, bytes);
}

ErrorOr<void> Transaction::complete(ErrorOr<void> outcome)
{
    m_completed = true;
    if (!outcome.isError())
        return commit();
    RuntimeError error = outcome.releaseError();
    if (const QString left = rollBack(); !left.isEmpty())
        error.setChangesLeft(left);
    return error;
}

ErrorOr<void> Transaction::commit()
{
    std::optional<RuntimeError> firstFailure;
    QStringList left;
    for (const TransactionStep &step : m_steps | std::views::filter(keepsAside)) {
        auto dropped = m_fileSystem.deleteFile(step.aside);
        if (!dropped.isError())
            continue;
        left.append(QStringLiteral("The work is done, but the former file kept as %1 could not "
                                   "be deleted: %2")
                        .arg(quoted(step.aside), dropped.error().description()));
        if (!firstFailure)
            firstFailure = dropped.releaseError();
    }
    m_steps.clear();
    if (!firstFailure)
        return {};
    firstFailure->setChangesLeft(left.join(u'\n'));
    return *firstFailure;
}

QString Transaction::rollBack()
{
    QStringList left;
    // Every step is tried even when a later one could not be undone: the fewer changes remain,
    // the less the player has to mend by hand.
    for (const TransactionStep &step : m_steps | std::views::reverse) {
        auto undone = undo(step);
        if (undone.isError())
            left.append(
                QStringLiteral("%1: %2").arg(describeUndone(step), undone.error().description()));
    }
    m_steps.clear();
    return left.join(u'\n');
}

ErrorOr<void> Transaction::undo(const TransactionStep &step)
{
    switch (step.kind) {
    case Kind::MakeDirectory:
        return m_fileSystem.removeDirectory(step.target);
    case Kind::RemoveDirectory:
        return m_fileSystem.makeDirectory(step.target);
    case Kind::Move:
        return m_fileSystem.rename(step.target, step.source, Overwrite::No);
    case Kind::Copy:
        return deleteIfPresent(step.target);
    case Kind::SetAside:
        return m_fileSystem.rename(step.aside, step.target, Overwrite::No);
    case Kind::Rewrite:
        return m_fileSystem.rename(step.aside, step.target, Overwrite::Yes);
    }
    return {};
}

ErrorOr<void> Transaction::deleteIfPresent(const QString &path)
{
    if (TRY(m_fileSystem.entryKind(path)) == EntryKind::Missing)
        return {};
    return m_fileSystem.deleteFile(path);
}

QString Transaction::asidePathFor(const QString &path)
{
    // Beside the file itself, so that setting it aside is a rename within one folder.
    const qsizetype nameStart = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1;
    const QString aside = m_asidePrefix + QString::number(++m_asideCount) + u'-';
    return path.left(nameStart) + aside + path.mid(nameStart);
}
