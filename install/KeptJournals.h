#pragma once

#include "Journal.h"
#include "runtime/FileSystem.h"

#include <optional>

#include <string>
#include <vector>

// The journals kept beside the status file as "BEXOMv2.journal.foreign-1", "-2" and so on: those
// that could not be matched to the folders here when they were found. None is ever acted on
// while its folders are not the ones here, and none is forgotten either: its game folder may hold
// the player's files in BEXOM's backup folder, waiting to be put back. The numbers run from 1
// without a gap, so that the first free one ends the list.
class KeptJournals final
{
public:
    explicit KeptJournals(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    static std::string nameOf(std::size_t number);

    ErrorOr<std::vector<std::string>> names();
    // Renames the file to the first free name and returns that name; names never run out.
    ErrorOr<std::string> keep(const std::string &path);
    // Renames a kept journal to the path, and the last one to the number it leaves free.
    ErrorOr<void> takeBack(const std::string &name, const std::string &path);
    // The first kept journal that names this package folder and a game folder that is here now,
    // so that it can be acted on after all; empty when there is none.
    ErrorOr<std::string> firstMatched();
    // Refuses to work on a game folder that a kept journal of an unfinished transaction names:
    // its undo may be all that brings back the player's files.
    ErrorOr<void> refuseWhileNamed(const std::string &gameDirectory);

private:
    // Nothing for a kept journal that is no plain file of a readable size.
    ErrorOr<std::optional<JournalContents>> read(const std::string &name);

    FileSystem &m_fileSystem;
};
