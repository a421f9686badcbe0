// Times programs from their start to their first window on the screen: starts one, waits for the
// X server to map a top-level window at least 100 pixels wide, ends it. The programs take turns,
// so that a machine busy with other work slows each of them alike; after the given number of
// runs each prints its median and fastest, and the others their median against the first one's.
// Run it under an X server of its own (xvfb-run).
//
//   startup_clock RUNS PROGRAM [ARGUMENT...] [-- PROGRAM [ARGUMENT...]]...

#include <X11/Xlib.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

// Waits until a window of real size is mapped on the root window, and gives the time it came.
Clock::time_point awaitFirstWindow(Display *display)
{
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, event.xmap.window, &attributes) &&
            attributes.width >= 100 && attributes.height >= 100)
            return Clock::now();
    }
}

double timeOneStart(Display *display, char **program)
{
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, program[0], nullptr, nullptr, program, environ) != 0) {
        std::perror(program[0]);
        std::exit(1);
    }
    const Clock::time_point shown = awaitFirstWindow(display);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    // Whatever the ended program left on the screen is gone before the next run starts.
    XSync(display, True);
    return std::chrono::duration<double>(shown - start).count();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM [ARGUMENT...] [-- PROGRAM [ARGUMENT...]]...\n",
                     argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X server: run under xvfb-run\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    // Each program's command line ends where "--" stood.
    std::vector<char **> programs{argv + 2};
    for (int index = 2; index < argc; ++index) {
        if (std::string_view(argv[index]) != "--")
            continue;
        argv[index] = nullptr;
        programs.push_back(argv + index + 1);
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<std::vector<double>> seconds(programs.size());
    for (int run = 0; run < runs; ++run)
        for (std::size_t program = 0; program < programs.size(); ++program)
            seconds[program].push_back(timeOneStart(display, programs[program]));
    double yardstick = 0;
    for (std::size_t program = 0; program < programs.size(); ++program) {
        std::vector<double> &times = seconds[program];
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        if (program == 0)
            yardstick = median;
        std::printf("%s: median %.3f s, fastest %.3f s, %d runs", programs[program][0], median,
                    times.front(), runs);
        if (program > 0)
            std::printf(", %.2fx the first", median / yardstick);
        std::printf("\n");
    }
    XCloseDisplay(display);
    return 0;
}
