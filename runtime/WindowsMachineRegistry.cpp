#include "MachineRegistry.h"

#include "WindowsText.h"

#include <windows.h>

namespace {

// A path of the game is a few hundred characters at most; a value far longer is not one.
constexpr DWORD LargestString = 64 * 1024;

class KeyHandle final
{
public:
    explicit KeyHandle(HKEY key) : m_key(key) {}
    ~KeyHandle() { ::RegCloseKey(m_key); }
    KeyHandle(const KeyHandle &) = delete;
    KeyHandle &operator=(const KeyHandle &) = delete;

    HKEY get() const { return m_key; }

private:
    HKEY m_key;
};

std::optional<std::string> readString(const RegistryValueName &value)
{
    HKEY opened = nullptr;
    const HKEY root =
        value.root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const REGSAM view = value.view == RegistryView::Bits32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    if (::RegOpenKeyExW(root, WindowsText::toWide(value.key).c_str(), 0, KEY_QUERY_VALUE | view,
                        &opened) != ERROR_SUCCESS)
        return std::nullopt;
    const KeyHandle key(opened);
    const std::wstring name = WindowsText::toWide(value.name);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > LargestString)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD filled = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE *>(text.data()), &filled) != ERROR_SUCCESS)
        return std::nullopt;
    // The stored string need not end in a null character.
    text.resize(filled / sizeof(wchar_t));
    if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos)
        text.resize(end);
    return WindowsText::fromWide(text);
}

} // namespace

namespace MachineRegistry {

std::vector<std::optional<std::string>> readStrings(const std::vector<RegistryValueName> &values)
{
    std::vector<std::optional<std::string>> strings;
    for (const RegistryValueName &value : values)
        strings.push_back(readString(value));
    return strings;
}

} // namespace MachineRegistry
