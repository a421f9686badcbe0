#include "ChildProcess.h"
#include "runtime/WindowsText.h"

#include <windows.h>

namespace {

// Quoted so that the child's CommandLineToArgvW gives back the argument as it was: backslashes
// are literal unless a double quote follows them, which a doubling and one more escape keep.
std::wstring quoted(const std::wstring &argument)
{
    std::wstring text = L"\"";
    for (auto at = argument.begin();; ++at) {
        std::size_t backslashes = 0;
        for (; at != argument.end() && *at == L'\\'; ++at)
            ++backslashes;
        if (at == argument.end()) {
            text.append(backslashes * 2, L'\\');
            break;
        }
        text.append(*at == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        text.push_back(*at);
    }
    return text + L'"';
}

} // namespace

int runToEnd(const std::string &program, const std::vector<std::string> &arguments)
{
    std::wstring line = quoted(WindowsText::toWide(program));
    for (const std::string &argument : arguments)
        line += L' ' + quoted(WindowsText::toWide(argument));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return -1;
    DWORD code = 0;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    const bool known = ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return known ? static_cast<int>(code) : -1;
}
