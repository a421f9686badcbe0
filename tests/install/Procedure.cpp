#include "Procedure.h"

#include "install/InstallForm.h"
#include "install/InstallRequest.h"
#include "install/ModInstaller.h"
#include "install/RemovalForm.h"
#include "install/RemovalRequest.h"
#include "InstallScratch.h"
#include "ScriptedMessageBox.h"

namespace {

// The install dialog and the main window as the requests see them; their routines install and
// remove for real.
class Forms final : public InstallForm, public RemovalForm
{
public:
    Forms(FileSystem &fileSystem, std::string text, Edition choice)
        : m_installer(fileSystem), m_text(std::move(text)), m_choice(choice)
    {}

    std::string directoryText() const override { return m_text; }
    void setDirectoryText(const std::string &text) override { m_text = text; }
    bool counterstrikeSelected() const override { return m_choice == Edition::Counterstrike; }
    ErrorOr<void> Ins_Aftermath() override
    {
        return m_installer.install(Edition::Aftermath, m_text);
    }
    ErrorOr<void> Ins_Counter() override
    {
        return m_installer.install(Edition::Counterstrike, m_text);
    }

    void setStoredGameDirectory(const std::string &directory) override { m_stored = directory; }
    ErrorOr<void> Unins_Aftermath() override
    {
        return m_installer.uninstall(Edition::Aftermath, m_stored);
    }
    ErrorOr<void> Unins_Counterstrike() override
    {
        return m_installer.uninstall(Edition::Counterstrike, m_stored);
    }

private:
    ModInstaller m_installer;
    std::string m_text;
    Edition m_choice;
    std::string m_stored;
};

} // namespace

ErrorOr<void> Procedure::prepare(InstallScratch &scratch) const
{
    scratch.reset();
    if (direction == Direction::Install)
        return {};
    return ModInstaller(scratch.fileSystem()).install(edition, scratch.gameDirectory());
}

ErrorOr<void> Procedure::run(FileSystem &fileSystem, const std::string &gameDirectory) const
{
    if (direction == Direction::Install)
        return ModInstaller(fileSystem).install(edition, gameDirectory);
    return ModInstaller(fileSystem).uninstall(edition, gameDirectory);
}

ErrorOr<void> Procedure::request(FileSystem &fileSystem, const std::string &gameDirectory) const
{
    ScriptedMessageBox answersYes({MessageBoxAnswer::Yes});
    Forms forms(fileSystem, gameDirectory, edition);
    if (direction == Direction::Install)
        return InstallRequest(fileSystem, answersYes).run(forms);
    return RemovalRequest(fileSystem, answersYes).run(forms);
}

std::vector<Procedure> Procedure::all()
{
    return {{"Ins_Aftermath", Edition::Aftermath, Direction::Install},
            {"Ins_Counter", Edition::Counterstrike, Direction::Install},
            {"Unins_Aftermath", Edition::Aftermath, Direction::Removal},
            {"Unins_Counterstrike", Edition::Counterstrike, Direction::Removal}};
}

std::optional<Procedure> Procedure::named(const std::string &name)
{
    for (const Procedure &procedure : all())
        if (procedure.name == name)
            return procedure;
    return std::nullopt;
}
