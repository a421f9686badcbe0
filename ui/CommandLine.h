#pragma once

#include "install/Edition.h"

#include <string>
#include <variant>
#include <vector>

enum class CommandLineAction { OpenWindows, Install, Uninstall, Status, Verify, Help, Version };

// Whether each question is put to the player or taken as answered Yes.
enum class Confirmation { Ask, AssumeYes };

// Windows players write options after a slash as well: "/install", "/?".
enum class SlashOptions { Accepted, NotAccepted };

// What the command line asks for.
struct CommandLineRequest
{
    CommandLineAction action = CommandLineAction::OpenWindows;
    // For an installation: in its canonical form, as the install dialog would have it.
    std::string gameDirectory = {};
    Edition edition = Edition::Aftermath;
    Confirmation confirmation = Confirmation::Ask;
};

// A command line that asks for nothing the installer can do, and the argument at fault.
struct CommandLineMistake
{
    enum class Kind {
        UnknownOption,
        MissingFolder,
        RelativeFolder,
        TwoEditions,
        EditionWithoutInstall,
        TwoActions,
        NoAction,
        ExtraArgument,
    };

    Kind kind;
    std::string argument = {};

    bool operator==(const CommandLineMistake &) const = default;
};

using ParsedCommandLine = std::variant<CommandLineRequest, CommandLineMistake>;

// Reads the program's arguments, without the program's own name. No argument opens the windows.
class CommandLine final
{
public:
    static ParsedCommandLine parse(const std::vector<std::string> &arguments,
                                   SlashOptions slashOptions);
    static bool opensWindows(const ParsedCommandLine &parsed);
};
