#include "runtime/HostFileSystem.h"
#include "ui/InterruptedWorkNotice.h"
#include "ui/RuntimeErrorNotice.h"
#include "ui/SingleInstanceGuard.h"
#include "ui/win32/Form1.h"
#include "ui/win32/Win32BusyIndicator.h"
#include "ui/win32/Win32MessageBox.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // The player starts the installer from the folder that holds the mod's package. Should the
    // system not tell it, "." names the same folder, and every operation on it reports what is
    // wrong.
    std::error_code error;
    std::filesystem::path packageFolder = std::filesystem::current_path(error);
    if (error)
        packageFolder = ".";
    HostFileSystem fileSystem(packageFolder);
    Win32MessageBox messageBox;
    // Held until the program ends; a second installer from this folder ends here.
    const std::optional<InstanceLock> packageLock =
        SingleInstanceGuard::lockOrTell(packageFolder, messageBox);
    if (!packageLock)
        return 1;
    // An installation or removal that a crash cut short is put right before the main window shows.
    InterruptedWorkNotice::recoverAndTell(fileSystem, messageBox);
    Win32BusyIndicator busyIndicator;
    RuntimeServices services{fileSystem, messageBox, busyIndicator};
    ErrorOr<std::unique_ptr<Form1>> mainWindow = Form1::create(instance, services);
    if (mainWindow.isError()) {
        RuntimeErrorNotice::showIfFailed(messageBox, mainWindow.releaseError());
        return 1;
    }
    mainWindow.value()->show(showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
