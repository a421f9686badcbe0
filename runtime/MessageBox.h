#pragma once

#include <string>

// Message box styles and answers keep the numbers of the runtime the installer grew up with.
namespace MessageBoxStyle {
inline constexpr int OkOnly = 0;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Information = 64;
} // namespace MessageBoxStyle

namespace MessageBoxAnswer {
inline constexpr int Ok = 1;
// A box closed without a button: Alt+F4, Esc or its close box.
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MessageBoxAnswer

// A modal message: the windows show a real one, tests script the answers.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    // Returns the button pressed.
    virtual int show(const std::string &prompt, int style, const std::string &title) = 0;
};
