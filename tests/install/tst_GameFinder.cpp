#include "install/GameFinder.h"
#include "install/ModInstaller.h"
#include "InstallScratch.h"
#include "runtime/WineRegistryFile.h"
#include "TestOutcome.h"

#ifdef _WIN32
#include "runtime/WindowsText.h"

#include <windows.h>
#else
#include <fstream>
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
};

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
    REQUIRE(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, WindowsText::toWide(entry.key).c_str(), 0,
                              nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key,
                              nullptr) == ERROR_SUCCESS);
    const std::wstring text = WindowsText::toWide(value);
    const LSTATUS status =
        ::RegSetValueExW(key, WindowsText::toWide(entry.name).c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE *>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    REQUIRE(status == ERROR_SUCCESS);
}

void deleteTree(const wchar_t *name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, name, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS)
        return;
    ::RegDeleteTreeW(key, nullptr);
    ::RegCloseKey(key);
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, name, KEY_WOW64_32KEY, 0);
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
        deleteTree(L"SOFTWARE\\Westwood");
        deleteTree(L"SOFTWARE\\EA Games");
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
        const std::string key = prefix == Prefix::Win64
                                    ? "Software\\Wow6432Node" + entry.key.substr(8)
                                    : "Software" + entry.key.substr(8);
        text += "\n[" + escaped(key) + "] 1700000000\n#time=1d9e5a0b3c4d5e6\n\"" +
                escaped(entry.name) + "\"=\"" + escaped(Text::replaceAll(entry.value, "%1", "C:")) +
                "\"\n";
    }
    return text;
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

Lines found(FileSystem &fileSystem, const std::string &root)
{
    Lines lines;
    for (const FoundGame &game : GameFinder(fileSystem).find())
        lines.push_back(Text::replaceAll(game.directory, root, "%1") +
                        (game.edition == Edition::Aftermath ? " Aftermath" : " Counterstrike"));
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
    };
    const GameFiles counterstrike{"Westwood/RA", Edition::Counterstrike};
    const Lines lowerCase{"ra95.exe", "redalert.mix", "expand.mix"};
    const std::string exe = "\\RA95.EXE";
    std::vector<Row> rows;
    const auto row = [&rows](const char *name, std::vector<GameFiles> games,
                             std::vector<RegistryEntry> registry, Lines expected,
                             Prefix prefix = Prefix::Win64) {
        rows.push_back({name, std::move(games), std::move(registry), std::move(expected), prefix});
    };
    row("nothing installed", {}, {}, {});
    row("English CD, 64-bit prefix", {counterstrike},
        {{English, "InstallPath", "%1\\Westwood\\RA" + exe}}, {"%1\\Westwood\\RA\\ Counterstrike"});
    row("German CD, 32-bit prefix", {{"Spiele/Alarmstufe Rot"}},
        {{German, "InstallPath", "%1\\Spiele\\Alarmstufe Rot" + exe}},
        {"%1\\Spiele\\Alarmstufe Rot\\ Aftermath"}, Prefix::Win32);
    row("French CD, non-ASCII path, names in lower case",
        {{"Jeux/Alerte Rouge – Édition", Edition::Aftermath, lowerCase}},
        {{French, "InstallPath", "%1\\Jeux\\Alerte Rouge – Édition\\ra95.exe"}},
        {"%1\\Jeux\\Alerte Rouge – Édition\\ Aftermath"});
    row("The Ultimate Collection names the folder", {{"Origin/Red Alert", Edition::Counterstrike}},
        {{Ultimate, "Install Dir", "%1\\Origin\\Red Alert"}},
        {"%1\\Origin\\Red Alert\\ Counterstrike"});
    row("two keys name one folder", {{"CnC/RA"}},
        {{English, "InstallPath", "%1\\CnC\\RA" + exe}, {Ultimate, "Install Dir", "%1\\cnc\\ra\\"}},
        {"%1\\CnC\\RA\\ Aftermath"});
    row("folder gone", {}, {{English, "InstallPath", "%1\\Gone" + exe}}, {});
    row("no REDALERT.MIX", {{"Demo", Edition::Aftermath, {"RA95.EXE", "EXPAND.MIX"}}},
        {{English, "InstallPath", "%1\\Demo" + exe}}, {});
    row("no expansion", {{"Plain", Edition::Counterstrike, {"RA95.EXE", "REDALERT.MIX"}}},
        {{English, "InstallPath", "%1\\Plain" + exe}}, {});
    row("relative path", {}, {{English, "InstallPath", "Westwood\\RA" + exe}}, {});
