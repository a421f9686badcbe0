#include "TransactionFolders.h"

ErrorOr<void> TransactionFolders::hold(const GameFolder &game)
{
    TRY(m_fileSystem.holdFolder(game.folder(), HeldFolder::OwnName::MayBeALink));
    if (TRY(m_fileSystem.linkKind(game.backupFolder())) != LinkKind::NotALink ||
        TRY(m_fileSystem.entryKind(game.backupFolder())) == EntryKind::Directory)
        TRY(m_fileSystem.holdFolder(game.backupFolder(), HeldFolder::OwnName::NoLink));
    return {};
}
