#include "ChildProcess.h"
#include "CleanRun.h"
#include "FaultyFileSystem.h"
#include "install/Journal.h"
#include "install/JournalRecovery.h"
#include "install/ModInstaller.h"
#include "install/TransactionScope.h"
#include "InstallScratch.h"
#include "PointsCovered.h"
#include "Procedure.h"
#include "runtime/InstanceLock.h"
#include "ScopedWinePrefix.h"
#include "TestOutcome.h"
#include "ui/ErrorWording.h"
#include "ui/RecoveryWording.h"
#include "ui/RuntimeErrorNotice.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

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
    JournalFolder,            // a folder where the journal should be
    KeptAfterGap, // as OtherWinePrefix, kept after a gap in the numbers; undone at the next start
                  // together with another kept journal that names the same folders
    ThousandKept, // steps without the first record, beside a thousand kept journals
    TooLarge,     // larger than any journal a transaction writes
    GameRenamed,  // a real journal; the game folder renamed since, and later named back
    // Not foreign: the same folders reached another way, where the journal is undone.
    ForgedOverEdit, // steps of its own kinds and names that would move the player's kept edit away
    PackageMoved,   // the package folder moved as a whole
    GameThroughOtherPrefix, // another Wine prefix whose drive C leads to the same game folder
    Empty, // made, and cut short before its first record: it goes, as does a status file's
           // rewrite cut short
};

#ifndef _WIN32
std::string bootIdentity()
{
    std::string identity;
    std::ifstream("/proc/sys/kernel/random/boot_id") >> identity;
    return identity;
}
#endif

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
const Procedure InstallAftermath = *Procedure::named("Ins_Aftermath");

// The operations of a clean run of a procedure, with the scratch made anew after it.
std::vector<std::string> operationsOf(InstallScratch &scratch, const std::string &gameDirectory,
                                      const Procedure &procedure = InstallAftermath)
{
    FaultyFileSystem counting(scratch.fileSystem());
    REQUIRE(!procedure.run(counting, gameDirectory).isError());
    scratch.reset();
    return counting.operations();
}

// Runs a procedure on a disk that dies right after its Nth operation: the disk a process killed
// there leaves, as the engine touches the disk only through its FileSystem.
ErrorOr<void> runDyingAfter(InstallScratch &scratch, const Procedure &procedure, int operation,
                            const std::string &gameDirectory)
{
    FaultyFileSystem dying(scratch.fileSystem(), operation + 1, Fault::DeadDisk);
    return procedure.run(dying, gameDirectory);
}

// Recovers through start-ups that each die after one operation more than the one before, until
// one lives to finish; returns what that one tells the player, or its error report.
std::string recoverThroughCrashes(InstallScratch &scratch)
{
    for (int lived = 1;; ++lived) {
        FaultyFileSystem dying(scratch.fileSystem(), lived + 1, Fault::DeadDisk);
        const auto recovered = JournalRecovery(dying).recover();
        if (!recovered.isError())
            return RecoveryWording::notice(recovered.value());
        if (dying.operationCount() <= lived)
            return ErrorWording::report(recovered.error());
    }
}

// What a start that puts things right tells the player; that start must succeed.
std::string recoveryNotice(FileSystem &fileSystem)
{
    const auto recovered = JournalRecovery(fileSystem).recover();
    VERIFY_SUCCESS(recovered);
    return RecoveryWording::notice(recovered.value());
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

// Makes the journal that a process killed half-way through an Aftermath installation leaves. Its
// steps are of every kind, and on every folder, that the Counterstrike one's hold at that point.
bool killHalfWay(InstallScratch &scratch, const std::string &gameDirectory)
{
    const auto halfWay = static_cast<int>(operationsOf(scratch, gameDirectory).size() / 2);
    return runDyingAfter(scratch, InstallAftermath, halfWay, gameDirectory).isError() &&
           fs::exists(scratch.at(JournalPath));
}

// A journal as a process killed right after its commit record leaves it.
std::string committedJournal()
{
    InstallScratch scratch(GameFiles, AwkwardFolder);
    const int commit = lastIndexOf(operationsOf(scratch, scratch.gameDirectory()), JournalAppend);
    REQUIRE(
        runDyingAfter(scratch, InstallAftermath, commit + 1, scratch.gameDirectory()).isError());
    return scratch.scratch().contents(JournalPath);
}

#ifndef _WIN32
// Moves a folder of the scratch aside and gives its name to a link to an empty folder.
void swapForLink(const ScratchFolder &files, const std::string &folder)
{
    if (fs::exists(files.at(folder)))
        files.change(">" + folder + ">moved");
    files.change({"+decoy/", "@" + folder + ">" + files.at("decoy")});
}

// A backup folder that the installation made, and its undo emptied, goes; any other comes back.
void putBack(const ScratchFolder &files, const std::string &folder)
{
    files.change({"-" + folder, "-decoy"});
    if (fs::is_directory(files.at("moved")))
        files.change(fs::is_empty(files.at("moved")) ? "-moved" : ">moved>" + folder);
}
#endif

// What a player, or the game's own setup, does between a crash and the next start.
const std::vector<std::string> WorldChanges{"tunes a placed file", "puts the folder back by hand",
                                            "wipes and reinstalls the game",
#ifndef _WIN32
                                            "replaces a placed file by a link"
#endif
};

// While a procedure works, Windows refuses to delete the folders it holds open: there the player
// can only change files.
#ifdef _WIN32
const std::vector<std::string> ChangesWhileItWorks{"tunes a placed file"};
#else
const std::vector<std::string> &ChangesWhileItWorks = WorldChanges;
#endif

std::string contentsOf(const fs::path &file)
{
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), {}};
}

