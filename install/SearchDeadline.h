#pragma once

#include <chrono>

// When a search for the game gives up looking further: the player waits for the answer, and a
// home with thousands of folders must not keep him waiting. Whatever was looked at by then is
// kept.
class SearchDeadline final
{
public:
    using Clock = std::chrono::steady_clock;

    // Never passes.
    SearchDeadline() = default;
    explicit SearchDeadline(Clock::duration budget) : m_end(Clock::now() + budget) {}

    bool passed() const { return Clock::now() >= m_end; }
    // For a place of thousands of entries, which must leave time for the places after it.
    SearchDeadline halfOfWhatRemains() const
    {
        const Clock::time_point now = Clock::now();
        return SearchDeadline(now >= m_end ? now : now + (m_end - now) / 2);
    }

private:
    explicit SearchDeadline(Clock::time_point end) : m_end(end) {}

    Clock::time_point m_end = Clock::time_point::max();
};
