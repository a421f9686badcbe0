#pragma once

#include "RuntimeError.h"

#include <optional>
#include <string>
#include <system_error>

// What an error in the system's own numbering means to the player, where the portable meaning of
// its nearest errno value would say less or something else.
namespace NativeErrors {

struct Meaning
{
    RuntimeErrorCode code;
    // None when the system's own message says it well enough.
    ErrorCause cause;
};

std::optional<Meaning> meaningOf(std::error_code error);

// The system's own words for the error, in UTF-8 whatever the system's code page.
std::string messageOf(std::error_code error);

// Whether the error says that the user may not do this, which someone with more rights may.
bool lacksRights(std::error_code error);

} // namespace NativeErrors