void changeWorld(const std::string &change, const ScratchFolder &files, const std::string &folder,
                 const std::vector<std::string> &gameFiles)
{
    const fs::path game = files.nativeAt(folder), backup = game / "BEXOMv2";
    std::map<std::string, fs::path> backedUp; // by the name in lower case, as the game sees it
    for (const auto &entry : fs::directory_iterator(fs::is_directory(backup) ? backup : game))
        if (fs::is_directory(backup) && !entry.path().string().ends_with(".manifest"))
            backedUp[Text::toLowerAscii(entry.path().filename().string())] = entry.path();
    for (const auto &entry : fs::directory_iterator(game)) {
        const std::string name = entry.path().filename().string();
        const std::string bytes = entry.is_regular_file() ? contentsOf(entry) : "";
        const auto original = backedUp.find(Text::toLowerAscii(name));
        const bool placed = !name.starts_with('.') && entry.is_regular_file() &&
                            !entry.is_symlink() &&
                            (bytes.starts_with("package ") ||
                             (original != backedUp.end() && contentsOf(original->second) != bytes));
        if (change == "wipes and reinstalls the game")
            fs::remove_all(entry);
        else if (placed && name.ends_with(".ini") && change == "tunes a placed file")
            files.createFile(folder + '/' + name, "tuned " + bytes);
        else if (placed && name.ends_with(".ini") && change.ends_with("by a link")) {
            files.createFile("home/own.ini", "linked by the player");
            fs::remove(entry);
            fs::create_symlink(files.nativeAt("home/own.ini"), entry);
        } else if (placed && change == "puts the folder back by hand")
            fs::remove(entry);
    }
    if (change == "wipes and reinstalls the game")
        for (const std::string &name : gameFiles)
            files.createFile(folder + '/' + name, InstallScratch::gameContent(name));
    if (change != "puts the folder back by hand" || backedUp.empty())
        return;
    for (const auto &[name, path] : backedUp)
        fs::rename(path, game / path.filename());
    fs::remove_all(backup);
}

// Writes into each file a procedure has set aside in the folder; returns what they hold now,
// under names the judge takes for visible ones.
std::vector<std::string> tuneSetAside(const ScratchFolder &files, const std::string &folder)
{
    std::vector<std::string> tuned;
    for (const auto &entry : fs::directory_iterator(files.nativeAt(folder)))
        if (const std::string name = entry.path().filename().string();
            name.starts_with(TransactionStep::HiddenNamePrefix) && entry.is_regular_file()) {
            const std::string bytes = "tuned " + contentsOf(entry);
            files.createFile(folder + '/' + name, bytes);
            tuned.push_back(ScratchFolder::fileLine(name, bytes));
        }
    return tuned;
}

std::string hashOf(const std::string &line)
{
    return line.substr(line.rfind(' ') + 1);
}

// Every byte the installer did not write is still at a visible name; every file the recovery
// moved, or left where the installation had put its own, is named in the notice.
void judgeRecovery(const std::vector<std::string> &world, const std::vector<std::string> &after,
                   const std::vector<std::string> &before, const std::string &notice)
{
    std::set<std::string> written;
    for (const std::string &name : InstallScratch::packageFiles())
        written.insert(hashOf(ScratchFolder::fileLine(name, InstallScratch::packageContent(name))));
    const auto has = [](const std::vector<std::string> &lines, const std::string &line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    const auto visible = [](const std::string &line) {
        return line.find("/.") == std::string::npos;
    };
    for (const std::string &line : world)
        if (visible(line) && !line.ends_with('/') && !written.contains(hashOf(line)) &&
            line.find("Status.ini ") == std::string::npos &&
            line.find(".manifest ") == std::string::npos &&
            line.find(Journal::FileName + ' ') == std::string::npos)
            CHECK_MESSAGE(std::any_of(after.begin(), after.end(),
                                      [&](const std::string &kept) {
                                          return visible(kept) && hashOf(kept) == hashOf(line);
                                      }),
                          line);
    for (const std::string &line : after)
        if (!has(before, line) && !has(world, line) && !line.starts_with("home/"))
            CHECK_MESSAGE(
                notice.find(fs::path(line.substr(0, line.rfind(' '))).filename().string()) !=
                    std::string::npos,
                line);
}

PointsCovered injectionPoints("injection points");
PointsCovered killPoints("kill points");
#ifndef _WIN32
PointsCovered linkSwaps("link swaps");
#endif

} // namespace

