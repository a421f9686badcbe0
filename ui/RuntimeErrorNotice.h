#pragma once

#include "runtime/ErrorOr.h"
#include "runtime/MessageBox.h"

// Tells the player that the engine could not do what was asked, and what became of the game
// folder. The program goes on afterwards: the engine has put things back as far as it could.
class RuntimeErrorNotice final
{
public:
    static std::string prompt(const RuntimeError &error);
    // What became of the game folder.
    static std::string outcome(const RuntimeError &error);
    static void showIfFailed(MessageBox &messageBox, const ErrorOr<void> &result);
};
