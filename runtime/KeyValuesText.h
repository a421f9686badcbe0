#pragma once

#include <string>
#include <string_view>
#include <vector>

// Reads a KeyValues text, Valve's format of Steam's libraryfolders.vdf and appmanifest_*.acf:
// "key" "value" and "key" { ... } with quoted or bare tokens, \-escapes in quoted
// ones, // comments and [$WIN32]-like conditions, which are skipped. The file may be damaged, cut
// short or not text at all: whatever cannot be read is not there, the reading never fails, and it
// takes time and memory in proportion to the text, however deep its blocks nest.
namespace KeyValuesText {

// Stands for any key in a path.
inline constexpr std::string_view AnyKey = "*";

// The texts of the values whose keys, from the outermost block in, are those of the path,
// compared whatever their ASCII letter case as Steam compares them (its older files spell
// "LibraryFolders", newer ones "libraryfolders"); in the order of the text.
std::vector<std::string> valuesAt(std::string_view text, const std::vector<std::string> &path);

} // namespace KeyValuesText
