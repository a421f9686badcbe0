#include "install/GameFinder.h"
#include "install/ModInstaller.h"
#include "InstallScratch.h"
#include "runtime/WineRegistryFile.h"
#include "TestOutcome.h"
#include "ui/ErrorWording.h"
#include "ui/FoundGameOffer.h"

#ifdef _WIN32
#include "runtime/WindowsText.h"

#include <windows.h>
#else
#include <fstream>

#include <sys/stat.h>
#endif

#include <cstdio>

using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

const std::string English = "SOFTWARE\\Westwood\\Red Alert Windows 95 Edition";
const std::string German = "SOFTWARE\\Westwood\\Alarmstufe Rot Windows 95 Edition";
const std::string French = "SOFTWARE\\Westwood\\Alerte Rouge version Windows 95";
const std::string Ultimate = "SOFTWARE\\EA Games\\Command and Conquer Red Alert";

// How a Wine prefix keeps the keys of 32-bit programs.
enum class Prefix { Win64, Win32 };

struct RegistryEntry
{
    std::string key;
    std::string name;
    // "%1" stands for the scratch folder as a Windows program names it.
    std::string value;
    RegistryView view = RegistryView::Bits32;
};

const std::string Steam = "SOFTWARE\\Valve\\Steam";
const std::string CnCNet = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                           "{73F3D3B5-4AC4-4D01-A65C-0A4B4D8723B5}_is1";

// A file of the scratch folder; "%H" in it stands for the home folder's Linux path.
struct ScratchFile
{
    std::string path;
    std::string bytes;
};
using Files = std::vector<ScratchFile>;

// Steam's list of libraries in today's form, or in the older one with numbers of its own.
enum class ListFormat { Blocks, Numbered };

ScratchFile libraryList(const std::string &steam, const Lines &libraries, ListFormat format)
{
    std::string text = format == ListFormat::Blocks
                           ? "\"libraryfolders\"\n{\n"
                           : "\"LibraryFolders\"\n{\n\"TimeNextStatsReport\" \"1\"\n";
    for (std::size_t index = 0; index < libraries.size(); ++index)
        text += format == ListFormat::Blocks
                    ? "\"" + std::to_string(index) + "\" { \"path\" \"" + libraries[index] +
                          "\" \"apps\" { \"2229840\" \"1\" } }\n"
                    : "\"" + std::to_string(index + 1) + "\" \"" + libraries[index] + "\"\n";
    return {steam + "/steamapps/libraryfolders.vdf", text + "}\n"};
}

ScratchFile steamManifest(const std::string &library, const std::string &installDir)
{
    return {library + "/steamapps/appmanifest_2229840.acf",
            "\"AppState\"\n{\n\t\"appid\"\t\"2229840\"\n\t\"installdir\"\t\"" + installDir +
                "\"\n}\n"};
}

// A Steam Deck's compatdata: a prefix for each of 600 games played, each with its registry.
Files compatData(const std::string &library)
{
    Files files;
    for (int app = 1000; app < 1600; ++app)
        files.push_back(
            {library + "/steamapps/compatdata/" + std::to_string(app) + "/pfx/system.reg",
             "WINE REGISTRY Version 2\n"});
    return files;
}

// A game folder in the scratch folder: its path there, whether it has Aftermath (Expand2.mix),
// and the other files it holds, named in upper case as the CD has them unless a row says else.
struct GameFiles
{
    std::string folder;
    Edition edition = Edition::Aftermath;
    Lines files = {"RA95.EXE", "REDALERT.MIX", "EXPAND.MIX"};
};

void createGame(const ScratchFolder &scratch, const GameFiles &game)
{
    for (const std::string &name : game.files)
        scratch.createFile(game.folder + '/' + name, name);
    if (game.edition == Edition::Aftermath)
        scratch.createFile(game.folder + "/Expand2.mix", "Expand2.mix");
}

