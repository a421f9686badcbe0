#pragma once

#include "runtime/ErrorOr.h"

#include <string>

// What the removal request needs of the main window: the stored game directory and the two
// removal routines, which read it.
class RemovalForm
{
public:
    virtual ~RemovalForm() = default;

    virtual void setStoredGameDirectory(const std::string &directory) = 0;

    virtual ErrorOr<void> Unins_Aftermath() = 0;
    virtual ErrorOr<void> Unins_Counterstrike() = 0;
};
