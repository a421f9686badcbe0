#include "HostFileSystem.h"

#include "LinkDigest.h"
#include "NativeFileOperations.h"
#include "StreamDigest.h"
#include "Text.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <optional>

namespace fs = std::filesystem;

namespace {

// The status file is a few dozen bytes; anything far larger is not one of the installer's files,
// and reading it whole would only waste memory.
constexpr std::size_t MaximumTextFileSize = 16 * 1024 * 1024;

using NativeFileOperations::Links;

ErrorCause notAPlainFileCause(fs::file_type type)
{
    switch (type) {
    case fs::file_type::directory:
        return {ErrorReason::IsAFolder};
    case fs::file_type::fifo:
        return {ErrorReason::IsANamedPipe};
    case fs::file_type::block:
    case fs::file_type::character:
        return {ErrorReason::IsADevice};
    case fs::file_type::socket:
        return {ErrorReason::IsASocket};
    case fs::file_type::symlink:
        return {ErrorReason::IsASymbolicLink};
    default:
        return {ErrorReason::NotAPlainFile};
    }
}

// Nothing at the path, or a file where a folder of the path should be, is an answer; any other
// failure to look is an error.
ErrorOr<fs::file_status> statusOf(const fs::path &host, const std::string &path, Links links)
{
    fs::file_status status;
    const std::error_code error = NativeFileOperations::status(host, links, status);
    if (error && error != std::errc::no_such_file_or_directory &&
        error != std::errc::not_a_directory)
        return RuntimeError::fromErrorCode(error, path);
    return status;
}

// Something to read from: a plain file, or a link to one.
ErrorOr<void> checkIsFile(const fs::path &host, const std::string &path)
{
    const fs::file_status status = TRY(statusOf(host, path, Links::Follow));
    if (!fs::exists(status))
        return RuntimeError(RuntimeErrorCode::FileNotFound, path);
    if (!fs::is_regular_file(status))
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            notAPlainFileCause(status.type()));
    return {};
}

// Something to rename or delete: anything but a folder. A link is moved or deleted itself, so
// its target is never reached.
ErrorOr<void> checkIsEntry(const fs::path &host, const std::string &path)
{
    const fs::file_status status = TRY(statusOf(host, path, Links::Stay));
    if (!fs::exists(status))
        return RuntimeError(RuntimeErrorCode::FileNotFound, path);
    if (fs::is_directory(status))
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            notAPlainFileCause(status.type()));
    return {};
}

RuntimeError nameTaken(const std::string &path)
{
    return RuntimeError(RuntimeErrorCode::FileAlreadyExists, path, {ErrorReason::NameTaken});
}

ErrorOr<void> checkAbsent(const fs::path &host, const std::string &path)
{
    if (fs::exists(TRY(statusOf(host, path, Links::Stay))))
        return nameTaken(path);
    return {};
}

ErrorOr<void> fromSystem(std::error_code error, const std::string &path)
{
    if (error)
        return RuntimeError::fromErrorCode(error, path);
    return {};
}

// A move to another file system makes the entry anew there: a link as the same link.
std::error_code copyAcross(const fs::path &from, const fs::path &to)
{
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(from, error)))
        return error ? error : NativeFileOperations::copyContents(from, to, Flush::Now);
    const fs::path target = fs::read_symlink(from, error);
    if (!error)
        fs::create_symlink(target, to, error);
    return error;
}

