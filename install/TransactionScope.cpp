#include "TransactionScope.h"

#include "GameFolder.h"

namespace {

const QString PackageFolder = QStringLiteral(".");

} // namespace

ErrorOr<TransactionScope> TransactionScope::resolve(FileSystem &fileSystem,
                                                    const QString &gameDirectory)
{
    const QString gameFolder = GameFolder(gameDirectory).folder();
    // One by one: a TRY that returns from inside a braced initializer would leave the members
    // built before it undestroyed.
    std::filesystem::path packageHost = TRY(fileSystem.hostPath(PackageFolder));
    const FileIdentity packageIdentity = TRY(fileSystem.identity(PackageFolder));
    std::filesystem::path gameHost = TRY(fileSystem.hostPath(gameFolder));
    const FileIdentity gameIdentity = TRY(fileSystem.identity(gameFolder));
    return TransactionScope{std::move(packageHost), packageIdentity, gameDirectory,
                            std::move(gameHost), gameIdentity};
}

ErrorOr<InstanceLock> TransactionScope::lockGameFolder() const
{
    std::optional<InstanceLock> lock = TRY(InstanceLock::acquire(gameFolder, gameDirectory));
    if (!lock)
        return RuntimeError(RuntimeErrorCode::PermissionDenied, gameDirectory,
                            QStringLiteral("Another BEXOM installer is working on this game "
                                           "folder. Wait until it has finished, then try again."));
    return std::move(*lock);
}
