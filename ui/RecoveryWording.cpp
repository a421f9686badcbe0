#include "RecoveryWording.h"

#include "ErrorWording.h"

namespace {

using ErrorWording::quoted;

// Why a journal is not this installer's to act on.
std::string mismatch(const ErrorCause &why)
{
    const std::vector<std::string> &detail = why.details;
    switch (why.reason) {
    case ErrorReason::JournalNotAPlainFile:
        return "it is not a plain file";
    case ErrorReason::JournalTooLarge:
        return "it is far larger than any journal BEXOM writes";
    case ErrorReason::JournalNamesNoFolders:
        return "it does not begin with a record that names them";
    case ErrorReason::JournalFromOtherPackageFolder:
        return "it was written in the package folder " + quoted(detail.at(0)) +
               ", and this package is in " + quoted(detail.at(1));
    case ErrorReason::PackageFolderReplaced:
        return "the package folder " + quoted(detail.at(0)) +
               " has been replaced since it was written";
    case ErrorReason::JournalGameFolderMoved:
        return "its game folder " + quoted(detail.at(0)) + " was " + quoted(detail.at(1)) +
               " when it was written and is " + quoted(detail.at(2)) + " now";
    case ErrorReason::JournalGameFolderGone:
        return "its game folder " + quoted(detail.at(0)) + " no longer exists";
    case ErrorReason::JournalGameFolderMadeAnew:
        return "its game folder " + quoted(detail.at(0)) +
               " has been deleted and made anew since it was written";
    case ErrorReason::JournalNamesPathOutside:
        return "it names " + quoted(detail.at(0)) +
               ", which lies outside the package folder and the game folder";
    case ErrorReason::JournalNamesFileNotWritten:
        return "it names " + quoted(detail.at(0)) + ", which is not a file BEXOM writes";
    case ErrorReason::JournalReplacesFileNotOwn:
        return "it would delete or replace " + quoted(detail.at(0)) +
               ", which is not a file of its own";
    case ErrorReason::JournalDeletesFileNotOwn:
        return "it would delete " + quoted(detail.at(0)) + ", which is not a file of its own";
    case ErrorReason::JournalBackupFolderLeadsOut:
        return "its backup folder " + quoted(detail.at(0)) + " leads out of the game folder";
    default:
        return {};
    }
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
        return foreignNotice(mismatch(outcome.why), outcome.keptAs);
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
