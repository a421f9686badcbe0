#include "ChildProcess.h"
#include "FaultyFileSystem.h"
#include "install/Journal.h"
#include "install/JournalRecovery.h"
#include "install/ModInstaller.h"
#include "install/TransactionScope.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using Kind = TransactionStep::Kind;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

// How a journal comes to be found where it was not written, or was never written at all.
enum class Foreign {
    PackageUnpackedElsewhere, // a real journal; the package folder zipped and unpacked elsewhere
    OtherWinePrefix,          // a real journal for drive C; another Wine prefix at the next start
    GameReinstalled,          // a real journal; the game folder deleted and made anew since
    Unnamed,                  // steps without the first record that names the folders
    Crafted,                  // the right folders, but a step that names a file outside them
    BackupFolderLink,         // the right folders, but the backup folder a link to outside
    DeviceLink,               // a link to a device where the journal should be
    ThousandKept,             // steps without the first record, beside a thousand kept journals
    // Not foreign: the same folders reached another way, where the journal is undone.
    PackageMoved,           // the package folder moved as a whole
    GameThroughOtherPrefix, // another Wine prefix whose drive C leads to the same game folder
};

// A game folder whose name no journal field or command line may break. Windows allows no double
// quote or control character in a file name.
#ifdef _WIN32
const std::string AwkwardFolder = "Red Alert, 95 \u20ac 100%";
#else
const std::string AwkwardFolder = "Red Alert, \"95\"\t\u20ac 100%";
#endif
// Spelled as the game spells them, so that an undo must keep the letter case.
const std::vector<std::string> GameFiles{"EXPAND.MIX", "EXPAND2.MIX", "RULES.INI"};
const std::string JournalAppend = "appendDurably " + Journal::FileName;
const std::string JournalPath = InstallScratch::PackageFolder + '/' + Journal::FileName;

enum class Ending { Killed, Finished, Failed };

