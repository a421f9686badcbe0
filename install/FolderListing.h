#pragma once

#include "runtime/FileIdentity.h"
#include "runtime/FileSystem.h"
#include "SearchDeadline.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The entries of a folder given as the player would type it, with a final separator, each
// written the same way with the same separator: those whose names are likeliest to be Red Alert's
// first, each group sorted. It only reads and never fails: a folder that cannot be read holds
// nothing, and once the deadline has passed nothing more is listed.
class FolderListing final
{
public:
    explicit FolderListing(FileSystem &fileSystem, SearchDeadline deadline = {})
        : m_fileSystem(fileSystem), m_deadline(deadline)
    {}

    // Past it, nothing more is listed.
    const SearchDeadline &deadline() const { return m_deadline; }
    // Through the host path of a folder listed before where there is one.
    ErrorOr<FileIdentity> identity(const std::string &directory);

    // Whether the last name in the path is one that Red Alert's folders, or those that hold them,
    // are often given.
    static bool isLikely(const std::string &path);

    // Each with a final separator; links to folders count, as the player follows them too.
    std::vector<std::string> subfolders(const std::string &directory);
    // The plain files whose names end in the suffix, whatever its letter case.
    std::vector<std::string> files(const std::string &directory, const std::string &suffix);
    // The folder of that name in the directory (the directory itself for an empty name), spelled
    // as given, with the directory's separator: nothing when no folder stands there.
    std::optional<std::string> folder(const std::string &directory, const std::string &name);

    // The bytes of a plain file of at most limit bytes; nothing for a larger one, which is not
    // the small text file looked for, or one that cannot be read.
    std::optional<std::string> smallFile(const std::string &path, std::size_t limit);

    // Whether the folder may hold a file of that name in any letter case: false only when it was
    // listed here and has none, which spares the callers a walk from the root for each of the
    // many folders that are some other program's.
    bool mayHold(const std::string &directory, const std::string &name);

private:
    enum class Wanted { Folders, Files };
    std::optional<std::filesystem::path> hostPathOf(const std::string &directory);
    std::optional<std::string> listedFolder(const std::filesystem::path &host,
                                            const std::string &name, const std::string &path);
    std::vector<std::string> entries(const std::string &directory, Wanted wanted,
                                     const std::string &suffix);

    FileSystem &m_fileSystem;
    SearchDeadline m_deadline;
    // The host path of each folder listed, by the path written for the player.
    std::map<std::string, std::filesystem::path> m_hostPaths;
};
