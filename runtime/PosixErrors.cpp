#include "NativeErrors.h"

namespace NativeErrors {

std::optional<Meaning> meaningOf(std::error_code)
{
    // POSIX reports errno values, which the portable mapping covers.
    return std::nullopt;
}

std::string messageOf(std::error_code error)
{
    return error.message();
}

bool lacksRights(std::error_code error)
{
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted;
}

} // namespace NativeErrors
