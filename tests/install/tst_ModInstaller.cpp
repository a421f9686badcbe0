#include "FaultyFileSystem.h"
#include "install/DigestQueue.h"
#include "install/InstallationManifest.h"
#include "install/InstallRequest.h"
#include "install/ModInstaller.h"
#include "install/RemovalRequest.h"
#include "install/StatusFile.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "runtime/Sha256.h"
#include "runtime/Text.h"
#include "ScriptedServices.h"
#include "TestOutcome.h"
#include "ui/ErrorWording.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

namespace fs = std::filesystem;
using namespace std::string_literals;

// How the game folder's files are named on disk and how the player names the folder.
enum class Naming { AsGiven, UpperCase, WineDrive };

namespace {

using Lines = std::vector<std::string>;

Lines operator+(Lines first, const Lines &second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

const std::string ManifestPath = "BEXOMv2/" + InstallationManifest::FileName;

using Files = std::map<std::string, std::string>;

// The files of the game folder as the table of the installation describes it, for a game that
// held gameFiles (and RA95.exe) before.
Files installedFiles(Edition edition, const Lines &gameFiles)
{
    const bool aftermath = edition == Edition::Aftermath;
    std::map<std::string, std::string> files;
    for (const std::string &name : gameFiles + Lines{"RA95.exe"})
        files[name] = InstallScratch::gameContent(name);
    Lines replaced{"Expand.mix", "Expand2.mix", "Rules.ini", "Title.pcx", "SC-Vorda.mix"};
    if (aftermath)
        replaced = replaced + Lines{"Aftrmath.ini", "MPlayer.ini"};
    for (const std::string &name : replaced) {
        if (files.contains(name))
            files["BEXOMv2/" + name] = files[name];
    }
    for (auto name = replaced.begin() + 2; name != replaced.end(); ++name)
        files[*name] = InstallScratch::packageContent(*name);
    const std::string packagedExpand2 = InstallScratch::packageContent("Expand2.mix");
    const std::string gameExpand2 = files["Expand2.mix"];
    files.erase("Expand2.mix");
    files["Expand.mix"] = aftermath ? gameExpand2 : packagedExpand2;
    if (aftermath)
        files["Expand2.mix"] = packagedExpand2;
    return files;
}

Lines linesOf(const Files &files)
{
    Lines lines;
    for (const auto &[name, bytes] : files)
        lines.push_back(ScratchFolder::fileLine(name, bytes));
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The game folder after an installation as the table describes it, with the manifest as written.
Lines installedSnapshot(const InstallScratch &scratch, const std::string &folder, Edition edition,
                        const Lines &gameFiles)
{
    Files files = installedFiles(edition, gameFiles);
    files[ManifestPath] = scratch.scratch().contents(folder + '/' + ManifestPath);
    Lines lines = linesOf(files) + Lines{"BEXOMv2/"};
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The files the manifest should list: what the installation kept and what it placed.
Lines filesToList(Edition edition, const Lines &gameFiles)
{
    Files files = installedFiles(edition, gameFiles);
    Lines placed{"Expand.mix", "Rules.ini", "Title.pcx", "SC-Vorda.mix"};
    if (edition == Edition::Aftermath)
        placed = placed + Lines{"Expand2.mix", "Aftrmath.ini", "MPlayer.ini"};
    std::erase_if(files, [&](const auto &file) {
        return !file.first.starts_with("BEXOMv2/") &&
               std::find(placed.begin(), placed.end(), file.first) == placed.end();
    });
    return linesOf(files);
}

// The manifest's entries as snapshot lines, each size checked against the file's own.
Lines listedFiles(const InstallScratch &scratch, const std::string &folder)
{
    const auto manifest = InstallationManifest::parse(
        scratch.scratch().contents(folder + '/' + ManifestPath), ManifestPath);
    if (manifest.isError())
        return {ErrorWording::report(manifest.error())};
    Lines lines;
    for (const ManifestEntry &entry : manifest.value().entries()) {
        const std::string path =
            (entry.role == ManifestEntry::Role::Kept ? "BEXOMv2/" : "") + entry.name;
        const std::size_t size = scratch.scratch().contents(folder + '/' + path).size();
        lines.push_back(
            path + ' ' + Text::toHex(entry.digest.sha256) +
            (static_cast<std::size_t>(entry.digest.size) == size ? "" : " (size differs)"));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// As the game sees names: whatever their letter case.
Lines folded(Lines lines)
{
    for (std::string &line : lines)
        line = Text::toLowerAscii(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string statusBytes(const std::string &statusItem, const std::string &directory)
{
    return statusItem + "\r\nPath=" + directory + "\r\n";
}

} // namespace

TEST_CASE("installationGivesTheTableAndRemovalGivesTheFolderBack")
{
    struct Row
    {
        const char *name;
        Edition edition;
        std::string folder;
        Lines gameFiles;
        Naming naming = Naming::AsGiven;
        // Changes to the game folder between the installation and the removal.
        Lines meanwhile = {};
    };
    const Lines aftermath{"Expand.mix", "Expand2.mix"};
    const Lines counterstrike{"Expand.mix"};
    const Lines playersOwn{"Rules.ini", "Aftrmath.ini", "MPlayer.ini", "Title.pcx", "SC-Vorda.mix"};
    const Lines earlierVersion{"-game/" + ManifestPath,
                               "-package/" + InstallationManifest::FileName};
    const Row rows[] = {
        {"Counterstrike into a game with Aftermath", Edition::Counterstrike, "game", aftermath},
        {"player's own files, Aftermath", Edition::Aftermath, "game", aftermath + playersOwn},
        {"player's own files, Counterstrike", Edition::Counterstrike, "game",
         counterstrike + playersOwn},
        {"comma", Edition::Aftermath, "Red Alert, 1996", aftermath},
#ifndef _WIN32
        // Windows allows no double quote in a name, and drops the blanks that end one.
        {"double quote", Edition::Counterstrike, "The \"Red\" Alert", counterstrike},
        {"blanks", Edition::Aftermath, "  Red  Alert  ", aftermath},
#endif
        {"non-ASCII", Edition::Counterstrike, "Alerte Rouge – Édition spéciale", counterstrike},
        {"upper case, Aftermath", Edition::Aftermath, "game", aftermath + Lines{"Rules.ini"},
         Naming::UpperCase},
        {"upper case, Counterstrike", Edition::Counterstrike, "game",
         aftermath + Lines{"Rules.ini"}, Naming::UpperCase},
        {"Wine drive letter", Edition::Aftermath, "game", aftermath, Naming::WineDrive},
        {"player's files added after a Counterstrike installation", Edition::Counterstrike, "game",
         counterstrike, Naming::AsGiven, Lines{"+game/Aftrmath.ini", "+game/MPlayer.ini"}},
        {"installed by an earlier version, Aftermath", Edition::Aftermath, "game",
         aftermath + Lines{"Rules.ini"}, Naming::AsGiven, earlierVersion},
        {"installed by an earlier version, Counterstrike", Edition::Counterstrike, "game",
         aftermath, Naming::AsGiven, earlierVersion},
        {"manifest in the backup folder deleted, its copy serves", Edition::Aftermath, "game",
         aftermath + playersOwn, Naming::AsGiven, Lines{"-game/" + ManifestPath}},
        {"files of the mod edited by the player, Aftermath", Edition::Aftermath, "game", aftermath,
         Naming::AsGiven, Lines{"~game/Rules.ini", "~game/Expand.mix"}},
        {"Rules.ini edited by the player, Counterstrike, kept before", Edition::Counterstrike,
         "game", counterstrike, Naming::AsGiven,
         Lines{"~game/Rules.ini", "+package/Rules (edited).ini"}},
    };
    for (const Row &row : rows)
        SUBCASE(row.name)
        {
            const bool upperCase = row.naming == Naming::UpperCase;
            Lines namesOnDisk = row.gameFiles;
            for (std::string &name : namesOnDisk)
                name = upperCase ? Text::toUpperAscii(name) : name;
            InstallScratch scratch(namesOnDisk, row.folder);
            const std::string directory = row.naming == Naming::WineDrive
                                              ? scratch.driveCDirectory()
                                              : scratch.gameDirectory();
            const auto compare = [&](const Lines &actual, const Lines &expected) {
                CHECK((upperCase ? folded(actual) : actual) ==
                      (upperCase ? folded(expected) : expected));
            };
            Lines before = scratch.gameSnapshot();
            ModInstaller installer(scratch.fileSystem());
            const std::string statusItem =
                row.edition == Edition::Aftermath ? "Status=Aftermath" : "Status=Counterstrike";

            VERIFY_SUCCESS(installer.install(row.edition, directory));
            compare(scratch.gameSnapshot(),
                    installedSnapshot(scratch, row.folder, row.edition, row.gameFiles));
            compare(listedFiles(scratch, row.folder), filesToList(row.edition, row.gameFiles));
            CHECK(scratch.status() == statusBytes(statusItem, directory));

            std::map<std::string, std::string> edited;
            for (const std::string &change : row.meanwhile) {
                scratch.scratch().change(change);
                const std::string name = change.substr(row.folder.size() + 2);
                if (change.starts_with('~'))
                    edited[name] = scratch.scratch().contents(change.substr(1));
                else if (change.starts_with("+" + row.folder + '/'))
                    before.push_back(ScratchFolder::fileLine(name, ""));
            }
            std::sort(before.begin(), before.end());

            VERIFY_SUCCESS(installer.uninstall(row.edition, directory));
            // Back byte for byte, names spelled as they were included.
            CHECK(scratch.gameSnapshot() == before);
            CHECK(scratch.status() == statusBytes("Status=Uninstalled", directory));
            // The player's changes are kept in the package folder, never over a file there.
            CHECK(installer.keptEdits().size() == edited.size());
            for (const KeptEdit &kept : installer.keptEdits())
                CHECK(scratch.scratch().contents("package/" + kept.keptAs) == edited[kept.name]);
            const auto addedToPackage = std::count_if(
                row.meanwhile.begin(), row.meanwhile.end(),
                [](const std::string &change) { return change.starts_with("+package/"); });
            CHECK(scratch.scratch().snapshot(InstallScratch::PackageFolder).size() ==
                  7 + edited.size() + static_cast<std::size_t>(addedToPackage));
        }
}

TEST_CASE("badInputIsRefusedWithNothingChanged")
{
    struct Row
    {
        std::string name;
        Direction direction;
        Edition edition;
        std::string directory;
        Lines changes;
        // Written as the status file when there is one.
        std::optional<std::string> status;
        int error;
        // Checked where the engine knows more than the error's number; the words are
        // tst_ErrorWording's.
        ErrorReason reason;
    };
    std::vector<Row> rows;
    const auto install = [&](const std::string &name, const std::string &directory,
                             const Lines &changes, int error, Edition edition = Edition::Aftermath,
                             const std::optional<std::string> &status = std::nullopt,
                             ErrorReason reason = ErrorReason::None) {
        rows.push_back(
            {name, Direction::Install, edition, directory, changes, status, error, reason});
    };
    using enum ErrorReason;
    const std::string game = "%1/game\\";
    // With no game anywhere to point to, the refusal is as it always was.
    install("missing folder", "%1/missing\\", {}, 76, Edition::Aftermath, {}, GameFolderMissing);
    install("a file, not a folder", "%1/game/RA95.exe\\", {}, 76);
    install("empty text", "", {}, 76);
    install("relative path", "game\\", {}, 76, Edition::Aftermath, {}, PathNotFull);
    install("folder above the package", "..\\", {}, 76);
    install("drive-relative path", "\\game\\", {}, 76, Edition::Aftermath, {}, PathLacksDrive);
#ifdef _WIN32
    install("root of no drive, slashes", "/WESTWOOD/REDALERT./", {}, 76);
#else
    // On Windows the name ".." is refused with the others that Windows rewrites.
    install("a step up in the path", "%1/package/..\\game\\", {}, 76, Edition::Aftermath, {},
            PathStepsUp);
#endif
#ifndef _WIN32
    // Windows allows no control character in a name, so no such folder can be made there.
    install("line break", "%1/game\nx\\", {"+game\nx/Expand.mix", "+game\nx/Expand2.mix"}, 76,
            Edition::Aftermath, {}, ControlCharacterInFolderName);
    install("carriage return", "%1/game\r\\", {"+game\r/Expand.mix", "+game\r/Expand2.mix"}, 76);
#endif
    install("package folder", "%1/package", {}, 5);
    install("Aftermath without Expand2.mix", game, {"-game/Expand2.mix"}, 53, Edition::Aftermath,
            {}, NoExpand2InFolder);
    install("no Expand.mix", game, {"-game/Expand.mix"}, 53, Edition::Counterstrike);
    install("Expand.mix a folder", game, {"-game/Expand.mix", "+game/Expand.mix/"}, 75);
    install("backup folder there", game, {"+game/BEXOMv2/"}, 58);
    install("backup name taken by a file", game, {"+game/BEXOMv2"}, 58, Edition::Counterstrike);
    for (const std::string &file : InstallScratch::packageFiles())
        install("package without " + file, game, {"-package/" + file}, 53, Edition::Aftermath, {},
                PackageIncomplete);
    // The request reads the status file before anything else.
    install("status file missing", game, {"-package/Status.ini"}, 53, Edition::Aftermath, {},
            StatusFileNotInPackage);
    install("status file empty", game, {}, 62, Edition::Aftermath, "");
#ifdef _WIN32
    // A name too long for the file system is one that no folder has; the blanks that end a name
    // are dropped, leaving the package folder, which has no Expand.mix.
    install("very long path", "%1/" + std::string(300, 'x') + "\\", {}, 76);
#else
    install("very long path", "%1/" + std::string(300, 'x') + "\\", {}, 75);
#endif
    install("blanks only", "     ", {}, 76);
    // Windows would open another folder, or a device, than the one these name.
    install("device name in the path", "C:\\Games\\CON\\", {}, 76, Edition::Aftermath, {},
            NameWindowsRewrites);
    install("trailing blank in the path", "C:/Games/RA /", {}, 76);
    install("three dots in the path", "C:\\Games\\...\\", {}, 76);
    install("stream in the path", "C:\\Games\\RA:hidden\\", {}, 76);
    install("control characters", "C:\\WEST\tWOOD\001\\RED\033ALERT\\", {}, 76);
#ifndef _WIN32
    // Windows has neither links that a player makes nor two names that differ only in case.
    install("Expand.mix a relative link", game,
            {"-game/Expand.mix", "+game/Expand.real", "@game/Expand.mix>Expand.real"}, 75,
            Edition::Counterstrike);
    install("Expand2.mix a relative link", game,
            {"-game/Expand2.mix", "+game/Expand2.real", "@game/Expand2.mix>Expand2.real"}, 75);
    install("backup folder a link", game, {"+elsewhere/", "@game/BEXOMv2>../elsewhere"}, 75,
            Edition::Aftermath, {}, BackupFolderIsALink);
    install("Expand.mix in two letter cases", game, {"+game/EXPAND.MIX"}, 75);
    install("package file in two letter cases", game, {"+package/RULES.INI"}, 75);
#endif

    const auto removal = [&](const std::string &name, Edition installed, const Lines &changes,
                             const std::optional<std::string> &status, int error,
                             ErrorReason reason = None) {
        rows.push_back({name, Direction::Removal, installed, {}, changes, status, error, reason});
    };
    removal("removal, status file missing", Edition::Aftermath, {"-package/Status.ini"}, {}, 53,
            StatusFileNotInPackage);
    removal("removal, status file empty", Edition::Aftermath, {}, "", 62);
    removal("removal, status file of one line", Edition::Aftermath, {}, "Status=Aftermath\r\n", 76);
    removal("removal, binary junk", Edition::Aftermath, {},
            "\x00\xff\xfe\n\x01\x02\x03\x04\x05\x06\x07\xff\n"s, 76);
    removal("removal, game folder gone", Edition::Aftermath, {},
            "Status=Aftermath\r\nPath=%1/gone\\\r\n", 76);
    removal("removal, backup without Expand2.mix", Edition::Aftermath,
            {"-game/BEXOMv2/Expand2.mix"}, {}, 53);
    removal("removal, backup without Expand.mix", Edition::Counterstrike,
            {"-game/BEXOMv2/Expand.mix"}, {}, 53, KeptCopyMissing);
    removal("removal, backup copy of Expand.mix damaged", Edition::Aftermath,
            {"~game/BEXOMv2/Expand.mix"}, {}, 75, KeptCopyDamaged);
    removal("removal, backup copy of Expand2.mix damaged", Edition::Counterstrike,
            {"~game/BEXOMv2/Expand2.mix"}, {}, 75);
    const std::string manifestCopy = "package/" + InstallationManifest::FileName;
    removal("removal, no manifest and not every file of the mod", Edition::Aftermath,
            {"-game/" + ManifestPath, "-" + manifestCopy, "-game/MPlayer.ini", "-game/Title.pcx"},
            {}, 53, EarlierInstallationIncomplete);
    removal("removal, both copies of the manifest damaged", Edition::Aftermath,
            {"~game/" + ManifestPath, "~" + manifestCopy}, {}, 75, NoManifestServes);
    removal("removal, manifest a folder", Edition::Aftermath,
            {"-game/" + ManifestPath, "+game/" + ManifestPath + "/", "-" + manifestCopy}, {}, 75);
    // The player's own Aftrmath.ini and MPlayer.ini are what a removal for Aftermath would take.
    removal("removal, stale status file says Aftermath", Edition::Counterstrike,
            {"+game/Aftrmath.ini", "+game/MPlayer.ini"}, "Status=Aftermath\r\nPath=%1/game\\\r\n",
            5, EditionMismatch);
    removal("removal, stale status file says Counterstrike", Edition::Aftermath, {},
            "Status=Counterstrike\r\nPath=%1/game\\\r\n", 5);
    removal("removal, crafted path to the folder above", Edition::Counterstrike,
            {"+BEXOMv2/Expand.mix", "+Expand.mix", "+SC-Vorda.mix"},
            "Status=Counterstrike\r\nPath=..\\\r\n", 76, PathNotFull);

#ifndef _WIN32
    // The whole backup, moved out of the game folder and reached through a link in its place.
    removal("removal, backup folder a link", Edition::Aftermath,
            {">game/BEXOMv2>elsewhere", "@game/BEXOMv2>../elsewhere"}, {}, 75, BackupFolderIsALink);
#endif

    for (const Row &row : rows)
        SUBCASE(row.name.c_str())
        {
            InstallScratch scratch;
            const std::string root = scratch.scratch().path();
            const Procedure procedure{{}, row.edition, row.direction};
            VERIFY_SUCCESS(procedure.prepare(scratch));
            for (const std::string &change : row.changes)
                scratch.scratch().change(change);
            if (row.status)
                scratch.writeStatus(Text::replaceAll(*row.status, "%1", root));
            const Lines before = scratch.snapshot();

            const auto outcome = procedure.request(scratch.fileSystem(),
                                                   Text::replaceAll(row.directory, "%1", root));

            REQUIRE(outcome.isError());
            INFO(ErrorWording::report(outcome.error()));
            CHECK(outcome.error().number() == row.error);
            if (row.reason != None)
                CHECK(reasonOf(outcome.error()) == row.reason);
            // The file the row took away or spoiled, by name, where the reason names one.
            if (row.reason == PackageIncomplete || row.reason == KeptCopyMissing ||
                row.reason == KeptCopyDamaged) {
                const std::string &changed = row.changes.front();
                CHECK(outcome.error().path().ends_with(changed.substr(changed.rfind('/') + 1)));
            }
            // What the player needs to finish a removal by hand: the folders and the game's files.
            const auto *way = outcome.error().cause().detailsAs<Cause::NoManifestServes>();
            if (row.reason == NoManifestServes)
                CHECK((way && way->backupFolder == scratch.gameDirectory() + "BEXOMv2" &&
                       way->gameFolder == scratch.gameDirectory() &&
                       way->copyInPackage == InstallationManifest::FileName &&
                       way->gameFiles == Lines{"Expand.mix", "Expand2.mix"}));
            CHECK(!outcome.error().path().empty());
            CHECK(!outcome.error().hasChangesLeft());
            CHECK(scratch.snapshot() == before);
        }
}

#ifndef _WIN32
// Links in a game folder are a POSIX matter: Windows lets only an administrator make one.
TEST_CASE("linksInTheGameFolderComeBackAsTheyWere")
{
    // The target lies outside the game folder; a file of the game moves there, the link names it
    // by full path.
    const struct
    {
        const char *name;
        Edition edition;
        std::string link;
        std::string target;
    } rows[] = {
        {"target gone, where a copy goes", Edition::Aftermath, "Title.pcx", "elsewhere/Title.pcx"},
        {"Expand.mix, Aftermath", Edition::Aftermath, "Expand.mix", "store/Expand.mix"},
        {"Expand2.mix, Aftermath", Edition::Aftermath, "Expand2.mix", "store/Expand2.mix"},
        {"Expand.mix, Counterstrike", Edition::Counterstrike, "Expand.mix", "store/Expand.mix"},
    };
    for (const auto &[name, edition, link, target] : rows)
        SUBCASE(name)
        {
            InstallScratch scratch;
            const ScratchFolder &files = scratch.scratch();
            const std::string linkPath = files.at("game/" + link);
            if (fs::exists(linkPath))
                files.change(">game/" + link + ">" + target);
            files.change({"+store/", "@game/" + link + ">" + files.at(target)});
            const Lines before = scratch.snapshot();
            const auto linkIsBack = [&] {
                return fs::is_symlink(fs::symlink_status(linkPath)) &&
                       fs::read_symlink(linkPath) == files.at(target);
            };

            ModInstaller installer(scratch.fileSystem());
            VERIFY_SUCCESS(installer.install(edition, scratch.gameDirectory()));
            CHECK(fs::is_symlink(fs::symlink_status(files.at("game/BEXOMv2/" + link))));
            CHECK(!fs::exists(files.at("elsewhere")));
            VERIFY_SUCCESS(installer.uninstall(edition, scratch.gameDirectory()));

            CHECK(linkIsBack());
            CHECK(!fs::exists(files.at("elsewhere")));
            // The status file's own bytes after a removal are the installation table's to check.
            scratch.writeStatus(InstallScratch::PackagedStatus);
            CHECK(scratch.snapshot() == before);
        }
}

#endif

TEST_CASE("digestsReadOnThreadsAreEachTheirOwnFile'sInAnyOrder")
{
    InstallScratch scratch;
    const Lines sizes{"0", "1", "65537", "3000000"};
    for (const std::string &size : sizes)
        scratch.scratch().createFile("package/" + size, std::string(std::stoul(size), 'x') + size);
    // More files than threads, read back last first, and a queue dropped with files unread.
    for (const std::size_t asked : {sizes.size(), std::size_t{1}}) {
        DigestQueue queue(scratch.fileSystem());
        std::vector<std::size_t> tickets;
        for (const std::string &size : sizes)
            tickets.push_back(queue.add(scratch.at("package/" + size)).value());
        CHECK(queue.add(scratch.at("package/missing")).error().code() ==
              RuntimeErrorCode::FileNotFound);
        for (std::size_t i = sizes.size(); i-- > sizes.size() - asked;)
            CHECK(queue.result(tickets[i]).value() ==
                  scratch.fileSystem().digest(scratch.at("package/" + sizes[i])).value());
    }
}

// The game's archives and the package's are read for their digests from the first step, and
// moved or copied later: a download still going on, a link, or another file put in the game's
// place meanwhile gives the copy or the backup other bytes than those read.
TEST_CASE("fileChangedAfterItWasReadAheadIsRecordedAsItStands")
{
    const struct
    {
        const char *name;
        Edition edition;
        // Just before the first operation of this kind on a path with this ending.
        std::string operation;
        std::string pathEnd;
        Lines changes;
    } rows[] = {
        {"package file written to, Counterstrike",
         Edition::Counterstrike,
         "copyFile",
         "Expand2.mix",
         {"~package/Expand2.mix"}},
        {"package file written to, Aftermath",
         Edition::Aftermath,
         "copyFile",
         "Expand2.mix",
         {"~package/Expand2.mix"}},
        {"package file replaced",
         Edition::Counterstrike,
         "copyFile",
         "Expand2.mix",
         {"-package/Expand2.mix", "+package/Expand2.mix=new"}},
#ifndef _WIN32
        {"package file made a link",
         Edition::Aftermath,
         "copyFile",
         "Expand2.mix",
         {"+store/Expand2.mix=linked", "-package/Expand2.mix",
          "@package/Expand2.mix>../store/Expand2.mix"}},
#endif
        {"game file replaced before it is kept",
         Edition::Counterstrike,
         "rename",
         "Expand.mix",
         {"-game/Expand.mix", "+game/Expand.mix=new"}},
    };
    for (const auto &[name, edition, operation, pathEnd, changes] : rows)
        SUBCASE(name)
        {
            Lines expected;
            {
                InstallScratch untouched;
                untouched.scratch().change(changes);
                expected = untouched.gameSnapshot();
            }
            InstallScratch scratch;
            FaultyFileSystem counting(scratch.fileSystem());
            VERIFY_SUCCESS(ModInstaller(counting).install(edition, scratch.gameDirectory()));
            const Lines &operations = counting.operations();
            const auto chosen =
                std::find_if(operations.begin(), operations.end(), [&](const std::string &done) {
                    return done.starts_with(operation + ' ') && done.ends_with(pathEnd);
                });
            REQUIRE(chosen != operations.end());
            scratch.reset();

            FaultyFileSystem changing(scratch.fileSystem(), int(chosen - operations.begin()) + 1,
                                      Fault::Change);
            changing.changeBefore([&] { scratch.scratch().change(changes); });
            VERIFY_SUCCESS(ModInstaller(changing).install(edition, scratch.gameDirectory()));
            ModInstaller installer(scratch.fileSystem());
            VERIFY_SUCCESS(installer.uninstall(edition, scratch.gameDirectory()));
            CHECK(installer.keptEdits().empty());
            CHECK(scratch.gameSnapshot() == expected);
        }
}

TEST_CASE("manifestIsBelievedOnlyWhenWhole")
{
    const std::string hash(64, 'a');
    // Lines with the checksum that makes them whole.
    const auto sealed = [](const Lines &lines) {
        const std::string body = Text::join(lines, "\r\n") + "\r\n";
        return body + "sha256 " + Text::toHex(Sha256::of(body, Sha256::Engine::Portable)) + "\r\n";
    };
    const auto listing = [&](const std::string &entry) {
        return sealed({"BEXOM-manifest 1", "edition Aftermath", entry});
    };
    const std::string whole = listing("kept EXPAND.MIX 5 " + hash);
    const struct
    {
        std::string name;
        std::string bytes;
        int error;
    } rows[] = {
        {"whole", whole, 0},
        {"one byte changed", Text::replaceAll(whole, "EXPAND.MIX 5", "EXPAND.MIX 6"), 75},
        {"checksum line missing", whole.substr(0, whole.find("sha256")), 75},
        {"cut short", whole.substr(0, whole.size() - 3), 75},
        {"LF line ends", Text::replaceAll(whole, "\r\n", "\n"), 75},
        {"empty", "", 75},
        {"newer format", sealed({"BEXOM-manifest 2", "edition Aftermath"}), 75},
        {"unknown edition", sealed({"BEXOM-manifest 1", "edition Retaliation"}), 75},
        {"unknown role", listing("moved EXPAND.MIX 5 " + hash), 75},
        {"negative size", listing("kept EXPAND.MIX -5 " + hash), 75},
        {"short hash", listing("kept EXPAND.MIX 5 " + hash.substr(1)), 75},
        {"name with a backslash", listing("kept ..\\Expand.mix 5 " + hash), 75},
        {"name with a slash", listing("placed C:/Expand.mix 5 " + hash), 75},
        {"parent folder", listing("placed .. 5 " + hash), 75},
        {"a file the installation never touches", listing("placed RA95.exe 5 " + hash), 75},
        {"listed twice", listing("kept EXPAND.MIX 5 " + hash + "\r\nkept Expand.mix 5 " + hash),
         75},
        // Sealed again after an edit: the checksum holds, but the edition never places the file.
        {"re-sealed, a file the edition never places",
         sealed({"BEXOM-manifest 1", "edition Counterstrike", "placed Aftrmath.ini 5 " + hash}),
         75},
        {"re-sealed, a file the edition never keeps",
         sealed({"BEXOM-manifest 1", "edition Counterstrike", "kept MPlayer.ini 5 " + hash}), 75},
    };
    for (const auto &[name, bytes, error] : rows) {
        CAPTURE(name);
        const auto manifest = InstallationManifest::parse(bytes, "BEXOMv2.manifest");

        CHECK((manifest.isError() ? manifest.error().number() : 0) == error);
        if (manifest.isError())
            CHECK(manifest.error().path() == "BEXOMv2.manifest");
        else
            CHECK(manifest.value().encode() == bytes);
    }
}

TEST_CASE("statusFileGivesEachItemAsItsWholeLine")
{
    struct Row
    {
        std::string name;
        std::string bytes;
        std::string statusItem;
        std::string gameDirectory;
        int error = 0;
    };
    const std::string uninstalled = "Status=Uninstalled";
    const Row rows[] = {
        {"CR LF", "Status=Uninstalled\r\nPath=C:\\WESTWOOD\\REDALERT\\\r\n", uninstalled,
         "C:\\WESTWOOD\\REDALERT\\"},
        {"LF", "Status=Aftermath\nPath=D:\\RA\\\n", "Status=Aftermath", "D:\\RA\\"},
        {"no final line end", "Status=Counterstrike\r\nPath=C:\\RA", "Status=Counterstrike",
         "C:\\RA"},
        {"comma, quotes", "Status=Uninstalled\r\nPath=C:\\A, \"B\"\r\n", uninstalled,
         "C:\\A, \"B\""},
        {"byte-order mark", "\xEF\xBB\xBFStatus=Uninstalled\r\nPath=C:\\\r\n", uninstalled, "C:\\"},
        {"UTF-8", "Status=Uninstalled\r\nPath=C:\\\xC3\x89t\xC3\xA9\r\n", uninstalled, "C:\\Été"},
        {"Latin-1", "Status=Uninstalled\r\nPath=C:\\\xC4rger\r\n", uninstalled, "C:\\Ärger"},
        {"empty status item", "\r\nPath=C:\\\r\n", "", "C:\\"},
        {"one line", "Status=Uninstalled\r\n", uninstalled, ""},
        {"short path item", "Status=Uninstalled\r\nPath\r\n", uninstalled, ""},
        {"path prefix not compared", "Status=Uninstalled\r\nPATH:C:\\\r\n", uninstalled, "C:\\"},
        {"empty file", "", {}, {}, 62},
        {"byte-order mark only", "\xEF\xBB\xBF", {}, {}, 62},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        const ErrorOr<StatusRecord> record = StatusFile::parse(row.bytes);

        CHECK((record.isError() ? record.error().number() : 0) == row.error);
        if (record.isError())
            continue;
        CHECK(record.value().statusItem == row.statusItem);
        CHECK(record.value().gameDirectory() == row.gameDirectory);
    }
}

#ifdef _WIN32
namespace {

bool isReadOnly(const std::string &path)
{
    const DWORD attributes = ::GetFileAttributesW(fs::path(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

void makeReadOnly(const ScratchFolder &scratch, const std::string &folder)
{
    for (const fs::directory_entry &entry : fs::directory_iterator(scratch.at(folder)))
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_READONLY);
}

} // namespace

TEST_CASE("readOnlyFilesFromACdInstallAndComeBackAsTheyWere")
{
    struct Row
    {
        const char *name;
        Lines readOnlyFolders;
    };
    const Row rows[] = {
        {"package", {InstallScratch::PackageFolder}},
        {"game", {"game"}},
        {"package and game", {InstallScratch::PackageFolder, "game"}},
    };
    for (const Row &row : rows)
        SUBCASE(row.name)
        {
            InstallScratch scratch;
            for (const std::string &folder : row.readOnlyFolders)
                makeReadOnly(scratch.scratch(), folder);
            const bool gameReadOnly = isReadOnly(scratch.at("game/Expand.mix"));
            const Lines before = scratch.gameSnapshot();
            ModInstaller installer(scratch.fileSystem());

            VERIFY_SUCCESS(installer.install(Edition::Aftermath, scratch.gameDirectory()));
            CHECK(scratch.gameSnapshot() == installedSnapshot(scratch, "game", Edition::Aftermath,
                                                              {"Expand.mix", "Expand2.mix"}));
            // The mod's copies can be removed; the game's files moved aside keep their attribute.
            CHECK(!isReadOnly(scratch.at("game/Rules.ini")));
            CHECK(isReadOnly(scratch.at("game/BEXOMv2/Expand.mix")) == gameReadOnly);

            VERIFY_SUCCESS(installer.uninstall(Edition::Aftermath, scratch.gameDirectory()));
            CHECK(scratch.gameSnapshot() == before);
            CHECK(isReadOnly(scratch.at("game/Expand.mix")) == gameReadOnly);
            CHECK(isReadOnly(scratch.at("game/RA95.exe")) == gameReadOnly);
        }
}

TEST_CASE("fileHeldOpenByTheGameIsRefusedWithNothingChanged")
{
    struct Row
    {
        const char *name;
        Direction direction;
        std::string heldFile;
        // A removal cannot read the file to tell whether the player changed it.
        ErrorReason reason;
    };
    using enum ErrorReason;
    const Row rows[] = {
        {"installation, Expand.mix", Direction::Install, "game/Expand.mix", FileHeldOpen},
        {"installation, Expand2.mix", Direction::Install, "game/Expand2.mix", FileHeldOpen},
        {"removal, Rules.ini", Direction::Removal, "game/Rules.ini", PlacedFileUnreadable},
        {"removal, Expand.mix", Direction::Removal, "game/Expand.mix", PlacedFileUnreadable},
    };
    for (const Row &row : rows)
        SUBCASE(row.name)
        {
            InstallScratch scratch;
            const Procedure procedure{{}, Edition::Aftermath, row.direction};
            VERIFY_SUCCESS(procedure.prepare(scratch));
            const Lines before = scratch.snapshot();
            // As the running game holds its files: no other program may share them.
            const HANDLE held =
                ::CreateFileW(fs::path(scratch.at(row.heldFile)).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            REQUIRE(held != INVALID_HANDLE_VALUE);

            const auto outcome = procedure.run(scratch.fileSystem(), scratch.gameDirectory());

            ::CloseHandle(held);
            REQUIRE(outcome.isError());
            INFO(ErrorWording::report(outcome.error()));
            CHECK(outcome.error().number() == 70);
            CHECK(Text::toLowerAscii(outcome.error().path())
                      .ends_with(Text::toLowerAscii(fs::path(row.heldFile).filename().string())));
            CHECK(reasonOf(outcome.error()) == row.reason);
            CHECK(!outcome.error().hasChangesLeft());
            CHECK(scratch.snapshot() == before);
        }
}
#endif

TEST_CASE("statusOverAGameWithNoTraceOfBexomIsClearedOnlyOnYes")
{
    using enum MessageBoxAnswer;
    const struct
    {
        const char *name;
        Direction direction;
        MessageBoxAnswer answer;
        std::string left; // a file of the mod left in the game installed again, if any
    } rows[] = {
        {"removal, Yes", Direction::Removal, Yes, {}},
        {"installation, Yes", Direction::Install, Yes, {}},
        {"removal, No", Direction::Removal, No, {}},
        {"removal, SC-Vorda.mix of the mod left", Direction::Removal, Yes, "SC-Vorda.mix"},
    };
    for (const auto &row : rows)
        SUBCASE(row.name)
        {
            InstallScratch scratch;
            VERIFY_SUCCESS(ModInstaller(scratch.fileSystem())
                               .install(Edition::Aftermath, scratch.gameDirectory()));
            const std::string installed = scratch.status();
            // The game wiped and installed again.
            scratch.reset();
            scratch.writeStatus(installed);
            if (!row.left.empty())
                scratch.scratch().createFile("game/" + row.left,
                                             InstallScratch::packageContent(row.left));
            const Lines gameBefore = scratch.gameSnapshot();
            ScriptedServices services(scratch.fileSystem(), {Yes, row.answer});

            const auto outcome = row.direction == Direction::Install
                                     ? InstallRequest(services.services())
                                           .run(scratch.gameDirectory(), Edition::Aftermath)
                                     : RemovalRequest(services.services()).run();

            const std::string &last = services.messageBox().shown().back();
            REQUIRE(last.ends_with("by hand.\n\nMark BEXOM as not installed?") == row.left.empty());
            if (!row.left.empty())
                continue;
            VERIFY_SUCCESS(outcome);
            CHECK(scratch.status() ==
                  (row.answer == Yes
                       ? StatusFile::encode(StatusFile::Uninstalled, scratch.gameDirectory())
                       : installed));
            CHECK(scratch.gameSnapshot() == gameBefore);
        }
}

TEST_CASE("wayByHandFollowedWordForWordGivesTheGameFolderBack")
{
    for (const Edition edition : {Edition::Aftermath, Edition::Counterstrike})
        SUBCASE(editionName(edition).c_str())
        {
            // Spelled as the game spells them, beside the player's own Aftrmath.ini.
            InstallScratch scratch({"EXPAND.MIX", "EXPAND2.MIX", "RULES.INI", "Aftrmath.ini"});
            const Lines before = scratch.gameSnapshot();
            ModInstaller installer(scratch.fileSystem());
            VERIFY_SUCCESS(installer.install(edition, scratch.gameDirectory()));
            scratch.scratch().change(
                {"~game/" + ManifestPath, "~package/" + InstallationManifest::FileName});

            const auto refused = installer.uninstall(edition, scratch.gameDirectory());

            REQUIRE(refused.isError());
            const auto *way = refused.error().cause().detailsAs<Cause::NoManifestServes>();
            REQUIRE(way);
            for (const std::string &name : way->modFiles)
                fs::remove(scratch.at("game/" + name));
            for (const Lines &kept : {way->gameFiles, way->playerFiles})
                for (const std::string &name : kept)
                    fs::rename(scratch.at("game/BEXOMv2/" + name), scratch.at("game/" + name));
            fs::remove_all(scratch.at("game/BEXOMv2"));
            CHECK(scratch.gameSnapshot() == before);
        }
}
