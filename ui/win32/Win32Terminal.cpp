#include "Win32Terminal.h"

#include "runtime/WindowsText.h"

#include <cstdlib>

namespace {

bool isGiven(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE;
}

HANDLE consoleHandle(const wchar_t *name)
{
    return ::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
}

bool isConsole(HANDLE handle)
{
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode);
}

} // namespace

Win32Terminal::Win32Terminal()
    : m_output(::GetStdHandle(STD_OUTPUT_HANDLE)), m_error(::GetStdHandle(STD_ERROR_HANDLE)),
      m_input(::GetStdHandle(STD_INPUT_HANDLE))
{
    if (isGiven(m_output) && isGiven(m_error) && isGiven(m_input))
        return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!isGiven(m_output))
        m_output = consoleHandle(L"CONOUT$");
    if (!isGiven(m_error))
        m_error = consoleHandle(L"CONOUT$");
    if (!isGiven(m_input))
        m_input = consoleHandle(L"CONIN$");
}

void Win32Terminal::write(Stream stream, const std::string &text)
{
    const HANDLE handle = stream == Stream::Output ? m_output : m_error;
    if (!isGiven(handle))
        return;
    DWORD written = 0;
    if (isConsole(handle)) {
        const std::wstring wide = WindowsText::toWide(text);
        ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    ::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::optional<std::string> Win32Terminal::readLine()
{
    if (!isGiven(m_input))
        return std::nullopt;
    if (isConsole(m_input)) {
        std::wstring line(4096, L'\0');
        DWORD read = 0;
        if (!::ReadConsoleW(m_input, line.data(), static_cast<DWORD>(line.size()), &read,
                            nullptr) ||
            read == 0)
            return std::nullopt;
        line.resize(read);
        while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r'))
            line.pop_back();
        return WindowsText::fromWide(line);
    }
    // A pipe or a file is read a byte at a time, so that nothing after the line is taken from it.
    std::string line;
    char byte = 0;
    DWORD read = 0;
    while (::ReadFile(m_input, &byte, 1, &read, nullptr) && read == 1 && byte != '\n')
        line += byte;
    if (line.empty() && read == 0)
        return std::nullopt;
    if (line.ends_with('\r'))
        line.pop_back();
    return line;
}

// The C runtime has split the command line already, as CommandLineToArgvW would, without loading
// shell32 at every start.
std::vector<std::string> Win32Terminal::arguments()
{
    std::vector<std::string> arguments;
    for (int index = 1; __wargv && index < __argc; ++index)
        arguments.push_back(WindowsText::fromWide(__wargv[index]));
    return arguments;
}
