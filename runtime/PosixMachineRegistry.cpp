#include "MachineRegistry.h"

#include "NativeFileOperations.h"
#include "WinePrefix.h"
#include "WineRegistryFile.h"

namespace {

// system.reg is a few megabytes; a file far larger is not one Wine wrote.
constexpr std::size_t LargestRegistryFile = 64 * 1024 * 1024;

// The prefix keeps the machine's keys in system.reg and the user's in user.reg.
std::vector<std::optional<std::string>> readFrom(const char *fileName,
                                                 const std::vector<RegistryValueName> &values)
{
    std::string text;
    if (NativeFileOperations::readContents(WinePrefix::folder() / fileName, LargestRegistryFile,
                                           text))
        return std::vector<std::optional<std::string>>(values.size());
    return WineRegistryFile(std::move(text)).viewedStringValues(values);
}

} // namespace

namespace MachineRegistry {

std::vector<std::optional<std::string>> readStrings(const std::vector<RegistryValueName> &values)
{
    std::vector<std::optional<std::string>> strings(values.size());
    for (const RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
        std::vector<RegistryValueName> underRoot;
        std::vector<std::size_t> places;
        for (std::size_t index = 0; index < values.size(); ++index)
            if (values[index].root == root) {
                underRoot.push_back(values[index]);
                places.push_back(index);
            }
        if (underRoot.empty())
            continue;
        const std::vector<std::optional<std::string>> found =
            readFrom(root == RegistryRoot::LocalMachine ? "system.reg" : "user.reg", underRoot);
        for (std::size_t index = 0; index < places.size(); ++index)
            strings[places[index]] = found[index];
    }
    return strings;
}

} // namespace MachineRegistry
