#pragma once

#include "InstallForm.h"
#include "runtime/FileSystem.h"
#include "runtime/MessageBox.h"

// A click on the install dialog's Install button: puts the directory into its canonical form,
// refuses when the mod is installed already, asks for confirmation and runs the installation
// for the chosen edition.
class InstallRequest final
{
public:
    InstallRequest(FileSystem &fileSystem, MessageBox &messageBox)
        : m_fileSystem(fileSystem), m_messageBox(messageBox)
    {}

    ErrorOr<void> run(InstallForm &form);

private:
    FileSystem &m_fileSystem;
    MessageBox &m_messageBox;
};
