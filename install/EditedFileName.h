#pragma once

#include <string>
#include <string_view>

// The name under which the removal keeps a file of the mod that the player changed after the
// installation, in the package folder: "Rules.ini" becomes "Rules (edited).ini", or
// "Rules (edited 2).ini" and so on when that name is taken.
class EditedFileName final
{
public:
    static std::string of(const std::string &name, int number);
    // The name under which a recovery keeps a file it found where it had to put another back:
    // "EXPAND.MIX" becomes "EXPAND (found).MIX", or "EXPAND (found 2).MIX" and so on.
    static std::string found(const std::string &name, int number);
    // Whether the name is one that of() gives for a file that an installation places.
    static bool isOne(std::string_view name);
};
