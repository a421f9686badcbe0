#include "LogWording.h"

#include "ErrorWording.h"
#include "runtime/Text.h"

std::string LogWording::start(const RunPlatform &platform,
                              const std::filesystem::path &packageFolder, const std::string &action)
{
    std::string line = "BEXOMv2 installer " + Version + " started on " + platform.name + " (" +
                       action + "); package folder " +
                       ErrorWording::quoted(Text::utf8(packageFolder));
    if (platform.winePrefix)
        line += "; Wine prefix " + ErrorWording::quoted(Text::utf8(*platform.winePrefix));
    return line + ".";
}

std::string LogWording::status(const ErrorOr<StatusRecord> &status)
{
    if (status.isError())
        return "Status.ini could not be read: " + ErrorWording::report(status.error());
    return "Status.ini holds " + ErrorWording::quoted(status.value().statusItem) +
           ", game folder " + ErrorWording::quoted(status.value().gameDirectory()) + ".";
}

std::string LogWording::end(int exitCode)
{
    return "Ended with exit code " + std::to_string(exitCode) + ".";
}
