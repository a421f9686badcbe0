#include "ModInstaller.h"

#include "GameFolder.h"
#include "Transaction.h"

namespace {

const QString Expand = QStringLiteral("Expand.mix");
const QString Expand2 = QStringLiteral("Expand2.mix");
const QString Rules = QStringLiteral("Rules.ini");
const QString Aftrmath = QStringLiteral("Aftrmath.ini");
const QString MPlayer = QStringLiteral("MPlayer.ini");
const QString Title = QStringLiteral("Title.pcx");
const QString Vorda = QStringLiteral("SC-Vorda.mix");

QStringList packageFiles(Edition edition)
{
    if (edition == Edition::Aftermath)
        return {Expand2, Rules, Aftrmath, MPlayer, Title, Vorda};
    return {Expand2, Rules, Title, Vorda};
}

// The path line stays as it was, so that the status file still tells where the game is.
ErrorOr<void> markUninstalled(Transaction &transaction, const StatusRecord &status)
{
    return transaction.rewrite(StatusFile::FileName,
                               StatusFile::encode({StatusFile::Uninstalled, status.pathItem}));
}

} // namespace

ErrorOr<void> ModInstaller::install(Edition edition, const QString &gameDirectory)
{
    const GameFolder game(gameDirectory);
    TRY(checkInstallable(edition, game));
    TRY(refuseRelativeArchiveLinks(game));
    Transaction transaction(m_fileSystem, game);
    if (edition == Edition::Aftermath)
        return transaction.complete(installAftermath(transaction, game));
    return transaction.complete(installCounterstrike(transaction, game));
}

ErrorOr<void> ModInstaller::uninstall(Edition edition, const QString &gameDirectory)
{
    const GameFolder game(gameDirectory);
    const StatusRecord status = TRY(checkRemovable(edition, game));
    Transaction transaction(m_fileSystem, game);
    if (edition == Edition::Aftermath)
        return transaction.complete(uninstallAftermath(transaction, game, status));
    return transaction.complete(uninstallCounterstrike(transaction, game, status));
}

ErrorOr<void> ModInstaller::checkInstallable(Edition edition, const GameFolder &game)
{
    TRY(checkGameFolder(game));
    TRY(requireFile(game.file(Expand),
                    QStringLiteral("There is no Expand.mix in this folder, so it is not the folder "
                                   "of Red Alert with an expansion.")));
    if (edition == Edition::Aftermath)
        TRY(requireFile(game.file(Expand2),
                        QStringLiteral("There is no Expand2.mix in this folder, so Aftermath is "
                                       "not installed there. For a game without Aftermath, choose "
                                       "the Counterstrike option.")));
    if (TRY(m_fileSystem.exists(game.backupFolder())))
        return RuntimeError(RuntimeErrorCode::FileAlreadyExists, game.backupFolder(),
                            QStringLiteral("BEXOM's backup folder is already there, so BEXOM seems "
                                           "to be installed. Uninstall it first, or move the "
                                           "folder away."));
    for (const QString &name : packageFiles(edition))
        TRY(requireFile(name, QStringLiteral("The BEXOM package is incomplete: %1 must stand in "
                                             "the installer's folder.")
                                  .arg(name)));
    return requireFile(StatusFile::FileName,
                       QStringLiteral("The BEXOM package is incomplete: the status file must "
                                      "stand in the installer's folder."));
}

ErrorOr<StatusRecord> ModInstaller::checkRemovable(Edition edition, const GameFolder &game)
{
    // An empty directory would name the package folder, whose Expand2.mix is the mod's own.
    if (game.directory().isEmpty())
        return RuntimeError(RuntimeErrorCode::PathNotFound, StatusFile::FileName,
                            QStringLiteral("The status file names no game folder."));
    TRY(checkGameFolder(game));
    const QString cause = QStringLiteral("BEXOM's backup folder does not hold the game's own %1, "
                                         "so it could not be given back.");
    TRY(requireFile(game.backedUp(Expand), cause.arg(Expand)));
    if (edition == Edition::Aftermath)
        TRY(requireFile(game.backedUp(Expand2), cause.arg(Expand2)));
    return StatusFile(m_fileSystem).read();
}

ErrorOr<void> ModInstaller::checkGameFolder(const GameFolder &game)
{
    switch (TRY(m_fileSystem.entryKind(game.folder()))) {
    case EntryKind::Directory:
        break;
    case EntryKind::Missing:
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(),
                            QStringLiteral("The game folder does not exist."));
    default:
        return RuntimeError(RuntimeErrorCode::PathNotFound, game.directory(),
                            QStringLiteral("This is a file, not the game folder."));
    }
    if (TRY(m_fileSystem.isSameEntry(game.folder(), QStringLiteral("."))))
        return RuntimeError(RuntimeErrorCode::InvalidProcedureCall, game.directory(),
                            QStringLiteral("This is the folder of the BEXOM package, not the game "
                                           "folder."));
    return {};
}

ErrorOr<void> ModInstaller::requireFile(const QString &path, const QString &cause)
{
    switch (TRY(m_fileSystem.entryKind(path))) {
    case EntryKind::File:
        return {};
    case EntryKind::Missing:
        return RuntimeError(RuntimeErrorCode::FileNotFound, path, cause);
    default:
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            QStringLiteral("This is not a plain file. %1").arg(cause));
    }
}