std::vector<std::string> runnerArguments(const std::string &packageFolder,
                                         const std::string &procedure,
                                         const std::string &gameDirectory,
                                         const std::vector<std::string> &more)
{
    std::vector<std::string> arguments{packageFolder, procedure, gameDirectory};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

// The runner's own output is read and dropped: only how it ended counts.
Ending runKilledAfter(InstallScratch &scratch, const Procedure &procedure, int operation,
                      const std::string &gameDirectory = {})
{
    ChildProcess runner(
        CRASH_RUNNER,
        runnerArguments(scratch.scratch().at(InstallScratch::PackageFolder), procedure.name,
                        gameDirectory.empty() ? scratch.gameDirectory() : gameDirectory,
                        {std::to_string(operation)}));
    const std::optional<ChildProcess::Ending> ending = runner.finish();
    if (!ending)
        return Ending::Failed;
    if (ending->signalled)
        return ending->number == ChildProcess::KillSignal ? Ending::Killed : Ending::Failed;
    return ending->number == 0 ? Ending::Finished : Ending::Failed;
}

// Recovers through start-ups that each die after one operation more than the one before, until
// one lives to finish; returns what that one tells the player, or its error report.
std::string recoverThroughCrashes(InstallScratch &scratch)
{
    for (int lived = 1;; ++lived) {
        FaultyFileSystem dying(scratch.fileSystem(), lived + 1, Fault::DeadDisk);
        const ErrorOr<std::string> recovered = JournalRecovery(dying).recover();
        if (!recovered.isError())
            return recovered.value();
        if (dying.operationCount() <= lived)
            return recovered.error().report();
    }
}

// A full host path, as the first record of a journal must name its folders: one that needs no
// current folder or drive to complete it.
fs::path hostPath(const std::string &relativePath)
{
#ifdef _WIN32
    const fs::path root = "C:\\";
#else
    const fs::path root = "/";
#endif
    return root / std::u8string(relativePath.begin(), relativePath.end());
}

// The first n records of a journal; the first names its folders.
JournalContents firstRecords(const JournalContents &whole, std::size_t n)
{
    if (n-- == 0)
        return {};
    const std::size_t steps = std::min(n, whole.steps.size());
    const std::size_t undone = std::clamp(n - steps, std::size_t(0), whole.undone);
    return {whole.scope,
            {whole.steps.begin(), whole.steps.begin() + static_cast<std::ptrdiff_t>(steps)},
            undone,
            whole.committed && n > steps + undone};
}

// Makes the journal that a process killed half-way through an installation leaves.
bool killHalfWay(InstallScratch &scratch, const std::string &gameDirectory,
                 const std::string &procedureName)
{
    const Procedure procedure = *Procedure::named(procedureName);
    FaultyFileSystem counting(scratch.fileSystem());
    if (procedure.run(counting, gameDirectory).isError())
        return false;
    scratch.reset();
    return runKilledAfter(scratch, procedure, counting.operationCount() / 2, gameDirectory) ==
               Ending::Killed &&
           fs::exists(scratch.scratch().at(JournalPath));
}

// Replaces a folder of the scratch with a copy of it, which has a new identity.
void makeAnew(const ScratchFolder &scratch, const std::string &folder)
{
    std::vector<std::string> files;
    for (const fs::directory_entry &entry : fs::directory_iterator(scratch.at(folder)))
        if (entry.is_regular_file())
            files.push_back(entry.path().filename().string());
    fs::rename(scratch.at(folder), scratch.at(folder + ".old"));
    scratch.createFolder(folder);
    for (const std::string &name : files)
        fs::copy_file(scratch.at(folder + ".old/" + name), scratch.at(folder + '/' + name));
    fs::remove_all(scratch.at(folder + ".old"));
}

// A journal as a process killed right after its commit record leaves it.
std::string committedJournal()
{
    InstallScratch scratch(GameFiles, AwkwardFolder);
    const Procedure procedure = *Procedure::named("Ins_Aftermath");
    FaultyFileSystem counting(scratch.fileSystem());
    if (procedure.run(counting, scratch.gameDirectory()).isError())
        return {};
    scratch.reset();
    if (runKilledAfter(scratch, procedure, lastIndexOf(counting.operations(), JournalAppend) + 1) !=
        Ending::Killed)
        return {};
    return scratch.scratch().contents(JournalPath);
}

int killPoints = 0;

// Printed once all the tests have run, as the whole count of what they covered.
const struct KillPointTotal
{
    ~KillPointTotal() { std::printf("%d kill points covered in all\n", killPoints); }
} killPointTotal;

} // namespace

TEST_CASE("killAfterEveryOperationIsPutRightAtTheNextStart")
{
    for (const Procedure &procedure : Procedure::all())
        SUBCASE(procedure.name.c_str())
        {
            InstallScratch scratch(GameFiles, AwkwardFolder);
            VERIFY_SUCCESS(procedure.prepare(scratch));
            const std::vector<std::string> before = scratch.snapshot();
            FaultyFileSystem counting(scratch.fileSystem());
            VERIFY_SUCCESS(procedure.run(counting, scratch.gameDirectory()));
            const std::vector<std::string> done = scratch.snapshot();
            const int operations = counting.operationCount();
            const int firstRecord = indexOf(counting.operations(), JournalAppend) + 1;
            const int commitRecord = lastIndexOf(counting.operations(), JournalAppend) + 1;
            REQUIRE((firstRecord > 0 && firstRecord < commitRecord));

            // One past the last operation lets the procedure finish.
            for (int kill = 1; kill <= operations + 1; ++kill) {
                VERIFY_SUCCESS(procedure.prepare(scratch));
                const std::string where =
                    "killed after operation " + std::to_string(kill) + ": " +
                    (kill <= operations ? counting.operations()[kill - 1] : std::string());
                INFO(where);
                const Ending ending = runKilledAfter(scratch, procedure, kill);
                REQUIRE(ending == (kill <= operations ? Ending::Killed : Ending::Finished));

                const bool journalLeft = kill >= firstRecord && kill < operations;
                // A power cut may also leave half a record at the end; here, every other time.
                if (journalLeft && kill % 2 == 1)
                    scratch.scratch().createFile(JournalPath,
                                                 scratch.scratch().contents(JournalPath) +
                                                     Journal::encodeUndone().substr(0, 4));
                const std::string notice = kill < commitRecord ? JournalRecovery::UndoneNotice
                                                               : JournalRecovery::FinishedNotice;
                REQUIRE(recoverThroughCrashes(scratch) == (journalLeft ? notice : std::string()));
                REQUIRE(scratch.snapshot() == (kill < commitRecord ? before : done));
            }
            std::printf("%s: %d kill points\n", procedure.name.c_str(), operations);
            killPoints += operations;
        }
}

