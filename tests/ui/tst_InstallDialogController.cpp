#include "InstallScratch.h"
#include "PlayerTexts.h"
#include "runtime/Text.h"
#include "ScriptedServices.h"
#include "ui/InstallDialogController.h"
#include "ui/InstallDialogLayout.h"

#include <doctest/doctest.h>

// Last: on Windows it brings windows.h, whose MessageBox macro would rename the runtime's class.
#include "FaultyFileSystem.h"
#ifdef MessageBox
#undef MessageBox
#endif

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

namespace {

const std::string Home = InstallDialogLayout::DefaultDirectory;
const std::string AlreadyInstalled =
    "BEXOM | Q | BEXOM is already Installed\n\nIt is installed in ...REDALERT\\. To install it "
    "again, elsewhere or for the other expansion, uninstall it first.";

// A folder name longer than any the system allows: Linux refuses the name, Windows finds no
// such folder.
std::string nameTooLong()
{
#ifdef _WIN32
    return runtimeError(76, "Path not found");
#else
    return runtimeError(75, "Path/File access error");
#endif
}

// The install dialog's controls as the request reads and writes them.
class DialogControls final : public InstallDialogView
{
public:
    DialogControls(std::string text, Edition choice) : m_text(std::move(text)), m_choice(choice) {}

    std::string directoryText() const override { return m_text; }
    void setDirectoryText(const std::string &text) override { m_text = text; }
    bool counterstrikeSelected() const override { return m_choice == Edition::Counterstrike; }

private:
    std::string m_text;
    Edition m_choice;
};

// Windows can start the installer again as administrator; on Linux the player is told whom the
// game folder belongs to.
#ifdef _WIN32
constexpr bool OfferedRestart = true;
constexpr bool GameOnDriveC = false;
#else
constexpr bool OfferedRestart = false;
constexpr bool GameOnDriveC = true;
#endif

std::string protectedFolder(const std::string &folder)
{
    if (OfferedRestart)
        return "BEXOM | YN Q | Windows did not let BEXOM change the game folder " + folder +
               ". It is a protected folder, such as one under Program Files, that only an "
               "administrator may change.\n\nNothing was changed.\n\nStart the installer again "
               "with administrator rights?";
    return "BEXOM | C | The game folder " + folder +
           " belongs to root, and only root may change it. Start the installer as root, or let "
           "your own user write into the folder.\n\nNothing was changed.\n\nRun-time error '70': "
           "Permission denied";
}

// Under Wine or with the rights already, a restart cannot help: it is not offered.
struct ScriptedRestart final : AdministratorRestart
{
    bool canHelp() const override { return OfferedRestart; }
    void request(const DialogChoice &choice) override
    {
        ++requests;
        CHECK(DialogChoice::fromArguments(choice.arguments()) == choice);
        CHECK(choice.directory.ends_with("REDALERT\\"));
    }
    int requests = 0;
};

} // namespace

