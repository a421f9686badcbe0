#pragma once

// The sign that the program is at work on the game folder and takes no input meanwhile: the busy
// cursor in the windows, nothing at all in tests.
class BusyIndicator
{
public:
    virtual ~BusyIndicator() = default;

    virtual void begin() = 0;
    virtual void end() = 0;
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