TEST_CASE("tornJournalYieldsOnlyTheWholeRecordsBeforeTheTear")
{
    JournalContents awkward;
    awkward.scope = {hostPath("pack age/100% \"new\nline\""),
                     {1, 2},
                     AwkwardFolder + '\\',
                     hostPath(AwkwardFolder),
                     {UINT64_MAX, 0}};
    for (const std::string &path : {"a,b \"quoted\"\ttab"s, "new\nline, carriage\rreturn"s,
                                    "control\x01\x1f\x7f, \u00c4\u20ac\U0001F600"s, "100% %41 %zz"s,
                                    "C:\\WESTWOOD\\REDALERT\\"s, "nul\0end"s})
        awkward.steps.push_back({Kind::SetAside, {}, path, path + "~"});
    awkward.undone = 3;
    const struct
    {
        std::string name;
        std::string journal;
    } rows[] = {
        {"Aftermath installation, killed after its commit", committedJournal()},
        {"awkward paths, partly undone", Journal::encode(awkward)},
    };
    for (const auto &[name, journal] : rows) {
        CAPTURE(name);
        const JournalContents whole = Journal::parse(journal);
        REQUIRE(whole.steps.size() > 5);
        // Every record reads back as it was written, whatever its paths hold.
        REQUIRE(Journal::encode(whole) == journal);

        for (std::size_t at = 0; at < journal.size(); ++at) {
            const auto recordsBefore = static_cast<std::size_t>(std::count(
                journal.begin(), journal.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
            std::string damaged = journal;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
            INFO("at byte " << at);
            REQUIRE(Journal::parse(journal.substr(0, at)) == firstRecords(whole, recordsBefore));
            REQUIRE(Journal::parse(damaged) == firstRecords(whole, recordsBefore));
        }
    }
}

TEST_CASE("foreignJournalIsKeptAsideWithNothingChanged")
{
    const std::string outside = "which lies outside";
    // Where a crafted step points: %1 stands for the scratch folder, %2 for the game directory.
    const struct
    {
        const char *name;
        Foreign foreign;
        std::string why;
        std::string outside;
        Kind kind = Kind::Copy;
        std::string procedure = "Ins_Aftermath";
    } rows[] = {
        {"package unpacked elsewhere",
         Foreign::PackageUnpackedElsewhere,
         "it was written in the package folder",
         {}},
#ifndef _WIN32
        // Only Wine has prefixes.
        {"another Wine prefix", Foreign::OtherWinePrefix, "when it was written and is", {}},
        {"another Wine prefix, Counterstrike",
         Foreign::OtherWinePrefix,
         "when it was written and is",
         {},
         Kind::Copy,
         "Ins_Counter"},
        {"journal a link to a device", Foreign::DeviceLink, "it is not a plain file", {}},
#endif
        {"journal beside a thousand kept ones",
         Foreign::ThousandKept,
         "it does not begin with a record",
         {}},
        {"game reinstalled", Foreign::GameReinstalled, "has been deleted and made anew", {}},
        {"package moved: undone there", Foreign::PackageMoved, {}, {}},
        {"package moved, Counterstrike: undone there",
         Foreign::PackageMoved,
         {},
         {},
         Kind::Copy,
         "Ins_Counter"},
#ifndef _WIN32
        {"same game folder through another prefix: undone",
         Foreign::GameThroughOtherPrefix,
         {},
         {}},
        {"same game folder through another prefix, Counterstrike: undone",
         Foreign::GameThroughOtherPrefix,
         {},
         {},
         Kind::Copy,
         "Ins_Counter"},
#endif
        {"no first record", Foreign::Unnamed, "it does not begin with a record", {}},
        {"file in the home folder", Foreign::Crafted, outside, "%1/home/.bashrc"},
        {"up from the package", Foreign::Crafted, outside, "..\\home\\.bashrc"},
        {"up from the game folder", Foreign::Crafted, outside, "%2..\\home\\.bashrc"},
        {"up from the backup folder", Foreign::Crafted, outside,
         "%2BEXOMv2\\..\\..\\home\\.bashrc"},
        {"drive letter", Foreign::Crafted, outside, "C:\\home\\.bashrc"},
        {"drive-relative", Foreign::Crafted, outside, "C:.bashrc"},
        {"copy over a file the player sees", Foreign::Crafted, "which is not a file of its own",
         "%2Expand.mix"},
        {"create of a file the player sees", Foreign::Crafted, "which is not a file of its own",
         "%2Expand.mix", Kind::Create},
        {"rewrite of a file the player sees", Foreign::Crafted, "which is not a file of its own",
         "%2Rules.ini", Kind::Rewrite},
        {"folder made at three dots", Foreign::Crafted, outside, "%2...", Kind::MakeDirectory},
        {"device name", Foreign::Crafted, outside, "%2AUX.txt", Kind::Move},
        {"trailing dot", Foreign::Crafted, outside, "%2Rules.ini.", Kind::Move},
        {"stream", Foreign::Crafted, outside, "%2Rules.ini:hidden", Kind::Move},
        {"a name BEXOM never writes", Foreign::Crafted, "which is not a file BEXOM writes",
         "%2RA95.exe", Kind::Move},
#ifndef _WIN32
        // Making a link on Windows takes a privilege that the tests cannot count on.
        {"backup folder a link out", Foreign::BackupFolderLink, "leads out of the game folder",
         "%2BEXOMv2\\Rules.ini"},
#endif
    };
    for (const auto &[name, foreign, why, outsidePath, kind, procedure] : rows)
        SUBCASE(name)
        {
            InstallScratch scratch(GameFiles);
            const ScratchFolder &folder = scratch.scratch();
            std::vector<std::string> pristine = folder.snapshot();
            const std::string ownPrefix =
                std::getenv("WINEPREFIX") ? std::getenv("WINEPREFIX") : "";
            const ScratchFolder otherPrefix;
            std::string package = InstallScratch::PackageFolder;
            const auto craft = [&](const std::vector<TransactionStep> &steps) {
                const auto scope =
                    TransactionScope::resolve(scratch.fileSystem(), scratch.gameDirectory());
                folder.createFile(JournalPath, Journal::encode({scope.value(), steps, 0, false}));
            };
            const TransactionStep copyOutside{
                kind, kind == Kind::Copy || kind == Kind::Move ? "Rules.ini" : "",
                Text::replaceAll(Text::replaceAll(outsidePath, "%1", folder.path()), "%2",
                                 scratch.gameDirectory()),
                kind == Kind::Rewrite ? ".bexom-aside-0123abcd-1-Status.ini" : ""};
            switch (foreign) {
            case Foreign::PackageUnpackedElsewhere:
            case Foreign::PackageMoved:
                REQUIRE(killHalfWay(scratch, scratch.gameDirectory(), procedure));
                package = "unpacked";
                fs::rename(folder.at(InstallScratch::PackageFolder), folder.at(package));
                for (std::string &line : pristine)
                    line = Text::replaceAll(line, InstallScratch::PackageFolder + '/', "unpacked/");
                std::sort(pristine.begin(), pristine.end());
                if (foreign == Foreign::PackageUnpackedElsewhere)
                    makeAnew(folder, package);
                break;
            case Foreign::GameThroughOtherPrefix:
                REQUIRE(killHalfWay(scratch, scratch.driveCDirectory(), procedure));
                otherPrefix.createFolder("dosdevices");
                fs::create_symlink(folder.path(), otherPrefix.at("dosdevices/c:"));
#ifndef _WIN32
                ::setenv("WINEPREFIX", otherPrefix.path().c_str(), 1);
#endif
                break;
            case Foreign::OtherWinePrefix:
                REQUIRE(killHalfWay(scratch, scratch.driveCDirectory(), procedure));
                folder.createFolder("other/dosdevices");
                folder.createFolder("other/drive/game");
                fs::create_symlink(folder.at("other/drive"), folder.at("other/dosdevices/c:"));
#ifndef _WIN32
                ::setenv("WINEPREFIX", folder.at("other").c_str(), 1);
#endif
                break;
            case Foreign::GameReinstalled:
                REQUIRE(killHalfWay(scratch, scratch.gameDirectory(), procedure));
                makeAnew(folder, "game");
                break;
            case Foreign::Unnamed:
                folder.createFile(JournalPath, Journal::encode(copyOutside));
                // A journal kept before is never replaced.
                folder.createFile(JournalPath + ".foreign-1", "kept before");
                break;
            case Foreign::BackupFolderLink:
                fs::create_symlink(folder.at("home"), folder.at("game/BEXOMv2"));
                // Undone, the move would take the file through the link into the game folder.
                craft(
                    {{Kind::MakeDirectory, {}, scratch.gameDirectory() + "BEXOMv2", {}},
                     {Kind::Move, scratch.gameDirectory() + "Title.pcx", copyOutside.target, {}}});
                break;
            case Foreign::Crafted:
                craft({copyOutside});
                break;
            case Foreign::DeviceLink:
                fs::create_symlink("/dev/null", folder.at(JournalPath));
                break;
            case Foreign::ThousandKept:
                folder.createFile(JournalPath, Journal::encode(copyOutside));
                for (int number = 1; number <= 1000; ++number)
                    folder.createFile(JournalPath + ".foreign-" + std::to_string(number), "kept");
                break;
            }
            if (foreign == Foreign::PackageMoved || foreign == Foreign::GameThroughOtherPrefix) {
                HostFileSystem fileSystem(folder.at(package));
                const auto recovered = JournalRecovery(fileSystem).recover();
                VERIFY_SUCCESS(recovered);
                CHECK(recovered.value() == JournalRecovery::UndoneNotice);
                CHECK(folder.snapshot() == pristine);
                return;
            }
            folder.createFile("home/.bashrc", "the player's own");
            folder.createFile("home/Rules.ini", "the player's own");
            const std::string kept =
                Journal::FileName + (foreign == Foreign::Unnamed        ? ".foreign-2"
                                     : foreign == Foreign::ThousandKept ? ".foreign-1001"
                                                                        : ".foreign-1");
            std::vector<std::string> expected = folder.snapshot();
            const auto journalLine =
                std::find_if(expected.begin(), expected.end(), [](const std::string &line) {
                    return line.find("/" + Journal::FileName + " ") != std::string::npos;
                });
            REQUIRE(journalLine != expected.end());
            *journalLine = Text::replaceAll(*journalLine, Journal::FileName, kept);
            std::sort(expected.begin(), expected.end());

            HostFileSystem fileSystem(folder.at(package));
            const auto recovered = JournalRecovery(fileSystem).recover();

            VERIFY_SUCCESS(recovered);
            const std::string &notice = JournalRecovery::ForeignNotice;
            const std::size_t blank = notice.find("%1");
            INFO(recovered.value());
            CHECK(recovered.value().starts_with(notice.substr(0, blank)));
            CHECK(recovered.value().find(why) != std::string::npos);
            CHECK(recovered.value().ends_with(
                Text::replaceAll(notice.substr(blank + 2), "%2", kept)));
            CHECK(folder.snapshot() == expected);
            if (foreign == Foreign::PackageUnpackedElsewhere) {
                // While it is kept, the journal stops all work on the game folder it names.
                const auto refused =
                    ModInstaller(fileSystem).uninstall(Edition::Aftermath, scratch.gameDirectory());
                REQUIRE(refused.isError());
                CHECK(refused.error().path() == kept);
                CHECK(folder.snapshot() == expected);
            }
#ifndef _WIN32
            if (foreign == Foreign::OtherWinePrefix) {
                // Started again under its own prefix, the installer undoes the kept journal.
                ::setenv("WINEPREFIX", ownPrefix.c_str(), 1);
                const auto undone = JournalRecovery(fileSystem).recover();
                VERIFY_SUCCESS(undone);
                CHECK(undone.value() == JournalRecovery::UndoneNotice);
                fs::remove_all(folder.at("home"));
                fs::remove_all(folder.at("other"));
                CHECK(folder.snapshot() == pristine);
            }
#endif
        }
}

TEST_CASE("secondInstallerActsOnNothingWhileTheFirstWorks")
{
    InstallScratch scratch(GameFiles);
    const ScratchFolder &folder = scratch.scratch();
    const std::string game = scratch.gameDirectory();
    FaultyFileSystem counting(scratch.fileSystem());
    VERIFY_SUCCESS(ModInstaller(counting).install(Edition::Aftermath, game));
    const std::vector<std::string> installed = scratch.snapshot();
    scratch.reset();
    // Mid-way: the first copy into the game folder is done, the journal is live.
    const auto copyIntoGame = std::find_if(
        counting.operations().begin(), counting.operations().end(),
        [&](const std::string &operation) { return operation.starts_with("copyFile " + game); });
    const auto firstCopy = copyIntoGame - counting.operations().begin() + 1;
    folder.createFile("copy/Status.ini", "Status=Aftermath\r\nPath=" + game + "\r\n");
    ChildProcess first(CRASH_RUNNER,
                       runnerArguments(folder.at(InstallScratch::PackageFolder), "Ins_Aftermath",
                                       game, {std::to_string(firstCopy), "hold"}));
    REQUIRE(first.readLine());
    const std::vector<std::string> held = scratch.snapshot();
    REQUIRE(fs::exists(folder.at(JournalPath)));

    // From the same package folder: turned away before it looks at anything.
    ChildProcess second(CRASH_RUNNER, runnerArguments(folder.at(InstallScratch::PackageFolder),
                                                      "Unins_Aftermath", game, {"0"}));
    const std::optional<ChildProcess::Ending> secondEnding = second.finish();
    REQUIRE(secondEnding);
    CHECK(secondEnding->number == 3);
    // From another copy of the package: refused before its first step, since the game folder
    // holds no whole installation yet.
    ChildProcess third(CRASH_RUNNER,
                       runnerArguments(folder.at("copy"), "Unins_Counterstrike", game, {"0"}));
    const std::optional<ChildProcess::Ending> thirdEnding = third.finish();
    REQUIRE(thirdEnding);
    CHECK(thirdEnding->number == 1);
    CHECK(third.errors().find("cannot tell what to take out") != std::string::npos);
    CHECK(scratch.snapshot() == held);

    first.writeLine();
    const std::optional<ChildProcess::Ending> firstEnding = first.finish();
    REQUIRE(firstEnding);
    CHECK((!firstEnding->signalled && firstEnding->number == 0));
    fs::remove_all(folder.at("copy"));
    CHECK(scratch.snapshot() == installed);
}

TEST_CASE("unfinishedJournalRefusesAnotherProcedure")
{
    InstallScratch scratch;
    scratch.scratch().createFile(JournalPath,
                                 Journal::encode({Kind::MakeDirectory, {}, "elsewhere", {}}));
    const std::vector<std::string> before = scratch.snapshot();

    const auto outcome =
        ModInstaller(scratch.fileSystem()).install(Edition::Aftermath, scratch.gameDirectory());

    REQUIRE(outcome.isError());
    CHECK(outcome.error().path() == Journal::FileName);
    CHECK(scratch.snapshot() == before);
}
