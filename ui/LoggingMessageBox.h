#pragma once

#include "runtime/MessageBox.h"
#include "runtime/RunLog.h"

// Writes every message the player is shown into the log, and every answer the player gave.
class LoggingMessageBox final : public MessageBox
{
public:
    LoggingMessageBox(MessageBox &messageBox, RunLog &log) : m_messageBox(messageBox), m_log(log) {}

    MessageBoxAnswer show(const std::string &prompt, MessageBoxButtons buttons, MessageBoxIcon icon,
                          const std::string &title) override;

private:
    MessageBox &m_messageBox;
    RunLog &m_log;
};
