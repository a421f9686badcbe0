// Times both installations and both removals on scratch game folders with archives of 10 MB and
// 1 GB, beside `cp` and `sync` of the very bytes each procedure has to copy, and reports the peak
// memory; then the rate of SHA-256 with each engine this processor has, and of a file's digest;
// then the time the game finder takes to look through a Wine prefix the size of a player's.
// With "finder" after the scratch folder, only the last; with "10mb" or "1gb", only the rows of
// archives of that size; with "calls", one Aftermath installation and its removal of 10 MB archives
// (with "calls counterstrike", a Counterstrike one), between lines "install", "removal" and "end"
// written to the standard error, so that a trace of the system calls (`strace -f -o trace ...`)
// can be counted for each procedure alone.

#include "install/GameFinder.h"
#include "install/ModInstaller.h"
#include "runtime/HostFileSystem.h"
#include "runtime/ProcessorTime.h"
#include "runtime/Sha256.h"
#include "ui/ErrorWording.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t MiB = 1024 * 1024;
constexpr int Repetitions = 3;
// Longer than the installer's wait for a package file to settle, three seconds.
constexpr std::chrono::milliseconds PackageSettles{3200};

const std::vector<std::string> ModFiles = {"Rules.ini", "Aftrmath.ini", "MPlayer.ini", "Title.pcx",
                                           "SC-Vorda.mix"};

[[noreturn]] void fatal(const std::string &message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    std::exit(1);
}

void writeFileOfSize(const std::string &path, std::int64_t size)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        fatal("cannot write " + path);
    std::string block(MiB, '\0');
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 131 % 253);
    for (std::int64_t written = 0; written < size; written += MiB)
        file.write(block.data(), std::min<std::int64_t>(MiB, size - written));
}

struct Scenario
{
    const char *name;
    std::int64_t gameExpandSize;
    std::int64_t gameExpand2Size;
    std::int64_t packageExpand2Size;
};

struct Layout
{
    std::string package;
    std::string game;
};

