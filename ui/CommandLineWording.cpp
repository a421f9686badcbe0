#include "CommandLineWording.h"

#include "ErrorWording.h"
#include "LogWording.h"
#include "runtime/Text.h"

namespace {

const std::string Usage =
    R"(Usage: bexomv2 [ACTION [OPTIONS]]

Without an action, the installer opens its window. Run it from the folder that holds the BEXOM
package, as you would start the window; it asks the same questions and makes the same checks.

Actions:
  --install FOLDER   install BEXOM into the game folder FOLDER, given as a full path
    --aftermath      for Red Alert with Aftermath, with or without Counterstrike (the default)
    --counterstrike  for Red Alert with Counterstrike alone
  --uninstall        take BEXOM out of the game folder it was installed into
  --status           tell whether BEXOM is installed, for which edition and where
  --verify           check each installed file and the game's archives in the backup folder
                     against what the installation left, changing nothing
  --help             show this help
  --version          show the installer's version

Options:
  --yes              answer Yes to every question instead of asking it

Exit codes:
  0  done; for --verify, every file is as the installation left it
  1  refused, nothing changed: a question answered No, BEXOM already installed or not
     installed, another installer running from the package folder, or a mistake in the
     command line
  2  failed, nothing changed: the folders were not as the work needs them, or a step failed
     and every step before it was undone
  3  failed with changes left: a step could not be undone; the next start of the installer
     puts it right
  4  --verify found files that are not as the installation left them

Each run is logged in BEXOMv2.log in the package folder.
)";

const std::string SlashNote =
    "\nOn Windows, the options can also be written after a slash: /install, /uninstall, /status,\n"
    "/verify, /aftermath, /counterstrike, /yes, /version, and /? for this help.\n";

std::string describe(const FileFinding &file)
{
    const bool placed = file.entry.role == ManifestEntry::Role::Placed;
    const std::string name = placed ? file.entry.name : "BEXOMv2\\" + file.entry.name;
    switch (file.state) {
    case FileFinding::State::Intact:
        return "  intact   " + name;
    case FileFinding::State::Changed:
        return "  changed  " + name +
               (placed ? " (edited since the installation)"
                       : " (no longer the file the installation kept)");
    case FileFinding::State::Missing:
        return "  missing  " + name;
    }
    return {};
}

// The game's own files in the backup folder, with what identifies them.
std::string describeKept(const FileFinding &file)
{
    const FileDigest &digest = file.entry.digest;
    return describe(file) + ", " + std::to_string(digest.size) + " bytes, SHA-256 " +
           Text::toHex(digest.sha256);
}

} // namespace

std::string CommandLineWording::help(SlashOptions slashOptions)
{
    return Usage + (slashOptions == SlashOptions::Accepted ? SlashNote : std::string());
}

std::string CommandLineWording::version()
{
    return "The BEXOMv2 Installer " + LogWording::Version + "\n";
}

std::string CommandLineWording::mistake(const CommandLineMistake &mistake)
{
    const std::string argument = ErrorWording::quoted(mistake.argument);
    std::string words;
    switch (mistake.kind) {
    case CommandLineMistake::Kind::UnknownOption:
        words = argument + " is not an option of the installer.";
        break;
    case CommandLineMistake::Kind::MissingFolder:
        words = argument + " needs the game folder after it.";
        break;
    case CommandLineMistake::Kind::RelativeFolder:
        words = "The game folder " + argument +
                " is not a full path. Give it from the root or with its drive letter, such as "
                "\"C:\\WESTWOOD\\REDALERT\".";
        break;
    case CommandLineMistake::Kind::TwoEditions:
        words = "Give only one of --aftermath and --counterstrike.";
        break;
    case CommandLineMistake::Kind::EditionWithoutInstall:
        words = argument + " goes only with --install.";
        break;
    case CommandLineMistake::Kind::TwoActions:
        words = "Give only one action; " + argument + " is a second one.";
        break;
    case CommandLineMistake::Kind::NoAction:
        words = "Give an action, such as --install or --uninstall.";
        break;
    case CommandLineMistake::Kind::ExtraArgument:
        words = argument + " belongs to no option.";
        break;
    }
    return words + " Nothing was changed. See --help.\n";
}

std::string CommandLineWording::status(const StatusRecord &status)
{
    const std::string folder = ErrorWording::quoted(status.gameDirectory());
    if (status.statusItem == StatusFile::Uninstalled)
        return "BEXOM is not installed.\n";
    if (status.statusItem == StatusFile::Aftermath)
        return "BEXOM is installed for Aftermath in the game folder " + folder + ".\n";
    if (status.statusItem == StatusFile::Counterstrike)
        return "BEXOM is installed for Counterstrike in the game folder " + folder + ".\n";
    return "Status.ini holds " + ErrorWording::quoted(status.statusItem) +
           ", which the installer never writes; a removal would take it for Counterstrike in the "
           "game folder " +
           folder + ".\n";
}

std::string CommandLineWording::findings(const InstallationFindings &findings)
{
    if (!findings.edition)
        return "BEXOM is not installed: there is nothing to check.\n";
    std::vector<std::string> lines{"BEXOM is installed for " + editionName(*findings.edition) +
                                   " in the game folder " +
                                   ErrorWording::quoted(findings.gameDirectory) + "."};
    if (findings.manifest == InstallationFindings::Manifest::NoneFound)
        lines.push_back("Neither the backup folder nor the package folder holds the list of the "
                        "installed files, " +
                        InstallationManifest::FileName +
                        ": an earlier version of the installer wrote none, so the files cannot be "
                        "checked.");
    if (findings.manifestEdition)
        lines.push_back("The list of the installed files was written for " +
                        editionName(*findings.manifestEdition) + ", not for " +
                        editionName(*findings.edition) + ".");
    for (const FileFinding &file : findings.files)
        lines.push_back(file.entry.role == ManifestEntry::Role::Placed ? describe(file)
                                                                       : describeKept(file));
    lines.push_back(findings.allIntact()
                        ? "Every file is as the installation left it."
                        : "The installation is not as it was left: see the files above.");
    return Text::join(lines, "\n") + "\n";
}
