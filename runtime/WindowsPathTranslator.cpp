#include "PathTranslator.h"

#include "WindowsText.h"

#include <windows.h>

namespace fs = std::filesystem;

namespace {

const std::wstring ExtendedPrefix = LR"(\\?\)";
const std::wstring DevicePrefix = LR"(\\.\)";
const std::wstring UncPrefix = LR"(\\)";
const std::wstring ExtendedUncPrefix = LR"(\\?\UNC\)";

// The path as Windows itself completes a path a program gives it: against the current folder of
// its drive, with "." and ".." resolved, either slash taken as a separator and the blanks and dots
// that end a name dropped. An extended-length path skips all of that, so it must be done first.
ErrorOr<std::wstring> fullPath(const fs::path &path, const std::string &originalPath)
{
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    const DWORD length =
        needed ? ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr) : 0;
    if (length == 0 || length >= needed)
        return RuntimeError::fromErrorCode(
            {static_cast<int>(::GetLastError()), std::system_category()}, originalPath);
    full.resize(length);
    return full;
}

// Every Win32 file call gets the extended-length form, so that a game folder deep in a user's
// documents still works when a path in it passes MAX_PATH (260 characters).
std::wstring extendedLength(const std::wstring &full)
{
    if (full.starts_with(ExtendedPrefix) || full.starts_with(DevicePrefix))
        return full;
    if (full.starts_with(UncPrefix))
        return ExtendedUncPrefix + full.substr(UncPrefix.size());
    return ExtendedPrefix + full;
}

bool isSeparator(char character)
{
    return character == '\\' || character == '/';
}

// "D:\GAME", "D:GAME" and "\\server\share" name their own drive or share; "\GAME" takes the base
// folder's drive and "GAME" its folder.
bool standsAlone(const std::string &path)
{
    const bool drive = path.size() >= 2 && path[1] == ':';
    const bool share = path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
    return drive || share;
}

} // namespace

bool PathTranslator::isFullHostPath(const fs::path &path)
{
    // The C++ library knows neither the extended-length form nor UNC shares as roots.
    return path.native().starts_with(ExtendedPrefix) || path.is_absolute();
}

// Windows itself understands drive letters, UNC paths and either slash, matches names whatever
// their letter case, and a file written over another keeps the existing name.
ErrorOr<fs::path> PathTranslator::toHostPath(const std::string &path) const
{
    const fs::path given(WindowsText::toWide(path));
    if (given.native().starts_with(ExtendedPrefix))
        return given;
    return fs::path(
        extendedLength(TRY(fullPath(standsAlone(path) ? given : m_baseDirectory / given, path))));
}
