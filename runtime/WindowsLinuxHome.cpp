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

std::optional<std::wstring> variable(const wchar_t *name)
{
    wchar_t value[4096];
    const DWORD length = ::GetEnvironmentVariableW(name, value, std::size(value));
    if (length == 0 || length >= std::size(value))
        return std::nullopt;
    return std::wstring(value, length);
}

// The Linux path of a folder named as Windows programs name it; nothing when it leads nowhere
// on the host.
std::optional<std::string> hostPathOf(const std::wstring &path)
{
    using UnixFileName = char *(CDECL *)(const wchar_t *);
    const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
    const auto convert = kernel32 ? reinterpret_cast<UnixFileName>(reinterpret_cast<void *>(
                                        ::GetProcAddress(kernel32, "wine_get_unix_file_name")))
                                  : nullptr;
    char *converted = convert ? convert(path.c_str()) : nullptr;
    if (!converted)
        return std::nullopt;
    std::string host(converted);
    ::HeapFree(::GetProcessHeap(), 0, converted);
    return host;
}

// The home as Wine names it for the Windows programs it starts, which get no HOME from a
// launcher: WINEHOMEDIR ("\??\Z:\home\me"), else the user's folder under the drive that maps
// "/".
std::optional<std::string> hostHome(const std::string &rootDrive)
{
    if (const std::optional<std::wstring> home = variable(L"HOME"); home && home->starts_with(L'/'))
        return WindowsText::fromWide(*home);
    std::optional<std::wstring> home = variable(L"WINEHOMEDIR");
    if (home && home->starts_with(L"\\??\\"))
        home->erase(0, 4);
    const std::optional<std::wstring> user = variable(L"USERNAME");
    if (!home && user) {
        home = WindowsText::toWide(rootDrive) + L"\\home\\" + *user;
        if (::GetFileAttributesW(home->c_str()) == INVALID_FILE_ATTRIBUTES)
            return std::nullopt;
    }
    const std::optional<std::string> host = home ? hostPathOf(*home) : std::nullopt;
    if (!host || !host->starts_with('/'))
        return std::nullopt;
    return host;
}

} // namespace

std::optional<LinuxHome> LinuxHome::ofThisProcess()
{
    if (!runsUnderWine())
        return std::nullopt;
    const std::string rootDrive = driveOfHostRoot();
    const std::optional<std::string> home = hostHome(rootDrive);
    if (!home)
        return std::nullopt;
    return LinuxHome(*home, rootDrive);
}
