#include "InstallerStart.h"

#include "ErrorWording.h"
#include "install/StatusFile.h"
#include "InterruptedWorkNotice.h"
#include "SingleInstanceGuard.h"

std::filesystem::path InstallerStart::packageFolder()
{
    // The player starts the installer from the folder that holds the mod's package. Its name is
    // taken as the bytes the system holds, so that a name in another encoding than UTF-8 still
    // names this folder. Should the system not tell it, "." names the same folder, and every
    // operation on it reports what is wrong.
    std::error_code error;
    std::filesystem::path packageFolder = std::filesystem::current_path(error);
    if (error)
        packageFolder = ".";
    return packageFolder;
}

std::optional<InstallerStart> InstallerStart::begin(MessageBox &messageBox)
{
    const std::filesystem::path packageFolder = InstallerStart::packageFolder();
    // A second installer from this folder ends here, before it reads anything.
    std::optional<InstanceLock> packageLock =
        SingleInstanceGuard::lockOrTell(packageFolder, messageBox);
    if (!packageLock)
        return std::nullopt;
    auto fileSystem = std::make_unique<HostFileSystem>(packageFolder);
    InterruptedWorkNotice::recoverAndTell(*fileSystem, messageBox);
    // Started from another folder, the player learns it at once, not at the first request.
    if (const ErrorOr<StatusRecord> status = StatusFile(*fileSystem).read();
        status.isError() && status.error().cause().reason() == ErrorReason::StatusFileNotInPackage)
        messageBox.show(ErrorWording::report(status.error()) + "\n\n" +
                            ErrorWording::codeLine(status.error()),
                        MessageBoxButtons::Ok, MessageBoxIcon::Critical, MessageBox::Title);
    return InstallerStart(std::move(fileSystem), std::move(*packageLock));
}
