#pragma once

#include <optional>
#include <string>

// Gives an environment variable of the process a value (or takes it away) for as long as this
// object lives, and then gives back the one before, so that a test leaves the process as it
// found it.
class ScopedEnvironmentVariable final
{
public:
    ScopedEnvironmentVariable(std::string name, const std::optional<std::string> &value);
    ~ScopedEnvironmentVariable();

    ScopedEnvironmentVariable(const ScopedEnvironmentVariable &) = delete;
    ScopedEnvironmentVariable &operator=(const ScopedEnvironmentVariable &) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_former;
};
