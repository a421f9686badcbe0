#include "ProcessorTime.h"

#include <windows.h>

namespace {

// FILETIME durations count hundreds of nanoseconds.
std::chrono::nanoseconds fromFileTime(const FILETIME &time)
{
    const ULONGLONG ticks = (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return std::chrono::nanoseconds(ticks * 100);
}

} // namespace

std::chrono::nanoseconds processorTimeUsed()
{
    FILETIME creation{}, exit{}, kernel{}, user{};
    // The C runtime's clock() counts the time on the wall here, not the processor's.
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user))
        return {};
    return fromFileTime(kernel) + fromFileTime(user);
}
