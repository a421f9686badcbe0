#include "RecoveryWording.h"

#include "ErrorWording.h"

namespace {

using ErrorWording::quoted;

// Why a journal is not this installer's to act on: one function per kind of cause, each reading
// the fields it needs.
std::string mismatch(const ReasonOnly &why)
{
    switch (why.reason) {
    case ErrorReason::JournalNotAPlainFile:
        return "it is not a plain file";
    case ErrorReason::JournalTooLarge:
        return "it is far larger than any journal BEXOM writes";
    case ErrorReason::JournalNamesNoFolders:
        return "it does not begin with a record that names them";
    default:
        return {};
    }
}

std::string mismatch(const Cause::JournalFromOtherPackageFolder &why)
{
    return "it was written in the package folder " + quoted(why.writtenIn) +
           ", and this package is in " + quoted(why.packageFolder);
}

std::string mismatch(const Cause::PackageFolderReplaced &why)
{
    return "the package folder " + quoted(why.packageFolder) +
           " has been replaced since it was written";
}

std::string mismatch(const Cause::JournalGameFolderMoved &why)
{
    return "its game folder " + quoted(why.gameDirectory) + " was " + quoted(why.then) +
           " when it was written and is " + quoted(why.now) + " now";
}

std::string mismatch(const Cause::JournalGameFolderGone &why)
{
    return "its game folder " + quoted(why.gameFolder) + " no longer exists";
}

std::string mismatch(const Cause::JournalGameFolderMadeAnew &why)
{
    return "its game folder " + quoted(why.gameFolder) +
           " has been deleted and made anew since it was written";
}

std::string mismatch(const Cause::JournalNamesPathOutside &why)
{
    return "it names " + quoted(why.path) +
           ", which lies outside the package folder and the game folder";
}

std::string mismatch(const Cause::JournalNamesFileNotWritten &why)
{
    return "it names " + quoted(why.path) + ", which is not a file BEXOM writes";
}

std::string mismatch(const Cause::JournalReplacesFileNotOwn &why)
{
    return "it would delete or replace " + quoted(why.path) + ", which is not a file of its own";
}

std::string mismatch(const Cause::JournalDeletesFileNotOwn &why)
{
    return "it would delete " + quoted(why.path) + ", which is not a file of its own";
}

std::string mismatch(const Cause::JournalBackupFolderLeadsOut &why)
{
    return "its backup folder " + quoted(why.backupFolder) + " leads out of the game folder";
}

// No other cause sets a journal aside.
template <typename Other> std::string mismatch(const Other &)
{
    return {};
}

// The notice with its two blanks filled, each once, whatever the texts put into them hold.
std::string foreignNotice(const std::string &why, const std::string &keptAs)
{
    const std::string &notice = RecoveryWording::ForeignNotice;
    const std::size_t first = notice.find("%1");
    const std::size_t second = notice.find("%2");
    return notice.substr(0, first) + why + notice.substr(first + 2, second - first - 2) + keptAs +
           notice.substr(second + 2);
}

std::string undoneNotice(const std::vector<KeptFile> &kept)
{
    if (kept.empty())
        return RecoveryWording::UndoneNotice;
    return RecoveryWording::UndoneAroundChangesNotice + RecoveryWording::keptLines(kept);
}

std::string finishedNotice(const std::vector<KeptFile> &kept)
{
    if (kept.empty())
        return RecoveryWording::FinishedNotice;
    std::string notice = RecoveryWording::FinishedAroundChangesNotice;
    for (const KeptFile &file : kept)
        notice += "\nThe file set aside from " + quoted(file.path) + " is kept as " +
                  quoted(file.keptAs) + ".";
    return notice;
}

std::string noticeFor(const RecoveryOutcome &outcome)
{
    switch (outcome.kind) {
    case RecoveryOutcome::Kind::Undone:
        return undoneNotice(outcome.kept);
    case RecoveryOutcome::Kind::Finished:
        return finishedNotice(outcome.kept);
    case RecoveryOutcome::Kind::KeptAside:
        return foreignNotice(
            std::visit([](const auto &why) { return mismatch(why); }, outcome.why.details()),
            outcome.keptAs);
    }
    return {};
}

} // namespace

namespace RecoveryWording {

std::string keptLines(const std::vector<KeptFile> &kept)
{
    std::string lines;
    for (const KeptFile &file : kept)
        lines += file.keptAs.empty() ? "\n" + quoted(file.path) + " is left as it is."
                                     : "\nThe file it would have put back as " + quoted(file.path) +
                                           " is kept as " + quoted(file.keptAs) + ".";
    return lines;
}

std::string notice(const std::vector<RecoveryOutcome> &outcomes)
{
    std::string notices;
    for (const RecoveryOutcome &outcome : outcomes) {
        const std::string words = noticeFor(outcome);
        if (notices.find(words) != std::string::npos)
            continue;
        notices += (notices.empty() ? "" : "\n\n") + words;
    }
    return notices;
}

} // namespace RecoveryWording
