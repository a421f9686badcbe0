#pragma once

#include <filesystem>

// The Wine prefix whose drives and registry a Windows program started now would see: the one
// WINEPREFIX names, or ~/.wine. Only the Linux build has one.
namespace WinePrefix {

std::filesystem::path folder();

} // namespace WinePrefix