// Each operation of each procedure fails alone, as on a full disk, and the procedure undoes its
// steps; then the process is killed right after it, and the next start puts things right.
TEST_CASE("everyFailedOperationIsUndoneAndEveryKillPutRightAtTheNextStart")
{
    for (const Procedure &procedure : Procedure::all())
        SUBCASE(procedure.name.c_str())
        {
            // The player's own Rules.ini and Title.pcx make the installation keep them too; names
            // in upper case, as the game has them, make every undo keep their spelling.
            std::vector<std::string> gameFiles{"EXPAND.MIX", "RULES.INI", "Title.pcx"};
            if (procedure.edition == Edition::Aftermath)
                gameFiles.push_back("EXPAND2.MIX");
            InstallScratch scratch(gameFiles, AwkwardFolder);
            const std::string game = scratch.gameDirectory();
            VERIFY_SUCCESS(procedure.prepare(scratch));
            CleanRun clean{scratch.snapshot(), {}};
            FaultyFileSystem counting(scratch.fileSystem());
            VERIFY_SUCCESS(procedure.run(counting, game));
            clean.done = scratch.snapshot();
            const int operations = counting.operationCount();
            const int firstRecord = indexOf(counting.operations(), JournalAppend) + 1;
            const int commitRecord = lastIndexOf(counting.operations(), JournalAppend) + 1;
            REQUIRE((firstRecord > 0 && firstRecord < commitRecord));

            for (int operation = 1; operation <= operations; ++operation) {
                INFO("operation " << operation << ": " << counting.operations()[operation - 1]);
                VERIFY_SUCCESS(procedure.prepare(scratch));
                FaultyFileSystem faulty(scratch.fileSystem(), operation);
                const ErrorOr<void> failed = procedure.run(faulty, game);
                REQUIRE(failed.isError());
                REQUIRE(failed.error().path() == faulty.failedPath());
                // Once committed, only the originals kept aside are still to be dropped: the
                // work stays done, and the error tells which file is left over.
                const bool committed = failed.error().hasChangesLeft();
                if (committed)
                    REQUIRE(ErrorWording::changesLeft(failed.error().changesLeft())
                                .find(faulty.failedPath()) != std::string::npos);
                REQUIRE(clean.allOrNothing(scratch.snapshot(),
                                           committed ? Commit::Reached : Commit::NotReached));

                // Killed after the last operation, the procedure has finished.
                VERIFY_SUCCESS(procedure.prepare(scratch));
                const ErrorOr<void> killed = runDyingAfter(scratch, procedure, operation, game);
                REQUIRE(killed.isError() == (operation < operations));
                const bool journalLeft = operation >= firstRecord && operation < operations;
                // Whatever it had done, a procedure that could not undo it says what is left.
                if (journalLeft)
                    REQUIRE(killed.error().hasChangesLeft());
                // A power cut may also leave half a record at the end; here, every other time.
                if (journalLeft && operation % 2 == 1)
                    scratch.scratch().createFile(JournalPath,
                                                 scratch.scratch().contents(JournalPath) +
                                                     Journal::encodeUndone().substr(0, 4));
                const Commit commit =
                    operation < commitRecord ? Commit::NotReached : Commit::Reached;
                const std::string notice = commit == Commit::NotReached
                                               ? RecoveryWording::UndoneNotice
                                               : RecoveryWording::FinishedNotice;
                REQUIRE(recoverThroughCrashes(scratch) == (journalLeft ? notice : std::string()));
                REQUIRE(clean.allOrNothing(scratch.snapshot(), commit, Leftovers::Cleared));
                // The world changed before the next start: the undo keeps every byte the installer
                // did not write and tells what it could not take back.
                for (const std::string &change : commit == Commit::NotReached && journalLeft
                                                     ? WorldChanges
                                                     : std::vector<std::string>{}) {
                    INFO("the player " << change);
                    VERIFY_SUCCESS(procedure.prepare(scratch));
                    REQUIRE(runDyingAfter(scratch, procedure, operation, game).isError());
                    changeWorld(change, scratch.scratch(), AwkwardFolder, gameFiles);
                    const std::vector<std::string> world = scratch.snapshot();
                    const std::string told = recoveryNotice(scratch.fileSystem());
                    INFO(told);
                    judgeRecovery(world, scratch.snapshot(), clean.before, told);
                    scratch.scratch().change("-home");
                }
                // After the commit record only the files set aside are still to be dropped, and
                // one written since is kept and named instead.
                if (commit == Commit::Reached && journalLeft) {
                    VERIFY_SUCCESS(procedure.prepare(scratch));
                    REQUIRE(runDyingAfter(scratch, procedure, operation, game).isError());
                    std::vector<std::string> tuned = tuneSetAside(scratch.scratch(), AwkwardFolder);
                    for (const std::string &line :
                         tuneSetAside(scratch.scratch(), InstallScratch::PackageFolder))
                        tuned.push_back(line);
                    const auto recovered = JournalRecovery(scratch.fileSystem()).recover();
                    VERIFY_SUCCESS(recovered);
                    const std::string told = RecoveryWording::notice(recovered.value());
                    INFO(told);
                    CHECK(told.starts_with(tuned.empty()
                                               ? RecoveryWording::FinishedNotice
                                               : RecoveryWording::FinishedAroundChangesNotice));
                    judgeRecovery(tuned, scratch.snapshot(), clean.done, told);
                }
                // The same changes made while the procedure works, just before the operation that
                // fails: its own undo keeps them as a start's would, and its error says so.
                for (const std::string &change : commit == Commit::NotReached && journalLeft
                                                     ? ChangesWhileItWorks
                                                     : std::vector<std::string>{}) {
                    INFO("meanwhile, the player " << change);
                    VERIFY_SUCCESS(procedure.prepare(scratch));
                    FaultyFileSystem failing(scratch.fileSystem(), operation);
                    FaultyFileSystem changing(failing, operation, Fault::Change);
                    std::vector<std::string> world;
                    changing.changeBefore([&] {
                        changeWorld(change, scratch.scratch(), AwkwardFolder, gameFiles);
                        world = scratch.snapshot();
                    });
                    const ErrorOr<void> failed = procedure.run(changing, game);
                    REQUIRE(failed.isError());
                    const std::string told = RuntimeErrorNotice::prompt(failed.error());
                    INFO(told);
                    CHECK(failed.error().keptFiles().empty() ==
                          (told.find(RecoveryWording::UndoneAroundChangesOutcome) ==
                           std::string::npos));
                    judgeRecovery(world, scratch.snapshot(), clean.before, told);
                    fs::remove_all(scratch.at("home"));
                }
#ifndef _WIN32
                // The backup folder, then the game folder, moved away just before the operation
                // and its name given to a link to an empty folder: nothing reaches that folder,
                // and with the folder put back everything is as before, or as done.
                for (const std::string &folder : {AwkwardFolder + "/BEXOMv2", AwkwardFolder}) {
                    INFO(folder << " swapped for a link");
                    VERIFY_SUCCESS(procedure.prepare(scratch));
                    FaultyFileSystem swapping(scratch.fileSystem(), operation, Fault::Change);
                    swapping.changeBefore([&] { swapForLink(scratch.scratch(), folder); });
                    const ErrorOr<void> swapped = procedure.run(swapping, game);
                    REQUIRE(fs::is_empty(scratch.at("decoy")));
                    putBack(scratch.scratch(), folder);
                    REQUIRE(scratch.snapshot() == (swapped.isError() ? clean.before : clean.done));
                }
                // The recovery, too, works in the folders it holds: the backup folder swapped for
                // a link once held leads nowhere, and with it put back, all is undone.
                const auto killAgain = [&] {
                    VERIFY_SUCCESS(procedure.prepare(scratch));
                    REQUIRE(runDyingAfter(scratch, procedure, operation, game).isError());
                };
                FaultyFileSystem watching(scratch.fileSystem());
                if (operation == commitRecord - 1) {
                    killAgain();
                    VERIFY_SUCCESS(JournalRecovery(watching).recover());
                }
                if (const int held =
                        indexOf(watching.operations(), "holdFolder " + game + "BEXOMv2");
                    held >= 0) {
                    killAgain();
                    FaultyFileSystem swapping(scratch.fileSystem(), held + 2, Fault::Change);
                    swapping.changeBefore(
                        [&] { swapForLink(scratch.scratch(), AwkwardFolder + "/BEXOMv2"); });
                    const auto swapped = JournalRecovery(swapping).recover();
                    REQUIRE(fs::is_empty(scratch.at("decoy")));
                    putBack(scratch.scratch(), AwkwardFolder + "/BEXOMv2");
                    REQUIRE(recoverThroughCrashes(scratch) ==
                            (swapped.isError() ? RecoveryWording::UndoneNotice : std::string()));
                    REQUIRE(scratch.snapshot() == clean.before);
                }
#endif
            }
            injectionPoints.add(procedure.name, operations);
            killPoints.add(procedure.name, operations);
#ifndef _WIN32
            linkSwaps.add(procedure.name, 2 * operations);
#endif
        }
}

