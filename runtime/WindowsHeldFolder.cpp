#include "HeldFolder.h"

#include "NativeFileOperations.h"

#include <windows.h>
#include <winternl.h>

#include <optional>

namespace fs = std::filesystem;

namespace {

std::error_code lastError()
{
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// Read from the name itself: a handle opened on a link may report its target's attributes, as
// Wine's does for a symbolic link of the host.
bool isReparsePoint(const fs::path &path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

DWORD openFlags(HeldFolder::OwnName ownName)
{
    return FILE_FLAG_BACKUP_SEMANTICS |
           (ownName == HeldFolder::OwnName::NoLink ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
}

// What the path leads to now, for its identity only, whoever holds it; nothing where a folder
// that must not be a link has become one.
HANDLE openAfresh(const fs::path &path, HeldFolder::OwnName ownName)
{
    if (ownName == HeldFolder::OwnName::NoLink && isReparsePoint(path))
        return INVALID_HANDLE_VALUE;
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, openFlags(ownName), nullptr);
}

// The file index alone: GetFileInformationByHandle asks for the volume's serial number too, which
// takes Wine a round trip to its mount manager, about a millisecond.
std::optional<LONGLONG> fileIndex(HANDLE handle)
{
    IO_STATUS_BLOCK status{};
    FILE_INTERNAL_INFORMATION information{};
    if (!NT_SUCCESS(::NtQueryInformationFile(handle, &status, &information, sizeof information,
                                             FileInternalInformation)))
        return std::nullopt;
    return information.IndexNumber.QuadPart;
}

} // namespace

HeldFolder::~HeldFolder()
{
    ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

// Reading the folder's listing is an access that takes part in sharing, as reading its
// attributes alone is not: without it, the missing FILE_SHARE_DELETE would hold nothing back.
std::error_code HeldFolder::open(const fs::path &path, OwnName ownName,
                                 std::unique_ptr<HeldFolder> &held)
{
    const HANDLE folder = ::CreateFileW(
        path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, openFlags(ownName), nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return lastError();
    held.reset(new HeldFolder(reinterpret_cast<std::intptr_t>(folder), path, ownName));
    BY_HANDLE_FILE_INFORMATION information{};
    std::error_code refusal;
    if (!::GetFileInformationByHandle(folder, &information))
        refusal = lastError();
    else if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        refusal = std::make_error_code(std::errc::not_a_directory);
    else if (ownName == OwnName::NoLink &&
             ((information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
              isReparsePoint(path)))
        refusal = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    if (refusal)
        held.reset();
    return refusal;
}

// Windows lets no program move the folder or give its name to anything else while the handle is
// open; a process outside its sharing rules (a host process under Wine) may, so the path is
// opened afresh and its file identity compared with the held one's.
bool HeldFolder::isStillAt(const fs::path &path) const
{
    const HANDLE fresh = openAfresh(path, m_ownName);
    if (fresh == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION held{};
    BY_HANDLE_FILE_INFORMATION found{};
    const bool same = ::GetFileInformationByHandle(reinterpret_cast<HANDLE>(m_handle), &held) &&
                      ::GetFileInformationByHandle(fresh, &found) &&
                      held.dwVolumeSerialNumber == found.dwVolumeSerialNumber &&
                      held.nFileIndexHigh == found.nFileIndexHigh &&
                      held.nFileIndexLow == found.nFileIndexLow;
    ::CloseHandle(fresh);
    return same;
}

// Asked before every operation inside the folder, so the cheap half of isStillAt: a folder swapped
// for one on another volume with the same file index is caught by isStillAt before the next step.
bool HeldFolder::reachesInside(const fs::path &path) const
{
    const HANDLE fresh = openAfresh(path, m_ownName);
    if (fresh == INVALID_HANDLE_VALUE)
        return false;
    const std::optional<LONGLONG> found = fileIndex(fresh);
    ::CloseHandle(fresh);
    return found && found == fileIndex(reinterpret_cast<HANDLE>(m_handle));
}

std::error_code HeldFolder::syncFileSystem() const
{
    return NativeFileOperations::syncFileSystem(m_inside);
}

std::error_code HeldFolder::sync() const
{
    return NativeFileOperations::syncDirectory(m_inside);
}
