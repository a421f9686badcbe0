// runner <package folder> <procedure> <game directory> kill <N>
// runner <package folder> <procedure> <game directory> fault <N> <call log>
// runner <package folder> lock <milliseconds>
// Starts as the installer does, holding the package folder's lock and recovering from a crash
// first, then runs one procedure on the real file system. With "kill", it dies by SIGKILL
// (TerminateProcess on Windows), as in a crash or a power cut, right after its Nth file operation
// has completed. With "fault", the Nth C library call of the procedure fails and every call is
// logged (SystemFaults.c; POSIX builds without the sanitizers only). Exits with 0 when the
// procedure finishes, with the number of the runtime error when it or the recovery fails, 2 when
// called wrongly, 3 when another process holds the lock. With "lock", it only holds the package
// folder's lock file, as where the system lock is refused, for the time given, and exits with 4
// should it find another holder at work beside it.

#include "FaultyFileSystem.h"
#include "install/JournalRecovery.h"
#include "Procedure.h"
#include "runtime/HostFileSystem.h"
#include "runtime/InstanceLock.h"

#ifdef _WIN32
#include "runtime/WindowsText.h"
#include <windows.h>
#endif

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#ifdef BEXOM_SYSTEM_FAULTS
extern "C" void systemFaultsArm(long failingCall, const char *logPath);
extern "C" void systemFaultsDisarm();
#endif

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

ErrorOr<void> runAsAsked(FileSystem &host, const Procedure &procedure,
                         const std::vector<std::string> &arguments)
{
    const int chosen = std::atoi(arguments[5].c_str());
    if (arguments[4] == "kill") {
        FaultyFileSystem dying(host, chosen, Fault::Kill);
        return procedure.run(dying, arguments[3]);
    }
#ifdef BEXOM_SYSTEM_FAULTS
    systemFaultsArm(chosen, arguments[6].c_str());
#endif
    const ErrorOr<void> outcome = procedure.run(host, arguments[3]);
#ifdef BEXOM_SYSTEM_FAULTS
    systemFaultsDisarm();
#endif
    return outcome;
}

int holdLockFile(const std::vector<std::string> &arguments)
{
    const std::filesystem::path folder(arguments[1]);
    const auto lock = InstanceLock::acquire(folder, arguments[1], InstanceLock::Means::LockFile);
    if (lock.isError())
        return lock.error().number();
    if (!lock.value())
        return 3;
    std::error_code error;
    if (!std::filesystem::create_directory(folder / "holder", error))
        return 4;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(arguments[3].c_str())));
    std::filesystem::remove(folder / "holder", error);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> arguments = argumentsOf(argc, argv);
    if (arguments.size() == 4 && arguments[2] == "lock")
        return holdLockFile(arguments);
    const bool valid = (arguments.size() == 6 && arguments[4] == "kill") ||
                       (arguments.size() == 7 && arguments[4] == "fault");
    const auto procedure = valid ? Procedure::named(arguments[2]) : std::nullopt;
    if (!procedure)
        return 2;
    const std::filesystem::path packageFolder(arguments[1]);
    const auto lock = InstanceLock::acquire(packageFolder, arguments[1]);
    if (lock.isError())
        return lock.error().number();
    if (!lock.value())
        return 3;
    HostFileSystem host{packageFolder};
    if (const auto recovered = JournalRecovery(host).recover(); recovered.isError())
        return recovered.error().number();
    const ErrorOr<void> outcome = runAsAsked(host, *procedure, arguments);
    return outcome.isError() ? outcome.error().number() : 0;
}