TEST_CASE("Install amends the directory, refuses or asks, and installs the chosen edition")
{
    const std::string packaged = InstallScratch::PackagedStatus;
    const auto yes = MessageBoxAnswer::Yes;
    const auto no = MessageBoxAnswer::No;
    const Edition aftermath = Edition::Aftermath;
    const Edition counterstrike = Edition::Counterstrike;
    const std::string noBackslash = "C:\\WESTWOOD\\REDALERT";
    const std::string longDirectory = "C:\\" + std::string(100'000, 'D') + "\\";
    const std::string controlCharacters = "C:\\WEST\tWOOD\x01\\RED\x1b"
                                          "ALERT";
    struct Row
    {
        std::string name;
        std::string status;
        std::string typed;
        Edition choice;
        MessageBoxAnswer answer;
        std::string amended;
        Lines shown;
        std::string installed = {}; // the status file afterwards; empty where nothing may change
        // NoRights: the game folder refuses the installer's writes.
        Fault fault = Fault::DiskFull;
        // To the questions after the first: the offer of administrator rights, or of a game found
        // elsewhere, and the confirmation after it.
        std::vector<MessageBoxAnswer> laterAnswers = {MessageBoxAnswer::Yes};
    };
    std::vector<Row> rows;
    const auto row = [&rows](auto... fields) {
        rows.push_back({fields...});
    };
    // The game is found on drive C's shelf "Westwood" where the scratch folder is drive C.
    const std::string elsewhere = "C:\\WESTWOOD\\RA\\";
    const std::string offer = "BEXOM | YN Q | ...\nRed Alert was found in:\n" + Home +
                              " (with Aftermath: choose the Aftermath option)\n\nNothing was "
                              "changed.\n\nRun-time error '76': Path not found\n\nUse " +
                              Home + " instead?";
    const std::string pathNotFound = GameOnDriveC ? offer : runtimeError(76, "Path not found");
    const Lines alreadyInstalled{AlreadyInstalled};
    const Lines confirmHome{confirmInstall(Home)};
    row("installed for Aftermath", statusFor("Aftermath"), noBackslash, aftermath, yes, Home,
        alreadyInstalled);
    row("installed for Counterstrike", statusFor("Counterstrike"), Home, aftermath, yes, Home,
        alreadyInstalled);
    row("answered No", packaged, Home, counterstrike, no, Home, confirmHome);
    // A refused installation asks nothing.
    row("empty box", packaged, "", counterstrike, no, "\\", Lines{pathNotFound});
    row("forward slash", packaged, Home + "x/y/", aftermath, no, Home + "x\\y\\",
        Lines{pathNotFound});
    row("Linux path", packaged, "/nowhere/RA", aftermath, no, "/nowhere/RA/", Lines{pathNotFound});
    const Lines installed{confirmInstall(Home), installedIn(Home)};
    row("Aftermath", packaged, noBackslash, aftermath, yes, Home, installed,
        statusFor("Aftermath"));
    row("Counterstrike", packaged, Home, counterstrike, yes, Home, installed,
        statusFor("Counterstrike"));
    row("100,000-character directory", packaged, longDirectory.substr(0, longDirectory.size() - 1),
        aftermath, yes, longDirectory, Lines{nameTooLong()});
    row("engine error, blanks only", packaged, "     ", aftermath, no, "     \\",
        Lines{pathNotFound});
    row("control characters", packaged, controlCharacters, aftermath, yes, controlCharacters + "\\",
        Lines{runtimeError(76, "Path not found")});
    row("confirmation closed", packaged, Home, counterstrike, MessageBoxAnswer::Cancel, Home,
        confirmHome);
    row("protected game folder: a restart as administrator is offered and taken", packaged, Home,
        aftermath, yes, Home, Lines{confirmInstall(Home), protectedFolder(Home)}, std::string(),
        Fault::NoRights);
#ifndef _WIN32
    row("game found elsewhere, Yes: its folder is confirmed and used", packaged, elsewhere,
        aftermath, yes, Home, Lines{offer, confirmInstall(Home), installedIn(Home)},
        statusFor("Aftermath"));
    for (const auto answer : {no, MessageBoxAnswer::Cancel})
        row("game found elsewhere, answered No or closed", packaged, elsewhere, aftermath, answer,
            elsewhere, Lines{offer});
#endif
    row("status file is a folder", InstallScratch::StatusFolder, Home, aftermath, yes, Home,
        Lines{runtimeError(75, "Path/File access error")});
    for (const auto answer : {no, MessageBoxAnswer::Cancel})
        row("protected game folder: the offer declined", packaged, Home, aftermath, yes, Home,
            Lines{confirmInstall(Home), protectedFolder(Home)}, std::string(), Fault::NoRights,
            std::vector{answer});
    row("work that throws is undone", packaged, Home, aftermath, yes, Home,
        Lines{confirmInstall(Home), runtimeError(7, "Out of memory")}, std::string(), Fault::Throw);
    for (const auto &row : rows) {
        CAPTURE(row.name);
        InstallScratch game({"Expand.mix", "Expand2.mix", "REDALERT.MIX"}, "WESTWOOD/REDALERT");
        game.writeStatus(row.status);
        // A status that says installed speaks of a game folder that holds BEXOM's backup folder.
        if (row.status != packaged && row.status.starts_with("Status="))
            game.scratch().createFolder("WESTWOOD/REDALERT/BEXOMv2");
        const Lines before = game.snapshot();
        const Lines gameBefore = game.gameSnapshot();
        // Where the game folder is, as a Windows program names it: its drive C under Wine.
        const std::string folder =
            game.driveCDirectory().substr(0, game.driveCDirectory().size() - 1);
        const auto located = [&folder](const std::string &text) {
            return Text::replaceAll(text, "C:\\WESTWOOD\\REDALERT", folder);
        };
        Lines shownThere;
        for (const std::string &line : row.shown)
            shownThere.push_back(located(line));
        FaultyFileSystem fileSystem(game.fileSystem(), 0, row.fault);
        ScriptedMessageBox::Answers answers{row.answer};
        answers.insert(answers.end(), row.laterAnswers.begin(), row.laterAnswers.end());
        ScriptedServices services(fileSystem, answers);
        DialogControls controls(located(row.typed), row.choice);
        ScriptedRestart restart;

        InstallDialogController(controls, services.services(), &restart).Command1_Click();
        CHECK(restart.requests == (OfferedRestart && row.fault == Fault::NoRights &&
                                           row.laterAnswers.front() == MessageBoxAnswer::Yes
                                       ? 1
                                       : 0));

        const Lines &shown = services.messageBox().shown();
        CHECK_MESSAGE(services.messageBox().showed(shownThere),
                      (shown.empty() ? "" : shown.back().substr(0, 1000)));
        CHECK(controls.directoryText() == located(row.amended));
        if (row.installed.empty()) {
            CHECK(game.snapshot() == before);
            continue;
        }
        CHECK(game.status() == located(row.installed));
        CHECK(game.gameSnapshot() != gameBefore);
        CHECK(services.busySpells() == 1);
    }
}