ErrorOr<void> ModInstaller::installAftermath(Transaction &transaction, const GameFolder &game)
{
    TRY(transaction.rewrite(StatusFile::FileName,
                            StatusFile::encode(StatusFile::Aftermath, game.directory())));
    const QString expandName = TRY(m_fileSystem.storedName(game.file(Expand)));
    const QString expand2Name = TRY(m_fileSystem.storedName(game.file(Expand2)));
    TRY(transaction.makeDirectory(game.backupFolder()));
    TRY(transaction.move(game.file(Expand), game.backedUp(expandName)));
    // The backup folder keeps the game's own Expand2.mix itself and the game plays a copy of it
    // under the name of the archive just set aside. A copy is the one file a power cut can leave
    // half written, so it must never be the one the removal gives back.
    TRY(transaction.move(game.file(Expand2), game.backedUp(expand2Name)));
    TRY(transaction.copy(game.backedUp(expand2Name), game.file(expandName)));
    TRY(copyModFile(transaction, game, Expand2));
    TRY(copyModFile(transaction, game, Rules));
    TRY(copyModFile(transaction, game, Aftrmath));
    TRY(copyModFile(transaction, game, MPlayer));
    TRY(copyModFile(transaction, game, Title));
    return copyModFile(transaction, game, Vorda);
}

ErrorOr<void> ModInstaller::installCounterstrike(Transaction &transaction, const GameFolder &game)
{
    TRY(transaction.rewrite(StatusFile::FileName,
                            StatusFile::encode(StatusFile::Counterstrike, game.directory())));
    const QString expandName = TRY(m_fileSystem.storedName(game.file(Expand)));
    TRY(transaction.makeDirectory(game.backupFolder()));
    TRY(transaction.move(game.file(Expand), game.backedUp(expandName)));
    // A game with Aftermath has an Expand2.mix of its own; the backup folder keeps it.
    TRY(copyModFile(transaction, game, Expand2));
    // The mod's archive ends up under the name Expand.mix.
    TRY(transaction.move(game.file(Expand2), game.file(expandName)));
    TRY(copyModFile(transaction, game, Rules));
    TRY(copyModFile(transaction, game, Title));
    return copyModFile(transaction, game, Vorda);
}

ErrorOr<void> ModInstaller::uninstallAftermath(Transaction &transaction, const GameFolder &game,
                                               const StatusRecord &status)
{
    TRY(deleteModFile(transaction, game, Expand));
    TRY(deleteModFile(transaction, game, Expand2));
    TRY(takeBackModFile(transaction, game, Vorda));
    TRY(takeBackModFile(transaction, game, Title));
    TRY(takeBackModFile(transaction, game, Rules));
    TRY(takeBackModFile(transaction, game, Aftrmath));
    TRY(takeBackModFile(transaction, game, MPlayer));
    TRY(giveBackKeptFile(transaction, game, Expand));
    TRY(giveBackKeptFile(transaction, game, Expand2));
    TRY(transaction.removeDirectory(game.backupFolder()));
    return markUninstalled(transaction, status);
}

ErrorOr<void> ModInstaller::uninstallCounterstrike(Transaction &transaction, const GameFolder &game,
                                                   const StatusRecord &status)
{
    TRY(deleteModFile(transaction, game, Expand));
    TRY(takeBackModFile(transaction, game, Vorda));
    TRY(takeBackModFile(transaction, game, Title));
    TRY(takeBackModFile(transaction, game, Rules));
    TRY(giveBackKeptFile(transaction, game, Expand));
    // The Expand2.mix of a game with Aftermath, if the installation kept one.
    TRY(giveBackKeptFile(transaction, game, Expand2));
    TRY(transaction.removeDirectory(game.backupFolder()));
    return markUninstalled(transaction, status);
}

// A file of that name already in the game folder is the player's own (a tuned Rules.ini, say):
// the backup folder keeps it until the removal gives it back.
ErrorOr<void> ModInstaller::copyModFile(Transaction &transaction, const GameFolder &game,
                                        const QString &name)
{
    if (TRY(m_fileSystem.exists(game.file(name))))
        TRY(transaction.move(game.file(name),
                             game.backedUp(TRY(m_fileSystem.storedName(game.file(name))))));
    return transaction.copy(name, game.file(name));
}

// The player may have deleted a file of the mod already; then there is nothing to take out.
ErrorOr<void> ModInstaller::deleteModFile(Transaction &transaction, const GameFolder &game,
                                          const QString &name)
{
    if (!TRY(m_fileSystem.exists(game.file(name))))
        return {};
    return transaction.deleteFile(game.file(name));
}

ErrorOr<void> ModInstaller::takeBackModFile(Transaction &transaction, const GameFolder &game,
                                            const QString &name)
{
    TRY(deleteModFile(transaction, game, name));
    return giveBackKeptFile(transaction, game, name);
}

ErrorOr<void> ModInstaller::giveBackKeptFile(Transaction &transaction, const GameFolder &game,
                                             const QString &name)
{
    if (!TRY(m_fileSystem.exists(game.backedUp(name))))
        return {};
    // Under the name it had before the installation, letter case and all.
    return transaction.move(game.backedUp(name),
                            game.file(TRY(m_fileSystem.storedName(game.backedUp(name)))));
}

// The installation moves the game's archives into the backup folder, one level down. A link that
// names its target relative to its own folder would then point somewhere else, and the copy read
// through it would not be the game's archive. A link with a full path moves as it is.
ErrorOr<void> ModInstaller::refuseRelativeArchiveLinks(const GameFolder &game)
{
    for (const QString &name : {Expand, Expand2}) {
        if (TRY(m_fileSystem.linkKind(game.file(name))) == LinkKind::RelativeLink)
            return RuntimeError(RuntimeErrorCode::PathFileAccessError, game.file(name),
                                QStringLiteral("This is a symbolic link whose target is named "
                                               "relative to the game folder; moved into BEXOM's "
                                               "backup folder it would point elsewhere. Replace it "
                                               "with the file itself or with a link that names "
                                               "the full path."));
    }
    return {};
}
