#pragma once

#include "CommandLine.h"

#include <filesystem>
#include <optional>
#include <string>

// Where the installer runs, as the log's first line of each run tells it.
struct RunPlatform
{
    // "Linux", "Windows" or "Windows under Wine".
    std::string name;
    // The Wine prefix whose drive letters the Linux program reads.
    std::optional<std::filesystem::path> winePrefix = {};
    SlashOptions slashOptions = SlashOptions::NotAccepted;
};
