// crash_runner <package folder> <procedure> <game directory> <N> [hold]
// Starts as the installer does, holding the package folder's lock and recovering from a crash
// first, then runs one procedure on the real file system and dies by SIGKILL, as in a crash or a
// power cut, right after its Nth file operation has completed; with "hold", it waits there
// instead until a line comes on its input. Exits with 0 when the procedure finishes, 1 when it
// or the recovery fails, 2 when called wrongly, 3 when another process holds the lock.

#include "FaultyFileSystem.h"
#include "install/JournalRecovery.h"
#include "Procedure.h"
#include "runtime/HostFileSystem.h"
#include "runtime/InstanceLock.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

int failed(const RuntimeError &error)
{
    std::fprintf(stderr, "%s\n", error.report().c_str());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool holds = argc == 6 && std::string_view(argv[5]) == "hold";
    const auto procedure = argc == 5 || holds ? Procedure::named(argv[2]) : std::nullopt;
    if (!procedure) {
        std::fputs("usage: crash_runner <package folder> <procedure> <game directory> <N> [hold]\n",
                   stderr);
        return 2;
    }
    const std::filesystem::path packageFolder(argv[1]);
    const auto lock = InstanceLock::acquire(packageFolder, argv[1]);
    if (lock.isError())
        return failed(lock.error());
    if (!lock.value())
        return 3;
    HostFileSystem host{packageFolder};
    if (const ErrorOr<std::string> recovered = JournalRecovery(host).recover(); recovered.isError())
        return failed(recovered.error());
    FaultyFileSystem dying(host, std::atoi(argv[4]), holds ? Fault::Hold : Fault::Kill);
    const ErrorOr<void> outcome = procedure->run(dying, argv[3]);
    if (outcome.isError())
        return failed(outcome.error());
    return 0;
}
