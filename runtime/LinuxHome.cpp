#include "LinuxHome.h"

#include "Text.h"

std::optional<std::string> LinuxHome::reach(const std::string &hostPath) const
{
    if (!hostPath.starts_with('/'))
        return std::nullopt;
    std::string path = hostPath.ends_with('/') ? hostPath : hostPath + '/';
    if (m_rootDrive.empty())
        return path;
    // A backslash in a Linux name would split it in two under Wine.
    if (path.find('\\') != std::string::npos)
        return std::nullopt;
    return m_rootDrive + Text::replaceAll(path, "/", "\\");
}
