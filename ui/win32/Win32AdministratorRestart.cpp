#include "Win32AdministratorRestart.h"

#include "runtime/WindowsText.h"
#include "ui/NoticeWording.h"
#include "WindowsApi.h"

#include <shellapi.h>

#include <string>

bool Win32AdministratorRestart::canHelp() const
{
    // Under Wine the refusal comes from the host's own permissions, which no Windows right lifts.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll && GetProcAddress(ntdll, "wine_get_version"))
        return false;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return true;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool elevated =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
        elevation.TokenIsElevated;
    CloseHandle(token);
    return !elevated;
}

void Win32AdministratorRestart::request(const DialogChoice &choice)
{
    m_requested = true;
    m_choice = choice;
    PostQuitMessage(0);
}

void Win32AdministratorRestart::start(MessageBox &messageBox)
{
    std::wstring program(32768, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    std::wstring folder(32768, L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    // Loaded when needed, so that the program imports only what every start needs.
    using ShellExecuteExFunction = BOOL(WINAPI *)(SHELLEXECUTEINFOW *);
    const HMODULE shell = LoadLibraryW(L"shell32.dll");
    const auto shellExecuteEx =
        shell ? reinterpret_cast<ShellExecuteExFunction>(
                    reinterpret_cast<void *>(GetProcAddress(shell, "ShellExecuteExW")))
              : nullptr;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    const std::wstring arguments = WindowsText::toWide(m_choice.arguments());
    info.lpParameters = arguments.c_str();
    info.lpDirectory = folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (shellExecuteEx && shellExecuteEx(&info))
        return;
    const DWORD error = GetLastError();
    if (error == ERROR_CANCELLED)
        return;
    messageBox.show(NoticeWording::administratorRestartFailed(error), MessageBoxButtons::Ok,
                    MessageBoxIcon::Critical, MessageBox::Title);
}
