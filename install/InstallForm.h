#pragma once

#include "runtime/ErrorOr.h"

#include <string>

// What the install request needs of the install dialog: its directory box, its Counterstrike
// option button and its two installation routines.
class InstallForm
{
public:
    virtual ~InstallForm() = default;

    virtual std::string directoryText() const = 0;
    virtual void setDirectoryText(const std::string &text) = 0;
    virtual bool counterstrikeSelected() const = 0;

    virtual ErrorOr<void> Ins_Aftermath() = 0;
    virtual ErrorOr<void> Ins_Counter() = 0;
};
