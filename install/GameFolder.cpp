#include "GameFolder.h"

#include "runtime/PathTranslator.h"
#include "runtime/Text.h"

std::string GameFolder::folder() const
{
    if (m_directory.size() > 1 && (m_directory.ends_with('\\') || m_directory.ends_with('/')))
        return m_directory.substr(0, m_directory.size() - 1);
    return m_directory;
}

bool GameFolder::isFullPath() const
{
    const std::string &directory = m_directory;
    if (Text::startsWithShare(directory))
        return true;
    // From the root of the file system on POSIX; on Windows, from the root of whichever drive is
    // the current one.
    if (directory.starts_with('/'))
        return PathTranslator::isFullHostPath(std::filesystem::path(directory));
    return Text::startsWithDrive(directory) && directory.size() >= 3 &&
           (directory[2] == '\\' || directory[2] == '/');
}

bool GameFolder::lacksDrive() const
{
    return !isFullPath() && (m_directory.starts_with('\\') || m_directory.starts_with('/'));
}

bool GameFolder::stepsUp() const
{
    for (const std::string &name :
         Text::split(Text::replaceAll(m_directory, "/", "\\"), '\\', Text::EmptyParts::Skip))
        if (name == "..")
            return true;
    return false;
}