// A Windows name that is not valid UTF-16 has no UTF-8 form (the conversion throws), and so is
// none of the names the installer writes.
std::optional<std::string> utf8Name(const fs::path &name)
{
    try {
        return Text::utf8(name);
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

// Whether the copy holds the source's bytes, all of them or the first of them only.
bool isCopyOf(const fs::path &copy, const fs::path &source)
{
    std::ifstream copied(copy, std::ios::binary);
    std::ifstream original(source, std::ios::binary);
    std::array<char, 65536> copiedBytes;
    std::array<char, 65536> originalBytes;
    while (copied && original) {
        copied.read(copiedBytes.data(), copiedBytes.size());
        original.read(originalBytes.data(), copied.gcount());
        if (original.gcount() != copied.gcount() ||
            !std::equal(copiedBytes.begin(), copiedBytes.begin() + copied.gcount(),
                        originalBytes.begin()))
            return false;
    }
    return copied.eof() && !copied.bad() && !original.bad();
}

RuntimeError folderMoved(const std::string &path)
{
    return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                        {ErrorReason::FolderMovedDuringWork});
}

RuntimeError missingParent(const std::string &path)
{
    return RuntimeError(RuntimeErrorCode::PathNotFound, path, {ErrorReason::ParentFolderMissing});
}

fs::path siblingWithPrefix(const fs::path &host, const char *prefix)
{
    fs::path name(prefix);
    name += host.filename();
    return host.parent_path() / name;
}

const char *const MovingPrefix = ".bexom-moving-";

// Deletes the copy that an earlier move left at the hidden name, cut short or whole, when its bytes
// are the first of, or all of, one of the files: a crash leaves it while its source is still there,
// since the source goes only after the copy took its place. Says whether nothing is left there.
ErrorOr<bool> dropCopyOf(const fs::path &moving, const std::vector<fs::path> &originals,
                         const std::string &to)
{
    const fs::file_status left = TRY(statusOf(moving, to, Links::Stay));
    if (!fs::exists(left))
        return true;
    if (!fs::is_regular_file(left))
        return false;
    for (const fs::path &original : originals) {
        if (!fs::is_regular_file(TRY(statusOf(original, to, Links::Follow))) ||
            !isCopyOf(moving, original))
            continue;
        std::error_code error;
        fs::remove(moving, error);
        TRY(fromSystem(error, to));
        return true;
    }
    return false;
}

// Anything else at the hidden name is kept, and the move refused.
ErrorOr<void> clearBeforeMove(const fs::path &fromHost, const fs::path &moving,
                              const std::string &to)
{
    if (TRY(dropCopyOf(moving, {fromHost}, to)))
        return {};
    return RuntimeError(RuntimeErrorCode::FileAlreadyExists, Text::utf8(moving));
}

// Only a move to another file system copies, and a crash may cut the copy short anywhere: so it is
// made under a hidden name, on the disk before it takes the destination's name, and the source
// goes only once that rename is on the disk too. At every moment the whole file stands at one of
// the two names, or at both.
ErrorOr<void> moveAcross(const std::string &from, const fs::path &fromHost, const std::string &to,
                         const fs::path &destination, Overwrite overwrite)
{
    if (overwrite == Overwrite::No)
        TRY(checkAbsent(destination, to));
    const fs::path moving = siblingWithPrefix(destination, MovingPrefix);
    TRY(clearBeforeMove(fromHost, moving, to));
    if (const std::error_code error = copyAcross(fromHost, moving)) {
        std::error_code ignored;
        fs::remove(moving, ignored);
        return RuntimeError::fromErrorCode(error, to);
    }
    const std::error_code placed = overwrite == Overwrite::No
                                       ? NativeFileOperations::renameNoReplace(moving, destination)
                                       : NativeFileOperations::replace(moving, destination);
    if (placed) {
        std::error_code ignored;
        fs::remove(moving, ignored);
        if (placed == std::errc::file_exists)
            return RuntimeError(RuntimeErrorCode::FileAlreadyExists, to);
        return RuntimeError::fromErrorCode(placed, to);
    }
    TRY(fromSystem(NativeFileOperations::syncDirectory(destination.parent_path()), to));
    std::error_code removed;
    fs::remove(fromHost, removed);
    return fromSystem(removed, from);
}

} // namespace

HostFileSystem::HostFileSystem(fs::path packageDirectory)
    : m_translator(std::move(packageDirectory), &m_listings)
{}

ErrorOr<EntryKind> HostFileSystem::entryKind(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    const fs::file_status own = TRY(statusOf(host, path, Links::Stay));
    if (!fs::exists(own))
        return EntryKind::Missing;
    // A link to a file or a folder stands for it; one whose target is gone is still something
    // standing at the name.
    const fs::file_status status =
        fs::is_symlink(own) ? TRY(statusOf(host, path, Links::Follow)) : own;
    if (fs::is_directory(status))
        return EntryKind::Directory;
    if (fs::is_regular_file(status))
        return EntryKind::File;
    return EntryKind::Other;
}

ErrorOr<bool> HostFileSystem::isFreeName(const std::string &path)
{
    if (TRY(exists(path)))
        return false;
    const fs::path host = TRY(toHost(path));
    bool free = true;
    TRY(fromSystem(NativeFileOperations::isUnseenNameFree(host, free), path));
    return free;
}

ErrorOr<std::string> HostFileSystem::storedName(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    fs::path stored;
    TRY(fromSystem(NativeFileOperations::storedName(host, stored), path));
    return Text::utf8(stored);
}

