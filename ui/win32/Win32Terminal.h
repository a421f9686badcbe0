#pragma once

#include "ui/Terminal.h"
#include "WindowsApi.h"

#include <string>
#include <vector>

// The streams of a Windows program built for the windows subsystem, which Windows starts with no
// console. Standard handles that a script gave the program, such as redirections under Wine, are
// written to as they are; where there are none, the program takes the console of the one that
// started it, a command prompt. Text goes to a console as UTF-16, to a file or a pipe as UTF-8.
class Win32Terminal final : public Terminal
{
public:
    Win32Terminal();

    void write(Stream stream, const std::string &text) override;
    std::optional<std::string> readLine() override;

    // The program's arguments without its own name, in UTF-8.
    static std::vector<std::string> arguments();

private:
    HANDLE m_output;
    HANDLE m_error;
    HANDLE m_input;
};
