#pragma once

#include <string>
#include <string_view>

// The Windows API speaks UTF-16 while the installer keeps its text in UTF-8: the conversions,
// made only where a text meets the API.
namespace WindowsText {

std::wstring toWide(std::string_view utf8);
std::string fromWide(std::wstring_view utf16);

} // namespace WindowsText
