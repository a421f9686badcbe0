#include "InstallerProcess.h"
#include "InstallScratch.h"
#include "runtime/WindowsText.h"
#include "ui/InstallDialogLayout.h"
#include "ui/MainWindowLayout.h"
#include "ui/win32/Form2.h"
#include "ui/win32/PictureResource.h"

#include <oleacc.h>

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

constexpr int NoHighlight = 5;

const std::wstring Program = driveZPath(std::getenv("BEXOM_PROGRAM"));

int differingPixels(const std::vector<std::uint32_t> &shown,
                    const std::vector<std::uint32_t> &expected)
{
    int count = 0;
    for (std::size_t i = 0; i < std::min(shown.size(), expected.size()); ++i)
        count += shown[i] != expected[i];
    return count + static_cast<int>(std::max(shown.size(), expected.size()) -
                                    std::min(shown.size(), expected.size()));
}

// The screen is taken by the script that runs this test, which waits for the line.
void takeScreenshot(const char *name)
{
    const char *folder = std::getenv("BEXOM_SCREENSHOTS");
    if (!folder)
        return;
    std::printf("screenshot %s\n", name);
    std::fflush(stdout);
    const std::wstring done = driveZPath(folder) + L"\\" + WindowsText::toWide(name) + L".png";
    waitFor([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

RECT screenRect(HWND window, bool client)
{
    RECT rect{};
    if (!client) {
        GetWindowRect(window, &rect);
        return rect;
    }
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

// Where a window of the given size stands centred on the work area.
POINT centredPlace(int width, int height)
{
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    return {workArea.left + (workArea.right - workArea.left - width) / 2,
            workArea.top + (workArea.bottom - workArea.top - height) / 2};
}

POINT centreOf(const PixelRect &rect)
{
    return {rect.left + rect.width / 2, rect.top + rect.height / 2};
}

bool checked(HWND dialog, int id)
{
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int buttonUnderPointer(HWND main)
{
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(main, &pointer);
    for (std::int16_t i = 0; i < MainWindowLayout::ButtonCount; ++i) {
        const PixelRect place = MainWindowLayout::buttonn(i);
        const RECT rect{place.left, place.top, place.left + place.width, place.top + place.height};
        if (PtInRect(&rect, pointer))
            return i;
    }
    return NoHighlight;
}

// The screen's scale for the programs started while it lives, as Wine reads it at a program's
// start; the prefix's former setting comes back afterwards.
class ScreenScale final
{
public:
    explicit ScreenScale(DWORD dpi)
    {
        DWORD size = sizeof(m_former);
        m_had = RegGetValueW(HKEY_CURRENT_USER, Desktop, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                             &m_former, &size) == ERROR_SUCCESS;
        RegSetKeyValueW(HKEY_CURRENT_USER, Desktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }
    ~ScreenScale()
    {
        if (m_had)
            RegSetKeyValueW(HKEY_CURRENT_USER, Desktop, L"LogPixels", REG_DWORD, &m_former,
                            sizeof(m_former));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, Desktop, L"LogPixels");
    }

private:
    static constexpr const wchar_t *Desktop = L"Control Panel\\Desktop";
    DWORD m_former = 0;
    bool m_had = false;
};

// How wide a control's caption is in the dialog font at the DPI: its own font is its program's.
int captionWidth(HWND control, int dpi)
{
    const std::wstring caption = WindowsText::toWide(textOf(control));
    const HFONT font = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg");
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ former = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    SelectObject(dc, former);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return size.cx;
}

struct MouseRow
{
    const char *where;
    POINT point;
    int highlight;
};

} // namespace

// A picture's stored runs, and the padded rows they decode to, none when they must be refused.
struct StoredPictureRow
{
    const char *what;
    std::vector<std::uint8_t> stored;
    std::optional<std::vector<std::uint8_t>> rows;
};

TEST_CASE("Stored pictures: every pixel decoded, malformed runs refused before any byte past them")
{
    using Rows = std::vector<std::uint8_t>;
    const StoredPictureRow rows[] = {
        {"2 x 1, one pixel repeated", {2, 0, 1, 0, 0x41, 1, 2, 3}, Rows{1, 2, 3, 1, 2, 3, 0, 0}},
        {"1 x 2, the top row as the one below",
         {1, 0, 2, 0, 0x00, 1, 2, 3, 0x80},
         Rows{1, 2, 3, 0, 1, 2, 3, 0}},
        {"a header cut short", {1, 0, 1}, std::nullopt},
        {"no pixels", {0, 0, 1, 0}, std::nullopt},
        {"a literal cut short", {2, 0, 1, 0, 0x01, 1, 2, 3}, std::nullopt},
        {"a run past the last pixel", {1, 0, 1, 0, 0x41, 1, 2, 3}, std::nullopt},
        {"the bottom row as the one below it", {2, 0, 1, 0, 0x00, 1, 2, 3, 0x80}, std::nullopt},
        {"a pixel missing", {2, 0, 1, 0, 0x00, 1, 2, 3}, std::nullopt},
        {"bytes after the last pixel", {1, 0, 1, 0, 0x00, 1, 2, 3, 0x00}, std::nullopt},
        {"a run of no known kind", {1, 0, 1, 0, 0xc0, 1, 2, 3}, std::nullopt},
    };
    for (const StoredPictureRow &row : rows) {
        CAPTURE(row.what);
        const auto pixels = PictureResource::decode(row.stored);
        REQUIRE(pixels.has_value() == row.rows.has_value());
        if (pixels)
            CHECK(pixels->rows == *row.rows);
    }
}

TEST_CASE("The installer's windows, driven as a player drives them")
{
    InstallScratch scratch;
    const std::vector<std::string> gameBefore = scratch.gameSnapshot();
    InstallerProcess installer(Program,
                               WindowsText::toWide(scratch.at(InstallScratch::PackageFolder)));
    const HWND main = installer.mainWindow();
    REQUIRE(main);

    SUBCASE("Main window: borderless, black, centred, every picture in its place")
    {
        const RECT window = screenRect(main, false);
        CHECK(window.right - window.left == MainWindowLayout::ClientWidth);
        CHECK(window.bottom - window.top == MainWindowLayout::ClientHeight);
        const RECT client = screenRect(main, true);
        CHECK(client.left == window.left);
        CHECK(client.top == window.top);
        const POINT place =
            centredPlace(MainWindowLayout::ClientWidth, MainWindowLayout::ClientHeight);
        CHECK(window.left == place.x);
        CHECK(window.top == place.y);
        CHECK((GetWindowLongW(main, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_POPUP)) ==
              WS_POPUP);

        // The screen's own pointer may stand over a button at start, as on Xvfb, whose pointer
        // is at the screen's centre: Windows then sends that button the first mouse move.
        const std::vector<std::uint32_t> expected =
            installer.expectedMainWindow(buttonUnderPointer(main));
        CHECK(differingPixels(installer.mainWindowOnScreen(expected), expected) == 0);
        takeScreenshot("main-window");

        // Each row starts where the row before it left the highlight. The last row ends over
        // the button under the screen's own pointer, as Windows may send a move from that
        // pointer whenever a message box closes over the window.
        const MouseRow rows[] = {
            {"onto Install, without crossing the background",
             centreOf(MainWindowLayout::buttonn(0)), 0},
            {"onto the banner", centreOf(MainWindowLayout::Picture1), 0},
            {"over the background between Credits and Exit", {150, 322}, NoHighlight},
            {"onto Uninstall", centreOf(MainWindowLayout::buttonn(1)), 1},
        };
        for (const MouseRow &row : rows) {
            CAPTURE(row.where);
            installer.moveMouseTo(row.point);
            const std::vector<std::uint32_t> highlighted =
                installer.expectedMainWindow(row.highlight);
            CHECK(differingPixels(installer.mainWindowOnScreen(highlighted), highlighted) == 0);
        }
        takeScreenshot("main-window-uninstall-highlighted");

        // The keys move the highlight round the four buttons as the mouse would, and back to
        // Uninstall, under the screen's own pointer; the focus goes with it, for screen readers.
        const std::pair<WPARAM, int> keyRows[] = {{VK_TAB, 2},  {VK_DOWN, 3}, {VK_RIGHT, 0},
                                                  {VK_LEFT, 3}, {VK_UP, 2},   {VK_UP, 1}};
        for (const auto &[key, highlight] : keyRows) {
            CAPTURE(key);
            installer.pressKey(installer.focus(), key);
            const std::vector<std::uint32_t> highlighted = installer.expectedMainWindow(highlight);
            CHECK(differingPixels(installer.mainWindowOnScreen(highlighted), highlighted) == 0);
            CHECK(installer.focus() == installer.buttonn(highlight));
        }
        // A move to where the pointer rests, as when a box closes, leaves the keyboard's choice.
        installer.pressKey(installer.focus(), VK_UP);
        installer.moveMouseTo(centreOf(MainWindowLayout::buttonn(1)));
        const std::vector<std::uint32_t> kept = installer.expectedMainWindow(0);
        CHECK(differingPixels(installer.mainWindowOnScreen(kept), kept) == 0);
        installer.pressKey(installer.focus(), VK_DOWN);
        installer.pressKey(installer.focus(), VK_SPACE);
        CHECK(installer.answerMessageBox(L"BEXOM", IDCANCEL) ==
              "Are you sure you wish to uninstall BEXOM?");
        installer.pressKey(main, VK_RETURN);
        CHECK(installer.answerMessageBox(L"BEXOM", IDNO) ==
              "Are you sure you wish to uninstall BEXOM?");
        // The keyboard is back on the button it pressed.
        waitFor([&] { return installer.focus() == installer.buttonn(1); });
        CHECK(installer.focus() == installer.buttonn(1));
        // Screen readers meet a push button with its label, which their default action presses.
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IAccessible *uninstall = nullptr;
        REQUIRE(AccessibleObjectFromWindow(installer.buttonn(1), OBJID_CLIENT,
                                           __uuidof(IAccessible),
                                           reinterpret_cast<void **>(&uninstall)) == S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        VARIANT role{};
        BSTR name = nullptr;
        CHECK((uninstall->get_accRole(self, &role) == S_OK && role.lVal == ROLE_SYSTEM_PUSHBUTTON));
        CHECK((uninstall->get_accName(self, &name) == S_OK && std::wstring(name) == L"Uninstall"));
        SysFreeString(name);
        CHECK(uninstall->accDoDefaultAction(self) == S_OK);
        uninstall->Release();
        CHECK(installer.answerMessageBox(L"BEXOM", IDNO) ==
              "Are you sure you wish to uninstall BEXOM?");
        CHECK(scratch.gameSnapshot() == gameBefore);

        installer.click(installer.buttonn(2));
        CHECK(installer.answerMessageBox(L"BEXOM", IDOK) ==
              "The Credits can be found in the file: BEXOM-Credits.doc");
        installer.click(installer.buttonn(3));
        const HWND question = installer.waitForWindow(L"#32770", L"BEXOM Installation Program");
        REQUIRE(question);
        CHECK_FALSE(IsWindowEnabled(main));
        takeScreenshot("exit-question");
        CHECK(installer.answerMessageBox(L"BEXOM Installation Program", IDNO) ==
              "Are you sure you wish to leave?");
        CHECK(IsWindowEnabled(main));
        const std::vector<std::uint32_t> unchanged = installer.expectedMainWindow(1);
        CHECK(differingPixels(installer.mainWindowOnScreen(unchanged), unchanged) == 0);
        installer.click(installer.buttonn(3));
        installer.answerMessageBox(L"BEXOM Installation Program", IDYES);
        CHECK(installer.waitForExit() == 0);
    }

    SUBCASE("At 150 and 200 percent, also on a move: every control in its place, no caption cut")
    {
        // The screen's scale at the start, and the one of the monitor the dialog is moved to.
        for (const auto &[startDpi, dpi] : {std::pair(144, 144), {192, 192}, {96, 192}}) {
            CAPTURE(dpi);
            const ScreenScale scale(static_cast<DWORD>(startDpi));
            int at = startDpi;
            const auto scaled = [&at](int pixels) {
                return MulDiv(pixels, at, 96);
            };
            InstallScratch scaledScratch;
            InstallerProcess scaledInstaller(
                Program,
                WindowsText::toWide(scaledScratch.scratch().at(InstallScratch::PackageFolder)));
            const HWND scaledMain = scaledInstaller.mainWindow();
            REQUIRE(scaledMain);
            const RECT window = screenRect(scaledMain, false);
            CHECK(window.right - window.left == scaled(MainWindowLayout::ClientWidth));
            CHECK(window.bottom - window.top == scaled(MainWindowLayout::ClientHeight));
            for (std::int16_t i = 0; i < MainWindowLayout::ButtonCount; ++i) {
                const RECT button = screenRect(scaledInstaller.buttonn(i), false);
                CHECK(button.left - window.left == scaled(MainWindowLayout::buttonn(i).left));
                CHECK(button.right - button.left == scaled(MainWindowLayout::buttonn(i).width));
            }

            installer.click(scaledInstaller.buttonn(0));
            const HWND dialog = scaledInstaller.waitForWindow(
                L"#32770", WindowsText::toWide(InstallDialogLayout::Title).c_str());
            REQUIRE(dialog);
            at = dpi;
            if (startDpi != dpi)
                scaledInstaller.changeScale(dialog, dpi, {40, 30, scaled(300), scaled(230)});
            CHECK((startDpi == dpi || screenRect(dialog, false).left == 40));
            const RECT client = screenRect(dialog, true);
            CHECK(client.right - client.left == scaled(InstallDialogLayout::ClientWidth));
            CHECK(client.bottom - client.top == scaled(InstallDialogLayout::ClientHeight));
            for (const int id : {Form2::Label1Id, Form2::Option1Id, Form2::Option2Id,
                                 Form2::Command1Id, Form2::Command2Id}) {
                CAPTURE(id);
                const RECT place = screenRect(GetDlgItem(dialog, id), false);
                RECT inside{};
                CHECK((IntersectRect(&inside, &place, &client) && EqualRect(&inside, &place)));
                // An option button's caption follows its round box.
                const int box = id == Form2::Option1Id || id == Form2::Option2Id ? scaled(16) : 0;
                CHECK(captionWidth(GetDlgItem(dialog, id), dpi) + box <= place.right - place.left);
            }
            takeScreenshot(dpi == 144 ? "install-dialog-150" : "install-dialog-200");
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            CHECK(InstallerProcess::waitUntilGone(dialog));
        }
    }

    SUBCASE("Install dialog: an installation and a removal through the windows")
    {
        // The work runs on a thread of its own, the window disabled meanwhile: it is over once
        // the backup folder is there (or gone), the journal is gone and the window takes input
        // again. Only names are looked up: a file opened meanwhile could stand in its way.
        const std::wstring journal = WindowsText::toWide(
            scratch.scratch().at(InstallScratch::PackageFolder + std::string("/BEXOMv2.journal")));
        const std::wstring backup = WindowsText::toWide(scratch.driveCDirectory() + "BEXOMv2");
        const auto waitForWork = [&](HWND window, bool backupThere) {
            const auto there = [](const std::wstring &path) {
                return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            };
            waitFor([&] {
                return there(backup) == backupThere && !there(journal) && IsWindowEnabled(window);
            });
        };
        const std::wstring title = WindowsText::toWide(InstallDialogLayout::Title);
        installer.click(installer.buttonn(0));
        HWND dialog = installer.waitForWindow(L"#32770", title.c_str());
        REQUIRE(dialog);
        CHECK_FALSE(IsWindowEnabled(main));
        const RECT client = screenRect(dialog, true);
        CHECK(client.right - client.left == InstallDialogLayout::ClientWidth);
        CHECK(client.bottom - client.top == InstallDialogLayout::ClientHeight);
        const RECT window = screenRect(dialog, false);
        const POINT place = centredPlace(window.right - window.left, window.bottom - window.top);
        CHECK(window.left == place.x);
        CHECK(window.top == place.y);
        const LONG style = GetWindowLongW(dialog, GWL_STYLE);
        CHECK((style & (WS_SYSMENU | WS_CAPTION)) == (WS_SYSMENU | WS_CAPTION));
        CHECK((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) == 0);

        using InstallDialogLayout::Control;
        const std::pair<int, Control> controls[] = {
            {Form2::Text1Id, InstallDialogLayout::Text1},
            {Form2::Label1Id, InstallDialogLayout::Label1},
            {Form2::Option1Id, InstallDialogLayout::Option1},
            {Form2::Option2Id, InstallDialogLayout::Option2},
            {Form2::Command1Id, InstallDialogLayout::Command1},
            {Form2::Command2Id, InstallDialogLayout::Command2},
        };
        for (const auto &[id, control] : controls) {
            CAPTURE(control.name);
            const HWND item = GetDlgItem(dialog, id);
            const RECT place = screenRect(item, false);
            CHECK(place.left - client.left == control.place.left);
            CHECK(place.top - client.top == control.place.top);
            if (id != Form2::Label1Id) {
                CHECK(place.right - place.left == control.place.width);
                CHECK(place.bottom - place.top == control.place.height);
            }
            CHECK(textOf(item) == control.caption);
        }
        const HWND text1 = GetDlgItem(dialog, Form2::Text1Id);
        CHECK(SendMessageW(text1, EM_GETLIMITTEXT, 0, 0) >= 0x7FFFFFFE);
        CHECK(checked(dialog, Form2::Option2Id));
        CHECK_FALSE(checked(dialog, Form2::Option1Id));
        CHECK(installer.focus() == text1);
        CHECK(SendMessageW(text1, EM_GETFIRSTVISIBLELINE, 0, 0) == 0);
        takeScreenshot("install-dialog");

        // Enter and Esc do nothing; the character typed after each lands after the directory,
        // where the caret was, and shows that the key before it has been handled.
        const std::string typed = std::string(InstallDialogLayout::DefaultDirectory) + "xy";
        installer.pressKey(text1, VK_RETURN);
        PostMessageW(text1, WM_CHAR, 'x', 1);
        installer.pressKey(text1, VK_ESCAPE);
        PostMessageW(text1, WM_CHAR, 'y', 1);
        waitFor([&] { return textOf(text1) == typed || !IsWindow(dialog); });
        CHECK(textOf(text1) == typed);
        CHECK(IsWindowVisible(dialog));
        CHECK(FindWindowW(L"#32770", L"Install BEXOM?") == nullptr);

        // The game directory as typed, without its final backslash.
        const std::string directory = scratch.driveCDirectory();
        const std::wstring typedDirectory =
            WindowsText::toWide(directory.substr(0, directory.size() - 1));
        SendMessageW(text1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typedDirectory.c_str()));
        SendDlgItemMessageW(dialog, Form2::Option1Id, BM_CLICK, 0, 0);
        CHECK(checked(dialog, Form2::Option1Id));
        CHECK_FALSE(checked(dialog, Form2::Option2Id));

        // Tab goes through the controls in their order, into the option group on its selected
        // option; Enter on the focused Install button presses it.
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(text1), TRUE);
        const int tabOrder[] = {Form2::Option1Id, Form2::Command1Id, Form2::Command2Id,
                                Form2::Text1Id,   Form2::Option1Id,  Form2::Command1Id};
        for (const int id : tabOrder) {
            CAPTURE(id);
            installer.pressKey(installer.focus(), VK_TAB);
            const HWND expected = GetDlgItem(dialog, id);
            waitFor([&] { return installer.focus() == expected; });
            CHECK(installer.focus() == expected);
        }
        installer.pressKey(installer.focus(), VK_RETURN);
        // The directory does not fit beside the question: it starts a line of its own.
        CHECK(installer.answerMessageBox(L"Install BEXOM?", IDNO) ==
              "Are you sure you wish to install BEXOM to the directory:\n" + directory);
        CHECK(textOf(text1) == directory);
        PostMessageW(GetDlgItem(dialog, Form2::Command1Id), BM_CLICK, 0, 0);
        installer.answerMessageBox(L"Install BEXOM?", IDCANCEL);
        CHECK(scratch.status().starts_with("Status=Uninstalled"));
        CHECK(scratch.gameSnapshot() == gameBefore);

        // A package file so large that the work takes seconds, meanwhile: the busy cursor over the
        // controls, and the main window, nothing highlighted, repainting what the dialog uncovers.
        std::filesystem::resize_file(scratch.at(InstallScratch::PackageFolder + "/SC-Vorda.mix"),
                                     1 << 29);
        const auto cursorOver = [](HWND window) {
            SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            CURSORINFO cursor{sizeof(CURSORINFO), 0, nullptr, {}};
            GetCursorInfo(&cursor);
            return cursor.hCursor;
        };
        const HCURSOR beam = cursorOver(text1);
        PostMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(150, 322));
        PostMessageW(GetDlgItem(dialog, Form2::Command1Id), BM_CLICK, 0, 0);
        installer.answerMessageBox(L"Install BEXOM?", IDYES);
        waitFor([&] { return !IsWindowEnabled(dialog); });
        CHECK(textOf(GetDlgItem(dialog, Form2::StatusLineId)) == "Installing BEXOM...");
        // Space on the Install button, which kept the focus, starts nothing while the work runs.
        installer.pressKey(GetDlgItem(dialog, Form2::Command1Id), VK_SPACE);
        const HCURSOR busy = cursorOver(text1);
        CHECK((busy != beam && cursorOver(dialog) == busy));
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        const std::vector<std::uint32_t> uncovered = installer.expectedMainWindow(NoHighlight);
        CHECK(differingPixels(installer.mainWindowOnScreen(uncovered), uncovered) == 0);
        CHECK_FALSE(IsWindowEnabled(dialog));
        CHECK(installer.answerMessageBox(L"BEXOM", IDOK) ==
              "BEXOM has been installed in\n" + directory + ".");
        waitForWork(dialog, true);
        waitFor([&] { return installer.focus() == GetDlgItem(dialog, Form2::Command1Id); });
        CHECK(installer.focus() == GetDlgItem(dialog, Form2::Command1Id));
        PostMessageW(GetDlgItem(dialog, Form2::Command1Id), BM_CLICK, 0, 0);
        // The dialog stays open after the installation.
        CHECK(installer.answerMessageBox(L"BEXOM", IDOK).starts_with("BEXOM is already Installed"));
        CHECK(scratch.status().starts_with("Status=Counterstrike"));
        CHECK(scratch.gameSnapshot() != gameBefore);
        CHECK(IsWindowVisible(dialog));

        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        CHECK(InstallerProcess::waitUntilGone(dialog));
        CHECK(IsWindowEnabled(main));

        // A new opening shows the design values again; Cancel closes it too.
        installer.click(installer.buttonn(0));
        dialog = installer.waitForWindow(L"#32770", title.c_str());
        REQUIRE(dialog);
        CHECK(textOf(GetDlgItem(dialog, Form2::Text1Id)) == InstallDialogLayout::DefaultDirectory);
        CHECK(checked(dialog, Form2::Option2Id));
        CHECK_FALSE(checked(dialog, Form2::Option1Id));
        PostMessageW(GetDlgItem(dialog, Form2::Command2Id), BM_CLICK, 0, 0);
        CHECK(InstallerProcess::waitUntilGone(dialog));

        installer.click(installer.buttonn(1));
        CHECK(installer.answerMessageBox(L"BEXOM", IDYES) ==
              "Are you sure you wish to uninstall BEXOM?");
        CHECK(installer.answerMessageBox(L"BEXOM", IDOK) ==
              "BEXOM has been uninstalled from\n" + directory + ".");
        waitForWork(main, false);
        const HWND statusLine = GetDlgItem(main, Form2::StatusLineId);
        CHECK((textOf(statusLine) == "Uninstalling BEXOM..." && !IsWindowVisible(statusLine)));
        CHECK(scratch.status().starts_with("Status=Uninstalled"));
        CHECK(scratch.gameSnapshot() == gameBefore);
    }
}
