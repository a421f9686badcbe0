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
#endif

#include <cstdio>
#include <map>

using namespace std::string_literals;
using Lines = std::vector<std::string>;

namespace {

// The keys the game's installers, Steam and CnCNet write, as the layouts below name them.
const std::map<std::string, std::string> Keys = {
    {"English", "SOFTWARE\\Westwood\\Red Alert Windows 95 Edition"},
    {"German", "SOFTWARE\\Westwood\\Alarmstufe Rot Windows 95 Edition"},
    {"French", "SOFTWARE\\Westwood\\Alerte Rouge version Windows 95"},
    {"Ultimate", "SOFTWARE\\EA Games\\Command and Conquer Red Alert"},
    {"Steam", "SOFTWARE\\Valve\\Steam"},
    {"CnCNet", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
               "{73F3D3B5-4AC4-4D01-A65C-0A4B4D8723B5}_is1"},
};

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

// Games, other files and registry values for the finder to meet, one line for each:
// - "AM folder", "CS folder": Red Alert with Aftermath, or with Counterstrike only, its files
//   named in upper case as the CD has them; "am folder", "cs folder": in lower case, with the
//   program as CnCNet names it.
// - "Key name=value": a value under one of the Keys, "Key64" for the 64-bit view.
// - "path=bytes" or "path" (an empty file): "%H" in the bytes is the home folder's Linux path;
//   "(fifo)" makes a named pipe, "(loop)" a link to itself, where the system has them.
// - "32-bit prefix" keeps the values as a 32-bit prefix does, "no time" gives the finder none.
struct Layout
{
    Lines files; // as ScratchFolder::change takes them
    std::vector<RegistryEntry> registry;
    Prefix prefix = Prefix::Win64;
    std::chrono::milliseconds searchTime = std::chrono::seconds(20);
};

Layout layoutOf(const Lines &lines)
{
    Layout layout;
    for (const std::string &line : lines) {
        const std::string first = line.substr(0, line.find(' '));
        const bool lowerCase = first == "am" || first == "cs";
        const std::size_t equals = line.find('=');
        const std::string key = first.ends_with("64") ? first.substr(0, first.size() - 2) : first;
        if (line == "32-bit prefix")
            layout.prefix = Prefix::Win32;
        else if (line == "no time")
            layout.searchTime = std::chrono::milliseconds(0);
        else if (first == "AM" || first == "CS" || lowerCase) {
            for (const std::string &name : lowerCase
                                               ? Lines{"ra95.dat", "redalert.mix", "expand.mix"}
                                               : Lines{"RA95.EXE", "REDALERT.MIX", "EXPAND.MIX"})
                layout.files.push_back('+' + line.substr(3) + '/' + name);
            if (first == "AM" || first == "am")
                layout.files.push_back('+' + line.substr(3) + "/Expand2.mix");
        } else if (Keys.contains(key))
            layout.registry.push_back({Keys.at(key),
                                       line.substr(first.size() + 1, equals - first.size() - 1),
                                       line.substr(equals + 1),
                                       key == first ? RegistryView::Bits32 : RegistryView::Bits64});
#ifndef _WIN32
        else if (line.ends_with("=(fifo)"))
            layout.files.push_back('|' + line.substr(0, equals));
        else if (line.ends_with("=(loop)"))
            layout.files.push_back(
                '@' + line.substr(0, equals) + '>' +
                std::filesystem::path(line.substr(0, equals)).filename().string());
#endif
        else
            layout.files.push_back('+' + line);
    }
    return layout;
}

// Steam's list of libraries in today's form, or in the older one with numbers of its own.
enum class ListFormat { Blocks, Numbered };

std::string libraryList(const std::string &file, const Lines &libraries, ListFormat format)
{
    std::string text = format == ListFormat::Blocks
                           ? "\"libraryfolders\"\n{\n"
                           : "\"LibraryFolders\"\n{\n\"TimeNextStatsReport\" \"1\"\n";
    for (std::size_t index = 0; index < libraries.size(); ++index)
        text += format == ListFormat::Blocks
                    ? "\"" + std::to_string(index) + "\" { \"path\" \"" + libraries[index] +
                          "\" \"apps\" { \"2229840\" \"1\" } }\n"
                    : "\"" + std::to_string(index + 1) + "\" \"" + libraries[index] + "\"\n";
    return file + '=' + text + "}\n";
}

std::string steamManifest(const std::string &library, const std::string &installDir)
{
    return library +
           "/steamapps/appmanifest_2229840.acf=\"AppState\"\n{\n\t\"appid\"\t\"2229840\"\n"
           "\t\"installdir\"\t\"" +
           installDir + "\"\n}\n";
}

// A Steam Deck's compatdata: a prefix for each of 600 games played, each with its registry; the
// game in the last.
Lines compatData(const std::string &library)
{
    Lines lines{"AM " + library + "/steamapps/compatdata/1599/pfx/drive_c/Games/RA"};
    for (int app = 1000; app < 1600; ++app)
        lines.push_back(library + "/steamapps/compatdata/" + std::to_string(app) +
                        "/pfx/system.reg=WINE REGISTRY Version 2\n");
    return lines;
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

// The rows write the registry, so they run only under Wine: on Windows it is the machine's own.
bool runsUnderWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The keys go into the registry of the scratch prefix that every run under Wine has, in the view
// that their installers wrote them in, and are deleted again when the row is done. reg.exe would
// do the same, but a process started for each key makes the rows slow under Wine.
class ScratchRegistry final
{
public:
    ScratchRegistry(const Layout &layout, const ScratchFolder &scratch)
    {
        for (const RegistryEntry &entry : layout.registry) {
            const std::wstring value =
                WindowsText::toWide(Text::replaceAll(entry.value, "%1", scratch.path()));
            REQUIRE(::RegSetKeyValueW(
                        m_software[entry.view == RegistryView::Bits64],
                        belowSoftware(entry.key).c_str(), WindowsText::toWide(entry.name).c_str(),
                        REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS);
        }
    }
    ~ScratchRegistry()
    {
        for (const HKEY software : m_software) {
            for (const auto &[alias, key] : Keys)
                ::RegDeleteTreeW(software, belowSoftware(key).c_str());
            ::RegCloseKey(software);
        }
    }

private:
    static std::wstring belowSoftware(const std::string &key)
    {
        return WindowsText::toWide(key.substr(std::string("SOFTWARE\\").size()));
    }
    // HKEY_LOCAL_MACHINE\SOFTWARE as a 32-bit or a 64-bit program sees it.
    static HKEY software(REGSAM view)
    {
        HKEY key = nullptr;
        REQUIRE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | view, &key) ==
                ERROR_SUCCESS);
        return key;
    }

    const HKEY m_software[2] = {software(KEY_WOW64_32KEY), software(KEY_WOW64_64KEY)};
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

// system.reg of the scratch prefix that InstallScratch made the process's.
class ScratchRegistry final
{
public:
    ScratchRegistry(const Layout &layout, const ScratchFolder &)
    {
        std::ofstream(std::string(std::getenv("WINEPREFIX")) + "/system.reg", std::ios::binary)
            << systemReg(layout.registry, layout.prefix);
    }
};
#endif

void createFiles(const ScratchFolder &scratch, const Layout &layout)
{
    for (const std::string &line : layout.files)
        scratch.change(Text::replaceAll(line, "%H", LinuxHome::ofThisProcess()->hostFolder()));
}

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

TEST_CASE("finderListsEachInstallationOnce" * doctest::skip(!runsUnderWine()))
{
    const std::string localSteam = "home/.local/share/Steam";
    const std::string flatpakSteam = "home/.var/app/com.valvesoftware.Steam/data/Steam";
    const std::string proton = localSteam + "/steamapps/compatdata/2229840/pfx";
    const struct
    {
        const char *name;
        Lines layout;
        Lines expected;
    } rows[] = {
        {"the CD editions' keys name the program, the Ultimate Collection's the folder",
         {"CS Westwood/RA", "English InstallPath=%1\\Westwood\\RA\\RA95.EXE",
          "am Jeux/Alerte Rouge – Édition",
          "French InstallPath=%1\\Jeux\\Alerte Rouge – Édition\\ra95.exe", "CS Origin/Red Alert",
          "Ultimate Install Dir=%1\\Origin\\Red Alert"},
         {"%1\\Westwood\\RA\\ Counterstrike", "%1\\Jeux\\Alerte Rouge – Édition\\ Aftermath",
          "%1\\Origin\\Red Alert\\ Counterstrike"}},
        {"German CD, 32-bit prefix",
         {"AM Spiele/Alarmstufe Rot", "German InstallPath=%1\\Spiele\\Alarmstufe Rot\\RA95.EXE",
          "32-bit prefix"},
         {"%1\\Spiele\\Alarmstufe Rot\\ Aftermath"}},
        {"two keys name one folder",
         {"AM CnC/RA", "English InstallPath=%1\\CnC\\RA\\RA95.EXE",
          "Ultimate Install Dir=%1\\cnc\\ra\\"},
         {"%1\\CnC\\RA\\ Aftermath"}},
        {"gone, relative, no REDALERT.MIX, no expansion, BEXOM already there: none a game",
         {"English InstallPath=%1\\Gone\\RA95.EXE", "German InstallPath=Westwood\\RA\\RA95.EXE",
          "Demo/RA95.EXE", "Demo/EXPAND.MIX", "Demo/Expand2.mix",
          "French InstallPath=%1\\Demo\\RA95.EXE", "Plain/RA95.EXE", "Plain/REDALERT.MIX",
          "Ultimate Install Dir=%1\\Plain", "Done/REDALERT.MIX", "Done/EXPAND.MIX",
          "Done/Expand2.mix", "Done/BEXOMv2/Expand.mix", "CnCNet64 InstallLocation=%1\\Done"},
         {}},
        {"no program, names as CnCNet spells them; Steam's key, its library's manifest",
         {"cs CnCNet", "English InstallPath=%1\\CnCNet\\",
          "AM Steam/steamapps/common/Command & Conquer Red Alert", "Steam InstallPath=%1\\Steam",
          steamManifest("Steam", "Command & Conquer Red Alert")},
         {"%1\\CnCNet\\ Counterstrike",
          "%1\\Steam\\steamapps\\common\\Command & Conquer Red Alert\\ Aftermath"}},
        {"CnCNet's key in the 64-bit view, the EA app's too",
         {"cs CnC/Red Alert", "CnCNet64 InstallLocation=%1\\CnC\\Red Alert", "AM EA/RA",
          "Ultimate64 Install Dir=%1\\EA\\RA"},
         {"%1\\EA\\RA\\ Aftermath", "%1\\CnC\\Red Alert\\ Counterstrike"}},
        {"Steam on Linux with a second library elsewhere",
         {"AM " + localSteam + "/steamapps/common/Command & Conquer Red Alert",
          "CS home/mnt/Lib/steamapps/common/RA",
          libraryList(localSteam + "/steamapps/libraryfolders.vdf",
                      {"%H/.local/share/Steam", "%H/mnt/Lib"}, ListFormat::Blocks),
          steamManifest(localSteam, "Command & Conquer Red Alert"),
          steamManifest("home/mnt/Lib", "RA")},
         {"%H/.local/share/Steam/steamapps/common/Command & Conquer Red Alert/ Aftermath",
          "%H/mnt/Lib/steamapps/common/RA/ Counterstrike"}},
        {"Flatpak Steam, an older list, a manifest naming a folder that is gone",
         {"AM home/Lib2/steamapps/common/Red Alert",
          libraryList(flatpakSteam + "/steamapps/libraryfolders.vdf", {"%H/Lib2"},
                      ListFormat::Numbered),
          steamManifest(flatpakSteam, "Gone"), steamManifest("home/Lib2", "Red Alert")},
         {"%H/Lib2/steamapps/common/Red Alert/ Aftermath"}},
        {"Proton prefix holding CnCNet, named by its key in lower case",
         {"cs " + proton + "/drive_c/users/steamuser/CnCNet/RA",
          proton + "/system.reg=" +
              systemReg(
                  layoutOf({"CnCNet64 InstallLocation=c:\\users\\steamuser\\cncnet\\ra"}).registry,
                  Prefix::Win64)},
         {"%H/.local/share/Steam/steamapps/compatdata/2229840/pfx/drive_c/users/steamuser/CnCNet/"
          "RA/ Counterstrike"}},
        {"Lutris: ~/Games, a prefix elsewhere, one named twice",
         {"AM home/Games/red-alert/drive_c/Westwood/RA",
          "CS home/wine/ra/drive_c/Program Files (x86)/EA Games/Red Alert",
          "home/.config/lutris/games/ra.yml=game:\n  exe: x\n  prefix: %H/wine/ra\n",
          "home/.local/share/lutris/games/b.yml=game:\n  prefix: '%H/Games/red-alert'\n"},
         {"%H/Games/red-alert/drive_c/Westwood/RA/ Aftermath",
          "%H/wine/ra/drive_c/Program Files (x86)/EA Games/Red Alert/ Counterstrike"}},
        {"Lutris: a game outside any prefix, named by its program or its folder",
         {"CS home/Apps/RA", "AM home/Apps/RA2",
          "home/.config/lutris/games/ra.yml=game:\n  exe: %H/Apps/RA/RA95.exe\n",
          "home/.config/lutris/games/b.yml=game:\n  working_dir: \"%H/Apps/RA2\"\n"},
         {"%H/Apps/RA2/ Aftermath", "%H/Apps/RA/ Counterstrike"}},
        {"Bottles' own folder for its bottles; a plain folder in ~/Games",
         {"AM home/Bottles/RA/drive_c/Games/RA", "CS home/Games/RedAlert",
          "home/.local/share/bottles/data.yml=custom_bottles_path: %H/Bottles\n"},
         {"%H/Games/RedAlert/ Counterstrike", "%H/Bottles/RA/drive_c/Games/RA/ Aftermath"}},
        {"a second Steam library listed only in config",
         {"AM home/Lib9/steamapps/common/RA",
          libraryList(localSteam + "/config/libraryfolders.vdf", {"%H/Lib9"}, ListFormat::Blocks),
          steamManifest("home/Lib9", "RA")},
         {"%H/Lib9/steamapps/common/RA/ Aftermath"}},
        {"600 Proton prefixes, the game in the last",
         compatData(localSteam),
         {"%H/.local/share/Steam/steamapps/compatdata/1599/pfx/drive_c/Games/RA/ Aftermath"}},
        {"no time to look",
         {"CS Westwood/RA", "English InstallPath=%1\\Westwood\\RA\\RA95.EXE", "no time"},
         {}},
        {"Bottles and PlayOnLinux",
         {"AM home/.var/app/com.usebottles.bottles/data/bottles/bottles/RA/drive_c/Games/RA",
          "CS home/.PlayOnLinux/wineprefix/RA/drive_c/RA",
          "home/.config/lutris/games/b.yml=" + std::string(3 << 20, 'x') + "\0\xff prefix: /"s},
         {"%H/.var/app/com.usebottles.bottles/data/bottles/bottles/RA/drive_c/Games/RA/ Aftermath",
          "%H/.PlayOnLinux/wineprefix/RA/drive_c/RA/ Counterstrike"}},
        {"nothing but damaged, huge, binary lists, a pipe and a link loop",
         {localSteam + "/steamapps/libraryfolders.vdf=\"libraryfolders\" { \"0\" { \"path\" "
                       "\"%H/.local/share/Steam",
          localSteam + "/steamapps/appmanifest_2229840.acf=" + std::string(1 << 20, '{') + "\xff",
          flatpakSteam + "/steamapps/libraryfolders.vdf=(fifo)",
          localSteam + "/steamapps/compatdata/1/pfx=(loop)", "home/Games/x/drive_c/Games=(loop)"},
         {}},
#ifndef _WIN32
        // Drive C of the scratch prefix is the scratch folder, so its shelves are made there.
        {"shelves in upper and lower case; The First Decade without its registry value",
         {"AM GAMES/RED ALERT", "cs program files (x86)/RA",
          "AM Program Files/EA Games/Command & Conquer The First Decade/Command & Conquer Red "
          "Alert(tm)"},
         {"%1\\GAMES\\RED ALERT\\ Aftermath",
          "%1\\Program Files\\EA Games\\Command & Conquer The First Decade\\Command & Conquer Red "
          "Alert(tm)\\ Aftermath",
          "%1\\program files (x86)\\RA\\ Counterstrike"}},
        {"recorded and on a shelf: once, in the drive's letter case",
         {"CS Westwood/RA", "English InstallPath=c:\\WESTWOOD\\ra\\RA95.EXE"},
         {"%1\\Westwood\\RA\\ Counterstrike"}},
        {"drive root and several shelves, sorted",
         {"AM RA", "Games/TD/C&C95.EXE", "Games/TD/Expand2.mix", "AM Games/B", "AM Games/A"},
         {"%1\\RA\\ Aftermath", "%1\\Games\\A\\ Aftermath", "%1\\Games\\B\\ Aftermath"}},
#else
        // Drive C is the one of the scratch prefix that the run under Wine has; the game made
        // there is removed with its shelf when the row is done.
        {"Games folder of drive C",
         {"cs C:/Games/BEXOM test"},
         {"C:\\Games\\BEXOM test\\ Counterstrike"}},
#endif
    };
    for (const auto &[name, lines, expected] : rows)
        SUBCASE(name)
        {
            InstallScratch scratch;
            const Layout layout = layoutOf(lines);
            createFiles(scratch.scratch(), layout);
            const ScratchRegistry registry(layout, scratch.scratch());

            CHECK(found(scratch.fileSystem(), windowsPath(scratch.scratch()), layout.searchTime) ==
                  expected);
            for (const std::string &line : layout.files)
                if (const std::filesystem::path path = line.substr(1); path.is_absolute())
                    std::filesystem::remove_all(path.parent_path().parent_path());
        }
}

TEST_CASE("refusalSaysWhereTheGameWasFound" * doctest::skip(!runsUnderWine()))
{
    // Where the process has no Wine prefix at all, only the home holds a game: Lutris'.
    enum class Wine { ScratchPrefix, NoPrefix };
    struct Row
    {
        const char *name;
        Edition edition;
        // Relative to the scratch folder, unless it starts with a drive.
        std::string directory;
        // What is removed from the games found and the package, separated by commas.
        std::string removed;
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
        {"missing folder, Aftermath chosen: its games first", Edition::Aftermath,
         "WESTWOOD\\REDALERT\\", "", missing + foundIn + aftermath + "\n" + counterstrikeOnly,
         "%1\\Games\\RA\\"},
        {"missing folder, Counterstrike chosen", Edition::Counterstrike, "WESTWOOD\\REDALERT\\", "",
         missing + bothFound, "%1\\Westwood\\CS\\"},
        {"no Expand.mix", Edition::Counterstrike, "game\\", "game/Expand.mix", noExpand + bothFound,
         "%1\\Westwood\\CS\\"},
        {"Aftermath chosen for the Counterstrike game found", Edition::Aftermath, "Westwood\\CS\\",
         "", noExpand2 + foundIn + aftermath, "%1\\Games\\RA\\"},
        {"Aftermath chosen, only a Counterstrike game found: nothing offered", Edition::Aftermath,
         "WESTWOOD\\REDALERT\\", "Games", missing + foundIn + counterstrikeOnly},
        {"nothing found", Edition::Aftermath, "WESTWOOD\\REDALERT\\", "Westwood,Games", missing},
        {"not a wrong folder", Edition::Aftermath, "game\\", "package/Rules.ini",
         "The BEXOM package is incomplete: Rules.ini must stand in the folder the installer was "
         "started from, %package."},
#ifndef _WIN32
        {"drive not mapped in the prefix", Edition::Counterstrike, "Q:\\WESTWOOD\\REDALERT\\", "",
         "Drive Q: is not mapped in the Wine prefix %prefix." + bothFound, "%1\\Westwood\\CS\\"},
        {"no ~/.wine, no WINEPREFIX", Edition::Aftermath, "C:\\WESTWOOD\\REDALERT\\", "",
         "Drive C: is not mapped in the Wine prefix %home/.wine." + foundIn +
             "%home/Games/ra/drive_c/Westwood/RA/ (with Aftermath: choose the Aftermath option)",
         "%home/Games/ra/drive_c/Westwood/RA/", Wine::NoPrefix},
#endif
    };
    for (const Row &row : rows)
        SUBCASE(row.name)
        {
            InstallScratch scratch;
            const ScratchFolder &files = scratch.scratch();
            const Layout layout = layoutOf({"CS Westwood/CS", "AM Games/RA",
                                            "English InstallPath=%1\\Westwood\\CS\\RA95.EXE",
                                            "Ultimate Install Dir=%1\\Games\\RA"});
            createFiles(files, layout);
            const ScratchRegistry registry(layout, files);
            const std::string root = windowsPath(files);
            for (const std::string &removed : Text::split(row.removed, ',', Text::EmptyParts::Skip))
                std::filesystem::remove_all(files.at(removed));
            std::optional<ScopedEnvironmentVariable> noPrefix;
            if (row.wine == Wine::NoPrefix) {
                noPrefix.emplace("WINEPREFIX", std::nullopt);
                createFiles(files, layoutOf({"AM home/Games/ra/drive_c/Westwood/RA"}));
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
