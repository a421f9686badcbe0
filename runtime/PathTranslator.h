#pragma once

#include "ErrorOr.h"

#include <filesystem>
#include <string>

enum class LastComponent { MustExist, MayBeNew };

// Turns a path as the player and the status file name it into a path of the host system.
// On Linux a drive letter is a drive of the Wine prefix, either slash separates, and each
// component matches an existing entry whatever its letter case, the exact name first; a name
// that matches nothing is kept as given, so that the operation on it reports what is missing.
// The rules for each platform live in a file of their own.
class PathTranslator final
{
public:
    // Relative paths resolve against baseDirectory.
    explicit PathTranslator(std::filesystem::path baseDirectory);

    ErrorOr<std::filesystem::path> toHostPath(const std::string &path) const;

    const std::filesystem::path &baseDirectory() const { return m_baseDirectory; }

private:
    std::filesystem::path m_baseDirectory;
};
