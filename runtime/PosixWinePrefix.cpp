#include "WinePrefix.h"

#include <cstdlib>

namespace WinePrefix {

std::filesystem::path folder()
{
    const char *fromEnvironment = std::getenv("WINEPREFIX");
    if (fromEnvironment && *fromEnvironment)
        return std::filesystem::path(fromEnvironment);
    const char *home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/") / ".wine";
}

} // namespace WinePrefix