#ifndef _WIN32
    // Drive C of the scratch prefix is the scratch folder, so its shelves are made there.
    row("Games folder in upper case", {{"GAMES/RED ALERT"}}, {},
        {"%1\\GAMES\\RED ALERT\\ Aftermath"});
    row("Program Files (x86) in lower case, files too",
        {{"program files (x86)/RA", Edition::Counterstrike, lowerCase}}, {},
        {"%1\\program files (x86)\\RA\\ Counterstrike"});
    row("recorded and on a shelf: once, as recorded", {counterstrike},
        {{English, "InstallPath", "%1\\WESTWOOD\\ra" + exe}}, {"%1\\WESTWOOD\\ra\\ Counterstrike"});
    row("drive root and several shelves, sorted",
        {{"RA"}, {"Games/TD", Edition::Aftermath, {"C&C95.EXE"}}, {"Games/B"}, {"Games/A"}}, {},
        {"%1\\RA\\ Aftermath", "%1\\Games\\A\\ Aftermath", "%1\\Games\\B\\ Aftermath"});
#else
    // Drive C is the one of the scratch prefix that the run under Wine has; the game made there
    // is removed when the row is done.
    row("Games folder of drive C", {{"C:/Games/BEXOM test", Edition::Counterstrike, lowerCase}}, {},
        {"C:\\Games\\BEXOM test\\ Counterstrike"});
#endif
    for (const Row &row : rows)
        SUBCASE(row.name)
        {
            InstallScratch scratch;
            for (const GameFiles &game : row.games)
                createGame(scratch.scratch(), game);
            const ScratchRegistry registry(row.registry, row.prefix, scratch.scratch());

            CHECK(found(scratch.fileSystem(), windowsPath(scratch.scratch())) == row.expected);
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
    struct Row
    {
        const char *name;
        Edition edition;
        // Relative to the scratch folder.
        std::string directory;
        Lines changes;
        std::string cause;
    };
    const std::string missing = "The game folder does not exist.";
    const std::string noExpand =
        "There is no Expand.mix in this folder, so it is not the folder of Red Alert with an "
        "expansion.";
    const std::string noExpand2 =
        "There is no Expand2.mix in this folder, so Aftermath is not installed there. For a game "
        "without Aftermath, choose the Counterstrike option.";
    const std::string foundIn = "\nRed Alert was found in:\n";
    const std::string aftermath = "%1\\Games\\RA\\ (with Aftermath)";
    const std::string counterstrikeOnly =
        "%1\\Westwood\\CS\\ (with Counterstrike only: for it, choose the Counterstrike option)\n";
    const std::string bothFound = foundIn + "%1\\Westwood\\CS\\ (with Counterstrike)\n" + aftermath;
    const Row rows[] = {
        {"missing folder, Aftermath chosen",
         Edition::Aftermath,
         "WESTWOOD\\REDALERT\\",
         {},
         missing + foundIn + counterstrikeOnly + aftermath},
        {"missing folder, Counterstrike chosen",
         Edition::Counterstrike,
         "WESTWOOD\\REDALERT\\",
         {},
         missing + bothFound},
        {"no Expand.mix",
         Edition::Counterstrike,
         "game\\",
         {"game/Expand.mix"},
         noExpand + bothFound},
        {"Aftermath chosen for the Counterstrike game found",
         Edition::Aftermath,
         "Westwood\\CS\\",
         {},
         noExpand2 + foundIn + aftermath},
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

            const auto outcome = ModInstaller(scratch.fileSystem())
                                     .install(row.edition, root + '\\' + row.directory);

            REQUIRE(outcome.isError());
            CHECK(outcome.error().cause() ==
                  Text::replaceAll(Text::replaceAll(row.cause, "%package", files.at("package")),
                                   "%1", root));
        }
}
