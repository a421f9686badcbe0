#pragma once

#include "runtime/RuntimeError.h"

#include "WindowsApi.h"

#include <string>

// Why Windows refused the last call of this thread that failed, as an error the player is shown.
inline RuntimeError lastWindowsError(const std::string &cause)
{
    const auto code = static_cast<int>(GetLastError());
    return RuntimeError::fromErrorCode(std::error_code(code, std::system_category()), {},
                                       Cause::Sentence{cause});
}
