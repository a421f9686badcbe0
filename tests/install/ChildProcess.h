#pragma once

#include <string>
#include <vector>

// What a helper program killed by killThisProcess() ends with: 128 plus the number of SIGKILL, as
// a shell reports a process killed by it. Windows has no signals, so the program exits with it.
inline constexpr int KilledExitCode = 128 + 9;

// Runs a helper program of the tests to its end and gives its exit code; -1 when it could not be
// started.
int runToEnd(const std::string &program, const std::vector<std::string> &arguments);
