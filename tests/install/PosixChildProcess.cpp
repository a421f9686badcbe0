#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

extern char **environ;

namespace {

struct Pipe
{
    int read = -1;
    int write = -1;
};

Pipe makePipe()
{
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return {};
    return {ends[0], ends[1]};
}

void closeIfOpen(int &descriptor)
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

std::vector<std::string> environmentWith(const std::vector<std::string> &changes)
{
    const auto nameOf = [](const std::string &entry) {
        return entry.substr(0, entry.find('='));
    };
    std::vector<std::string> environment;
    for (char **entry = environ; *entry; ++entry) {
        const std::string current(*entry);
        if (std::none_of(changes.begin(), changes.end(), [&](const std::string &change) {
                return nameOf(change) == nameOf(current);
            }))
            environment.push_back(current);
    }
    environment.insert(environment.end(), changes.begin(), changes.end());
    return environment;
}

std::vector<char *> pointersTo(std::vector<std::string> &texts)
{
    std::vector<char *> pointers;
    for (std::string &text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Reads what is there; false at the end of the pipe.
bool readSome(int descriptor, std::string &into)
{
    char buffer[4096];
    const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got > 0)
        into.append(buffer, static_cast<std::size_t>(got));
    return got > 0 || (got < 0 && errno == EINTR);
}

} // namespace

ChildProcess::ChildProcess(const std::string &program, const std::vector<std::string> &arguments,
                           const std::vector<std::string> &changes, Channels channels)
{
    Pipe input = makePipe();
    Pipe output = makePipe();
    Pipe errors = makePipe();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.read, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(
        &actions, channels == Channels::Merged ? output.write : errors.write, STDERR_FILENO);
    std::vector<std::string> argumentTexts{program};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = environmentWith(changes);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, pointersTo(argumentTexts).data(),
                    pointersTo(environment).data()) == 0)
        m_pid = pid;
    posix_spawn_file_actions_destroy(&actions);
    closeIfOpen(input.read);
    closeIfOpen(output.write);
    closeIfOpen(errors.write);
    m_input = input.write;
    m_outputPipe = output.read;
    m_errorPipe = errors.read;
}

ChildProcess::~ChildProcess()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    closeInput();
    closeIfOpen(m_outputPipe);
    closeIfOpen(m_errorPipe);
}

bool ChildProcess::readLine()
{
    for (std::size_t searched = 0;;) {
        if (m_output.find('\n', searched) != std::string::npos)
            return true;
        searched = m_output.size();
        if (m_outputPipe < 0 || !readSome(m_outputPipe, m_output))
            return false;
    }
}

void ChildProcess::writeLine()
{
    if (m_input >= 0)
        (void)!::write(m_input, "\n", 1);
}

void ChildProcess::closeInput()
{
    closeIfOpen(m_input);
}

std::optional<ChildProcess::Ending> ChildProcess::finish(std::chrono::seconds guard)
{
    if (m_pid <= 0)
        return std::nullopt;
    closeInput();
    const auto deadline = std::chrono::steady_clock::now() + guard;
    bool timedOut = false;
    while (m_outputPipe >= 0 || m_errorPipe >= 0) {
        pollfd pipes[] = {{m_outputPipe, POLLIN, 0}, {m_errorPipe, POLLIN, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        if (::poll(pipes, 2, static_cast<int>(std::min<long long>(left.count(), 1000000))) < 0 &&
            errno != EINTR)
            break;
        if (pipes[0].revents && !readSome(m_outputPipe, m_output))
            closeIfOpen(m_outputPipe);
        if (pipes[1].revents && !readSome(m_errorPipe, m_errors))
            closeIfOpen(m_errorPipe);
    }
    if (timedOut)
        ::kill(m_pid, SIGKILL);
    int status = 0;
    const pid_t waited = ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    if (timedOut || waited < 0)
        return std::nullopt;
    if (WIFSIGNALED(status))
        return Ending{true, WTERMSIG(status)};
    return Ending{false, WEXITSTATUS(status)};
}
