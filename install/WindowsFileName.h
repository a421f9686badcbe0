#pragma once

#include "runtime/ErrorCause.h"

#include <string_view>

// What Windows does to one name of a path before it looks the name up. It drops the dots and
// blanks that end a name, takes ".", ".." and "..." as steps within or above the folder, opens a
// device for CON, NUL, COM1 and the like whatever extension follows ("AUX.txt"), and reads a colon
// as a drive or as the name of a stream inside a file. A name that it rewrites so leads somewhere
// other than it says, so the installer never takes one as the name of a file.
class WindowsFileName final
{
public:
    // Why Windows would not take the name as it is written; None when it would.
    static ErrorCause problemWith(std::string_view name);
    static bool isTakenAsWritten(std::string_view name)
    {
        return problemWith(name).reason() == ErrorReason::None;
    }
};
