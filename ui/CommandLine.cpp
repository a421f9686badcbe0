#include "CommandLine.h"

#include "install/GameFolder.h"
#include "install/InstallRequest.h"
#include "runtime/Text.h"

#include <map>
#include <optional>

namespace {

enum class Option {
    Install,
    Uninstall,
    Status,
    Verify,
    Help,
    Version,
    Aftermath,
    Counterstrike,
    Yes,
    // An argument that looks like an option but names none the installer knows.
    Unknown,
    // An argument that is no option at all.
    NotAnOption,
};

const std::map<std::string, Option> &optionNames()
{
    static const std::map<std::string, Option> names{
        {"install", Option::Install},
        {"uninstall", Option::Uninstall},
        {"status", Option::Status},
        {"verify", Option::Verify},
        {"help", Option::Help},
        {"version", Option::Version},
        {"aftermath", Option::Aftermath},
        {"counterstrike", Option::Counterstrike},
        {"yes", Option::Yes},
    };
    return names;
}

Option optionOf(const std::string &argument, SlashOptions slashOptions)
{
    std::string name;
    if (argument.starts_with("--"))
        name = argument.substr(2);
    else if (argument == "-h")
        return Option::Help;
    else if (slashOptions == SlashOptions::Accepted && argument.starts_with('/'))
        // Windows' own programs take their options in any letter case.
        name = Text::toLowerAscii(argument.substr(1));
    else
        return Option::NotAnOption;
    if (slashOptions == SlashOptions::Accepted && name == "?")
        return Option::Help;
    const auto found = optionNames().find(name);
    return found == optionNames().end() ? Option::Unknown : found->second;
}

std::optional<CommandLineAction> actionOf(Option option)
{
    switch (option) {
    case Option::Install:
        return CommandLineAction::Install;
    case Option::Uninstall:
        return CommandLineAction::Uninstall;
    case Option::Status:
        return CommandLineAction::Status;
    case Option::Verify:
        return CommandLineAction::Verify;
    case Option::Help:
        return CommandLineAction::Help;
    case Option::Version:
        return CommandLineAction::Version;
    default:
        return std::nullopt;
    }
}

class Reading final
{
public:
    Reading(const std::vector<std::string> &arguments, SlashOptions slashOptions)
        : m_arguments(arguments), m_slashOptions(slashOptions)
    {}

    ParsedCommandLine read()
    {
        for (m_index = 0; m_index < m_arguments.size(); ++m_index)
            if (std::optional<CommandLineMistake> mistake = readArgument())
                return *mistake;
        return finish();
    }

private:
    std::optional<CommandLineMistake> readArgument()
    {
        const std::string &argument = m_arguments[m_index];
        const Option option = optionOf(argument, m_slashOptions);
        if (option == Option::NotAnOption)
            return CommandLineMistake{CommandLineMistake::Kind::ExtraArgument, argument};
        if (option == Option::Unknown)
            return CommandLineMistake{CommandLineMistake::Kind::UnknownOption, argument};
        if (option == Option::Yes) {
            m_request.confirmation = Confirmation::AssumeYes;
            return std::nullopt;
        }
        if (option == Option::Aftermath || option == Option::Counterstrike)
            return readEdition(argument, option);
        if (m_action)
            return CommandLineMistake{CommandLineMistake::Kind::TwoActions, argument};
        m_action = argument;
        m_request.action = *actionOf(option);
        if (m_request.action == CommandLineAction::Install)
            return readFolder(argument);
        return std::nullopt;
    }

    std::optional<CommandLineMistake> readEdition(const std::string &argument, Option option)
    {
        if (m_edition)
            return CommandLineMistake{CommandLineMistake::Kind::TwoEditions, argument};
        m_edition = argument;
        m_request.edition =
            option == Option::Counterstrike ? Edition::Counterstrike : Edition::Aftermath;
        return std::nullopt;
    }

    // The folder follows its option; an option in its place means that it was left out.
    std::optional<CommandLineMistake> readFolder(const std::string &option)
    {
        if (m_index + 1 == m_arguments.size() || m_arguments[m_index + 1].empty() ||
            isKnownOption(m_arguments[m_index + 1]))
            return CommandLineMistake{CommandLineMistake::Kind::MissingFolder, option};
        const std::string &folder = m_arguments[++m_index];
        // A folder named from wherever the script stands would be taken from the package folder.
        if (!GameFolder(folder).isFullPath())
            return CommandLineMistake{CommandLineMistake::Kind::RelativeFolder, folder};
        m_request.gameDirectory = InstallRequest::canonicalDirectory(folder);
        return std::nullopt;
    }

    // Under Wine, "/home/me/ra" is a folder even where options begin with a slash.
    bool isKnownOption(const std::string &argument) const
    {
        const Option option = optionOf(argument, m_slashOptions);
        return option != Option::NotAnOption && option != Option::Unknown;
    }

    ParsedCommandLine finish() const
    {
        if (m_edition && m_request.action != CommandLineAction::Install)
            return CommandLineMistake{CommandLineMistake::Kind::EditionWithoutInstall, *m_edition};
        if (!m_action && !m_arguments.empty())
            return CommandLineMistake{CommandLineMistake::Kind::NoAction, m_arguments.front()};
        return m_request;
    }

    const std::vector<std::string> &m_arguments;
    SlashOptions m_slashOptions;
    std::size_t m_index = 0;
    CommandLineRequest m_request;
    std::optional<std::string> m_action;
    std::optional<std::string> m_edition;
};

} // namespace

ParsedCommandLine CommandLine::parse(const std::vector<std::string> &arguments,
                                     SlashOptions slashOptions)
{
    return Reading(arguments, slashOptions).read();
}

bool CommandLine::opensWindows(const ParsedCommandLine &parsed)
{
    const auto *request = std::get_if<CommandLineRequest>(&parsed);
    return request && request->action == CommandLineAction::OpenWindows;
}
