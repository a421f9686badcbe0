// Measures how long a windowed program takes from the start of its process until its first
// window is on the screen: a visible top-level window of the process whose top left pixel reads
// black on the screen (both programs measured have a black background, the screen around is
// white). The programs take turns, so that a machine busy with other work slows them alike.
// Prints each run's milliseconds, then each program's median.
//
//   startup_timer.exe RUNS PROGRAM...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search
{
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter)
{
    auto &search = *reinterpret_cast<Search *>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !IsWindowVisible(window))
        return TRUE;
    search.found = window;
    return FALSE;
}

bool shownOnScreen(DWORD processId)
{
    Search search{processId, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return false;
    RECT rect;
    GetWindowRect(search.found, &rect);
    const HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, rect.left + 2, rect.top + 2);
    ReleaseDC(nullptr, screen);
    return pixel == RGB(0, 0, 0);
}

double secondsNow()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

double timeToWindow(const std::string &program)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    // No arguments: the installer would take them for a command line and open no window. The
    // bare window stays up for its default time, longer than any start.
    std::string commandLine = "\"" + program + "\"";
    const double start = secondsNow();
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return -1;
    // A program that ends without a window has no time to give.
    while (!shownOnScreen(process.dwProcessId))
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
            return -1;
        }
    const double milliseconds = (secondsNow() - start) * 1000;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return milliseconds;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_timer RUNS PROGRAM...\n");
        return 2;
    }
    const std::vector<std::string> programs(argv + 2, argv + argc);
    std::vector<std::vector<double>> times(programs.size());
    for (int run = 0; run < std::atoi(argv[1]); ++run)
        for (std::size_t i = 0; i < programs.size(); ++i) {
            times[i].push_back(timeToWindow(programs[i]));
            std::printf("%s run %d: %.0f ms\n", programs[i].c_str(), run + 1, times[i].back());
        }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        std::sort(times[i].begin(), times[i].end());
        std::printf("%s median: %.0f ms\n", programs[i].c_str(), times[i][times[i].size() / 2]);
    }
    std::fflush(stdout);
    return 0;
}
