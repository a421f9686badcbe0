#pragma once

// Starts the installer again with administrator rights, from the same package folder, once this
// one has ended: the front end that can ask the system for them provides it.
class AdministratorRestart
{
public:
    virtual ~AdministratorRestart() = default;
    // Ends this instance; the new one starts after it has let go of the package folder.
    virtual void request() = 0;
};
