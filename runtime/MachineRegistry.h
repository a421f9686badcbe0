#pragma once

#include <optional>
#include <string>
#include <vector>

// Which programs' keys: those of 32-bit programs (Wow6432Node on 64-bit Windows), which the
// game's installers and Steam are, or those of 64-bit ones, such as CnCNet's installer.
enum class RegistryView { Bits32, Bits64 };

enum class RegistryRoot { LocalMachine, CurrentUser };

// A value named from its root ("SOFTWARE\Westwood\..." under HKEY_LOCAL_MACHINE).
struct RegistryValueName
{
    std::string key;
    std::string name;
    RegistryView view = RegistryView::Bits32;
    RegistryRoot root = RegistryRoot::LocalMachine;
};

// The registry that the installers of Windows programs write into: Windows' own, or on Linux the
// registry files of the Wine prefix. Only read, never written.
namespace MachineRegistry {

// The texts of the string values, in UTF-8 and in the order asked. A value that is missing, is
// not a string or cannot be read is nothing: what installers once left behind is a hint, and a
// damaged registry must not keep the installer from its work.
std::vector<std::optional<std::string>> readStrings(const std::vector<RegistryValueName> &values);

} // namespace MachineRegistry