Layout makeLayout(const std::string &root, const Scenario &scenario)
{
    const Layout layout{root + "/package", root + "/game"};
    fs::create_directories(layout.package);
    fs::create_directories(layout.game);
    writeFileOfSize(layout.game + "/EXPAND.MIX", scenario.gameExpandSize);
    writeFileOfSize(layout.game + "/EXPAND2.MIX", scenario.gameExpand2Size);
    writeFileOfSize(layout.package + "/Expand2.mix", scenario.packageExpand2Size);
    for (const std::string &name : ModFiles)
        writeFileOfSize(layout.package + "/" + name, 64 * 1024);
    std::ofstream(layout.package + "/Status.ini", std::ios::binary)
        << "Status=Uninstalled\r\nPath=\r\n";
    return layout;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Each measurement starts with no dirty data waiting to be written back, so that one run's
// writes do not slow down the next.
double secondsOf(const std::function<void()> &work)
{
    ::sync();
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double processorSeconds()
{
    return std::chrono::duration<double>(processorTimeUsed()).count();
}

// Runs cp as its own process and waits for it.
void cp(const std::string &source, const std::string &target)
{
    std::string arguments[] = {"cp", source, target};
    char *argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(), nullptr};
    pid_t process = 0;
    int status = 0;
    if (::posix_spawnp(&process, "cp", nullptr, nullptr, argv, environ) != 0 ||
        ::waitpid(process, &status, 0) != process)
        fatal("cannot run cp " + source);
}

// What the procedure copies, done by cp, one process per file as a player would, then made
// durable by sync: an installation is done only once its copies are on the disk.
double timeCp(const std::vector<std::string> &sources, const std::string &target)
{
    return secondsOf([&] {
        for (const std::string &source : sources)
            cp(source, target + "/" + fs::path(source).filename().string());
        ::sync();
    });
}

void checked(ErrorOr<void> result)
{
    if (result.isError())
        fatal(ErrorWording::report(result.error()));
}

std::string makeScratchFolder(const std::string &scratchRoot)
{
    std::string root = scratchRoot + "/bench-XXXXXX";
    if (!::mkdtemp(root.data()))
        fatal("cannot make a folder under " + scratchRoot);
    return root;
}

void run(const std::string &scratchRoot, const Scenario &scenario, Edition edition)
{
    const std::string root = makeScratchFolder(scratchRoot);
    const Layout layout = makeLayout(root, scenario);
    // As a player's package, unpacked well before the installer starts: a file written within the
    // last few seconds may still be written to, and its copy is read back for its digest.
    std::this_thread::sleep_for(PackageSettles);
    HostFileSystem fileSystem(layout.package);
    ModInstaller installer(fileSystem);
    const std::string gameDirectory = layout.game + "/";

    std::vector<std::string> copied{layout.package + "/Expand2.mix", layout.package + "/Rules.ini",
                                    layout.package + "/Title.pcx",
                                    layout.package + "/SC-Vorda.mix"};
    if (edition == Edition::Aftermath)
        copied.insert(copied.end(), {layout.game + "/EXPAND2.MIX", layout.package + "/Aftrmath.ini",
                                     layout.package + "/MPlayer.ini"});

    std::vector<double> installs, processors, removals, copies;
    for (int i = 0; i < Repetitions; ++i) {
        const double processorBefore = processorSeconds();
        installs.push_back(secondsOf([&] { checked(installer.install(edition, gameDirectory)); }));
        processors.push_back(processorSeconds() - processorBefore);
        removals.push_back(
            secondsOf([&] { checked(installer.uninstall(edition, gameDirectory)); }));
        const std::string target = root + "/cp-target";
        fs::create_directories(target);
        copies.push_back(timeCp(copied, target));
        fs::remove_all(target);
    }
    fs::remove_all(root);
    const double install = median(installs), removal = median(removals), cp = median(copies);
    std::printf("%-34s %-13s install %8.3f s (processor %7.3f s)  cp+sync %8.3f s  ratio %5.2f  "
                "removal %8.3f s\n",
                scenario.name, edition == Edition::Aftermath ? "Aftermath" : "Counterstrike",
                install, median(processors), cp, install / cp, removal);
    std::fflush(stdout);
}

void reportHashRates(const std::string &scratchRoot)
{
    constexpr std::int64_t Size = 1024 * MiB;
    const std::string block(MiB, 'x');
    for (const Sha256::Engine engine : {Sha256::Engine::Portable, Sha256::Engine::ShaExtensions}) {
        if (!Sha256::isAvailable(engine))
            continue;
        const double seconds = secondsOf([&] {
            Sha256 hash(engine);
            for (std::int64_t hashed = 0; hashed < Size; hashed += MiB)
                hash.update(block);
            (void)hash.finish();
        });
        std::printf("SHA-256, %-14s 1 GB in memory  %8.3f s  %7.0f MB/s\n",
                    engine == Sha256::Engine::Portable ? "portable" : "SHA extensions", seconds,
                    Size / MiB / seconds);
    }
    std::string root = scratchRoot + "/bench-XXXXXX";
    if (!::mkdtemp(root.data()))
        fatal("cannot make a scratch folder under " + scratchRoot);
    writeFileOfSize(root + "/Expand.mix", Size);
    HostFileSystem fileSystem(root);
    const double seconds = secondsOf([&] {
        if (fileSystem.digest("Expand.mix").isError())
            fatal("cannot digest the file");
    });
    fs::remove_all(root);
    std::printf("digest of a 1 GB file (cached)          %8.3f s  %7.0f MB/s\n", seconds,
                Size / MiB / seconds);
}

void writeFinderPrefix(const std::string &prefix)
{
    // A system.reg of a prefix with a few programs installed is about 3 MB, keys of the game's
    // installers amid them.
    std::ofstream registry(prefix + "/system.reg", std::ios::binary);
    registry << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    for (int key = 0; key < 30000; ++key) {
        registry
            << "\n[Software\\\\Wow6432Node\\\\Vendor" << key / 100 << "\\\\Program" << key
            << "] 1700000000\n#time=1d9e5a0b3c4d5e6\n\"InstallPath\"=\"C:\\\\Program Files\\\\P"
            << key << "\"\n";
        if (key == 15000)
            registry
                << "\n[Software\\\\Wow6432Node\\\\Westwood\\\\Red Alert Windows 95 "
                   "Edition] 1700000000\n\"InstallPath\"=\"C:\\\\Westwood\\\\RA\\\\RA95.EXE\"\n";
    }
    // Two drives with the usual shelves, each holding forty programs of thirty files.
    for (const std::string drive : {"c", "d"}) {
        const std::string root = prefix + "/drive_" + drive;
        for (const std::string shelf : {"Program Files", "Program Files (x86)", "Games"})
            for (int program = 0; program < 40; ++program)
                for (int file = 0; file < 30; ++file) {
                    const std::string folder = root + "/" + shelf + "/P" + std::to_string(program);
                    fs::create_directories(folder);
                    std::ofstream(folder + "/F" + std::to_string(file) + ".DLL");
                }
        fs::create_directories(prefix + "/dosdevices");
        fs::create_directory_symlink(root, prefix + "/dosdevices/" + drive + ":");
    }
    for (const std::string game : {"drive_c/Westwood/RA", "drive_d/Games/Red Alert"})
        for (const std::string name : {"RA95.EXE", "REDALERT.MIX", "MAIN.MIX", "EXPAND.MIX",
                                       "EXPAND2.MIX", "LOCAL.MIX", "SPEECH.MIX"}) {
            fs::create_directories(prefix + "/" + game);
            std::ofstream(prefix + "/" + game + "/" + name);
        }
}

void timeFinder(const std::string &root, const char *what, const LinuxHome &home);

void writeFile(const std::string &path, const std::string &bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A Wine prefix as Proton or Lutris makes it: a system.reg of 1.5 MB, and drive C with the
// folders Wine puts there ("Common Files", "Internet Explorer", "Windows NT" and the like) and a
// few of the player's, on both Program Files shelves.
void writeGamePrefix(const std::string &prefix)
{
    std::string registry = "WINE REGISTRY Version 2\n#arch=win64\n";
    for (int key = 0; key < 12000; ++key)
        registry += "\n[Software\\\\Wow6432Node\\\\Vendor" + std::to_string(key / 50) +
                    "\\\\Program" + std::to_string(key) +
                    "] 1700000000\n#time=1d9e5a0b3c4d5e6\n\"InstallPath\"=\"C:\\\\P\"\n";
    writeFile(prefix + "/system.reg", registry);
    for (const std::string shelf : {"Program Files", "Program Files (x86)"})
        for (int program = 0; program < 6; ++program)
            for (int part = 0; part < 2; ++part)
                writeFile(prefix + "/drive_c/" + shelf + "/P" + std::to_string(program) + "/S" +
                              std::to_string(part) + "/F.DLL",
                          {});
    for (const std::string folder :
         {"windows/system32", "users/steamuser/Documents", "ProgramData"})
        fs::create_directories(prefix + "/drive_c/" + folder);
}

// A busy player's home: Steam with three libraries of twenty games, forty Proton prefixes among
// them, Red Alert in one; five Lutris prefixes, one holding Red Alert.
void writeBusyHome(const std::string &home)
{
    const std::vector<std::string> libraries = {home + "/.local/share/Steam", home + "/Lib2",
                                                home + "/Lib3"};
    std::string list = "\"libraryfolders\"\n{\n";
    for (std::size_t index = 0; index < libraries.size(); ++index)
        list += "\"" + std::to_string(index) + "\" { \"path\" \"" + libraries[index] + "\" }\n";
    writeFile(libraries[0] + "/steamapps/libraryfolders.vdf", list + "}\n");
    fs::create_directories(home + "/.steam");
    fs::create_directory_symlink(libraries[0], home + "/.steam/root");
    fs::create_directory_symlink(libraries[0], home + "/.steam/steam");
    for (std::size_t index = 0; index < libraries.size(); ++index)
        for (int game = 0; game < 20; ++game)
            writeFile(libraries[index] + "/steamapps/common/Game" + std::to_string(game) + "/G.EXE",
                      {});
    for (int app = 0; app < 40; ++app)
        writeGamePrefix(libraries[app % 3] + "/steamapps/compatdata/" + std::to_string(1000 + app) +
                        "/pfx");
    writeFile(libraries[1] + "/steamapps/appmanifest_2229840.acf",
              "\"AppState\" { \"installdir\" \"Command & Conquer Red Alert\" }\n");
    for (int prefix = 0; prefix < 5; ++prefix) {
        writeGamePrefix(home + "/Games/game" + std::to_string(prefix));
        writeFile(home + "/.local/share/lutris/games/game" + std::to_string(prefix) + ".yml",
                  "game:\n  exe: x.exe\n  prefix: " + home + "/Games/game" +
                      std::to_string(prefix) + "\n");
    }
    for (const std::string &game : {libraries[1] + "/steamapps/common/Command & Conquer Red Alert",
                                    home + "/Games/game3/drive_c/Program Files/EA Games/Red Alert"})
        for (const std::string name : {"REDALERT.MIX", "EXPAND.MIX", "EXPAND2.MIX"})
            writeFile(game + "/" + name, {});
}

// The largest homes players have, each with Red Alert where it is found last: a Steam Deck's
// compatdata of 600 Proton prefixes, the game in the last, beyond the 256th and in none of the
// likely names; a ~/Games of 5,000 folders, the game unpacked in the last; a libraryfolders.vdf of
// 4 MB listing 89,000 libraries that are not there.
enum class LargeHome { ProtonPrefixes, GamesFolders, LibraryList };

void writeLargeHome(const std::string &home, LargeHome kind)
{
    const std::string steam = home + "/.local/share/Steam";
    std::string list = "\"libraryfolders\"\n{\n";
    for (int library = 0; kind == LargeHome::LibraryList && list.size() < 4 * MiB - 100; ++library)
        list += "\"" + std::to_string(library) + "\" { \"path\" \"/mnt/gone/L" +
                std::to_string(library) + "\" }\n";
    writeFile(steam + "/steamapps/libraryfolders.vdf", list + "}\n");
    std::string game;
    if (kind == LargeHome::ProtonPrefixes) {
        for (int app = 1000; app < 1600; ++app)
            fs::create_directories(steam + "/steamapps/compatdata/" + std::to_string(app) + "/pfx");
        writeGamePrefix(steam + "/steamapps/compatdata/1599/pfx");
        game = steam + "/steamapps/compatdata/1599/pfx/drive_c/Games/RA";
    }
    if (kind == LargeHome::GamesFolders) {
        for (int folder = 0; folder < 5000; ++folder)
            fs::create_directories(home + "/Games/g" + std::to_string(10000 + folder));
        game = home + "/Games/g14999";
    }
    for (const std::string name : {"REDALERT.MIX", "EXPAND.MIX", "EXPAND2.MIX"})
        if (!game.empty())
            writeFile(game + "/" + name, {});
}

void reportFinderTime(const std::string &scratchRoot)
{
    std::string root = scratchRoot + "/bench-XXXXXX";
    if (!::mkdtemp(root.data()))
        fatal("cannot make a scratch folder under " + scratchRoot);
    writeFinderPrefix(root);
    writeBusyHome(root + "/home");
    timeFinder(root, "3 MB system.reg, 2 drives of 120 folders", LinuxHome(root + "/nobody", {}));
    timeFinder(root, "and a busy home (3 Steam libraries, 40 Proton and 5 Lutris prefixes)",
               LinuxHome(root + "/home", {}));
    const struct
    {
        LargeHome kind;
        const char *what;
    } largeHomes[] = {
        {LargeHome::ProtonPrefixes,
         "and a Steam Deck's home (600 Proton prefixes, the game in the last)"},
        {LargeHome::GamesFolders, "and a ~/Games of 5,000 folders, the game in the last"},
        {LargeHome::LibraryList, "and a Steam list of 89,000 libraries in 4 MB"},
    };
    for (const auto &[kind, what] : largeHomes) {
        const std::string home = root + "/large" + std::to_string(static_cast<int>(kind));
        writeLargeHome(home, kind);
        timeFinder(root, what, LinuxHome(home, {}));
    }
    fs::remove_all(root);
}

void timeFinder(const std::string &root, const char *what, const LinuxHome &home)
{
    const char *former = std::getenv("WINEPREFIX");
    const std::string formerPrefix = former ? former : "";
    ::setenv("WINEPREFIX", root.c_str(), 1);
    HostFileSystem fileSystem(root);
    // The processor time beside the time on the clock: on a busy machine the clock counts the
    // other programs' turns too.
    std::vector<double> times, processorTimes;
    std::size_t found = 0;
    for (int run = 0; run < 21; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const double processorStart = processorSeconds();
        found = GameFinder(fileSystem, home).find().size();
        processorTimes.push_back(processorSeconds() - processorStart);
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    if (former)
        ::setenv("WINEPREFIX", formerPrefix.c_str(), 1);
    else
        ::unsetenv("WINEPREFIX");
    std::printf("game finder, %s: %zu found, median %.1f ms (processor %.1f ms), slowest %.1f ms\n",
                what, found, 1000 * median(times), 1000 * median(processorTimes),
                1000 * *std::max_element(times.begin(), times.end()));
}

// The marks written around each procedure, to cut a trace of system calls into parts.
void markTrace(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
}

void traceOnce(const std::string &scratchRoot, const Scenario &scenario, Edition edition)
{
    const std::string root = makeScratchFolder(scratchRoot);
    const Layout layout = makeLayout(root, scenario);
    std::this_thread::sleep_for(PackageSettles);
    HostFileSystem fileSystem(layout.package);
    ModInstaller installer(fileSystem);
    markTrace("install");
    checked(installer.install(edition, layout.game + "/"));
    markTrace("removal");
    checked(installer.uninstall(edition, layout.game + "/"));
    markTrace("end");
    fs::remove_all(root);
}

} // namespace

int main(int argc, char **argv)
{
    const std::string scratchRoot = argc > 1 ? argv[1] : fs::temp_directory_path().string();
    if (argc > 2 && std::string(argv[2]) == "finder") {
        reportFinderTime(scratchRoot);
        return 0;
    }
    const std::string mode = argc > 2 ? argv[2] : "";
    const Scenario small{"archives of 10 MB", 10 * MiB, 10 * MiB, 10 * MiB};
    if (mode == "calls") {
        const bool counterstrike = argc > 3 && std::string(argv[3]) == "counterstrike";
        traceOnce(scratchRoot, small, counterstrike ? Edition::Counterstrike : Edition::Aftermath);
        return 0;
    }
    const Scenario large{"archives of 1 GB", 1024 * MiB, 1024 * MiB, 1024 * MiB};
    std::vector<Scenario> scenarios = {small};
    if (mode == "1gb")
        scenarios = {large};
    else if (mode != "10mb")
        scenarios.insert(
            scenarios.end(),
            {large, {"Expand.mix of 1 GB, others 10 MB", 1024 * MiB, 10 * MiB, 10 * MiB}});
    std::printf("median of %d runs each, scratch folders under %s\n", Repetitions,
                scratchRoot.c_str());
    for (const Scenario &scenario : scenarios)
        for (const Edition edition : {Edition::Aftermath, Edition::Counterstrike})
            run(scratchRoot, scenario, edition);
    if (mode == "10mb" || mode == "1gb")
        return 0;
    reportHashRates(scratchRoot);
    reportFinderTime(scratchRoot);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory (resident): %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
