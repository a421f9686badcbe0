#pragma once

#include <string>

// windows.h, seen before this header, names its own MessageBox as a macro, which would rename
// this class.
#undef MessageBox

enum class MessageBoxButtons { Ok, YesNo };

enum class MessageBoxIcon { None, Critical, Question, Information };

enum class MessageBoxAnswer {
    Ok,
    // A box closed without a button: Alt+F4, Esc or its close box.
    Cancel,
    Yes,
    No,
};

// A modal message: the windows show a real one, tests script the answers.
class MessageBox
{
public:
    // The title of every box but the two questions that name their own.
    static inline const std::string Title = "BEXOM";

    virtual ~MessageBox() = default;
    // Returns the button pressed.
    virtual MessageBoxAnswer show(const std::string &prompt, MessageBoxButtons buttons,
                                  MessageBoxIcon icon, const std::string &title) = 0;
};
