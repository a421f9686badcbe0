#pragma once

#include "CommandLine.h"
#include "RunPlatform.h"
#include "runtime/ErrorOr.h"
#include "runtime/FileSystem.h"
#include "runtime/MessageBox.h"
#include "runtime/RunLog.h"
#include "Terminal.h"

#include <filesystem>

// How a command line run ended, as its exit code tells a script.
enum class ExitCode {
    Done = 0,
    Refused = 1,
    FailedNothingChanged = 2,
    FailedChangesLeft = 3,
    NotIntact = 4,
};

class InstallerStart;
class TerminalMessageBox;

// Does what a command line asks, without a window: the same requests as the windows', with their
// questions asked on the terminal and their messages written there. It holds the package folder's
// lock and puts right an interrupted run first, as the windows' start does.
class CommandLineRun final
{
public:
    CommandLineRun(Terminal &terminal, RunPlatform platform)
        : m_terminal(terminal), m_platform(std::move(platform))
    {}

    int run(const ParsedCommandLine &parsed);

private:
    ExitCode runAction(const CommandLineRequest &request);
    ExitCode refuse(const ParsedCommandLine &parsed);
    ExitCode runRequest(const CommandLineRequest &request, InstallerStart &start,
                        TerminalMessageBox &terminalBox, MessageBox &messageBox);
    ExitCode showStatus(FileSystem &fileSystem, MessageBox &messageBox);
    ExitCode verify(FileSystem &fileSystem, MessageBox &messageBox);
    ExitCode failed(const RuntimeError &error, MessageBox &messageBox);

    Terminal &m_terminal;
    RunPlatform m_platform;
    RunLog m_log;
};
