#pragma once

#include "Journal.h"
#include "runtime/FileSystem.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The journals kept beside the status file as "BEXOMv2.journal.foreign-1", "-2" and so on: those
// that could not be matched to the folders here when they were found. None is ever acted on
// while its folders are not the ones here, and none is forgotten either: its game folder may hold
// the player's files in BEXOM's backup folder, waiting to be put back. They are found by listing
// the package folder, so that a gap in the numbers (one deleted by hand) hides none of the rest.
class KeptJournals final
{
public:
    explicit KeptJournals(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    static std::string nameOf(std::uint64_t number);

    // Lowest number first. A name that only resembles those given here is no kept journal.
    ErrorOr<std::vector<std::string>> names();
    // Renames the file, or the folder that stands in a journal's place, to a number above every
    // one taken, and returns that name; names never run out.
    ErrorOr<std::string> keep(const std::string &path);
    // Renames a kept journal to the path.
    ErrorOr<void> takeBack(const std::string &name, const std::string &path);
    // The kept journals that name this package folder and a game folder that is here now, so that
    // they can be acted on after all.
    ErrorOr<std::vector<std::string>> matched();
    // Refuses to work on a game folder that a kept journal of an unfinished transaction names,
    // while the game folder holds a trace of it (its undo may be all that brings back the player's
    // files), and to work from this package folder while such a journal written here is kept.
    ErrorOr<void> refuseWhileNamed(const std::string &gameDirectory);

private:
    ErrorOr<std::map<std::uint64_t, std::string>> numbered();
    // Nothing for a kept journal that is no plain file of a readable size.
    ErrorOr<std::optional<JournalContents>> read(const std::string &name);
    ErrorOr<bool> leavesTrace(const JournalContents &contents, const std::string &gameDirectory);

    FileSystem &m_fileSystem;
};
