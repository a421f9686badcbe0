#pragma once

#include "runtime/BusyIndicator.h"
#include "runtime/RunLog.h"

// Writes into the log when the work on the game folder begins and how it ended. Why it failed is
// in the error the player is shown next, which the log holds as well.
class LoggingBusyIndicator final : public BusyIndicator
{
public:
    LoggingBusyIndicator(BusyIndicator &indicator, RunLog &log) : m_indicator(indicator), m_log(log)
    {}

    void begin() override { m_indicator.begin(); }
    void end() override { m_indicator.end(); }
    ErrorOr<void> runWhileBusy(const std::string &status, const Work &work) override;

private:
    BusyIndicator &m_indicator;
    RunLog &m_log;
};
