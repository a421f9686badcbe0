#include "HeldFolder.h"

#include "NativeFileOperations.h"

#include <windows.h>

namespace fs = std::filesystem;

HeldFolder::~HeldFolder()
{
    ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

// Reading the folder's listing is an access that takes part in sharing, as reading its
// attributes alone is not: without it, the missing FILE_SHARE_DELETE would hold nothing back.
std::error_code HeldFolder::open(const fs::path &path, OwnName ownName,
                                 std::unique_ptr<HeldFolder> &held)
{
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS |
                        (ownName == OwnName::NoLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE folder =
        ::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return {static_cast<int>(::GetLastError()), std::system_category()};
    held.reset(new HeldFolder(reinterpret_cast<std::intptr_t>(folder), path, ownName));
    BY_HANDLE_FILE_INFORMATION information{};
    std::error_code refusal;
    if (!::GetFileInformationByHandle(folder, &information))
        refusal = {static_cast<int>(::GetLastError()), std::system_category()};
    else if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        refusal = std::make_error_code(std::errc::not_a_directory);
    else if (ownName == OwnName::NoLink &&
             (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        refusal = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    if (refusal)
        held.reset();
    return refusal;
}

// Nothing can move the folder or give its name to anything else while the handle is open.
bool HeldFolder::isStillAt(const fs::path &) const
{
    return true;
}

std::error_code HeldFolder::syncFileSystem() const
{
    return NativeFileOperations::syncFileSystem(m_inside);
}

std::error_code HeldFolder::sync() const
{
    return NativeFileOperations::syncDirectory(m_inside);
}
