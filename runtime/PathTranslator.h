#pragma once

#include "ErrorOr.h"
#include "ListingCache.h"

#include <filesystem>
#include <string>

enum class LastComponent { MustExist, MayBeNew };

// Turns a path as the player and the status file name it into a path of the host system.
// On Linux a drive letter is a drive of the Wine prefix, either slash separates, and each
// component matches the one existing entry whose name differs at most in letter case; two such
// entries are an error, since either could be meant. A name that matches nothing is kept as
// given, so that the operation on it reports what is missing. The base directory and the names
// found on the disk are kept byte for byte, whatever their encoding.
// The rules for each platform live in a file of their own.
class PathTranslator final
{
public:
    // Relative paths resolve against baseDirectory. The listings, where given, serve every lookup
    // of letter case and must outlive the translator. A base directory that the player knows by
    // another name, such as a held folder reached through the system's handle on it, is named
    // so in the causes of errors.
    explicit PathTranslator(std::filesystem::path baseDirectory, ListingCache *listings = nullptr,
                            std::string shownBase = {});

    ErrorOr<std::filesystem::path> toHostPath(const std::string &path) const;
    // Whether a host path stands on its own, without a current folder or drive to complete it.
    static bool isFullHostPath(const std::filesystem::path &path);

private:
    std::filesystem::path m_baseDirectory;
    ListingCache *m_listings;
    std::string m_shownBase;
};
