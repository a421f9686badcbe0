#include "Form2.h"

#include "DpiScale.h"
#include "runtime/WindowsText.h"
#include "ui/NoticeWording.h"
#include "ui/RuntimeErrorNotice.h"
#include "Win32BusyIndicator.h"
#include "WindowsError.h"

#include <string_view>

namespace {

using InstallDialogLayout::Control;

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT;
constexpr WORD DialogFontPoints = 8;
constexpr int PointsPerInch = 72;

void appendText(std::vector<WORD> &words, std::wstring_view text)
{
    words.insert(words.end(), text.begin(), text.end());
    words.push_back(0);
}

void appendLong(std::vector<WORD> &words, DWORD value)
{
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
}

// An in-memory dialog template without controls: its window with the title and the platform's
// dialog font, "MS Shell Dlg" at 8 points. The controls are made when the dialog opens, at the
// shared layout's pixel places; the template's own units follow the font and would not match.
std::vector<WORD> dialogTemplate()
{
    std::vector<WORD> words;
    appendLong(words, DialogStyle);
    appendLong(words, 0);                       // extended style
    words.insert(words.end(), {0, 0, 0, 0, 0}); // no controls, x, y, width, height
    words.insert(words.end(), {0, 0});          // no menu, the standard dialog class
    appendText(words, WindowsText::toWide(InstallDialogLayout::Title));
    words.push_back(DialogFontPoints);
    appendText(words, L"MS Shell Dlg");
    return words;
}

// In the dialog's font; the dialog's layout places it.
HWND createControl(HWND dialog, const wchar_t *windowClass, DWORD style, DWORD extendedStyle,
                   const Control &control, int id)
{
    const std::wstring caption = WindowsText::toWide(control.caption);
    const HWND window = CreateWindowExW(
        extendedStyle, windowClass, caption.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
        dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageW(window, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return window;
}

// The label's size is that of its caption in the font it is drawn with.
void fitToCaption(HWND label)
{
    const HDC dc = GetDC(label);
    const HGDIOBJ former =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    const std::wstring caption = WindowsText::toWide(InstallDialogLayout::Label1.caption);
    SIZE size{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    SelectObject(dc, former);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}

} // namespace

Form2::Form2(HINSTANCE instance, RuntimeServices &services, AdministratorRestart &restart)
    : m_instance(instance), m_services(services), m_controller(*this, services, &restart),
      m_template(dialogTemplate())
{}

void Form2::showModal(HWND owner, const std::optional<DialogChoice> &choice)
{
    m_choice = choice;
    const INT_PTR result = DialogBoxIndirectParamW(
        m_instance, reinterpret_cast<const DLGTEMPLATE *>(m_template.data()), owner, procedure,
        reinterpret_cast<LPARAM>(this));
    m_scaledFont.reset();
    if (result == -1)
        RuntimeErrorNotice::showIfFailed(m_services.messageBox,
                                         lastWindowsError(NoticeWording::InstallDialogNotOpened));
}

INT_PTR CALLBACK Form2::procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *form = reinterpret_cast<Form2 *>(lParam);
        form->m_dialog = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    }
    auto *form = reinterpret_cast<Form2 *>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!form)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        form->m_dialog = nullptr;
        return FALSE;
    }
    return form->handleMessage(message, wParam, lParam);
}

INT_PTR Form2::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        DpiScale::keepDialogFromScalingItself(m_dialog);
        load();
        if (m_choice) {
            setDirectoryText(m_choice->directory);
            const bool counterstrike = m_choice->edition == Edition::Counterstrike;
            CheckRadioButton(m_dialog, Option1Id, Option2Id, counterstrike ? Option1Id : Option2Id);
        }
        // The focus is set already.
        return FALSE;
    case WM_DPICHANGED:
        // Moved to a monitor of another scale, or the scale changed: Windows proposes the place.
        useFontFor(HIWORD(wParam));
        layOut(HIWORD(wParam), reinterpret_cast<const RECT *>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            onCommand(LOWORD(wParam));
        return TRUE;
    case WM_SETCURSOR:
        // The controls ask the dialog first.
        if (!Win32BusyIndicator::setCursorWhileBusy())
            return FALSE;
        SetWindowLongPtrW(m_dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_CLOSE:
        // The close box. Without this the dialog manager would send IDCANCEL, which Esc sends
        // too and which is ignored.
        EndDialog(m_dialog, 0);
        return TRUE;
    }
    return FALSE;
}

