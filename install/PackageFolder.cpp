#include "PackageFolder.h"

#include "runtime/Text.h"

namespace {

// Windows paths come from the file system in their extended-length form, which no player types.
const std::string ExtendedPrefix = "\\\\?\\";
const std::string ExtendedUncPrefix = "\\\\?\\UNC\\";

std::string asThePlayerSeesIt(const std::filesystem::path &host)
{
    const std::string path = Text::utf8(host);
    if (path.starts_with(ExtendedUncPrefix))
        return "\\\\" + path.substr(ExtendedUncPrefix.size());
    if (path.starts_with(ExtendedPrefix))
        return path.substr(ExtendedPrefix.size());
    return path;
}

} // namespace

namespace PackageFolder {

std::string shownPath(FileSystem &fileSystem)
{
    const ErrorOr<std::filesystem::path> host = fileSystem.hostPath(".");
    return host.isError() ? std::string() : asThePlayerSeesIt(host.value());
}

ErrorOr<std::string> pathOf(FileSystem &fileSystem, const std::string &name)
{
    const std::filesystem::path host = TRY(fileSystem.hostPath("."));
    return asThePlayerSeesIt(host / Text::pathFromUtf8(name));
}

} // namespace PackageFolder
