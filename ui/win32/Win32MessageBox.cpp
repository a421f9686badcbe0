#include "Win32MessageBox.h"

#include "runtime/WindowsText.h"
#include "ui/PromptWrapper.h"

#include "WindowsApi.h"

#include <algorithm>

// The runtime's style numbers and answers are Windows' own.
static_assert(MessageBoxStyle::OkOnly == MB_OK && MessageBoxStyle::YesNo == MB_YESNO);
static_assert(MessageBoxStyle::Critical == MB_ICONERROR &&
              MessageBoxStyle::Question == MB_ICONQUESTION &&
              MessageBoxStyle::Information == MB_ICONINFORMATION);
static_assert(MessageBoxAnswer::Ok == IDOK && MessageBoxAnswer::Yes == IDYES &&
              MessageBoxAnswer::No == IDNO && MessageBoxAnswer::Cancel == IDCANCEL);

namespace {

constexpr UINT ButtonsAndIcon = MB_TYPEMASK | MB_ICONMASK;

// The message box breaks lines between words by itself, but a directory without a blank would be
// cut at the box's edge, and a prompt of thousands of lines would run off the screen. Laid out
// here, in the box's own font and in lines narrower than the box allows, every line stays whole.
std::string laidOut(const std::string &prompt)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    RECT workArea{};
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) ||
        !SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0))
        return prompt;
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ formerFont = SelectObject(screen, font);
    TEXTMETRICW text{};
    GetTextMetricsW(screen, &text);
    const auto characterWidth = [screen](std::string_view character) {
        const std::wstring wide = WindowsText::toWide(character);
        SIZE size{};
        GetTextExtentPoint32W(screen, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    const int lineWidth = (workArea.right - workArea.left) / 2;
    // Room for the title bar, the buttons and the frame.
    const int lineHeight = std::max(1, static_cast<int>(text.tmHeight + text.tmExternalLeading));
    const int maxLines = ((workArea.bottom - workArea.top) * 3 / 4 - 100) / lineHeight;
    std::string wrapped = PromptWrapper(characterWidth, lineWidth, maxLines).wrap(prompt);
    SelectObject(screen, formerFont);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
    return wrapped;
}

} // namespace

int Win32MessageBox::show(const std::string &prompt, int style, const std::string &title)
{
    // Owned by the window that has the input, the box keeps it and every window below it from
    // taking any. Without one, as before the main window is shown, every window of the thread is
    // disabled instead.
    const HWND owner = GetActiveWindow();
    const HWND focus = GetFocus();
    UINT flags = static_cast<UINT>(style) & ButtonsAndIcon;
    if (!owner)
        flags |= MB_TASKMODAL;
    const int answer = MessageBoxW(owner, WindowsText::toWide(laidOut(prompt)).c_str(),
                                   WindowsText::toWide(title).c_str(), flags);
    // The keyboard goes back to the control that had it: under Wine, a closed box may leave it
    // with the window manager, and Tab, Enter and Space would do nothing until a click.
    if (owner && IsWindow(owner)) {
        SetForegroundWindow(owner);
        if (focus && IsWindow(focus))
            SetFocus(focus);
    }
    // A box that could not be shown has not been answered; nothing goes ahead without a Yes.
    return answer == 0 ? MessageBoxAnswer::No : answer;
}
