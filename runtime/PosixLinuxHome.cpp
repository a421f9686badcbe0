#include "LinuxHome.h"

#include <cstdlib>

std::optional<LinuxHome> LinuxHome::ofThisProcess()
{
    const char *home = std::getenv("HOME");
    if (!home || *home != '/')
        return std::nullopt;
    return LinuxHome(home, {});
}
