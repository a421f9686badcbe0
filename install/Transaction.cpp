#include "Transaction.h"

#include "runtime/Sha256.h"
#include "runtime/Text.h"

#include <algorithm>
#include <random>

using Kind = TransactionStep::Kind;

namespace {

std::size_t nameStart(const std::string &path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

FileDigest digestOf(const std::string &bytes)
{
    return {static_cast<std::int64_t>(bytes.size()), Sha256::of(bytes)};
}

std::string folderOf(const std::string &path)
{
    const std::string folder = path.substr(0, nameStart(path));
    return folder.empty() ? std::string(".") : folder;
}

} // namespace

Transaction::Transaction(FileSystem &fileSystem, const GameFolder &game)
    : m_fileSystem(fileSystem), m_gameDirectory(game.directory()), m_folders(fileSystem),
      m_journal(fileSystem), m_reversal(fileSystem),
      m_asidePrefix(TransactionStep::HiddenNamePrefix + Text::hex(std::random_device()(), 8) + "-")
{}

Transaction::~Transaction()
{
    if (!m_completed)
        (void)rollBack();
}

ErrorOr<void> Transaction::makeDirectory(const std::string &path)
{
    // Undoing removes the folder, which must then be one this transaction made.
    TRY(requireMissing(path));
    TRY(begin({{Kind::MakeDirectory, {}, path, {}}}));
    TRY(m_fileSystem.makeDirectory(path));
    return m_fileSystem.holdFolder(path, HeldFolder::OwnName::NoLink);
}

ErrorOr<void> Transaction::removeDirectory(const std::string &path)
{
    // Undoing makes the folder again, which must then be one that was there.
    if (TRY(m_fileSystem.entryKind(path)) != EntryKind::Directory)
        return RuntimeError(RuntimeErrorCode::PathNotFound, path);
    TRY(begin({{Kind::RemoveDirectory, {}, path, {}}}));
    return m_fileSystem.removeDirectory(path);
}

ErrorOr<void> Transaction::move(const std::string &from, const std::string &to)
{
    const std::string source = TRY(asStored(from));
    TRY(begin({{Kind::Move, source, to, {}}}));
    return m_fileSystem.rename(source, to, Overwrite::No);
}

// All the steps of a batch are on the disk before the first of them runs, so a crash may leave
// steps recorded but never made, and their undo must then change nothing. A copy not made left
// nothing at its hidden name, which no other file has: its undo deletes nothing. The moves are
// recorded only once every copy is whole, so a move not made still finds its source, and its undo
// leaves alone whatever stands at the destination. Recorded before its copy, the move would not be
// safe: undone while its source is missing, it would take any file at the destination for its own.
ErrorOr<void> Transaction::copyAll(const std::vector<FileCopy> &copies)
{
    std::vector<TransactionStep> copying, moving;
    for (const FileCopy &copy : copies) {
        TRY(requireMissing(copy.to));
        const std::string hidden = asidePathFor(copy.to);
        // Undoing deletes whatever stands at the hidden name, a copy cut short included.
        TRY(requireMissing(hidden));
        copying.push_back({Kind::Copy, copy.from, hidden, {}});
        moving.push_back({Kind::Move, hidden, copy.to, {}});
    }
    TRY(begin(copying));
    for (const TransactionStep &step : copying) {
        TRY(m_fileSystem.checkHeldFolders());
        // The copy reaches the disk with the others, all flushed at once before the commit: until
        // then its source is still there, and the undo deletes it.
        if (std::find(m_unflushedCopies.begin(), m_unflushedCopies.end(), folderOf(step.target)) ==
            m_unflushedCopies.end())
            m_unflushedCopies.push_back(folderOf(step.target));
        TRY(m_fileSystem.copyFile(step.source, step.target, Flush::WithFileSystem));
    }
    // Undoing a move renames back only what the move put there; the undo of the copy then deletes
    // the hidden file.
    TRY(begin(moving));
    for (const TransactionStep &step : moving) {
        TRY(m_fileSystem.checkHeldFolders());
        TRY(m_fileSystem.rename(step.source, step.target, Overwrite::No));
    }
    return {};
}

ErrorOr<void> Transaction::deleteFile(const std::string &path)
{
    return deleteAll({{path}});
}

// A file is set aside under a hidden name that no other file has. Recorded but not yet set aside,
// it leaves that name free, and the undo finds nothing there to put back: so every file of a batch
// is recorded at once, before the first is set aside. The record holds what the file holds, for
// the commit to drop only that.
ErrorOr<void> Transaction::deleteAll(const std::vector<FileDeletion> &deletions)
{
    std::vector<TransactionStep> settingAside;
    for (const FileDeletion &deletion : deletions) {
        const std::string target = TRY(asStored(deletion.path));
        const FileDigest held = deletion.holds ? *deletion.holds : TRY(m_fileSystem.digest(target));
        settingAside.push_back({Kind::SetAside, {}, target, asidePathFor(target), {}, held});
    }
    if (settingAside.empty())
        return {};
    TRY(begin(settingAside));
    for (const TransactionStep &step : settingAside) {
        TRY(m_fileSystem.checkHeldFolders());
        TRY(m_fileSystem.rename(step.target, step.aside, Overwrite::No));
    }
    return {};
}

ErrorOr<void> Transaction::rewrite(const std::string &path, const std::string &bytes)
{
    const std::string aside = asidePathFor(path);
    // Undoing deletes whatever stands at the hidden name, a copy cut short included.
    TRY(requireMissing(aside));
    // What the copy holds, for a recovery to drop it only while it still holds that.
    const FileDigest held = TRY(m_fileSystem.digest(path));
    TRY(begin({{Kind::Copy, path, aside, {}, held}}));
    // The aside is all that is left of the former bytes once the file is rewritten, so it is on
    // the disk before the rewrite is recorded: the undo of a rewrite puts the aside back.
    TRY(m_fileSystem.copyFile(path, aside, Flush::Now));
    // The file is replaced by a rename, so it is whole and either old or new at every moment,
    // and putting the former bytes back is a rename too.
    TRY(begin({{Kind::Rewrite, {}, path, aside, digestOf(bytes)}}));
    return m_fileSystem.writeFileAtomically(path, bytes);
}

ErrorOr<void> Transaction::createFile(const std::string &path, const std::string &bytes)
{
    // Undoing deletes whatever stands at the path, a file cut short included.
    TRY(requireMissing(path));
    TRY(begin({{Kind::Create, {}, path, {}, digestOf(bytes)}}));
    return m_fileSystem.createFileDurably(path, bytes);
}

ErrorOr<void> Transaction::complete(ErrorOr<void> outcome)
{
    m_completed = true;
    if (!outcome.isError())
        return commit();
    RuntimeError error = outcome.releaseError();
    if (const ErrorOr<void> rolledBack = rollBack();
        rolledBack.isError() && rolledBack.error().hasChangesLeft())
        error.setChangesLeft(rolledBack.error().changesLeft());
    error.setKeptFiles(m_reversal.kept());
    return error;
}

// A step begins only while the folders are where they were held: a folder moved away, or swapped
// for a link, fails the step and the transaction undoes itself in the folders it holds.
ErrorOr<void> Transaction::begin(const std::vector<TransactionStep> &steps)
{
    if (!m_journal.hasBegun())
        TRY(open());
    TRY(m_fileSystem.checkHeldFolders());
    TRY(m_journal.record(steps));
    m_steps.insert(m_steps.end(), steps.begin(), steps.end());
    return {};
}

ErrorOr<void> Transaction::open()
{
    const TransactionScope scope = TRY(TransactionScope::resolve(m_fileSystem, m_gameDirectory));
    m_gameLock = TRY(scope.lockGameFolder());
    // Held before the journal is written, so that a backup folder that is a link is refused with
    // nothing touched.
    TRY(m_folders.hold(GameFolder(m_gameDirectory)));
    return m_journal.open(scope);
}

ErrorOr<void> Transaction::requireMissing(const std::string &path)
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
    if (ErrorOr<void> held = m_fileSystem.checkHeldFolders(); held.isError())
        return complete(held.releaseError());
    for (const std::string &folder : m_unflushedCopies)
        if (ErrorOr<void> flushed = m_fileSystem.flushFileSystem(folder); flushed.isError())
            return complete(flushed.releaseError());
    if (ErrorOr<void> flushed = flushChangedFolders(); flushed.isError())
        return complete(flushed.releaseError());
    if (ErrorOr<void> recorded = m_journal.recordCommit(); recorded.isError())
        return complete(recorded.releaseError());
    TRY(m_reversal.dropAsides(std::exchange(m_steps, {}), StepReversal::SetAsideBy::ThisRun));
    return discardJournal(ChangesLeft::JournalLeft::After::WorkDone);
}

