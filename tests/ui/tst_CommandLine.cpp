#include "ChildProcess.h"
#include "install/InstallRequest.h"
#include "install/ModInstaller.h"
#include "InstallScratch.h"
#include "runtime/InstanceLock.h"
#include "runtime/RunLog.h"
#include "TestOutcome.h"
#include "ui/NoticeWording.h"
#include "ui/RecoveryWording.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>

namespace {

struct Run
{
    int exitCode;
    std::string output;
    std::string error;
};

std::string quoted(const std::string &text)
{
    return "'" + Text::replaceAll(text, "'", "'\\''") + "'";
}

// Runs the installer as a script would: from the package folder, with no display, the given
// input, and its streams caught.
Run runInstaller(const InstallScratch &scratch, const std::vector<std::string> &arguments,
                 const std::string &input = {})
{
    scratch.scratch().createFile("input", input);
    std::string command = "unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; cd " +
                          quoted(scratch.at(InstallScratch::PackageFolder)) + " && " +
                          quoted(BEXOMV2);
    for (const std::string &argument : arguments)
        command += " " + quoted(argument);
    command += " <../input >../output 2>../error";
    const int exitCode = runToEnd("/bin/sh", {"-c", command});
    return {exitCode, scratch.scratch().contents("output"), scratch.scratch().contents("error")};
}

// The package and the game folder, without the log and the caught streams.
std::vector<std::string> folders(const InstallScratch &scratch)
{
    std::vector<std::string> lines = scratch.scratch().snapshot(InstallScratch::PackageFolder);
    std::erase_if(lines, [](const std::string &line) {
        return line.find(RunLog::FileName) != std::string::npos;
    });
    const std::vector<std::string> game = scratch.gameSnapshot();
    lines.insert(lines.end(), game.begin(), game.end());
    return lines;
}

// The folders as an installation in the process itself leaves them, from the same start.
std::vector<std::string> installed(InstallScratch &scratch, Edition edition)
{
    scratch.reset();
    VERIFY_SUCCESS(
        ModInstaller(scratch.fileSystem())
            .install(edition, InstallRequest::canonicalDirectory(scratch.gameFolderPath())));
    return folders(scratch);
}

std::string logOf(const InstallScratch &scratch)
{
    return scratch.scratch().contents(InstallScratch::PackageFolder + '/' + RunLog::FileName);
}

} // namespace

TEST_CASE("eachCommandLineIsAnsweredByItsExitCodeAndWordsAndLeavesTheFoldersAsItSays")
{
    enum class After { Unchanged, Aftermath, Counterstrike };
    const std::string game = "(game)";
    const struct
    {
        std::vector<std::string> arguments;
        std::string input;
        int exitCode;
        std::string output; // a part of what is written to each stream
        std::string error;
        After after = After::Unchanged;
        bool locked = false; // another installer runs from the package folder
    } rows[] = {
        {{"--version"}, "", 0, "The BEXOMv2 Installer 2.00\n", ""},
        {{"--help"}, "", 0, "  4  --verify found files", ""},
        {{"--status"}, "", 0, "BEXOM is not installed.\n", ""},
        {{"--install", game}, "n\n", 1, "to the directory: (game)/ [y/N] ", ""},
        {{"--install", game}, "", 1, "[y/N] \n", ""},
        {{"--install", game},
         " Yes \n",
         0,
         "BEXOM has been installed in (game)/.\n",
         "",
         After::Aftermath},
        {{"--counterstrike", "--install", game, "--yes"}, "", 0, "yes\n", "", After::Counterstrike},
        {{"--uninstall", "--yes"}, "", 1, "", "BEXOM is not installed\n"},
        {{"--frobnicate"}, "", 1, "", "\"--frobnicate\" is not an option"},
        {{"--install", "--yes"}, "", 1, "", "\"--install\" needs the game folder"},
        {{"--install", game, "--aftermath", "--counterstrike"}, "", 1, "", "Give only one of"},
        {{"--install", "game"}, "", 1, "", "\"game\" is not a full path"},
        {{"/install", game}, "", 1, "", "\"/install\" belongs to no option"},
        {{"--status"}, "", 1, "", NoticeWording::AlreadyRunning, After::Unchanged, true},
    };
    for (const auto &row : rows) {
        InstallScratch scratch;
        std::vector<std::string> arguments = row.arguments;
        std::replace(arguments.begin(), arguments.end(), game, scratch.gameFolderPath());
        const std::vector<std::string> before = folders(scratch);
        const std::filesystem::path package = scratch.at(InstallScratch::PackageFolder);
        std::optional<InstanceLock> lock;
        if (row.locked)
            lock = InstanceLock::acquire(package, "package").releaseValue();
        const Run run = runInstaller(scratch, arguments, row.input);
        CAPTURE(row.arguments);
        CHECK(run.exitCode == row.exitCode);
        CHECK(Text::replaceAll(run.output, scratch.gameFolderPath(), game).find(row.output) !=
              std::string::npos);
        CHECK(run.error.find(row.error) != std::string::npos);
        if (row.error.empty())
            CHECK(run.error.empty());
        const std::vector<std::string> after = folders(scratch);
        if (row.after == After::Unchanged)
            CHECK(after == before);
        else
            CHECK(after == installed(scratch, row.after == After::Aftermath
                                                  ? Edition::Aftermath
                                                  : Edition::Counterstrike));
    }
}

