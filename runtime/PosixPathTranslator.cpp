#include "PathTranslator.h"

#include "Text.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path toPath(const std::string &text)
{
    return fs::path(text);
}

std::string fromPath(const fs::path &path)
{
    return path.string();
}

// Wine keeps its drives as links in the prefix that Wine itself would use.
fs::path winePrefix()
{
    const char *fromEnvironment = std::getenv("WINEPREFIX");
    if (fromEnvironment && *fromEnvironment)
        return toPath(fromEnvironment);
    const char *home = std::getenv("HOME");
    return toPath(home && *home ? home : "/") / ".wine";
}

bool isDriveLetter(char letter)
{
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

ErrorOr<fs::path> driveRoot(char letter, const std::string &originalPath)
{
    const fs::path prefix = winePrefix();
    const fs::path link = prefix / "dosdevices" / (Text::toLowerAscii({letter}) + ':');
    std::error_code error;
    if (!fs::exists(fs::symlink_status(link, error)))
        return RuntimeError(RuntimeErrorCode::PathNotFound, originalPath,
                            "Drive " + Text::toUpperAscii({letter}) +
                                ": is not mapped in the Wine prefix " + fromPath(prefix) + ".");
    return link;
}

// The exact name first; otherwise the first entry whose name differs only in letter case.
// A name that matches nothing is kept as given.
fs::path matchComponent(const fs::path &directory, const std::string &name)
{
    std::error_code error;
    if (fs::exists(fs::symlink_status(directory / name, error)))
        return directory / name;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (Text::equalsIgnoringCase(candidate, name))
            return it->path();
    }
    return directory / name;
}

} // namespace

ErrorOr<fs::path> PathTranslator::toHostPath(const std::string &path) const
{
    std::string rest = path;
    fs::path host;
    if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':') {
        host = TRY(driveRoot(path[0], path));
        rest = path.substr(2);
    } else if (path.starts_with('/') || path.starts_with('\\')) {
        host = "/";
    } else {
        host = m_baseDirectory;
    }
    rest = Text::replaceAll(rest, "\\", "/");
    const std::vector<std::string> components = Text::split(rest, '/', Text::EmptyParts::Skip);
    for (const std::string &component : components) {
        if (component == "." || component == "..")
            host /= component;
        else
            host = matchComponent(host, component);
    }
    // A trailing separator names a folder; keep it so that the system checks that it is one.
    if (!components.empty() && (rest.ends_with('/')))
        host /= "";
    return host;
}
