#pragma once

#include "install/ModInstaller.h"
#include "install/RemovalForm.h"

// The main window as the removal request sees it; its routines remove for real.
class FakeRemovalForm final : public RemovalForm
{
public:
    explicit FakeRemovalForm(FileSystem &fileSystem) : m_installer(fileSystem) {}

    void setStoredGameDirectory(const QString &directory) override { m_directory = directory; }
    ErrorOr<void> Unins_Aftermath() override
    {
        return m_installer.uninstall(Edition::Aftermath, m_directory);
    }
    ErrorOr<void> Unins_Counterstrike() override
    {
        return m_installer.uninstall(Edition::Counterstrike, m_directory);
    }

    const QString &storedGameDirectory() const { return m_directory; }

private:
    ModInstaller m_installer;
    QString m_directory = QStringLiteral("(not set)");
};
