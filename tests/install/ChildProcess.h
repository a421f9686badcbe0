#pragma once

#ifdef _WIN32
#include "WindowsHandle.h"
#else
#include <sys/types.h>
#endif

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <vector>

// A helper program of the tests, run in a process of its own with its input, output and error
// output through pipes, so that a test can watch it die, hold it half-way or read its report.
class ChildProcess final
{
public:
    enum class Channels { Separate, Merged };
    // How the process ended: by exit with a code, or by a signal.
    struct Ending
    {
        bool signalled = false;
        int number = 0;
    };
#ifdef _WIN32
    // Windows has no signals: a process there that ends with 128 + this number, as a shell reports
    // one killed outright, counts as killed by it.
    static constexpr int KillSignal = 9;
#else
    static constexpr int KillSignal = SIGKILL;
#endif

    // The environment is the test's own, with each "NAME=value" of changes put in.
    ChildProcess(const std::string &program, const std::vector<std::string> &arguments,
                 const std::vector<std::string> &changes = {},
                 Channels channels = Channels::Separate);
    // A process still running is killed.
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    // Reads the output up to the end of its next line; false when the output ends first.
    bool readLine();
    void writeLine();
    // Closes the input and reads everything until the process ends. A process that runs past the
    // guard, which is far above what any run takes, is killed and gives nothing; so does one that
    // could not be started.
    std::optional<Ending> finish(std::chrono::seconds guard = std::chrono::hours(1));

    const std::string &output() const
    {
        return m_output;
    }
    const std::string &errors() const
    {
        return m_errors;
    }

private:
#ifdef _WIN32
    // The process and this side of its pipes; none once closed.
    WindowsHandle m_process;
    WindowsHandle m_input;
    WindowsHandle m_outputPipe;
    WindowsHandle m_errorPipe;
#else
    void closeInput();

    pid_t m_pid = -1;
    int m_input = -1;
    int m_outputPipe = -1;
    int m_errorPipe = -1;
#endif
    std::string m_output;
    std::string m_errors;
};
