#pragma once

#include <string>

// A file that an undo found changed since the procedure wrote it, or standing where it had to put
// back another: the player's work, a game reinstalled, another installation's file. It is never
// deleted or replaced: left where it is (no other name), or kept in the package folder.
struct KeptFile
{
    std::string path;
    std::string keptAs = {};

    bool operator==(const KeptFile &) const = default;
};