// Backslashes and quotes escaped as Wine escapes them. Characters beyond ASCII stay in UTF-8, as
// an editor leaves them; the reader's own table tries Wine's \x escapes.
std::string escaped(const std::string &text)
{
    return Text::replaceAll(Text::replaceAll(text, "\\", "\\\\"), "\"", "\\\"");
}

std::string systemReg(const std::vector<RegistryEntry> &entries, Prefix prefix)
{
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";
    text += prefix == Prefix::Win64 ? "#arch=win64\n" : "#arch=win32\n";
    for (const RegistryEntry &entry : entries) {
        const std::string key = prefix == Prefix::Win64 && entry.view == RegistryView::Bits32
                                    ? "Software\\Wow6432Node" + entry.key.substr(8)
                                    : "Software" + entry.key.substr(8);
        text += "\n[" + escaped(key) + "] 1700000000\n#time=1d9e5a0b3c4d5e6\n\"" +
                escaped(entry.name) + "\"=\"" + escaped(Text::replaceAll(entry.value, "%1", "C:")) +
                "\"\n";
    }
    return text;
}

#ifdef _WIN32
std::string windowsPath(const ScratchFolder &scratch)
{
    return scratch.path();
}

bool runsUnderWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Written as the game's 32-bit installers wrote them, in the 32-bit view. reg.exe would do the
// same, but a process started for each key makes the rows slow under Wine.
void writeValue(const RegistryEntry &entry, const std::string &value)
{
    HKEY key = nullptr;
    REQUIRE(
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, WindowsText::toWide(entry.key).c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE | (entry.view == RegistryView::Bits32 ? KEY_WOW64_32KEY
                                                                              : KEY_WOW64_64KEY),
                          nullptr, &key, nullptr) == ERROR_SUCCESS);
    const std::wstring text = WindowsText::toWide(value);
    const LSTATUS status =
        ::RegSetValueExW(key, WindowsText::toWide(entry.name).c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE *>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    REQUIRE(status == ERROR_SUCCESS);
}

void deleteTree(const std::string &name)
{
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY key = nullptr;
        const std::wstring wide = WindowsText::toWide(name);
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide.c_str(), 0, KEY_ALL_ACCESS | view, &key) !=
            ERROR_SUCCESS)
            continue;
        ::RegDeleteTreeW(key, nullptr);
        ::RegCloseKey(key);
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, wide.c_str(), view, 0);
    }
}

// The keys go into the registry of the scratch prefix that every run under Wine has, and are
// deleted again when the row is done.
class ScratchRegistry final
{
public:
    ScratchRegistry(const std::vector<RegistryEntry> &entries, Prefix, const ScratchFolder &scratch)
    {
        for (const RegistryEntry &entry : entries)
            writeValue(entry, Text::replaceAll(entry.value, "%1", windowsPath(scratch)));
    }
    ~ScratchRegistry()
    {
        for (const std::string &key : {"SOFTWARE\\Westwood"s, "SOFTWARE\\EA Games"s, Steam, CnCNet})
            deleteTree(key);
    }
};
#else
// Drive C of the scratch prefix is the scratch folder itself.
std::string windowsPath(const ScratchFolder &)
{
    return "C:";
}

bool runsUnderWine()
{
    return true;
}

void writeSystemReg(const std::string &bytes)
{
    std::ofstream(std::string(std::getenv("WINEPREFIX")) + "/system.reg", std::ios::binary)
        << bytes;
}

// system.reg of the scratch prefix that InstallScratch made the process's.
class ScratchRegistry final
{
public:
    ScratchRegistry(const std::vector<RegistryEntry> &entries, Prefix prefix, const ScratchFolder &)
    {
        writeSystemReg(systemReg(entries, prefix));
    }
};
#endif

