#pragma once

#include "PixelRect.h"

// The install dialog's window and controls with their design values, which each opening gives
// them again. Both front ends build the dialog from here.
namespace InstallDialogLayout {

inline constexpr const char *Title = "Install BEXOM";
inline constexpr int ClientWidth = 258;
inline constexpr int ClientHeight = 178;

inline constexpr const char *DefaultDirectory = "C:\\WESTWOOD\\REDALERT\\";

struct Control
{
    const char *name;
    PixelRect place;
    const char *caption;
};

// In tab order.
inline constexpr Control Text1{"Text1", {8, 32, 241, 25}, DefaultDirectory};
// Sized to fit its caption in the platform's dialog font.
inline constexpr Control Label1{"Label1", {8, 16, 103, 13}, "Location of Red Alert:"};
inline constexpr Control Option1{"Option1", {8, 72, 129, 17}, "Counterstrike"};
inline constexpr Control Option2{"Option2", {8, 88, 241, 25}, "Aftermath (and/or Counterstrike)"};
inline constexpr Control Command1{"Command1", {184, 136, 65, 33}, "Install"};
inline constexpr Control Command2{"Command2", {8, 136, 65, 33}, "Cancel"};
// Empty and hidden but while the installation runs; no stop of the tab order.
inline constexpr Control StatusLine{"StatusLine", {8, 114, 241, 20}, ""};

} // namespace InstallDialogLayout
