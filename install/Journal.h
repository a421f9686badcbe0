#pragma once

#include "runtime/FileSystem.h"
#include "TransactionScope.h"
#include "TransactionStep.h"

#include <string>
#include <vector>

#include <optional>

// What a journal on disk tells: the folders its transaction worked in, when its first record could
// be read; the steps that were begun, in order; how many of them, from the last one back, a
// rollback has undone since; and whether all of them had been done when the transaction was
// committed.
struct JournalContents
{
    std::optional<TransactionScope> scope;
    std::vector<TransactionStep> steps;
    std::size_t undone = 0;
    bool committed = false;

    std::vector<TransactionStep> stepsToUndo() const
    {
        return {steps.begin(), steps.end() - static_cast<std::ptrdiff_t>(undone)};
    }
    bool operator==(const JournalContents &) const = default;
};

// The write-ahead record of a transaction, kept beside the status file, so that a transaction cut
// short by a crash or a power cut can be undone at the next start. Each step is recorded, and on
// the disk, before its operation runs; the commit record follows the last step. A rollback
// records each step it has undone, so that one cut short goes on where it stopped and never
// undoes a step twice: the undo of a move takes back what stands at its target, which by then
// may be the player's own file, given back by the undo of an earlier step.
//
// The first record names the transaction's folders; the steps follow. One record per line: a
// kind word and the step's paths or the folders, percent-encoded so that no path text can break a
// line or a field, then the CRC-32 of all that. A record without its line end or with a
// wrong checksum was cut short by the crash; since it was written ahead, its step never started,
// and it is ignored together with anything after it.
class Journal final
{
public:
    static inline const std::string FileName = "BEXOMv2.journal";

    explicit Journal(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    // Readies the first record, which goes to the disk with the first steps. Refuses to start
    // while the journal of an unfinished transaction is there: its changes must be undone first.
    ErrorOr<void> open(const TransactionScope &scope);
    // The steps go to the disk together, with one flush.
    ErrorOr<void> record(const std::vector<TransactionStep> &steps);
    ErrorOr<void> recordCommit();
    // The last step not yet undone has been undone.
    ErrorOr<void> recordUndone();
    // Whether this journal has written, or tried to write, its file.
    bool hasBegun() const { return m_begun; }
    // Takes up the journal that an interrupted transaction left, to record its undoing; nothing
    // when there is none.
    ErrorOr<std::optional<JournalContents>> resume();
    ErrorOr<void> discard();
    // Renames the journal to a name no file has yet, so that it is kept but never acted on while
    // its folders are not the ones here, and returns that name.
    ErrorOr<std::string> setAside();

    static std::string encode(const TransactionScope &scope);
    static std::string encode(const TransactionStep &step);
    static std::string encodeCommit();
    static std::string encodeUndone();
    static std::string encode(const JournalContents &contents);
    // Never fails: whatever cannot be read as a whole record ends the contents.
    static JournalContents parse(const std::string &bytes);

private:
    ErrorOr<void> append(const std::string &lines);
    ErrorOr<void> refuseUnfinished();

    FileSystem &m_fileSystem;
    bool m_begun = false;
    // The records on the disk, as far as known. After a failed append the file may end in a torn
    // record that would hide every later one, so it is written anew.
    std::string m_written;
    bool m_maybeTorn = false;
    // The first record, until it is written with the first steps: a journal that names its
    // folders but no step has nothing to undo, and its own flush would buy nothing.
    std::string m_unwritten;
};
