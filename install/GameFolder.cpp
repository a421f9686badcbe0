#include "GameFolder.h"

namespace {

bool isAsciiLetter(QChar character)
{
    return (character >= u'A' && character <= u'Z') || (character >= u'a' && character <= u'z');
}

} // namespace

QString GameFolder::folder() const
{
    if (m_directory.size() > 1 && (m_directory.endsWith(u'\\') || m_directory.endsWith(u'/')))
        return m_directory.chopped(1);
    return m_directory;
}

bool GameFolder::isFullPath() const
{
    const QStringView directory(m_directory);
    if (directory.startsWith(u'/') || directory.startsWith(u"\\\\"))
        return true;
    return directory.size() >= 3 && isAsciiLetter(directory[0]) && directory[1] == u':' &&
           (directory[2] == u'\\' || directory[2] == u'/');
}
