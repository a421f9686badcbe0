#pragma once

#include <string>

// The names of the files of the mod, as the package holds them and the game reads them.
namespace ModFileNames {

inline const std::string Expand = "Expand.mix";
inline const std::string Expand2 = "Expand2.mix";
inline const std::string Rules = "Rules.ini";
inline const std::string Aftrmath = "Aftrmath.ini";
inline const std::string MPlayer = "MPlayer.ini";
inline const std::string Title = "Title.pcx";
inline const std::string Vorda = "SC-Vorda.mix";

} // namespace ModFileNames
