#pragma once

#include "Edition.h"
#include "runtime/FileSystem.h"

#include <optional>
#include <string>
#include <vector>

// A folder that holds Red Alert with an expansion.
struct FoundGame
{
    // As the player types it into the install dialog, with a final backslash: "C:\Games\RA\".
    std::string directory;
    // Aftermath when the folder holds Expand2.mix, Counterstrike when it holds Expand.mix alone.
    Edition edition;
};

// Looks for Red Alert where it is usually installed, for a player whose game is not in the folder
// given: the folders that the game's installers recorded in the registry, then the folders one
// level below each local drive's root and its "Games", "Program Files", "Program Files (x86)"
// and "Westwood" folders. It only reads, lists no folder deeper than that, and never fails: a
// place that cannot be read holds nothing it could offer.
class GameFinder final
{
public:
    explicit GameFinder(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    // Each folder once, however many ways lead to it, in the order above.
    std::vector<FoundGame> find();

    // The edition the installation would accept the folder for, Aftermath before Counterstrike:
    // nothing when it is not Red Alert with an expansion that BEXOM can be installed into.
    std::optional<Edition> gameIn(const std::string &directory);

private:
    std::vector<std::string> registeredFolders();
    std::vector<std::string> likelyFolders();
    // The subfolders of a folder, each with a final backslash.
    std::vector<std::string> subfolders(const std::string &directory);

    FileSystem &m_fileSystem;
};
