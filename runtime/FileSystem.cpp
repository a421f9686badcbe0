#include "FileSystem.h"

ErrorOr<bool> FileSystem::exists(const std::string &path)
{
    return TRY(entryKind(path)) != EntryKind::Missing;
}

ErrorOr<FileDigest> FileSystem::digest(const std::string &path)
{
    const std::unique_ptr<DigestReader> reader = TRY(openForDigest(path));
    return reader->read();
}
