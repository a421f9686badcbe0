#include "InstallScratch.h"
#include "PlayerTexts.h"
#include "runtime/Text.h"
#include "ScriptedServices.h"
#include "ui/InstallDialogController.h"
#include "ui/InstallDialogLayout.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

namespace {

const std::string Home = InstallDialogLayout::DefaultDirectory;
const std::string AlreadyInstalled = "BEXOM | 32 | BEXOM is already Installed";

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

} // namespace

TEST_CASE("Install amends the directory, refuses or asks, and installs the chosen edition")
{
    const std::string packaged = InstallScratch::PackagedStatus;
    const int yes = MessageBoxAnswer::Yes;
    const int no = MessageBoxAnswer::No;
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
        int answer;
        std::string amended;
        Lines shown;
        std::string installed = {}; // the status file afterwards; empty where nothing may change
    };
    std::vector<Row> rows;
    const auto row = [&rows](auto... fields) {
        rows.push_back({fields...});
    };
    const Lines alreadyInstalled{AlreadyInstalled};
    const Lines confirmHome{confirmInstall(Home)};
    row("installed for Aftermath", statusFor("Aftermath"), noBackslash, aftermath, yes, Home,
        alreadyInstalled);
    row("installed for Counterstrike", statusFor("Counterstrike"), Home, aftermath, yes, Home,
        alreadyInstalled);
    row("answered No, empty box", packaged, "", counterstrike, no, "\\",
        Lines{confirmInstall("\\")});
    row("answered No, forward slash", packaged, Home + "x/", aftermath, no, Home + "x/\\",
        Lines{confirmInstall(Home + "x/\\")});
    row("Aftermath", packaged, noBackslash, aftermath, yes, Home, confirmHome,
        statusFor("Aftermath"));
    row("Counterstrike", packaged, Home, counterstrike, yes, Home, confirmHome,
        statusFor("Counterstrike"));
    row("100,000-character directory", packaged, longDirectory.substr(0, longDirectory.size() - 1),
        aftermath, yes, longDirectory, Lines{confirmInstall(longDirectory), nameTooLong()});
    row("engine error, blanks only", packaged, "     ", aftermath, yes, "     \\",
        Lines{confirmInstall("     \\"), runtimeError(76, "Path not found")});
    row("control characters", packaged, controlCharacters, aftermath, yes, controlCharacters + "\\",
        Lines{runtimeError(76, "Path not found")});
    row("status file is a folder", InstallScratch::StatusFolder, Home, aftermath, yes, Home,
        Lines{runtimeError(75, "Path/File access error")});
    for (const auto &row : rows) {
        CAPTURE(row.name);
        InstallScratch game({"Expand.mix", "Expand2.mix"}, "WESTWOOD/REDALERT");
        game.writeStatus(row.status);
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
        ScriptedServices services(game.fileSystem(), {row.answer});
        DialogControls controls(located(row.typed), row.choice);

        InstallDialogController(controls, services.services()).Command1_Click();

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
