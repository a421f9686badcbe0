#include "FileSystem.h"

ErrorOr<bool> FileSystem::exists(const std::string &path)
{
    return TRY(entryKind(path)) != EntryKind::Missing;
}
