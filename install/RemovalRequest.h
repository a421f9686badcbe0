#pragma once

#include "RemovalForm.h"
#include "runtime/FileSystem.h"
#include "runtime/MessageBox.h"

// A click on the main window's Uninstall button: asks for confirmation, reads the status file and
// runs the removal for the edition it records.
class RemovalRequest final
{
public:
    RemovalRequest(FileSystem &fileSystem, MessageBox &messageBox)
        : m_fileSystem(fileSystem), m_messageBox(messageBox)
    {}

    ErrorOr<void> run(RemovalForm &form);

private:
    FileSystem &m_fileSystem;
    MessageBox &m_messageBox;
};
