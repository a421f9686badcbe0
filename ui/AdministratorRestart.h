#pragma once

#include "DialogChoice.h"

// Starts the installer again with administrator rights, from the same package folder, once this
// one has ended: the front end that can ask the system for them provides it.
class AdministratorRestart
{
public:
    virtual ~AdministratorRestart() = default;
    // Whether rights given by Windows could lift the refusal: not when this instance has them
    // already, nor under Wine, where the refusal is the host system's and no Windows right helps.
    virtual bool canHelp() const = 0;
    // Ends this instance; the new one starts after it has let go of the package folder, and
    // opens the install dialog with the player's choice.
    virtual void request(const DialogChoice &choice) = 0;
};
