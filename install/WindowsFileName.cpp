#include "WindowsFileName.h"

#include "runtime/Text.h"

#include <algorithm>
#include <array>

namespace {

// The superscript digits of Latin-1 count as digits for COM and LPT ports.
const std::array<std::string_view, 13> PortNumbers = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "\u00b9", "\u00b2", "\u00b3"};
const std::array<std::string_view, 6> Devices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};

bool isDevice(std::string_view base)
{
    const std::string upper = Text::toUpperAscii(std::string(base));
    if (std::find(Devices.begin(), Devices.end(), upper) != Devices.end())
        return true;
    if (!upper.starts_with("COM") && !upper.starts_with("LPT"))
        return false;
    return std::find(PortNumbers.begin(), PortNumbers.end(), std::string_view(upper).substr(3)) !=
           PortNumbers.end();
}

// The part before the first dot, without the blanks that end it: "nul .txt" opens NUL.
std::string_view deviceBase(std::string_view name)
{
    std::string_view base = name.substr(0, name.find('.'));
    while (base.ends_with(' '))
        base.remove_suffix(1);
    return base;
}

bool holdsForbiddenCharacter(std::string_view name)
{
    return std::any_of(name.begin(), name.end(), [](char character) {
        return static_cast<unsigned char>(character) < 0x20 ||
               std::string_view("<>\"|?*").find(character) != std::string_view::npos;
    });
}

} // namespace

ErrorCause WindowsFileName::problemWith(std::string_view name)
{
    if (name.empty())
        return ErrorReason::NameEmpty;
    if (name.find_first_not_of('.') == std::string_view::npos)
        return ErrorReason::NameOfDotsOnly;
    if (name.ends_with('.') || name.ends_with(' '))
        return ErrorReason::NameEndsInDotOrBlank;
    if (name.find(':') != std::string_view::npos)
        return ErrorReason::NameHoldsColon;
    if (holdsForbiddenCharacter(name))
        return ErrorReason::NameHoldsForbiddenCharacter;
    if (isDevice(deviceBase(name)))
        return ErrorReason::NameOfDevice;
    return ErrorReason::None;
}
