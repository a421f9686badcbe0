#pragma once

#include <cstdint>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

// A folder opened once and kept open while a transaction works in it, so that the names inside it
// are reached through what was opened and never through a path that may since lead elsewhere.
// On POSIX the folder is a descriptor and names are looked up against it; on Windows a handle
// that does not share deletion keeps the folder from being renamed or deleted meanwhile.
class HeldFolder final
{
public:
    // Whether the folder's own name may be a link (a symbolic link, or on Windows any reparse
    // point such as a junction) that leads to it.
    enum class OwnName { MayBeALink, NoLink };

    ~HeldFolder();
    HeldFolder(const HeldFolder &) = delete;
    HeldFolder &operator=(const HeldFolder &) = delete;

    // A link at the folder's own name, where none may be, gives too_many_symbolic_link_levels;
    // anything but a folder, not_a_directory.
    static std::error_code open(const std::filesystem::path &path, OwnName ownName,
                                std::unique_ptr<HeldFolder> &held);

    // The path to join names to, so that they are found in this very folder.
    const std::filesystem::path &inside() const { return m_inside; }
    // Whether the path, looked up afresh, still leads to this folder: not after the folder was
    // moved away or its name given to a link.
    bool isStillAt(const std::filesystem::path &path) const;
    // Whether a name joined to inside() reaches this very folder, the path still being the one it
    // was opened at: always on POSIX, where the name is looked up against the descriptor; on
    // Windows, where it is looked up by path, only while isStillAt.
    bool reachesInside(const std::filesystem::path &path) const;
    // Makes the creations, renames and removals inside the folder durable.
    std::error_code sync() const;
    // Makes everything written to the folder's file system durable, and reports every write to it
    // that failed since the folder was opened.
    std::error_code syncFileSystem() const;

private:
    HeldFolder(std::intptr_t handle, std::filesystem::path inside, OwnName ownName)
        : m_handle(handle), m_inside(std::move(inside)), m_ownName(ownName)
    {}

    // The descriptor on POSIX, the HANDLE on Windows.
    std::intptr_t m_handle;
    std::filesystem::path m_inside;
    OwnName m_ownName;
};
