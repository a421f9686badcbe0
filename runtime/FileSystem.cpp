#include "FileSystem.h"

ErrorOr<bool> FileSystem::exists(const QString &path)
{
    return TRY(entryKind(path)) != EntryKind::Missing;
}