void Form2::layOut(int dpi, const RECT *proposed)
{
    // The main window is centred on the work area and cannot be moved: centred on the work
    // area, the dialog stands centred over it.
    DpiScale::placeWindow(m_dialog, InstallDialogLayout::ClientWidth,
                          InstallDialogLayout::ClientHeight, dpi, proposed);
    for (const auto &[window, control] : controls()) {
        const PixelRect place = DpiScale::scaled(control->place, dpi);
        MoveWindow(window, place.left, place.top, place.width, place.height, TRUE);
    }
    fitToCaption(Label1);
}

// The dialog font in its points at the DPI, of the face and kind that Windows chose for the
// template.
void Form2::useFontFor(int dpi)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(m_dialog, WM_GETFONT, 0, 0)), sizeof(font),
               &font);
    font.lfHeight = -MulDiv(DialogFontPoints, dpi, PointsPerInch);
    font.lfWidth = 0;
    // The font the controls show now goes only once they have the new one.
    auto scaledFont = decltype(m_scaledFont)(CreateFontIndirectW(&font), DeleteObject);
    if (!scaledFont)
        return;
    for (const auto &[window, control] : controls())
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(scaledFont.get()), TRUE);
    m_scaledFont = std::move(scaledFont);
}

std::array<std::pair<HWND, const Control *>, 7> Form2::controls() const
{
    return {{{Label1, &InstallDialogLayout::Label1},
             {Text1, &InstallDialogLayout::Text1},
             {Option1, &InstallDialogLayout::Option1},
             {Option2, &InstallDialogLayout::Option2},
             {Command1, &InstallDialogLayout::Command1},
             {Command2, &InstallDialogLayout::Command2},
             {StatusLine, &InstallDialogLayout::StatusLine}}};
}

void Form2::load()
{
    // Made in tab order. The label, which takes no focus, comes just before the directory box:
    // screen readers name a box after the label in front of it. WS_GROUP starts a group that
    // the arrow keys move in; within the option group, the button control keeps WS_TABSTOP on
    // the selected option only, so that Tab lands on it.
    Label1 = createControl(m_dialog, L"STATIC", SS_LEFT | SS_NOPREFIX, 0,
                           InstallDialogLayout::Label1, Label1Id);
    Text1 = createControl(m_dialog, L"EDIT", WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL,
                          WS_EX_CLIENTEDGE, InstallDialogLayout::Text1, Text1Id);
    // A directory may be longer than the edit control's default limit of 32767 characters.
    SendMessageW(Text1, EM_SETLIMITTEXT, 0, 0);
    Option1 = createControl(m_dialog, L"BUTTON", BS_AUTORADIOBUTTON | WS_GROUP, 0,
                            InstallDialogLayout::Option1, Option1Id);
    Option2 = createControl(m_dialog, L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0,
                            InstallDialogLayout::Option2, Option2Id);
    SendMessageW(Option2, BM_SETCHECK, BST_CHECKED, 0);
    // Plain push buttons: neither is the dialog's default, so Enter elsewhere presses nothing.
    Command1 = createControl(m_dialog, L"BUTTON", BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 0,
                             InstallDialogLayout::Command1, Command1Id);
    Command2 = createControl(m_dialog, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0,
                             InstallDialogLayout::Command2, Command2Id);
    // Hidden but while the installation runs: the busy sign shows it.
    StatusLine = createControl(m_dialog, L"STATIC", SS_LEFT | SS_NOPREFIX, 0,
                               InstallDialogLayout::StatusLine, StatusLineId);
    ShowWindow(StatusLine, SW_HIDE);

    layOut(DpiScale::ofWindow(m_dialog));

    // The caret after the directory, nothing selected: the player's first key edits the
    // directory instead of replacing it.
    SetFocus(Text1);
    const auto length = static_cast<WPARAM>(GetWindowTextLengthW(Text1));
    SendMessageW(Text1, EM_SETSEL, length, static_cast<LPARAM>(length));
}

void Form2::onCommand(int id)
{
    // IDOK and IDCANCEL, which Enter and Esc send, do nothing.
    if (id == Command1Id)
        m_controller.Command1_Click();
    if (id == Command2Id)
        EndDialog(m_dialog, 0);
}

std::string Form2::directoryText() const
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Text1)) + 1, L'\0');
    const int length = GetWindowTextW(Text1, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length));
    return WindowsText::fromWide(text);
}

void Form2::setDirectoryText(const std::string &text)
{
    SetWindowTextW(Text1, WindowsText::toWide(text).c_str());
}

bool Form2::counterstrikeSelected() const
{
    return SendMessageW(Option1, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
