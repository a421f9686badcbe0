#include "ChildProcess.h"
#include "CleanRun.h"
#include "install/Journal.h"
#include "InstallScratch.h"
#include "PointsCovered.h"
#include "Procedure.h"
#include "TestOutcome.h"

#include <algorithm>
#include <cstdlib>

namespace {

// One C library call as SystemFaults.c logs it.
struct Call
{
    int index = 0;
    std::string function;
    std::string path;
    bool failed = false;
};

struct Run
{
    int exitCode = -1;
    std::vector<Call> calls;

    bool reachedTheFault() const
    {
        return std::any_of(calls.begin(), calls.end(),
                           [](const Call &call) { return call.failed; });
    }
};

// Runs the procedure in a runner of its own, with the Nth call failing (none for 0).
Run runWithFault(InstallScratch &scratch, const Procedure &procedure, int faultAt)
{
    const ScratchFolder logFolder;
    Run run{runToEnd(RUNNER, {scratch.at(InstallScratch::PackageFolder), procedure.name,
                              scratch.gameDirectory(), "fault", std::to_string(faultAt),
                              logFolder.at("calls.log")}),
            {}};
    for (const std::string &line :
         Text::split(logFolder.contents("calls.log"), '\n', Text::EmptyParts::Skip)) {
        const std::vector<std::string> fields = Text::split(line, '\t', Text::EmptyParts::Keep);
        if (fields.size() >= 3)
            run.calls.push_back(
                {std::atoi(fields[0].c_str()), fields[1], fields[2], fields.size() > 3});
    }
    return run;
}

int commitRecord(const std::vector<Call> &calls)
{
    int commit = 0;
    for (const Call &call : calls)
        if (call.function == "write" && call.path.ends_with('/' + Journal::FileName))
            commit = call.index;
    return commit;
}

// What is wrong with a run whose call at faultAt failed; nothing when it ended as it should.
std::string problemWith(const Run &run, int faultAt, const std::vector<std::string> &after,
                        const CleanRun &clean, int commit)
{
    // A failed call says nothing about whether a file is there: reporting it as missing or as
    // already there sends the player after the wrong cause.
    const int answers[] = {53, 58, 76};
    const Commit committed = faultAt > commit ? Commit::Reached : Commit::NotReached;
    // The runner exits with the number of the runtime error it reports, 5 to 76.
    if (run.exitCode != 0 && (run.exitCode < 5 || run.exitCode > 76))
        return "crashed with " + std::to_string(run.exitCode);
    if (!run.reachedTheFault())
        return "never reached the call";
    if (run.exitCode == 0 && !clean.allOrNothing(after, committed, Leftovers::Cleared))
        return "succeeded, but not as a clean run ends";
    // A failure just after the commit record, before it is known to be on the disk, may be
    // undone as well.
    if (run.exitCode != 0 && !clean.allOrNothing(after, Commit::NotReached) &&
        !clean.allOrNothing(after, committed))
        return "reported an error but left a partial state";
    if (std::find(std::begin(answers), std::end(answers), run.exitCode) != std::end(answers))
        return "took the failure for an answer: error " + std::to_string(run.exitCode);
    return {};
}

// Nearly every call works in the game or package folder; the few others only look at the folders
// above them on the way. Of a run of calls of one function on one path, the readdir calls of one
// listing above all, only the first is made to fail, which keeps the test near a minute.
std::vector<Call> chosenCalls(const std::vector<Call> &calls, const InstallScratch &scratch)
{
    const std::vector<std::string> folders{scratch.at(InstallScratch::PackageFolder),
                                           scratch.gameFolderPath()};
    const auto inFolders = [&](const std::string &path) {
        return std::any_of(folders.begin(), folders.end(), [&](const std::string &folder) {
            return path == folder || path.starts_with(folder + '/');
        });
    };
    std::vector<Call> chosen;
    for (std::size_t i = 0; i < calls.size(); ++i)
        if (inFolders(calls[i].path) && (i == 0 || calls[i].function != calls[i - 1].function ||
                                         calls[i].path != calls[i - 1].path))
            chosen.push_back(calls[i]);
    return chosen;
}

PointsCovered callsMadeToFail("calls made to fail");

} // namespace

TEST_CASE("everyFailedSystemCallIsReportedAndUndone")
{
    for (const Procedure &procedure : Procedure::all())
        SUBCASE(procedure.name.c_str())
        {
            // Names in upper case, as the game has them, make every path go through a folder
            // listing.
            std::vector<std::string> gameFiles{"EXPAND.MIX", "RULES.INI", "Title.pcx"};
            if (procedure.edition == Edition::Aftermath)
                gameFiles.push_back("EXPAND2.MIX");
            InstallScratch scratch(gameFiles);
            VERIFY_SUCCESS(procedure.prepare(scratch));
            CleanRun clean{scratch.snapshot(), {}};
            const Run baseline = runWithFault(scratch, procedure, 0);
            REQUIRE(baseline.exitCode == 0);
            clean.done = scratch.snapshot();
            const int commit = commitRecord(baseline.calls);
            REQUIRE(commit > 0);

            const std::vector<Call> chosen = chosenCalls(baseline.calls, scratch);
            std::vector<std::string> failures;
            for (const Call &call : chosen) {
                VERIFY_SUCCESS(procedure.prepare(scratch));
                const Run run = runWithFault(scratch, procedure, call.index);
                const std::string problem =
                    problemWith(run, call.index, scratch.snapshot(), clean, commit);
                if (!problem.empty())
                    failures.push_back(procedure.name + " call " + std::to_string(call.index) +
                                       ' ' + call.function + ' ' + call.path + ": " + problem);
            }
            callsMadeToFail.add(procedure.name, static_cast<int>(chosen.size()));

            // One past the last call is never reached, and the procedure runs to its end.
            VERIFY_SUCCESS(procedure.prepare(scratch));
            const Run past =
                runWithFault(scratch, procedure, static_cast<int>(baseline.calls.size()) + 1);
            CHECK((past.exitCode == 0 && !past.reachedTheFault()));
            CHECK(scratch.snapshot() == clean.done);
            CHECK_MESSAGE(failures.empty(), failures.size() << " failing calls:\n"
                                                            << Text::join(failures, "\n"));
        }
}