// A rename or a new name is on the disk only once its folder is. A rewrite or a creation flushes
// its folder itself, and with it every earlier change there; the folder a copy reads from does not
// change. A folder that a later step removed again has nothing left to flush: its removal is
// flushed with its parent.
ErrorOr<void> Transaction::flushChangedFolders()
{
    std::vector<std::string> folders;
    for (const TransactionStep &step : m_steps) {
        for (const std::string &path :
             {step.kind == Kind::Copy ? std::string() : step.source, step.target, step.aside})
            if (!path.empty() &&
                std::find(folders.begin(), folders.end(), folderOf(path)) == folders.end())
                folders.push_back(folderOf(path));
        if (step.kind == Kind::Rewrite || step.kind == Kind::Create)
            std::erase(folders, folderOf(step.target));
    }
    for (const std::string &folder : folders)
        if (TRY(m_fileSystem.entryKind(folder)) == EntryKind::Directory)
            TRY(m_fileSystem.syncFolder(folder));
    return {};
}

ErrorOr<void> Transaction::rollBack()
{
    TRY(m_reversal.undo(std::exchange(m_steps, {}), m_journal));
    if (!m_journal.hasBegun())
        return {};
    return discardJournal(ChangesLeft::JournalLeft::After::WorkUndone);
}

ErrorOr<void> Transaction::discardJournal(ChangesLeft::JournalLeft::After after)
{
    ErrorOr<void> discarded = m_journal.discard();
    if (!discarded.isError())
        return {};
    RuntimeError error = discarded.releaseError();
    ChangesLeft changes;
    changes.journalLeft = ChangesLeft::JournalLeft{after, error.code()};
    error.setChangesLeft(std::move(changes));
    return error;
}

// An undo gives a file back under the name it had, "EXPAND.MIX" and not "Expand.mix": once the
// file has gone, nothing else would remember how its name was spelled.
ErrorOr<std::string> Transaction::asStored(const std::string &path)
{
    const std::string stored = TRY(m_fileSystem.storedName(path));
    return path.substr(0, nameStart(path)) + stored;
}

std::string Transaction::asidePathFor(const std::string &path)
{
    // Beside the file itself, so that setting it aside is a rename within one folder.
    const std::string aside = m_asidePrefix + std::to_string(++m_asideCount) + '-';
    return path.substr(0, nameStart(path)) + aside + path.substr(nameStart(path));
}
