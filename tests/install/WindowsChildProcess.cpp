#include "ChildProcess.h"
#include "FaultyFileSystem.h"
#include "runtime/WindowsText.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <thread>

static_assert(KilledExitCode == 128 + ChildProcess::KillSignal);

namespace {

struct Pipe
{
    WindowsHandle read;
    WindowsHandle write;
};

// Which end of a pipe the child is given; only that end is inherited, so that once the child has
// it, the child is the only other holder and the pipe ends when the child does.
enum class ChildEnd { Read, Write };

std::optional<Pipe> makePipe(ChildEnd childEnd)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!::CreatePipe(&read, &write, &inheritable, 0))
        return std::nullopt;
    Pipe pipe{WindowsHandle(read), WindowsHandle(write)};
    const HANDLE ours = childEnd == ChildEnd::Read ? write : read;
    if (!::SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0))
        return std::nullopt;
    return pipe;
}

// Quoted so that the child's CommandLineToArgvW gives back the argument as it was: backslashes
// are literal unless a double quote follows them, which a doubling and one more escape keep.
std::wstring quoted(const std::wstring &argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
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

std::wstring commandLine(const std::string &program, const std::vector<std::string> &arguments)
{
    std::wstring line = quoted(WindowsText::toWide(program));
    for (const std::string &argument : arguments)
        line += L' ' + quoted(WindowsText::toWide(argument));
    return line;
}

// The name of an environment entry; the hidden entries of the current folders per drive, such as
// "=C:=C:\", begin with the equals sign.
std::wstring nameOf(const std::wstring &entry)
{
    return entry.substr(0, entry.find(L'=', 1));
}

// The test's own environment block with each change put in; names differ in more than case.
std::wstring environmentWith(const std::vector<std::string> &changes)
{
    std::vector<std::wstring> wideChanges;
    for (const std::string &change : changes)
        wideChanges.push_back(WindowsText::toWide(change));
    std::wstring block;
    wchar_t *const strings = ::GetEnvironmentStringsW();
    for (const wchar_t *entry = strings; *entry; entry += std::wcslen(entry) + 1) {
        const std::wstring name = nameOf(entry);
        if (std::none_of(wideChanges.begin(), wideChanges.end(), [&](const std::wstring &change) {
                return ::_wcsicmp(nameOf(change).c_str(), name.c_str()) == 0;
            }))
            block.append(entry).push_back(L'\0');
    }
    ::FreeEnvironmentStringsW(strings);
    for (const std::wstring &change : wideChanges)
        block.append(change).push_back(L'\0');
    return block + L'\0';
}

// Reads what is there, waiting for it; false at the end of the pipe.
bool readSome(const WindowsHandle &pipe, std::string &into)
{
    char buffer[4096];
    DWORD got = 0;
    if (!pipe || !::ReadFile(pipe.get(), buffer, sizeof buffer, &got, nullptr))
        return false;
    into.append(buffer, got);
    return true;
}

void readToEnd(WindowsHandle &pipe, std::string &into)
{
    while (readSome(pipe, into)) {
    }
    pipe.close();
}

void killAndWait(const WindowsHandle &process)
{
    ::TerminateProcess(process.get(), KilledExitCode);
    ::WaitForSingleObject(process.get(), INFINITE);
}

} // namespace

ChildProcess::ChildProcess(const std::string &program, const std::vector<std::string> &arguments,
                           const std::vector<std::string> &changes, Channels channels)
{
    std::optional<Pipe> input = makePipe(ChildEnd::Read);
    std::optional<Pipe> output = makePipe(ChildEnd::Write);
    std::optional<Pipe> errors = makePipe(ChildEnd::Write);
    if (!input || !output || !errors)
        return;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input->read.get();
    startup.hStdOutput = output->write.get();
    startup.hStdError = (channels == Channels::Merged ? output : errors)->write.get();
    std::wstring line = commandLine(program, arguments);
    std::wstring environment = environmentWith(changes);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                          environment.data(), nullptr, &startup, &process))
        return;
    ::CloseHandle(process.hThread);
    m_process = WindowsHandle(process.hProcess);
    m_input = std::move(input->write);
    m_outputPipe = std::move(output->read);
    m_errorPipe = std::move(errors->read);
}

ChildProcess::~ChildProcess()
{
    if (m_process)
        killAndWait(m_process);
}

bool ChildProcess::readLine()
{
    for (std::size_t searched = 0;;) {
        if (m_output.find('\n', searched) != std::string::npos)
            return true;
        searched = m_output.size();
        if (!readSome(m_outputPipe, m_output))
            return false;
    }
}

void ChildProcess::writeLine()
{
    DWORD written = 0;
    if (m_input)
        ::WriteFile(m_input.get(), "\n", 1, &written, nullptr);
}

std::optional<ChildProcess::Ending> ChildProcess::finish(std::chrono::seconds guard)
{
    if (!m_process)
        return std::nullopt;
    m_input.close();
    // Both pipes are read at once, so that a child filling one while we wait on the other
    // cannot stall; each ends when the child, their only writer, does.
    std::thread outputReader(readToEnd, std::ref(m_outputPipe), std::ref(m_output));
    std::thread errorReader(readToEnd, std::ref(m_errorPipe), std::ref(m_errors));
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(guard).count();
    const bool timedOut =
        ::WaitForSingleObject(m_process.get(), static_cast<DWORD>(std::min<long long>(
                                                   milliseconds, INFINITE - 1))) != WAIT_OBJECT_0;
    if (timedOut)
        killAndWait(m_process);
    outputReader.join();
    errorReader.join();
    DWORD code = 0;
    const bool known = ::GetExitCodeProcess(m_process.get(), &code);
    m_process.close();
    if (timedOut || !known)
        return std::nullopt;
    if (code == KilledExitCode)
        return Ending{true, KillSignal};
    return Ending{false, static_cast<int>(code)};
}
