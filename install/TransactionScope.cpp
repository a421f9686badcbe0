#include "TransactionScope.h"

#include "GameFolder.h"

namespace {

const std::string PackageFolder = ".";

} // namespace

ErrorOr<TransactionScope> TransactionScope::resolve(FileSystem &fileSystem,
                                                    const std::string &gameDirectory)
{
    const std::string gameFolder = GameFolder(gameDirectory).folder();
    return TransactionScope{
        TRY(fileSystem.hostPath(PackageFolder)), TRY(fileSystem.identity(PackageFolder)),
        gameDirectory, TRY(fileSystem.hostPath(gameFolder)), TRY(fileSystem.identity(gameFolder))};
}

ErrorOr<InstanceLock> TransactionScope::lockGameFolder() const
{
    std::optional<InstanceLock> lock = TRY(InstanceLock::acquire(gameFolder, gameDirectory));
    if (!lock)
        return RuntimeError(RuntimeErrorCode::PermissionDenied, gameDirectory,
                            "Another BEXOM installer is working on this game folder. Wait until it "
                            "has finished, then try again.");
    return std::move(*lock);
}
