#pragma once

#include "ScopedEnvironmentVariable.h"

#include <optional>
#include <string>

// Makes a Wine prefix in a test's scratch folder the process's for as long as this object lives,
// so that no test reaches the machine's own, and then gives back the one before. Windows has no
// prefix.
class ScopedWinePrefix final
{
public:
    explicit ScopedWinePrefix([[maybe_unused]] const std::string &prefix)
    {
#ifndef _WIN32
        m_variable.emplace("WINEPREFIX", prefix);
#endif
    }

private:
    std::optional<ScopedEnvironmentVariable> m_variable;
};
