// fault_runner <package folder> <procedure> <game directory>
// Runs one procedure on the real file system with the system calls of SystemFaults.c counted
// from its first step on, and the one that BEXOM_FAULT_AT names made to fail. Exits with 0 when
// the procedure succeeds, 1 when it reports an error, 2 when called wrongly.

#include "Procedure.h"
#include "runtime/HostFileSystem.h"

#include <cstdio>

extern "C" void systemFaultsArm();
extern "C" void systemFaultsDisarm();

int main(int argc, char *argv[])
{
    const auto procedure = argc == 4 ? Procedure::named(argv[2]) : std::nullopt;
    if (!procedure) {
        std::fputs("usage: fault_runner <package folder> <procedure> <game directory>\n", stderr);
        return 2;
    }
    HostFileSystem host{std::filesystem::path(argv[1])};
    const std::string gameDirectory = argv[3];
    systemFaultsArm();
    const ErrorOr<void> outcome = procedure->run(host, gameDirectory);
    systemFaultsDisarm();
    if (!outcome.isError())
        return 0;
    std::fprintf(stderr, "%s\n", outcome.error().report().c_str());
    return 1;
}
