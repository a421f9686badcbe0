// crash_runner <package folder> <procedure> <game directory> <N>
// Runs one procedure on the real file system and dies by SIGKILL (TerminateProcess on Windows),
// as in a crash or a power cut, right after its Nth file operation has completed. Exits with 0 when
// the procedure finishes first, 1 when it fails, 2 when called wrongly.

#include "FaultyFileSystem.h"
#include "Procedure.h"
#include "runtime/HostFileSystem.h"

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

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> arguments = argumentsOf(argc, argv);
    const auto procedure = arguments.size() == 5 ? Procedure::named(arguments[2]) : std::nullopt;
    if (!procedure) {
        std::fputs("usage: crash_runner <package folder> <procedure> <game directory> <N>\n",
                   stderr);
        return 2;
    }
    HostFileSystem host{std::filesystem::path(arguments[1])};
    FaultyFileSystem dying(host, std::atoi(arguments[4].c_str()), Fault::Kill);
    const ErrorOr<void> outcome = procedure->run(dying, arguments[3]);
    if (!outcome.isError())
        return 0;
    std::fprintf(stderr, "%s\n", outcome.error().report().c_str());
    return 1;
}
