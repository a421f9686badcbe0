#pragma once

#include "install/InstallForm.h"
#include "install/ModInstaller.h"

// The install dialog as the install request sees it; its routines install for real.
class FakeInstallForm final : public InstallForm
{
public:
    FakeInstallForm(FileSystem &fileSystem, QString text, Edition choice)
        : m_installer(fileSystem), m_text(std::move(text)), m_choice(choice)
    {}

    QString directoryText() const override { return m_text; }
    void setDirectoryText(const QString &text) override { m_text = text; }
    bool counterstrikeSelected() const override
    {
        ++m_optionReads;
        return m_choice == Edition::Counterstrike;
    }
    ErrorOr<void> Ins_Aftermath() override
    {
        return m_installer.install(Edition::Aftermath, m_text);
    }
    ErrorOr<void> Ins_Counter() override
    {
        return m_installer.install(Edition::Counterstrike, m_text);
    }

    int optionReads() const { return m_optionReads; }

private:
    ModInstaller m_installer;
    QString m_text;
    Edition m_choice;
    mutable int m_optionReads = 0;
};