// The folders found, the scratch folder as "%1" and the home folder, through Wine's drive on
// Windows, as "%H/" with forward slashes.
Lines found(FileSystem &fileSystem, const std::string &root, std::chrono::milliseconds searchTime)
{
    const std::optional<LinuxHome> home = LinuxHome::ofThisProcess();
    Lines lines;
    for (const FoundGame &game : GameFinder(fileSystem, home, searchTime).find()) {
        std::string line = game.directory;
        if (home && line.starts_with(home->folder()))
            line = Text::replaceAll("%H/" + line.substr(home->folder().size()), "\\", "/");
        lines.push_back(Text::replaceAll(line, root, "%1") +
                        (game.edition == Edition::Aftermath ? " Aftermath" : " Counterstrike"));
    }
    return lines;
}

// "(fifo)" makes a named pipe, "(loop)" a link to itself, where the system has them.
void createFile(const ScratchFolder &scratch, const std::string &path, const std::string &bytes)
{
#ifndef _WIN32
    std::filesystem::create_directories(std::filesystem::path(scratch.at(path)).parent_path());
    if (bytes == "(fifo)")
        REQUIRE(::mkfifo(scratch.at(path).c_str(), 0600) == 0);
    if (bytes == "(loop)")
        std::filesystem::create_directory_symlink(scratch.at(path), scratch.at(path));
    if (bytes == "(fifo)" || bytes == "(loop)")
        return;
#endif
    scratch.createFile(path,
                       Text::replaceAll(bytes, "%H", LinuxHome::ofThisProcess()->hostFolder()));
}

} // namespace

TEST_CASE("wineRegistryFileGivesStringValuesAndNothingFromDamage")
{
    const std::string header = "WINE REGISTRY Version 2\n\n#arch=win64\n\n";
    const std::string key = "[Software\\\\Wow6432Node\\\\Westwood\\\\Red Alert Windows 95 Edition] "
                            "1700000000\n#time=1d9e5a0b3c4d5e6\n";
    const std::string value = "\"InstallPath\"=\"C:\\\\Westwood\\\\RA\\\\RA95.EXE\"\n";
    const std::string path = "C:\\Westwood\\RA\\RA95.EXE";
    const struct
    {
        const char *name;
        std::string text;
        std::optional<std::string> expected;
    } rows[] = {
        {"64-bit layout", header + key + value, path},
        {"CR LF line ends", Text::replaceAll(header + key + value, "\n", "\r\n"), path},
        {"key and name in other letter cases",
         header + Text::toUpperAscii(key) + "\"installpath\"=\"C:\\\\RA\\\\RA95.EXE\"\n",
         "C:\\RA\\RA95.EXE"},
        {"non-ASCII, short and long escapes",
         header + key + "\"InstallPath\"=\"C:\\\\Jeux\\\\\\xc9t\\xe9\\x2013\\xd83c\\xdfae\"\n",
         "C:\\Jeux\\Été–🎮"},
        {"lone surrogate", header + key + "\"InstallPath\"=\"C:\\\\\\xd83cA\"\n", "C:\\\uFFFDA"},
        {"quote, octal and C escapes", header + key + "\"InstallPath\"=\"a\\\"b\\101\\t\"\n",
         "a\"bA\t"},
        {"expandable string", header + key + "\"InstallPath\"=str(2):\"C:\\\\RA\"\n", "C:\\RA"},
        {"value under another key", header + "[Software\\\\Westwood] 1\n" + value, std::nullopt},
        {"the key's name only begins alike",
         header + Text::replaceAll(key, "Edition]", "Edition Extra]") + value, std::nullopt},
        {"a number, not a string", header + key + "\"InstallPath\"=dword:00000001\n", std::nullopt},
        {"cut short in the value", (header + key + value).substr(0, (header + key).size() + 30),
         std::nullopt},
        {"no closing quote", header + key + "\"InstallPath\"=\"C:\\\\RA\n\"Other\"=\"x\"\n",
         std::nullopt},
        {"backslash at the end of the file", header + key + "\"InstallPath\"=\"C:\\", std::nullopt},
        {"key with no closing bracket", header + "[Software\\\\Wow6432Node\n" + value,
         std::nullopt},
        {"huge line before the key",
         header + std::string(8 * 1024 * 1024, '"') + "\n" + key + value, path},
        {"huge line as the value",
         header + key + "\"InstallPath\"=\"" + std::string(4 * 1024 * 1024, 'x'), std::nullopt},
        {"binary junk", "\x00\xff\\[\"\\\n"s + key + value, path},
        {"empty file", "", std::nullopt},
    };
    for (const auto &[name, text, expected] : rows) {
        CAPTURE(name);
        const auto values = WineRegistryFile(text).stringValues(
            {{"Software\\Wow6432Node\\Westwood\\Red Alert Windows 95 Edition", "InstallPath"},
             {"Software\\Wow6432Node\\Westwood\\Red Alert Windows 95 Edition", "Missing"}});

        REQUIRE(values.size() == 2);
        CHECK(values[0] == expected);
        CHECK(!values[1]);
    }
}

