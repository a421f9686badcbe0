#pragma once

#include "ErrorOr.h"

#include <functional>
#include <string>

// The sign that the program is at work on the game folder and takes no input meanwhile: the busy
// cursor in the windows, nothing at all in tests.
class BusyIndicator
{
public:
    using Work = std::function<ErrorOr<void>()>;

    virtual ~BusyIndicator() = default;

    virtual void begin() = 0;
    virtual void end() = 0;

    // Does the work under the busy sign and returns its outcome. The windows run it on a thread
    // of their own and keep painting meanwhile, taking no input, and show and announce the status
    // line ("Installing BEXOM..."); here it runs on the caller's.
    virtual ErrorOr<void> runWhileBusy(const std::string &status, const Work &work);

    // The work's outcome, with an exception it threw turned into its error: the windows' workers
    // carry it back to the thread that waits for them, and the transaction it left has undone
    // itself on the way out.
    static ErrorOr<void> outcomeOf(const Work &work) noexcept;
};

// Shows the busy sign for as long as it lives. Message boxes must come after it is gone, or the
// player would be asked a question under an hourglass.
class BusyScope final
{
public:
    explicit BusyScope(BusyIndicator &indicator) : m_indicator(indicator) { m_indicator.begin(); }
    ~BusyScope() { m_indicator.end(); }

    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    BusyIndicator &m_indicator;
};

inline ErrorOr<void> BusyIndicator::runWhileBusy(const std::string &, const Work &work)
{
    const BusyScope busy(*this);
    return outcomeOf(work);
}

inline ErrorOr<void> BusyIndicator::outcomeOf(const Work &work) noexcept
{
    try {
        return work();
    } catch (...) {
        return RuntimeError::fromCurrentException();
    }
}
