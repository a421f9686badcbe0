#include "runtime/WindowsText.h"
#include "ui/CommandLineRun.h"
#include "ui/RuntimeErrorNotice.h"
#include "ui/win32/Form1.h"
#include "ui/win32/Win32AdministratorRestart.h"
#include "ui/win32/Win32BusyIndicator.h"
#include "ui/win32/Win32MessageBox.h"
#include "ui/win32/Win32Terminal.h"
#include "ui/WindowRun.h"

namespace {

RunPlatform thisPlatform()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const bool wine = ntdll && GetProcAddress(ntdll, "wine_get_version");
    return {wine ? "Windows under Wine" : "Windows", std::nullopt, SlashOptions::Accepted};
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showCommand)
{
    const RunPlatform platform = thisPlatform();
    // Started again as administrator: the install dialog as the player left it.
    const std::optional<DialogChoice> reopened =
        DialogChoice::fromArguments(WindowsText::fromWide(arguments));
    // A command line is answered on the console or the streams the program was given; no window
    // opens.
    if (!reopened) {
        const ParsedCommandLine commandLine =
            CommandLine::parse(Win32Terminal::arguments(), SlashOptions::Accepted);
        if (!CommandLine::opensWindows(commandLine)) {
            Win32Terminal terminal;
            return CommandLineRun(terminal, platform).run(commandLine);
        }
    }
    Win32MessageBox windowMessageBox;
    Win32BusyIndicator windowBusyIndicator;
    std::unique_ptr<WindowRun> run =
        WindowRun::begin(platform, windowMessageBox, windowBusyIndicator);
    if (!run)
        return 1;
    Win32AdministratorRestart restart;
    ErrorOr<std::unique_ptr<Form1>> mainWindow = Form1::create(instance, run->services(), restart);
    if (mainWindow.isError()) {
        RuntimeErrorNotice::showIfFailed(run->services().messageBox, mainWindow.releaseError());
        return 1;
    }
    std::unique_ptr<Form1> window = mainWindow.releaseValue();
    window->show(showCommand);
    if (reopened)
        window->reopenInstallDialog(*reopened);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (!restart.isRequested())
        return static_cast<int>(message.wParam);
    // The new instance takes the package folder's lock, which this one lets go of first, and
    // writes to the log, which this one closes.
    window.reset();
    run.reset();
    restart.start(windowMessageBox);
    return 0;
}
