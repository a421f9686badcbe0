#pragma once

#include <string>

// The expansion of the game that the mod is installed for.
enum class Edition { Aftermath, Counterstrike };

// As the manifest records it and the player reads it.
inline std::string editionName(Edition edition)
{
    return edition == Edition::Aftermath ? "Aftermath" : "Counterstrike";
}
