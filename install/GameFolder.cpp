#include "GameFolder.h"

QString GameFolder::folder() const
{
    if (m_directory.size() > 1 && (m_directory.endsWith(u'\\') || m_directory.endsWith(u'/')))
        return m_directory.chopped(1);
    return m_directory;
}