TEST_CASE("verifyTellsEachFileAsFoundAndChangesNothing")
{
    const struct
    {
        std::string change; // to the game folder after the installation, if any
        int exitCode;
        std::string line;
    } rows[] = {
        {"", 0, "Every file is as the installation left it.\n"},
        {"+game/Rules.ini=tuned", 4, "\n  changed  Rules.ini (edited since the installation)\n"},
        {"-game/BEXOMv2/Expand.mix", 4, "\n  missing  BEXOMv2\\Expand.mix, "},
    };
    for (const auto &row : rows) {
        InstallScratch scratch;
        REQUIRE(runInstaller(scratch, {"--install", scratch.gameFolderPath(), "--yes"}).exitCode ==
                0);
        if (!row.change.empty())
            scratch.scratch().change(row.change);
        const std::vector<std::string> before = folders(scratch);
        const Run run = runInstaller(scratch, {"--verify"});
        CAPTURE(row.change);
        CHECK(run.exitCode == row.exitCode);
        CHECK(run.output.find(row.line) != std::string::npos);
        CHECK(folders(scratch) == before);
    }
}

TEST_CASE("logTellsEachRunWithItsQuestionsAnswersAndOutcome")
{
    InstallScratch scratch;
    const std::string game = scratch.gameFolderPath();
    CHECK(runInstaller(scratch, {"--install", game}, "y\n").exitCode == 0);
    CHECK(runInstaller(scratch, {"--install", game})
              .error.starts_with("BEXOM is already Installed\n"));
    scratch.scratch().createFile("game/Rules.ini", "tuned");
    const Run removal = runInstaller(scratch, {"--uninstall", "--yes"});
    CHECK(removal.exitCode == 0);
    CHECK(removal.output.find("Rules.ini as \"") != std::string::npos);
    REQUIRE(runToEnd(RUNNER, {scratch.at("package"), "Ins_Aftermath", scratch.gameDirectory(),
                              "kill", "40"}) == KilledExitCode);
    CHECK(runInstaller(scratch, {"--status"}).output ==
          RecoveryWording::UndoneNotice + "\nBEXOM is not installed.\n");
    CHECK(runInstaller(scratch, {"--frobnicate"}).exitCode == 1);
    std::string log = logOf(scratch);
    for (const std::string &event : std::vector<std::string>{
             "started on Linux (--install); package folder \"" + scratch.at("package") + "\"",
             "Asked: Are you sure you wish to install BEXOM to the directory: " + game + "/",
             "Answered: Yes", "Work on the game folder done.", "Shown: BEXOM is already Installed",
             "Ended with exit code 1.",
             "Shown: BEXOM has been uninstalled from " + game + "/. These files",
             "Shown: " + RecoveryWording::UndoneNotice,
             "Refused: \"--frobnicate\" is not an option"}) {
        CAPTURE(event);
        CHECK(log.find(event) != std::string::npos);
    }
    CHECK(log.find("tuned") == std::string::npos);

    // Past its limit the log starts afresh beside the one before; where it cannot be written, the
    // work goes on without it.
    log.resize(RunLog::SizeLimit + 1, '-');
    scratch.scratch().createFile("package/" + RunLog::FileName, log);
    CHECK(runInstaller(scratch, {"--status"}).exitCode == 0);
    CHECK(scratch.scratch().contents("package/" + RunLog::OldFileName) == log);
    CHECK(logOf(scratch).size() < 1000);
    scratch.reset();
    scratch.scratch().createFolder("package/" + RunLog::FileName);
    CHECK(runInstaller(scratch, {"--install", game, "--yes"}).exitCode == 0);
    CHECK(scratch.status().starts_with("Status=Aftermath\r\n"));
}
