#pragma once

#include "runtime/ProcessorTime.h"

#include <chrono>

// When a search for the game gives up looking further: the player waits for the answer, and a
// home with thousands of folders must not keep him waiting. Whatever was looked at by then is
// kept. The time is the processor's the search uses, so that a machine busy with other work,
// which slows each look alike, finds the same games, only later; and the clock's as well, four
// times as long, so that a disk slow to answer never keeps the player waiting long.
class SearchDeadline final
{
public:
    using Clock = std::chrono::steady_clock;

    // Never passes.
    SearchDeadline() = default;
    explicit SearchDeadline(std::chrono::nanoseconds budget)
        : m_processorEnd(processorTimeUsed() + budget),
          m_clockEnd(Clock::now() + ClockAllowance * budget)
    {}

    bool passed() const
    {
        return processorTimeUsed() >= m_processorEnd || Clock::now() >= m_clockEnd;
    }
    // For a place of thousands of entries, which must leave time for the places after it.
    SearchDeadline halfOfWhatRemains() const
    {
        const std::chrono::nanoseconds processorNow = processorTimeUsed();
        const Clock::time_point clockNow = Clock::now();
        return SearchDeadline(halfway(processorNow, m_processorEnd), halfway(clockNow, m_clockEnd));
    }

private:
    static constexpr int ClockAllowance = 4;

    SearchDeadline(std::chrono::nanoseconds processorEnd, Clock::time_point clockEnd)
        : m_processorEnd(processorEnd), m_clockEnd(clockEnd)
    {}
    template <typename Point> static Point halfway(Point now, Point end)
    {
        return now >= end ? now : now + (end - now) / 2;
    }

    std::chrono::nanoseconds m_processorEnd = std::chrono::nanoseconds::max();
    Clock::time_point m_clockEnd = Clock::time_point::max();
};
