// crash_runner <package folder> <procedure> <game directory> <N> [hold]
// Starts as the installer does, holding the package folder's lock and recovering from a crash
// first, then runs one procedure on the real file system and dies by SIGKILL (TerminateProcess on
// Windows), as in a crash or a power cut, right after its Nth file operation has completed; with
// "hold", it waits there instead until a line comes on its input. Exits with 0 when the procedure
// finishes, 1 when it or the recovery fails, 2 when called wrongly, 3 when another process holds
// the lock.

#include "FaultyFileSystem.h"
#include "install/JournalRecovery.h"
#include "Procedure.h"
#include "runtime/HostFileSystem.h"
#include "runtime/InstanceLock.h"

#ifdef _WIN32
#include "runtime/WindowsText.h"
#include <windows.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The arguments in UTF-8, as the engine takes paths. Windows hands a program its narrow arguments
// in the ANSI code page, so they are taken from the wide command line there.
std::vector<std::string> argumentsOf([[maybe_unused]] int argc, [[maybe_unused]] char *argv[])
{
#ifdef _WIN32
    int count = 0;
    wchar_t **wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(WindowsText::fromWide(wide[i]));
    ::LocalFree(wide);
    return arguments;
#else
    return {argv, argv + argc};
#endif
}

int failed(const RuntimeError &error)
{
    std::fprintf(stderr, "%s\n", error.report().c_str());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> arguments = argumentsOf(argc, argv);
    const bool holds = arguments.size() == 6 && arguments[5] == "hold";
    const auto procedure =
        arguments.size() == 5 || holds ? Procedure::named(arguments[2]) : std::nullopt;
    if (!procedure) {
        std::fputs("usage: crash_runner <package folder> <procedure> <game directory> <N> [hold]\n",
                   stderr);
        return 2;
    }
    const std::filesystem::path packageFolder(arguments[1]);
    const auto lock = InstanceLock::acquire(packageFolder, arguments[1]);
    if (lock.isError())
        return failed(lock.error());
    if (!lock.value())
        return 3;
    HostFileSystem host{packageFolder};
    if (const ErrorOr<std::string> recovered = JournalRecovery(host).recover(); recovered.isError())
        return failed(recovered.error());
    FaultyFileSystem dying(host, std::atoi(arguments[4].c_str()),
                           holds ? Fault::Hold : Fault::Kill);
    const ErrorOr<void> outcome = procedure->run(dying, arguments[3]);
    if (outcome.isError())
        return failed(outcome.error());
    return 0;
}
