#include "TransactionScope.h"

#include "GameFolder.h"
#include "PackageFolder.h"

ErrorOr<TransactionScope> TransactionScope::resolve(FileSystem &fileSystem,
                                                    const std::string &gameDirectory)
{
    // Each value is taken before the scope is built: leaving a half-built one for an error would
    // not destroy the parts already made.
    const std::string gameFolder = GameFolder(gameDirectory).folder();
    std::filesystem::path packageFolder = TRY(fileSystem.hostPath(PackageFolder::Itself));
    const FileIdentity packageIdentity = TRY(fileSystem.identity(PackageFolder::Itself));
    std::filesystem::path gameHostFolder = TRY(fileSystem.hostPath(gameFolder));
    const FileIdentity gameIdentity = TRY(fileSystem.identity(gameFolder));
    return TransactionScope{std::move(packageFolder), packageIdentity, gameDirectory,
                            std::move(gameHostFolder), gameIdentity};
}

ErrorOr<InstanceLock> TransactionScope::lockGameFolder() const
{
    std::optional<InstanceLock> lock = TRY(InstanceLock::acquire(gameFolder, gameDirectory));
    if (!lock)
        return RuntimeError(RuntimeErrorCode::PermissionDenied, gameDirectory,
                            {ErrorReason::AnotherInstallerWorking});
    return std::move(*lock);
}
