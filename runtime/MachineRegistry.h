#pragma once

#include <optional>
#include <string>
#include <vector>

// A value under HKEY_LOCAL_MACHINE, its key named from there ("SOFTWARE\Westwood\...").
struct RegistryValueName
{
    std::string key;
    std::string name;
};

// The registry that the installers of Windows programs write into, as a 32-bit program of theirs
// sees it: the 32-bit view on Windows, the registry file of the Wine prefix on Linux. Only read,
// never written.
namespace MachineRegistry {

// The texts of the string values, in UTF-8 and in the order asked. A value that is missing, is
// not a string or cannot be read is nothing: what installers once left behind is a hint, and a
// damaged registry must not keep the installer from its work.
std::vector<std::optional<std::string>> readStrings(const std::vector<RegistryValueName> &values);

} // namespace MachineRegistry