TEST_CASE("finderListsEachInstallationOnce")
{
    if (!runsUnderWine()) {
        MESSAGE("Skipped: the registry written here would be this machine's own.");
        return;
    }
    struct Row
    {
        const char *name;
        std::vector<GameFiles> games;
        std::vector<RegistryEntry> registry;
        Lines expected;
        Prefix prefix = Prefix::Win64;
        Files files = {};
        std::chrono::milliseconds searchTime = std::chrono::seconds(20);
    };
    const GameFiles counterstrike{"Westwood/RA", Edition::Counterstrike};
    const Lines lowerCase{"ra95.exe", "redalert.mix", "expand.mix"};
    const std::string exe = "\\RA95.EXE";
    const Lines cncnet{"ra95.dat", "redalert.mix", "expand.mix"};
    const std::string localSteam = "home/.local/share/Steam";
    const std::string flatpakSteam = "home/.var/app/com.valvesoftware.Steam/data/Steam";
    const std::string proton = localSteam + "/steamapps/compatdata/2229840/pfx";
    const std::vector<Row> rows = {
        {"nothing installed", {}, {}, {}},
        {"English CD, 64-bit prefix",
         {counterstrike},
         {{English, "InstallPath", "%1\\Westwood\\RA" + exe}},
         {"%1\\Westwood\\RA\\ Counterstrike"}},
        {"German CD, 32-bit prefix",
         {{"Spiele/Alarmstufe Rot"}},
         {{German, "InstallPath", "%1\\Spiele\\Alarmstufe Rot" + exe}},
         {"%1\\Spiele\\Alarmstufe Rot\\ Aftermath"},
         Prefix::Win32},
        {"French CD, non-ASCII path, names in lower case",
         {{"Jeux/Alerte Rouge – Édition", Edition::Aftermath, lowerCase}},
         {{French, "InstallPath", "%1\\Jeux\\Alerte Rouge – Édition\\ra95.exe"}},
         {"%1\\Jeux\\Alerte Rouge – Édition\\ Aftermath"}},
        {"The Ultimate Collection names the folder",
         {{"Origin/Red Alert", Edition::Counterstrike}},
         {{Ultimate, "Install Dir", "%1\\Origin\\Red Alert"}},
         {"%1\\Origin\\Red Alert\\ Counterstrike"}},
        {"two keys name one folder",
         {{"CnC/RA"}},
         {{English, "InstallPath", "%1\\CnC\\RA" + exe},
          {Ultimate, "Install Dir", "%1\\cnc\\ra\\"}},
         {"%1\\CnC\\RA\\ Aftermath"}},
        {"folder gone", {}, {{English, "InstallPath", "%1\\Gone" + exe}}, {}},
        {"no REDALERT.MIX",
         {{"Demo", Edition::Aftermath, {"RA95.EXE", "EXPAND.MIX"}}},
         {{English, "InstallPath", "%1\\Demo" + exe}},
         {}},
        {"no expansion",
         {{"Plain", Edition::Counterstrike, {"RA95.EXE", "REDALERT.MIX"}}},
         {{English, "InstallPath", "%1\\Plain" + exe}},
         {}},
        {"relative path", {}, {{English, "InstallPath", "Westwood\\RA" + exe}}, {}},
        {"no program, names as CnCNet spells them",
         {{"CnCNet", Edition::Counterstrike, {"ra95.dat", "redalert.mix", "expand.mix"}}},
         {{English, "InstallPath", "%1\\CnCNet\\"}},
         {"%1\\CnCNet\\ Counterstrike"}},
        {"BEXOM already there",
         {{"Done", Edition::Aftermath, {"REDALERT.MIX", "EXPAND.MIX", "BEXOMv2/Expand.mix"}}},
         {{English, "InstallPath", "%1\\Done" + exe}},
         {}},
        {"Steam's registry key, its library's manifest",
         {{"Steam/steamapps/common/Command & Conquer Red Alert"}},
         {{Steam, "InstallPath", "%1\\Steam"}},
         {"%1\\Steam\\steamapps\\common\\Command & Conquer Red Alert\\ Aftermath"},
         Prefix::Win64,
         {steamManifest("Steam", "Command & Conquer Red Alert")}},
        {"CnCNet's key in the 64-bit view, the EA app's too",
         {{"CnC/Red Alert", Edition::Counterstrike, cncnet}, {"EA/RA"}},
         {{CnCNet, "InstallLocation", "%1\\CnC\\Red Alert", RegistryView::Bits64},
          {Ultimate, "Install Dir", "%1\\EA\\RA", RegistryView::Bits64}},
         {"%1\\EA\\RA\\ Aftermath", "%1\\CnC\\Red Alert\\ Counterstrike"}},
        {"Steam on Linux with a second library elsewhere",
         {{localSteam + "/steamapps/common/Command & Conquer Red Alert"},
          {"home/mnt/Lib/steamapps/common/RA", Edition::Counterstrike}},
         {},
         {"%H/.local/share/Steam/steamapps/common/Command & Conquer Red Alert/ Aftermath",
          "%H/mnt/Lib/steamapps/common/RA/ Counterstrike"},
         Prefix::Win64,
         {libraryList(localSteam, {"%H/.local/share/Steam", "%H/mnt/Lib"}, ListFormat::Blocks),
          steamManifest(localSteam, "Command & Conquer Red Alert"),
          steamManifest("home/mnt/Lib", "RA")}},
        {"Flatpak Steam, an older list, a manifest naming a folder that is gone",
         {{"home/Lib2/steamapps/common/Red Alert"}},
         {},
         {"%H/Lib2/steamapps/common/Red Alert/ Aftermath"},
         Prefix::Win64,
         {libraryList(flatpakSteam, {"%H/Lib2"}, ListFormat::Numbered),
          steamManifest(flatpakSteam, "Gone"), steamManifest("home/Lib2", "Red Alert")}},
        {"Proton prefix holding CnCNet, named by its key in lower case",
         {{proton + "/drive_c/users/steamuser/CnCNet/RA", Edition::Counterstrike, cncnet}},
         {},
         {"%H/.local/share/Steam/steamapps/compatdata/2229840/pfx/drive_c/users/steamuser/CnCNet/"
          "RA/ Counterstrike"},
         Prefix::Win64,
         {{proton + "/system.reg",
           systemReg({{CnCNet, "InstallLocation", "c:\\users\\steamuser\\cncnet\\ra",
                       RegistryView::Bits64}},
                     Prefix::Win64)}}},
        {"Lutris: ~/Games, a prefix elsewhere, one named twice",
         {{"home/Games/red-alert/drive_c/Westwood/RA"},
          {"home/wine/ra/drive_c/Program Files (x86)/EA Games/Red Alert", Edition::Counterstrike}},
         {},
         {"%H/Games/red-alert/drive_c/Westwood/RA/ Aftermath",
          "%H/wine/ra/drive_c/Program Files (x86)/EA Games/Red Alert/ Counterstrike"},
         Prefix::Win64,
         {{"home/.config/lutris/games/ra.yml", "game:\n  exe: x\n  prefix: %H/wine/ra\n"},
          {"home/.local/share/lutris/games/b.yml", "game:\n  prefix: '%H/Games/red-alert'\n"}}},
        {"Lutris: a game outside any prefix, named by its program or its folder",
         {{"home/Apps/RA", Edition::Counterstrike}, {"home/Apps/RA2"}},
         {},
         {"%H/Apps/RA2/ Aftermath", "%H/Apps/RA/ Counterstrike"},
         Prefix::Win64,
         {{"home/.config/lutris/games/ra.yml", "game:\n  exe: %H/Apps/RA/RA95.exe\n"},
          {"home/.config/lutris/games/b.yml", "game:\n  working_dir: \"%H/Apps/RA2\"\n"}}},
        {"Bottles' own folder for its bottles; a plain folder in ~/Games",
         {{"home/Bottles/RA/drive_c/Games/RA"}, {"home/Games/RedAlert", Edition::Counterstrike}},
         {},
         {"%H/Games/RedAlert/ Counterstrike", "%H/Bottles/RA/drive_c/Games/RA/ Aftermath"},
         Prefix::Win64,
         {{"home/.local/share/bottles/data.yml", "custom_bottles_path: %H/Bottles\n"}}},
        {"a second Steam library listed only in config",
         {{"home/Lib9/steamapps/common/RA"}},
         {},
         {"%H/Lib9/steamapps/common/RA/ Aftermath"},
         Prefix::Win64,
         {{localSteam + "/config/libraryfolders.vdf",
           libraryList(localSteam, {"%H/Lib9"}, ListFormat::Blocks).bytes},
          steamManifest("home/Lib9", "RA")}},
        {"600 Proton prefixes, the game in the last",
         {{localSteam + "/steamapps/compatdata/1599/pfx/drive_c/Games/RA"}},
         {},
         {"%H/.local/share/Steam/steamapps/compatdata/1599/pfx/drive_c/Games/RA/ Aftermath"},
         Prefix::Win64,
         compatData(localSteam)},
        {"no time to look",
         {counterstrike},
         {{English, "InstallPath", "%1\\Westwood\\RA" + exe}},
         {},
         Prefix::Win64,
         {},
         std::chrono::milliseconds(0)},
        {"Bottles and PlayOnLinux",
         {{"home/.var/app/com.usebottles.bottles/data/bottles/bottles/RA/drive_c/Games/RA"},
          {"home/.PlayOnLinux/wineprefix/RA/drive_c/RA", Edition::Counterstrike}},
         {},
         {"%H/.var/app/com.usebottles.bottles/data/bottles/bottles/RA/drive_c/Games/RA/ Aftermath",
          "%H/.PlayOnLinux/wineprefix/RA/drive_c/RA/ Counterstrike"},
         Prefix::Win64,
         {{"home/.config/lutris/games/b.yml", std::string(3 << 20, 'x') + "\0\xff prefix: /"s}}},
        {"damaged, huge, binary lists, a pipe and a link loop",
         {},
         {},
         {},
         Prefix::Win64,
         {{localSteam + "/steamapps/libraryfolders.vdf",
           "\"libraryfolders\" { \"0\" { \"path\" \"%H/.local/share/Steam"},
          {localSteam + "/steamapps/appmanifest_2229840.acf", std::string(1 << 20, '{') + "\xff"},
          {flatpakSteam + "/steamapps/libraryfolders.vdf", "(fifo)"},
          {localSteam + "/steamapps/compatdata/1/pfx", "(loop)"},
          {"home/Games/x/drive_c/Games", "(loop)"}}},
#ifndef _WIN32
        // Drive C of the scratch prefix is the scratch folder, so its shelves are made there.
        {"Games folder in upper case",
         {{"GAMES/RED ALERT"}},
         {},
         {"%1\\GAMES\\RED ALERT\\ Aftermath"}},
        {"The First Decade, without its registry value",
         {{"Program Files/EA Games/Command & Conquer The First Decade/Command & Conquer Red "
           "Alert(tm)"}},
         {},
         {"%1\\Program Files\\EA Games\\Command & Conquer The First Decade\\Command & "
          "Conquer Red Alert(tm)\\ Aftermath"}},
        {"Program Files (x86) in lower case, files too",
         {{"program files (x86)/RA", Edition::Counterstrike, lowerCase}},
         {},
         {"%1\\program files (x86)\\RA\\ Counterstrike"}},
        {"recorded and on a shelf: once, in the drive's letter case",
         {counterstrike},
         {{English, "InstallPath", "c:\\WESTWOOD\\ra" + exe}},
         {"%1\\Westwood\\RA\\ Counterstrike"}},
        {"drive root and several shelves, sorted",
         {{"RA"}, {"Games/TD", Edition::Aftermath, {"C&C95.EXE"}}, {"Games/B"}, {"Games/A"}},
         {},
         {"%1\\RA\\ Aftermath", "%1\\Games\\A\\ Aftermath", "%1\\Games\\B\\ Aftermath"}},
#else
        // Drive C is the one of the scratch prefix that the run under Wine has; the game made
        // there is removed when the row is done.
        {"Games folder of drive C",
         {{"C:/Games/BEXOM test", Edition::Counterstrike, lowerCase}},
         {},
         {"C:\\Games\\BEXOM test\\ Counterstrike"}},
#endif
    };
    for (const Row &row : rows)
        SUBCASE(row.name)
        {
            InstallScratch scratch;
            for (const GameFiles &game : row.games)
                createGame(scratch.scratch(), game);
            for (const auto &[path, bytes] : row.files)
                createFile(scratch.scratch(), path, bytes);
            const ScratchRegistry registry(row.registry, row.prefix, scratch.scratch());

            CHECK(found(scratch.fileSystem(), windowsPath(scratch.scratch()), row.searchTime) ==
                  row.expected);
            for (const GameFiles &game : row.games)
                if (std::filesystem::path(game.folder).is_absolute())
                    std::filesystem::remove_all(std::filesystem::path(game.folder).parent_path());
        }
}

