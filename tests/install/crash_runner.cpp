// crash_runner <package folder> <procedure> <game directory> <N>
// Runs one procedure on the real file system and dies by SIGKILL, as in a crash or a power cut,
// right after its Nth file operation has completed. Exits with 0 when the procedure finishes
// first, 1 when it fails, 2 when called wrongly.

#include "FaultyFileSystem.h"
#include "Procedure.h"
#include "runtime/HostFileSystem.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    const auto procedure = argc == 5 ? Procedure::named(argv[2]) : std::nullopt;
    if (!procedure) {
        std::fputs("usage: crash_runner <package folder> <procedure> <game directory> <N>\n",
                   stderr);
        return 2;
    }
    HostFileSystem host{std::filesystem::path(argv[1])};
    FaultyFileSystem dying(host, std::atoi(argv[4]), Fault::Kill);
    const ErrorOr<void> outcome = procedure->run(dying, argv[3]);
    if (!outcome.isError())
        return 0;
    std::fprintf(stderr, "%s\n", outcome.error().report().c_str());
    return 1;
}