TEST_CASE("realCrashLeavesNoLockAndNoOpenFileBehind")
{
    InstallScratch scratch(GameFiles, AwkwardFolder);
    const std::string package = scratch.at(InstallScratch::PackageFolder);
    const std::vector<std::string> before = scratch.snapshot();
    const std::string halfWay =
        std::to_string(operationsOf(scratch, scratch.gameDirectory()).size() / 2);
    REQUIRE(runToEnd(RUNNER, {package, "Ins_Aftermath", scratch.gameDirectory(), "kill",
                              halfWay}) == KilledExitCode);
    REQUIRE(fs::exists(scratch.at(JournalPath)));

    // The lock went with the process, and no file it had open stands in the way of the undo.
    REQUIRE(InstanceLock::acquire(package, package).value().has_value());
    CHECK(recoveryNotice(scratch.fileSystem()) == RecoveryWording::UndoneNotice);
    CHECK(scratch.snapshot() == before);
}

TEST_CASE("lockFileIsTakenOverOnlyFromAnOwnerThatIsGone")
{
    const struct
    {
        std::string name;
        std::string left; // the record of a lock file found in the folder, if any
        bool taken;
        bool folder = false; // a folder of the lock file's name, made long ago, instead
    } rows[] = {
        {"free", {}, true},
#ifndef _WIN32
        {"held by a live process", std::to_string(::getpid()) + ' ' + bootIdentity(), false},
        {"left by a process that is gone", "2147483647 " + bootIdentity(), true},
        {"left by another boot", std::to_string(::getpid()) + " another-boot", true},
        {"left by a process whose number another has now",
         std::to_string(::getpid()) + ' ' + bootIdentity() + " 1", true},
        {"a folder of its name", {}, true, true},
#endif
    };
    for (const auto &[name, left, taken, leftFolder] : rows)
        SUBCASE(name.c_str())
        {
            const ScratchFolder folder;
            if (!left.empty())
                folder.createFile(".bexom-lock", left);
            if (leftFolder) {
                const fs::path made = fs::path(folder.nativePath()) / ".bexom-lock";
                fs::create_directory(made);
                fs::last_write_time(made, fs::file_time_type::clock::now() - std::chrono::hours(1));
            }
            const std::vector<std::string> before = folder.snapshot();
            const auto acquire = [&] {
                return InstanceLock::acquire(folder.nativePath(), "package",
                                             InstanceLock::Means::LockFile);
            };
            auto lock = acquire();
            REQUIRE(!lock.isError());
            REQUIRE(lock.value().has_value() == taken);
            if (!taken) {
                CHECK(folder.snapshot() == before);
                continue;
            }
            const auto second = acquire();
            CHECK((!second.isError() && !second.value()));
            lock = std::optional<InstanceLock>();
            CHECK(fs::is_empty(folder.nativePath()));
        }
}

