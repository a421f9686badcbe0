#include "FaultyFileSystem.h"
#include "install/Journal.h"
#include "install/JournalRecovery.h"
#include "install/ModInstaller.h"
#include "InstallScratch.h"
#include "Procedure.h"
#include "TestOutcome.h"

#ifdef _WIN32
#include "runtime/WindowsText.h"
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#endif

#include <algorithm>
#include <csignal>
#include <cstdio>

using Kind = TransactionStep::Kind;
using namespace std::string_literals;

namespace {

// A game folder whose name no journal field may break.
#ifdef _WIN32
// Windows allows neither double quotes nor control characters in a name.
const std::string AwkwardFolder = "Red Alert, '95' \u20ac 100%";
#else
const std::string AwkwardFolder = "Red Alert, \"95\"\t\u20ac 100%";
#endif
// Spelled as the game spells them, so that an undo must keep the letter case.
const std::vector<std::string> GameFiles{"EXPAND.MIX", "EXPAND2.MIX", "RULES.INI"};
const std::string JournalAppend = "appendDurably " + Journal::FileName;
const std::string JournalPath = InstallScratch::PackageFolder + '/' + Journal::FileName;

enum class Ending { Killed, Finished, Failed };

#ifdef _WIN32
// One argument as the runner's C runtime splits its command line: quoted, with the backslashes
// before a quote doubled and the quote itself escaped.
std::wstring quoted(const std::string &argument)
{
    std::wstring line = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t character : WindowsText::toWide(argument)) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(character == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        line += character;
    }
    return line.append(2 * backslashes, L'\\') + L'"';
}

// The runner lies beside this test: the path the build knows is one of the Linux host's.
std::filesystem::path crashRunner()
{
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return std::filesystem::path(self).replace_filename(L"crash_runner.exe");
}

// Windows has no signals: the runner ends itself with TerminateProcess, which runs nothing more.
Ending runKilledAfter(InstallScratch &scratch, const Procedure &procedure, int operation)
{
    const std::filesystem::path runner = crashRunner();
    std::wstring line = quoted(runner.string());
    for (const std::string &argument :
         {scratch.scratch().at(InstallScratch::PackageFolder), procedure.name,
          scratch.gameDirectory(), std::to_string(operation)})
        line += L' ' + quoted(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(runner.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return Ending::Failed;
    ::CloseHandle(process.hThread);
    DWORD exitCode = 0;
    const bool ended = ::WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                       ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    if (!ended)
        return Ending::Failed;
    if (exitCode == KilledExitCode)
        return Ending::Killed;
    return exitCode == 0 ? Ending::Finished : Ending::Failed;
}
#else
// The runner's own output goes nowhere: only how it ended counts.
Ending runKilledAfter(InstallScratch &scratch, const Procedure &procedure, int operation)
{
    std::string arguments[] = {CRASH_RUNNER, scratch.scratch().at(InstallScratch::PackageFolder),
                               procedure.name, scratch.gameDirectory(), std::to_string(operation)};
    char *argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                    arguments[3].data(), arguments[4].data(), nullptr};
    posix_spawn_file_actions_t silenced;
    posix_spawn_file_actions_init(&silenced);
    posix_spawn_file_actions_addopen(&silenced, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&silenced, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t runner = 0;
    const int spawned = posix_spawn(&runner, CRASH_RUNNER, &silenced, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&silenced);
    int status = 0;
    if (spawned != 0 || waitpid(runner, &status, 0) != runner)
        return Ending::Failed;
    if (WIFSIGNALED(status))
        return WTERMSIG(status) == SIGKILL ? Ending::Killed : Ending::Failed;
    return WEXITSTATUS(status) == 0 ? Ending::Finished : Ending::Failed;
}
#endif

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

// The first n records of a journal.
JournalContents firstRecords(const JournalContents &whole, std::size_t n)
{
    const std::size_t steps = std::min(n, whole.steps.size());
    const std::size_t undone = std::clamp(n - steps, std::size_t(0), whole.undone);
    return {{whole.steps.begin(), whole.steps.begin() + static_cast<std::ptrdiff_t>(steps)},
            undone,
            whole.committed && n > steps + undone};
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
    for (const std::string &path : {"a,b \"quoted\"\ttab"s, "new\nline, carriage\rreturn"s,
                                    "control\x01\x1f\x7f, \u00c4\u20ac\U0001F600"s, "100% %41 %zz"s,
                                    "C:\\WESTWOOD\\REDALERT\\"s, "nul\0end"s})
        awkward.steps.push_back({Kind::SetAside, {}, path, path + "~"});
    awkward.undone = 3;
    const struct
    {
        const char *name;
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
