#include "runtime/WindowsText.h"
#include "ui/InstallerStart.h"
#include "ui/RuntimeErrorNotice.h"
#include "ui/win32/Form1.h"
#include "ui/win32/Win32AdministratorRestart.h"
#include "ui/win32/Win32BusyIndicator.h"
#include "ui/win32/Win32MessageBox.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showCommand)
{
    Win32MessageBox messageBox;
    std::optional<InstallerStart> start = InstallerStart::begin(messageBox);
    if (!start)
        return 1;
    Win32BusyIndicator busyIndicator;
    RuntimeServices services{start->fileSystem(), messageBox, busyIndicator};
    Win32AdministratorRestart restart;
    ErrorOr<std::unique_ptr<Form1>> mainWindow = Form1::create(instance, services, restart);
    if (mainWindow.isError()) {
        RuntimeErrorNotice::showIfFailed(messageBox, mainWindow.releaseError());
        return 1;
    }
    std::unique_ptr<Form1> window = mainWindow.releaseValue();
    window->show(showCommand);
    // Started again as administrator: the install dialog as the player left it.
    if (const std::optional<DialogChoice> choice =
            DialogChoice::fromArguments(WindowsText::fromWide(arguments)))
        window->reopenInstallDialog(*choice);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (!restart.isRequested())
        return static_cast<int>(message.wParam);
    // The new instance takes the package folder's lock, which this one lets go of first.
    window.reset();
    start.reset();
    restart.start(messageBox);
    return 0;
}
