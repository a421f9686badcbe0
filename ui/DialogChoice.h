#pragma once

#include "install/Edition.h"

#include <optional>
#include <string>
#include <string_view>

// The install dialog as the player left it, carried on the command line of an installer started
// again as administrator, so that it opens the dialog the same: "/dialog Aftermath C:\GAMES\RA\".
// The switch is none of the command line's actions, which install without a window.
// The folder runs to the end of the line as typed, so that no quoting can change it.
struct DialogChoice final
{
    std::string directory;
    Edition edition = Edition::Aftermath;

    std::string arguments() const;
    // Nothing for a command line that carries no choice.
    static std::optional<DialogChoice> fromArguments(std::string_view arguments);

    bool operator==(const DialogChoice &) const = default;
};
