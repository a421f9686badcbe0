#pragma once

#include "CommandLine.h"
#include "install/InstallationCheck.h"
#include "install/StatusFile.h"

#include <string>

// The words of the command line that no window shows: its help, its mistakes, and the answers of
// --status and --verify.
namespace CommandLineWording {

std::string help(SlashOptions slashOptions);
std::string version();
std::string mistake(const CommandLineMistake &mistake);
std::string status(const StatusRecord &status);
std::string findings(const InstallationFindings &findings);

} // namespace CommandLineWording
