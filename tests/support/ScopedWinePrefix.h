#pragma once

#include <cstdlib>
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
        if (const char *former = std::getenv("WINEPREFIX"))
            m_former = former;
        ::setenv("WINEPREFIX", prefix.c_str(), 1);
#endif
    }
    ~ScopedWinePrefix()
    {
#ifndef _WIN32
        if (m_former)
            ::setenv("WINEPREFIX", m_former->c_str(), 1);
        else
            ::unsetenv("WINEPREFIX");
#endif
    }
    ScopedWinePrefix(const ScopedWinePrefix &) = delete;
    ScopedWinePrefix &operator=(const ScopedWinePrefix &) = delete;

private:
    std::optional<std::string> m_former;
};
