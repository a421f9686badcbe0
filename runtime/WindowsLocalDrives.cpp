#include "LocalDrives.h"

#include <windows.h>

namespace LocalDrives {

std::vector<std::string> roots()
{
    const DWORD drives = ::GetLogicalDrives();
    std::vector<std::string> found;
    for (int index = 0; index < 26; ++index) {
        if (!(drives & (1u << index)))
            continue;
        const std::string root = std::string(1, static_cast<char>('A' + index)) + ":\\";
        const wchar_t wideRoot[] = {static_cast<wchar_t>(L'A' + index), L':', L'\\', L'\0'};
        if (::GetDriveTypeW(wideRoot) == DRIVE_FIXED)
            found.push_back(root);
    }
    return found;
}

} // namespace LocalDrives