ErrorOr<bool> HostFileSystem::isSameEntry(const std::string &first, const std::string &second)
{
    const fs::path firstHost = TRY(toHost(first));
    const fs::path secondHost = TRY(toHost(second));
    std::error_code error;
    const bool same = fs::equivalent(firstHost, secondHost, error);
    if (error)
        return RuntimeError::fromErrorCode(error, first);
    return same;
}

ErrorOr<void> HostFileSystem::deleteFile(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    TRY(checkIsEntry(host, path));
    std::error_code error;
    fs::remove(host, error);
    return noted(fromSystem(error, path), host, Listed::Removed);
}

ErrorOr<void> HostFileSystem::rename(const std::string &from, const std::string &to,
                                     Overwrite overwrite)
{
    const fs::path fromHost = TRY(toHost(from));
    const fs::path destination = TRY(toHost(to));
    TRY(checkIsEntry(fromHost, from));
    ErrorOr<void> renamed = renameEntry(from, fromHost, to, destination, overwrite);
    TRY(noted(std::move(renamed), destination, Listed::Added));
    return noted({}, fromHost, Listed::Removed);
}

ErrorOr<void> HostFileSystem::renameEntry(const std::string &from, const fs::path &fromHost,
                                          const std::string &to, const fs::path &destination,
                                          Overwrite overwrite)
{
    std::error_code error;
    if (overwrite == Overwrite::No)
        error = NativeFileOperations::renameNoReplace(fromHost, destination);
    else
        error = NativeFileOperations::replace(fromHost, destination);
    if (error == std::errc::cross_device_link)
        return moveAcross(from, fromHost, to, destination, overwrite);
    if (error == std::errc::file_exists)
        return nameTaken(to);
    if (error == std::errc::no_such_file_or_directory)
        return missingParent(to);
    return fromSystem(error, from);
}

ErrorOr<void> HostFileSystem::copyFile(const std::string &from, const std::string &to, Flush flush)
{
    const fs::path fromHost = TRY(toHost(from));
    const fs::path destination = TRY(toHost(to));
    TRY(checkIsFile(fromHost, from));
    // The destination is made by the copy, so a file is never copied onto itself nor written
    // through a link that stands at the name.
    const std::error_code error = NativeFileOperations::copyContents(fromHost, destination, flush);
    if (error == std::errc::file_exists)
        return nameTaken(to);
    if (error == std::errc::no_such_file_or_directory)
        return missingParent(to);
    return noted(fromSystem(error, to), destination, Listed::Added);
}

ErrorOr<void> HostFileSystem::clearCutShortMove(const std::string &from, const std::string &to)
{
    const fs::path destination = TRY(toHost(to));
    const fs::path moving = siblingWithPrefix(destination, MovingPrefix);
    if (TRY(dropCopyOf(moving, {TRY(toHost(from)), destination}, to)))
        m_listings.removed(moving);
    return {};
}

ErrorOr<void> HostFileSystem::renameFolder(const std::string &from, const std::string &to)
{
    const fs::path fromHost = TRY(toHost(from));
    const fs::path destination = TRY(toHost(to));
    if (!fs::is_directory(TRY(statusOf(fromHost, from, Links::Stay))))
        return RuntimeError(RuntimeErrorCode::PathNotFound, from);
    const std::error_code error = NativeFileOperations::renameNoReplace(fromHost, destination);
    if (error == std::errc::file_exists)
        return nameTaken(to);
    return fromSystem(error, from);
}

ErrorOr<void> HostFileSystem::makeDirectory(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    std::error_code error;
    if (fs::create_directory(host, error))
        return noted({}, host, Listed::Added);
    if (!error || error == std::errc::file_exists)
        return nameTaken(path);
    if (error == std::errc::no_such_file_or_directory)
        return missingParent(path);
    return fromSystem(error, path);
}

// Windows removes no folder that is held open, so the hold ends first, once the folder is known
// to be the one held; it is taken up again if the folder stays. A folder that stays but cannot be
// held again may have been swapped in the moment it was not held: that is the error to tell.
ErrorOr<void> HostFileSystem::removeDirectory(const std::string &path)
{
    const auto held = holdOf(path);
    if (held == m_holds.end())
        return removeFolder(path);
    if (!held->folder->isStillAt(held->host))
        return folderMoved(path);
    m_holds.erase(held);
    ErrorOr<void> removed = removeFolder(path);
    if (!removed.isError())
        return removed;
    if (ErrorOr<void> heldAgain = holdFolder(path, HeldFolder::OwnName::NoLink);
        heldAgain.isError())
        return heldAgain;
    return removed;
}