#ifndef _WIN32
TEST_CASE("threeInstallersTakeOverAStaleLockFileOneAtATime")
{
    for (int round = 0; round < 10; ++round) {
        const ScratchFolder folder;
        folder.createFile(".bexom-lock", "2147483647 " + bootIdentity());
        // Every other round, a takeover cut short by a crash is in the way as well.
        if (round % 2 == 1)
            folder.createFile(".bexom-lock.takeover", "2147483647 " + bootIdentity());
        std::vector<int> exits(3);
        std::vector<std::thread> installers;
        for (std::size_t index = 0; index < exits.size(); ++index)
            installers.emplace_back([&, index] {
                exits[index] = runToEnd(RUNNER, {folder.nativePath(), "lock", "300"});
            });
        for (std::thread &installer : installers)
            installer.join();
        INFO("round " << round);
        CHECK(std::count(exits.begin(), exits.end(), 0) >= 1);
        CHECK(std::count(exits.begin(), exits.end(), 0) +
                  std::count(exits.begin(), exits.end(), 3) ==
              3);
        CHECK(fs::is_empty(folder.nativePath()));
    }
}
#endif

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
    struct Row
    {
        std::string name;
        Foreign foreign;
        std::string why;
        std::string outside = {};
        Kind kind = Kind::Copy;
    };
    std::vector<Row> rows;
    const auto row = [&rows](auto... fields) {
        rows.push_back({fields...});
    };
    const std::string anywhere;
    row("package unpacked elsewhere", Foreign::PackageUnpackedElsewhere,
        "it was written in the package folder");
#ifndef _WIN32
    // Only Wine has prefixes.
    row("another Wine prefix", Foreign::OtherWinePrefix, "when it was written and is");
    row("journal a link to a device", Foreign::DeviceLink, "it is not a plain file");
    row("kept after a gap, then undone beside another", Foreign::KeptAfterGap,
        "when it was written and is");
#endif
    row("journal a folder", Foreign::JournalFolder, "it is not a plain file");
    row("journal beside a thousand kept ones", Foreign::ThousandKept,
        "it does not begin with a record");
    row("game reinstalled", Foreign::GameReinstalled, "has been deleted and made anew");
    row("journal too large", Foreign::TooLarge, "it is far larger than any journal");
    row("game folder renamed, then named back", Foreign::GameRenamed, "no longer exists");
    row("journal empty: removed", Foreign::Empty, anywhere);
    row("package moved: undone there", Foreign::PackageMoved, anywhere);
#ifndef _WIN32
    row("same game folder through another prefix: undone", Foreign::GameThroughOtherPrefix,
        anywhere);
