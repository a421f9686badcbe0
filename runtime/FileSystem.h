#pragma once

#include "DigestReader.h"
#include "ErrorOr.h"
#include "FileDigest.h"
#include "FileIdentity.h"
#include "FileStamp.h"
#include "HeldFolder.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

enum class EntryKind { Missing, File, Directory, Other };

enum class Overwrite { No, Yes };

// Whether a copy is on the disk once it returns, or once its file system is flushed as a whole.
enum class Flush { Now, WithFileSystem };

enum class LinkKind { NotALink, AbsoluteLink, RelativeLink };

// The file operations the installer performs. Paths are given as the player and the status file
// name them: "C:\WESTWOOD\REDALERT\Expand.mix", "Status.ini" (relative to the package folder), or
// a POSIX path. Either slash separates, and names match existing entries whatever their letter
// case; two entries that differ only in letter case are an error. No operation writes through a
// link or waits on a named pipe or a device. Every error carries the path as the caller gave it.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    virtual ErrorOr<EntryKind> entryKind(const std::string &path) = 0;
    // Whether anything stands at the path: a file, a folder, or a link, even one whose target is
    // gone, since a copy must never write through it.
    ErrorOr<bool> exists(const std::string &path);
    // Whether nothing at all has the name, not even an entry the system hides from every lookup,
    // as Wine hides a link of the host whose target is gone: asked of a name to keep a file under.
    virtual ErrorOr<bool> isFreeName(const std::string &path) = 0;
    // The name of the entry that the path's last component matches, spelled as the folder holds
    // it ("EXPAND.MIX" for "Expand.mix"); the name as given when nothing matches.
    virtual ErrorOr<std::string> storedName(const std::string &path) = 0;
    // Whether two existing paths name the same folder or file, links and case resolved.
    virtual ErrorOr<bool> isSameEntry(const std::string &first, const std::string &second) = 0;

    virtual ErrorOr<void> deleteFile(const std::string &path) = 0;
    // A rename within one file system; crossing file systems falls back to copy and delete.
    virtual ErrorOr<void> rename(const std::string &from, const std::string &to,
                                 Overwrite overwrite) = 0;
    // Creates the destination, which must not exist yet, and returns once the copy is on the disk,
    // or with Flush::WithFileSystem, once flushFileSystem has made it so.
    virtual ErrorOr<void> copyFile(const std::string &from, const std::string &to, Flush flush) = 0;
    ErrorOr<void> copyFile(const std::string &from, const std::string &to)
    {
        return copyFile(from, to, Flush::Now);
    }
    // A move to another file system copies to a hidden name beside its destination first, and a
    // crash may leave that copy there, whole or cut short. Deletes it when every byte of it is
    // also in the file at from or at to, so that it is never the only copy of anything.
    virtual ErrorOr<void> clearCutShortMove(const std::string &from, const std::string &to) = 0;
    // Moves a folder, not a link to one, to a name not taken yet within its file system; never by
    // copying, which could leave two halves behind.
    virtual ErrorOr<void> renameFolder(const std::string &from, const std::string &to) = 0;
    virtual ErrorOr<void> makeDirectory(const std::string &path) = 0;
    // The directory must be empty.
    virtual ErrorOr<void> removeDirectory(const std::string &path) = 0;
    // The names of every entry in the folder, spelled as it holds them, in no particular order.
    virtual ErrorOr<std::vector<std::string>> entryNames(const std::string &folder) = 0;

    // For small text files such as the status file; reads the whole file.
    virtual ErrorOr<std::string> readFile(const std::string &path) = 0;
    // Writes a temporary file beside the target, flushes it to disk and renames it over the
    // target, so that the target is either whole and old or whole and new; returns once the
    // renamed file, and every earlier change in its folder, is on the disk. The temporary file is
    // the target's name after TemporaryPrefix; a crash may leave it.
    static inline const std::string TemporaryPrefix = ".bexom-new-";
    virtual ErrorOr<void> writeFileAtomically(const std::string &path,
                                              const std::string &bytes) = 0;
    // Adds the bytes to the end of the file, creating it when missing, and returns only once they
    // are on the disk, so that a record written ahead of a change outlives a crash or power cut.
    virtual ErrorOr<void> appendDurably(const std::string &path, const std::string &bytes) = 0;

    // Where a path leads on the host: absolute, with drive letters translated and links resolved
    // as far as the path exists, so that two paths to one folder give the same answer.
    virtual ErrorOr<std::filesystem::path> hostPath(const std::string &path) = 0;
    // What the path leads to, as distinct from anything that may later stand at the same path.
    virtual ErrorOr<FileIdentity> identity(const std::string &path) = 0;
    // What tells whether the entry at the path was written to, replaced or made a link between
    // two looks at it.
    virtual ErrorOr<FileStamp> stamp(const std::string &path) = 0;
    // Links and folder durability.
    // Whether the entry itself is a symbolic link, and whether its target is named relative to
    // the link's folder; a missing entry is no link.
    virtual ErrorOr<LinkKind> linkKind(const std::string &path) = 0;
    // Makes the creations, renames and removals inside the folder durable.
    virtual ErrorOr<void> syncFolder(const std::string &path) = 0;
    // Makes everything written to the file system that holds the folder durable: one flush for
    // many copies, rather than one for each. For a held folder, it fails for any write to the file
    // system that failed since the folder was held.
    virtual ErrorOr<void> flushFileSystem(const std::string &folder) = 0;
    // Opens the file whose size and SHA-256 the reader then reads, in constant memory however
    // large the file is.
    virtual ErrorOr<std::unique_ptr<DigestReader>> openForDigest(const std::string &path) = 0;
    // Opens and reads at once.
    ErrorOr<FileDigest> digest(const std::string &path);
    // Creates the file, which must not exist yet, writes the bytes and returns only once they and
    // the file's name are on the disk.
    virtual ErrorOr<void> createFileDurably(const std::string &path, const std::string &bytes) = 0;

    // Folders held while a transaction works in them.
    // Opens the folder once and keeps it open until it is released or removed. Until then every
    // path inside it is looked up in what was opened, so the work never follows a link that took
    // the folder's name meanwhile. A link at the folder's own name, where none may be, is refused
    // with a message that names it.
    virtual ErrorOr<void> holdFolder(const std::string &path, HeldFolder::OwnName ownName) = 0;
    // Fails, naming the folder, once a held folder's path no longer leads to it.
    virtual ErrorOr<void> checkHeldFolders() = 0;
    virtual void releaseFolders() = 0;
};
