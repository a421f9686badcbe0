#include "MachineRegistry.h"

#include "NativeFileOperations.h"
#include "Text.h"
#include "WinePrefix.h"
#include "WineRegistryFile.h"

namespace {

// system.reg is a few megabytes; a file far larger is not one Wine wrote.
constexpr std::size_t LargestRegistryFile = 64 * 1024 * 1024;

const std::string Software = "SOFTWARE\\";
const std::string Wow64Node = "Wow6432Node\\";

// A 64-bit prefix keeps the keys of 32-bit programs under Software\Wow6432Node, a 32-bit prefix
// right under Software.
std::string in32BitViewOf64BitPrefix(const std::string &key)
{
    if (key.size() < Software.size() ||
        !Text::equalsIgnoringCase(key.substr(0, Software.size()), Software))
        return key;
    return key.substr(0, Software.size()) + Wow64Node + key.substr(Software.size());
}

} // namespace

namespace MachineRegistry {

std::vector<std::optional<std::string>> readStrings(const std::vector<RegistryValueName> &values)
{
    std::string text;
    if (NativeFileOperations::readContents(WinePrefix::folder() / "system.reg", LargestRegistryFile,
                                           text))
        return std::vector<std::optional<std::string>>(values.size());
    std::vector<RegistryValueName> bothViews;
    for (const RegistryValueName &value : values) {
        bothViews.push_back({in32BitViewOf64BitPrefix(value.key), value.name});
        bothViews.push_back(value);
    }
    const std::vector<std::optional<std::string>> found =
        WineRegistryFile(std::move(text)).stringValues(bothViews);
    std::vector<std::optional<std::string>> strings;
    for (std::size_t index = 0; index < values.size(); ++index)
        strings.push_back(found[2 * index] ? found[2 * index] : found[2 * index + 1]);
    return strings;
}

} // namespace MachineRegistry
