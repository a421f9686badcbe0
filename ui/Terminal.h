#pragma once

#include <optional>
#include <string>

// The terminal that a command line was typed in, or the streams that a script gave the program.
class Terminal
{
public:
    enum class Stream { Output, Error };

    virtual ~Terminal() = default;

    // UTF-8 text, written as it comes.
    virtual void write(Stream stream, const std::string &text) = 0;
    // One line typed, without its end; nothing once the input has ended.
    virtual std::optional<std::string> readLine() = 0;
};
