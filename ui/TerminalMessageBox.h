#pragma once

#include "CommandLine.h"
#include "runtime/MessageBox.h"
#include "Terminal.h"

#include <string>
#include <vector>

// The message boxes of the windows, on a terminal. A question is asked there, and only "y" or
// "yes" answers Yes; the end of the input answers No. With every answer given beforehand, the
// question is shown with its answer. An error goes to the error stream at once. Any other notice
// waits until the action ends, and then goes to the stream that suits the end: "BEXOM is already
// Installed" is a refusal, and a refusal belongs with the errors; the files a removal kept are
// part of a success.
class TerminalMessageBox final : public MessageBox
{
public:
    TerminalMessageBox(Terminal &terminal, Confirmation confirmation)
        : m_terminal(terminal), m_confirmation(confirmation)
    {}

    MessageBoxAnswer show(const std::string &prompt, MessageBoxButtons buttons, MessageBoxIcon icon,
                          const std::string &title) override;

    // Writes the notices that wait.
    void release(Terminal::Stream stream);

private:
    bool answeredYes();

    Terminal &m_terminal;
    Confirmation m_confirmation;
    std::vector<std::string> m_notices;
};
