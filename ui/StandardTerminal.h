#pragma once

#include "Terminal.h"

// The process's standard streams, as a POSIX system gives them.
class StandardTerminal final : public Terminal
{
public:
    void write(Stream stream, const std::string &text) override;
    std::optional<std::string> readLine() override;
};
