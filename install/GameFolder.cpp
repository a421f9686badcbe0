#include "GameFolder.h"

std::string GameFolder::folder() const
{
    if (m_directory.size() > 1 && (m_directory.ends_with('\\') || m_directory.ends_with('/')))
        return m_directory.substr(0, m_directory.size() - 1);
    return m_directory;
}
