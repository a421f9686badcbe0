#include "LoggingBusyIndicator.h"

ErrorOr<void> LoggingBusyIndicator::runWhileBusy(const std::string &status, const Work &work)
{
    m_log.write("Work on the game folder began.");
    ErrorOr<void> outcome = m_indicator.runWhileBusy(status, work);
    if (!outcome.isError())
        m_log.write("Work on the game folder done.");
    else if (outcome.error().hasChangesLeft())
        m_log.write("Work on the game folder failed, and changes are left for the next start.");
    else if (!outcome.error().keptFiles().empty())
        m_log.write("Work on the game folder failed, and is undone save for files changed "
                    "meanwhile, which are kept.");
    else
        m_log.write("Work on the game folder failed, and nothing is changed.");
    return outcome;
}