#endif
    row("forged over a kept edit: undone around it", Foreign::ForgedOverEdit, anywhere);
    row("no first record", Foreign::Unnamed, "it does not begin with a record");
    row("file in the home folder", Foreign::Crafted, outside, "%1/home/.bashrc");
    row("up from the package", Foreign::Crafted, outside, "..\\home\\.bashrc");
    row("up from the game folder", Foreign::Crafted, outside, "%2..\\home\\.bashrc");
    row("up from the backup folder", Foreign::Crafted, outside, "%2BEXOMv2\\..\\..\\home\\.bashrc");
    row("drive letter", Foreign::Crafted, outside, "C:\\home\\.bashrc");
    row("drive-relative", Foreign::Crafted, outside, "C:.bashrc");
    const std::string notOwn = "which is not a file of its own";
    row("copy over a file the player sees", Foreign::Crafted, notOwn, "%2Expand.mix");
    row("create of a file the player sees", Foreign::Crafted, notOwn, "%2Expand.mix", Kind::Create);
    row("rewrite of a file the player sees", Foreign::Crafted, notOwn, "%2Rules.ini",
        Kind::Rewrite);
    row("folder made at three dots", Foreign::Crafted, outside, "%2...", Kind::MakeDirectory);
    row("device name", Foreign::Crafted, outside, "%2AUX.txt", Kind::Move);
    row("trailing dot", Foreign::Crafted, outside, "%2Rules.ini.", Kind::Move);
    row("stream", Foreign::Crafted, outside, "%2Rules.ini:hidden", Kind::Move);
    row("a name BEXOM never writes", Foreign::Crafted, "which is not a file BEXOM writes",
        "%2RA95.exe", Kind::Move);
#ifndef _WIN32
    // Making a link on Windows takes a privilege that the tests cannot count on.
    row("backup folder a link out", Foreign::BackupFolderLink, "leads out of the game folder",
        "%2BEXOMv2\\Rules.ini");
