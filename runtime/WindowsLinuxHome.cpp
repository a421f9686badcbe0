#include "LinuxHome.h"

#include "WindowsText.h"

#include <windows.h>

namespace {

bool runsUnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// Wine's own conversion knows which drive maps "/"; it gives "\\?\Z:\" or "Z:\".
std::string driveOfHostRoot()
{
    using DosFileName = WCHAR *(CDECL *)(const char *);
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    const auto convert = kernel32 ? reinterpret_cast<DosFileName>(reinterpret_cast<void *>(
                                        ::GetProcAddress(kernel32, "wine_get_dos_file_name")))
                                  : nullptr;
    WCHAR *converted = convert ? convert("/") : nullptr;
    std::wstring root = converted ? converted : L"";
    if (converted)
        ::HeapFree(::GetProcessHeap(), 0, converted);
    if (root.starts_with(L"\\\\?\\"))
        root.erase(0, 4);
    if (root.size() < 2 || root[1] != L':')
        return "Z:";
    return WindowsText::fromWide(root.substr(0, 2));
}

} // namespace

// Wine hands the Linux environment to the programs it runs, HOME among them.
std::optional<LinuxHome> LinuxHome::ofThisProcess()
{
    if (!runsUnderWine())
        return std::nullopt;
    wchar_t home[4096];
    const DWORD length = ::GetEnvironmentVariableW(L"HOME", home, std::size(home));
    if (length == 0 || length >= std::size(home) || home[0] != L'/')
        return std::nullopt;
    return LinuxHome(WindowsText::fromWide(std::wstring(home, length)), driveOfHostRoot());
}
