#pragma once

#include "Edition.h"
#include "runtime/ErrorOr.h"
#include "runtime/RuntimeServices.h"

#include <string>

// A click on the install dialog's Install button: refuses when the mod is installed already, asks
// for confirmation and runs the installation for the chosen edition.
class InstallRequest final
{
public:
    explicit InstallRequest(RuntimeServices &services) : m_services(services) {}

    // The directory as the dialog's box shows it from the click on: ending in a backslash, as
    // every path of the installation is the directory followed directly by a file name.
    static std::string canonicalDirectory(const std::string &typed);

    // The directory must be in its canonical form.
    ErrorOr<void> run(const std::string &directory, Edition edition);

private:
    ErrorOr<void> Ins_Aftermath();
    ErrorOr<void> Ins_Counter();

    RuntimeServices &m_services;
    std::string m_directory;
};
