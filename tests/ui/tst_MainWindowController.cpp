#include "InstallScratch.h"
#include "PlayerTexts.h"
#include "Procedure.h"
#include "runtime/Text.h"
#include "ScriptedServices.h"
#include "TestOutcome.h"
#include "ui/MainWindowController.h"
#include "ui/NoticeWording.h"
#include "ui/SingleInstanceGuard.h"

#include <array>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

namespace {

const std::string ConfirmRemoval = "BEXOM | YN Q | Are you sure you wish to uninstall BEXOM?";
const std::string NotInstalled = "BEXOM | Q | BEXOM is not installed";

// The main window as its routines see it: what it was told to show, in order.
class RecordingMainWindow final : public MainWindowView
{
public:
    void showButtonPicture(std::int16_t index, ButtonPicture picture) override
    {
        shown[index] = picture;
        told.push_back((picture == ButtonPicture::Highlighted ? "onn " : "Off ") +
                       std::to_string(index));
    }
    void showInstallDialog() override { told.push_back("install dialog"); }
    void endProgram() override { told.push_back("end"); }

    Lines told;
    ButtonPicture shown[4] = {ButtonPicture::Normal, ButtonPicture::Normal, ButtonPicture::Normal,
                              ButtonPicture::Normal};
};

// The main window's routines, for a game at the install dialog's "C:\WESTWOOD\REDALERT\".
struct MainWindow
{
    explicit MainWindow(ScriptedMessageBox::Answers answers = {})
        : game({"Expand.mix", "Expand2.mix"}, "WESTWOOD/REDALERT"),
          services(game.fileSystem(), std::move(answers))
    {}

    InstallScratch game;
    ScriptedServices services;
    RecordingMainWindow view;
    MainWindowController form{view, services.services()};
};

constexpr int Background = -1;
constexpr int NextKey = -2;
constexpr int PreviousKey = -3;
constexpr int PressKey = -4;

// A move over picture button 0 to 3 or over the background, or a key.
void move(MainWindowController &form, int target)
{
    if (target < Background)
        form.Form_KeyDown(std::array{MainWindowKey::Next, MainWindowKey::Previous,
                                     MainWindowKey::Press}[NextKey - target]);
    else if (target == Background)
        form.Form_MouseMove();
    else
        form.Buttonn_MouseMove(static_cast<std::int16_t>(target));
}

} // namespace

TEST_CASE("Exactly the picture button under the mouse is highlighted, repainted only on a change")
{
    const Lines allNormal{"Off 0", "Off 1", "Off 2", "Off 3"};
    const auto highlighting = [&](int index) {
        Lines told = allNormal;
        told.push_back("onn " + std::to_string(index));
        return told;
    };
    const int background = Background;
    const struct
    {
        std::string name;
        std::vector<int> before;
        int move;
        int highlighted;
        Lines told; // by the last move
    } rows[] = {
        {"none, onto Install", {}, 0, 0, highlighting(0)},
        {"none, onto Exit", {}, 3, 3, highlighting(3)},
        {"to another button", {0}, 2, 2, highlighting(2)},
        {"back to the first", {3, 0}, 3, 3, highlighting(3)},
        {"within one button", {1}, 1, 1, {}},
        {"button, then background", {2}, background, 5, allNormal},
        {"background only", {}, background, 5, {}},
        {"background twice", {1, background}, background, 5, {}},
        {"none, Tab", {}, NextKey, 0, highlighting(0)},
        {"none, Shift+Tab", {}, PreviousKey, 3, highlighting(3)},
        {"arrow down from the mouse's button", {2}, NextKey, 3, highlighting(3)},
        {"arrow down from Exit", {3}, NextKey, 0, highlighting(0)},
        {"arrow up from Install", {NextKey}, PreviousKey, 3, highlighting(3)},
        {"Enter with nothing highlighted", {}, PressKey, 5, {}},
    };
    for (const auto &row : rows) {
        CAPTURE(row.name);
        MainWindow window;
        for (const int target : row.before)
            move(window.form, target);
        window.view.told.clear();

        move(window.form, row.move);

        CHECK(window.form.highlightIndex() == row.highlighted);
        CHECK(window.view.told == row.told);
        for (int i = 0; i < 4; ++i)
            CHECK((window.view.shown[i] == ButtonPicture::Highlighted) == (i == row.highlighted));
        CHECK(window.services.messageBox().shown().empty());
    }
}

