#include "FaultyFileSystem.h"
#include "install/Journal.h"
#include "install/JournalRecovery.h"
#include "install/ModInstaller.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

#include <cstdio>

enum class Route { Procedure, Request };

namespace {

int injectionPoints = 0;

// Printed once all the tests have run, as the whole count of what they covered.
const struct InjectionPointTotal
{
    ~InjectionPointTotal() { std::printf("%d injection points covered in all\n", injectionPoints); }
} injectionPointTotal;

#ifndef _WIN32
namespace fs = std::filesystem;

void swapForLink(const ScratchFolder &files, const std::string &folder)
{
    fs::create_directory(files.at("decoy"));
    if (fs::exists(files.at(folder)))
        fs::rename(files.at(folder), files.at("moved"));
    fs::create_directory_symlink(files.at("decoy"), files.at(folder));
}

// A backup folder that the installation made, and its undo emptied, goes; any other comes back.
void putBack(const ScratchFolder &files, const std::string &folder)
{
    fs::remove(files.at(folder));
    fs::remove(files.at("decoy"));
    std::error_code notEmpty;
    if (fs::is_directory(files.at("moved")) && !fs::remove(files.at("moved"), notEmpty))
        fs::rename(files.at("moved"), files.at(folder));
}
#endif

} // namespace

TEST_CASE("everyFailedOperationLeavesEverythingAsBefore")
{
    for (const Route route : {Route::Procedure, Route::Request})
        for (const Procedure &procedure : Procedure::all()) {
            const std::string name = procedure.name + " through the " +
                                     (route == Route::Procedure ? "procedure" : "request");
            SUBCASE(name.c_str())
            {
                // The player's own Rules.ini and Title.pcx make the installation keep them too;
                // names in upper case, as the game has them, make every undo keep their
                // spelling.
                std::vector<std::string> gameFiles{"EXPAND.MIX", "RULES.INI", "Title.pcx"};
                if (procedure.edition == Edition::Aftermath)
                    gameFiles.push_back("EXPAND2.MIX");
                InstallScratch scratch(gameFiles);
                const auto run = [&](FileSystem &fileSystem) {
                    return route == Route::Procedure
                               ? procedure.run(fileSystem, scratch.gameDirectory())
                               : procedure.request(fileSystem, scratch.gameDirectory());
                };
                VERIFY_SUCCESS(procedure.prepare(scratch));
                const std::vector<std::string> before = scratch.snapshot();
                FaultyFileSystem counting(scratch.fileSystem());
                VERIFY_SUCCESS(run(counting));
                const std::vector<std::string> done = scratch.snapshot();

                for (int operation = 1; operation <= counting.operationCount(); ++operation) {
                    VERIFY_SUCCESS(procedure.prepare(scratch));
                    FaultyFileSystem faulty(scratch.fileSystem(), operation);
                    const ErrorOr<void> outcome = run(faulty);
                    const std::string where =
                        "operation " + std::to_string(operation) + " on " + faulty.failedPath();
                    INFO(where);
                    REQUIRE(outcome.isError());
                    REQUIRE(outcome.error().path() == faulty.failedPath());
                    // Once committed, only the originals kept aside are still to be dropped: the
                    // work stays done, and the error tells which file is left over.
                    if (outcome.error().leftChanges()) {
                        REQUIRE(outcome.error().changesLeft().find(faulty.failedPath()) !=
                                std::string::npos);
                        REQUIRE(InstallScratch::withoutLeftovers(scratch.snapshot()) == done);
                    } else {
                        REQUIRE(scratch.snapshot() == before);
                    }
                }
#ifndef _WIN32
                // The backup folder, then the game folder, moved away before each operation and
                // its name given to a link to an empty folder: nothing reaches that folder, and
                // with the folder put back everything is as before, or as done.
                for (const std::string folder : {"game/BEXOMv2", "game"})
                    for (int operation = 1;
                         route == Route::Procedure && operation <= counting.operationCount();
                         ++operation) {
                        VERIFY_SUCCESS(procedure.prepare(scratch));
                        FaultyFileSystem swapping(scratch.fileSystem(), operation, Fault::Change);
                        const ScratchFolder &files = scratch.scratch();
                        swapping.changeBefore([&] { swapForLink(files, folder); });
                        const ErrorOr<void> outcome = run(swapping);
                        const std::string swapped =
                            folder + " swapped before operation " + std::to_string(operation);
                        INFO(swapped);
                        REQUIRE(fs::is_empty(files.at("decoy")));
                        putBack(files, folder);
                        REQUIRE(scratch.snapshot() == (outcome.isError() ? before : done));
                    }
#endif
                injectionPoints += counting.operationCount();
                std::printf("%s: %d injection points\n", name.c_str(), counting.operationCount());
            }
        }
}

TEST_CASE("deadDiskDuringUndoIsReportedAndPutRightAtTheNextStart")
{
    InstallScratch scratch;
    const std::vector<std::string> before = scratch.snapshot();
    FaultyFileSystem counting(scratch.fileSystem());
    VERIFY_SUCCESS(ModInstaller(counting).install(Edition::Aftermath, scratch.gameDirectory()));
    scratch.reset();
    // The copy of SC-Vorda.mix taking its name, the last step before the commit, and everything
    // after it.
    const int lastMove =
        lastIndexOf(counting.operations(), "rename " + scratch.gameDirectory() + "SC-Vorda.mix");
    FaultyFileSystem dying(scratch.fileSystem(), lastMove + 1, Fault::DeadDisk);

    const auto outcome = ModInstaller(dying).install(Edition::Aftermath, scratch.gameDirectory());

    REQUIRE(outcome.isError());
    CHECK(outcome.error().path().ends_with("SC-Vorda.mix"));
    CHECK(outcome.error().changesLeft().find("SC-Vorda.mix") != std::string::npos);
    CHECK(scratch.scratch().contents("game/BEXOMv2/Expand.mix") ==
          InstallScratch::gameContent("Expand.mix"));
    const auto recovered = JournalRecovery(scratch.fileSystem()).recover();
    VERIFY_SUCCESS(recovered);
    CHECK(recovered.value() == JournalRecovery::UndoneNotice);
    CHECK(scratch.snapshot() == before);
}
