#include "StaleStatusOffer.h"

#include "DigestQueue.h"
#include "GameFolder.h"
#include "GameFolderCheck.h"
#include "ModFileNames.h"
#include "Transaction.h"

#include <algorithm>

using namespace ModFileNames;

namespace {

std::string question(const std::string &gameDirectory)
{
    return "The status file says BEXOM is installed in " + gameDirectory +
           ", but that folder holds no trace of it: neither BEXOM's backup folder " +
           GameFolder::BackupFolderName +
           " nor any of BEXOM's files. The game may have been installed again, or put back by "
           "hand.\n\nMark BEXOM as not installed?";
}

} // namespace

ErrorOr<bool> StaleStatusOffer::offer(const StatusRecord &status)
{
    if (status.statusItem == StatusFile::Uninstalled)
        return false;
    const ErrorOr<bool> noTrace = holdsNoTrace(status.gameDirectory());
    if (noTrace.isError() || !noTrace.value())
        return false;
    const MessageBoxAnswer answer =
        m_services.messageBox.show(question(status.gameDirectory()), MessageBoxButtons::YesNo,
                                   MessageBoxIcon::Question, MessageBox::Title);
    if (answer != MessageBoxAnswer::Yes)
        return true;
    const GameFolder game(status.gameDirectory());
    Transaction transaction(m_services.fileSystem, game);
    TRY(transaction.complete(transaction.rewrite(
        StatusFile::FileName, StatusFile::encode({StatusFile::Uninstalled, status.pathItem}))));
    return true;
}

// No backup folder, nor anything at its name, nothing kept aside, and none of the mod's files under
// any of the names an installation of either edition gives them, by what they hold.
ErrorOr<bool> StaleStatusOffer::holdsNoTrace(const std::string &gameDirectory)
{
    FileSystem &fileSystem = m_services.fileSystem;
    const GameFolder game(gameDirectory);
    TRY(GameFolderCheck(fileSystem).checkFolder(game));
    if (TRY(fileSystem.exists(game.backupFolder())) ||
        TRY(fileSystem.linkKind(game.backupFolder())) != LinkKind::NotALink)
        return false;
    // What a transaction cut short kept aside under a hidden name.
    for (const std::string &name : TRY(fileSystem.entryNames(game.folder())))
        if (name.starts_with(TransactionStep::HiddenNamePrefix))
            return false;
    DigestQueue digests(fileSystem);
    std::vector<std::size_t> packaged;
    for (const std::string &name : packageFiles(Edition::Aftermath))
        packaged.push_back(TRY(digests.add(name)));
    std::vector<std::size_t> found;
    for (const std::string &name : AllNames)
        if (TRY(fileSystem.entryKind(game.file(name))) == EntryKind::File)
            found.push_back(TRY(digests.add(game.file(name))));
    std::vector<FileDigest> mods;
    for (const std::size_t ticket : packaged)
        mods.push_back(TRY(digests.result(ticket)));
    for (const std::size_t ticket : found)
        if (std::ranges::find(mods, TRY(digests.result(ticket))) != mods.end())
            return false;
    return true;
}
