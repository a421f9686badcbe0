#pragma once

#include "MachineRegistry.h"

#include <optional>
#include <string>
#include <vector>

// A registry file of a Wine prefix, such as system.reg: a section "[Key\\Path] stamp" for each
// key, with lines "\"Name\"=\"text\"" below it, written in ASCII with C-like escapes ("\\" for a
// backslash, "\xe9" for a UTF-16 code unit). The file may have been cut short or edited by hand;
// whatever cannot be read is not there, and the reading never fails.
class WineRegistryFile final
{
public:
    explicit WineRegistryFile(std::string text) : m_text(std::move(text)) {}

    // The texts of the string values in UTF-8, keys and names matched whatever their ASCII letter
    // case, in one pass over the file. Keys are named as in the registry: "Software\Westwood".
    std::vector<std::optional<std::string>>
    stringValues(const std::vector<RegistryValueName> &values) const;

    // The same for keys named as a Windows program asks for them: a 64-bit prefix keeps the keys
    // of 32-bit programs under Software\Wow6432Node, a 32-bit prefix right under Software.
    std::vector<std::optional<std::string>>
    viewedStringValues(const std::vector<RegistryValueName> &values) const;

private:
    std::string m_text;
};