ErrorOr<void> HostFileSystem::removeFolder(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    // A link to a folder is not the folder; removing it would leave the folder where it is.
    const fs::file_status status = TRY(statusOf(host, path, Links::Stay));
    if (!fs::is_directory(status))
        return RuntimeError(RuntimeErrorCode::PathNotFound, path);
    // Another folder may be made at this path, and be given the same identity.
    m_listings.forget(host);
    std::error_code error;
    fs::remove(host, error);
    if (!error)
        return noted({}, host, Listed::Removed);
    // Windows may call a folder that is not empty a denied access.
    std::error_code ignored;
    if (error && !fs::is_empty(host, ignored) && !ignored)
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            {ErrorReason::FolderNotEmpty});
    return fromSystem(error, path);
}

ErrorOr<std::vector<std::string>> HostFileSystem::entryNames(const std::string &folder)
{
    const fs::path host = TRY(toHost(folder));
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(host, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        if (std::optional<std::string> name = utf8Name(entry->path().filename()))
            names.push_back(std::move(*name));
    }
    TRY(fromSystem(error, folder));
    return names;
}

ErrorOr<std::string> HostFileSystem::readFile(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    TRY(checkIsFile(host, path));
    std::string bytes;
    const std::error_code error =
        NativeFileOperations::readContents(host, MaximumTextFileSize, bytes);
    if (error == std::errc::file_too_large)
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            {ErrorReason::TooLargeForTextFile});
    TRY(fromSystem(error, path));
    return bytes;
}

ErrorOr<void> HostFileSystem::writeFileAtomically(const std::string &path, const std::string &bytes)
{
    const fs::path host = TRY(toHost(path));
    const fs::path temporary = siblingWithPrefix(host, TemporaryPrefix.c_str());
    if (const std::error_code error = NativeFileOperations::writeDurably(temporary, bytes)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return RuntimeError::fromErrorCode(error, path);
    }
    if (const std::error_code error = NativeFileOperations::replace(temporary, host)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return RuntimeError::fromErrorCode(error, path);
    }
    TRY(noted({}, host, Listed::Added));
    return fromSystem(NativeFileOperations::syncDirectory(host.parent_path()), path);
}

ErrorOr<void> HostFileSystem::appendDurably(const std::string &path, const std::string &bytes)
{
    const fs::path host = TRY(toHost(path));
    const fs::file_status status = TRY(statusOf(host, path, Links::Stay));
    const bool created = !fs::exists(status);
    if (!created && !fs::is_regular_file(status))
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            notAPlainFileCause(status.type()));
    TRY(noted(fromSystem(NativeFileOperations::appendDurably(host, bytes), path), host,
              Listed::Added));
    // A new file's name is on the disk only once its folder is.
    if (created)
        return fromSystem(NativeFileOperations::syncDirectory(host.parent_path()), path);
    return {};
}

ErrorOr<fs::path> HostFileSystem::hostPath(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    fs::path resolved;
    TRY(fromSystem(NativeFileOperations::resolve(host, resolved), path));
    return resolved;
}

ErrorOr<FileIdentity> HostFileSystem::identity(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    FileIdentity identity;
    TRY(fromSystem(NativeFileOperations::identify(host, identity), path));
    return identity;
}

ErrorOr<FileStamp> HostFileSystem::stamp(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    FileStamp stamp;
    TRY(fromSystem(NativeFileOperations::stamp(host, stamp), path));
    return stamp;
}

ErrorOr<LinkKind> HostFileSystem::linkKind(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    if (!fs::is_symlink(TRY(statusOf(host, path, Links::Stay))))
        return LinkKind::NotALink;
    std::error_code error;
    const fs::path target = fs::read_symlink(host, error);
    if (error)
        return RuntimeError::fromErrorCode(error, path);
    return target.is_absolute() ? LinkKind::AbsoluteLink : LinkKind::RelativeLink;
}

ErrorOr<void> HostFileSystem::syncFolder(const std::string &path)
{
    if (const auto held = holdOf(path); held != m_holds.end())
        return fromSystem(held->folder->sync(), path);
    const fs::path host = TRY(toHost(path));
    return fromSystem(NativeFileOperations::syncDirectory(host), path);
}

