#pragma once

#include "Edition.h"
#include "runtime/ErrorOr.h"
#include "runtime/RuntimeServices.h"

#include <string>

// A click on the main window's Uninstall button: asks for confirmation, reads the status file and
// runs the removal for the edition it records, in the game directory it records.
class RemovalRequest final
{
public:
    explicit RemovalRequest(RuntimeServices &services) : m_services(services) {}

    ErrorOr<void> run();

private:
    ErrorOr<void> Unins_Aftermath();
    ErrorOr<void> Unins_Counterstrike();
    ErrorOr<void> uninstall(Edition edition);

    RuntimeServices &m_services;
    std::string m_storedGameDirectory;
};