#endif
    for (const auto &[name, foreign, why, outsidePath, kind] : rows)
        SUBCASE(name.c_str())
        {
            InstallScratch scratch(GameFiles);
            const ScratchFolder &folder = scratch.scratch();
            std::vector<std::string> pristine = folder.snapshot();
            const ScratchFolder secondPrefix;
            std::string package = InstallScratch::PackageFolder;
            std::optional<ScopedWinePrefix> otherPrefix;
            // Beside one kept journal, names that only resemble those of kept journals.
            const std::vector<std::string> keptBefore =
                foreign == Foreign::KeptAfterGap
                    ? std::vector<std::string>{"2", "007", "4x", "99999999999999999999"}
                    : std::vector<std::string>{};
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
                REQUIRE(killHalfWay(scratch, scratch.gameDirectory()));
                package = "unpacked";
                folder.change(">" + InstallScratch::PackageFolder + ">" + package);
                for (std::string &line : pristine)
                    line = Text::replaceAll(line, InstallScratch::PackageFolder + '/', "unpacked/");
                std::sort(pristine.begin(), pristine.end());
                if (foreign == Foreign::PackageUnpackedElsewhere)
                    folder.change("^" + package);
                break;
            case Foreign::GameThroughOtherPrefix:
                REQUIRE(killHalfWay(scratch, scratch.driveCDirectory()));
                secondPrefix.change("@dosdevices/c:>" + folder.path());
                otherPrefix.emplace(secondPrefix.path());
                break;
            case Foreign::OtherWinePrefix:
            case Foreign::KeptAfterGap:
                REQUIRE(killHalfWay(scratch, scratch.driveCDirectory()));
                folder.change(
                    {"+other/drive/game/", "@other/dosdevices/c:>" + folder.at("other/drive")});
                otherPrefix.emplace(folder.at("other"));
                for (const std::string &number : keptBefore)
                    folder.createFile(JournalPath + ".foreign-" + number, "kept before");
                break;
            case Foreign::GameReinstalled:
                REQUIRE(killHalfWay(scratch, scratch.gameDirectory()));
                folder.change("^game");
                break;
            case Foreign::Unnamed:
                folder.createFile(JournalPath, Journal::encode(copyOutside));
                // A journal kept before is never replaced.
                folder.createFile(JournalPath + ".foreign-1", "kept before");
                break;
            case Foreign::BackupFolderLink:
                folder.change("@game/BEXOMv2>" + folder.at("home"));
                // Undone, the move would take the file through the link into the game folder.
                craft(
                    {{Kind::MakeDirectory, {}, scratch.gameDirectory() + "BEXOMv2", {}},
                     {Kind::Move, scratch.gameDirectory() + "Title.pcx", copyOutside.target, {}}});
                break;
            case Foreign::Crafted:
                craft({copyOutside});
                break;
            case Foreign::ForgedOverEdit:
                folder.createFile(package + "/Rules (edited).ini", "the player's edit");
                // Beside the move's two ends: an only copy, kept, and one a kill cut short.
                folder.createFile(package + "/.bexom-moving-.bexom-aside-0123abcd-1-Rules.ini",
                                  "someone's own");
                pristine = folder.snapshot();
                folder.createFile(package + "/.bexom-moving-Rules (edited).ini", "the player's");
                craft(
                    {{Kind::Copy, "Rules.ini", ".bexom-aside-0123abcd-1-Rules.ini", {}},
                     {Kind::Move, ".bexom-aside-0123abcd-1-Rules.ini", "Rules (edited).ini", {}}});
                break;
            case Foreign::DeviceLink:
                folder.change("@" + JournalPath + ">/dev/null");
                break;
            case Foreign::JournalFolder:
                folder.createFile(JournalPath + "/steps", "not a journal");
                break;
            case Foreign::GameRenamed:
                REQUIRE(killHalfWay(scratch, scratch.gameDirectory()));
                folder.change(">game>renamed");
                break;
            case Foreign::TooLarge:
                folder.createFile(JournalPath, std::string(17 << 20, '\n'));
                break;
            case Foreign::Empty:
                // Beside it, what a kill at the flush of the status file's rewrite leaves.
                folder.change({"+" + JournalPath, "+package/.bexom-new-Status.ini=Sta"});
                break;
            case Foreign::ThousandKept:
                folder.createFile(JournalPath, Journal::encode(copyOutside));
                for (int number = 1; number <= 1000; ++number)
                    folder.createFile(JournalPath + ".foreign-" + std::to_string(number), "kept");
                break;
            }
            if (foreign == Foreign::PackageMoved || foreign == Foreign::GameThroughOtherPrefix ||
                foreign == Foreign::ForgedOverEdit || foreign == Foreign::Empty) {
                HostFileSystem fileSystem(folder.at(package));
                const std::string notice = recoveryNotice(fileSystem);
                if (foreign == Foreign::Empty)
                    CHECK(notice.empty());
                else
                    CHECK(notice.starts_with(foreign == Foreign::ForgedOverEdit
                                                 ? RecoveryWording::UndoneAroundChangesNotice
                                                 : RecoveryWording::UndoneNotice));
                CHECK(folder.snapshot() == pristine);
                continue;
            }
            folder.change({"+home/.bashrc=the player's own"s, "+home/Rules.ini=the player's own"s});
            const std::string kept =
                Journal::FileName + (foreign == Foreign::Unnamed        ? ".foreign-2"
                                     : foreign == Foreign::ThousandKept ? ".foreign-1001"
                                     : foreign == Foreign::KeptAfterGap ? ".foreign-3"
                                                                        : ".foreign-1");
            std::vector<std::string> expected = folder.snapshot();
            for (std::string &line : expected)
                for (const char after : {' ', '/'})
                    if (line.find("/" + Journal::FileName + after) != std::string::npos)
                        line = Text::replaceAll(line, "/" + Journal::FileName, "/" + kept);
            REQUIRE(expected != folder.snapshot());
            std::sort(expected.begin(), expected.end());

            HostFileSystem fileSystem(folder.at(package));
            const std::string told = recoveryNotice(fileSystem);

            const std::string &notice = RecoveryWording::ForeignNotice;
            const std::size_t blank = notice.find("%1");
            INFO(told);
            CHECK(told.starts_with(notice.substr(0, blank)));
            CHECK(told.find(why) != std::string::npos);
            CHECK(told.ends_with(Text::replaceAll(notice.substr(blank + 2), "%2", kept)));
            CHECK(folder.snapshot() == expected);
            if (foreign == Foreign::PackageUnpackedElsewhere) {
                // While it is kept, the journal stops all work on the game folder it names.
                const auto refused =
                    ModInstaller(fileSystem).uninstall(Edition::Aftermath, scratch.gameDirectory());
                REQUIRE(refused.isError());
                CHECK(refused.error().path() == kept);
                CHECK(folder.snapshot() == expected);
                // So does one that cannot be read.
                FaultyFileSystem counted(fileSystem);
                (void)ModInstaller(counted).uninstall(Edition::Aftermath, scratch.gameDirectory());
                FaultyFileSystem failing(fileSystem,
                                         indexOf(counted.operations(), "readFile " + kept) + 1,
                                         Fault::IoError);
                const auto unread =
                    ModInstaller(failing).uninstall(Edition::Aftermath, scratch.gameDirectory());
                REQUIRE(unread.isError());
                CHECK(unread.error().path() == kept);
                CHECK(unread.error().cause().reason() == ErrorReason::SystemMessage);
                CHECK(folder.snapshot() == expected);
                // Once the game folder is put back by hand, the kept journal holds nothing up.
                for (const fs::directory_entry &entry : fs::directory_iterator(folder.at("game")))
                    fs::remove_all(entry.path());
                for (const std::string &name : GameFiles)
                    folder.createFile("game/" + name, InstallScratch::gameContent(name));
                VERIFY_SUCCESS(
                    ModInstaller(fileSystem).install(Edition::Aftermath, scratch.gameDirectory()));
            }
            if (foreign == Foreign::GameRenamed) {
                const auto refused =
                    ModInstaller(fileSystem)
                        .uninstall(Edition::Aftermath, folder.at("renamed") + '\\');
                REQUIRE(refused.isError());
                CHECK(refused.error().cause().reason() == ErrorReason::KeptJournalGameFolderMoved);
                INFO(ErrorWording::report(refused.error()));
                CHECK(ErrorWording::cause(refused.error())
                          .find("Rename or move the game folder back") != std::string::npos);
                folder.change(">renamed>game");
                CHECK(recoveryNotice(fileSystem) == RecoveryWording::UndoneNotice);
                folder.change("-home");
                CHECK(folder.snapshot() == pristine);
            }