// A held folder's descriptor was opened before the copies were written, so it reports their
// failed writes too.
ErrorOr<void> HostFileSystem::flushFileSystem(const std::string &folder)
{
    if (const auto held = holdOf(folder); held != m_holds.end())
        return fromSystem(held->folder->syncFileSystem(), folder);
    const fs::path host = TRY(toHost(folder));
    return fromSystem(NativeFileOperations::syncFileSystem(host), folder);
}

// A symbolic link is kept and given back as the link itself, so what it holds is the name of its
// target, whether or not that target is there.
ErrorOr<std::unique_ptr<DigestReader>> HostFileSystem::openForDigest(const std::string &path)
{
    const fs::path host = TRY(toHost(path));
    if (fs::is_symlink(TRY(statusOf(host, path, Links::Stay))))
        return LinkDigest::open(host, path);
    TRY(checkIsFile(host, path));
    return StreamDigest::open(host, path);
}

ErrorOr<void> HostFileSystem::createFileDurably(const std::string &path, const std::string &bytes)
{
    const fs::path host = TRY(toHost(path));
    const std::error_code error = NativeFileOperations::createDurably(host, bytes);
    if (error == std::errc::file_exists)
        return nameTaken(path);
    if (error == std::errc::no_such_file_or_directory)
        return missingParent(path);
    TRY(noted(fromSystem(error, path), host, Listed::Added));
    return fromSystem(NativeFileOperations::syncDirectory(host.parent_path()), path);
}

ErrorOr<void> HostFileSystem::holdFolder(const std::string &path, HeldFolder::OwnName ownName)
{
    fs::path host = TRY(toHost(path));
    std::unique_ptr<HeldFolder> folder;
    const std::error_code error = HeldFolder::open(host, ownName, folder);
    const bool link = error && ownName == HeldFolder::OwnName::NoLink &&
                      (error == std::errc::too_many_symbolic_link_levels ||
                       TRY(linkKind(path)) != LinkKind::NotALink);
    if (link)
        return RuntimeError(RuntimeErrorCode::PathFileAccessError, path,
                            {ErrorReason::BackupFolderIsALink});
    TRY(fromSystem(error, path));
    if (m_holds.empty())
        m_listings.start();
    PathTranslator inside(folder->inside(), &m_listings, path);
    m_holds.push_back({path, std::move(host), std::move(folder), std::move(inside)});
    return {};
}

ErrorOr<void> HostFileSystem::checkHeldFolders()
{
    for (const Hold &hold : m_holds)
        if (!hold.folder->isStillAt(hold.host))
            return folderMoved(hold.path);
    return {};
}

void HostFileSystem::releaseFolders()
{
    m_holds.clear();
    m_listings.stop();
}

ErrorOr<void> HostFileSystem::noted(ErrorOr<void> change, const fs::path &host, Listed listed)
{
    if (change.isError())
        m_listings.forget(host.parent_path());
    else if (listed == Listed::Added)
        m_listings.added(host);
    else
        m_listings.removed(host);
    return change;
}

// Held folders are opened one inside the other, so the last one that holds the path is the
// innermost. The held folder's own name is looked up in its parent, which may be held too.
ErrorOr<fs::path> HostFileSystem::toHost(const std::string &path) const
{
    for (auto hold = m_holds.rbegin(); hold != m_holds.rend(); ++hold) {
        const std::string &folder = hold->path;
        const bool endsInSeparator = folder.ends_with('\\') || folder.ends_with('/');
        if (path.size() <= folder.size() + 1 || !path.starts_with(folder) ||
            (!endsInSeparator && path[folder.size()] != '\\' && path[folder.size()] != '/'))
            continue;
        const std::size_t nameStart = path.find_first_not_of("\\/", folder.size());
        if (nameStart == std::string::npos)
            continue;
        // Where names are looked up by path, a folder swapped meanwhile would take the work.
        if (!hold->folder->reachesInside(hold->host))
            return folderMoved(hold->path);
        return hold->inside.toHostPath(path.substr(nameStart));
    }
    return m_translator.toHostPath(path);
}

// A folder named with a final separator is the same folder.
std::vector<HostFileSystem::Hold>::iterator HostFileSystem::holdOf(const std::string &path)
{
    const std::size_t end = path.find_last_not_of("\\/");
    const std::string folder = end == std::string::npos ? path : path.substr(0, end + 1);
    return std::find_if(m_holds.begin(), m_holds.end(),
                        [&](const Hold &hold) { return hold.path == folder || hold.path == path; });
}
