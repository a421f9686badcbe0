#include "StandardTerminal.h"

#include <iostream>

void StandardTerminal::write(Stream stream, const std::string &text)
{
    std::ostream &out = stream == Stream::Output ? std::cout : std::cerr;
    out << text << std::flush;
}

std::optional<std::string> StandardTerminal::readLine()
{
    std::string line;
    if (!std::getline(std::cin, line))
        return std::nullopt;
    if (line.ends_with('\r'))
        line.pop_back();
    return line;
}