TEST_CASE("refusalSaysWhereTheGameWasFound")
{
    if (!runsUnderWine()) {
        MESSAGE("Skipped: the registry written here would be this machine's own.");
        return;
    }
    // Where the process has no Wine prefix at all, only the home holds a game: Lutris'.
    enum class Wine { ScratchPrefix, NoPrefix };
    struct Row
    {
        const char *name;
        Edition edition;
        // Relative to the scratch folder, unless it starts with a drive.
        std::string directory;
        Lines changes;
        std::string cause;
        // The folder the player is offered to use instead; none where empty.
        std::string offered = {};
        Wine wine = Wine::ScratchPrefix;
    };
    const std::string missing = "The game folder does not exist.";
    const std::string noExpand =
        "There is no Expand.mix in this folder, so it is not the folder of Red Alert with an "
        "expansion.";
    const std::string noExpand2 =
        "There is no Expand2.mix in this folder, so Aftermath is not installed there. For a game "
        "without Aftermath, choose the Counterstrike option.";
    const std::string foundIn = "\nRed Alert was found in:\n";
    const std::string aftermath = "%1\\Games\\RA\\ (with Aftermath: choose the Aftermath option)";
    const std::string counterstrikeOnly =
        "%1\\Westwood\\CS\\ (with Counterstrike only: choose the Counterstrike option)";
    const std::string bothFound = foundIn + counterstrikeOnly + "\n" + aftermath;
    const Row rows[] = {
        {"missing folder, Aftermath chosen: its games first",
         Edition::Aftermath,
         "WESTWOOD\\REDALERT\\",
         {},
         missing + foundIn + aftermath + "\n" + counterstrikeOnly,
         "%1\\Games\\RA\\"},
        {"missing folder, Counterstrike chosen",
         Edition::Counterstrike,
         "WESTWOOD\\REDALERT\\",
         {},
         missing + bothFound,
         "%1\\Westwood\\CS\\"},
        {"no Expand.mix",
         Edition::Counterstrike,
         "game\\",
         {"game/Expand.mix"},
         noExpand + bothFound,
         "%1\\Westwood\\CS\\"},
        {"Aftermath chosen for the Counterstrike game found",
         Edition::Aftermath,
         "Westwood\\CS\\",
         {},
         noExpand2 + foundIn + aftermath,
         "%1\\Games\\RA\\"},
        {"Aftermath chosen, only a Counterstrike game found: nothing offered",
         Edition::Aftermath,
         "WESTWOOD\\REDALERT\\",
         {"Games"},
         missing + foundIn + counterstrikeOnly},
        {"nothing found",
         Edition::Aftermath,
         "WESTWOOD\\REDALERT\\",
         {"Westwood", "Games"},
         missing},
        {"not a wrong folder",
         Edition::Aftermath,
         "game\\",
         {"package/Rules.ini"},
         "The BEXOM package is incomplete: Rules.ini must stand in the folder the installer was "
         "started from, %package."},
#ifndef _WIN32
        {"drive not mapped in the prefix",
         Edition::Counterstrike,
         "Q:\\WESTWOOD\\REDALERT\\",
         {},
         "Drive Q: is not mapped in the Wine prefix %prefix." + bothFound,
         "%1\\Westwood\\CS\\"},
        {"no ~/.wine, no WINEPREFIX",
         Edition::Aftermath,
         "C:\\WESTWOOD\\REDALERT\\",
         {},
         "Drive C: is not mapped in the Wine prefix %home/.wine." + foundIn +
             "%home/Games/ra/drive_c/Westwood/RA/ (with Aftermath: choose the Aftermath option)",
         "%home/Games/ra/drive_c/Westwood/RA/",
         Wine::NoPrefix},
#endif
    };
    for (const Row &row : rows)
        SUBCASE(row.name)
        {
            InstallScratch scratch;
            const ScratchFolder &files = scratch.scratch();
            createGame(files, {"Westwood/CS", Edition::Counterstrike});
            createGame(files, {"Games/RA"});
            const std::string root = windowsPath(files);
            const ScratchRegistry registry({{English, "InstallPath", "%1\\Westwood\\CS\\RA95.EXE"},
                                            {Ultimate, "Install Dir", "%1\\Games\\RA"}},
                                           Prefix::Win64, files);
            for (const std::string &change : row.changes)
                std::filesystem::remove_all(files.at(change));
            std::optional<ScopedEnvironmentVariable> noPrefix;
            if (row.wine == Wine::NoPrefix) {
                noPrefix.emplace("WINEPREFIX", std::nullopt);
                createGame(files, {"home/Games/ra/drive_c/Westwood/RA"});
            }

            const auto outcome =
                ModInstaller(scratch.fileSystem())
                    .install(row.edition,
                             row.directory[1] == ':' ? row.directory : root + '\\' + row.directory);

            REQUIRE(outcome.isError());
            const auto located = [&](const std::string &text) {
                std::string placed = Text::replaceAll(text, "%package", files.at("package"));
                placed = Text::replaceAll(placed, "%prefix", files.at("prefix"));
                return Text::replaceAll(Text::replaceAll(placed, "%home", files.at("home")), "%1",
                                        root);
            };
            CHECK(ErrorWording::cause(outcome.error()) == located(row.cause));
            CHECK(FoundGameOffer::folderFor(outcome.error()).value_or("") == located(row.offered));
        }
}
