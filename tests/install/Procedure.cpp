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
    Forms(FileSystem &fileSystem, QString text, Edition choice)
        : m_installer(fileSystem), m_text(std::move(text)), m_choice(choice)
    {}

    QString directoryText() const override { return m_text; }
    void setDirectoryText(const QString &text) override { m_text = text; }
    bool counterstrikeSelected() const override { return m_choice == Edition::Counterstrike; }
    ErrorOr<void> Ins_Aftermath() override
    {
        return m_installer.install(Edition::Aftermath, m_text);
    }
    ErrorOr<void> Ins_Counter() override
    {
        return m_installer.install(Edition::Counterstrike, m_text);
    }

    void setStoredGameDirectory(const QString &directory) override { m_stored = directory; }
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
    QString m_text;
    Edition m_choice;
    QString m_stored;
};

} // namespace

ErrorOr<void> Procedure::prepare(InstallScratch &scratch) const
{
    scratch.reset();
    if (direction == Direction::Install)
        return {};
    return ModInstaller(scratch.fileSystem()).install(edition, scratch.gameDirectory());
}

ErrorOr<void> Procedure::run(FileSystem &fileSystem, const QString &gameDirectory) const
{
    if (direction == Direction::Install)
        return ModInstaller(fileSystem).install(edition, gameDirectory);
    return ModInstaller(fileSystem).uninstall(edition, gameDirectory);
}

ErrorOr<void> Procedure::request(FileSystem &fileSystem, const QString &gameDirectory) const
{
    ScriptedMessageBox answersYes({MessageBoxAnswer::Yes});
    Forms forms(fileSystem, gameDirectory, edition);
    if (direction == Direction::Install)
        return InstallRequest(fileSystem, answersYes).run(forms);
    return RemovalRequest(fileSystem, answersYes).run(forms);
}

QList<Procedure> Procedure::all()
{
    return {{QStringLiteral("Ins_Aftermath"), Edition::Aftermath, Direction::Install},
            {QStringLiteral("Ins_Counter"), Edition::Counterstrike, Direction::Install},
            {QStringLiteral("Unins_Aftermath"), Edition::Aftermath, Direction::Removal},
            {QStringLiteral("Unins_Counterstrike"), Edition::Counterstrike, Direction::Removal}};
}

std::optional<Procedure> Procedure::named(const QString &name)
{
    for (const Procedure &procedure : all())
        if (procedure.name == name)
            return procedure;
    return std::nullopt;
}
