#include "Win32MessageBox.h"

#include "runtime/WindowsText.h"

#include "WindowsApi.h"

// The runtime's style numbers and answers are Windows' own.
static_assert(MessageBoxStyle::OkOnly == MB_OK && MessageBoxStyle::YesNo == MB_YESNO);
static_assert(MessageBoxStyle::Critical == MB_ICONERROR &&
              MessageBoxStyle::Question == MB_ICONQUESTION &&
              MessageBoxStyle::Information == MB_ICONINFORMATION);
static_assert(MessageBoxAnswer::Ok == IDOK && MessageBoxAnswer::Yes == IDYES &&
              MessageBoxAnswer::No == IDNO);

namespace {

constexpr UINT ButtonsAndIcon = MB_TYPEMASK | MB_ICONMASK;

} // namespace

int Win32MessageBox::show(const std::string &prompt, int style, const std::string &title)
{
    // Owned by the window that has the input, the box keeps it and every window below it from
    // taking any. Without one, as before the main window is shown, every window of the thread is
    // disabled instead.
    const HWND owner = GetActiveWindow();
    UINT flags = static_cast<UINT>(style) & ButtonsAndIcon;
    if (!owner)
        flags |= MB_TASKMODAL;
    const int answer = MessageBoxW(owner, WindowsText::toWide(prompt).c_str(),
                                   WindowsText::toWide(title).c_str(), flags);
    // A box that could not be shown has not been answered; nothing goes ahead without a Yes.
    return answer == 0 ? MessageBoxAnswer::No : answer;
}
