#pragma once

#include "InstallScratch.h"

#include <string>
#include <vector>

enum class Commit { NotReached, Reached };
enum class Leftovers { Cleared, Allowed };

// The scratch before a procedure and after a clean run of it, against which every run cut short is
// held: before its commit, nothing may have changed; after it, everything must be done, save at
// most the originals kept aside and the journal that a commit that could not finish leaves for the
// next start to clear.
struct CleanRun
{
    std::vector<std::string> before;
    std::vector<std::string> done;

    bool allOrNothing(std::vector<std::string> after, Commit commit,
                      Leftovers leftovers = Leftovers::Allowed) const
    {
        if (commit == Commit::NotReached)
            return after == before;
        if (leftovers == Leftovers::Allowed)
            after = InstallScratch::withoutLeftovers(after);
        return after == done;
    }
};
