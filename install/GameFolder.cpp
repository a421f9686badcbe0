#include "GameFolder.h"

namespace {

bool isAsciiLetter(char character)
{
    return (character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z');
}

} // namespace

std::string GameFolder::folder() const
{
    if (m_directory.size() > 1 && (m_directory.ends_with('\\') || m_directory.ends_with('/')))
        return m_directory.substr(0, m_directory.size() - 1);
    return m_directory;
}

bool GameFolder::isFullPath() const
{
    const std::string &directory = m_directory;
    if (directory.starts_with('/') || directory.starts_with("\\\\"))
        return true;
    return directory.size() >= 3 && isAsciiLetter(directory[0]) && directory[1] == ':' &&
           (directory[2] == '\\' || directory[2] == '/');
}
