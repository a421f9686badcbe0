#include "Win32MessageBox.h"

#include "runtime/WindowsText.h"
#include "ui/PromptWrapper.h"

#include "WindowsApi.h"

#include <algorithm>

namespace {

UINT flagsFor(MessageBoxButtons buttons, MessageBoxIcon icon)
{
    const UINT flags = buttons == MessageBoxButtons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
    case MessageBoxIcon::Critical:
        return flags | MB_ICONERROR;
    case MessageBoxIcon::Question:
        return flags | MB_ICONQUESTION;
    case MessageBoxIcon::Information:
        return flags | MB_ICONINFORMATION;
    case MessageBoxIcon::None:
        break;
    }
    return flags;
}

MessageBoxAnswer answerFor(int answer)
{
    switch (answer) {
    case IDOK:
        return MessageBoxAnswer::Ok;
    case IDYES:
        return MessageBoxAnswer::Yes;
    case IDCANCEL:
        return MessageBoxAnswer::Cancel;
    default:
        // A box that could not be shown (0) has not been answered; nothing goes ahead without a
        // Yes.
        return MessageBoxAnswer::No;
    }
}

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

MessageBoxAnswer Win32MessageBox::show(const std::string &prompt, MessageBoxButtons buttons,
                                       MessageBoxIcon icon, const std::string &title)
{
    // Owned by the window that has the input, the box keeps it and every window below it from
    // taking any. Without one, as before the main window is shown, every window of the thread is
    // disabled instead.
    const HWND owner = GetActiveWindow();
    const HWND focus = GetFocus();
    UINT flags = flagsFor(buttons, icon);
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
    return answerFor(answer);
}
