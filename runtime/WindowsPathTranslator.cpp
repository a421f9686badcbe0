#include "PathTranslator.h"

#include "WindowsText.h"

// Windows itself understands drive letters and backslashes and matches names whatever their
// letter case, and a file written over another keeps the existing name.
ErrorOr<std::filesystem::path> PathTranslator::toHostPath(const std::string &path) const
{
    const std::filesystem::path host(WindowsText::toWide(path));
    if (host.is_absolute() || host.has_root_path())
        return host;
    return m_baseDirectory / host;
}
