#pragma once

#include "runtime/HostFileSystem.h"
#include "runtime/InstanceLock.h"
#include "runtime/MessageBox.h"

#include <memory>
#include <optional>

// What both programs do before their main window shows. The package folder is the current one;
// one installer at a time works from it, holding its lock until the program ends; and work that a
// crash cut short is put right.
class InstallerStart final
{
public:
    // Nothing once the player has been told that another installer runs from this folder.
    static std::optional<InstallerStart> begin(MessageBox &messageBox);
    // The current folder, where the player started the installer.
    static std::filesystem::path packageFolder();

    FileSystem &fileSystem() { return *m_fileSystem; }

private:
    InstallerStart(std::unique_ptr<HostFileSystem> fileSystem, InstanceLock packageLock)
        : m_fileSystem(std::move(fileSystem)), m_packageLock(std::move(packageLock))
    {}

    std::unique_ptr<HostFileSystem> m_fileSystem;
    InstanceLock m_packageLock;
};
