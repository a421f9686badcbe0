#include "ScopedEnvironmentVariable.h"

#include <cstdlib>

#ifdef _WIN32
#include "runtime/WindowsText.h"

#include <windows.h>
#endif

namespace {

std::optional<std::string> valueOf(const std::string &name)
{
#ifdef _WIN32
    wchar_t value[4096];
    const DWORD length = ::GetEnvironmentVariableW(WindowsText::toWide(name).c_str(), value, 4096);
    if (length == 0 || length >= 4096)
        return std::nullopt;
    return WindowsText::fromWide(std::wstring(value, length));
#else
    const char *value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
#endif
}

void setValue(const std::string &name, const std::optional<std::string> &value)
{
#ifdef _WIN32
    ::SetEnvironmentVariableW(WindowsText::toWide(name).c_str(),
                              value ? WindowsText::toWide(*value).c_str() : nullptr);
#else
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
#endif
}

} // namespace

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name,
                                                     const std::optional<std::string> &value)
    : m_name(std::move(name)), m_former(valueOf(m_name))
{
    setValue(m_name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    setValue(m_name, m_former);
}