#ifndef _WIN32
            if (foreign == Foreign::OtherWinePrefix || foreign == Foreign::KeptAfterGap) {
                // While it is kept, no procedure starts from its package folder, on any game.
                const auto refused = ModInstaller(fileSystem)
                                         .uninstall(Edition::Aftermath, scratch.driveCDirectory());
                REQUIRE(refused.isError());
                CHECK(refused.error().cause().reason() == ErrorReason::KeptJournalFromThisPackage);
                CHECK(folder.snapshot() == expected);
                // Started again under its own prefix, the installer undoes the kept journals.
                otherPrefix.reset();
                std::string notices = RecoveryWording::UndoneNotice;
                if (foreign == Foreign::KeptAfterGap) {
                    const auto scope =
                        TransactionScope::resolve(fileSystem, scratch.driveCDirectory());
                    folder.createFile(JournalPath + ".foreign-7",
                                      Journal::encode({scope.value(), {}, 0, true}));
                    notices += "\n\n" + RecoveryWording::FinishedNotice;
                    for (const std::string &number : keptBefore)
                        fs::remove(folder.at(JournalPath + ".foreign-" + number));
                }
                CHECK(recoveryNotice(fileSystem) == notices);
                folder.change({"-home"s, "-other"s});
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
    const std::string package = scratch.at(InstallScratch::PackageFolder);
    VERIFY_SUCCESS(InstallAftermath.run(scratch.fileSystem(), game));
    const std::vector<std::string> installed = scratch.snapshot();
    scratch.reset();
    // Mid-way: the first copy into the game folder is done, the journal is live.
    const std::vector<std::string> operations = operationsOf(scratch, game);
    const auto firstCopy =
        static_cast<int>(std::find_if(operations.begin(), operations.end(),
                                      [&](const std::string &operation) {
                                          return operation.starts_with("copyFile " + game);
                                      }) -
                         operations.begin() + 1);
    folder.createFile("copy/Status.ini", "Status=Aftermath\r\nPath=" + game + "\r\n");
    auto firstLock = InstanceLock::acquire(package, package);
    REQUIRE((!firstLock.isError() && firstLock.value()));
    FaultyFileSystem first(scratch.fileSystem(), firstCopy, Fault::Pause);
    bool paused = false;
    first.pauseWith([&] {
        paused = true;
        const std::vector<std::string> held = scratch.snapshot();
        REQUIRE(fs::exists(folder.at(JournalPath)));
        // From the same package folder: turned away before it looks at anything.
        const auto second = InstanceLock::acquire(package, package);
        CHECK((!second.isError() && !second.value()));
        // From another copy of the package: refused before its first step, since the game
        // folder holds no whole installation yet.
        HostFileSystem copy(folder.at("copy"));
        const auto third = ModInstaller(copy).uninstall(Edition::Counterstrike, game);
        REQUIRE(third.isError());
        CHECK(reasonOf(third.error()) == ErrorReason::EarlierInstallationIncomplete);
        CHECK(scratch.snapshot() == held);
    });

    VERIFY_SUCCESS(InstallAftermath.run(first, game));

    CHECK(paused);
    firstLock = std::optional<InstanceLock>();
    fs::remove_all(folder.at("copy"));
    CHECK(scratch.snapshot() == installed);
}

TEST_CASE("noProcedureWorksOnAGameFolderAnotherInstallerWorksOn")
{
    for (const Procedure &procedure : Procedure::all())
        SUBCASE(procedure.name.c_str())
        {
            InstallScratch scratch(GameFiles);
            VERIFY_SUCCESS(procedure.prepare(scratch));
            // An installer started from another copy of the package, at work on the game folder.
            const auto other =
                InstanceLock::acquire(scratch.gameFolderPath(), scratch.gameDirectory());
            REQUIRE((!other.isError() && other.value()));
            const std::vector<std::string> before = scratch.snapshot();

            const auto refused = procedure.run(scratch.fileSystem(), scratch.gameDirectory());

            REQUIRE(refused.isError());
            CHECK(refused.error().cause().reason() == ErrorReason::AnotherInstallerWorking);
            CHECK(scratch.snapshot() == before);
        }
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
