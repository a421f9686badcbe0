#pragma once

#include "Edition.h"

#include <string>
#include <vector>

// The names of the files of the mod, as the package holds them and the game reads them.
namespace ModFileNames {

inline const std::string Expand = "Expand.mix";
inline const std::string Expand2 = "Expand2.mix";
inline const std::string Rules = "Rules.ini";
inline const std::string Aftrmath = "Aftrmath.ini";
inline const std::string MPlayer = "MPlayer.ini";
inline const std::string Title = "Title.pcx";
inline const std::string Vorda = "SC-Vorda.mix";

// Every name the files of either edition have in the game folder.
inline const std::vector<std::string> AllNames = {Expand,  Expand2, Rules, Aftrmath,
                                                  MPlayer, Title,   Vorda};

// The files of the package that an installation of the edition copies from.
inline std::vector<std::string> packageFiles(Edition edition)
{
    if (edition == Edition::Aftermath)
        return {Expand2, Rules, Aftrmath, MPlayer, Title, Vorda};
    return {Expand2, Rules, Title, Vorda};
}

// The names an installation of the edition gives the mod's files in the game folder. Counterstrike
// places its archive under the name Expand.mix, and leaves Aftermath's files alone.
inline std::vector<std::string> placedNames(Edition edition)
{
    if (edition == Edition::Aftermath)
        return AllNames;
    return {Expand, Rules, Title, Vorda};
}

} // namespace ModFileNames