TEST_CASE("A click runs its button's routine, and Exit ends the program only when answered Yes")
{
    const std::string credits =
        "BEXOM | Q | The Credits can be found in the file: BEXOM-Credits.doc";
    const std::string leave = "BEXOM Installation Program | YN Q | Are you sure you wish to leave?";
    const struct
    {
        std::string name;
        std::int16_t index;
        MessageBoxAnswer answer;
        Lines shown;
        Lines told;
        int press = 0; // a key rather than the mouse
    } rows[] = {
        {"Install", 0, MessageBoxAnswer::Ok, {}, {"install dialog"}},
        {"Install by key", 0, MessageBoxAnswer::Ok, {}, {"install dialog"}, PressKey},
        {"Exit by key, Yes", 3, MessageBoxAnswer::Yes, {leave}, {"end"}, PressKey},
        {"Credits", 2, MessageBoxAnswer::Ok, {credits}, {}},
        {"Exit, Yes", 3, MessageBoxAnswer::Yes, {leave}, {"end"}},
        {"Exit, No", 3, MessageBoxAnswer::No, {leave}, {}},
        {"Exit, closed", 3, MessageBoxAnswer::Cancel, {leave}, {}},
    };
    for (const auto &row : rows) {
        CAPTURE(row.name);
        MainWindow window({row.answer});
        window.form.Buttonn_MouseMove(row.index);
        window.view.told.clear();

        if (row.press == PressKey)
            move(window.form, PressKey);
        else
            window.form.Buttonn_Click(row.index);

        CHECK(window.services.messageBox().shown() == row.shown);
        CHECK(window.view.told == row.told);
        CHECK(window.form.highlightIndex() == row.index);
    }
}

TEST_CASE("Uninstall gives the game back whole, or changes nothing and says why")
{
    enum class Removal { NotRun, Failed, Restored };
    using enum Removal;
    const auto yes = MessageBoxAnswer::Yes;
    const Lines notFound{ConfirmRemoval, runtimeError(53, "File not found")};
    const Lines accessError{ConfirmRemoval, runtimeError(75, "Path/File access error")};
    struct Row
    {
        std::string name;
        std::string installed; // the routine that installed, if any
        std::string status;    // written after the installation; empty leaves it as it is
        MessageBoxAnswer answer;
        Lines shown;
        Removal removal;
        std::string tuned = {}; // a file of the mod the player changed after the installation
    };
    std::vector<Row> rows;
    const auto row = [&rows](auto... fields) {
        rows.push_back({fields...});
    };
    row("answered No, status file not read", "Ins_Aftermath", InstallScratch::NoStatusFile,
        MessageBoxAnswer::No, Lines{ConfirmRemoval}, NotRun);
    row("not installed", "", "", yes, Lines{ConfirmRemoval, NotInstalled}, NotRun);
    const Lines done{ConfirmRemoval, uninstalledFrom("%game")};
    row("Aftermath", "Ins_Aftermath", "", yes, done, Restored);
    row("confirmation closed", "Ins_Aftermath", "", MessageBoxAnswer::Cancel, Lines{ConfirmRemoval},
        NotRun);
    row("Rules.ini tuned by the player", "Ins_Aftermath", "", yes,
        Lines{ConfirmRemoval, uninstalledFrom("%game") +
                                  " These files of BEXOM had been changed "
                                  "since it was installed, so they were not deleted but kept:\n"
                                  "Rules.ini as \"...Rules (edited).ini\""},
        Restored, "Rules.ini");
    // A backup folder that lacks the game's own Expand2.mix.
    row("engine error", "", statusFor("Aftermath"), yes, notFound, Failed, "BEXOMv2/Expand.mix");
    row("status file is a folder", "", InstallScratch::StatusFolder, yes, accessError, NotRun);
    for (const auto &row : rows) {
        CAPTURE(row.name);
        MainWindow window({row.answer});
        InstallScratch &game = window.game;
        const Lines gameBefore = game.gameSnapshot();
        if (const auto installation = Procedure::named(row.installed))
            VERIFY_SUCCESS(installation->run(game.fileSystem(), game.driveCDirectory()));
        // The status file names the game folder as a Windows program does: drive C under Wine.
        if (!row.status.empty())
            game.writeStatus(
                Text::replaceAll(row.status, "C:\\WESTWOOD\\REDALERT\\", game.driveCDirectory()));
        if (!row.tuned.empty())
            game.scratch().createFile("WESTWOOD/REDALERT/" + row.tuned, "tuned by the player");
        const Lines allBefore = game.snapshot();

        window.form.Buttonn_Click(1);

        Lines shown;
        for (const std::string &line : row.shown)
            shown.push_back(Text::replaceAll(line, "%game", game.driveCDirectory()));
        CHECK_MESSAGE(window.services.messageBox().showed(shown),
                      window.services.messageBox().shown().back());
        const bool restored = row.removal == Restored;
        CHECK((restored ? game.gameSnapshot() : game.snapshot()) ==
              (restored ? gameBefore : allBefore));
        CHECK(window.services.busySpells() == (row.removal == NotRun ? 0 : 1));
        CHECK(window.view.told.empty());
    }
}

TEST_CASE("A second installer started from one package folder is turned away")
{
    ScratchFolder package;
    ScriptedMessageBox firstBox;
    const std::optional<InstanceLock> first =
        SingleInstanceGuard::lockOrTell(package.nativePath(), firstBox);
    REQUIRE(first);
    CHECK(firstBox.shown().empty());

    ScriptedMessageBox secondBox;
    CHECK(!SingleInstanceGuard::lockOrTell(package.nativePath(), secondBox));
    CHECK(secondBox.shown() == Lines{"BEXOM | I | " + NoticeWording::AlreadyRunning});
}
