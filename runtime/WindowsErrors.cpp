#include "NativeErrors.h"

#include <windows.h>

namespace NativeErrors {

std::optional<Meaning> meaningOf(std::error_code error)
{
    if (error.category() != std::system_category())
        return std::nullopt;
    using enum RuntimeErrorCode;
    switch (error.value()) {
    case ERROR_FILE_NOT_FOUND:
        return Meaning{FileNotFound, {}};
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY:
        return Meaning{PathNotFound, {}};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return Meaning{FileAlreadyExists, {}};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Meaning{PermissionDenied, "Another program has the file open; the game may be "
                                         "running. Close it and try again."};
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
        return Meaning{PermissionDenied, {}};
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Meaning{DiskFull, {}};
    case ERROR_INVALID_PARAMETER:
        return Meaning{InvalidProcedureCall, {}};
    default:
        return Meaning{PathFileAccessError, {}};
    }
}

bool lacksRights(std::error_code error)
{
    // A sharing violation or a write-protected disc says access denied too, but with codes of
    // their own.
    return error.category() == std::system_category() && error.value() == ERROR_ACCESS_DENIED;
}

} // namespace NativeErrors
