#include "Transaction.h"

#include <QRandomGenerator>

using Kind = TransactionStep::Kind;

namespace {

qsizetype nameStart(const QString &path)
{
    return std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1;
}

} // namespace

Transaction::Transaction(FileSystem &fileSystem, const GameFolder &game)
    : m_fileSystem(fileSystem), m_gameDirectory(game.directory()), m_journal(fileSystem),
      m_reversal(fileSystem),
      m_asidePrefix(TransactionStep::HiddenNamePrefix +
                    QStringLiteral("%1-").arg(QRandomGenerator::global()->generate(), 8, 16,
                                              QLatin1Char('0')))
{}

Transaction::~Transaction()
{
    if (!m_completed)
        (void)rollBack();
}

ErrorOr<void> Transaction::makeDirectory(const QString &path)
{
    // Undoing removes the folder, which must then be one this transaction made.
    TRY(requireMissing(path));
    TRY(begin({Kind::MakeDirectory, {}, path, {}}));
    return m_fileSystem.makeDirectory(path);
}

ErrorOr<void> Transaction::removeDirectory(const QString &path)
{
    TRY(begin({Kind::RemoveDirectory, {}, path, {}}));
    return m_fileSystem.removeDirectory(path);
}

ErrorOr<void> Transaction::move(const QString &from, const QString &to)
{
    const QString source = TRY(asStored(from));
    TRY(begin({Kind::Move, source, to, {}}));
    return m_fileSystem.rename(source, to, Overwrite::No);
}

ErrorOr<void> Transaction::copy(const QString &from, const QString &to)
{
    TRY(requireMissing(to));
    const QString hidden = asidePathFor(to);
    TRY(copyToHiddenName(from, hidden));
    // Undoing the move renames back only what the move put there; the undo of the copy then
    // deletes the hidden file.
    TRY(begin({Kind::Move, hidden, to, {}}));
    return m_fileSystem.rename(hidden, to, Overwrite::No);
}

ErrorOr<void> Transaction::deleteFile(const QString &path)
{
    const QString target = TRY(asStored(path));
    const QString aside = asidePathFor(target);
    TRY(begin({Kind::SetAside, {}, target, aside}));
    return m_fileSystem.rename(target, aside, Overwrite::No);
}

ErrorOr<void> Transaction::rewrite(const QString &path, const QByteArray &bytes)
{
    const QString aside = asidePathFor(path);
    TRY(copyToHiddenName(path, aside));
    // The file is replaced by a rename, so it is whole and either old or new at every moment,
    // and putting the former bytes back is a rename too.
    TRY(begin({Kind::Rewrite, {}, path, aside}));
    return m_fileSystem.writeFileAtomically(path, bytes);
}

ErrorOr<void> Transaction::createFile(const QString &path, const QByteArray &bytes)
{
    // Undoing deletes whatever stands at the path, a file cut short included.
    TRY(requireMissing(path));
    TRY(begin({Kind::Create, {}, path, {}}));
    return m_fileSystem.createFileDurably(path, bytes);
}

ErrorOr<void> Transaction::complete(ErrorOr<void> outcome)
{
    m_completed = true;
    if (!outcome.isError())
        return commit();
    RuntimeError error = outcome.releaseError();
    if (const ErrorOr<void> rolledBack = rollBack(); rolledBack.isError())
        error.setChangesLeft(rolledBack.error().changesLeft());
    return error;
}

ErrorOr<void> Transaction::begin(const TransactionStep &step)
{
    if (!m_journal.hasBegun())
        TRY(open());
    TRY(m_journal.record(step));
    m_steps.append(step);
    return {};
}

ErrorOr<void> Transaction::open()
{
    const TransactionScope scope = TRY(TransactionScope::resolve(m_fileSystem, m_gameDirectory));
    m_gameLock = TRY(scope.lockGameFolder());
    return m_journal.open(scope);
}

ErrorOr<void> Transaction::copyToHiddenName(const QString &from, const QString &hidden)
{
    // Undoing deletes whatever stands at the hidden name, a copy cut short included.
    TRY(requireMissing(hidden));
    TRY(begin({Kind::Copy, from, hidden, {}}));
    return m_fileSystem.copyFile(from, hidden);
}

ErrorOr<void> Transaction::requireMissing(const QString &path)
{
    if (TRY(m_fileSystem.exists(path)))
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, path);
    return {};
}

ErrorOr<void> Transaction::commit()
{
    if (!m_journal.hasBegun())
        return {};
    // Until the commit record is on the disk, a crash undoes the whole transaction; so does a
    // commit record that cannot be written. The renames must reach the disk before it does.
    if (ErrorOr<void> flushed = flushChangedFolders(); flushed.isError())
        return complete(flushed.releaseError());
    if (ErrorOr<void> recorded = m_journal.recordCommit(); recorded.isError())
        return complete(recorded.releaseError());
    TRY(m_reversal.dropAsides(std::exchange(m_steps, {})));
    return discardJournal(QStringLiteral("The work is done"));
}

// A rename or a new name is on the disk only once its folder is. A folder that a later step
// removed again has nothing left to flush: its removal is flushed with its parent.
ErrorOr<void> Transaction::flushChangedFolders()
{
    QStringList folders;
    for (const TransactionStep &step : m_steps)
        for (const QString &path : {step.source, step.target, step.aside}) {
            if (path.isEmpty())
                continue;
            const QString folder = path.left(nameStart(path));
            if (!folders.contains(folder))
                folders.append(folder);
        }
    for (const QString &folder : folders) {
        const QString named = folder.isEmpty() ? QStringLiteral(".") : folder;
        if (TRY(m_fileSystem.entryKind(named)) == EntryKind::Directory)
            TRY(m_fileSystem.syncFolder(named));
    }
    return {};
}

ErrorOr<void> Transaction::rollBack()
{
    TRY(m_reversal.undo(std::exchange(m_steps, {}), m_journal));
    if (!m_journal.hasBegun())
        return {};
    return discardJournal(QStringLiteral("Everything is as before"));
}

ErrorOr<void> Transaction::discardJournal(const QString &whenLeft)
{
    ErrorOr<void> discarded = m_journal.discard();
    if (!discarded.isError())
        return {};
    RuntimeError error = discarded.releaseError();
    error.setChangesLeft(QStringLiteral("%1, but the journal \"%2\" could not be deleted: %3. The "
                                        "installer will clear it when it is next started.")
                             .arg(whenLeft, Journal::FileName, error.description()));
    return error;
}

// An undo gives a file back under the name it had, "EXPAND.MIX" and not "Expand.mix": once the
// file has gone, nothing else would remember how its name was spelled.
ErrorOr<QString> Transaction::asStored(const QString &path)
{
    return path.left(nameStart(path)) + TRY(m_fileSystem.storedName(path));
}

QString Transaction::asidePathFor(const QString &path)
{
    // Beside the file itself, so that setting it aside is a rename within one folder.
    const QString aside = m_asidePrefix + QString::number(++m_asideCount) + u'-';
    return path.left(nameStart(path)) + aside + path.mid(nameStart(path));
}
