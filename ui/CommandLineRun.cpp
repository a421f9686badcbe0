#include "CommandLineRun.h"

#include "CommandLineWording.h"
#include "install/InstallationCheck.h"
#include "install/InstallRequest.h"
#include "install/RemovalRequest.h"
#include "InstallerStart.h"
#include "LoggingBusyIndicator.h"
#include "LoggingMessageBox.h"
#include "LogWording.h"
#include "runtime/Text.h"
#include "RuntimeErrorNotice.h"
#include "TerminalMessageBox.h"

namespace {

// Notes only whether the work on the game folder began: a request that returns without it has
// refused, whatever it said.
class WorkRecord final : public BusyIndicator
{
public:
    void begin() override { m_began = true; }
    void end() override {}
    bool began() const { return m_began; }

private:
    bool m_began = false;
};

std::string actionName(CommandLineAction action)
{
    switch (action) {
    case CommandLineAction::Install:
        return "--install";
    case CommandLineAction::Uninstall:
        return "--uninstall";
    case CommandLineAction::Status:
        return "--status";
    default:
        return "--verify";
    }
}

} // namespace

int CommandLineRun::run(const ParsedCommandLine &parsed)
{
    const auto *request = std::get_if<CommandLineRequest>(&parsed);
    if (request && request->action == CommandLineAction::Help) {
        m_terminal.write(Terminal::Stream::Output,
                         CommandLineWording::help(m_platform.slashOptions));
        return static_cast<int>(ExitCode::Done);
    }
    if (request && request->action == CommandLineAction::Version) {
        m_terminal.write(Terminal::Stream::Output, CommandLineWording::version());
        return static_cast<int>(ExitCode::Done);
    }
    // A script whose command line went wrong shows in the log as well.
    const std::filesystem::path packageFolder = InstallerStart::packageFolder();
    m_log = RunLog(packageFolder);
    m_log.write(LogWording::start(m_platform, packageFolder,
                                  request ? actionName(request->action) : "command line"));
    const int exitCode = static_cast<int>(request ? runAction(*request) : refuse(parsed));
    m_log.write(LogWording::end(exitCode));
    return exitCode;
}

ExitCode CommandLineRun::refuse(const ParsedCommandLine &parsed)
{
    const std::string words = CommandLineWording::mistake(std::get<CommandLineMistake>(parsed));
    m_log.write("Refused: " + words);
    m_terminal.write(Terminal::Stream::Error, words);
    return ExitCode::Refused;
}

ExitCode CommandLineRun::runAction(const CommandLineRequest &request)
{
    TerminalMessageBox terminalBox(m_terminal, request.confirmation);
    LoggingMessageBox messageBox(terminalBox, m_log);
    std::optional<InstallerStart> start = InstallerStart::begin(messageBox);
    if (!start) {
        terminalBox.release(Terminal::Stream::Error);
        return ExitCode::Refused;
    }
    // What the start-up put right is told whatever the action does next.
    terminalBox.release(Terminal::Stream::Output);
    m_log.write(LogWording::status(StatusFile(start->fileSystem()).read()));
    if (request.action == CommandLineAction::Status)
        return showStatus(start->fileSystem(), messageBox);
    if (request.action == CommandLineAction::Verify)
        return verify(start->fileSystem(), messageBox);
    return runRequest(request, *start, terminalBox, messageBox);
}

ExitCode CommandLineRun::runRequest(const CommandLineRequest &request, InstallerStart &start,
                                    TerminalMessageBox &terminalBox, MessageBox &messageBox)
{
    WorkRecord work;
    LoggingBusyIndicator busyIndicator(work, m_log);
    RuntimeServices services{start.fileSystem(), messageBox, busyIndicator};
    const ErrorOr<void> outcome =
        request.action == CommandLineAction::Install
            ? InstallRequest(services).run(request.gameDirectory, request.edition)
            : RemovalRequest(services).run();
    if (outcome.isError()) {
        terminalBox.release(Terminal::Stream::Error);
        return failed(outcome.error(), messageBox);
    }
    terminalBox.release(work.began() ? Terminal::Stream::Output : Terminal::Stream::Error);
    return work.began() ? ExitCode::Done : ExitCode::Refused;
}

ExitCode CommandLineRun::showStatus(FileSystem &fileSystem, MessageBox &messageBox)
{
    const ErrorOr<StatusRecord> status = StatusFile(fileSystem).read();
    if (status.isError())
        return failed(status.error(), messageBox);
    m_terminal.write(Terminal::Stream::Output, CommandLineWording::status(status.value()));
    return ExitCode::Done;
}

ExitCode CommandLineRun::verify(FileSystem &fileSystem, MessageBox &messageBox)
{
    const ErrorOr<InstallationFindings> findings = InstallationCheck(fileSystem).check();
    if (findings.isError())
        return failed(findings.error(), messageBox);
    const std::string words = CommandLineWording::findings(findings.value());
    m_log.write("Checked: " + Text::replaceAll(words, "\n  ", "; "));
    m_terminal.write(Terminal::Stream::Output, words);
    return findings.value().allIntact() ? ExitCode::Done : ExitCode::NotIntact;
}

ExitCode CommandLineRun::failed(const RuntimeError &error, MessageBox &messageBox)
{
    RuntimeErrorNotice::showIfFailed(messageBox, error);
    return error.hasChangesLeft() ? ExitCode::FailedChangesLeft : ExitCode::FailedNothingChanged;
}
