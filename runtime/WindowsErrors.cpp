#include "NativeErrors.h"

#include "WindowsText.h"

#include <windows.h>

#include <memory>

namespace NativeErrors {

std::optional<Meaning> meaningOf(std::error_code error)
{
    if (error.category() != std::system_category())
        return std::nullopt;
    using enum RuntimeErrorCode;
    switch (error.value()) {
    case ERROR_FILE_NOT_FOUND:
        return Meaning{FileNotFound, ErrorReason::None};
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
        return Meaning{PathNotFound, ErrorReason::None};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return Meaning{FileAlreadyExists, ErrorReason::None};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Meaning{PermissionDenied, ErrorReason::FileHeldOpen};
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
        return Meaning{PermissionDenied, ErrorReason::None};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Meaning{DiskFull, ErrorReason::None};
    case ERROR_INVALID_PARAMETER:
        return Meaning{InvalidProcedureCall, ErrorReason::None};
    default:
        return Meaning{PathFileAccessError, ErrorReason::None};
    }
}

std::string messageOf(std::error_code error)
{
    if (error.category() != std::system_category())
        return error.message();
    // The C++ library asks for the text in the ANSI code page, which before Windows 10 1903 is
    // not UTF-8 whatever the manifest says: a French or Russian Windows would show it garbled.
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error.value()), 0, reinterpret_cast<wchar_t *>(&buffer), 0,
        nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(buffer, &LocalFree);
    if (length == 0)
        return error.message();
    std::wstring_view text(buffer, length);
    // The system ends its texts with a line break.
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.remove_suffix(1);
    return WindowsText::fromWide(text);
}

bool lacksRights(std::error_code error)
{
    // A sharing violation or a write-protected disc says access denied too, but with codes of
    // their own.
    return error.category() == std::system_category() && error.value() == ERROR_ACCESS_DENIED;
}

} // namespace NativeErrors
