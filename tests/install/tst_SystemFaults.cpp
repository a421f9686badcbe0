#include "ChildProcess.h"
#include "install/Journal.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// One C library call as SystemFaults.c logs it.
struct Call
{
    int index = 0;
    std::string function;
    std::string path;
    bool failed = false;
};

enum class Ending { Succeeded, Failed, Crashed, Hung };

struct Run
{
    Ending ending = Ending::Crashed;
    std::string output;
    std::vector<Call> calls;

    std::optional<Call> failedCall() const
    {
        for (const Call &call : calls)
            if (call.failed)
                return call;
        return std::nullopt;
    }
};

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

// Every run of white space as one blank, none at either end.
std::string simplified(const std::string &text)
{
    std::string result;
    for (const char character : text) {
        if (!std::isspace(static_cast<unsigned char>(character)))
            result += character;
        else if (!result.empty() && result.back() != ' ')
            result += ' ';
    }
    if (!result.empty() && result.back() == ' ')
        result.pop_back();
    return result;
}

std::vector<Call> readLog(const ScratchFolder &folder, const std::string &name)
{
    std::vector<Call> calls;
    if (!fs::exists(folder.at(name)))
        return calls;
    for (const std::string &line :
         Text::split(folder.contents(name), '\n', Text::EmptyParts::Skip)) {
        const std::vector<std::string> fields = Text::split(line, '\t', Text::EmptyParts::Keep);
        if (fields.size() >= 3)
            calls.push_back(
                {std::atoi(fields[0].c_str()), fields[1], fields[2], fields.size() > 3});
    }
    return calls;
}

// Runs the procedure in a runner of its own, with the Nth call failing (none for 0).
Run runWithFault(InstallScratch &scratch, const Procedure &procedure, int faultAt)
{
    const ScratchFolder logFolder;
    ChildProcess runner(FAULT_RUNNER,
                        {scratch.scratch().at(InstallScratch::PackageFolder), procedure.name,
                         scratch.gameDirectory()},
                        {"BEXOM_FAULT_AT=" + std::to_string(faultAt),
                         "BEXOM_FAULT_LOG=" + logFolder.at("calls.log")},
                        ChildProcess::Channels::Merged);
    Run run;
    // A guard against a hang, far above the few milliseconds a run takes.
    const std::optional<ChildProcess::Ending> ending = runner.finish(std::chrono::seconds(60));
    if (!ending)
        run.ending = Ending::Hung;
    else if (!ending->signalled && ending->number <= 1)
        run.ending = ending->number == 0 ? Ending::Succeeded : Ending::Failed;
    run.output = simplified(runner.output());
    run.calls = readLog(logFolder, "calls.log");
    return run;
}

// The scratch before and after a clean run, and the call that writes the commit record.
struct States
{
    std::vector<std::string> before;
    std::vector<std::string> done;
    int commit = 0;
};

int commitRecord(const std::vector<Call> &calls)
{
    int commit = 0;
    for (const Call &call : calls)
        if (call.function == "write" && call.path.ends_with('/' + Journal::FileName))
            commit = call.index;
    return commit;
}

// What is wrong with a run whose call at faultAt failed; nothing when it ended as it should.
// Until the commit record is written, a failure must undo the whole procedure; after it, the
// work must be done.
std::string problemWith(const Run &run, int faultAt, const std::vector<std::string> &after,
                        const States &states)
{
    // A failed call says nothing about whether a file is there: reporting it as missing or as
    // already there sends the player after the wrong cause.
    const std::string answers[] = {"53", "58", "76"};
    const bool answerAsError =
        std::any_of(std::begin(answers), std::end(answers), [&](const std::string &number) {
            return contains(run.output, "Run-time error '" + number + "'");
        });
    const bool committed = faultAt > states.commit;
    if (run.ending == Ending::Hung)
        return "did not finish";
    if (run.ending == Ending::Crashed)
        return "crashed: " + run.output;
    if (!run.failedCall())
        return "never reached the call";
    if (run.ending == Ending::Succeeded && !(committed && after == states.done))
        return after == states.done ? "succeeded, all done" : "succeeded, not as a clean run ends";
    if (run.ending == Ending::Failed && after != states.before &&
        !(committed && InstallScratch::withoutLeftovers(after) == states.done))
        return "reported an error but left a partial state: " + run.output;
    if (run.ending == Ending::Failed && answerAsError)
        return "took the failure for an answer: " + run.output;
    return {};
}

// Nearly every call works in the game or package folder; the few others only look at the folders
// above them on the way. Of a run of calls of one function on one path, the readdir calls of one
// listing above all, only the first is made to fail, which keeps the test near a minute.
std::vector<Call> chosenCalls(const std::vector<Call> &calls, const InstallScratch &scratch)
{
    const std::vector<std::string> folders{scratch.scratch().at(InstallScratch::PackageFolder),
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
            const std::vector<std::string> before = scratch.snapshot();
            const Run baseline = runWithFault(scratch, procedure, 0);
            REQUIRE_MESSAGE(baseline.ending == Ending::Succeeded, baseline.output);
            const States states{before, scratch.snapshot(), commitRecord(baseline.calls)};
            REQUIRE(states.commit > 0);

            const std::vector<Call> chosen = chosenCalls(baseline.calls, scratch);
            std::vector<std::string> failures;
            for (const Call &call : chosen) {
                VERIFY_SUCCESS(procedure.prepare(scratch));
                const Run run = runWithFault(scratch, procedure, call.index);
                const std::string problem =
                    problemWith(run, call.index, scratch.snapshot(), states);
                if (!problem.empty())
                    failures.push_back(procedure.name + " call " + std::to_string(call.index) +
                                       ' ' + call.function + ' ' + call.path + ": " + problem);
            }
            for (const std::string &failure : failures)
                std::fprintf(stderr, "%s\n", failure.c_str());
            std::printf("%s: %zu calls, %zu made to fail, commit record at call %d\n",
                        procedure.name.c_str(), baseline.calls.size(), chosen.size(),
                        states.commit);

            // One past the last call is never reached, and the procedure runs to its end.
            VERIFY_SUCCESS(procedure.prepare(scratch));
            const Run past =
                runWithFault(scratch, procedure, static_cast<int>(baseline.calls.size()) + 1);
            CHECK((past.ending == Ending::Succeeded && !past.failedCall()));
            CHECK(scratch.snapshot() == states.done);
            CHECK_MESSAGE(failures.empty(), failures.size() << " failing calls");
        }
}
